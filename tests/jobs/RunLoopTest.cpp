// The run loop through the engine API: marks, log rows, pause and resume of a folder task, and
// append tasks of two runs into one target.
#include "TestEnv.h"

#include "common/Globals.h"
#include "converter/StagedOutput.h"
#include "jobs/AppendTarget.h"
#include "jobs/JobFiles.h"
#include "jobs/JobSession.h"
#include "jobs/ToDoRows.h"
#include "platform/MachineMutex.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <cstring>
#include <functional>
#include <memory>

#include <sys/wait.h>
#include <unistd.h>

namespace {

QString demo(const QString &name) { return qvtest::sourceDir() + QStringLiteral("/data/Demo Data/") + name; }

// Pauses the run as soon as the engine starts on a chosen file, like a user pressing Pause.
class PausingPump : public EventPump
{
public:
    explicit PausingPump(JobSession &s) : session(s) {}
    void processEvents() override
    {
        if (!pauseAtFile.isEmpty() && session.sCurrentFile == pauseAtFile && session.bRunning) {
            session.ConversionJobPause();
            pauseAtFile.clear();
        }
    }
    JobSession &session;
    QString pauseAtFile;
};

void addRow(JobSession &s, const QStringList &cells)
{
    s.fgToDo.addItem(cells, s.fgToDo.rows() - 1);
    s.fgToDo.setTextMatrix(s.fgToDo.rows() - 2, 1, QString::number(s.fgToDo.rows() - 2));
}

class RunLoop : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gbCommandLineMode = false;
        InitToDoGrid(session.fgToDo);
        InitLogGrid(session.fgLog);
    }
    QTemporaryDir tmp;
    JobSession session;
    QString path(const QString &rel) const { return tmp.filePath(rel); }
};

} // namespace

TEST_F(RunLoop, FailuresAreMarkedAndLoggedAndTheRunGoesOn)
{
    // A reload task whose job file is missing, a row with a type cell that is not a number, a
    // special process id that nothing handles, then a task that works.
    ASSERT_TRUE(qvtest::writeFile(path("a.txt"), "x\r\n\r\ny\r\n"));
    addRow(session, {" ", "", "S1", "Reload conversion job start at task 5", "0", "0", path("missing.qvj"), "5", ""});
    addRow(session, {"A,1,2", "", "C", path("a.txt"), "abc", "", path("b.pdf"), "32", "pdf"});
    addRow(session, {"", "", "S57", path("a.txt"), "1", "TXT", path("c.txt"), "1", "TXT"});
    addRow(session, {"", "", "S55", path("a.txt"), "1", "TXT", path("d.txt"), "1", "TXT"});
    session.ConversionJobBegin();

    EXPECT_EQ(session.fgToDo.textMatrix(1, 9), "-");
    EXPECT_EQ(session.fgToDo.textMatrix(2, 9), "-");
    EXPECT_EQ(session.fgToDo.textMatrix(3, 9), "-");
    EXPECT_EQ(session.fgToDo.textMatrix(4, 9), "+");
    ASSERT_EQ(session.fgLog.rows(), 5); // header, three failures, the empty last row
    EXPECT_EQ(session.fgLog.textMatrix(1, 1), "1");
    EXPECT_TRUE(session.fgLog.textMatrix(1, 10).contains(path("missing.qvj")));
    EXPECT_EQ(session.fgLog.textMatrix(2, 1), "2");
    EXPECT_EQ(session.fgLog.textMatrix(3, 10), "Invalid Special Process Identifier specified");
    EXPECT_EQ(session.fgLog.textMatrix(3, 9), "-");
    EXPECT_EQ(qvtest::readFile(path("d.txt")), "x\r\ny\r\n");
    EXPECT_FALSE(session.bRunning);
}

