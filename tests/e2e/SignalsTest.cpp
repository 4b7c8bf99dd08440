// Signals to the built program: a command-line run stopped by them, from its first moment on, still
// writes its log and results file; a window, opened on a job or not, ends on a signal and stops
// its run first; signals the starter ignored stop neither the program nor its workers.
#include "E2eSupport.h"
#include "TestEnv.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <memory>

#include <unistd.h>

using namespace e2e;

namespace {

// Ends the process (and its group) when a test gave up on it.
struct KillGroup
{
    void operator()(QProcess *p) const
    {
        if (p->state() != QProcess::NotRunning) {
            ::kill(static_cast<pid_t>(-p->processId()), SIGKILL);
            p->waitForFinished(5000);
        }
        delete p;
    }
};
using Running = std::unique_ptr<QProcess, KillGroup>;

class Signals : public ::testing::Test
{
protected:
    QTemporaryDir tmp;
    QString path(const QString &rel) const { return tmp.filePath(rel); }
    qint64 pidIn(const QString &rel) const { return qvtest::readFile(path(rel)).trimmed().toLongLong(); }

    // The program in a process group of its own, as a shell's job or a supervisor's child is.
    // With a display it opens its window (on the offscreen platform). more: NAME=value pairs of
    // its environment; QV_TEST_SIGNAL_AT=start raises SIGTERM first thing in main(), =box when
    // the first modal box opens.
    Running start(const QStringList &args, bool display = false, bool hangupAndCtrlCIgnored = false,
                  const QStringList &more = {})
    {
        Running p(new QProcess);
        QProcessEnvironment env = headless();
        if (display) {
            env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":99"));
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        }
        for (const QString &pair : more)
            env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        p->setProcessEnvironment(env);
        p->setChildProcessModifier([hangupAndCtrlCIgnored] {
            ::setpgid(0, 0);
            if (hangupAndCtrlCIgnored) { // as nohup, or a shell for a script's background job
                std::signal(SIGHUP, SIG_IGN);
                std::signal(SIGINT, SIG_IGN);
            } else {
                defaultStopSignals();
            }
        });
        p->start(program(), args);
        EXPECT_TRUE(p->waitForStarted());
        return p;
    }

    // A job whose first task launches a shell that ignores SIGTERM, as does the program it
    // starts (their pids in sh.pid and sleep.pid), and whose second task converts a deck.
    QString deafLaunchJob()
    {
        EXPECT_TRUE(copy(demo("Quarterly Review.pptx"), path("in/q.pptx")));
        const QString script = QStringLiteral("trap '' TERM; echo $$ > %1; sleep 60 & echo $! > %2; wait; wait")
                                   .arg(path("sh.pid"), path("sleep.pid"));
        const QByteArray job = "T32 S1 W-1\t1\tS60\t/bin/sh\t-12345678\t\t-c \"" + script.toUtf8() +
                               "\"\t-12345678\t\t\t\r\nA,1,2\t2\tC\t" + path("in/q.pptx").toUtf8() + "\t3\tppt\t" +
                               path("out/q.pdf").toUtf8() + "\t32\tpdf\t\t\r\n";
        EXPECT_TRUE(qvtest::writeFile(path("job.qvj"), job));
        return path("job.qvj");
    }

    // The program ends within ms with the status given; with a log, one that says the run was interrupted.
    static void expectEnded(QProcess &p, int status, int ms, const QString &log = QString())
    {
        ASSERT_TRUE(p.waitForFinished(ms));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), status);
        if (log.isEmpty())
            return;
        const QStringList lines = logLines(log);
        EXPECT_GE(lines.size(), 4) << lines.join("|").toStdString();
        EXPECT_EQ(lines.value(lines.size() - 2), "The run was interrupted.");
        EXPECT_TRUE(lines.value(lines.size() - 1).startsWith("Time to complete job: "));
    }

    void expectLaunchedProgramsGone()
    {
        const qint64 sh = pidIn("sh.pid"), sleeper = pidIn("sleep.pid");
        EXPECT_TRUE(waitFor([&] { return processGone(sh) && processGone(sleeper); }, 10000));
        ::kill(static_cast<pid_t>(sleeper), SIGKILL); // whatever the outcome, leave nothing behind
        ::kill(static_cast<pid_t>(sh), SIGKILL);
    }

    // The settings of a user who has chosen a language: a window asks nothing at its start.
    void settleLanguage(const QByteArray &more = QByteArray())
    {
        ASSERT_TRUE(qvtest::writeFile(settingsFile(), "[Main]\r\nPartial=Level3\r\n[Language]\r\n"
                                                      "Language_Code=English\r\n" + more));
    }
    static QString settingsFile()
    {
        return qvtest::homeDir() + QStringLiteral("/.config/Ornwell, Inc/Quorvane/Quorvane_SearchHistory.INI");
    }
    void TearDown() override { QFile::remove(settingsFile()); }
};

} // namespace

