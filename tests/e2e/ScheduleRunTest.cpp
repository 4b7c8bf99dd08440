// A persisted schedule: the program's window restarts it at start-up and runs the job again
// and again with the countdown in the frame's caption; a command-line run with the same
// settings runs the job once, exits, and leaves the settings alone.
#include "TestEnv.h"

#include "common/Globals.h"
#include "jobs/JobFiles.h"
#include "jobs/JobSession.h"
#include "jobs/ToDoRows.h"
#include "platform/Prompter.h"
#include "ui/scheduler/frmScheduler.h"
#include "ui/main/frame/MainWindowStart.h"
#include "ui/main/frmMain.h"
#include "ui/main/frame/frmMainMDI.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

class CountingPrompter : public Prompter
{
public:
    int msgBox(const QString &text, int, const QString & = QString()) override
    {
        texts << text;
        return Ok;
    }
    QStringList texts;
};

} // namespace

TEST(ScheduleRun, APersistedScheduleRunsRepeatedlyInTheWindowAndOnceOnTheCommandLine)
{
    QTemporaryDir tmp;
    const QString in = tmp.filePath("in.txt"), out = tmp.filePath("out.txt");
    ASSERT_TRUE(qvtest::writeFile(in, "a\r\n\r\nb\r\n"));
    // Two tasks: one that writes out.txt, one whose original is missing (a log row).
    const QString job = tmp.filePath("every2s.qvj");
    {
        JobSession s;
        InitToDoGrid(s.fgToDo);
        s.fgToDo.addItem({"", "1", "S55", in, "1", "TXT", out, "1", "TXT"}, 1);
        s.fgToDo.addItem({"", "2", "S55", tmp.filePath("missing.txt"), "1", "TXT", tmp.filePath("x.txt"), "1", "TXT"},
                         2);
        ASSERT_TRUE(SaveConversionJobFile(s, job));
    }
    const QString ini = qvtest::homeDir() + "/.config/Ornwell, Inc/Quorvane/Quorvane_SearchHistory.INI";
    ASSERT_TRUE(qvtest::writeFile(ini, ("[Main]\r\nPartial=Level3\r\n[frmScheduler]\r\noptTimeBased=True\r\n"
                                        "optCalendarBased=False\r\ntxtHours=0\r\ntxtMinutes=0\r\ntxtSeconds=2\r\n"
                                        "chkPersistRunning=1\r\n[mruScheduleSource]\r\nmruScheduleSource1=" +
                                        job + "\r\nmruScheduleSource2=MRU_DONE\r\n")
                                           .toUtf8()));
    struct Cleanup { QString f; ~Cleanup() { QFile::remove(f); } } cleanup{ini};

    G_IniFilePath = ini;
    gbCommandLineMode = false;
    {
        std::unique_ptr<frmMainMDI> frame(ShowMainMDIWithSplash());
        frmMain *m = frame->mainWindow();
        CountingPrompter prompter;
        m->setPrompter(&prompter);
        ASSERT_TRUE(m->bSchedularEnabled());
        EXPECT_FALSE(m->frmSched->isVisible());
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(out); }, 60000));
        EXPECT_EQ(qvtest::readFile(out), "a\r\nb\r\n");
        EXPECT_GE(m->session().fgLog.rows(), 3); // header, the failed task, the empty row
        ASSERT_TRUE(QTest::qWaitFor([&] { return frame->windowTitle() == "1 seconds before next run."; }, 60000))
            << frame->windowTitle().toStdString();
        ASSERT_TRUE(QFile::remove(out));
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(out); }, 60000)); // run again
        EXPECT_TRUE(m->bSchedularEnabled());

        // Pause ends the schedule between runs.
        ASSERT_TRUE(QTest::qWaitFor([&] { return m->mnuPause->isEnabled() && !m->session().bRunning; }, 60000));
        m->mnuPause->trigger();
        EXPECT_FALSE(m->bSchedularEnabled());
        EXPECT_EQ(frame->windowTitle(), "'Quorvane'");
        EXPECT_TRUE(prompter.texts.isEmpty()) << prompter.texts.join(" | ").toStdString();
        frame->close();
    }
    G_IniFilePath.clear();

    // The command line: the job once, no restart of the schedule, nothing written.
    ASSERT_TRUE(qvtest::writeFile(ini, qvtest::readFile(ini).replace("chkPersistRunning=0", "chkPersistRunning=1")));
    const QByteArray stored = qvtest::readFile(ini);
    ASSERT_TRUE(stored.contains("chkPersistRunning=1"));
    QFile::remove(out);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    p.setProcessEnvironment(env);
    p.start(qvtest::binDir() + "/quorvane", {"/J", job});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 1); // the task with the missing original failed
    EXPECT_EQ(qvtest::readFile(out), "a\r\nb\r\n");
    EXPECT_EQ(qvtest::readFile(ini), stored);
}