TEST_F(RunLoop, PauseAfterAFailingTaskStopsTheRun)
{
    ASSERT_TRUE(qvtest::writeFile(path("a.txt"), "x\r\n"));
    addRow(session, {"", "", "S57", path("a.txt"), "1", "TXT", path("c.txt"), "1", "TXT"});
    addRow(session, {"", "", "S55", path("a.txt"), "1", "TXT", path("d.txt"), "1", "TXT"});
    // The failing task runs with the pause already requested by the time it ends.
    class PauseOnLog : public EventPump
    {
    public:
        explicit PauseOnLog(JobSession &s) : s(s) {}
        void processEvents() override
        {
            if (s.fgLog.rows() > 2)
                s.bRunning = false;
        }
        JobSession &s;
    } pauseOnLog(session);
    session.setPump(&pauseOnLog);
    session.ConversionJobBegin();
    EXPECT_EQ(session.fgToDo.textMatrix(1, 9), "-");
    EXPECT_EQ(session.fgToDo.textMatrix(2, 9), "");
    EXPECT_FALSE(QFile::exists(path("d.txt")));
    session.setPump(nullptr);
}

TEST_F(RunLoop, PausedFolderTaskStaysUnmarkedAndResumesAtItsFile)
{
    const QStringList names = {"a.pptx", "b.pptx", "c.pptx", "d.pptx"};
    ASSERT_TRUE(QDir().mkpath(path("in")));
    for (const QString &n : names)
        ASSERT_TRUE(QFile::copy(demo("Quarterly Review.pptx"), path("in/" + n)));
    ASSERT_TRUE(qvtest::writeFile(path("t.txt"), "x\r\n\r\n"));
    addRow(session, {"A,1,2", "", "C", path("in/*.pptx"), "3", "ppt", path("out/*.pdf"), "32", "pdf"});
    addRow(session, {"", "", "S55", path("t.txt"), "1", "TXT", path("t2.txt"), "1", "TXT"});

    PausingPump pump(session);
    pump.pauseAtFile = path("in/c.pptx");
    session.setPump(&pump);
    session.ConversionJobBegin();

    EXPECT_TRUE(QFile::exists(path("out/a.pdf")));
    EXPECT_TRUE(QFile::exists(path("out/b.pdf")));
    EXPECT_FALSE(QFile::exists(path("out/d.pdf")));
    EXPECT_EQ(session.fgToDo.textMatrix(1, 9), ""); // paused inside: not passed
    EXPECT_EQ(session.fgToDo.textMatrix(2, 9), ""); // never reached
    EXPECT_FALSE(QFile::exists(path("t2.txt")));

    // Resume: the file being converted at the pause is converted again, earlier ones are not.
    EXPECT_TRUE(QFile::exists(path("out/c.pdf")));
    QFile::remove(path("out/a.pdf"));
    QFile::remove(path("out/c.pdf"));
    session.ConversionJobBegin();
    EXPECT_FALSE(QFile::exists(path("out/a.pdf")));
    EXPECT_TRUE(QFile::exists(path("out/c.pdf")));
    EXPECT_TRUE(QFile::exists(path("out/d.pdf")));
    EXPECT_EQ(session.fgToDo.textMatrix(1, 9), "+");
    EXPECT_EQ(session.fgToDo.textMatrix(2, 9), "+");
    EXPECT_EQ(session.lResumeFileIndex, 0);
    session.setPump(nullptr);
}

TEST_F(RunLoop, TextProcessInTheOriginalFolderRewritesTheOriginalItself)
{
    // Lower-case names the program makes; the file of the task's own type is edited in place,
    // whatever the case of its extension.
    ASSERT_TRUE(qvtest::writeFile(path("in/a.txt"), "old one\r\n"));
    ASSERT_TRUE(qvtest::writeFile(path("in/B.TXT"), "old two\r\n"));
    addRow(session, {"G,0,0          Find{{old}}Replace{{new}}", "", "S56", path("in/*.txt"), "1", "txt",
                     path("in/*.txt"), "1", "txt"});
    session.ConversionJobBegin();
    EXPECT_EQ(session.fgToDo.textMatrix(1, 9), "+");
    EXPECT_EQ(qvtest::readFile(path("in/a.txt")), "new one\r\n");
    EXPECT_EQ(qvtest::readFile(path("in/B.TXT")), "new two\r\n");
    EXPECT_EQ(QDir(path("in")).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase), QStringList({"a.txt", "B.TXT"}));
}