TEST_F(Signals, ARunStoppedBySignalsWritesItsLogAndResultsFile)
{
    for (int i = 1; i <= 12; ++i)
        ASSERT_TRUE(copy(demo("Product Overview.pptx"), path(QString("in/p%1.pptx").arg(i, 2, 10, QChar('0')))));
    struct Case
    {
        const char *name;
        int signal;
        bool toGroupToo; // as `timeout` does: the program, then at once its whole group
        int status;
    };
    for (const Case c : {Case{"burst", SIGTERM, true, 143}, Case{"hangup", SIGHUP, false, 129}}) {
        SCOPED_TRACE(c.name);
        const QString out = path(QString("out-%1").arg(c.name));
        const QString log = path(QString("%1.log").arg(c.name));
        const QString results = path(QString("%1.qvj").arg(c.name));
        auto p = start({"/S", path("in/*.pptx"), "/T", out + "/*.png", "/C", "18", "/L", log, "/B", results});
        ASSERT_TRUE(waitFor([&] { return !QDir(out).entryList({"*.png"}).isEmpty(); }));
        const pid_t pid = static_cast<pid_t>(p->processId());
        ::kill(pid, c.signal);
        if (c.toGroupToo)
            ::kill(-pid, c.signal);
        ASSERT_NO_FATAL_FAILURE(expectEnded(*p, c.status, 60000, log));
        EXPECT_FALSE(logLines(results).isEmpty()) << "the files not converted";
        EXPECT_TRUE(QDir(out).entryList({".qvpart-*"}, QDir::AllEntries | QDir::Hidden).isEmpty());
    }
}

TEST_F(Signals, ASignalIgnoredByTheStarterStopsNeitherTheRunNorItsWorkers)
{
    for (int i = 1; i <= 6; ++i)
        ASSERT_TRUE(copy(demo("Product Overview.pptx"), path(QString("in/p%1.pptx").arg(i))));
    auto p = start({"/S", path("in/*.pptx"), "/T", path("out/*.png"), "/C", "18", "/L", path("run.log")}, false, true);
    ASSERT_TRUE(waitFor([&] { return !QDir(path("out")).entryList({"*.png"}).isEmpty(); }));
    // A closed terminal or a Ctrl+C reaches the whole group, while workers convert ahead.
    ::kill(-static_cast<pid_t>(p->processId()), SIGHUP);
    ::kill(-static_cast<pid_t>(p->processId()), SIGINT);
    ASSERT_NO_FATAL_FAILURE(expectEnded(*p, 0, 60000));
    EXPECT_EQ(logLines(path("run.log")).value(2).toStdString(), "Conversion Successful");
    EXPECT_EQ(QDir(path("out")).entryList({"p6_*.png"}).size(), 12);
}

TEST_F(Signals, ASecondRequestStillLetsTheRunWriteItsLogAndResultsFile)
{
    // Stopping the launched program takes a while (it ignores SIGTERM): the second Ctrl+C comes
    // meanwhile, well apart from the first.
    auto p = start({"/J", deafLaunchJob(), "/L", path("job.log"), "/B", path("res.qvj")});
    ASSERT_TRUE(waitFor([&] { return pidIn("sleep.pid") > 0; }));
    ::kill(static_cast<pid_t>(p->processId()), SIGINT);
    QThread::msleep(1400);
    ::kill(static_cast<pid_t>(p->processId()), SIGINT);
    ASSERT_NO_FATAL_FAILURE(expectEnded(*p, 130, 30000, path("job.log")));
    const QString results = QString::fromUtf8(qvtest::readFile(path("res.qvj")));
    EXPECT_TRUE(results.contains(path("in/q.pptx"))) << "the task not reached: " << results.toStdString();
    expectLaunchedProgramsGone();
}

