// The engine entered again from its own event pump while a run is on the stack: Pause stays
// possible, every other job command refuses until the loop has unwound, and a close waits for it.
#include "TestEnv.h"

#include "common/Globals.h"
#include "jobs/JobSession.h"
#include "jobs/ToDoRows.h"
#include "platform/FilePicker.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>

namespace {

// Once the engine shows a chosen file, calls into the engine as the window would from a click.
class ReentrantPump : public EventPump
{
public:
    explicit ReentrantPump(const RecordingStatusPanels &p) : panels(p) {}
    void processEvents() override
    {
        if (action && panels.panelText(StatusPanel::Message).endsWith(trigger)) {
            const std::function<void()> once = std::move(action);
            action = nullptr;
            once();
        }
    }
    const RecordingStatusPanels &panels;
    QString trigger;
    std::function<void()> action;
};

class Hooks : public EngineHooks
{
public:
    explicit Hooks(JobSession &s) : s(s) {}
    void UpdateMenuToolbar() override { loopSeen << s.bLoopActive(); }
    void closeWindow() override
    {
        ++closes;
        loopActiveAtClose = s.bLoopActive();
    }
    JobSession &s;
    QList<bool> loopSeen;
    int closes = 0;
    bool loopActiveAtClose = true;
};

class Picker : public FilePicker
{
public:
    QString answer;
    QString pickFile(const QString &, const QString &, int &, const QString &, bool) override { return answer; }
    QString browseForFolder(const QString &, const QString &) override { return QString(); }
};

class Reentry : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gbCommandLineMode = false;
        session.setPanels(&panels);
        session.setPump(&pump);
        session.setHooks(&hooks);
        session.setPicker(&picker);
        for (const char *name : {"in/a.txt", "in/b.txt", "in/c.txt", "in2/a.txt", "in2/b.txt", "in2/c.txt",
                                 "t.txt"})
            ASSERT_TRUE(qvtest::writeFile(path(name), "x\r\n\r\ny\r\n"));
        // A job of one folder task on in2, for Open.
        QByteArray line;
        for (const QString &cell : folderTask("in2", "out3"))
            line += cell.toUtf8() + '\t';
        ASSERT_TRUE(qvtest::writeFile(path("other.qvj"), line + "\r\n"));
    }
    void TearDown() override
    {
        session.setPump(nullptr);
        session.setHooks(nullptr);
    }
    QString path(const QString &rel) const { return tmp.filePath(rel); }
    // "Remove empty lines" of every .txt file of a folder: the folder road without the office worker.
    QStringList folderTask(const QString &in, const QString &out) const
    {
        return {"", "1", "S55", path(in + "/*.txt"), "1", "TXT", path(out + "/*.txt"), "1", "TXT", ""};
    }
    void addRow(QStringList cells)
    {
        cells[ToDoColumn::Number] = QString::number(session.fgToDo.rows() - 1);
        session.fgToDo.addItem(cells, session.fgToDo.rows() - 1);
    }
    void addSingleFileTask() { addRow({"", "", "S55", path("t.txt"), "1", "TXT", path("out2/t2.txt"), "1", "TXT"}); }
    // File names in a folder, lower case (the case of the extensions the program makes is not at issue).
    QStringList written(const QString &folder) const
    {
        QStringList names;
        for (const QString &name : QDir(path(folder)).entryList(QDir::Files, QDir::Name))
            names << name.toLower();
        return names;
    }
    QString mark(int row) const { return session.fgToDo.textMatrix(row, ToDoColumn::Pass); }

    QTemporaryDir tmp;
    RecordingStatusPanels panels;
    JobSession session;
    ReentrantPump pump{panels};
    Hooks hooks{session};
    Picker picker;
};

} // namespace

