// Start-up pieces: the first-run copy, the command-line parser, the automation class.
#include "TestEnv.h"

#include "app/CommandLine.h"
#include "app/CommandLineDriver.h"
#include "app/DemoFiles.h"
#include "app/clsQuorvane.h"
#include "common/Globals.h"
#include "common/RegistryStore.h"
#include "common/SettingsLocation.h"
#include "jobs/JobSession.h"
#include "jobs/clsConversionOptions.h"
#include "platform/EventPump.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QString dataRoot() { return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Ornwell, Inc/Quorvane/"); }

class StartUp : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("QV_PROGRAM_FOLDER", (qvtest::sourceDir() + QStringLiteral("/data")).toUtf8());
        ResetIniFilePathCache();
        G_IniFilePath = GetIniFilePathForProduct(19);
    }
    void TearDown() override { qunsetenv("QV_PROGRAM_FOLDER"); }
};

} // namespace

TEST_F(StartUp, DemoFoldersAreCopiedOncePerUser)
{
    ASSERT_FALSE(G_IniFilePath.isEmpty());
    QDir(dataRoot() + "Demo Data").removeRecursively();
    SaveSetting("Quorvane", "Settings", "bDInstalled", "FALSE");
    InstallDemoFiles();
    EXPECT_TRUE(QFile::exists(dataRoot() + "Demo Data/Quarterly Review.pptx"));
    EXPECT_TRUE(QFile::exists(dataRoot() + "Demo Data/Training/Team Handbook.odp"));
    EXPECT_TRUE(QFile::exists(dataRoot() + "Demo Conversion Jobs/Convert to PDF.qvj"));
    EXPECT_TRUE(QFile::exists(dataRoot() + "Languages/German-Quorvane.txt"));
    EXPECT_EQ(GetSetting("Quorvane", "Settings", "bDInstalled", "FALSE"), "TRUE");

    // A user's own changes are never overwritten, and a second start copies nothing.
    ASSERT_TRUE(qvtest::writeFile(dataRoot() + "Demo Data/Quarterly Review.pptx", "mine"));
    QFile::remove(dataRoot() + "Demo Data/Product Overview.pptx");
    InstallDemoFiles();
    EXPECT_EQ(qvtest::readFile(dataRoot() + "Demo Data/Quarterly Review.pptx"), "mine");
    EXPECT_FALSE(QFile::exists(dataRoot() + "Demo Data/Product Overview.pptx"));
}

TEST_F(StartUp, SwitchesFollowTheLinuxForms)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(qvtest::writeFile(tmp.filePath("My Deck.pptx"), "x"));
    // Paths are taken whole up to the next switch, blanks and slashes included; lower-case and
    // "-" switches work; /C takes a glued number; a bad number keeps the old value.
    clsConversionOptions o;
    const QString line = "/S " + tmp.filePath("My Deck.pptx") + " -t " + tmp.filePath("out dir/x.pdf") +
                         " /c32 /Y two /z 3 /e /Q ignored";
    EXPECT_TRUE(ParseCommandLine(line, o)) << o.sErr.toStdString();
    EXPECT_EQ(o.sOriginalFile, tmp.filePath("My Deck.pptx"));
    EXPECT_EQ(o.sTargetFile, tmp.filePath("out dir/x.pdf"));
    EXPECT_EQ(o.lTargetFileType, 32);
    EXPECT_EQ(o.lFromSlide, 0);
    EXPECT_EQ(o.lToSlide, 3);
    EXPECT_FALSE(o.bConvertAllSlides);
    EXPECT_TRUE(o.bCreateFileForEachSlide);
    EXPECT_TRUE(gbCommandLineMode);

    // A bare name lies in the program's folder; a quoted path loses its quotes.
    clsConversionOptions b;
    ParseCommandLine("/S deck.pptx /T \"" + tmp.filePath("q/x.pdf") + "\" /C 32", b);
    EXPECT_EQ(b.sOriginalFile, GetProgramFolder() + "/deck.pptx");
    EXPECT_EQ(b.sTargetFile, tmp.filePath("q/x.pdf"));
    EXPECT_EQ(b.lErr, -4);

    // /G builds the target from the original's folder and the type's wildcard extension.
    clsConversionOptions g;
    ParseCommandLine("/S " + tmp.filePath("*.pptx") + " /G /C 18", g);
    EXPECT_EQ(g.sTargetFile, tmp.path() + "/*.png");

    // A job whose name holds #OPEN.QVJ is opened, not run.
    clsConversionOptions j;
    ParseCommandLine("/J " + tmp.filePath("a#open.qvj"), j);
    EXPECT_TRUE(j.bOpenButDoNotRun);
    EXPECT_FALSE(gbCommandLineMode);
}

TEST_F(StartUp, AutomationReportsEmptyAndInvalidLinesThroughItsEvent)
{
    clsQuorvane q;
    EXPECT_EQ(gsDataFolder, dataRoot());
    QList<int> codes;
    q.OnError = [&](int code, const QString &) { codes << code; };
    EXPECT_EQ(q.DoCommandLine(QString()), -2);
    QTemporaryDir tmp;
    EXPECT_EQ(q.DoCommandLine("/S " + tmp.filePath("missing.pptx") + " /T " + tmp.filePath("x.pdf") + " /C 32"), -3);
    EXPECT_EQ(codes, QList<int>({-2, -3}));
}

