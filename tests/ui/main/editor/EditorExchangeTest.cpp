// The task editor of the real window on the offscreen platform, driven with keys and clicks:
// building, changing and removing tasks, the row loaders and Update, the leave-row check, and
// a job built here that the command line runs with the same results.
#include "../../../language/TranslatorTestSupport.h"
#include "../WindowTestSupport.h"

#include "jobs/JobSession.h"
#include "jobs/StatusPanels.h"
#include "platform/FilePicker.h"
#include "platform/ProfileIni.h"
#include "ui/scheduler/SchedulerHooks.h"
#include "ui/main/editor/EditorExchange.h"
#include "ui/main/JobGridView.h"
#include "ui/main/SessionController.h"
#include "ui/main/editor/TaskEditor.h"
#include "ui/main/frmMain.h"
#include "ui/options/frmAdvancedOptions.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QGroupBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <memory>
#include <tuple>

namespace {

class AnswerPrompter : public Prompter
{
public:
    int msgBox(const QString &text, int, const QString &) override
    {
        boxes << text;
        if (onAsk)
            onAsk();
        return answers.isEmpty() ? Ok : answers.takeFirst();
    }
    QStringList boxes;
    QList<int> answers;
    std::function<void()> onAsk;
};

class SavePicker : public FilePicker
{
public:
    QString pickFile(const QString &, const QString &, int &, const QString &, bool) override { return file; }
    QString browseForFolder(const QString &, const QString &) override { return QString(); }
    QString file;
};

class EditorExchangeTest : public TranslatorFixture
{
protected:
    void SetUp() override
    {
        TranslatorFixture::SetUp();
        InitializeTranslator(true);
        w = openMainWindow(&answers, &picker, &panels, QSize(1300, 900));
        ed = w->editor;
    }
    void TearDown() override
    {
        w.reset();
        gbSuppressEvents = false;
        TranslatorFixture::TearDown();
    }
    QString path(const QString &rel) const { return tmp.path() + QLatin1Char('/') + rel; }
    FlexGrid &grid() const { return w->session().fgToDo; }
    QStringList row(int r) const { return grid().rowCells(r); }

    // What a user does: type into a box (replacing its text), pick a list entry from its
    // pop-up, press a check box or option button with the space key, click a grid row.
    void type(QComboBox *cb, const QString &text)
    {
        cb->lineEdit()->selectAll();
        QTest::keyClick(cb->lineEdit(), Qt::Key_Delete);
        QTest::keyClicks(cb->lineEdit(), text);
    }
    // A list that turns back by itself after the pick (character codes, "not listed") is not checked.
    void pick(QComboBox *cb, int itemData, bool stays = true)
    {
        const int i = cb->findData(itemData);
        ASSERT_GE(i, 0) << cb->objectName().toStdString();
        cb->showPopup();
        QAbstractItemView *v = cb->view();
        const QModelIndex idx = v->model()->index(i, cb->modelColumn());
        v->scrollTo(idx);
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(idx).center());
        if (stays) {
            ASSERT_EQ(cb->currentIndex(), i) << cb->objectName().toStdString();
        }
    }
    void press(QAbstractButton *b) { QTest::keyClick(b, Qt::Key_Space); }
    void clickRow(int gridRow)
    {
        JobGridView *v = w->fgToDo;
        const QModelIndex idx = v->model()->index(gridRow - 1, 3);
        v->scrollTo(idx);
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(idx).center());
    }
    void click(QPushButton *b) { QTest::mouseClick(b, Qt::LeftButton); }
    QString writeJob(const QList<QStringList> &rows)
    {
        QByteArray out;
        for (const QStringList &r : rows)
            out += (r.join(u'\t') + QStringLiteral("\t\r\n")).toUtf8();
        out += "\t*\t\t\t\t\t\t\t\t\r\n";
        const QString job = path(QStringLiteral("loaded.qvj"));
        EXPECT_TRUE(qvtest::writeFile(job, out));
        return job;
    }
    QStringList outputs() const
    {
        QStringList out;
        QDirIterator it(path("out"), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            out << QDir(path("out")).relativeFilePath(f) + u'=' +
                       (f.endsWith(".pdf") ? QString::number(QFileInfo(f).size() > 0) : QString::fromUtf8(qvtest::readFile(f)));
        }
        out.sort();
        return out;
    }

    AnswerPrompter answers;
    SavePicker picker;
    WatchedPanels panels;
    std::unique_ptr<frmMain> w;
    TaskEditor *ed = nullptr;
};

} // namespace

