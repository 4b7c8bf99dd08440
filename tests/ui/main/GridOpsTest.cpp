// The task grid's moves and their refusals, the editor's pickers and launchers, the save
// question, the recent lists and Ctrl+Tab, on the real main window (offscreen) with the
// prompter, the pickers, the desktop opener and the program starter injected.
#include "../../language/TranslatorTestSupport.h"
#include "WindowTestSupport.h"

#include "jobs/JobSession.h"
#include "jobs/StatusPanels.h"
#include "platform/FilePicker.h"
#include "platform/ShellOpener.h"
#include "ui/main/editor/EditorPickers.h"
#include "ui/main/JobGridView.h"
#include "ui/main/editor/PickerFilters.h"
#include "ui/main/SessionController.h"
#include "ui/main/editor/TaskEditor.h"
#include "ui/main/frmMain.h"
#include "ui/scheduler/frmScheduler.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

namespace {

// The window's dialogs and the desktop, scripted: file and folder answers (with the filter entry
// the user takes, 0 = as preselected), message-box answers, and what was opened.
class Fakes : public FilePicker, public Prompter, public ShellOpener
{
public:
    struct Call { QString title, filter; int index; QString start; };
    QString pickFile(const QString &title, const QString &filter, int &index, const QString &initDir, bool) override
    {
        calls.append({title, filter, index, initDir});
        const auto a = files.isEmpty() ? qMakePair(QString(), 0) : files.takeFirst();
        if (a.second > 0)
            index = a.second;
        return a.first;
    }
    QString browseForFolder(const QString &title, const QString &start) override
    {
        calls.append({title, QString(), 0, start});
        return folders.isEmpty() ? QString() : folders.takeFirst();
    }
    int msgBox(const QString &text, int, const QString &title) override
    {
        boxes.append(text + u'|' + title);
        return answers.isEmpty() ? Ok : answers.takeFirst();
    }
    bool open(const QString &target) override
    {
        opened << target;
        return true;
    }
    QList<Call> calls;
    QList<QPair<QString, int>> files;
    QStringList folders, boxes, opened;
    QList<int> answers;
};

class GridOpsTest : public TranslatorFixture
{
protected:
    void TearDown() override
    {
        w.reset();
        gbCommandLineMode = false;
        gbSuppressEvents = false;
        TranslatorFixture::TearDown();
    }
    frmMain &open()
    {
        w = std::make_unique<frmMain>();
        w->setPrompter(&fakes);
        w->setPicker(&fakes);
        w->setStatusPanels(&panels);
        w->setShellOpener(&fakes);
        w->pickers()->startProgram = [this](const QString &p, const QString &a) {
            started << p + u'|' + a;
            return true;
        };
        w->Form_Load();
        w->resize(1200, 800);
        w->show();
        return *w;
    }
    QString path(const QString &name) const { return tmp.path() + u'/' + name; }
    // A job of S55 tasks, one per name, on text files that exist.
    QString writeJob(const QString &file, const QStringList &names)
    {
        QByteArray out;
        for (int i = 0; i < names.size(); ++i) {
            const QString in = path("in/" + names[i] + ".txt");
            EXPECT_TRUE(qvtest::writeFile(in, "a\r\n\r\nb\r\n"));
            out += QStringList{"", QString::number(i + 1), "S55", in, "1", "TXT", path("out/" + names[i] + ".txt"),
                               "1", "TXT", ""}.join(u'\t').toUtf8() + "\r\n";
        }
        out += "\t*\t\t\t\t\t\t\t\t\r\n";
        QDir().mkpath(path("out"));
        EXPECT_TRUE(qvtest::writeFile(path(file), out));
        return path(file);
    }
    QStringList order() const
    {
        QStringList names;
        const FlexGrid &g = w->session().fgToDo;
        for (int r = 1; r <= g.rows() - 2; ++r)
            names << QFileInfo(g.textMatrix(r, 3)).baseName() + g.textMatrix(r, 1);
        return names;
    }
    void key(Qt::Key k, Qt::KeyboardModifiers mods) { QTest::keyClick(w->fgToDo, k, mods); }
    void setRow(int r) { w->fgToDo->setCurrentIndex(w->fgToDo->model()->index(r - 1, 1)); }

