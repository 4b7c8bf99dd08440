// When the real window's schedule runs its job: while the scheduler window is open as while it is
// hidden; never under another dialog or box (one opened from the scheduler window included) nor
// under an open menu or the grid's pop-up, where it waits and starts on the first tick with none
// open; and a run that waited is one run, the targets it waited through skipped.
#include "../../language/TranslatorTestSupport.h"
#include "WindowTestSupport.h"

#include "jobs/JobSession.h"
#include "ui/main/JobGridView.h"
#include "ui/main/frame/MainWindowStart.h"
#include "ui/main/frame/frmMainMDI.h"
#include "ui/scheduler/frmScheduler.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

class ScheduledRunWaitsTest : public TranslatorFixture
{
protected:
    void SetUp() override
    {
        TranslatorFixture::SetUp();
        InitializeTranslator(true);
        // The user's job of two tasks, and the scheduled job of one that writes out.txt.
        const auto row = [](const QString &n, const QString &in, const QString &out) {
            return QStringList{"", n, "S55", in, "1", "TXT", out, "1", "TXT", ""}.join(u'\t').toUtf8() + "\r\n";
        };
        const QByteArray star = "\t*\t\t\t\t\t\t\t\t\r\n";
        job = tmp.filePath("job.qvj");
        sched = tmp.filePath("sched.qvj");
        out = tmp.filePath("out.txt");
        ASSERT_TRUE(qvtest::writeFile(job, row("1", "/in/a.txt", "/out/a.txt") + row("2", "/in/b.txt", "/out/b.txt") + star));
        ASSERT_TRUE(qvtest::writeFile(tmp.filePath("in.txt"), "a\r\n\r\nb\r\n"));
        ASSERT_TRUE(qvtest::writeFile(sched, row("1", tmp.filePath("in.txt"), out) + star));
        frame.reset(ShowMainMDIWithSplash(job));
        main = frame->mainWindow();
        main->setPicker(&picker);
        f = main->frmSched;
        f->setClock([this] { return now; });
        f->Timer1->setInterval(24 * 3600 * 1000); // every tick is the test's own
        runs = std::make_unique<QSignalSpy>(f, &frmScheduler::RunTheJobEvent);
        activate();
    }
    void TearDown() override
    {
        runs.reset();
        frame.reset();
        TranslatorFixture::TearDown();
    }
    void activate()
    {
        QApplication::setActiveWindow(frame.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    }
    // Begin, as a user clicks it: the scheduled job every `seconds` from now, run immediately.
    void begin(int seconds, bool calendar = false)
    {
        QTest::mouseClick(calendar ? f->optCalendarBased : f->optTimeBased, Qt::LeftButton);
        f->cbScheduledJobFile->setCurrentText(sched);
        f->txtSeconds->setText(QString::number(seconds));
        f->cmdStartTimer_Click();
        ASSERT_TRUE(f->bSchedularEnabled());
    }
    // One tick at `secs` seconds after the start of the test's clock.
    void tickAt(int secs)
    {
        now = start.addSecs(secs);
        f->Timer1_Timer();
    }
    bool userJobShown() const
    {
        const JobSession &s = main->session();
        return s.sCurrentJobFileName == job && s.fgToDo.rows() == 4;
    }
    QString job, sched, out;
    const QDateTime start{QDate(2024, 5, 6), QTime(10, 0)};
    QDateTime now = start;
    CountingPicker picker;
    std::unique_ptr<frmMainMDI> frame;
    frmMain *main = nullptr;
    frmScheduler *f = nullptr;
    std::unique_ptr<QSignalSpy> runs;
};

} // namespace