TEST_F(EditorExchangeTest, BuildsChangesRemovesSavesAndRunsAJobLikeTheCommandLine)
{
    ASSERT_TRUE(qvtest::writeFile(path("in/a.txt"), "alpha\r\n\r\nbeta\r\n"));
    ASSERT_TRUE(qvtest::writeFile(path("in/b.txt"), "gamma\r\n\r\n\r\ndelta\r\n"));
    QDir().mkpath(path("out"));
    const QString deck = qvtest::dataDir() + QStringLiteral("/quarterly-review.fodp");

    // A conversion: the pasted quotes go, the PDF type is picked from the list.
    type(ed->cbOriginalFile, u'"' + deck + u'"');
    EXPECT_EQ(ed->cbOriginalFile->currentText(), deck);
    EXPECT_TRUE(w->session().bCurrentActionItemDirty);
    pick(ed->cbFileTypeTarget, 32);
    type(ed->cbTargetFile, path("out/deck.pdf"));
    click(w->cmdAdd);
    ASSERT_EQ(grid().rows(), 3);
    EXPECT_EQ(row(1).mid(0, 9), (QStringList{"A,1,2", "1", "C", deck, "3", "ppt", path("out/deck.pdf"), "32", "pdf"}));
    EXPECT_FALSE(w->session().bCurrentActionItemDirty);
    // Add puts the editor's boxes into their recent lists.
    EXPECT_EQ(w->mruSource.clnMRU().value(0), deck);
    EXPECT_EQ(w->mruTarget.clnMRU().value(0), path("out/deck.pdf"));

    // Remove empty lines of a folder, then search and replace with a TAB code, then a launch.
    press(ed->rbActionToDo[1]);
    pick(ed->cbSpecialProcesses, 55);
    type(ed->cbOriginalFileSpecialized, path("in/*.txt"));
    EXPECT_FALSE(ed->cmdSelectTargetFileSpecialized->isVisibleTo(ed));
    type(ed->cbTargetFileSpecialized, path("out/clean/*.txt"));
    QDir().mkpath(path("out/clean"));
    click(w->cmdAdd);
    pick(ed->cbSpecialProcesses, 56);
    type(ed->cbOriginalFileSpecialized, path("in/a.txt"));
    type(ed->cbTargetFileSpecialized, path("out/a-replaced.txt"));
    type(ed->cbFindString, "beta");
    type(ed->cbReplacementString, "x");
    pick(ed->cbCharacter2, 9, false);
    EXPECT_EQ(ed->cbReplacementString->currentText(), QStringLiteral("x\u00A99\u00A9"));
    EXPECT_EQ(ed->cbCharacter2->currentIndex(), 0);
    click(w->cmdAdd);
    pick(ed->cbSpecialProcesses, 60);
    type(ed->cbCommandLine, "/bin/true");
    click(w->cmdAdd);
    ASSERT_EQ(grid().rows(), 6);
    EXPECT_EQ(row(3)[2], "S56");
    EXPECT_TRUE(row(3)[0].endsWith(QStringLiteral("Find{{beta}}Replace{{x\u00A99\u00A9}}")));
    EXPECT_EQ(row(4)[0], "T32 S1 W-1");

    // Select the conversion, change its target, Update: the row changes in place.
    clickRow(1);
    EXPECT_EQ(grid().row(), 1);
    EXPECT_TRUE(ed->rbActionToDo[0]->isChecked());
    EXPECT_EQ(ed->cbOriginalFile->currentText(), deck);
    EXPECT_FALSE(w->cmdUpdate->isEnabled());
    type(ed->cbTargetFile, path("out/review.pdf"));
    EXPECT_TRUE(w->cmdUpdate->isEnabled());
    click(w->cmdUpdate);
    EXPECT_EQ(row(1)[6], path("out/review.pdf"));
    EXPECT_EQ(row(1)[1], "1");
    EXPECT_FALSE(w->cmdUpdate->isEnabled());

    // Remove the launch task; the "*" row stays last.
    clickRow(4);
    EXPECT_TRUE(ed->frameCommandLine->isVisibleTo(ed));
    click(w->cmdRemove);
    ASSERT_EQ(grid().rows(), 5);
    EXPECT_EQ(row(4)[1], "*");
    EXPECT_EQ(grid().row(), 4);

    // Saved, opened again: the same grid.
    QList<QStringList> built;
    for (int r = 1; r < grid().rows(); ++r)
        built << row(r).mid(0, 9);
    picker.file = path("job.qvj");
    ASSERT_TRUE(w->session().ConversionJobSaveAs());
    ASSERT_TRUE(w->controller()->openJob(picker.file));
    QList<QStringList> reopened;
    for (int r = 1; r < grid().rows(); ++r)
        reopened << row(r).mid(0, 9);
    EXPECT_EQ(reopened, built);

    // Run in the window, then by the command line: the same marks and the same files.
    w->controller()->beginJob();
    for (int r = 1; r <= 3; ++r)
        EXPECT_EQ(row(r)[9], "+") << r << " " << panels.panelText(8).toStdString();
    const QStringList inWindow = outputs();
    EXPECT_EQ(inWindow.size(), 4) << inWindow.join(u'|').toStdString();
    EXPECT_TRUE(inWindow.contains(QStringLiteral("a-replaced.txt=alpha\r\n\r\nx\t\r\n"))) << inWindow.join(u'|').toStdString();
    QDir(path("out")).removeRecursively();
    QDir().mkpath(path("out/clean"));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    p.setProcessEnvironment(env);
    p.start(qvtest::binDir() + QStringLiteral("/quorvane"), {"/J", picker.file, "/L", path("run.log")});
    ASSERT_TRUE(p.waitForFinished(300000));
    EXPECT_EQ(p.exitCode(), 0) << qvtest::readFile(path("run.log")).toStdString();
    EXPECT_EQ(outputs(), inWindow);
}