namespace {

QByteArray jobLine(const QStringList &cells) { return cells.join('\t').toUtf8() + "\t\r\n"; }

// Calls a test's action on every pump, as a signal or a Pause arriving at any moment would.
class CallingPump : public EventPump
{
public:
    std::function<void()> onPump;
    void processEvents() override
    {
        if (onPump)
            onPump();
    }
};

// Counts the loads of job files (each refreshes the command state twice) and pauses the run after
// too many of them, so that a run that would reload for ever ends.
class LoadCountingHooks : public EngineHooks
{
public:
    explicit LoadCountingHooks(JobSession &s) : s(s) {}
    void UpdateMenuToolbar() override
    {
        if (++calls > 200)
            s.bRunning = false;
    }
    JobSession &s;
    int calls = 0;
};

} // namespace

TEST_F(RunLoop, RowsThatCannotRunFailWithTheirReason)
{
    // A job whose first task reloads the job itself, a row whose Do code the run cannot read (a
    // lower-case one, which a job file may hold), a task that works.
    ASSERT_TRUE(qvtest::writeFile(path("a.txt"), "x\r\n\r\ny\r\n"));
    const QString job = path("self.qvj");
    ASSERT_TRUE(qvtest::writeFile(job, jobLine({" ", "1", "S1", "Reload", "0", "0", job, "1", ""}) +
                                           jobLine({"", "2", "s55", path("a.txt"), "1", "TXT", path("z.txt"), "1", "TXT"}) +
                                           jobLine({"", "3", "S55", path("a.txt"), "1", "TXT", path("d.txt"), "1", "TXT"})));
    LoadCountingHooks hooks(session);
    session.setHooks(&hooks);
    ASSERT_TRUE(session.ConversionJobOpen(job));
    hooks.calls = 0;
    session.ConversionJobBegin();
    session.setHooks(nullptr);

    EXPECT_EQ(session.fgToDo.textMatrix(1, 9), "-");
    EXPECT_EQ(session.fgToDo.textMatrix(2, 9), "-");
    EXPECT_EQ(session.fgToDo.textMatrix(3, 9), "+");
    EXPECT_EQ(qvtest::readFile(path("d.txt")), "x\r\ny\r\n");
    ASSERT_EQ(session.fgLog.rows(), 4);
    EXPECT_TRUE(session.fgLog.textMatrix(1, 10).startsWith("The reload task comes back to a conversion job"));
    EXPECT_EQ(session.fgLog.textMatrix(2, 10), "Unknown action code in the task row: (s55)");

    // A chain of two jobs that come back to each other fails at the first return, from whichever
    // line the reload starts.
    const QString other = path("other.qvj");
    ASSERT_TRUE(qvtest::writeFile(job, jobLine({" ", "1", "S1", "Reload", "0", "0", other, "2", ""})));
    ASSERT_TRUE(qvtest::writeFile(other, "\r\n" + jobLine({" ", "2", "S1", "Reload", "0", "0", job, "1", ""})));
    session.setHooks(&hooks);
    ASSERT_TRUE(session.ConversionJobOpen(job));
    hooks.calls = 0;
    session.ConversionJobBegin();
    session.setHooks(nullptr);
    ASSERT_EQ(session.fgToDo.rows(), 3);
    EXPECT_EQ(session.fgToDo.textMatrix(1, 9), "-");
    EXPECT_EQ(session.fgToDo.textMatrix(1, 6), job);
}

TEST_F(RunLoop, APauseIsSeenRightAfterAReload)
{
    ASSERT_TRUE(qvtest::writeFile(path("a.txt"), "x\r\n"));
    const QString job = path("job.qvj");
    ASSERT_TRUE(qvtest::writeFile(job, jobLine({" ", "1", "S1", "Reload", "0", "0", job, "2", ""}) +
                                           jobLine({"", "2", "S55", path("a.txt"), "1", "TXT", path("d.txt"), "1", "TXT"})));
    ASSERT_TRUE(session.ConversionJobOpen(job));
    CallingPump pump;
    pump.onPump = [this] { session.bRunning = false; };
    session.setPump(&pump);
    session.ConversionJobBegin();
    session.setPump(nullptr);
    EXPECT_EQ(session.fgToDo.rows(), 3); // the reload ran: the grid holds line 2 on
    EXPECT_FALSE(QFile::exists(path("d.txt")));
}

