// Whole-program runs: the built quorvane binary started as a separate process, on real
// presentations, with LibreOffice doing the conversions.
#include "E2eSupport.h"
#include "TestEnv.h"

#include "converter/TypeCatalogue.h"

#include <gtest/gtest.h>

#include <qpdf/QPDF.hh>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

using namespace e2e;

namespace {

QStringList filesBelow(const QString &dir)
{
    QStringList out;
    QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(dir).relativeFilePath(it.next());
    out.sort();
    return out;
}

class CommandLineRun : public ::testing::Test
{
protected:
    QTemporaryDir tmp;
    QString path(const QString &rel) const { return tmp.filePath(rel); }
};

} // namespace

TEST_F(CommandLineRun, SingleFileLogsHeaderSuccessAndTime)
{
    ASSERT_TRUE(copy(demo("Quarterly Review.pptx"), path("in/Quarterly Review.pptx")));
    const ProgramRun r = runProgram({"/S", path("in/Quarterly Review.pptx"), "/T", path("out/new/review.pdf"), "/C", "32",
                              "/L", path("run.log")});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString();
    EXPECT_EQ(pdfPages(path("out/new/review.pdf")), 4);
    const QStringList lines = logLines(path("run.log"));
    ASSERT_EQ(lines.size(), 4) << lines.join("|").toStdString();
    EXPECT_EQ(lines[0], "-----------------------------Quorvane-------");
    EXPECT_TRUE(lines[1].startsWith("Date: "));
    EXPECT_EQ(lines[2], "Conversion Successful");
    EXPECT_TRUE(lines[3].startsWith("Time to complete job: "));
    EXPECT_EQ(filesBelow(path("out")), QStringList({"new/review.pdf"})); // nothing half-written left
}

TEST_F(CommandLineRun, SlideRangeAndSaveInOriginalFolder)
{
    ASSERT_TRUE(copy(demo("Product Overview.pptx"), path("in/Product Overview.pptx")));
    ProgramRun r = runProgram({"/S", path("in/Product Overview.pptx"), "/T", path("out/range.pdf"), "/C32", "/Y", "2", "/Z",
                        "4"});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString();
    EXPECT_EQ(pdfPages(path("out/range.pdf")), 3);

    ASSERT_TRUE(copy(demo("Quarterly Review.pptx"), path("orig/a/Quarterly Review.pptx")));
    ASSERT_TRUE(copy(demo("Training/Team Handbook.odp"), path("orig/a/b/Team Handbook.odp")));
    r = runProgram({"/S", path("orig/*.*"), "/R", "/G", "/C", "32", "/L", path("g.log")});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << logLines(path("g.log")).join("|").toStdString();
    EXPECT_EQ(pdfPages(path("orig/a/Quarterly Review.pdf")), 4);
    EXPECT_EQ(pdfPages(path("orig/a/b/Team Handbook.pdf")), 3);
}

TEST_F(CommandLineRun, FolderWithSubFoldersMirrorsTheTreeAndLogsACorruptFile)
{
    ASSERT_TRUE(copy(demo("Quarterly Review.pptx"), path("in/Quarterly Review.pptx")));
    ASSERT_TRUE(copy(demo("Training/Safety Briefing.ppt"), path("in/x/y/Safety Briefing.ppt")));
    ASSERT_TRUE(qvtest::writeFile(path("in/x/broken.pptx"), QByteArray("PK\x03\x04 this is not a presentation")));
    const ProgramRun r = runProgram({"/S", path("in/*.*"), "/R", "/T", path("out/*.pdf"), "/C", "32", "/L", path("run.log"),
                              "/B", path("failures.qvj")});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
    EXPECT_EQ(pdfPages(path("out/Quarterly Review.pdf")), 4);
    EXPECT_EQ(pdfPages(path("out/x/y/Safety Briefing.pdf")), 6);
    EXPECT_FALSE(QFile::exists(path("out/x/broken.pdf")));
    const QStringList lines = logLines(path("run.log"));
    ASSERT_EQ(lines.size(), 4) << lines.join("|").toStdString();
    EXPECT_TRUE(lines[2].startsWith("Job # 1  ")) << lines[2].toStdString();
    EXPECT_TRUE(lines[2].endsWith(" - " + path("in/x/broken.pptx"))) << lines[2].toStdString();
    // The results file is a job of the failed file alone, with the task's option code.
    const QStringList results = logLines(path("failures.qvj"));
    ASSERT_EQ(results.size(), 1) << results.join("|").toStdString();
    const QStringList cells = results[0].split('\t');
    ASSERT_GE(cells.size(), 8);
    EXPECT_EQ(cells[0], "RA,0,0");
    EXPECT_EQ(cells[1], "1");
    EXPECT_EQ(cells[2], "C");
    EXPECT_EQ(cells[3], path("in/x/broken.pptx"));
    EXPECT_EQ(cells[6], path("out/x/broken.pdf"));
    EXPECT_EQ(cells[7], "32");
}