TEST_F(EditorExchangeTest, RowLoadersReadFlagsSlidesMethodsAndProcessesAndSurviveMalformedRows)
{
    ASSERT_TRUE(qvtest::writeFile(path("in/a.txt"), "a"));
    const QString in = path("in/*.pptx");
    const QString job = writeJob({
        {"RGA,1,2", "1", "C", in, "3", "ppt", path("out/*.pdf"), "32", "pdf"},
        {",3,7", "2", "C", path("in/a.pptx"), "3", "ppt", path("out/a.pdf"), "32", "pdf"},
        {"MC,1,2", "3", "C", path("in/a.pptx"), "3", "", path("out/a.rtf"), "6", ""},
        {"A,1,2", "4", "C", path("in/b.pptx"), "3", "ppt", path("out/b.png"), "18", "png"},
        {"T128 S6 W30", "5", "S60", "/bin/echo", "0", "", "hello", "0", ""},
        {"R D          Find{{Rex}}Replace{{Dog}}", "6", "S56", path("in/*.txt"), "1", "txt", path("out/*.txt"), "1", "txt"},
        {",1,9", "7", "C", path("in/c.pptx"), "3", "", path("out/c.pdf"), "32", ""},
        {"          Find{{unfinished", "8", "S56", path("in/d.txt"), "1", "txt", path("out/d.txt"), "1", "txt"},
        {"T256 S1 W1", "9", "S60", "/bin/true", "0", "", "", "0", ""},
    });
    ASSERT_TRUE(w->controller()->openJob(job));
    // Cells no job file may hold (its reader refuses them), given to the grid itself.
    const std::tuple<int, int, const char *> malformed[] = {{7, 0, ",x,9"}, {7, 4, "abc"}, {7, 7, "?"}, {9, 0, "T256"}};
    for (const auto &[r, c, text] : malformed)
        grid().setTextMatrix(r, c, text);

    clickRow(1);
    EXPECT_TRUE(ed->cbDoSubfolders->isChecked());
    EXPECT_TRUE(ed->cbSaveToOriginalFolder->isChecked());
    EXPECT_FALSE(ed->frameTargetFile->isVisibleTo(ed));
    EXPECT_FALSE(ed->cmdSelectTargetFile->isVisibleTo(ed));
    EXPECT_EQ(panels.panelText(8), "Convert all slides. Create one file.");
    clickRow(2);
    EXPECT_EQ(panels.panelText(8), "Convert FROM Slide 3 TO Slide 7. Create one file.");
    EXPECT_FALSE(ed->cbSaveToOriginalFolder->isVisibleTo(ed));
    EXPECT_TRUE(ed->frameTargetFile->isVisibleTo(ed));

    // A Word-method row brings its own target list; the built-in row after it brings the
    // built-in list back, with its PNG type chosen.
    clickRow(3);
    EXPECT_TRUE(ed->rbUseMSWordConversion->isChecked());
    EXPECT_FALSE(ed->cbFileTypeOriginal->isVisibleTo(ed));
    EXPECT_EQ(ed->cbFileTypeTarget->currentData().toInt(), 6);
    EXPECT_GE(ed->cbFileTypeTarget->findData(8), 0);
    EXPECT_EQ(panels.panelText(8), "Convert FROM Slide 1 TO Slide 2. Create file for each slide.");
    clickRow(4);
    EXPECT_TRUE(ed->rbUseAmbrithConversion->isChecked());
    EXPECT_EQ(ed->cbFileTypeTarget->findData(8), -1);
    EXPECT_EQ(ed->cbFileTypeTarget->currentData().toInt(), 18);

    clickRow(5);
    EXPECT_TRUE(ed->rbActionToDo[1]->isChecked());
    EXPECT_TRUE(ed->frameCommandLine->isVisibleTo(ed));
    EXPECT_EQ(ed->cbCommandLine->currentText(), "/bin/echo");
    EXPECT_EQ(ed->cbCommandLineThreadPriority->currentText(), "High Priority");
    EXPECT_EQ(ed->cbCommandLineWindowState->currentText(), "Minimized");
    EXPECT_EQ(ed->txtCommandLineWaitTimeInSeconds->text(), "30");
    clickRow(6);
    EXPECT_EQ(ed->cbFindString->currentText(), "Rex");
    EXPECT_EQ(ed->cbReplacementString->currentText(), "Dog");
    EXPECT_TRUE(ed->cbCaseSensitive->isChecked());
    EXPECT_TRUE(ed->cbDoSubfoldersSpecialized->isChecked());
    EXPECT_TRUE(ed->frameSearchAndReplace->isVisibleTo(ed));

    // Malformed rows load what parses and keep the rest.
    clickRow(7);
    EXPECT_EQ(grid().row(), 7);
    EXPECT_EQ(ed->cbOriginalFile->currentText(), path("in/c.pptx"));
    EXPECT_EQ(w->session().settings.lFromSlide, 1);
    EXPECT_EQ(w->session().settings.lToSlide, 9);
    EXPECT_EQ(ed->cbFileTypeTarget->currentData().toInt(), 18);
    clickRow(8);
    EXPECT_EQ(ed->cbOriginalFileSpecialized->currentText(), path("in/d.txt"));
    EXPECT_EQ(ed->cbFindString->currentText(), "Rex");
    clickRow(9);
    EXPECT_EQ(ed->cbCommandLine->currentText(), "/bin/true");
    EXPECT_EQ(ed->cbCommandLineThreadPriority->currentData().toInt(), 256);
    EXPECT_EQ(ed->cbCommandLineWindowState->currentText(), "Minimized");
    EXPECT_EQ(ed->txtCommandLineWaitTimeInSeconds->text(), "30");
    EXPECT_FALSE(w->session().bCurrentActionItemDirty) << "loading never marks the task dirty";
}