TEST_F(RunLoop, AnInterruptedCommandLineRunKeepsWhatItLeftUndone)
{
    gbCommandLineMode = true;
    for (const char *name : {"a.txt", "b.txt", "c.txt"})
        ASSERT_TRUE(qvtest::writeFile(path("in/") + name, "x\r\n\r\n"));
    addRow(session, {"", "", "S55", path("in/*.txt"), "1", "TXT", path("out/*.txt"), "1", "TXT"});
    addRow(session, {"", "", "S55", path("in/a.txt"), "1", "TXT", path("single.txt"), "1", "TXT"});
    CallingPump pump;
    session.setPump(&pump);

    // Interrupted once the first file is done: the other two and the task not reached are undone.
    pump.onPump = [&] {
        if (QFile::exists(path("out/a.txt")))
            session.bRunning = false;
    };
    session.ConversionJobBegin();
    ASSERT_EQ(session.leftUndone.size(), 3);
    EXPECT_EQ(session.leftUndone[0][3], path("in/b.txt"));
    EXPECT_EQ(session.leftUndone[0][6], path("out/b.txt"));
    EXPECT_EQ(session.leftUndone[1][3], path("in/c.txt"));
    EXPECT_EQ(session.leftUndone[2][6], path("single.txt"));
    for (const QStringList &row : std::as_const(session.leftUndone)) {
        EXPECT_EQ(row[2], "S55");
        EXPECT_EQ(row[9], "-");
        EXPECT_EQ(row[10], "The run was interrupted.");
    }
    EXPECT_FALSE(QFile::exists(path("out/b.txt")));

    // Interrupted while the files are listed: the list may be short, so the task stays whole.
    session.leftUndone.clear();
    QDir(path("out")).removeRecursively();
    pump.onPump = [&] { session.bRunning = false; };
    session.ConversionJobBegin();
    ASSERT_EQ(session.leftUndone.size(), 2);
    EXPECT_EQ(session.leftUndone[0][3], path("in/*.txt"));
    EXPECT_EQ(session.leftUndone[0][6], path("out/*.txt"));
    EXPECT_FALSE(QFile::exists(path("out/a.txt")));
    session.setPump(nullptr);
    gbCommandLineMode = false;
}

TEST_F(RunLoop, APausedSingleFolderTaskGoesOnWhereItStoppedAndAFinishedOneRunsAgain)
{
    // A window's run: the one-task rewind applies only when the main window is shown.
    class ShownWindow : public EngineHooks
    {
    public:
        bool mainWindowVisible() const override { return true; }
    } window;
    session.setHooks(&window);
    // Pauses once the third file's name is on the status bar, as a user pressing Pause then.
    class PauseAtPanel : public RecordingStatusPanels
    {
    public:
        explicit PauseAtPanel(JobSession &s) : s(s) {}
        void setPanelText(int panel, const QString &text) override
        {
            RecordingStatusPanels::setPanelText(panel, text);
            if (panel == StatusPanel::Message && text == pauseAt && s.bRunning) {
                s.ConversionJobPause();
                pauseAt.clear();
            }
        }
        JobSession &s;
        QString pauseAt;
    } panels(session);
    session.setPanels(&panels);
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(qvtest::writeFile(path(QStringLiteral("in/t%1.txt").arg(i)), "a\r\n\r\nb\r\n"));
    ASSERT_TRUE(QDir().mkpath(path("out")));
    addRow(session, {"", "", "S55", path("in/*.txt"), "1", "TXT", path("out/*.txt"), "1", "TXT"});

    panels.pauseAt = path("in/t2.txt");
    session.ConversionJobBegin();
    ASSERT_EQ(session.fgToDo.textMatrix(1, 9), "");
    ASSERT_FALSE(QFile::exists(path("out/t3.txt")));
    QFile::remove(path("out/t0.txt"));
    session.ConversionJobBegin();
    EXPECT_FALSE(QFile::exists(path("out/t0.txt"))) << "a file done before the pause is not made again";
    EXPECT_TRUE(QFile::exists(path("out/t3.txt")));
    EXPECT_EQ(session.fgToDo.textMatrix(1, 9), "+");

    // Finished, the single task runs again from its first file.
    QFile::remove(path("out/t3.txt"));
    session.ConversionJobBegin();
    EXPECT_TRUE(QFile::exists(path("out/t0.txt")));
    EXPECT_TRUE(QFile::exists(path("out/t3.txt")));
    session.setPanels(nullptr);
    session.setHooks(nullptr);
}