TEST_F(CommandLineRun, InvalidLinesLogTheReasonAndExitTwo)
{
    ProgramRun r = runProgram({"/S", path("missing.pptx"), "/T", path("out/x.pdf"), "/C", "32", "/L", path("a.log")});
    EXPECT_EQ(r.exitCode, 2);
    QStringList lines = logLines(path("a.log"));
    ASSERT_EQ(lines.size(), 6) << lines.join("|").toStdString();
    EXPECT_EQ(lines[2], "Original File");
    EXPECT_EQ(lines[3], path("missing.pptx"));
    EXPECT_EQ(lines[4], "does not exist.");
    EXPECT_EQ(lines[5], "Missing required or invalid command line argument(s)");

    r = runProgram({"/S", path("nofolder/*.pptx"), "/T", path("out/*.pdf"), "/C", "32", "/L", path("b.log")});
    EXPECT_EQ(r.exitCode, 2);
    lines = logLines(path("b.log"));
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[2], "Original Folder");

    // A blank-only line is not empty: it is parsed and fails validation.
    r = runProgram({" "});
    EXPECT_EQ(r.exitCode, 2);
}

TEST_F(CommandLineRun, OpenWithoutRunningDoesNothing)
{
    ASSERT_TRUE(copy(demo("Quarterly Review.pptx"), path("in/q.pptx")));
    ASSERT_TRUE(qvtest::writeFile(path("job.qvj"),
                                  "A,1,2\t1\tC\t" + path("in/q.pptx").toUtf8() + "\t3\tppt\t" +
                                      path("out/q.pdf").toUtf8() + "\t32\tpdf\t\t\r\n\t*\t\t\t\t\t\t\t\t\t\r\n"));
    const ProgramRun r = runProgram({"/J", path("job.qvj"), "/O"});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString();
    EXPECT_FALSE(QFile::exists(path("out/q.pdf")));
    // Without a display no window can open: it says so rather than waiting for ever.
    EXPECT_TRUE(r.err.contains(QStringLiteral("needs a display"))) << r.err.toStdString();

    // Without a display and without a command line: the command-line help.
    const ProgramRun help = runProgram({});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("/J job.qvj"))) << help.out.toStdString();
}

TEST_F(CommandLineRun, JobWithSeveralTasksConversionsAndLaunches)
{
    ASSERT_TRUE(copy(demo("Quarterly Review.pptx"), path("in/q.pptx")));
    ASSERT_TRUE(copy(demo("Product Overview.pptx"), path("in/p.pptx")));
    QByteArray job;
    auto line = [&](const QStringList &cells) { job += cells.join('\t').toUtf8() + "\t\r\n"; };
    line({"A,1,2", "1", "C", path("in/q.pptx"), "3", "ppt", path("out/q.pdf"), "32", "pdf", ""});
    line({",2,3", "2", "C", path("in/p.pptx"), "3", "ppt", path("out/p.pptx"), "24", "pptx", ""});
    line({"A,1,2", "3", "C", path("in/p.pptx"), "3", "ppt", path("out/png/p.png"), "18", "png", ""});
    line({"T32 S1 W30", "4", "S60", "/bin/sh", "-12345678", "", "-c \"exit 3\"", "-12345678", "", ""});
    line({"T32 S1 W0", "5", "S60", "/bin/sleep", "-12345678", "", "5", "-12345678", "", ""});
    line({"T32 S1 W30", "6", "S60", path("no/such/program"), "-12345678", "", "", "-12345678", "", ""});
    line({"", "*", "", "", "", "", "", "", "", ""});
    ASSERT_TRUE(qvtest::writeFile(path("job.qvj"), job));

    const ProgramRun r = runProgram({"/J", path("job.qvj"), "/L", path("job.log"), "/B", path("res.qvj")});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
    EXPECT_EQ(pdfPages(path("out/q.pdf")), 4);
    EXPECT_TRUE(QFileInfo(path("out/p.pptx")).size() > 0);
    // One picture per slide, named after the target and the slide number.
    EXPECT_TRUE(QFile::exists(path("out/png/p_1.png")));
    EXPECT_TRUE(QFile::exists(path("out/png/p_12.png")));
    const QStringList lines = logLines(path("job.log"));
    ASSERT_EQ(lines.size(), 6) << lines.join("|").toStdString();
    EXPECT_EQ(lines[2], "Job # 4  Exit Code: 3 - /bin/sh");
    EXPECT_EQ(lines[3], "Job # 5  Process did not complete in the specified time (Timeout) - /bin/sleep");
    EXPECT_EQ(lines[4], "Job # 6  Unable to launch application. - " + path("no/such/program"));
    // The results file holds the failures, not the launched program that ran.
    const QStringList results = logLines(path("res.qvj"));
    ASSERT_EQ(results.size(), 2) << results.join("|").toStdString();
    EXPECT_TRUE(results[0].startsWith("T32 S1 W0\t1\tS60\t/bin/sleep\t")) << results[0].toStdString();
    EXPECT_TRUE(results[1].startsWith("T32 S1 W30\t2\tS60\t" + path("no/such/program") + "\t"));
}

TEST_F(CommandLineRun, LaunchedProgramsExitCodeIsNoFailureAndAnUnwritableLogGoesToStandardError)
{
    ASSERT_TRUE(qvtest::writeFile(path("job.qvj"), "T32 S1 W30\t1\tS60\t/bin/sh\t-12345678\t\t-c \"exit 3\"\t"
                                                   "-12345678\t\t\t\r\n\t*\t\t\t\t\t\t\t\t\t\r\n"));
    const ProgramRun r = runProgram({"/J", path("job.qvj"), "/L", path("no/such/folder/job.log"), "/B", path("res.qvj")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("Job # 1  Exit Code: 3 - /bin/sh\nConversion Successful\nTime to complete job: "))
        << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(path("res.qvj")));
    EXPECT_FALSE(QFile::exists(path("no")));
}