TEST_F(EditorExchangeTest, TheUsersWordTypesAreReadAgainWhenTheSettingsFileChanged)
{
    const QString job = writeJob({
        {"MC,1,2", "1", "C", path("in/a.pptx"), "3", "", path("out/a.rtf"), "6", ""},
        {"MC,1,2", "2", "C", path("in/b.pptx"), "3", "", path("out/b.rtf"), "6", ""},
    });
    ASSERT_TRUE(w->controller()->openJob(job));
    clickRow(1);
    EXPECT_EQ(ed->cbFileTypeTarget->findData(12), -1);

    // The user adds a type while the window is open: the next Word task offers it.
    ASSERT_TRUE(ProfileIni::writeString(G_IniFilePath, "WordConvertType", "Count", "1"));
    ASSERT_TRUE(ProfileIni::writeString(G_IniFilePath, "WordConvertType1", "Constant", "12"));
    ASSERT_TRUE(ProfileIni::writeString(G_IniFilePath, "WordConvertType1", "sDescription", "WordPerfect 5.1"));
    clickRow(2);
    const int added = ed->cbFileTypeTarget->findData(12);
    ASSERT_GE(added, 0);
    EXPECT_EQ(ed->cbFileTypeTarget->itemText(added), "[12] WordPerfect 5.1");
    EXPECT_EQ(ed->cbFileTypeTarget->currentData().toInt(), 6); // the row's own type stays chosen

    // Removed again within the file system's time resolution: same size, same time.
    const QDateTime written = QFileInfo(G_IniFilePath).lastModified();
    ASSERT_TRUE(ProfileIni::writeString(G_IniFilePath, "WordConvertType", "Count", "0"));
    QFile ini(G_IniFilePath);
    ASSERT_TRUE(ini.open(QIODevice::ReadWrite) && ini.setFileTime(written, QFileDevice::FileModificationTime));
    ini.close();
    clickRow(1);
    EXPECT_EQ(ed->cbFileTypeTarget->findData(12), -1);
}

TEST_F(EditorExchangeTest, UpdateWritesOptionCodesOnlyIntoTaskRows)
{
    ASSERT_TRUE(qvtest::writeFile(path("in/a.pptx"), "x"));
    ASSERT_TRUE(qvtest::writeFile(path("in/a.txt"), "a"));
    QDir().mkpath(path("out"));
    const QString job = writeJob({
        {",3,7", "1", "C", path("in/a.pptx"), "3", "ppt", path("out/a.pdf"), "32", "pdf"},
        {" D", "2", "S50", path("in/a.txt"), "1", "txt", path("out/all.txt"), "1", "txt"},
        {"          Find{{a}}Replace{{b}}", "3", "S56", path("in/a.txt"), "1", "txt", path("out/b.txt"), "1", "txt"},
        {"T32 S1 W-1", "4", "S60", "/bin/true", "0", "", "", "0", ""},
    });
    ASSERT_TRUE(w->controller()->openJob(job));

    clickRow(1);
    press(ed->rbUsePDFConversion);
    click(w->cmdUpdate);
    EXPECT_EQ(row(1).mid(0, 9), (QStringList{"P,3,7", "1", "C", path("in/a.pptx"), "3", "PDF", path("out/a.pdf"), "32", ""}));

    clickRow(2);
    EXPECT_TRUE(ed->cbCaseSensitive->isChecked());
    type(ed->cbTargetFileSpecialized, path("out/joined.txt"));
    click(w->cmdUpdate);
    EXPECT_EQ(row(2)[0], " D") << "the case box is written for every process";
    EXPECT_EQ(row(2)[6], path("out/joined.txt"));

    clickRow(3);
    type(ed->cbReplacementString, "c");
    click(w->cmdUpdate);
    EXPECT_EQ(row(3)[0], "          Find{{a}}Replace{{c}}");

    clickRow(4);
    pick(ed->cbCommandLineThreadPriority, 128);
    pick(ed->cbCommandLineWindowState, 6);
    ed->txtCommandLineWaitTimeInSeconds->selectAll();
    QTest::keyClicks(ed->txtCommandLineWaitTimeInSeconds, "30");
    click(w->cmdUpdate);
    EXPECT_EQ(row(4).mid(0, 9), (QStringList{"T128 S6 W30", "4", "S60", "/bin/true", "0", "", "", "0", ""}));

    // The "*" row and the header take nothing; the job counts as changed.
    const QList<QStringList> before = {row(0), row(5)};
    for (int r : {5, 0}) {
        w->session().bAskToSaveQVJFileBeforeExit = false;
        grid().setRow(r);
        w->exchange()->ConversionJobUpdate();
        EXPECT_TRUE(w->session().bAskToSaveQVJFileBeforeExit);
    }
    EXPECT_EQ((QList<QStringList>{row(0), row(5)}), before);
    EXPECT_EQ(grid().rows(), 6);
}

