// Reload tasks and Pause: a load stopped part-way keeps the rest of its job, the check against
// endless reloads counts the tasks run before a pause, and work left undone by an interrupt is kept.
#include "TestEnv.h"

#include "common/Globals.h"
#include "jobs/JobSession.h"
#include "jobs/ToDoRows.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>

namespace {

QByteArray jobLine(const QStringList &cells) { return cells.join('\t').toUtf8() + "\t\r\n"; }

// Pauses the run when a chosen text appears on panel 8 for the given time, as a user pressing
// Pause while the status bar shows it; runs the test's action at that moment.
class PausingPanels : public RecordingStatusPanels
{
public:
    explicit PausingPanels(JobSession &s) : s(s) {}
    void setPanelText(int panel, const QString &text) override
    {
        RecordingStatusPanels::setPanelText(panel, text);
        if (panel != StatusPanel::Message || text != pauseAt || !s.bRunning)
            return;
        if (++seen == pauseAtTime) {
            if (onPause)
                onPause();
            s.ConversionJobPause();
        }
    }
    JobSession &s;
    QString pauseAt;
    int pauseAtTime = 1;
    int seen = 0;
    std::function<void()> onPause;
};

// Pauses a run that would reload for ever once it has refreshed the commands too often.
class BoundingHooks : public EngineHooks
{
public:
    explicit BoundingHooks(JobSession &s) : s(s) {}
    void UpdateMenuToolbar() override
    {
        if (++calls > 200)
            s.bRunning = false;
    }
    JobSession &s;
    int calls = 0;
};

class Reload : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gbCommandLineMode = false;
        session.setPanels(&panels);
        session.setHooks(&hooks);
        ASSERT_TRUE(qvtest::writeFile(path("a.txt"), "x\r\n\r\ny\r\n"));
    }
    void TearDown() override
    {
        gbCommandLineMode = false;
        session.setPanels(nullptr);
        session.setHooks(nullptr);
    }
    QString path(const QString &rel) const { return tmp.filePath(rel); }
    void addRow(QStringList cells)
    {
        cells[ToDoColumn::Number] = QString::number(session.fgToDo.rows() - 1);
        session.fgToDo.addItem(cells, session.fgToDo.rows() - 1);
    }
    static QStringList reloadRow(const QString &job, int from, const QString &number = QString())
    {
        return {" ", number, "S1", "Reload", "0", "0", job, QString::number(from), ""};
    }
    void runReload(const QString &job, int from)
    {
        session.ConversionJobNew();
        addRow(reloadRow(job, from));
        panels.seen = 0;
        session.ConversionJobBegin();
    }
    QStringList textTask(const QString &target, const QString &number = QString()) const
    {
        return {"", number, "S55", path("a.txt"), "1", "TXT", path(target), "1", "TXT"};
    }
    int failuresLogged() const { return session.fgLog.rows() - 2; }

    QTemporaryDir tmp;
    JobSession session;
    PausingPanels panels{session};
    BoundingHooks hooks{session};
};

} // namespace

TEST_F(Reload, APauseWhileAReloadTaskLoadsKeepsTheLinesNotYetRead)
{
    const QString big = path("big.qvj");
    QByteArray bytes;
    for (int i = 1; i <= 2499; ++i)
        bytes += jobLine(textTask(QStringLiteral("out/t%1.txt").arg(i)));
    ASSERT_TRUE(qvtest::writeFile(big, bytes));
    panels.pauseAt = "Loading Conversion Task: 1000";

    // An interrupt of an unattended run there keeps every task not run, the unread ones as a reload.
    gbCommandLineMode = true;
    runReload(big, 1);
    ASSERT_EQ(session.leftUndone.size(), 1001);
    EXPECT_EQ(session.leftUndone[999][ToDoColumn::Target], path("out/t1000.txt"));
    const QStringList &rest = session.leftUndone.last();
    EXPECT_EQ(QStringList({rest[ToDoColumn::Do], rest[ToDoColumn::Target], rest[ToDoColumn::TargetType]}),
              QStringList({"S1", big, "1001"}));
    EXPECT_FALSE(QDir(path("out")).exists());

    // In the window, Convert after that Pause goes on with the tasks the load had not reached.
    gbCommandLineMode = false;
    session.leftUndone.clear();
    runReload(big, 1);
    EXPECT_EQ(panels.panelText(StatusPanel::Progress), "Pause");
    panels.pauseAt.clear();
    session.ConversionJobBegin();
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files).size(), 2499);
    EXPECT_EQ(session.fgToDo.textMatrix(lastTaskRow(session.fgToDo), ToDoColumn::Number), "2499");
    EXPECT_EQ(panels.panelText(StatusPanel::Progress), " 100 Percent Complete ");
    EXPECT_EQ(failuresLogged(), 0);

    // Paused before the line the reload starts at: Convert runs that same reload again.
    QDir(path("out")).removeRecursively();
    panels.pauseAt = "Loading Conversion Task: 1000";
    runReload(big, 1500);
    ASSERT_EQ(session.fgToDo.rows(), 3);
    panels.pauseAt.clear();
    session.ConversionJobBegin();
    EXPECT_EQ(failuresLogged(), 0);
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files).size(), 1000);
}

