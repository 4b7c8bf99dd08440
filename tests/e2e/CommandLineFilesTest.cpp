// Whole-program runs about the files a task meets and makes: targets that would fall on another
// original, entries of a folder that cannot be named or opened, folders made for work that failed.
#include "E2eSupport.h"
#include "TestEnv.h"
#include "converter/StagedOutput.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace e2e;

namespace {

// A run of these tests that hangs fails after five minutes.
ProgramRun run(const QStringList &args) { return runProgram(args, 300000); }

class CommandLineFiles : public ::testing::Test
{
protected:
    QTemporaryDir tmp;
    QString path(const QString &rel) const { return tmp.filePath(rel); }
};

} // namespace

TEST_F(CommandLineFiles, NoTargetFallsOnAnOriginalOfTheTask)
{
    ASSERT_TRUE(copy(demo("Quarterly Review.pptx"), path("s/three.pptx")));
    ASSERT_TRUE(copy(demo("Training/Safety Briefing.ppt"), path("s/three.ppt")));
    const QByteArray pptx = qvtest::readFile(path("s/three.pptx"));
    const QByteArray ppt = qvtest::readFile(path("s/three.ppt"));
    // To PPT the first original listed is its own target and the second names the first; to PPTX
    // the first names the second, not yet reached.
    for (const QString type : {"1", "24"}) {
        const QString log = path("run" + type + ".log");
        const QString ext = type == "1" ? "ppt" : "pptx";
        const ProgramRun r = run({"/S", path("s/*.*"), "/T", path("x/*." + ext), "/C", type, "/G", "/L", log});
        EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
        EXPECT_EQ(qvtest::readFile(path("s/three.pptx")), pptx) << ext.toStdString();
        EXPECT_EQ(qvtest::readFile(path("s/three.ppt")), ppt) << ext.toStdString();
        const QStringList lines = logLines(log);
        ASSERT_EQ(lines.size(), 5) << lines.join("|").toStdString();
        EXPECT_EQ(lines[2], "Job # 1  Source and Target File are the same. - " + path("s/three.ppt"));
        EXPECT_EQ(lines[3], "Job # 1  Source and Target File are the same. - " + path("s/three.pptx"));
    }

    // A picture per slide would replace the user's talk_2.png; the web pages' folder the same.
    ASSERT_TRUE(copy(demo("Quarterly Review.pptx"), path("p/talk.pptx")));
    ASSERT_TRUE(qvtest::writeFile(path("p/talk_2.png"), "the user's picture"));
    ASSERT_TRUE(copy(demo("Quarterly Review.pptx"), path("h/talk.pptx")));
    ASSERT_TRUE(qvtest::writeFile(path("h/talk_files/talk_2.png"), "the user's picture"));
    ProgramRun r = run({"/S", path("p/*.*"), "/T", path("x/*.png"), "/C", "18", "/G"});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
    r = run({"/S", path("h/*.*"), "/R", "/T", path("x/*.html"), "/C", "12", "/G"});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
    EXPECT_EQ(qvtest::readFile(path("p/talk_2.png")), "the user's picture");
    EXPECT_EQ(qvtest::readFile(path("h/talk_files/talk_2.png")), "the user's picture");
    EXPECT_EQ(QDir(path("p")).entryList(QDir::Files), QStringList({"talk.pptx", "talk_2.png"}));
    EXPECT_FALSE(QFileInfo::exists(path("h/talk.html")));
}

