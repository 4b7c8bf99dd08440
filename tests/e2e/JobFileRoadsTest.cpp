// A job run from the command line (/J) reads only job files: tables are refused, a job with a
// damaged tail runs without it, and the results file of any failure is a job the next run reads.
#include "E2eSupport.h"
#include "TestEnv.h"

#include "jobs/JobFiles.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

using namespace e2e;

namespace {

class JobFileRoads : public ::testing::Test
{
protected:
    QTemporaryDir tmp;
    QString path(const QString &rel) const { return tmp.filePath(rel); }
    QByteArray row(const QStringList &cells) const { return cells.join(u'\t').toUtf8() + "\t\r\n"; }
};

} // namespace

TEST_F(JobFileRoads, ATableWithADoCodeOnSomeLineIsNoJobToRun)
{
    const std::pair<const char *, QByteArray> tables[] = {
        {"temperatures.qvj", "Date\tHigh\tUnit\r\n2024-05-01\t21\tC\r\n2024-05-02\t19.5\tC\r\n"},
        {"sizes.qvj", "Shirt\t12\tS\t38\r\nJacket\t3\tS\t42\r\n"},
        {"prose.qvj", "Dear team,\r\nthe first task:\r\n\t1\tC\t" + path("in/a.pptx").toUtf8() + "\r\nRegards\r\n"}};
    for (const auto &[name, bytes] : tables) {
        ASSERT_TRUE(qvtest::writeFile(path(name), bytes));
        const ProgramRun r = runProgram({"/J", path(name), "/L", path("run.log"), "/B", path("res.qvj")});
        EXPECT_EQ(r.exitCode, 1) << name;
        EXPECT_TRUE(logLines(path("run.log")).contains("This file is not a conversion job: (" + path(name) + ")"))
            << name;
        EXPECT_EQ(qvtest::readFile(path(name)), bytes) << name;
        EXPECT_FALSE(QFile::exists(path("res.qvj")));
    }
}

TEST_F(JobFileRoads, AJobWithADamagedTailRunsWithoutItAndTheLogSaysSo)
{
    ASSERT_TRUE(qvtest::writeFile(path("in.txt"), "a\r\n\r\nb\r\n"));
    ASSERT_TRUE(qvtest::writeFile(path("job.qvj"), row({"", "1", "S55", path("in.txt"), "1", "TXT", path("out.txt"),
                                                        "1", "TXT", ""}) +
                                                       QByteArray(4096, '\0')));
    const ProgramRun r = runProgram({"/J", path("job.qvj"), "/L", path("run.log")});
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString();
    EXPECT_EQ(qvtest::readFile(path("out.txt")), "a\r\nb\r\n");
    const QStringList log = logLines(path("run.log"));
    EXPECT_TRUE(log.contains("The damaged end of the conversion job file (NUL bytes) was left out: (" +
                             path("job.qvj") + ")"))
        << log.join(u'|').toStdString();
}

TEST_F(JobFileRoads, TheResultsFileOfFailuresOfEveryKindIsAJobTheNextRunReads)
{
    const QString none = QStringLiteral("-12345678");
    QByteArray job;
    job += row({"A,1,2", "1", "C", path("gone/a.pptx"), "3", "ppt", path("out/a.pdf"), "32", "pdf", ""});
    job += row({"RG,2,3", "2", "C", path("gone/*.pptx"), "3", "ppt", path("out/*.pdf"), "300", "pdf", ""});
    job += row({" ", "3", "S1", "Reload", "0", "0", path("gone/job.qvj"), "1", ""});
    job += row({"", "4", "S50", path("gone/a.txt"), "1", "TXT", path("out/all.txt"), "1", "TXT", ""});
    job += row({"R", "5", "S55", path("gone/*.txt"), "1", "TXT", path("out/*.txt"), "1", "TXT", ""});
    job += row({"          Find{{a,b}}Replace{{c}}", "6", "S56", path("gone/a.txt"), "1", "TXT", path("out/r.txt"), "1",
                "TXT", ""});
    job += row({"T32 S1 W30", "7", "S60", path("no/such/program"), none, "", "", none, "", ""});
    job += row({"T32 S1 W0", "8", "S60", "/bin/sleep", none, "", "2", none, "", ""});
    job += row({"a,1,2", "9", "c", path("gone/a.pptx"), "3", "ppt", path("out/a.pdf"), "32", "pdf", ""});
    ASSERT_TRUE(qvtest::writeFile(path("job.qvj"), job + "\t*\t\t\t\t\t\t\t\t\t\r\n"));

    ProgramRun r = runProgram({"/J", path("job.qvj"), "/L", path("run.log"), "/B", path("res.qvj")});
    EXPECT_EQ(r.exitCode, 1) << r.out.toStdString();
    const QStringList results = logLines(path("res.qvj"));
    EXPECT_EQ(results.size(), 9) << logLines(path("run.log")).join(u'|').toStdString();
    EXPECT_TRUE(IsConversionJobText(qvtest::readFile(path("res.qvj"))));

    // Run again from the results: every task is read back and fails again.
    r = runProgram({"/J", path("res.qvj"), "/L", path("again.log"), "/B", path("res2.qvj")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(logLines(path("res2.qvj")).size(), results.size()) << logLines(path("again.log")).join(u'|').toStdString();
}
