// The launch task on real programs: exit codes, placeholders, argument splitting, priority,
// time-out and Pause (with an injected clock), and programs left running that must neither
// be killed nor linger as zombies.
#include "TestEnv.h"

#include "common/Globals.h"
#include "jobs/JobSession.h"
#include "jobs/LaunchProgram.h"
#include "jobs/clsConversionOptions.h"
#include "platform/ProcessLauncher.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// A clock that moves on by a fixed step at every reading.
struct SteppingClock
{
    std::int64_t now = 1'000'000;
    std::int64_t step = 500;
    int readings = 0;
    LaunchClock fn()
    {
        return [this] {
            ++readings;
            const std::int64_t t = now;
            now += step;
            return t;
        };
    }
};

// A pump that counts its calls and clears the run flag (a Pause) at a given call.
class PausingPump : public EventPump
{
public:
    PausingPump(JobSession &s, int pauseAt) : session(s), pauseAt(pauseAt) {}
    void processEvents() override
    {
        if (++calls == pauseAt)
            session.bRunning = false;
    }
    // Each wait lasts stretch times its slice unless an event ends it.
    void waitForEvents(int ms) override { EventPump::waitForEvents(ms * stretch); }
    JobSession &session;
    int pauseAt;
    int calls = 0;
    int stretch = 1;
};

// A shell command that waits until the file go exists, then runs then: a program that runs for
// as long as the test needs, whatever the machine's load.
QString untilGo(const QString &go, const QString &then = QStringLiteral("true"))
{
    return QStringLiteral("until [ -e %1 ]; do sleep 0.02; done; %2").arg(go, then);
}

clsConversionOptions launchTask(const QString &program, const QString &arguments, int wait)
{
    clsConversionOptions o;
    o.sActionToDo = QStringLiteral("S60");
    o.lSpecialProcess = spLaunchProgram;
    o.sOriginalFile = program;
    o.sTargetFile = arguments;
    o.lCommandLineWaitTime = wait;
    return o;
}

// State letter of /proc/<pid>/stat ('Z' for a zombie); 0 when the process is gone.
char processState(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray stat = f.readAll();
    const int close = stat.lastIndexOf(')');
    return close > 0 && close + 2 < stat.size() ? stat.at(close + 2) : 0;
}

// Processes events until the process is gone (reaped), at most timeoutMs.
bool waitUntilGone(qint64 pid, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        QCoreApplication::processEvents();
        if (processState(pid) == 0)
            return true;
        QThread::msleep(20);
    }
    return processState(pid) == 0;
}

qint64 readPid(const QString &file, int timeoutMs = 60000)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        const QByteArray b = qvtest::readFile(file).trimmed();
        if (!b.isEmpty())
            return b.toLongLong();
        QThread::msleep(10);
    }
    return 0;
}

} // namespace

TEST(LaunchProgram, ExitCodeIsDeliveredAndRecordKeepsItsText)
{
    JobSession session;
    session.bRunning = true;
    clsConversionOptions o = launchTask(QStringLiteral("/bin/sh"), QStringLiteral("-c \"exit 3\""), -1);
    EXPECT_EQ(RunCommandLineSpecialProcess(o, session), lrEnded);
    EXPECT_EQ(o.lCommandLineExitCode, 3);
    EXPECT_EQ(o.sTargetFile, QStringLiteral("-c \"exit 3\""));

    clsConversionOptions crash =
        launchTask(QStringLiteral("/bin/sh"), QStringLiteral("-c \"kill -9 $$\""), 5);
    EXPECT_EQ(RunCommandLineSpecialProcess(crash, session), lrEnded);
    EXPECT_EQ(crash.lCommandLineExitCode, 128 + SIGKILL);
}

TEST(LaunchProgram, WaitingDoesNotSpin)
{
    JobSession session;
    session.bRunning = true;
    PausingPump pump(session, -1);
    // Slices of seconds: only the program's end or a request can end a wait in time.
    pump.stretch = 1000;
    session.setPump(&pump);
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    QElapsedTimer real;
    real.start();
    clsConversionOptions o = launchTask(QStringLiteral("sleep"), QStringLiteral("0.5"), -1);
    int answered = 0;
    {
        qvtest::BlockingCaller caller;
        EXPECT_EQ(RunCommandLineSpecialProcess(o, session), lrEnded);
        answered = caller.answered();
    }
    const qint64 waited = real.elapsed();
    getrusage(RUSAGE_SELF, &after);
    const auto ms = [](const timeval &t) { return t.tv_sec * 1000 + t.tv_usec / 1000; };
    const long cpu = ms(after.ru_utime) - ms(before.ru_utime) + ms(after.ru_stime) - ms(before.ru_stime);
    EXPECT_GE(waited, 450);
    // A spinning wait takes the whole half second; CPU time hardly grows with the machine's load.
    EXPECT_LT(cpu, 250) << "CPU ms spent waiting " << waited << " ms";
    EXPECT_GE(pump.calls, 5) << "events are pumped while waiting";
    EXPECT_GE(answered, 5) << "another thread's requests waited for the slices to end";
    // Alone, with nothing else to wake it, the wait ends when the program does.
    real.restart();
    clsConversionOptions alone = launchTask(QStringLiteral("sleep"), QStringLiteral("0.2"), -1);
    EXPECT_EQ(RunCommandLineSpecialProcess(alone, session), lrEnded);
    EXPECT_LT(real.elapsed(), 25000) << "the end is seen at once, not at the end of a slice";
    session.setPump(nullptr);
}