TEST_F(EditorExchangeTest, LeaveRowCancelKeepsRowAndEditsAndTheAdvancedOptionsUpdateAtOnce)
{
    ASSERT_TRUE(qvtest::writeFile(path("in/a.pptx"), "x"));
    ASSERT_TRUE(qvtest::writeFile(path("in/b.pptx"), "x"));
    QDir().mkpath(path("out"));
    const QString job = writeJob({
        {"A,1,2", "1", "C", path("in/a.pptx"), "3", "ppt", path("out/a.pdf"), "32", "pdf"},
        {"A,1,2", "2", "C", path("in/b.pptx"), "3", "ppt", path("out/b.pdf"), "32", "pdf"},
        {"", "3", "S55", path("in/a.txt"), "1", "txt", path("out/a.txt"), "1", "txt"},
    });
    ASSERT_TRUE(w->controller()->openJob(job));
    clickRow(1);
    type(ed->cbTargetFile, path("out/edited.pdf"));

    answers.answers = {Prompter::Cancel};
    clickRow(2);
    EXPECT_EQ(answers.boxes.size(), 1);
    EXPECT_EQ(grid().row(), 1);
    EXPECT_EQ(w->fgToDo->currentIndex().row(), 0);
    EXPECT_EQ(ed->cbTargetFile->currentText(), path("out/edited.pdf"));
    EXPECT_TRUE(w->session().bCurrentActionItemDirty);

    answers.answers = {Prompter::No};
    clickRow(2);
    EXPECT_EQ(grid().row(), 2);
    EXPECT_EQ(ed->cbTargetFile->currentText(), path("out/b.pdf"));
    EXPECT_EQ(row(1)[6], path("out/a.pdf"));

    // The dialog's Apply updates the selected task; Cancel and the special panel do nothing.
    QList<bool> asked;
    bool apply = false;
    w->showAdvancedOptionsDialog = [&](bool single) {
        asked << single;
        w->session().settings.bConvertAllSlides = false;
        return apply;
    };
    QAbstractItemView *v = w->fgToDo;
    const QPoint at = v->visualRect(v->model()->index(1, 3)).center();
    QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(asked.size(), 1);
    EXPECT_EQ(row(2)[0], "A,1,2");
    apply = true;
    click(ed->cmdAdvancedPPTOptions);
    EXPECT_EQ(row(2)[0], ",1,2");
    clickRow(3);
    QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(v->model()->index(2, 3)).center());
    EXPECT_EQ(asked.size(), 2);
}

TEST_F(EditorExchangeTest, FieldHandlersFollowTheUserAndSpecialSaveBoxLeavesOtherRulesStanding)
{
    // A typed wildcard offers the folder boxes; deleting it hides them and clears only the save box.
    type(ed->cbOriginalFile, "/data/*.ppt");
    EXPECT_TRUE(ed->cbSaveToOriginalFolder->isVisibleTo(ed));
    EXPECT_FALSE(ed->cmdSelectTargetFile->isVisibleTo(ed));
    press(ed->cbSaveToOriginalFolder);
    press(ed->cbDoSubfolders);
    EXPECT_FALSE(ed->frameTargetFile->isVisibleTo(ed));
    type(ed->cbOriginalFile, "/data/a.ppt");
    EXPECT_FALSE(ed->cbSaveToOriginalFolder->isChecked());
    EXPECT_TRUE(ed->cbDoSubfolders->isChecked());
    EXPECT_FALSE(ed->cbDoSubfolders->isVisibleTo(ed));
    EXPECT_TRUE(ed->cmdSelectTargetFile->isVisibleTo(ed));

    // Special panel: appending hides the folder target; another process with a wildcard shows it.
    press(ed->rbActionToDo[1]);
    EXPECT_EQ(w->session().settings.sActionToDo, "S");
    pick(ed->cbSpecialProcesses, 50);
    type(ed->cbOriginalFileSpecialized, "/data/*.txt");
    EXPECT_FALSE(ed->cmdSelectTargetFolderSpecialized->isVisibleTo(ed));
    EXPECT_FALSE(ed->cbSaveToOriginalFolderSpecialized->isVisibleTo(ed));
    pick(ed->cbSpecialProcesses, 55);
    EXPECT_TRUE(ed->cmdSelectTargetFolderSpecialized->isVisibleTo(ed));
    EXPECT_TRUE(ed->cbSaveToOriginalFolderSpecialized->isVisibleTo(ed));
    press(ed->cbSaveToOriginalFolderSpecialized);
    EXPECT_FALSE(ed->cbTargetFileSpecialized->isVisibleTo(ed));
    press(ed->cbSaveToOriginalFolderSpecialized);
    EXPECT_TRUE(ed->cbTargetFileSpecialized->isVisibleTo(ed));
    EXPECT_FALSE(ed->cmdSelectTargetFileSpecialized->isVisibleTo(ed)) << "a folder pattern has no target-file picker";

    // "Not listed" goes back to the first process.
    pick(ed->cbSpecialProcesses, -1, false);
    EXPECT_EQ(ed->selectedSpecialProcessId(), 50);

    // Code that fills the editor marks nothing dirty.
    w->session().bCurrentActionItemDirty = false;
    ed->cbOriginalFile->setEditText(QStringLiteral("\"/x.ppt\""));
    ed->cbDoSubfolders->setChecked(false);
    EXPECT_FALSE(w->session().bCurrentActionItemDirty);
}

