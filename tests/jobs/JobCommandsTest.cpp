// Job commands through the engine API, with a scripted file picker and a recording prompter.
#include "TestEnv.h"

#include "common/Globals.h"
#include "jobs/JobFiles.h"
#include "jobs/JobSession.h"
#include "jobs/ToDoRows.h"
#include "platform/FilePicker.h"
#include "platform/Prompter.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <type_traits>

namespace {

class ScriptedPicker : public FilePicker
{
public:
    QString answer; // "" = the user cancels
    int calls = 0;
    bool lastWasSave = false;
    QString pickFile(const QString &, const QString &, int &, const QString &, bool save) override
    {
        ++calls;
        lastWasSave = save;
        return answer;
    }
    QString browseForFolder(const QString &, const QString &) override { return QString(); }
};

class RecordingPrompter : public Prompter
{
public:
    QStringList texts;
    int msgBox(const QString &text, int, const QString & = QString()) override
    {
        texts << text;
        return Ok;
    }
};

class JobCommands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gbCommandLineMode = false;
        session.setPicker(&picker);
        session.setPrompter(&prompter);
        session.setPanels(&panels);
    }
    void TearDown() override { session.setPrompter(nullptr); }
    void addTask(const QString &original, const QString &mark = QString())
    {
        session.fgToDo.addItem(QStringList{"A,1,2", QString::number(session.fgToDo.rows() - 1), "C", original, "3",
                                           "ppt", tmp.filePath("out.pdf"), "32", "pdf", mark},
                               session.fgToDo.rows() - 1);
    }
    QTemporaryDir tmp;
    RecordingStatusPanels panels;
    JobSession session;
    ScriptedPicker picker;
    RecordingPrompter prompter;
};

} // namespace

TEST_F(JobCommands, SaveOfANewJobAsksForAFileAndClearsTheChangedFlag)
{
    session.ConversionJobNew();
    addTask("/in/a.pptx");
    session.bAskToSaveQVJFileBeforeExit = true;
    picker.answer = tmp.filePath("saved.qvj");
    EXPECT_TRUE(session.ConversionJobSave());
    EXPECT_TRUE(picker.lastWasSave);
    EXPECT_EQ(session.sCurrentJobFileName, tmp.filePath("saved.qvj"));
    EXPECT_FALSE(session.bAskToSaveQVJFileBeforeExit);
    EXPECT_TRUE(QFile::exists(tmp.filePath("saved.qvj")));

    // A later save writes to the same file without asking.
    picker.calls = 0;
    session.bAskToSaveQVJFileBeforeExit = true;
    EXPECT_TRUE(session.ConversionJobSave());
    EXPECT_EQ(picker.calls, 0);
    EXPECT_FALSE(session.bAskToSaveQVJFileBeforeExit);
}

TEST_F(JobCommands, AFailedSaveKeepsTheChangedFlagAndSays)
{
    session.ConversionJobNew();
    addTask("/in/a.pptx");
    session.bAskToSaveQVJFileBeforeExit = true;
    session.sCurrentJobFileName = tmp.filePath("no/such/folder/job.qvj");
    EXPECT_FALSE(session.ConversionJobSave());
    EXPECT_TRUE(session.bAskToSaveQVJFileBeforeExit);
    ASSERT_FALSE(prompter.texts.isEmpty());
    EXPECT_TRUE(prompter.texts.last().startsWith("Unable to create file."));
}

TEST_F(JobCommands, OpenShowsMarksAndACancelledOrMissingOpenChangesNothing)
{
    session.ConversionJobNew();
    addTask("/in/a.pptx", "+");
    addTask("/in/b.pptx", "-");
    addTask("/in/c.pptx");
    ASSERT_TRUE(SaveConversionJobFile(session, tmp.filePath("job.qvj")));
    session.ConversionJobNew();

    EXPECT_TRUE(session.ConversionJobOpen(tmp.filePath("job.qvj")));
    EXPECT_EQ(session.sCurrentJobFileName, tmp.filePath("job.qvj"));
    EXPECT_EQ(session.fgToDo.cellPicture(1, 9), FlexGrid::Picture::Passed);
    EXPECT_EQ(session.fgToDo.cellPicture(2, 9), FlexGrid::Picture::Failed);
    EXPECT_EQ(session.FindStartPoint(session.fgToDo), 3);

    picker.answer.clear();
    EXPECT_FALSE(session.ConversionJobOpen(QString()));
    EXPECT_EQ(session.sCurrentJobFileName, tmp.filePath("job.qvj"));
    QString why;
    EXPECT_FALSE(session.ConversionJobOpen(tmp.filePath("missing.qvj"), &why));
    EXPECT_EQ(session.sCurrentJobFileName, tmp.filePath("job.qvj"));
    EXPECT_TRUE(why.contains(tmp.filePath("missing.qvj")));
    EXPECT_EQ(session.fgToDo.rows(), 5); // the open job is still there
}