TEST_F(CommandLineRun, AFailedFileTheResultsFileCannotHoldIsLeftOutAndNamed)
{
    ASSERT_TRUE(qvtest::writeFile(path("in/a\tb.pptx"), QByteArray("PK\x03\x04 not a presentation")));
    ASSERT_TRUE(qvtest::writeFile(path("in/c.pptx"), QByteArray("PK\x03\x04 not a presentation")));
    const ProgramRun r = runProgram({"/S", path("in/*.pptx"), "/T", path("out/*.pdf"), "/C", "32", "/L", path("run.log"),
                                     "/B", path("res.qvj")});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
    const QStringList results = logLines(path("res.qvj"));
    ASSERT_EQ(results.size(), 1) << results.join("|").toStdString();
    EXPECT_TRUE(results[0].contains(path("in/c.pptx")));
    EXPECT_TRUE(logLines(path("run.log")).contains(
        "Left out of the results file (its name holds a TAB or a line break): " + path("in/a\\tb.pptx")));
}

TEST_F(CommandLineRun, ReloadTaskContinuesAJobLongerThanTheCap)
{
    // 30,010 tasks that end at once (their originals are missing) and one real conversion at
    // the very end, past the cap: it only runs if the reload task loads the rest of the job.
    ASSERT_TRUE(copy(demo("Quarterly Review.pptx"), path("in/q.pptx")));
    QByteArray job;
    const int missing = 30010;
    job.reserve(missing * 80);
    for (int i = 1; i <= missing; ++i)
        job += "A,1,2\t" + QByteArray::number(i) + "\tC\t" + path("gone/m.pptx").toUtf8() + "\t3\tppt\t" +
               path("out/m.pdf").toUtf8() + "\t32\tpdf\t\t\r\n";
    job += "A,1,2\t" + QByteArray::number(missing + 1) + "\tC\t" + path("in/q.pptx").toUtf8() + "\t3\tppt\t" +
           path("out/last.pdf").toUtf8() + "\t32\tpdf\t\t\r\n";
    job += "\t*\t\t\t\t\t\t\t\t\t\r\n";
    ASSERT_TRUE(qvtest::writeFile(path("big.qvj"), job));

    const ProgramRun r = runProgram({"/J", path("big.qvj"), "/L", path("big.log")});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
    EXPECT_EQ(pdfPages(path("out/last.pdf")), 4);
    const QStringList lines = logLines(path("big.log"));
    // Header (2), one line per failed task, time line.
    EXPECT_EQ(lines.size(), 2 + missing + 1);
}

TEST_F(CommandLineRun, HelpAndVerboseGoToStandardOutputWithoutADisplay)
{
    // /? alone shows the command-line help; asking for it is no invalid line.
    ProgramRun r = runProgram({"/?"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains("Quorvane command line")) << r.out.toStdString();
    // No switches at all: the help, and success.
    r = runProgram({});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains("Quorvane command line"));
    // /V shows the log lines too, without any box.
    ASSERT_TRUE(copy(demo("Quarterly Review.pptx"), path("in/q.pptx")));
    r = runProgram({"/S", path("in/q.pptx"), "/T", path("out/q.pdf"), "/C", "32", "/V"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains("Conversion Successful")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Time to complete job: "));
}

TEST_F(CommandLineRun, StoredWindowSettingsApplyAndStayUntouched)
{
    const QString ini = qvtest::homeDir() + "/.config/Ornwell, Inc/Quorvane/Quorvane_SearchHistory.INI";
    // LF line ends, as a hand-edited file may have: any rewrite by the program would show.
    const QByteArray stored = "[Main]\nPartial=Level3\n[frmMain]\nbIncludeNotesPage=true\n"
                              "mnuOptimizeForSpeed=FALSE\nbOverridePDFSettings=TRUE\n"
                              "sULKPDFUserPassword=open sesame\n";
    ASSERT_TRUE(qvtest::writeFile(ini, stored));
    struct Cleanup { QString f; ~Cleanup() { QFile::remove(f); } } cleanup{ini};

    ASSERT_TRUE(copy(demo("Quarterly Review.pptx"), path("in/q.pptx")));
    ProgramRun r = runProgram({"/S", path("in/q.pptx"), "/T", path("out/q.pdf"), "/C", "32"});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString();
    EXPECT_EQ(pdfPages(path("out/q.pdf")), 8); // four slides, four notes pages
    EXPECT_EQ(qvtest::readFile(ini), stored);

    // The PDF group of the store applies to "PDF - with options".
    r = runProgram({"/S", path("in/q.pptx"), "/T", path("out/secure.pdf"), "/C", "300"});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString();
    EXPECT_EQ(pdfPages(path("out/secure.pdf")), -1); // no password: cannot be opened
    QPDF pdf;
    EXPECT_NO_THROW(pdf.processFile(QFile::encodeName(path("out/secure.pdf")).constData(), "open sesame"));
    EXPECT_TRUE(pdf.isEncrypted());
    EXPECT_EQ(qvtest::readFile(ini), stored);
}

TEST_F(CommandLineRun, NoOriginalOverwritesAnotherOrItself)
{
    // Three originals of one stem: the first keeps x.pdf, the other two fail.
    ASSERT_TRUE(copy(demo("Quarterly Review.pptx"), path("in/x.pptx"))); // 4 slides
    ASSERT_TRUE(copy(demo("Training/Safety Briefing.ppt"), path("in/x.ppt"))); // 6
    ASSERT_TRUE(copy(demo("Training/Team Handbook.odp"), path("in/x.odp"))); // 3
    ProgramRun r = runProgram({"/S", path("in/*.*"), "/T", path("out/*.pdf"), "/C", "32", "/L", path("a.log")});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files | QDir::Hidden), QStringList{"x.pdf"});
    QStringList lines = logLines(path("a.log"));
    ASSERT_EQ(lines.size(), 5) << lines.join("|").toStdString();
    QMap<QString, int> pages{{"x.pptx", 4}, {"x.ppt", 6}, {"x.odp", 3}};
    for (const QString &line : lines.mid(2, 2)) {
        const QString head = "Job # 1  The target file was already written in this run from another original: (" +
                             path("out/x.pdf") + ") - " + path("in/");
        ASSERT_TRUE(line.startsWith(head)) << line.toStdString();
        pages.remove(line.mid(head.size()));
    }
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pdfPages(path("out/x.pdf")), pages.first()) << "the first original's PDF stays";

    // A target that is its original, named on the command line or by "save in original folder".
    const QByteArray bytes = qvtest::readFile(path("in/x.pptx"));
    r = runProgram({"/S", path("in/x.pptx"), "/T", path("in/x.pptx"), "/C", "24", "/L", path("b.log")});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
    r = runProgram({"/S", path("in/*.pptx"), "/G", "/C", "24", "/L", path("b.log")});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
    lines = logLines(path("b.log"));
    ASSERT_EQ(lines.size(), 8) << lines.join("|").toStdString();
    EXPECT_EQ(lines[2], "Job # 1  Source and Target File are the same. - " + path("in/x.pptx"));
    EXPECT_EQ(lines[6], lines[2]);
    EXPECT_EQ(qvtest::readFile(path("in/x.pptx")), bytes);
}