TEST(EditorExchangeRules, RemovingRenumbersAndKeepsTheNewTaskRowLast)
{
    FlexGrid g(10);
    InitToDoGrid(g);
    for (int i = 0; i < 4; ++i)
        g.addItem(QStringList{"", QString::number(i + 1), "C", QStringLiteral("t%1").arg(i + 1)}, g.rows() - 1);
    RemoveAllFilesWithJobNumber(g, 2);
    ASSERT_EQ(g.rows(), 5);
    for (int r = 1; r <= 3; ++r)
        EXPECT_EQ(g.textMatrix(r, 1), QString::number(r));
    EXPECT_EQ(g.textMatrix(2, 3), "t3");
    EXPECT_EQ(g.textMatrix(4, 1), "*");
}

TEST_F(EditorExchangeTest, AdvancedOptionsButtonEditsTheWindowsSettingsThroughTheRealDialog)
{
    int shown = 0;
    w->optionsDialogRunner = [&](QDialog &d) {
        ++shown;
        d.show();
        if (auto *adv = qobject_cast<frmAdvancedOptions *>(&d)) {
            adv->cbIncludeNotes->click(); // on a tab page not shown first
            QTest::mouseClick(adv->cmdApply, Qt::LeftButton);
        }
        if (d.isVisible())
            d.reject();
        return d.result();
    };
    ASSERT_FALSE(w->session().settings.bIncludeNotesPage);
    click(ed->cmdAdvancedPPTOptions);
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(w->session().settings.bIncludeNotesPage);
}

TEST_F(EditorExchangeTest, AnAppliedSlideChoiceOffersUpdateWhileTheOptionsDialogIsStillOpen)
{
    ASSERT_TRUE(qvtest::writeFile(path("in/a.pptx"), "x"));
    ASSERT_TRUE(w->controller()->openJob(
        writeJob({{"A,1,2", "1", "C", path("in/a.pptx"), "3", "ppt", path("out/a.pdf"), "32", "pdf"}})));
    clickRow(1);
    ASSERT_FALSE(w->cmdUpdate->isEnabled());
    bool offered = false;
    w->optionsDialogRunner = [&](QDialog &d) {
        d.show();
        if (auto *adv = qobject_cast<frmAdvancedOptions *>(&d)) {
            adv->rbCreateFileForEachSlide[1]->click();
            QTest::mouseClick(adv->cmdApply, Qt::LeftButton);
            offered = w->cmdUpdate->isEnabled() && w->session().bCurrentActionItemDirty;
        }
        if (d.isVisible())
            d.reject();
        return d.result();
    };
    click(ed->cmdAdvancedPPTOptions);
    EXPECT_TRUE(offered);
}

TEST(EditorExchangeRules, AnEmptyWaitBoxWaitsWithoutLimit)
{
    EditorFields f;
    f.bConvert = false;
    f.lSpecialProcess = spLaunchProgram;
    f.sCommandLine = QStringLiteral("/bin/true");
    f.sCommandLineWaitTime = QString();
    EXPECT_EQ(OptionsFromEditorFields(f, ConversionSettings()).lCommandLineWaitTime, -1);
    EXPECT_EQ(UpdateRowCells(f, ConversionSettings()).value(0), QStringLiteral("T32 S1 W-1"));
    f.sCommandLineWaitTime = QStringLiteral("30");
    EXPECT_EQ(UpdateRowCells(f, ConversionSettings()).value(0), QStringLiteral("T32 S1 W30"));
}