TEST_F(CommandLineFiles, ALaterTaskMayReplaceAnEarlierTasksTarget)
{
    ASSERT_TRUE(copy(demo("Quarterly Review.pptx"), path("in/q.pptx")));
    ASSERT_TRUE(copy(demo("Product Overview.pptx"), path("in/p.pptx")));
    QByteArray job;
    auto line = [&](const QStringList &cells) { job += cells.join('\t').toUtf8() + "\t\r\n"; };
    line({"A,1,2", "1", "C", path("in/q.pptx"), "3", "ppt", path("out/x.pdf"), "32", "pdf", ""});
    line({"A,1,2", "2", "C", path("in/p.pptx"), "3", "ppt", path("out/x.pdf"), "32", "pdf", ""});
    line({"", "*", "", "", "", "", "", "", "", ""});
    ASSERT_TRUE(qvtest::writeFile(path("job.qvj"), job));
    const ProgramRun r = run({"/J", path("job.qvj"), "/L", path("job.log")});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString();
    EXPECT_GT(pdfPages(path("out/x.pdf")), 4) << "the second task's PDF replaced the first one's";
    const QStringList lines = logLines(path("job.log"));
    ASSERT_EQ(lines.size(), 4) << lines.join("|").toStdString();
    EXPECT_EQ(lines[2], "Conversion Successful");
}