TEST_F(CommandLineRun, SignalsStopTheRunAndItsWorker)
{
    for (int i = 1; i <= 12; ++i)
        ASSERT_TRUE(copy(demo("Product Overview.pptx"), path(QString("in/p%1.pptx").arg(i, 2, 10, QChar('0')))));
    struct Case
    {
        int signal;
        int status;
    };
    for (const Case c : {Case{SIGINT, 130}, Case{SIGTERM, 143}, Case{SIGKILL, -1}}) {
        const QString out = path(QString("out%1").arg(c.signal));
        const QString log = path(QString("run%1.log").arg(c.signal));
        QProcess p;
        p.setProcessEnvironment(headless());
        defaultSignals(p);
        p.start(program(), {"/S", path("in/*.pptx"), "/T", out + "/*.png", "/C", "18", "/L", log});
        ASSERT_TRUE(p.waitForStarted());
        // Interrupt in the middle: a worker converts and some pictures are written.
        qint64 worker = 0;
        for (int i = 0; i < 12000 && (worker == 0 || QDir(out).entryList({"*.png"}).isEmpty()); ++i) {
            QThread::msleep(10);
            worker = workerOf(p.processId());
        }
        ASSERT_GT(worker, 0);
        ASSERT_FALSE(QDir(out).entryList({"*.png"}).isEmpty());
        ::kill(static_cast<pid_t>(p.processId()), c.signal);
        ASSERT_TRUE(p.waitForFinished(60000));
        const QStringList left = QDir(out).entryList(QDir::Files | QDir::Hidden);
        for (int i = 0; i < 6000 && !processGone(worker); ++i)
            QThread::msleep(10);
        EXPECT_TRUE(processGone(worker)) << "the worker ends with the program " << c.signal;
        // With the worker gone nothing of the run is left to write.
        EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden).join(' ').toStdString(), left.join(' ').toStdString())
            << "nothing is written after the end";
        if (c.signal == SIGKILL)
            continue;
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), c.status);
        EXPECT_TRUE(QDir(out).entryList({".qvpart-*"}, QDir::AllEntries | QDir::Hidden).isEmpty()) << left.join(" ").toStdString();
        EXPECT_LT(left.size(), 12 * 12) << "the run stopped early";
        const QStringList lines = logLines(log);
        ASSERT_GE(lines.size(), 4) << lines.join("|").toStdString();
        EXPECT_EQ(lines[lines.size() - 2], "The run was interrupted.");
        EXPECT_TRUE(lines.last().startsWith("Time to complete job: "));
    }
}

