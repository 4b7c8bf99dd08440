// The real window during a run: no road (double click or Enter on a task, the editor's buttons, the
// menus, the accessibility bus) opens a dialog that changes what the run reads; disabled choices stay.
#include "../../language/TranslatorTestSupport.h"
#include "WindowTestSupport.h"

#include "jobs/JobSession.h"
#include "ui/main/JobGridView.h"
#include "ui/main/SessionController.h"
#include "ui/main/editor/TaskEditor.h"
#include "ui/scheduler/SchedulerHooks.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

class RunLockedDialogsTest : public TranslatorFixture
{
protected:
    void SetUp() override
    {
        TranslatorFixture::SetUp();
        InitializeTranslator(false); // not quiet: the language menu would really ask the chooser
        w = openMainWindow(&prompter, &picker, &panels);
        w->showAdvancedOptionsDialog = [this](bool) {
            ++optionDialogs;
            return false;
        };
        w->schedulerHooks()->showModal = [this](frmScheduler &) { ++schedulerDialogs; };
        chooser.accept = false;
        chooser.calls = 0;
    }
    void TearDown() override
    {
        w.reset();
        gbSuppressEvents = false;
        TranslatorFixture::TearDown();
    }
    QString path(const QString &name) const { return tmp.path() + QLatin1Char('/') + name; }
    QPoint rowAt(int gridRow) const { return w->fgToDo->visualRect(w->fgToDo->model()->index(gridRow - 1, 3)).center(); }
    void doubleClickRow(int gridRow) { QTest::mouseDClick(w->fgToDo->viewport(), Qt::LeftButton, {}, rowAt(gridRow)); }
    void selectTask2()
    {
        QTest::mouseClick(w->fgToDo->viewport(), Qt::LeftButton, {}, rowAt(2));
        ASSERT_TRUE(w->editor->rbActionToDo[0]->isChecked());
    }
    static void toggleAccessibly(QAbstractButton *b)
    {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(b);
        ASSERT_TRUE(iface && iface->actionInterface());
        iface->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    }

    CountingPicker picker;
    WatchedPanels panels;
    std::unique_ptr<frmMain> w;
    int optionDialogs = 0;
    int schedulerDialogs = 0;
};

} // namespace

TEST_F(RunLockedDialogsTest, NoDialogOpensDuringARunAndDisabledChoicesStay)
{
    // Task 1 appends three text files; task 2 converts a deck. The editor shows task 2.
    ASSERT_TRUE(QDir().mkpath(path("out")));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(qvtest::writeFile(path(QStringLiteral("in/t%1.txt").arg(i)), "a\r\n"));
    ASSERT_TRUE(qvtest::writeFile(path("in/a.pptx"), "x"));
    const QStringList tasks[] = {{",1,2", "1", "S55", path("in/*.txt"), "1", "TXT", path("out/*.txt"), "1", "TXT", ""},
                                 {"A,1,2", "2", "C", path("in/a.pptx"), "3", "ppt", path("out/a.pdf"), "32", "pdf", ""}};
    QByteArray job;
    for (const QStringList &task : tasks)
        job += task.join(u'\t').toUtf8() + "\r\n";
    ASSERT_TRUE(qvtest::writeFile(path("job.qvj"), job + "\t*\t\t\t\t\t\t\t\t\r\n"));
    ASSERT_TRUE(w->controller()->openJob(path("job.qvj")));
    TaskEditor &ed = *w->editor;
    ASSERT_NO_FATAL_FAILURE(selectTask2());

    // At rest a double click on a conversion task opens the options.
    doubleClickRow(2);
    ASSERT_EQ(optionDialogs, 1);
    optionDialogs = 0;

    bool during = false;
    panels.onText = [&](int panel, const QString &text) {
        if (panel != 8 || !text.endsWith(QLatin1String("t0.txt")) || during)
            return;
        during = true;
        doubleClickRow(2);
        doubleClickRow(1);
        w->fgToDo->setFocus();
        QTest::keyClick(w->fgToDo, Qt::Key_Return);
        QTest::keyClick(w->fgToDo, Qt::Key_Enter);
        QTest::mouseClick(ed.cmdAdvancedPPTOptions, Qt::LeftButton);
        QTest::mouseClick(ed.cmdSelectSourceFile, Qt::LeftButton);
        QTest::mouseClick(ed.cmdSelectTargetFile, Qt::LeftButton);
        EXPECT_FALSE(ed.cmdAdvancedPPTOptions->isEnabled());
        EXPECT_FALSE(w->mnuLanguage->isEnabled());
        EXPECT_FALSE(w->mnuScheduleConversionJob->isEnabled());
        w->mnuLanguage->trigger();
        w->mnuScheduleConversionJob->trigger();
        w->ShowSchedulerDialog();

        // A screen reader's toggle of the editor's other action, disabled by the run.
        toggleAccessibly(ed.rbActionToDo[1]);
        toggleAccessibly(ed.cbDoSubfolders);
        EXPECT_FALSE(ed.rbActionToDo[1]->isChecked() || !ed.rbActionToDo[0]->isChecked());
        EXPECT_FALSE(ed.cbDoSubfolders->isChecked());
        EXPECT_EQ(w->session().settings.sActionToDo, "C");
        EXPECT_FALSE(w->session().bCurrentActionItemDirty);
        QTest::mouseClick(w->cmdPause, Qt::LeftButton);
    };
    w->mnuBeginConversionJob->trigger();

    ASSERT_TRUE(during);
    EXPECT_EQ(optionDialogs, 0);
    EXPECT_EQ(picker.calls, 0);
    EXPECT_EQ(chooser.calls, 0);
    EXPECT_EQ(schedulerDialogs, 0);
    EXPECT_EQ(w->session().fgToDo.textMatrix(2, 9), "") << "the pause stopped the run before task 2";

    // The run over, every road is open again; the accessible toggle then acts as a click.
    ASSERT_FALSE(w->controller()->runGoingOn());
    w->mnuScheduleConversionJob->trigger();
    EXPECT_EQ(schedulerDialogs, 1);
    w->mnuLanguage->trigger();
    EXPECT_EQ(chooser.calls, 1);
    ASSERT_NO_FATAL_FAILURE(selectTask2());
    doubleClickRow(2);
    EXPECT_EQ(optionDialogs, 1);
    toggleAccessibly(ed.rbActionToDo[1]);
    EXPECT_TRUE(ed.rbActionToDo[1]->isChecked());
    EXPECT_EQ(w->session().settings.sActionToDo, "S");
}