TEST_F(CommandLineFiles, NamesThatAreNotTextConvertAndWhatCannotBeOpenedFailsAloud)
{
    const QByteArray deck = qvtest::readFile(demo("Quarterly Review.pptx"));
    const QByteArray folder = QFile::encodeName(path("u"));
    ASSERT_TRUE(QDir().mkpath(path("u")));
    auto writeDeck = [&](const QByteArray &name, int at = AT_FDCWD) {
        const int fd = ::openat(at, name.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, deck.constData(), deck.size()), deck.size());
        ::close(fd);
    };
    ASSERT_NO_FATAL_FAILURE(writeDeck(folder + "/lat\xe9.pptx"));
    ASSERT_EQ(::mkdir(folder + "/sub\xe9", 0755), 0);
    ASSERT_NO_FATAL_FAILURE(writeDeck(folder + "/sub\xe9/in.pptx"));
    ASSERT_EQ(::mkfifo(folder + "/pipe.pptx", 0644), 0); // opening it for reading would hang the run
    ASSERT_EQ(::symlink("nowhere.pptx", folder + "/dangling.pptx"), 0);
    ASSERT_EQ(::symlink("loop.pptx", folder + "/loop.pptx"), 0);
    ASSERT_EQ(::symlink("elsewhere", folder + "/notes.txt"), 0); // does not match: not a concern

    const ProgramRun r = run({"/S", path("u/*.pptx"), "/R", "/T", path("o/*.pdf"), "/C", "32", "/L", path("u.log")});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
    // The outputs keep the originals' bytes; nothing else is left in their folders.
    const QByteArray out = QFile::encodeName(path("o"));
    EXPECT_EQ(pdfPages(out + "/lat\xe9.pdf"), 4);
    EXPECT_EQ(pdfPages(out + "/sub\xe9/in.pdf"), 4);
    EXPECT_EQ(QDir(path("o")).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).size(), 0)
        << "names that are text: none";
    const QStringList lines = logLines(path("u.log"));
    ASSERT_EQ(lines.size(), 6) << lines.join("|").toStdString();
    EXPECT_EQ(lines.mid(2, 3), QStringList({
                                   "Job # 1  The link leads to nothing. - " + path("u/dangling.pptx"),
                                   "Job # 1  The links lead round in a circle. - " + path("u/loop.pptx"),
                                   "Job # 1  This is not a regular file. - " + path("u/pipe.pptx"),
                               }));

    // A deck below a path longer than the system takes: made and removed relative to its folder.
    const QByteArray part(200, 'd');
    int dir = ::open(QFile::encodeName(path("")).constData(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(dir, 0);
    for (int i = 0; i < 22; ++i) {
        const QByteArray name = i == 0 ? QByteArray("deep") : part;
        ASSERT_EQ(::mkdirat(dir, name.constData(), 0755), 0);
        const int next = ::openat(dir, name.constData(), O_RDONLY | O_DIRECTORY);
        ::close(dir);
        dir = next;
        ASSERT_GE(dir, 0);
    }
    ASSERT_NO_FATAL_FAILURE(writeDeck("far.pptx", dir));
    ::close(dir);
    const ProgramRun deep = run({"/S", path("deep/*.pptx"), "/R", "/T", path("d/*.pdf"), "/C", "32", "/L", path("d.log")});
    QProcess::execute("rm", {"-rf", path("deep")});
    EXPECT_EQ(deep.exitCode, 1) << deep.out.toStdString();
    const QStringList deepLines = logLines(path("d.log"));
    ASSERT_EQ(deepLines.size(), 4) << deepLines.join("|").toStdString();
    EXPECT_TRUE(deepLines[2].startsWith("Job # 1  The path is longer than the system allows. - " + path("deep/")))
        << deepLines[2].toStdString();
}

TEST_F(CommandLineFiles, ANameThatIsNotTextKeepsItsOldPicturesWhenALaterOneCannotBeWritten)
{
    const QByteArray u = QFile::encodeName(path("u")), o = QFile::encodeName(path("o"));
    ASSERT_TRUE(QDir().mkpath(path("u")) && QDir().mkpath(path("o")));
    // Files by their bytes: these names have no text form to open them by.
    auto put = [](const QByteArray &file, const QByteArray &bytes) {
        const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        return fd >= 0 && ::write(fd, bytes.constData(), bytes.size()) == bytes.size() && ::close(fd) == 0;
    };
    auto get = [](const QByteArray &file) {
        QByteArray bytes(64, '\0');
        const int fd = ::open(file.constData(), O_RDONLY);
        const ssize_t n = fd >= 0 ? ::read(fd, bytes.data(), bytes.size()) : -1;
        if (fd >= 0)
            ::close(fd);
        return n < 0 ? QByteArray("(missing)") : bytes.left(n);
    };
    ASSERT_TRUE(put(u + "/lat\xe9.pptx", qvtest::readFile(demo("Quarterly Review.pptx"))));
    ASSERT_TRUE(put(o + "/lat\xe9_1.png", "one") && put(o + "/lat\xe9_2.png", "two"));
    ASSERT_EQ(::mkdir(o + "/lat\xe9_3.png", 0755), 0);
    ASSERT_EQ(::mkdir(o + "/lat\xe9_3.png/k", 0755), 0); // in the way of the third picture
    // Outputs of other runs waiting for such a name: a live one's and an earlier version's stay,
    // a gone one's goes.
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const QString live = StagedNames::forProcess(::getpid(), 1, "o_1.png", StagedNames::Kind::Name);
    QStringList others{live, ".qvname-12345678_1.png"};
    others.sort();
    for (const QString &name : others + QStringList{StagedNames::forProcess(gone, 2, "o_1.png", StagedNames::Kind::Name)})
        ASSERT_TRUE(qvtest::writeFile(path("o/" + name), "other"));

    const ProgramRun r = run({"/S", path("u/*.pptx"), "/T", path("o/*.png"), "/C", "18", "/L", path("u.log")});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
    EXPECT_EQ(get(o + "/lat\xe9_1.png"), "one");
    EXPECT_EQ(get(o + "/lat\xe9_2.png"), "two");
    EXPECT_EQ(get(o + "/lat\xe9_4.png"), "(missing)");
    // The pictures are renamed in slide order: the third fails after the first two were replaced.
    EXPECT_EQ(QDir(path("o")).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name), others)
        << "nothing staged or kept aside stays";
}