namespace {

// An append task row, run alone in a fresh grid.
void runAppend(JobSession &s, const QString &original, const QString &target)
{
    InitToDoGrid(s.fgToDo);
    InitLogGrid(s.fgLog);
    addRow(s, {"", "", "S50", original, "1", "TXT", target, "1", "TXT"});
    s.ConversionJobBegin();
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Another run's append to target: it holds the target's lock until release().
class OtherRun
{
public:
    explicit OtherRun(const QString &target) : mutex(AppendTargetLock::lockName(AppendTargetFile(target))), target(target)
    {
        EXPECT_TRUE(mutex.lock());
    }
    void appendAndRelease(const QByteArray &line)
    {
        QFile f(target);
        EXPECT_TRUE(f.open(QIODevice::Append));
        f.write(line);
        f.close();
        mutex.unlock();
    }
    MachineMutex mutex;
    QString target;
};

class AppendRuns : public RunLoop
{
protected:
    void SetUp() override
    {
        RunLoop::SetUp();
        // Locks of their own: other test processes of the machine never wait for these.
        ASSERT_TRUE(QDir().mkpath(path("locks")));
        MachineMutex::setLockFolderForTests(path("locks"));
        for (int i = 1; i <= 3; ++i)
            ASSERT_TRUE(qvtest::writeFile(path(QStringLiteral("in/f%1.txt").arg(i)), QByteArray("f") + char('0' + i) + "\r\n"));
        ASSERT_TRUE(qvtest::writeFile(path("s.txt"), "s\r\n"));
        ASSERT_TRUE(qvtest::writeFile(path("out/all.txt"), "old\r\n"));
        session.setPump(&pump);
    }
    void TearDown() override
    {
        session.setPump(nullptr);
        AppendTargetLock::setWaitLimit(10 * 60 * 1000);
        MachineMutex::setLockFolderForTests(QString());
    }
    CallingPump pump;
};

} // namespace

TEST_F(AppendRuns, AnotherRunsAppendIsWaitedForAndKept)
{
    // Over a pattern: the other run appends once this one's copy exists, or, while it waits,
    // after a while. Without waiting, its line would go under this run's commit.
    const QString target = path("out/all.txt");
    auto other = std::make_unique<OtherRun>(target);
    int pumps = 0;
    pump.onPump = [&] {
        const bool staged = entries(path("out")).size() > 1;
        if (other && (staged || ++pumps >= 20)) {
            other->appendAndRelease("other\r\n");
            other.reset();
        }
    };
    runAppend(session, path("in/*.txt"), target);
    EXPECT_EQ(session.fgToDo.textMatrix(1, 9), "+");
    EXPECT_EQ(qvtest::readFile(target), "old\r\nother\r\nf1\r\nf2\r\nf3\r\n");

    // A single original waits too, the target untouched meanwhile.
    other = std::make_unique<OtherRun>(target);
    pumps = 0;
    pump.onPump = [&] {
        if (other && ++pumps >= 5) {
            EXPECT_EQ(qvtest::readFile(target), "old\r\nother\r\nf1\r\nf2\r\nf3\r\n");
            other->appendAndRelease("again\r\n");
            other.reset();
        }
    };
    runAppend(session, path("s.txt"), target);
    EXPECT_EQ(session.fgToDo.textMatrix(1, 9), "+");
    EXPECT_EQ(qvtest::readFile(target), "old\r\nother\r\nf1\r\nf2\r\nf3\r\nagain\r\ns\r\n");
    EXPECT_EQ(entries(path("out")), QStringList{"all.txt"});
}

TEST_F(AppendRuns, AHolderThatNeverLetsGoFailsTheTaskAfterTheWait)
{
    const QString target = path("out/all.txt");
    OtherRun other(target);
    AppendTargetLock::setWaitLimit(200);
    for (const QString &original : {path("in/*.txt"), path("s.txt")}) {
        runAppend(session, original, target);
        EXPECT_EQ(session.fgToDo.textMatrix(1, 9), "-");
        EXPECT_EQ(session.fgLog.textMatrix(1, 10),
                  "Another run kept appending to the target file for too long: (" + target + ")");
    }
    EXPECT_EQ(qvtest::readFile(target), "old\r\n");
    EXPECT_EQ(entries(path("out")), QStringList{"all.txt"});

    // A Pause ends the wait of a task over a pattern: it stays undone, nothing appended.
    AppendTargetLock::setWaitLimit(60000);
    pump.onPump = [&] { session.bRunning = false; };
    runAppend(session, path("in/*.txt"), target);
    EXPECT_EQ(session.fgToDo.textMatrix(1, 9), "");
    EXPECT_EQ(qvtest::readFile(target), "old\r\n");
}

TEST_F(AppendRuns, ALinkedTargetStaysALinkAndItsFileGetsTheLines)
{
    ASSERT_TRUE(qvtest::writeFile(path("real/all.txt"), "old\r\n"));
    ASSERT_TRUE(QFile::link(path("real/all.txt"), path("out/link.txt")));
    // A link whose file does not exist yet: the file is made where it leads.
    ASSERT_TRUE(QFile::link(path("real/new.txt"), path("out/new-link.txt")));
    for (const QString &link : {path("out/link.txt"), path("out/new-link.txt")}) {
        runAppend(session, path("in/*.txt"), link);
        runAppend(session, path("s.txt"), link);
        EXPECT_TRUE(QFileInfo(link).isSymLink()) << link.toStdString();
    }
    EXPECT_EQ(qvtest::readFile(path("real/all.txt")), "old\r\nf1\r\nf2\r\nf3\r\ns\r\n");
    EXPECT_EQ(qvtest::readFile(path("real/new.txt")), "f1\r\nf2\r\nf3\r\ns\r\n");
    EXPECT_EQ(entries(path("out")), QStringList({"all.txt", "link.txt", "new-link.txt"}));
    EXPECT_EQ(entries(path("real")), QStringList({"all.txt", "new.txt"}));
}

TEST_F(AppendRuns, AWindowPauseKeepsWhatWasAppended)
{
    // Paused as the second file's name shows: that file is still appended, then the copy is
    // committed, since resuming goes on from there.
    class PauseAtPanel : public RecordingStatusPanels
    {
    public:
        explicit PauseAtPanel(JobSession &s) : s(s) {}
        void setPanelText(int panel, const QString &text) override
        {
            if (panel == StatusPanel::Message && text == pauseAt && s.bRunning)
                s.ConversionJobPause();
        }
        JobSession &s;
        QString pauseAt;
    } panels(session);
    panels.pauseAt = path("in/f2.txt");
    session.setPanels(&panels);
    runAppend(session, path("in/*.txt"), path("out/all.txt"));
    session.setPanels(nullptr);
    EXPECT_EQ(session.fgToDo.textMatrix(1, 9), "");
    EXPECT_EQ(qvtest::readFile(path("out/all.txt")), "old\r\nf1\r\nf2\r\n");
    EXPECT_EQ(entries(path("out")), QStringList{"all.txt"});
}

TEST_F(AppendRuns, WhatAKilledCommitKeptAsideIsBackBeforeTheAppendReadsIt)
{
    // A commit killed between its two renames where no link can keep the old file aside (FAT):
    // the target's name stands empty and the old text lies under a staged name of the gone run.
    const QString target = path("out/all.txt");
    const QList<QPair<QString, QByteArray>> runs = {{path("in/*.txt"), "old\r\nf1\r\nf2\r\nf3\r\n"},
                                                    {path("s.txt"), "old\r\ns\r\n"}};
    for (const auto &[original, appended] : runs) {
        ASSERT_TRUE(qvtest::writeFile(target, "old\r\n"));
        const pid_t child = ::fork();
        if (child == 0) {
            StagedOutput::setCallHook([aside = false](const char *call) mutable {
                // Killed at the rename that follows the one putting the old file aside.
                if (aside && (std::strncmp(call, "rename", 6) == 0 || std::strcmp(call, "noreplace") == 0))
                    ::raise(SIGKILL);
                aside = aside || std::strcmp(call, "rename-away") == 0;
                return std::strcmp(call, "link") == 0 || std::strcmp(call, "exchange") == 0 ? EPERM : 0;
            });
            StagedOutput staged;
            qvtest::writeFile(staged.stage(target), "new\r\n");
            staged.commit();
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << status;
        ASSERT_FALSE(QFileInfo::exists(target));
        runAppend(session, original, target);
        EXPECT_EQ(session.fgToDo.textMatrix(1, 9), "+");
        EXPECT_EQ(qvtest::readFile(target), appended);
        EXPECT_EQ(entries(path("out")), QStringList{"all.txt"});
    }
}
