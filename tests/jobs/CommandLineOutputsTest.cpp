// Which files a command line's log and results file may not name: the outputs beyond the target
// itself, and the files of a job's tasks.
#include "TestEnv.h"

#include "jobs/Validation.h"
#include "jobs/clsConversionOptions.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>

namespace {

class CommandLineOutputs : public ::testing::Test
{
protected:
    QTemporaryDir tmp;
    QString path(const QString &rel) const { return tmp.filePath(rel); }
    // The code for a line whose log is log (the task as given), leaving the record as it was.
    int logCode(clsConversionOptions o, const QString &log)
    {
        o.sLogFile = log;
        return ValidateCommandLineOutputs(o);
    }
};

} // namespace

TEST_F(CommandLineOutputs, OutputsBeyondTheTargetAreFilesOfTheRun)
{
    clsConversionOptions pages;
    pages.sOriginalFile = path("in/deck.pptx");
    pages.sTargetFile = path("out/deck.html");
    pages.lTargetFileType = 12; // web pages: an index and a folder of pages beside it
    EXPECT_EQ(logCode(pages, path("out/deck_files/deck_2.html")), vrLogFileInUse);
    EXPECT_EQ(logCode(pages, path("out/other_files/x.html")), vrValid);

    clsConversionOptions each = pages;
    each.sTargetFile = path("out/deck.pdf");
    each.lTargetFileType = 32;
    EXPECT_EQ(logCode(each, path("out/deck_3.pdf")), vrValid); // one file for all slides
    each.bCreateFileForEachSlide = true;
    EXPECT_EQ(logCode(each, path("out/deck_3.pdf")), vrLogFileInUse);
    EXPECT_EQ(logCode(each, path("out/deck_notes.pdf")), vrValid);

    // A name prefix before the target's wildcard narrows what the targets can be.
    clsConversionOptions folder;
    folder.sOriginalFile = path("in/*.pptx");
    folder.sTargetFile = path("out/x*.pdf");
    folder.lTargetFileType = 32;
    EXPECT_EQ(logCode(folder, path("out/xrun.pdf")), vrLogFileInUse);
    EXPECT_EQ(logCode(folder, path("out/run.pdf")), vrValid);
    EXPECT_EQ(logCode(folder, path("in/run.pptx.log")), vrValid);
}

TEST_F(CommandLineOutputs, AJobRunChecksTheFilesItsTasksName)
{
    QByteArray job;
    auto row = [&](const QStringList &cells) { job += cells.join('\t').toUtf8() + "\t\r\n"; };
    row({",0,0", "1", "C", path("in/*.pptx"), "3", "ppt", path("out/*.pdf"), "32", "pdf", ""});
    row({",1,2", "2", "S55", path("text/a.txt"), "1", "TXT", path("text/b.txt"), "1", "TXT", ""});
    row({"T32 S1 W30", "3", "S60", "/bin/sh", "-12345678", "", "run.log", "-12345678", "", ""});
    row({" ", "4", "S1", "Reload", "0", "0", path("more.qvj"), "1", "", ""});
    ASSERT_TRUE(qvtest::writeFile(path("job.qvj"), job));
    clsConversionOptions o;
    o.sCLBatchJobFile = path("job.qvj");
    for (const char *file : {"in/x.pptx", "out/x.pdf", "text/a.txt", "text/b.txt", "more.qvj", "job.qvj"})
        EXPECT_EQ(logCode(o, path(file)), vrLogFileInUse) << file;
    // The launch task's arguments name no file it writes; other names are free.
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(tmp.path());
    const auto back = qScopeGuard([&] { QDir::setCurrent(cwd); });
    for (const char *file : {"run.log", "out/x.txt", "text/c.txt", "in/x.ppt"})
        EXPECT_EQ(logCode(o, path(file)), vrValid) << file;

    o.sLogFile = path("run.log");
    o.sLogAsConversionJobFile = path("./run.log");
    EXPECT_EQ(ValidateCommandLineOutputs(o), vrResultsFileInUse);
    EXPECT_EQ(o.lErr, vrResultsFileInUse);
}