TEST_F(Reentry, PauseThenBeginIsRefusedAndTheRunStopsAfterTheFile)
{
    addRow(folderTask("in", "out"));
    addSingleFileTask();
    bool activeInside = false;
    pump.trigger = "/in/b.txt";
    pump.action = [&] {
        session.ConversionJobPause();
        activeInside = session.bLoopActive() && !session.bRunning;
        session.ConversionJobBegin();
    };
    session.ConversionJobBegin();

    EXPECT_TRUE(activeInside);
    EXPECT_FALSE(session.bLoopActive());
    EXPECT_EQ(written("out"), QStringList({"a.txt", "b.txt"}));
    EXPECT_TRUE(written("out2").isEmpty());
    EXPECT_EQ(mark(1), "");
    EXPECT_EQ(mark(2), "");
    EXPECT_EQ(session.fgLog.rows(), 2);
    EXPECT_EQ(panels.panelText(StatusPanel::Progress), "Pause");
    EXPECT_EQ(session.lResumeRow, 1);
    EXPECT_EQ(session.lResumeFileIndex, 2);
    // The window was refreshed when the loop started and after it had unwound.
    ASSERT_FALSE(hooks.loopSeen.isEmpty());
    EXPECT_TRUE(hooks.loopSeen.first());
    EXPECT_FALSE(hooks.loopSeen.last());

    session.ConversionJobBegin(); // resumes at the file that ran last before the pause
    EXPECT_EQ(written("out"), QStringList({"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(written("out2"), QStringList({"t2.txt"}));
    EXPECT_EQ(mark(1), "+");
    EXPECT_EQ(mark(2), "+");
}

TEST_F(Reentry, PauseThenOpenIsRefusedAndTheJobOpenedLaterRunsFromItsFirstFile)
{
    addRow(folderTask("in", "out"));
    session.sCurrentJobFileName = "*";
    bool opened = true;
    pump.trigger = "/in/b.txt";
    pump.action = [&] {
        session.ConversionJobPause();
        opened = session.ConversionJobOpen(path("other.qvj"));
    };
    session.ConversionJobBegin();

    EXPECT_FALSE(opened);
    EXPECT_EQ(session.sCurrentJobFileName, "*");
    EXPECT_EQ(session.fgToDo.textMatrix(1, ToDoColumn::Original), path("in/*.txt"));
    EXPECT_EQ(written("out"), QStringList({"a.txt", "b.txt"}));
    EXPECT_EQ(session.lResumeFileIndex, 2);

    ASSERT_TRUE(session.ConversionJobOpen(path("other.qvj")));
    EXPECT_EQ(session.lResumeFileIndex, 0);
    session.ConversionJobBegin();
    EXPECT_EQ(written("out3"), QStringList({"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(mark(1), "+");
}

TEST_F(Reentry, OpenDuringAFolderConversionIsRefusedAndTheRunGoesOn)
{
    const QString deck = qvtest::sourceDir() + "/data/Demo Data/Quarterly Review.pptx";
    ASSERT_TRUE(QDir().mkpath(path("decks")));
    ASSERT_TRUE(QFile::copy(deck, path("decks/a.pptx")));
    ASSERT_TRUE(QFile::copy(deck, path("decks/b.pptx")));
    addRow({"A,1,2", "", "C", path("decks/*.pptx"), "3", "ppt", path("pdf/*.pdf"), "32", "pdf"});
    session.sCurrentJobFileName = "*";
    bool opened = true;
    pump.trigger = "/decks/b.pptx"; // inside the conversion of b, while the worker converts it
    pump.action = [&] { opened = session.ConversionJobOpen(path("other.qvj")); };
    session.ConversionJobBegin();

    EXPECT_FALSE(opened);
    EXPECT_EQ(session.sCurrentJobFileName, "*");
    EXPECT_EQ(written("pdf"), QStringList({"a.pdf", "b.pdf"}));
    EXPECT_EQ(mark(1), "+");
    EXPECT_EQ(session.fgLog.rows(), 2);
    EXPECT_EQ(panels.panelText(StatusPanel::Progress), " 100 Percent Complete ");
}

TEST_F(Reentry, BeginInsideBeginAndTheOtherJobCommandsAreRefused)
{
    addRow(folderTask("in", "out"));
    addRow({"", "", "S57", path("t.txt"), "1", "TXT", path("out2/x.txt"), "1", "TXT"}); // fails: unknown process
    addSingleFileTask();
    picker.answer = path("log.qvj");
    bool saved = true, moved = true;
    pump.trigger = "/in/b.txt";
    pump.action = [&] {
        session.ConversionJobBegin();
        session.ConversionJobNew();
        session.ConversionJobRewind();
        saved = session.ConversionJobSaveLogAs();
        session.fgToDo.setRow(3);
        moved = MoveGridRow(session, session.fgToDo, 2);
    };
    session.ConversionJobBegin();

    EXPECT_FALSE(saved);
    EXPECT_FALSE(QFile::exists(path("log.qvj")));
    EXPECT_FALSE(moved);
    EXPECT_EQ(session.fgToDo.rows(), 5);
    EXPECT_EQ(session.fgToDo.textMatrix(2, ToDoColumn::Do), "S57");
    EXPECT_EQ(written("out"), QStringList({"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(written("out2"), QStringList({"t2.txt"}));
    EXPECT_EQ(mark(1), "+");
    EXPECT_EQ(mark(2), "-");
    EXPECT_EQ(mark(3), "+");
    ASSERT_EQ(session.fgLog.rows(), 3); // the one failure
    EXPECT_EQ(session.fgLog.textMatrix(1, ToDoColumn::Number), "2");
    EXPECT_EQ(panels.panelText(StatusPanel::Progress), " 100 Percent Complete ");
    EXPECT_EQ(panels.panelPicture(StatusPanel::Progress), StatusPanels::CompletePicture);
}

TEST_F(Reentry, ACloseRequestedDuringARunWaitsForTheLoopToUnwind)
{
    addRow(folderTask("in", "out"));
    addSingleFileTask();
    int closesInside = -1;
    pump.trigger = "/in/b.txt";
    pump.action = [&] {
        session.RequestClose();
        closesInside = hooks.closes;
    };
    session.ConversionJobBegin();

    EXPECT_EQ(closesInside, 0);
    EXPECT_EQ(hooks.closes, 1);
    EXPECT_FALSE(hooks.loopActiveAtClose);
    EXPECT_EQ(written("out"), QStringList({"a.txt", "b.txt"})); // stopped after the file
    EXPECT_TRUE(written("out2").isEmpty());
    EXPECT_EQ(mark(1), "");

    session.ConversionJobBegin(); // a request is carried out once
    EXPECT_EQ(hooks.closes, 1);
    session.RequestClose(); // no run: at once
    EXPECT_EQ(hooks.closes, 2);
}