TEST_F(Reload, AJobReloadingItselfAfterATaskRunsAgainAlsoWhenPausedBetween)
{
    // [convert, reload this job]: each reload follows a conversion, so each round is allowed.
    const QString deck = path("deck.pptx");
    ASSERT_TRUE(QFile::copy(qvtest::sourceDir() + "/data/Demo Data/Quarterly Review.pptx", deck));
    const QString job = path("self.qvj");
    ASSERT_TRUE(qvtest::writeFile(job, jobLine({"A,1,2", "1", "C", deck, "3", "ppt", path("out/deck.pdf"), "32", "pdf"}) +
                                           jobLine(reloadRow(job, 1, "2"))));
    ASSERT_TRUE(session.ConversionJobOpen(job));
    panels.pauseAt = deck;
    panels.onPause = [this] { QFile::remove(path("out/deck.pdf")); };

    // Paused as the second round's conversion starts: it converts, then the run stops.
    panels.pauseAtTime = 2;
    session.ConversionJobBegin();
    EXPECT_EQ(failuresLogged(), 0);
    EXPECT_TRUE(QFile::exists(path("out/deck.pdf")));
    EXPECT_EQ(session.fgToDo.textMatrix(1, ToDoColumn::Pass), "+");
    ASSERT_EQ(session.fgToDo.textMatrix(2, ToDoColumn::Pass), "");

    // Resumed at the reload: the conversion before the pause counts, so a third round runs.
    panels.pauseAtTime = 3;
    session.ConversionJobBegin();
    EXPECT_EQ(failuresLogged(), 0) << session.fgLog.textMatrix(1, ToDoColumn::Status).toStdString();
    EXPECT_EQ(panels.seen, 3);
    EXPECT_TRUE(QFile::exists(path("out/deck.pdf")));
}

TEST_F(Reload, AJobThatReloadsItselfWithNoTaskBetweenIsRefusedEvenWhenReachedFromAnother)
{
    // A reloads B; B's first task reloads B itself: that second load is refused, B's task runs.
    const QString a = path("a.qvj");
    const QString b = path("b.qvj");
    ASSERT_TRUE(qvtest::writeFile(a, jobLine(reloadRow(b, 1, "1"))));
    ASSERT_TRUE(qvtest::writeFile(b, jobLine(reloadRow(b, 1, "1")) + jobLine(textTask("d.txt", "2"))));
    ASSERT_TRUE(session.ConversionJobOpen(a));
    hooks.calls = 0;
    session.ConversionJobBegin();
    ASSERT_EQ(session.fgToDo.rows(), 4);
    EXPECT_EQ(session.fgToDo.textMatrix(1, ToDoColumn::Target), b);
    EXPECT_EQ(session.fgToDo.textMatrix(1, ToDoColumn::Pass), "-");
    EXPECT_EQ(session.fgToDo.textMatrix(2, ToDoColumn::Pass), "+");
    ASSERT_EQ(failuresLogged(), 1);
    EXPECT_TRUE(session.fgLog.textMatrix(1, ToDoColumn::Status).startsWith("The reload task comes back to a conversion job"));
    EXPECT_EQ(qvtest::readFile(path("d.txt")), "x\r\ny\r\n");
}

TEST_F(Reload, APauseWhileAFolderTaskListsItsFilesLeavesTheWholeTaskUndone)
{
    // Paused while the sub-folder is listed: the list holds only the top folder's files, so an
    // interrupted run keeps the task itself, not those files, for the next run.
    gbCommandLineMode = true;
    const QString deck = qvtest::sourceDir() + "/data/Demo Data/Quarterly Review.pptx";
    for (const char *name : {"in/a.pptx", "in/b.pptx", "in/sub/c.pptx"}) {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path(name)).path()));
        ASSERT_TRUE(QFile::copy(deck, path(name)));
        ASSERT_TRUE(qvtest::writeFile(path(name).replace(".pptx", ".txt"), "x\r\n"));
    }
    panels.pauseAt = "Creating File List: " + path("in/sub/");
    const QList<QStringList> tasks = {
        {"RA,1,2", "", "C", path("in/*.pptx"), "3", "ppt", path("out/*.pdf"), "32", "pdf"},
        {"R", "", "S55", path("in/*.txt"), "1", "TXT", path("out/*.txt"), "1", "TXT"}};
    for (const QStringList &task : tasks) {
        SCOPED_TRACE(task[ToDoColumn::Do].toStdString());
        InitToDoGrid(session.fgToDo);
        session.leftUndone.clear();
        panels.seen = 0;
        addRow(task);
        session.ConversionJobBegin();
        ASSERT_EQ(panels.seen, 1);
        ASSERT_EQ(session.leftUndone.size(), 1);
        const QStringList &undone = session.leftUndone[0];
        EXPECT_EQ(QStringList({undone[ToDoColumn::Original], undone[ToDoColumn::Target], undone[ToDoColumn::Pass]}),
                  QStringList({task[ToDoColumn::Original], task[ToDoColumn::Target], "-"}));
        EXPECT_EQ(session.fgToDo.textMatrix(1, ToDoColumn::Pass), "");
        EXPECT_FALSE(QDir(path("out")).exists() && !QDir(path("out")).isEmpty());
    }
}