TEST(LaunchProgram, PlaceholdersAreExpandedAndArgumentsSplitAtBlanksOutsideQuotes)
{
    const QString home = qvtest::homeDir();
    const QString script = home + QStringLiteral("/bin/args.sh");
    ASSERT_TRUE(qvtest::writeFile(script, "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > \"$1\"\n"));
    QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner);

    JobSession session;
    session.bRunning = true;
    clsConversionOptions o = launchTask(QStringLiteral("%USERPROFILE%/bin/args.sh"),
                                        QStringLiteral("%USERPROFILE%/out.txt \"two words\" x"), 10);
    EXPECT_EQ(RunCommandLineSpecialProcess(o, session), lrEnded);
    EXPECT_EQ(o.lCommandLineExitCode, 0);
    EXPECT_EQ(qvtest::readFile(home + QStringLiteral("/out.txt")),
              QByteArray("3|" + home.toUtf8() + "/out.txt|two words|x|"));
    // The record keeps the placeholders; ExecCmdAndWait hands back the expanded texts.
    EXPECT_EQ(o.sOriginalFile, QStringLiteral("%USERPROFILE%/bin/args.sh"));
    QString program = o.sOriginalFile;
    QString arguments = o.sTargetFile;
    int exitCode = -1;
    EXPECT_EQ(ExecCmdAndWait(program, arguments, 1, 32, 10, exitCode, session), lrEnded);
    EXPECT_EQ(program, script);
    EXPECT_TRUE(arguments.startsWith(home));
}

TEST(LaunchProgram, MissingProgramIsNotStartedAndLeavesTheExitCode)
{
    JobSession session;
    session.bRunning = true;
    QString program = qvtest::homeDir() + QStringLiteral("/no-such-program");
    QString arguments;
    int exitCode = 77;
    EXPECT_EQ(ExecCmdAndWait(program, arguments, 1, 32, -1, exitCode, session), lrNotStarted);
    EXPECT_EQ(exitCode, 77);

    // A file that is not executable cannot be started either.
    const QString plain = qvtest::homeDir() + QStringLiteral("/plain.txt");
    ASSERT_TRUE(qvtest::writeFile(plain, "text\n"));
    clsConversionOptions o = launchTask(plain, QString(), -1);
    o.lCommandLineExitCode = 5;
    EXPECT_EQ(RunCommandLineSpecialProcess(o, session), lrNotStarted);
    EXPECT_EQ(o.lCommandLineExitCode, 0);
}

TEST(LaunchProgram, TheProgramGetsNoneOfOurOtherDescriptors)
{
    JobSession session;
    session.bRunning = true;
    const QString home = qvtest::homeDir();
    // Opened without close-on-exec, as a lock file or a pipe of ours might be.
    const int fd = ::open(QFile::encodeName(home + QStringLiteral("/held.txt")).constData(),
                          O_CREAT | O_RDWR, 0600);
    ASSERT_GE(fd, 3);
    const QString out = home + QStringLiteral("/fds.txt");
    clsConversionOptions o =
        launchTask(QStringLiteral("/bin/sh"), QStringLiteral("-c \"ls /proc/$$/fd > %1\"").arg(out), 10);
    EXPECT_EQ(RunCommandLineSpecialProcess(o, session), lrEnded);
    ::close(fd);
    const QList<QByteArray> fds = qvtest::readFile(out).split('\n');
    EXPECT_TRUE(fds.contains("1") && fds.contains("2")) << "output stays inherited";
    EXPECT_FALSE(fds.contains(QByteArray::number(fd)));
}