// The same folder, with broken files between good ones, converted on one office worker and on a
// pool of three: the log file, the results file, the exit status and the outputs are the same.
TEST_F(CommandLineRun, PoolOfWorkersGivesTheSameRunAsOne)
{
    QByteArray noise;
    for (int i = 0; i < 4000; ++i)
        noise += char((i * 7919) % 251);
    auto run = [&](int workers, QStringList &log, QStringList &results, QStringList &outputs) {
        const QString root = path(QString("w%1").arg(workers));
        ASSERT_TRUE(copy(demo("Quarterly Review.pptx"), root + "/in/a.pptx"));
        ASSERT_TRUE(qvtest::writeFile(root + "/in/b.pptx", QByteArray("PK\x03\x04 not a presentation")));
        // c.odp and c.pptx both name c.pdf: the first one listed keeps it.
        ASSERT_TRUE(copy(demo("Training/Team Handbook.odp"), root + "/in/c.odp"));
        ASSERT_TRUE(copy(demo("Product Overview.pptx"), root + "/in/c.pptx"));
        ASSERT_TRUE(qvtest::writeFile(root + "/in/d.pptx", noise));
        ASSERT_TRUE(copy(demo("Training/Safety Briefing.ppt"), root + "/in/sub/e.ppt"));
        ASSERT_TRUE(qvtest::writeFile(root + "/in/sub/f.pptx", QByteArray()));
        ASSERT_TRUE(copy(demo("Product Overview.pptx"), root + "/in/sub/deeper/g.pptx"));
        ASSERT_TRUE(copy(demo("Quarterly Review.pptx"), root + "/in/sub/deeper/h.pptx"));
        // A cache of its own, so that the profile folders tell how many workers ran.
        qputenv("QV_OFFICE_WORKERS", QByteArray::number(workers));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(root + "/cache"));
        const ProgramRun r = runProgram({"/S", root + "/in/*.*", "/R", "/T", root + "/out/*.pdf", "/C", "32", "/L",
                                         root + "/run.log", "/B", root + "/res.qvj"});
        EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
        EXPECT_EQ(QDir(root + "/cache/quorvane").entryList({"office-profile-*"}, QDir::Dirs).size(), workers);
        for (QString line : logLines(root + "/run.log")) {
            line.replace(root, "ROOT");
            if (line.startsWith("Date: ") || line.startsWith("Time to complete job: "))
                line = line.section(':', 0, 0);
            log << line;
        }
        for (const QString &line : logLines(root + "/res.qvj"))
            results << QString(line).replace(root, "ROOT");
        QDirIterator it(root + "/out", QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            outputs << QDir(root).relativeFilePath(f) + ' ' + QString::number(QFileInfo(f).isDir() ? 0 : pdfPages(f));
        }
        outputs.sort();
        for (const QString &f : QDir(root + "/in").entryList(QDir::Files | QDir::Hidden))
            outputs << "in/" + f;
    };
    QStringList log1, results1, outputs1, log3, results3, outputs3;
    run(1, log1, results1, outputs1);
    run(3, log3, results3, outputs3);
    qunsetenv("QV_OFFICE_WORKERS");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(qvtest::homeDir() + "/.cache"));

    // b, c.pptx, d and f fail, in list order.
    ASSERT_EQ(log1.size(), 2 + 4 + 1) << log1.join('\n').toStdString();
    EXPECT_TRUE(log1[2].endsWith("ROOT/in/b.pptx"));
    EXPECT_TRUE(log1[3].endsWith("ROOT/in/c.pptx"));
    EXPECT_TRUE(log1[5].endsWith("ROOT/in/sub/f.pptx"));
    EXPECT_EQ(log3, log1) << log3.join('\n').toStdString();
    EXPECT_EQ(results3, results1);
    EXPECT_EQ(outputs1, QStringList({"out/a.pdf 4", "out/c.pdf 3", "out/sub 0", "out/sub/deeper 0",
                                     "out/sub/deeper/g.pdf 12", "out/sub/deeper/h.pdf 4", "out/sub/e.pdf 6",
                                     "in/a.pptx", "in/b.pptx", "in/c.odp", "in/c.pptx", "in/d.pptx"}))
        << outputs1.join(", ").toStdString();
    EXPECT_EQ(outputs3, outputs1) << outputs3.join(", ").toStdString();
}

namespace {

std::unique_ptr<QProcess> startProgram(const QStringList &args)
{
    auto p = std::make_unique<QProcess>();
    p->setProcessEnvironment(headless());
    defaultSignals(*p);
    p->start(program(), args);
    return p;
}

// The value of a key of a desktop entry.
QString entryValue(const QString &entry, const QString &key)
{
    for (const QString &line : entry.split(u'\n'))
        if (line.startsWith(key + u'='))
            return line.mid(key.size() + 1).trimmed();
    return QString();
}

} // namespace

TEST_F(CommandLineRun, AnInterruptedRunIsNoSuccessAndItsResultsFileHoldsEveryFileNotConverted)
{
    QStringList names;
    for (int i = 1; i <= 12; ++i) {
        names << QString("p%1").arg(i, 2, 10, QChar('0'));
        ASSERT_TRUE(copy(demo("Product Overview.pptx"), path("in/" + names.last() + ".pptx")));
    }
    auto p = startProgram({"/S", path("in/*.pptx"), "/T", path("out/*.png"), "/C", "18", "/L", path("run.log"), "/B",
                           path("res.qvj")});
    ASSERT_TRUE(p->waitForStarted());
    ASSERT_TRUE(waitFor([&] { return !QDir(path("out")).entryList({"*.png"}).isEmpty(); }, 120000));
    ::kill(static_cast<pid_t>(p->processId()), SIGTERM);
    ASSERT_TRUE(p->waitForFinished(60000));
    EXPECT_EQ(p->exitCode(), 143);

    const QStringList lines = logLines(path("run.log"));
    EXPECT_FALSE(lines.contains("Conversion Successful")) << lines.join("|").toStdString();
    EXPECT_TRUE(lines.contains("The run was interrupted."));
    QSet<QString> listed;
    for (const QString &line : logLines(path("res.qvj")))
        listed << line.section('\t', 3, 3);
    int converted = 0;
    for (const QString &n : names) {
        const bool done = QFile::exists(path("out/" + n + "_1.png"));
        converted += done ? 1 : 0;
        EXPECT_NE(done, listed.contains(path("in/" + n + ".pptx"))) << n.toStdString();
    }
    EXPECT_LT(converted, names.size()) << "the run stopped early";
}