TEST_F(StartUp, AutomationReportsOnlyWhatEachCallDid)
{
    // One session serves every call: a success after a failure must not report the failure.
    clsQuorvane q;
    QTemporaryDir tmp;
    ASSERT_TRUE(QFile::copy(qvtest::sourceDir() + "/data/Demo Data/Quarterly Review.pptx", tmp.filePath("good.pptx")));
    ASSERT_TRUE(qvtest::writeFile(tmp.filePath("broken.pptx"), QByteArray("PK\x03\x04 not a presentation")));
    auto run = [&](const QString &original, const QString &n) {
        return q.DoCommandLine("/S " + tmp.filePath(original) + " /T " + tmp.filePath("out/" + n + ".pdf") +
                               " /C 32 /L " + tmp.filePath(n + ".log") + " /B " + tmp.filePath(n + ".qvj"));
    };
    auto lines = [&](const QString &file) {
        return QString::fromUtf8(qvtest::readFile(tmp.filePath(file))).split("\r\n", Qt::SkipEmptyParts);
    };
    EXPECT_EQ(run("broken.pptx", "1"), 0);
    EXPECT_TRUE(q.lastRunHadFailures());
    EXPECT_EQ(lines("1.qvj").size(), 1);

    EXPECT_EQ(run("good.pptx", "2"), 0);
    EXPECT_FALSE(q.lastRunHadFailures());
    const QStringList second = lines("2.log");
    ASSERT_EQ(second.size(), 4) << second.join("|").toStdString();
    EXPECT_EQ(second[2], "Conversion Successful");
    EXPECT_FALSE(QFile::exists(tmp.filePath("2.qvj")));

    EXPECT_EQ(run("broken.pptx", "3"), 0);
    const QStringList third = lines("3.log");
    ASSERT_EQ(third.size(), 4) << third.join("|").toStdString();
    EXPECT_TRUE(third[2].startsWith("Job # 1  ")) << third[2].toStdString();
    const QStringList results = lines("3.qvj");
    ASSERT_EQ(results.size(), 1);
    EXPECT_TRUE(results[0].contains(tmp.filePath("out/3.pdf")));
}

TEST_F(StartUp, AnInterruptBeforeTheFirstTaskRunsNothingAndListsEveryTask)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(qvtest::writeFile(tmp.filePath("a.txt"), "a\r\n"));
    QByteArray job;
    for (int i = 1; i <= 2500; ++i)
        job += "\t" + QByteArray::number(i) + "\tS50\t" + tmp.filePath("a.txt").toUtf8() + "\t1\tTXT\t" +
               tmp.filePath("out/all.txt").toUtf8() + "\t1\tTXT\t\t\r\n";
    ASSERT_TRUE(qvtest::writeFile(tmp.filePath("job.qvj"), job));
    auto lines = [&](const QString &file) {
        return QString::fromUtf8(qvtest::readFile(tmp.filePath(file))).split("\r\n", Qt::SkipEmptyParts);
    };
    // The signal reaches the session at the first turn of the pump: while the line is checked or
    // the job loads.
    struct InterruptingPump : EventPump
    {
        JobSession *session = nullptr;
        void processEvents() override { session->Interrupt(); }
    } pump;
    {
        JobSession session;
        pump.session = &session;
        session.setPump(&pump);
        const QString line = "/J " + tmp.filePath("job.qvj") + " /L " + tmp.filePath("1.log") + " /B " +
                             tmp.filePath("1.qvj");
        EXPECT_EQ(RunCommandLine(session, line), clrDone);
    }
    EXPECT_FALSE(QFile::exists(tmp.filePath("out"))) << "no task ran";
    EXPECT_EQ(lines("1.log").mid(2), QStringList({"The run was interrupted.", lines("1.log").last()}));
    // Every task: those loaded, then the unread rest as the reload task that reads it.
    const QStringList results = lines("1.qvj");
    ASSERT_FALSE(results.isEmpty());
    const QStringList last = results.last().split(u'\t');
    if (last.value(2) == "S1")
        EXPECT_EQ(last.value(7).toInt(), results.size()) << "the reload task reads on after the tasks listed";
    else
        EXPECT_EQ(results.size(), 2500);

    // A signal caught and not yet delivered counts as well, for a single conversion too.
    ASSERT_TRUE(QFile::copy(qvtest::sourceDir() + "/data/Demo Data/Quarterly Review.pptx", tmp.filePath("q.pptx")));
    JobSession session;
    session.setInterruptSource([] { return true; });
    EXPECT_EQ(RunCommandLine(session, "/S " + tmp.filePath("q.pptx") + " /T " + tmp.filePath("out/b.pdf") +
                                          " /C 32 /L " + tmp.filePath("2.log") + " /B " + tmp.filePath("out/2.qvj")),
              clrDone);
    // The results file goes where the target's folder would have been made.
    EXPECT_EQ(QDir(tmp.filePath("out")).entryList(QDir::Files | QDir::Hidden), QStringList{"2.qvj"}) << "nothing converted";
    EXPECT_EQ(lines("2.log").value(2), "The run was interrupted.");
    ASSERT_EQ(lines("out/2.qvj").size(), 1);
    EXPECT_TRUE(lines("out/2.qvj")[0].contains(tmp.filePath("out/b.pdf")));
}