TEST(LaunchProgram, PriorityClassSetsTheNiceValueOfTheChild)
{
    JobSession session;
    session.bRunning = true;
    const QString out = qvtest::homeDir() + QStringLiteral("/nice.txt");
    const int own = getpriority(PRIO_PROCESS, 0);
    const bool mayRaise = geteuid() == 0;
    const struct
    {
        int priorityClass;
        int expected;
    } cases[] = {
        {64, 19},
        {32, (mayRaise || own <= 0) ? 0 : own},
        {128, mayRaise ? -10 : own},   // refused without the right: inherited value
        {256, mayRaise ? -20 : own},
        {12345, own},                  // not a priority class: inherited
    };
    for (const auto &c : cases) {
        QFile::remove(out);
        clsConversionOptions o = launchTask(QStringLiteral("/bin/sh"),
                                            QStringLiteral("-c \"nice > %1\"").arg(out), 10);
        o.lCommandLineThreadPriority = c.priorityClass;
        ASSERT_EQ(RunCommandLineSpecialProcess(o, session), lrEnded) << c.priorityClass;
        EXPECT_EQ(qvtest::readFile(out).trimmed().toInt(), c.expected) << c.priorityClass;
    }
}

TEST(LaunchProgram, TimeOutLeavesTheProgramRunningAndItIsReapedWhenItEnds)
{
    RecordingStatusPanels panels;
    JobSession session;
    session.setPanels(&panels);
    session.bRunning = true;
    SteppingClock clock;
    session.lTotalTimeStart = clock.now - 10'000;
    const QString pidFile = qvtest::homeDir() + QStringLiteral("/timeout.pid");
    const QString go = qvtest::homeDir() + QStringLiteral("/timeout.go");
    const auto end = qScopeGuard([&] { qvtest::writeFile(go, ""); });

    const int before = ProcessLauncher::detachedCount();
    clsConversionOptions o = launchTask(
        QStringLiteral("/bin/sh"), QStringLiteral("-c \"echo $$ > %1; %2\"").arg(pidFile, untilGo(go)), 2);
    o.lCommandLineExitCode = 9;
    // Five passes of a short wait on the injected clock, not two real seconds (the readings).
    EXPECT_EQ(RunCommandLineSpecialProcess(o, session, clock.fn()), lrStillRunning);
    EXPECT_EQ(o.lCommandLineExitCode, 0);
    // Readings: the start, then passes at +0.5 .. +2.5 s; the last one ended the wait.
    EXPECT_EQ(clock.readings, 6);
    EXPECT_EQ(panels.panelText(StatusPanel::Time), QStringLiteral("12.5"));

    const qint64 pid = readPid(pidFile);
    ASSERT_GT(pid, 0);
    const char state = processState(pid);
    EXPECT_TRUE(state != 0 && state != 'Z') << "left running, not killed: " << state;
    EXPECT_EQ(ProcessLauncher::detachedCount(), before + 1);
    ASSERT_TRUE(qvtest::writeFile(go, ""));
    EXPECT_TRUE(waitUntilGone(pid, 60000)) << "a program that ended must be reaped";
    EXPECT_LE(ProcessLauncher::detachedCount(), before);
}

TEST(LaunchProgram, PauseEndsTheWaitAndNegativeWaitsEndAtOnce)
{
    JobSession session;
    session.bRunning = true;
    PausingPump pump(session, 3);
    session.setPump(&pump);
    const QString pidFile = qvtest::homeDir() + QStringLiteral("/pause.pid");
    const QString go = qvtest::homeDir() + QStringLiteral("/pause.go");
    const auto end = qScopeGuard([&] { qvtest::writeFile(go, ""); });

    QString program = QStringLiteral("/bin/sh");
    QString arguments = QStringLiteral("-c \"echo $$ > %1; %2\"").arg(pidFile, untilGo(go));
    int exitCode = 4;
    // The program runs until told: only the Pause at the third pump can end the wait.
    EXPECT_EQ(ExecCmdAndWait(program, arguments, 1, 32, -1, exitCode, session), lrStillRunning);
    EXPECT_EQ(pump.calls, 3);
    EXPECT_EQ(exitCode, 4);
    const qint64 pid = readPid(pidFile);
    ASSERT_GT(pid, 0);
    EXPECT_NE(processState(pid), 0);

    // -5 is no "for ever": the first pass already times out, before any pump.
    session.bRunning = true;
    pump.calls = 0;
    pump.pauseAt = -1;
    QString sleeper = QStringLiteral("sleep");
    QString sleepArgs = QStringLiteral("0.3");
    EXPECT_EQ(ExecCmdAndWait(sleeper, sleepArgs, 1, 32, -5, exitCode, session), lrStillRunning);
    EXPECT_EQ(pump.calls, 0);

    ASSERT_TRUE(qvtest::writeFile(go, ""));
    EXPECT_TRUE(waitUntilGone(pid, 60000));
    session.setPump(nullptr);
}