TEST_F(ScheduledRunWaitsTest, RunsGoOnWhileTheSchedulerWindowIsOpenAndWaitUnderABoxOpenedFromIt)
{
    bool shownModally = false;
    QString underBox;
    QTimer::singleShot(0, f, [&] {
        shownModally = QApplication::activeModalWidget() == f;
        // Done however the steps end, so that the menu's call returns.
        struct Done { frmScheduler *f; ~Done() { QTest::mouseClick(f->cmdDone, Qt::LeftButton); } } done{f};
        begin(6);
        tickAt(6);
        tickAt(12);
        EXPECT_EQ(runs->size(), 2) << "the open scheduler window held the runs";
        EXPECT_EQ(qvtest::readFile(out), "a\r\nb\r\n");
        // A box opened from the scheduler window holds them: three targets pass under it.
        QMessageBox box(QMessageBox::Information, "Quorvane", "A question", QMessageBox::Ok, f);
        box.open();
        for (int t : {18, 24, 30, 33})
            tickAt(t);
        underBox = frame->windowTitle();
        EXPECT_EQ(runs->size(), 2);
        box.accept();
        tickAt(34); // one run for 18, 24 and 30
        tickAt(35);
        EXPECT_EQ(runs->size(), 3) << "the targets missed under the box were made up in a burst";
        tickAt(36); // the schedule goes on from there
        EXPECT_EQ(runs->size(), 4);
    });
    main->mnuScheduleConversionJob->trigger();
    EXPECT_TRUE(shownModally);
    EXPECT_EQ(underBox, "The scheduled run waits for the open dialog.");
    EXPECT_FALSE(f->isVisible());
    tickAt(42); // and while it is hidden
    EXPECT_EQ(runs->size(), 5);
}

TEST_F(ScheduledRunWaitsTest, ARunWaitsUnderTheFileMenuAndTheGridPopUpAndStartsWhenTheyClose)
{
    begin(30);
    // The File menu opened from the menu bar; Save As chosen from it after the run came due.
    QTest::keyClick(frame.get(), Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return main->mnuFile->isVisible(); }, 5000));
    tickAt(30);
    EXPECT_TRUE(userJobShown()) << "the run replaced the job under the open menu";
    EXPECT_EQ(frame->windowTitle(), "The scheduled run waits for the open menu.");
    const QString mine = tmp.filePath("mine.qvj");
    picker.files << mine;
    QTest::keyClick(main->mnuFile, Qt::Key_A);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main->mnuFile->isVisible(); }, 5000));
    EXPECT_TRUE(qvtest::readFile(mine).contains("\t/in/b.txt\t"));
    EXPECT_EQ(runs->size(), 0);
    tickAt(31); // the first tick with the menu closed
    EXPECT_EQ(runs->size(), 1);
    EXPECT_EQ(main->session().sCurrentJobFileName, sched);

    // The grid's pop-up, opened on the user's job again.
    main->session().ConversionJobOpen(job);
    JobGridView *grid = main->fgToDo;
    QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, grid->visualRect(grid->model()->index(1, 3)).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return main->mnuPopup->isVisible(); }, 5000));
    tickAt(60);
    EXPECT_TRUE(userJobShown()) << "the run replaced the job under the pop-up";
    QTest::keyClick(main->mnuPopup, Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main->mnuPopup->isVisible(); }, 5000));
    EXPECT_EQ(runs->size(), 1);
    tickAt(61);
    EXPECT_EQ(runs->size(), 2);
}

TEST_F(ScheduledRunWaitsTest, ARunThatWaitedStartsOnTheFirstTickWithNoDialogEvenPastItsMinute)
{
    // Time based, and a calendar target whose whole minute passes under the box: neither is
    // dropped when the box closes, nor kept waiting a tick longer.
    for (const bool calendar : {false, true}) {
        SCOPED_TRACE(calendar ? "calendar" : "time based");
        runs->clear();
        f->EndTimer();
        now = start;
        if (calendar) {
            QTest::mouseClick(f->optDaily, Qt::LeftButton);
            f->cbHours->setCurrentText("10");
            f->cbMinutes->setCurrentText("01");
            f->cbAmPm->setCurrentText("AM");
        }
        begin(30, calendar);
        QMessageBox box(QMessageBox::Information, "Quorvane", "A question", QMessageBox::Ok, main);
        box.open();
        for (int t : {30, 60, 61, 90, 150})
            tickAt(t);
        EXPECT_EQ(runs->size(), 0);
        box.accept();
        tickAt(151);
        EXPECT_EQ(runs->size(), 1);
    }
}