TEST_F(JobCommands, RewindClearsMarksLogAndResumePosition)
{
    session.ConversionJobNew();
    addTask("/in/a.pptx", "+");
    addTask("/in/b.pptx", "-");
    session.fgToDo.setCellPicture(1, 9, FlexGrid::Picture::Passed);
    session.fgLog.addItem(QStringList{"", "1", "C", "/in/b.pptx"}, session.fgLog.rows() - 1);
    session.lResumeFileIndex = 4;
    session.lResumeRow = 1;
    session.ConversionJobRewind();
    EXPECT_EQ(session.fgToDo.textMatrix(1, 9), "");
    EXPECT_EQ(session.fgToDo.textMatrix(2, 9), "");
    EXPECT_EQ(session.fgToDo.cellPicture(1, 9), FlexGrid::Picture::None);
    EXPECT_EQ(session.fgLog.rows(), 2);
    EXPECT_EQ(session.lResumeFileIndex, 0);
    EXPECT_EQ(session.lResumeRow, 0);
}

TEST_F(JobCommands, AJobLoadedInPartsIsNeverSavedOverItsOwnFile)
{
    QByteArray job;
    for (int i = 1; i <= 30005; ++i)
        job += "A,1,2\t" + QByteArray::number(i) + "\tC\t/in/x.pptx\t3\tppt\t/out/x.pdf\t32\tpdf\t\t\r\n";
    ASSERT_TRUE(qvtest::writeFile(tmp.filePath("big.qvj"), job));
    ASSERT_TRUE(session.ConversionJobOpen(tmp.filePath("big.qvj")));
    const QByteArray before = qvtest::readFile(tmp.filePath("big.qvj"));
    picker.answer.clear(); // the Save As offered instead is cancelled
    EXPECT_FALSE(session.ConversionJobSave());
    EXPECT_EQ(qvtest::readFile(tmp.filePath("big.qvj")), before);
    picker.answer = tmp.filePath("big.qvj"); // choosing the same file again is refused too
    EXPECT_FALSE(session.ConversionJobSaveAs());
    EXPECT_EQ(qvtest::readFile(tmp.filePath("big.qvj")), before);
    picker.answer = tmp.filePath("part.qvj");
    EXPECT_TRUE(session.ConversionJobSaveAs());
    EXPECT_TRUE(QFile::exists(tmp.filePath("part.qvj")));
}

TEST_F(JobCommands, ProgressShowsTheNearestWholePercentAndHalvesGoToEven)
{
    session.VelmoraX1_Progress(42.7);
    EXPECT_EQ(panels.panelText(StatusPanel::Progress), "43% Complete ");
    session.VelmoraX1_Progress(2.5);
    EXPECT_EQ(panels.panelText(StatusPanel::Progress), "2% Complete ");
    session.VelmoraX1_Progress(3.5);
    EXPECT_EQ(panels.panelText(StatusPanel::Progress), "4% Complete ");
}

TEST_F(JobCommands, AMarkAboveTheTopRowScrollsTheViewToIt)
{
    session.ConversionJobNew();
    for (int i = 0; i < 6; ++i)
        addTask("/in/a.pptx");
    session.fgToDo.setTopRow(5);
    QList<int> told;
    QObject::connect(&session.fgToDo, &FlexGrid::topRowChanged, [&told](int r) { told << r; });
    session.UpdatePassedCell(session.fgToDo, 4, 0);
    EXPECT_EQ(told, QList<int>({2}));
    session.UpdatePassedCell(session.fgToDo, 1, 0);
    EXPECT_EQ(told, QList<int>({2, 1}));
}

TEST(StatusPanelsAndColumns, NamesKeepThePartsNumbersAndTheInterfaceKeepsNothing)
{
    static_assert(std::is_abstract_v<StatusPanels>);
    static_assert(sizeof(StatusPanels) == sizeof(void *)); // the virtual table only: no storage
    EXPECT_EQ(StatusPanel::Task, 3);
    EXPECT_EQ(StatusPanel::Progress, 6);
    EXPECT_EQ(StatusPanel::Message, 8);
    EXPECT_EQ(StatusPanel::Time, 11);
    EXPECT_EQ(ToDoColumn::Pass, 9);
    EXPECT_EQ(ToDoColumn::Status, 10);
    JobSession session;
    EXPECT_EQ(session.fgToDo.cols(), 10);
    EXPECT_EQ(session.fgLog.cols(), 11);
    // An unattended run keeps the texts.
    EXPECT_NE(dynamic_cast<RecordingStatusPanels *>(session.panels()), nullptr);
}