    Fakes fakes;
    WatchedPanels panels;
    QStringList started;
    std::unique_ptr<frmMain> w;
};

} // namespace

TEST_F(GridOpsTest, MovesByKeysAndPopUpAndTheirRefusals)
{
    frmMain &m = open();
    ASSERT_TRUE(m.controller()->openJob(writeJob("job.qvj", {"a", "b", "c"})));
    w->fgToDo->setFocus();
    key(Qt::Key_U, Qt::ControlModifier); // row 1: target 0 refused
    key(Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(order(), QStringList({"a1", "b2", "c3"}));
    key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(order(), QStringList({"b1", "a2", "c3"}));
    EXPECT_EQ(m.session().fgToDo.row(), 2);
    EXPECT_TRUE(m.session().bAskToSaveQVJFileBeforeExit);
    setRow(3);
    key(Qt::Key_D, Qt::ControlModifier); // the last task never goes into the "*" row
    setRow(4);
    key(Qt::Key_U, Qt::ControlModifier); // the "*" row never moves
    m.mnuPopupMoveFirst->trigger();
    EXPECT_EQ(order(), QStringList({"b1", "a2", "c3"}));
    setRow(1);
    m.mnuMoveLast->trigger();
    EXPECT_EQ(order(), QStringList({"a1", "c2", "b3"}));

    // A right-button press opens the pop-up on the row under the mouse; a left press does not.
    const QPoint row2 = m.fgToDo->visualRect(m.fgToDo->model()->index(1, 3)).center();
    QTest::mousePress(m.fgToDo->viewport(), Qt::LeftButton, {}, row2);
    EXPECT_FALSE(m.mnuPopup->isVisible());
    setRow(1);
    QTest::mousePress(m.fgToDo->viewport(), Qt::RightButton, {}, row2);
    EXPECT_TRUE(m.mnuPopup->isVisible());
    EXPECT_EQ(m.session().fgToDo.row(), 2);
    m.mnuPopup->hide();
    // The keyboard opens it at the current row: the Menu key and Shift+F10.
    for (const QKeyCombination k : {QKeyCombination(Qt::Key_Menu), Qt::ShiftModifier | Qt::Key_F10}) {
        setRow(3);
        key(k.key(), k.keyboardModifiers());
        EXPECT_TRUE(m.mnuPopup->isVisible()) << k.key();
        const QRect row = m.fgToDo->visualRect(m.fgToDo->currentIndex());
        EXPECT_EQ(m.mnuPopup->pos(), m.fgToDo->viewport()->mapToGlobal(row.center()));
        EXPECT_EQ(m.session().fgToDo.row(), 3);
        m.mnuPopup->hide();
    }

    // Delete removes through the pop-up's entry, which a "*" row leaves disabled.
    int removes = 0;
    m.controller()->removeActionItemHook = [&removes] { ++removes; };
    key(Qt::Key_Delete, Qt::NoModifier);
    setRow(4);
    key(Qt::Key_Delete, Qt::NoModifier);
    EXPECT_EQ(removes, 1);

    // A counting schedule refuses every move, whatever its entry point.
    ASSERT_NE(m.frmSched, nullptr);
    m.frmSched->Timer1->start();
    ASSERT_TRUE(m.bSchedularEnabled());
    setRow(2);
    key(Qt::Key_D, Qt::ControlModifier);
    m.mnuPopupMoveFirst->trigger();
    EXPECT_EQ(order(), QStringList({"a1", "c2", "b3"}));

    // So does a run: the moves tried while task 1 runs change nothing, and every task runs once.
    m.frmSched->Timer1->stop();
    m.UpdateMenuToolbar();
    int tries = 0;
    panels.onText = [&](int panel, const QString &text) {
        if (panel == 3 && text == QLatin1String("1") && !tries++) {
            setRow(1);
            key(Qt::Key_D, Qt::ControlModifier);
            m.mnuPopupMoveLast->trigger();
        }
    };
    m.mnuBeginConversionJob->trigger();
    EXPECT_EQ(tries, 1);
    EXPECT_EQ(order(), QStringList({"a1", "c2", "b3"}));
    for (int r = 1; r <= 3; ++r)
        EXPECT_EQ(m.session().fgToDo.textMatrix(r, 9), "+") << r;
}

TEST_F(GridOpsTest, ThePopUpIsReadBesideTheGridAndChosenByKeys)
{
    frmMain &m = open();
    ASSERT_TRUE(m.controller()->openJob(writeJob("job.qvj", {"a", "b", "c"})));
    w->fgToDo->setFocus();
    key(Qt::Key_Menu, Qt::NoModifier);
    ASSERT_TRUE(m.mnuPopup->isVisible());

    // A screen reader finds the open pop-up as the last child of the grid's frame, named, with
    // its entries and the first one it can choose selected.
    QAccessibleInterface *menu = QAccessible::queryAccessibleInterface(m.mnuPopup);
    QAccessibleInterface *frame = QAccessible::queryAccessibleInterface(m.frameToDo);
    ASSERT_TRUE(menu && frame);
    EXPECT_EQ(menu->role(), QAccessible::PopupMenu);
    EXPECT_EQ(menu->text(QAccessible::Name), "Popup");
    ASSERT_EQ(menu->parent(), frame);
    EXPECT_EQ(frame->child(frame->indexOfChild(menu)), menu);
    EXPECT_EQ(frame->indexOfChild(menu), frame->childCount() - 1);
    QStringList entries;
    for (int i = 0; i < menu->childCount(); ++i)
        if (!menu->child(i)->state().invisible)
            entries << menu->child(i)->text(QAccessible::Name);
    EXPECT_EQ(entries, QStringList({"Move Down (Ctrl+D)", "Move To Last", "", "Delete"}));
    ASSERT_NE(menu->focusChild(), nullptr);
    EXPECT_EQ(menu->focusChild()->text(QAccessible::Name), "Move Down (Ctrl+D)");
    EXPECT_TRUE(menu->focusChild()->state().focused);

    // Down and Enter choose the next entry; the menu closes and leaves the frame.
    QTest::keyClick(m.mnuPopup, Qt::Key_Down);
    QTest::keyClick(m.mnuPopup, Qt::Key_Return);
    EXPECT_EQ(order(), QStringList({"b1", "c2", "a3"}));
    EXPECT_FALSE(m.mnuPopup->isVisible());
    EXPECT_EQ(frame->indexOfChild(menu), -1);
}

TEST_F(GridOpsTest, PickersShareOneFilterIndexAndWriteTheirFieldsAsTyped)
{
    frmMain &m = open();
    TaskEditor &ed = *m.editor;
    EXPECT_EQ(TargetFilterIndex(8), 20);

    ed.cbFileTypeTarget->setCurrentIndex(ed.cbFileTypeTarget->findData(32));
    fakes.files << qMakePair(path("out/x.pdf"), 0);
    QSignalSpy typed(ed.cbTargetFile->lineEdit(), &QLineEdit::textEdited);
    QTest::mouseClick(ed.cmdSelectTargetFile, Qt::LeftButton);
    ASSERT_EQ(fakes.calls.size(), 1);
    EXPECT_EQ(fakes.calls[0].index, 12);
    EXPECT_EQ(fakes.calls[0].title, "Select Target");
    EXPECT_EQ(ed.cbTargetFile->currentText(), path("out/x.pdf"));
    EXPECT_EQ(typed.count(), 1) << "a picked path counts as typed";

    // Process 55 on a Word original preselects Word; the user takes Text, and the program picker
    // opens on Text too. A cancelled picker changes neither the field nor the index.
    ed.cbSpecialProcesses->setCurrentIndex(ed.cbSpecialProcesses->findData(55));
    ed.cbFileTypeOriginalSpecialized->setCurrentIndex(ed.cbFileTypeOriginalSpecialized->findData(9));
    ed.cbOriginalFileSpecialized->setEditText(path("in/old.doc"));
    ed.cbCommandLine->setEditText(QStringLiteral("kept"));
    fakes.files << qMakePair(path("in/a.txt"), 3);
    m.pickers()->cmdSelectSourceFileSpecialized_Click();
    EXPECT_EQ(fakes.calls[1].index, 1);
    EXPECT_TRUE(fakes.calls[1].filter.startsWith("MS Word (*.doc)|"));
    EXPECT_EQ(ed.cbOriginalFileSpecialized->currentText(), path("in/a.txt"));
    m.pickers()->cmdCommandLineSelectApplication_Click();
    EXPECT_EQ(fakes.calls[2].index, 3);
    EXPECT_EQ(ed.cbCommandLine->currentText(), "kept");

    // Folder pickers: the folder and the type's pattern, one "/" also after the root; the
    // special ones and the Word method the folder alone; a wildcard start path has no "*".
    ed.cbOriginalFile->setEditText(path("in/*.ppt"));
    fakes.folders << path("in") << QStringLiteral("/") << path("out") << path("out");
    m.pickers()->cmdSelectSourceFolder_Click();
    EXPECT_EQ(fakes.calls[3].start, path("in/A.ppt"));
    const QString pattern = ed.cbOriginalFile->currentText().mid(path("in/").size());
    EXPECT_TRUE(pattern.startsWith("*.") && !pattern.contains(u'/')) << pattern.toStdString();
    m.pickers()->cmdSelectSourceFolder_Click();
    EXPECT_EQ(ed.cbOriginalFile->currentText(), u'/' + pattern);
    m.pickers()->cmdSelectTargetFolderSpecialized_Click();
    EXPECT_EQ(ed.cbTargetFileSpecialized->currentText(), path("out/"));
    m.session().settings.lConversionMethod = 1;
    m.pickers()->cmdSelectTargetFolder_Click();
    EXPECT_EQ(ed.cbTargetFile->currentText(), path("out/"));
}

TEST_F(GridOpsTest, LaunchersOpenWhatThePathNamesOrSayItIsMissing)
{
    frmMain &m = open();
    TaskEditor &ed = *m.editor;
    ASSERT_TRUE(qvtest::writeFile(path("in/deck.txt"), "x"));
    ed.cbOriginalFile->setEditText(path("in/*.ppt")); // a wildcard: its existing folder
    QTest::mouseClick(ed.cmdLaunchOriginal, Qt::LeftButton);
    ed.cbTargetFile->setEditText(path("in/deck.txt"));
    QTest::mouseClick(ed.cmdLaunchTarget, Qt::LeftButton);
    ed.cbOriginalFileSpecialized->setEditText(path("in"));
    m.pickers()->cmdLaunchOriginalSpecialized_Click();
    EXPECT_EQ(fakes.opened, QStringList({path("in/"), path("in/deck.txt"), path("in")}));
    EXPECT_TRUE(fakes.boxes.isEmpty());

    // On the special panel a missing file is reported even though its folder exists.
    ed.cbTargetFileSpecialized->setEditText(path("in/gone.txt"));
    m.pickers()->cmdLaunchTargetSpecialized_Click();
    ed.cbOriginalFile->setEditText(QStringLiteral("example.com"));
    m.pickers()->cmdLaunchOriginal_Click();
    EXPECT_EQ(fakes.boxes, QStringList({"File/Folder does not exist:\n\n" + path("in/gone.txt") + "|Error",
                                          "File/Folder does not exist:\n\nexample.com|Error"}));
    EXPECT_EQ(fakes.opened.size(), 3) << "a bare name is never taken for a web address";

    // The program starts with its arguments as typed; a document goes to its handler.
    ASSERT_TRUE(qvtest::writeFile(path("in/run.sh"), "#!/bin/sh\n"));
    QFile::setPermissions(path("in/run.sh"), QFile::permissions(path("in/run.sh")) | QFileDevice::ExeOwner);
    ed.cbCommandLine->setEditText(path("in/run.sh"));
    ed.cbCommandLineArguments->setEditText(QStringLiteral("\"%HOME%\" -x"));
    QTest::mouseClick(ed.cmdLaunchCommandLine, Qt::LeftButton);
    EXPECT_EQ(started, QStringList({path("in/run.sh") + "|\"%HOME%\" -x"}));
    ed.cbCommandLine->setEditText(path("in/deck.txt"));
    m.pickers()->cmdLaunchCommandLine_Click();
    EXPECT_EQ(fakes.opened.last(), path("in/deck.txt"));
    ed.cbCommandLine->setEditText(path("in/none"));
    m.pickers()->cmdLaunchCommandLine_Click();
    EXPECT_EQ(fakes.boxes.last(), "File does not exist:\n\n" + path("in/none") + "|Error");
    EXPECT_EQ(started.size(), 1);
}

TEST_F(GridOpsTest, SaveQuestionDecidesWhetherNewOpenAndExitGoOn)
{
    frmMain &m = open();
    JobSession &s = m.session();
    const QString other = writeJob("other.qvj", {"z"});
    auto load = [&](const QStringList &names, const QString &name) {
        ASSERT_TRUE(m.controller()->openJob(writeJob("job.qvj", names)));
        s.sCurrentJobFileName = name;
        s.bAskToSaveQVJFileBeforeExit = true;
    };
    load({"a"}, "*"); // a new job of one task goes without a question
    m.mnuNewConversionJob->trigger();
    EXPECT_EQ(s.fgToDo.rows(), 2);
    EXPECT_TRUE(fakes.boxes.isEmpty());

    load({"a", "b"}, "*"); // Yes, then the save dialog cancelled: New is abandoned
    fakes.answers << Prompter::Yes;
    m.mnuNewConversionJob->trigger();
    EXPECT_EQ(fakes.boxes, QStringList({"Save Conversion Job?|Save"}));
    EXPECT_EQ(s.fgToDo.rows(), 4);
    EXPECT_TRUE(s.bAskToSaveQVJFileBeforeExit);
    fakes.answers << Prompter::Yes; // and Exit stays open
    EXPECT_FALSE(m.requestClose());
    fakes.answers << Prompter::No;
    EXPECT_TRUE(m.requestClose());
    fakes.answers << Prompter::No;
    m.mnuNewConversionJob->trigger();
    EXPECT_EQ(s.fgToDo.rows(), 2);

    // A named job of one task is asked about; a Yes whose save fails keeps it, one that saves
    // lets Open go on.
    const QString unwritable = path("in/a.txt/job.qvj");
    load({"a"}, unwritable);
    fakes.boxes.clear();
    fakes.answers << Prompter::Yes << Prompter::Ok;
    EXPECT_FALSE(m.controller()->openJob(other));
    EXPECT_EQ(fakes.boxes.size(), 2) << "the question and the failed save";
    EXPECT_EQ(s.sCurrentJobFileName, unwritable);
    s.sCurrentJobFileName = path("saved.qvj");
    fakes.answers << Prompter::Yes;
    EXPECT_TRUE(m.controller()->openJob(other));
    EXPECT_TRUE(QFileInfo::exists(path("saved.qvj")));
    EXPECT_EQ(s.sCurrentJobFileName, other);
}

TEST_F(GridOpsTest, RecentListsKeepTheirOrderAndEmptyBoxesStayEmpty)
{
    frmMain &m = open();
    TaskEditor &ed = *m.editor;
    m.session().settings.sActionToDo = "C";
    ed.cbOriginalFile->setEditText(path("A.PPT"));
    ed.cbTargetFile->setEditText(path("t.pdf"));
    m.UpdateMRUs();
    ed.cbOriginalFile->setEditText(path("b.ppt"));
    m.UpdateMRUs();
    ed.cbOriginalFile->setEditText(path("a.ppt")); // the same path in other letter case
    m.UpdateMRUs();
    EXPECT_EQ(m.mruSource.clnMRU(), QStringList({path("b.ppt"), path("a.ppt")}));
    EXPECT_EQ(ed.cbOriginalFile->itemText(0), path("a.ppt"));

    m.session().settings.sActionToDo = "S";
    ed.cbCommandLine->setEditText(QStringLiteral("/bin/true"));
    ed.cbCommandLineArguments->setEditText(QStringLiteral("-v"));
    ed.cbFindString->setEditText(QStringLiteral("old"));
    m.UpdateMRUs();
    ed.cbCommandLineArguments->setEditText(QString());
    ed.cbFindString->setEditText(QString());
    m.UpdateMRUs();
    EXPECT_EQ(ed.cbCommandLineArguments->currentText(), "") << "an empty box must not take the newest entry";
    EXPECT_EQ(ed.cbFindString->currentText(), "");
    EXPECT_EQ(ed.cbCommandLineArguments->itemText(0), "-v");
    EXPECT_EQ(m.mruReplaceString.Count(), 0);

    // Recent jobs: entry 1 is the newest; a job file that has gone is reported and kept.
    const QString first = writeJob("first.qvj", {"a"});
    const QString second = writeJob("second.qvj", {"b", "c"});
    ASSERT_TRUE(m.controller()->openJob(first));
    ASSERT_TRUE(m.controller()->openJob(second));
    ASSERT_EQ(m.mnuMRU.elements.size(), 2);
    m.mnuMRU.elements[1]->trigger();
    EXPECT_EQ(m.session().sCurrentJobFileName, first);
    QFile::remove(second);
    m.mnuMRU_Click(2);
    EXPECT_EQ(fakes.boxes, QStringList({second + " does not exist.|"}));
    EXPECT_EQ(m.session().sCurrentJobFileName, first);
    EXPECT_EQ(m.mruFileOpen.Count(), 2);
}

TEST_F(GridOpsTest, CtrlTabCyclesTheTabsBothWays)
{
    frmMain &m = open();
    m.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m, 60000));
    m.fgToDo->setFocus();
    key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(m.ts->currentIndex(), 1);
    QTest::keyClick(m.fgLog, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(m.ts->currentIndex(), 0);
    QTest::keyClick(m.editor->cbOriginalFile, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(m.ts->currentIndex(), 1);
}

TEST_F(GridOpsTest, TheGridsFiltersAreGoneBeforeTheWindowTearsDown)
{
    frmMain &m = open();
    // Once the window's own part is gone, an event of the grid goes to the grid itself: the
    // filters, which read the window's members, must not see it.
    m.fgToDo->setContextMenuPolicy(Qt::CustomContextMenu);
    int reachedGrid = 0;
    QObject::connect(m.fgToDo, &QWidget::customContextMenuRequested, [&] { ++reachedGrid; });
    QWidget *viewport = m.fgToDo->viewport();
    QObject::connect(m.controller(), &QObject::destroyed, [&] {
        QContextMenuEvent press(QContextMenuEvent::Mouse, QPoint(5, 5), viewport->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(viewport, &press);
    });
    w.reset();
    EXPECT_EQ(reachedGrid, 1);
}