TEST_F(CommandLineFiles, FoldersMadeForFailedWorkDoNotStay)
{
    ASSERT_TRUE(qvtest::writeFile(path("zero.pptx"), ""));
    ASSERT_TRUE(copy(demo("Quarterly Review.pptx"), path("q.pptx")));
    ASSERT_TRUE(QDir().mkpath(path("there")));
    ProgramRun r = run({"/S", path("zero.pptx"), "/T", path("new1/new2/x.pdf"), "/C", "32"});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("new1")));
    // Slides 7 to 9 of a deck of four; a folder that was there before stays, empty as it was.
    r = run({"/S", path("q.pptx"), "/T", path("there/r1/r2/x.pdf"), "/C", "32", "/Y", "7", "/Z", "9"});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("there/r1")));
    EXPECT_TRUE(QFileInfo(path("there")).isDir());

    // A folder task whose sub-folder holds only a file that fails.
    ASSERT_TRUE(copy(demo("Quarterly Review.pptx"), path("s/ok.pptx")));
    ASSERT_TRUE(qvtest::writeFile(path("s/sub/zero.pptx"), ""));
    r = run({"/S", path("s/*.pptx"), "/R", "/T", path("t/*.pdf"), "/C", "32"});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
    EXPECT_EQ(pdfPages(path("t/ok.pdf")), 4);
    EXPECT_FALSE(QFileInfo::exists(path("t/sub")));
}

TEST_F(CommandLineFiles, TheFolderOfAnInterruptedConversionDoesNotStay)
{
    ASSERT_TRUE(copy(demo("Product Overview.pptx"), path("p.pptx")));
    QProcess p;
    p.setProcessEnvironment(headless());
    defaultSignals(p);
    p.start(program(), {"/S", path("p.pptx"), "/T", path("new/deeper/p.png"), "/C", "18"});
    ASSERT_TRUE(p.waitForStarted());
    // Stopped while the slides are being drawn: the folder exists, its worker has it, and
    // nothing is in it yet.
    waitFor([&] { return QFileInfo::exists(path("new/deeper")) && workerOf(p.processId()) != 0; }, 120000);
    ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 143);
    // Unless the conversion was done before the signal came, nothing of the folders is left.
    EXPECT_TRUE(!QFileInfo::exists(path("new")) || !QDir(path("new/deeper")).isEmpty()) << "an empty folder stayed behind";
}

TEST_F(CommandLineFiles, AppendOverAPatternReplacesItsTargetOnceAsAWhole)
{
    ASSERT_TRUE(qvtest::writeFile(path("t/a.txt"), "f1\r\n"));
    ASSERT_TRUE(qvtest::writeFile(path("t/b.txt"), "f2\r\n"));
    ASSERT_TRUE(qvtest::writeFile(path("t/c.txt"), "f3\r\n"));
    ASSERT_TRUE(qvtest::writeFile(path("out/all.txt"), "old\r\n"));
    ASSERT_TRUE(qvtest::writeFile(path("append.qvj"), "\t1\tS50\t" + path("t/*.txt").toUtf8() + "\t1\tTXT\t" +
                                                          path("out/all.txt").toUtf8() + "\t1\tTXT\t\r\n"));
    const ProgramRun r = run({"/J", path("append.qvj")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(qvtest::readFile(path("out/all.txt")), "old\r\nf1\r\nf2\r\nf3\r\n");
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files | QDir::Hidden), QStringList{"all.txt"});

    // Killed as it opens the second file (the first one appended): the target is as it was, never
    // part-appended, and a next run appends every file once. Interrupted there (SIGTERM), the
    // same, and the results file holds the whole task.
    if (QStandardPaths::findExecutable("strace").isEmpty())
        GTEST_SKIP() << "strace is missing";
    auto stoppedAtSecondFile = [&](const char *signal, const QStringList &extra) {
        EXPECT_TRUE(qvtest::writeFile(path("out/all.txt"), "old\r\n"));
        QProcess p;
        // The leak check of a sanitized build cannot run under a tracer.
        QProcessEnvironment env = headless();
        env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":detect_leaks=0");
        p.setProcessEnvironment(env);
        defaultSignals(p);
        p.start("strace", QStringList{"-f", "-qq", "-o", "/dev/null", "-P", path("t/b.txt"), "-e", "trace=openat", "-e",
                                      QString("inject=openat:signal=%1:when=1").arg(signal), "--", program(), "/J",
                                      path("append.qvj")} + extra);
        EXPECT_TRUE(p.waitForFinished(120000));
        EXPECT_NE(p.exitCode(), 0) << signal;
        EXPECT_EQ(qvtest::readFile(path("out/all.txt")), "old\r\n") << signal;
    };
    stoppedAtSecondFile("KILL", {});
    EXPECT_EQ(run({"/J", path("append.qvj")}).exitCode, 0);
    EXPECT_EQ(qvtest::readFile(path("out/all.txt")), "old\r\nf1\r\nf2\r\nf3\r\n");
    stoppedAtSecondFile("TERM", {"/B", path("redo.qvj")});
    EXPECT_EQ(run({"/J", path("redo.qvj")}).exitCode, 0);
    EXPECT_EQ(qvtest::readFile(path("out/all.txt")), "old\r\nf1\r\nf2\r\nf3\r\n");
}