TEST_F(CommandLineRun, AJobThatReloadsItselfFailsThatTaskAndEnds)
{
    const QByteArray job = path("self.qvj").toUtf8();
    ASSERT_TRUE(qvtest::writeFile(path("self.qvj"), " \t1\tS1\tReload\t0\t0\t" + job + "\t1\t\t\r\n"));
    const ProgramRun r = runProgram({"/J", path("self.qvj"), "/L", path("job.log")}, 30000);
    EXPECT_EQ(r.exitCode, 1);
    const QStringList lines = logLines(path("job.log"));
    ASSERT_EQ(lines.size(), 4) << lines.join("|").toStdString();
    EXPECT_EQ(lines[2], "Job # 1  The reload task comes back to a conversion job loaded with no task run since: (" +
                            path("self.qvj") + ") - Reload");
}

TEST_F(CommandLineRun, RefusedLinesSayWhyOnStandardErrorAndCreateNothing)
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("XDG_RUNTIME_DIR");
    ASSERT_TRUE(copy(demo("Quarterly Review.pptx"), path("in/q.pptx")));
    struct Case
    {
        QStringList args;
        QString says;
    };
    const QList<Case> cases = {
        {{"--help"}, "Missing required or invalid command line argument(s)"},
        {{path("in/q.pptx")}, "Missing required or invalid command line argument(s)"},
        {{"/S", path("gone.pptx"), "/T", path("new/x.pdf"), "/C", "32"}, path("gone.pptx") + " does not exist."},
        {{"/S", path("in/q.pptx"), "/T", path("new/y/z/q.gif"), "/C", "16"}, "Invalid Target File type specified"},
        {{"/S", path("in/q.pptx"), "/T", path("new/q.wmf"), "/C", "15"}, "Invalid Target File type specified"},
        {{"/S", path("in/q.pptx"), "/T", path("new/q.pdf"), "/C", "32", "/Y", "-3", "/Z", "-1"}, "slide numbers start at 1"},
        {{"/S", path("in/q.pptx"), "/T", path("new/q.pdf"), "/C", "32", "/Y", "-5", "/Z", "3"}, "slide numbers start at 1"},
        {{"/S", path("in/q.pptx"), "/T", path("new/q.pdf"), "/C", "32", "/Y", "99999999999", "/Z", "2"}, "the slide number is too large"},
    };
    for (const Case &c : cases) {
        const ProgramRun r = runProgram(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith("Missing required or invalid command line argument(s)")) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.says)) << r.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(path("new"))) << c.args.join(' ').toStdString();
    }
    // The runtime folder stood in for the missing variable: no warning of Qt's, and private.
    const QString folder = QDir::tempPath() + QString("/quorvane-runtime-%1").arg(::getuid());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    if (!runtime.isEmpty())
        qputenv("XDG_RUNTIME_DIR", runtime);

    // The help offers exactly the types that are not refused.
    const ProgramRun help = runProgram({"/?"});
    const QString list = help.out.section("Target type codes", 1).section("Exit status", 0, 0);
    QSet<int> offered;
    const QRegularExpression code(QStringLiteral("(?:^[\\s-]*|,\\s+)(\\d+) [A-Za-z]"), QRegularExpression::MultilineOption);
    for (auto m = code.globalMatch(list); m.hasNext();)
        offered << m.next().captured(1).toInt();
    QSet<int> catalogue{300};
    for (const auto &t : TypeCatalogue::types())
        catalogue << t.code;
    EXPECT_EQ(offered, catalogue) << list.toStdString();
}