TEST_F(EditorExchangeTest, TheEditorIsReadOnlyDuringARunAndShowsTheRowItLeftWhenItEndsPausesOrWasScheduled)
{
    QList<QStringList> tasks;
    for (const char *n : {"a", "b", "c"}) {
        ASSERT_TRUE(qvtest::writeFile(path(QStringLiteral("in/%1.txt").arg(n)), "x\r\n\r\ny\r\n"));
        tasks << QStringList{"", "", "S55", path(QStringLiteral("in/%1.txt").arg(n)), "1", "txt",
                             path(QStringLiteral("out/%1.txt").arg(n)), "1", "txt"};
    }
    QDir().mkpath(path("out"));
    const QString job = writeJob(tasks);
    ASSERT_TRUE(w->controller()->openJob(job));
    clickRow(1);

    // While task 2 runs the user types into the editor and presses Pause.
    bool editorTookInput = true;
    panels.onText = [&](int panel, const QString &text) {
        if (panel != 3 || text != QLatin1String("2"))
            return;
        type(ed->cbTargetFileSpecialized, path("out/typed.txt"));
        editorTookInput = ed->cbTargetFileSpecialized->isEnabled() ||
                          ed->cbTargetFileSpecialized->currentText() == path("out/typed.txt");
        click(w->cmdPause);
    };
    w->mnuBeginConversionJob->trigger();
    panels.onText = nullptr;
    EXPECT_FALSE(editorTookInput);
    ASSERT_EQ(grid().row(), 2);
    EXPECT_EQ(row(3)[9], "");
    EXPECT_EQ(ed->cbOriginalFileSpecialized->currentText(), path("in/b.txt"));
    EXPECT_EQ(ed->cbTargetFileSpecialized->currentText(), path("out/b.txt"));
    EXPECT_FALSE(w->session().bCurrentActionItemDirty);
    EXPECT_TRUE(ed->isEnabled());

    // Run to the end: the editor shows task 3, and its Update goes to task 3 alone.
    w->mnuBeginConversionJob->trigger();
    EXPECT_EQ(row(3)[9], "+");
    EXPECT_EQ(ed->cbOriginalFileSpecialized->currentText(), path("in/c.txt"));
    type(ed->cbTargetFileSpecialized, path("out/c2.txt"));
    click(w->cmdUpdate);
    EXPECT_EQ(row(3)[6], path("out/c2.txt"));
    EXPECT_EQ(row(2)[6], path("out/b.txt"));

    // A scheduled run opens its job and runs it: the editor ends on the last task of that job.
    clickRow(1);
    w->schedulerHooks()->frmSched_RunTheJobEvent(job);
    EXPECT_EQ(row(3)[9], "+");
    EXPECT_EQ(grid().row(), 3);
    EXPECT_EQ(ed->cbTargetFileSpecialized->currentText(), path("out/c.txt"));
}

TEST_F(EditorExchangeTest, UpdateOfAPausedFolderTaskRunsTheChangedTaskFromItsFirstFile)
{
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(qvtest::writeFile(path(QStringLiteral("in1/t%1.txt").arg(i)), "x\r\n\r\ny\r\n"));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(qvtest::writeFile(path(QStringLiteral("in2/u%1.txt").arg(i)), "x\r\n\r\ny\r\n"));
    QDir().mkpath(path("out"));
    ASSERT_TRUE(w->controller()->openJob(writeJob({
        {"", "1", "S55", path("in1/*.txt"), "1", "txt", path("out/*.txt"), "1", "txt"},
        {"", "2", "S55", path("in1/t0.txt"), "1", "txt", path("out/once.txt"), "1", "txt"},
    })));
    panels.onText = [&](int panel, const QString &text) {
        if (panel == 8 && text == path("in1/t2.txt"))
            click(w->cmdPause);
    };
    w->mnuBeginConversionJob->trigger();
    panels.onText = nullptr;
    ASSERT_EQ(row(1)[9], "");
    ASSERT_FALSE(QFile::exists(path("out/t3.txt")));

    clickRow(1);
    type(ed->cbOriginalFileSpecialized, path("in2/*.txt"));
    click(w->cmdUpdate);
    ASSERT_EQ(row(1)[3], path("in2/*.txt"));
    w->mnuBeginConversionJob->trigger();
    EXPECT_TRUE(QFile::exists(path("out/u0.txt"))) << "the changed task starts at its first file";
    EXPECT_TRUE(QFile::exists(path("out/u2.txt")));
    EXPECT_EQ(row(1)[9], "+");
}