TEST_F(Signals, AWindowEndsOnASignalOpenedOnAJobOrNot)
{
    settleLanguage();
    ASSERT_TRUE(copy(demo("Quarterly Review.pptx"), path("in/q.pptx")));
    ASSERT_TRUE(qvtest::writeFile(path("job.qvj"), "A,1,2\t1\tC\t" + path("in/q.pptx").toUtf8() + "\t3\tppt\t" +
                                                       path("out/q.pdf").toUtf8() + "\t32\tpdf\t\t\r\n"));
    struct Case
    {
        int signal;
        bool onJob;
    };
    for (const Case c : {Case{SIGTERM, true}, Case{SIGINT, true}, Case{SIGHUP, true}, Case{SIGTERM, false}}) {
        SCOPED_TRACE(testing::Message() << "signal " << c.signal << (c.onJob ? " on a job" : ""));
        auto p = start(c.onJob ? QStringList{"/J", path("job.qvj"), "/O"} : QStringList{}, true);
        // The window is up once it has started LibreOffice in the background.
        ASSERT_TRUE(waitFor([&] { return workerOf(p->processId()) != 0; })) << p->readAll().constData();
        ::kill(static_cast<pid_t>(p->processId()), c.signal);
        ASSERT_NO_FATAL_FAILURE(expectEnded(*p, 128 + c.signal, 15000));
        EXPECT_FALSE(QFile::exists(path("out/q.pdf"))) << "the job was opened, not run";
    }
}

TEST_F(Signals, AWindowStopsItsRunBeforeItEnds)
{
    // A schedule left running starts the job as soon as the window is up.
    const QString job = deafLaunchJob();
    settleLanguage(("[frmScheduler]\r\noptTimeBased=True\r\noptCalendarBased=False\r\ntxtHours=0\r\n"
                    "txtMinutes=0\r\ntxtSeconds=1\r\nchkPersistRunning=1\r\n[mruScheduleSource]\r\n"
                    "mruScheduleSource1=" + job + "\r\nmruScheduleSource2=MRU_DONE\r\n")
                       .toUtf8());
    auto p = start({}, true);
    ASSERT_TRUE(waitFor([&] { return pidIn("sleep.pid") > 0; }));
    ::kill(static_cast<pid_t>(p->processId()), SIGTERM);
    ASSERT_NO_FATAL_FAILURE(expectEnded(*p, 143, 15000));
    // Stopped as a command-line run stops it: the launched program does not run on.
    expectLaunchedProgramsGone();
    EXPECT_FALSE(QFile::exists(path("out/q.pdf"))) << "the task after it was not reached";
    // The schedule stays as the user left it, to restart with the next window.
    EXPECT_TRUE(qvtest::readFile(settingsFile()).contains("chkPersistRunning=1"));
}