TEST_F(CommandLineRun, SlideRangesOpenAtTheStartAndNegativeSlidesFail)
{
    ASSERT_TRUE(copy(demo("Product Overview.pptx"), path("in/p.pptx")));
    ProgramRun r = runProgram({"/S", path("in/p.pptx"), "/T", path("out/first3.pdf"), "/C", "32", "/Z", "3"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(pdfPages(path("out/first3.pdf")), 3);

    // A job row is no command line: its negative range fails the task like any other bad range.
    ASSERT_TRUE(qvtest::writeFile(path("neg.qvj"), ",-3,-1\t1\tC\t" + path("in/p.pptx").toUtf8() + "\t3\tppt\t" +
                                                       path("out/neg.pdf").toUtf8() + "\t32\tpdf\t\t\r\n"));
    r = runProgram({"/J", path("neg.qvj"), "/L", path("neg.log")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(QFile::exists(path("out/neg.pdf")));
    EXPECT_TRUE(logLines(path("neg.log")).contains("Job # 1  The slide range is not valid for this presentation. - " +
                                                   path("in/p.pptx")));
}

TEST_F(CommandLineRun, ControlCharactersInNamesCannotForgeLogLines)
{
    ASSERT_TRUE(qvtest::writeFile(path("in/a\r\nConversion Successful\r\n.pptx"), QByteArray("PK\x03\x04 broken")));
    const ProgramRun r = runProgram({"/S", path("in/*.pptx"), "/T", path("out/*.pdf"), "/C", "32", "/L", path("run.log")});
    EXPECT_EQ(r.exitCode, 1);
    const QStringList lines = logLines(path("run.log"));
    ASSERT_EQ(lines.size(), 4) << lines.join("|").toStdString();
    EXPECT_FALSE(lines.contains("Conversion Successful"));
    EXPECT_TRUE(lines[2].startsWith("Job # 1  ")) << lines[2].toStdString();
    EXPECT_TRUE(lines[2].endsWith(" - " + path("in/a\\r\\nConversion Successful\\r\\n.pptx"))) << lines[2].toStdString();
}

TEST_F(CommandLineRun, AnInterruptedLaunchStopsTheProgramAndWhatItStarted)
{
    const QString script = QString("echo $$ > %1; sleep 60 & echo $! > %2; wait").arg(path("sh.pid"), path("sleep.pid"));
    ASSERT_TRUE(qvtest::writeFile(path("job.qvj"), "T32 S1 W-1\t1\tS60\t/bin/sh\t-12345678\t\t-c \"" + script.toUtf8() +
                                                       "\"\t-12345678\t\t\t\r\n"));
    auto p = startProgram({"/J", path("job.qvj"), "/L", path("job.log")});
    ASSERT_TRUE(p->waitForStarted());
    auto pidIn = [&](const QString &f) { return qvtest::readFile(path(f)).trimmed().toLongLong(); };
    ASSERT_TRUE(waitFor([&] { return pidIn("sh.pid") > 0 && pidIn("sleep.pid") > 0; }, 120000));
    ::kill(static_cast<pid_t>(p->processId()), SIGTERM);
    ASSERT_TRUE(p->waitForFinished(60000));
    EXPECT_EQ(p->exitCode(), 143);
    const qint64 sh = pidIn("sh.pid"), sleeper = pidIn("sleep.pid");
    EXPECT_TRUE(waitFor([&] { return processGone(sh) && processGone(sleeper); }, 120000));
    ::kill(static_cast<pid_t>(sleeper), SIGKILL); // whatever the outcome, leave nothing behind
    ::kill(static_cast<pid_t>(sh), SIGKILL);
    const QStringList lines = logLines(path("job.log"));
    EXPECT_TRUE(lines.contains("Job # 1  The run was interrupted. - /bin/sh")) << lines.join("|").toStdString();
}

TEST_F(CommandLineRun, AnInterruptedRunsResultsNeverReplaceAJobItsReloadRowsLeadTo)
{
    // a.qvj: a launch that writes b.qvj (a reload of c.qvj) and waits, then the reload of b.qvj.
    // The start cannot see c.qvj; the results, a reload of b.qvj, would take its place and reload
    // themselves for ever.
    ASSERT_TRUE(qvtest::writeFile(path("b.txt"), " \t1\tS1\tReload\t0\t0\t" + path("c.qvj").toUtf8() + "\t1\t\t\r\n"));
    const QByteArray c = ",0,0\t1\tC\t" + path("in/q.pptx").toUtf8() + "\t3\tppt\t" + path("out/q.pdf").toUtf8() + "\t32\tpdf\t\t\r\n";
    ASSERT_TRUE(qvtest::writeFile(path("c.qvj"), c));
    const QString script = QString("cp %1 %2; echo $$ > %3; sleep 60 & echo $! > %4; wait")
                               .arg(path("b.txt"), path("b.qvj"), path("sh.pid"), path("sleep.pid"));
    ASSERT_TRUE(qvtest::writeFile(path("a.qvj"), "T32 S1 W-1\t1\tS60\t/bin/sh\t-12345678\t\t-c \"" + script.toUtf8() +
                                                     "\"\t-12345678\t\t\t\r\n \t2\tS1\tReload\t0\t0\t" +
                                                     path("b.qvj").toUtf8() + "\t1\t\t\r\n"));
    auto p = startProgram({"/J", path("a.qvj"), "/L", path("a.log"), "/B", path("c.qvj")});
    ASSERT_TRUE(p->waitForStarted());
    auto pidIn = [&](const QString &f) { return qvtest::readFile(path(f)).trimmed().toLongLong(); };
    ASSERT_TRUE(waitFor([&] { return pidIn("sh.pid") > 0 && pidIn("sleep.pid") > 0; }, 30000));
    ::kill(static_cast<pid_t>(p->processId()), SIGTERM);
    ASSERT_TRUE(p->waitForFinished(30000));
    EXPECT_EQ(p->exitCode(), 143);
    ::kill(static_cast<pid_t>(pidIn("sleep.pid")), SIGKILL);
    EXPECT_EQ(qvtest::readFile(path("c.qvj")), c);
    const QStringList lines = logLines(path("a.log"));
    EXPECT_TRUE(lines.filter("The results file is a job that its own reload tasks lead to").size() == 1)
        << lines.join('|').toStdString();
}

TEST_F(CommandLineRun, AMissingLanguageFileIsReportedOnceOnStandardError)
{
    const QString ini = qvtest::homeDir() + "/.config/Ornwell, Inc/Quorvane/Quorvane_SearchHistory.INI";
    ASSERT_TRUE(qvtest::writeFile(ini, "[Language]\r\nLanguage_Code=Klingon\r\n"));
    struct Cleanup { QString f; ~Cleanup() { QFile::remove(f); } } cleanup{ini};
    const ProgramRun r = runProgram({"/S", path("gone.pptx"), "/T", path("x.pdf"), "/C", "32"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err.count("Unable to locate Language file: "), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("Klingon-Quorvane.txt. Defaulting to English")) << r.err.toStdString();
}

TEST_F(CommandLineRun, AGermanRunLogsInGermanAndFindsEveryTextInTheLanguageFile)
{
    const QString data = qvtest::homeDir() + "/.config/Ornwell, Inc/Quorvane/";
    const QByteArray german = qvtest::readFile(qvtest::sourceDir() + "/data/Languages/German-Quorvane.txt");
    ASSERT_TRUE(qvtest::writeFile(data + "Languages/German-Quorvane.txt", german));
    ASSERT_TRUE(qvtest::writeFile(data + "Quorvane_SearchHistory.INI", "[Language]\r\nLanguage_Code=German\r\n"));
    struct Cleanup { QString f; ~Cleanup() { QFile::remove(f); } } cleanup{data + "Quorvane_SearchHistory.INI"};

    ASSERT_TRUE(copy(demo("Quarterly Review.pptx"), path("in/q.pptx")));
    ASSERT_TRUE(qvtest::writeFile(path("in/broken.pptx"), QByteArray("PK\x03\x04 this is not a presentation")));
    ASSERT_TRUE(qvtest::writeFile(path("text/a.txt"), "a\r\n\r\nb\r\n"));
    QByteArray job;
    auto line = [&](const QStringList &cells) { job += cells.join('\t').toUtf8() + "\t\r\n"; };
    line({"A,1,2", "1", "C", path("in/*.pptx"), "3", "ppt", path("out/*.pdf"), "32", "pdf", ""});
    line({",1,2", "2", "S55", path("text/*.txt"), "1", "TXT", path("out/*.txt"), "1", "TXT", ""});
    line({"T32 S1 W30", "3", "S60", "/bin/sh", "-12345678", "", "-c \"exit 3\"", "-12345678", "", ""});
    line({"T32 S1 W30", "4", "S60", path("no/such/program"), "-12345678", "", "", "-12345678", "", ""});
    line({"", "*", "", "", "", "", "", "", "", ""});
    ASSERT_TRUE(qvtest::writeFile(path("job.qvj"), job));

    const ProgramRun r = runProgram({"/J", path("job.qvj"), "/L", path("job.log")});
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_EQ(pdfPages(path("out/q.pdf")), 4);
    const QString log = logLines(path("job.log")).join(u'|');
    EXPECT_TRUE(log.contains("|Auftrag Nr. 3  Exitcode: 3 - /bin/sh|")) << log.toStdString();
    EXPECT_TRUE(log.contains(QString::fromUtf8("Das Programm konnte nicht gestartet werden."))) << log.toStdString();
    const QByteArray after = qvtest::readFile(data + "Languages/German-Quorvane.txt");
    EXPECT_EQ(after.size(), german.size()) << after.mid(german.size()).toStdString();

    // A command line that fails validation, in German too.
    const ProgramRun bad = runProgram({"/S", path("missing.pptx"), "/T", path("out/x.pdf"), "/C", "32", "/L", path("bad.log")});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(logLines(path("bad.log")).contains("Originaldatei")) << logLines(path("bad.log")).join(u'|').toStdString();
    EXPECT_EQ(qvtest::readFile(data + "Languages/German-Quorvane.txt").size(), german.size());
}

// `cmake --install` into a fresh prefix gives a program that finds its data, its help and its
// worker through its own folder alone.
TEST_F(CommandLineRun, InstalledProgramRunsFromItsOwnPrefix)
{
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(QV_CMAKE_COMMAND), {"--install", qvtest::buildDir(), "--prefix", path("prefix")});
    ASSERT_TRUE(install.waitForFinished(120000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAll().toStdString();

    EXPECT_TRUE(QFileInfo(path("prefix/bin/quorvane-office")).isExecutable());
    EXPECT_TRUE(QFileInfo(path("prefix/share/quorvane/Demo Batch Files/run-demo-job.sh")).isExecutable());
    for (const char *file : {"Languages/German-Quorvane.txt", "help/index.html", "Demo Conversion Jobs/Convert to PDF.qvj"})
        EXPECT_TRUE(QFileInfo::exists(path("prefix/share/quorvane/") + file)) << file;
    // The desktop entry starts the installed program and names an installed icon.
    const QString entry = QString::fromUtf8(qvtest::readFile(path("prefix/share/applications/quorvane.desktop")));
    EXPECT_EQ(entryValue(entry, "Type"), "Application");
    EXPECT_FALSE(entryValue(entry, "Categories").isEmpty());
    const QString exec = entryValue(entry, "Exec").section(u' ', 0, 0);
    EXPECT_TRUE(QFileInfo(path("prefix/bin/" + exec)).isExecutable()) << exec.toStdString();
    for (const char *size : {"16x16", "32x32", "48x48", "64x64"})
        EXPECT_TRUE(QFileInfo::exists(path("prefix/share/icons/hicolor/%1/apps/%2.png").arg(size, entryValue(entry, "Icon"))))
            << size;

    // Nothing leads the installed program back into the build tree: the worker it uses is the
    // one beside it.
    const QByteArray searchPath = qgetenv("PATH");
    const auto restore = qScopeGuard([&] { qputenv("PATH", searchPath); });
    qputenv("PATH", "/usr/bin:/bin");
    ASSERT_TRUE(qEnvironmentVariableIsEmpty("QV_PROGRAM_FOLDER") && qEnvironmentVariableIsEmpty("QV_OFFICE_WORKER"));
    const QString program = path("prefix/bin/quorvane");
    ProgramRun r = runProgram({"/?"}, 600000, program);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains("Quorvane command line")) << r.out.toStdString();
    // The installed demo deck; the log's bare name puts it in the program's folder.
    r = runProgram({"/S", path("prefix/share/quorvane/Demo Data/Quarterly Review.pptx"), "/T", path("out/review.pdf"),
                    "/C", "32", "/L", "install-run.log"}, 600000, program);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(pdfPages(path("out/review.pdf")), 4);
    EXPECT_TRUE(qvtest::readFile(path("prefix/share/quorvane/install-run.log")).contains("Conversion Successful"));
}