TEST_F(EditorExchangeTest, OpenNewAndTheTaskTabLoadTheEditorFromTheCurrentRowAndConvertAsksBeforeItRuns)
{
    for (const char *n : {"a", "b"})
        ASSERT_TRUE(qvtest::writeFile(path(QStringLiteral("in/%1.txt").arg(n)), "x\r\n"));
    QDir().mkpath(path("out"));
    const QStringList first{"", "1", "S55", path("in/a.txt"), "1", "txt", path("out/a.txt"), "1", "txt"};
    const QStringList second{"", "2", "S55", path("in/b.txt"), "1", "txt", path("out/b.txt"), "1", "txt"};
    ASSERT_TRUE(w->controller()->openJob(writeJob({first, second})));
    clickRow(1);
    type(ed->cbTargetFileSpecialized, path("out/stale.txt"));
    EXPECT_TRUE(w->cmdUpdate->isEnabled());

    // Another job opened: its task 1 is in the editor, unchanged, and Convert asks nothing.
    ASSERT_TRUE(w->controller()->openJob(writeJob({second, first})));
    EXPECT_FALSE(w->session().bCurrentActionItemDirty);
    EXPECT_FALSE(w->cmdUpdate->isEnabled()); // the commands follow the dropped edits
    EXPECT_EQ(ed->cbTargetFileSpecialized->currentText(), path("out/b.txt"));
    w->mnuBeginConversionJob->trigger();
    EXPECT_TRUE(answers.boxes.isEmpty()) << answers.boxes.join(u'|').toStdString();
    EXPECT_EQ(row(1)[6], path("out/b.txt"));

    // A changed task: while Convert asks about it, the toolbar still offers what it did before.
    type(ed->cbTargetFileSpecialized, path("out/changed.txt"));
    bool convertOffered = false, pauseOffered = true;
    answers.onAsk = [&] {
        convertOffered = w->tbButtons.value("keyConvert")->isEnabled();
        pauseOffered = w->tbButtons.value("keyPause")->isEnabled();
    };
    answers.answers = {Prompter::Cancel};
    w->mnuBeginConversionJob->trigger();
    answers.onAsk = nullptr;
    ASSERT_EQ(answers.boxes.size(), 1);
    EXPECT_TRUE(convertOffered);
    EXPECT_FALSE(pauseOffered);

    // New drops the changes too.
    w->mnuNewConversionJob->trigger();
    ASSERT_EQ(grid().rows(), 2);
    EXPECT_FALSE(w->session().bCurrentActionItemDirty);

    // Back from the log, the task tab shows the current row again.
    ASSERT_TRUE(w->controller()->openJob(writeJob({first, second})));
    ed->cbOriginalFileSpecialized->setEditText(path("in/elsewhere.txt"));
    QTabBar *bar = w->ts->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_EQ(ed->cbOriginalFileSpecialized->currentText(), path("in/elsewhere.txt"));
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    EXPECT_EQ(ed->cbOriginalFileSpecialized->currentText(), path("in/a.txt"));
}

TEST_F(EditorExchangeTest, ScreenReaderActionsDropDownsAndHiddenBoxesCountAsTheUserSeesThem)
{
    JobSession &s = w->session();
    // An action of the accessibility bus on a button is a click: panel, method and dirty mark follow.
    auto act = [](QWidget *target, const QString &action) {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(target);
        ASSERT_TRUE(iface && iface->actionInterface()) << target->objectName().toStdString();
        iface->actionInterface()->doAction(action);
    };
    act(ed->rbActionToDo[1], QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(ed->rbActionToDo[1]->isChecked());
    EXPECT_EQ(s.settings.sActionToDo, "S");
    EXPECT_TRUE(ed->frameSpecializedAction->isVisibleTo(ed));
    EXPECT_TRUE(s.bCurrentActionItemDirty);
    act(ed->rbActionToDo[0], QAccessibleActionInterface::pressAction());
    EXPECT_EQ(s.settings.sActionToDo, "C");
    EXPECT_TRUE(ed->frameSelectAction->isVisibleTo(ed));
    act(ed->rbUsePDFConversion, QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(s.settings.lConversionMethod, 3);
    s.bCurrentActionItemDirty = false;
    act(ed->cbDoSubfolders, QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(ed->cbDoSubfolders->isChecked());
    EXPECT_TRUE(s.bCurrentActionItemDirty);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(ed->cbDoSubfolders)->role(), QAccessible::CheckBox);
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(ed->cbDoSubfolders)->state().checked);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(ed->rbActionToDo[1])->text(QAccessible::Name), "Special Process");

    // Dropping a path list down counts as a change of the task.
    s.bCurrentActionItemDirty = false;
    QTest::keyClick(ed->cbOriginalFile, Qt::Key_Down, Qt::AltModifier);
    ed->cbOriginalFile->hidePopup();
    EXPECT_TRUE(s.bCurrentActionItemDirty);

    // Appending one file: the sub-folders box, checked while the original was a folder, is hidden
    // and counts for nothing in the added task.
    ASSERT_TRUE(qvtest::writeFile(path("in/a.txt"), "x\r\n"));
    QDir().mkpath(path("out"));
    press(ed->rbActionToDo[1]);
    pick(ed->cbSpecialProcesses, 50);
    type(ed->cbOriginalFileSpecialized, path("in/*.txt"));
    press(ed->cbDoSubfoldersSpecialized);
    type(ed->cbOriginalFileSpecialized, path("in/a.txt"));
    ASSERT_FALSE(ed->cbDoSubfoldersSpecialized->isVisibleTo(ed));
    ASSERT_TRUE(ed->cbDoSubfoldersSpecialized->isChecked());
    type(ed->cbTargetFileSpecialized, path("out/all.txt"));
    click(w->cmdAdd);
    ASSERT_EQ(grid().rows(), 3);
    EXPECT_FALSE(row(1)[0].contains(u'R')) << row(1)[0].toStdString();

    s.bCurrentActionItemDirty = false;
    QTest::keyClick(ed->cbTargetFileSpecialized, Qt::Key_Down, Qt::AltModifier);
    ed->cbTargetFileSpecialized->hidePopup();
    EXPECT_TRUE(s.bCurrentActionItemDirty);
}