TEST_F(Signals, ASupervisorsKillAfterItsGraceFindsTheRecordWritten)
{
    // `timeout` sends SIGTERM after 2 s and SIGKILL 1 s later, while the launched program that
    // ignores SIGTERM is still within its grace: the log and results file are written by then.
    const QString job = deafLaunchJob();
    QProcess p;
    p.setProcessEnvironment(headless());
    p.start("timeout", {"-k", "1", "2", program(), "/J", job, "/L", path("job.log"), "/B", path("res.qvj")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QStringList lines = logLines(path("job.log"));
    ASSERT_GE(lines.size(), 4) << lines.join("|").toStdString();
    EXPECT_EQ(lines.value(lines.size() - 2), "The run was interrupted.");
    EXPECT_TRUE(lines.last().startsWith("Time to complete job: "));
    const QStringList results = logLines(path("res.qvj"));
    ASSERT_EQ(results.size(), 2) << "the launch not done and the task not reached";
    EXPECT_TRUE(results[0].contains("\tS60\t/bin/sh\t"));
    EXPECT_TRUE(results[1].contains(path("in/q.pptx")));
    // The program was killed before the grace ran out: whatever it launched goes here.
    ::kill(static_cast<pid_t>(pidIn("sleep.pid")), SIGKILL);
    ::kill(static_cast<pid_t>(pidIn("sh.pid")), SIGKILL);
}

TEST_F(Signals, AWindowEndsOnASignalDuringItsSetUp)
{
    // The set-up stops on a box that nobody answers, and the signal comes as it opens: a job that
    // cannot be read, and without arguments the language chooser of a first start and the
    // window's own set-up (a schedule left running whose job is gone).
    enum Box { JobBox, LanguageChooser, ScheduleBox };
    for (const Box b : {JobBox, LanguageChooser, ScheduleBox}) {
        SCOPED_TRACE(testing::Message() << "box " << b);
        QFile::remove(settingsFile());
        if (b == JobBox)
            settleLanguage();
        if (b == ScheduleBox)
            settleLanguage("[frmScheduler]\r\noptTimeBased=True\r\noptCalendarBased=False\r\ntxtSeconds=1\r\n"
                           "chkPersistRunning=1\r\n[mruScheduleSource]\r\nmruScheduleSource1=" +
                           path("gone.qvj").toUtf8() + "\r\nmruScheduleSource2=MRU_DONE\r\n");
        auto p = start(b == JobBox ? QStringList{"/J", "/proc/self/mem", "/O"} : QStringList{}, true, false,
                       {"QV_TEST_SIGNAL_AT=box", "LC_ALL=de_DE.UTF-8"});
        ASSERT_NO_FATAL_FAILURE(expectEnded(*p, 143, 15000));
    }
}

namespace {
// A flat ODP of many slides, as the office reads it: the fixture deck's frame around them.
QByteArray manySlideDeck(int slides)
{
    const QByteArray fixture = qvtest::readFile(qvtest::dataDir() + "/quarterly-review.fodp");
    QByteArray deck = fixture.left(fixture.indexOf("<draw:page "));
    for (int i = 1; i <= slides; ++i)
        deck += "<draw:page draw:name=\"S" + QByteArray::number(i) +
                "\" draw:master-page-name=\"Default\"><draw:frame presentation:class=\"title\" svg:x=\"1cm\" "
                "svg:y=\"1cm\" svg:width=\"20cm\" svg:height=\"3cm\"><draw:text-box><text:p>Slide " +
                QByteArray::number(i) + "</text:p></draw:text-box></draw:frame></draw:page>\n";
    const QByteArray end = "</draw:page>";
    return deck + fixture.mid(fixture.lastIndexOf(end) + end.size());
}
} // namespace

TEST_F(Signals, AnEarlySignalStopsTheRunBeforeItConverts)
{
    // Seconds of work for the office: a run that goes on converting after the signal shows.
    ASSERT_TRUE(qvtest::writeFile(path("in/big.fodp"), manySlideDeck(300)));
    enum Moment { InMain, AtTheLogHeader, WhileTheOfficeStarts };
    for (const Moment m : {InMain, AtTheLogHeader, WhileTheOfficeStarts}) {
        SCOPED_TRACE(testing::Message() << "moment " << m);
        const QString out = path(QString("out%1").arg(m));
        const QString log = path(QString("%1.log").arg(m));
        const QString results = path(QString("%1.qvj").arg(m));
        auto p = start({"/S", path("in/big.fodp"), "/T", out + "/big.png", "/C", "18", "/L", log, "/B", results}, false,
                       false, m == InMain ? QStringList{"QV_TEST_SIGNAL_AT=start"} : QStringList{});
        const pid_t pid = static_cast<pid_t>(p->processId());
        if (m == AtTheLogHeader) {
            ASSERT_TRUE(waitFor([&] { return !logLines(log).isEmpty(); }));
        } else if (m == WhileTheOfficeStarts) {
            ASSERT_TRUE(waitFor([&] { return workerOf(pid) != 0; }));
        }
        QElapsedTimer sinceSignal;
        sinceSignal.start();
        if (m != InMain)
            ::kill(pid, SIGTERM);
        ASSERT_NO_FATAL_FAILURE(expectEnded(*p, 143, 60000, log));
        EXPECT_LT(sinceSignal.elapsed(), 5000);
        EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), 0) << "the deck was converted";
        EXPECT_TRUE(qvtest::readFile(results).contains(path("in/big.fodp").toUtf8())) << "the deck not listed";
    }
}