// Run in a child test process: launches a program that outlives the process.
TEST(LaunchProgram, ChildLeavesAProgramBehind)
{
    const QString marker = qEnvironmentVariable("QV_LAUNCH_MARKER");
    if (marker.isEmpty())
        GTEST_SKIP() << "only run as the child of ProgramOutlivesTheLauncherProcess";
    JobSession session;
    session.bRunning = true;
    // The program goes on once the parent test says so, after this process has ended.
    clsConversionOptions o = launchTask(
        QStringLiteral("/bin/sh"),
        QStringLiteral("-c \"%1\"").arg(untilGo(marker + QStringLiteral(".go"), QStringLiteral("echo done > ") + marker)),
        0);
    EXPECT_EQ(RunCommandLineSpecialProcess(o, session), lrStillRunning);
}

TEST(LaunchProgram, ProgramOutlivesTheLauncherProcess)
{
    if (!qEnvironmentVariableIsEmpty("QV_LAUNCH_MARKER"))
        GTEST_SKIP();
    QTemporaryDir dir;
    const QString marker = dir.filePath(QStringLiteral("marker"));
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QV_LAUNCH_MARKER"), marker);
    child.setProcessEnvironment(env);
    child.setStandardOutputFile(dir.filePath(QStringLiteral("child.out")));
    child.setStandardErrorFile(dir.filePath(QStringLiteral("child.err")));
    const auto end = qScopeGuard([&] { qvtest::writeFile(marker + QStringLiteral(".go"), ""); });
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=LaunchProgram.ChildLeavesAProgramBehind")});
    // The program waits for the word that comes only after this: a child that waited for it at
    // exit would never end.
    ASSERT_TRUE(child.waitForFinished(60000)) << "the child must not wait for the program at exit";
    EXPECT_EQ(child.exitCode(), 0) << qvtest::readFile(dir.filePath(QStringLiteral("child.out"))).constData();
    EXPECT_FALSE(QFile::exists(marker));

    ASSERT_TRUE(qvtest::writeFile(marker + QStringLiteral(".go"), ""));
    QElapsedTimer t;
    t.start();
    while (!QFile::exists(marker) && t.elapsed() < 60000)
        QThread::msleep(20);
    EXPECT_EQ(qvtest::readFile(marker), QByteArray("done\n")) << "the program was killed with its launcher";
}

TEST(LaunchProgram, AnInterruptKillsAProgramThatIgnoresSigterm)
{
    // The program and what it started ignore SIGTERM; an interrupt (a Pause with bInterrupted,
    // as a signal to an unattended run makes) must still leave neither running. A command-line
    // run waits for them only after its record (finishStops), not before it returns.
    for (const bool commandLine : {false, true}) {
        SCOPED_TRACE(commandLine ? "command line" : "window");
        const QScopedValueRollback<bool> mode(gbCommandLineMode, commandLine);
        JobSession session;
        session.bRunning = true;
        session.bInterrupted = true;
        const QString shPid = qvtest::homeDir() + QStringLiteral("/deaf-sh.pid");
        const QString sleepPid = qvtest::homeDir() + QStringLiteral("/deaf-sleep.pid");
        QFile::remove(shPid);
        QFile::remove(sleepPid);
        // The interrupt comes once both are running.
        struct PauseWhenStarted : EventPump
        {
            JobSession &session;
            QString file;
            PauseWhenStarted(JobSession &s, const QString &f) : session(s), file(f) {}
            void processEvents() override
            {
                if (!qvtest::readFile(file).trimmed().isEmpty())
                    session.bRunning = false;
            }
        } pump(session, sleepPid);
        session.setPump(&pump);
        QString program = QStringLiteral("/bin/sh");
        QString arguments = QStringLiteral("-c \"trap '' TERM; echo $$ > %1; sleep 30 & echo $! > %2; wait; wait\"")
                                .arg(shPid, sleepPid);
        int exitCode = 4;
        QElapsedTimer real;
        real.start();
        EXPECT_EQ(ExecCmdAndWait(program, arguments, 1, 32, -1, exitCode, session), lrInterrupted);
        // Did not hang; that the command line does not wait before its record is seen below.
        EXPECT_LT(real.elapsed(), 60000);
        EXPECT_EQ(exitCode, 4);
        const qint64 sh = readPid(shPid), sleeper = readPid(sleepPid);
        ASSERT_GT(sh, 0);
        ASSERT_GT(sleeper, 0);
        if (commandLine) {
            EXPECT_FALSE(waitUntilGone(sh, 300)) << "asked to end, not killed before the record";
            session.finishStops();
        }
        EXPECT_TRUE(waitUntilGone(sh, 60000)) << processState(sh);
        EXPECT_TRUE(waitUntilGone(sleeper, 60000)) << processState(sleeper);
        ::kill(static_cast<pid_t>(sleeper), SIGKILL); // whatever the outcome, leave nothing behind
        ::kill(static_cast<pid_t>(sh), SIGKILL);
        session.setPump(nullptr);
    }
}