TEST_F(CommandLineFiles, AFolderTheRunMadeKeepsItsResultsFileAndLog)
{
    ASSERT_TRUE(qvtest::writeFile(path("zero.pptx"), ""));
    ProgramRun r = run({"/S", path("zero.pptx"), "/T", path("new1/x.pdf"), "/C", "32", "/B", path("new1/res.qvj")});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
    EXPECT_EQ(logLines(path("new1/res.qvj")).size(), 1);
    // The folder that holds the record's folder stays, the empty one made below it does not.
    r = run({"/S", path("zero.pptx"), "/T", path("new2/rec/sub/x.pdf"), "/C", "32", "/B", path("new2/rec/res.qvj"),
             "/L", path("new2/run.log")});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
    EXPECT_EQ(logLines(path("new2/rec/res.qvj")).size(), 1);
    EXPECT_TRUE(logLines(path("new2/run.log")).value(2).startsWith("Job # 1  "));
    EXPECT_FALSE(QFileInfo::exists(path("new2/rec/sub")));
}

TEST_F(CommandLineFiles, AFailedRunsCleanUpNeverFailsAnotherRunsConversion)
{
    // Runs that start together into one missing folder: the one that fails removes the folder
    // it made, and those converting into it make it again. Two rounds at once; the removal at
    // the exact moment, between a run's making the folder and its conversion, is
    // FolderLookAhead.AFolderAnotherRunRemovesBeforeTheConversionIsMadeAgain.
    ASSERT_TRUE(qvtest::writeFile(path("zero.pptx"), ""));
    ASSERT_TRUE(copy(demo("Quarterly Review.pptx"), path("q.pptx")));
    constexpr int kRounds = 2, kAtOnce = 2, kRuns = 6; // run 0 of a round fails
    for (int first = 1; first <= kRounds; first += kAtOnce) {
        std::vector<std::unique_ptr<QProcess>> runs;
        for (int round = first; round < first + kAtOnce; ++round) {
            for (int i = 0; i < kRuns; ++i) {
                auto p = std::make_unique<QProcess>();
                p->setProcessEnvironment(headless());
                p->start(program(), {"/S", path(i == 0 ? "zero.pptx" : "q.pptx"), "/T",
                                     path(QString("shared%1/x%2.pdf").arg(round).arg(i)), "/C", "32"});
                runs.push_back(std::move(p));
            }
        }
        for (std::size_t n = 0; n < runs.size(); ++n) {
            const int round = first + static_cast<int>(n) / kRuns, i = static_cast<int>(n) % kRuns;
            ASSERT_TRUE(runs[n]->waitForFinished(120000));
            EXPECT_EQ(runs[n]->exitCode(), i == 0 ? 1 : 0)
                << "round " << round << " run " << i << ": " << runs[n]->readAllStandardError().constData();
            if (i > 0) {
                EXPECT_EQ(pdfPages(path(QString("shared%1/x%2.pdf").arg(round).arg(i))), 4) << "round " << round;
            }
        }
    }
}
