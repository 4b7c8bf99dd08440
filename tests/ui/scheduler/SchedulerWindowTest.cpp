// The scheduler window on the offscreen platform, driven with clicks and keys, with the clock,
// the message boxes and the file dialog injected; and its main-window side running a real job.
#include "../../language/TranslatorTestSupport.h"

#include "jobs/EngineHooks.h"
#include "jobs/JobFiles.h"
#include "jobs/JobSession.h"
#include "jobs/ToDoRows.h"
#include "platform/FilePicker.h"
#include "platform/ProfileIni.h"
#include "ui/scheduler/SchedulerHooks.h"
#include "ui/scheduler/frmScheduler.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QToolButton>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QTimer>

namespace {

class ScriptedPicker : public FilePicker
{
public:
    QString answer;
    QString pickFile(const QString &, const QString &, int &, const QString &, bool) override { return answer; }
    QString browseForFolder(const QString &, const QString &) override { return QString(); }
};

class SchedulerWindowTest : public TranslatorFixture
{
protected:
    void SetUp() override
    {
        TranslatorFixture::SetUp();
        now = QDateTime(QDate(2024, 5, 6), QTime(10, 0));
        ASSERT_TRUE(qvtest::writeFile(text("in.txt"), "a\r\n\r\nb\r\n"));
    }
    QString text(const QString &name) const { return tmp.filePath(name); }
    // A job of one task that removes the empty lines of in.txt into out.txt.
    QString makeJob(const QString &name)
    {
        JobSession s;
        InitToDoGrid(s.fgToDo);
        s.fgToDo.addItem({"", "1", "S55", text("in.txt"), "1", "TXT", text("out.txt"), "1", "TXT"}, 1);
        const QString file = tmp.filePath(name);
        EXPECT_TRUE(SaveConversionJobFile(s, file));
        return file;
    }
    std::unique_ptr<frmScheduler> open()
    {
        auto f = std::make_unique<frmScheduler>();
        f->setPrompter(&prompter);
        f->setPicker(&picker);
        f->setClock([this] { return now; });
        f->Form_Load();
        f->SetUpScheduler(G_IniFilePath);
        return f;
    }
    void showIt(frmScheduler &f)
    {
        f.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f, 60000));
    }
    void timeBased(frmScheduler &f, const QString &job, const QString &seconds)
    {
        QTest::mouseClick(f.optTimeBased, Qt::LeftButton);
        f.cbScheduledJobFile->setCurrentText(job);
        f.txtSeconds->setText(seconds);
    }
    // Pictures of every page and frame in build/screens, to look at.
    void grabViews(frmScheduler &f, const QString &language)
    {
        const QString dir = qvtest::buildDir() + "/screens";
        QDir().mkpath(dir);
        showIt(f);
        f.resize(f.sizeHint());
        auto shot = [&](const QString &name) {
            EXPECT_TRUE(f.grab().save(dir + "/scheduler-" + language + "-" + name + ".png"));
        };
        for (QRadioButton *rule : {f.optWeekly, f.optMonthly, f.optDaily}) {
            rule->setChecked(true);
            shot(rule->objectName());
        }
        f.optTimeBased->setChecked(true);
        shot("optTimeBased");
        f.optCalendarBased->setChecked(true);
        f.TabStrip1->setCurrentIndex(1);
        shot("fraOptions");
        f.TabStrip1->setCurrentIndex(0);
    }
    QDateTime now;
    ScriptedPicker picker;
};

} // namespace

TEST_F(SchedulerWindowTest, FramesFollowTheKindAndRuleButtonsAndCtrlTabSwitchesPages)
{
    auto f = open();
    showIt(*f);
    // First use: calendar based, daily, the Set Up page.
    EXPECT_TRUE(f->fraSetup->isVisible());
    EXPECT_FALSE(f->fraOptions->isVisible());
    EXPECT_TRUE(f->fraCalendarBased->isVisible());
    EXPECT_TRUE(f->fraDaily->isVisible());
    EXPECT_EQ(f->cbHours->currentText() + f->cbMinutes->currentText() + f->cbAmPm->currentText(), "1200AM");

    QTest::mouseClick(f->optTimeBased, Qt::LeftButton);
    EXPECT_TRUE(f->fraTimeBased->isVisible());
    EXPECT_FALSE(f->fraCalendarBased->isVisible());
    QTest::mouseClick(f->optCalendarBased, Qt::LeftButton);
    QTest::mouseClick(f->optWeekly, Qt::LeftButton);
    EXPECT_TRUE(f->fraWeekly->isVisible());
    EXPECT_FALSE(f->fraDaily->isVisible());
    QTest::mouseClick(f->optMonthly, Qt::LeftButton);
    EXPECT_TRUE(f->fraMonthly->isVisible());
    QTest::mouseClick(f->optDaily, Qt::LeftButton);
    QTest::mouseClick(f->optWeekdays, Qt::LeftButton);
    EXPECT_FALSE(f->txtNumDays->isEnabled());
    QTest::mouseClick(f->optNumDays, Qt::LeftButton);
    EXPECT_TRUE(f->txtNumDays->isEnabled());

    QTest::keyClick(f->txtNumDays, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_TRUE(f->fraOptions->isVisible());
    QTest::keyClick(f.get(), Qt::Key_Tab, Qt::ControlModifier); // from the last tab, the first
    EXPECT_TRUE(f->fraSetup->isVisible());
    QTest::keyClick(f.get(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(f->TabStrip1->currentIndex(), 1);
    grabViews(*f, "en");

    // Every input box has a label pointing at it, or a name of its own; a combo box names itself
    // by its current text here, so only a label tells a screen reader what it is.
    QList<QWidget *> buddies;
    for (QLabel *l : f->findChildren<QLabel *>())
        buddies << l->buddy();
    for (QWidget *w : f->findChildren<QWidget *>()) {
        if (qobject_cast<QComboBox *>(w)) {
            EXPECT_FALSE(qvtest::accessibleLabels(w).isEmpty()) << w->objectName().toStdString();
        } else if (qobject_cast<QLineEdit *>(w) && !qobject_cast<QComboBox *>(w->parentWidget())) {
            EXPECT_TRUE(buddies.contains(w) || !w->accessibleName().isEmpty()) << w->objectName().toStdString();
        }
    }
    EXPECT_EQ(qvtest::accessibleLabels(f->cbMinutes), "Minutes");
    EXPECT_EQ(qvtest::accessibleLabels(f->cbAmPm), "AM/PM");
    for (QCheckBox *day : f->chkDays)
        EXPECT_EQ(qvtest::accessibleLabels(day), "week(s) on:") << day->objectName().toStdString();
}

TEST_F(SchedulerWindowTest, BeginLocksEndUnlocksAndInvalidInputsLeaveTheScheduleStopped)
{
    auto f = open();
    showIt(*f);
    timeBased(*f, QString(), "5");
    QTest::mouseClick(f->cmdStartTimer, Qt::LeftButton);
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].text, "Please enter a job file");
    EXPECT_FALSE(f->bSchedularEnabled());
    EXPECT_FALSE(f->cmdEndTimer->isEnabled());
    EXPECT_TRUE(f->cmdSelectScheduledJobFile->hasFocus());

    const QString job = makeJob("job.qvj");
    f->txtMinutes->setText("");
    f->cbScheduledJobFile->setCurrentText(job);
    QTest::mouseClick(f->cmdStartTimer, Qt::LeftButton);
    EXPECT_EQ(prompter.boxes.size(), 1);
    EXPECT_TRUE(f->bSchedularEnabled());
    EXPECT_EQ(f->Timer1->interval(), 1000);
    EXPECT_EQ(f->txtMinutes->text(), "0"); // the blank box was filled
    EXPECT_TRUE(f->cmdEndTimer->isEnabled());
    for (QWidget *w : {(QWidget *)f->cmdStartTimer, (QWidget *)f->cbScheduledJobFile, (QWidget *)f->txtSeconds,
                       (QWidget *)f->chkSun, (QWidget *)f->optDaily, (QWidget *)f->picScheduledJobFile})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    for (QWidget *w : {(QWidget *)f->optTimeBased, (QWidget *)f->chkPersistRunning, (QWidget *)f->optSkip,
                       (QWidget *)f->cmdDone, (QWidget *)f->TabStrip1})
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    // The scheduled job is the newest recent entry, stored at once.
    EXPECT_EQ(ProfileIni::readString(G_IniFilePath, "mruScheduleSource", "mruScheduleSource1", ""), job);

    QTest::mouseClick(f->cmdEndTimer, Qt::LeftButton);
    EXPECT_FALSE(f->bSchedularEnabled());
    EXPECT_FALSE(f->cmdEndTimer->isEnabled());
    EXPECT_TRUE(f->cbScheduledJobFile->isEnabled());
    EXPECT_TRUE(f->cmdStartTimer->isEnabled());
}

TEST_F(SchedulerWindowTest, DoneAndEscHideTheWindowAndTheScheduleGoesOn)
{
    auto f = open();
    showIt(*f);
    timeBased(*f, makeJob("job.qvj"), "30");
    QTest::mouseClick(f->cmdStartTimer, Qt::LeftButton);
    ASSERT_TRUE(f->bSchedularEnabled());
    QTest::mouseClick(f->cmdDone, Qt::LeftButton);
    EXPECT_FALSE(f->isVisible());
    EXPECT_TRUE(f->bSchedularEnabled());
    showIt(*f);
    QTest::keyClick(f.get(), Qt::Key_Escape);
    EXPECT_FALSE(f->isVisible());
    EXPECT_TRUE(f->bSchedularEnabled());
}

TEST_F(SchedulerWindowTest, TheTickCountsDownRunsWhenDueAndNeitherRunsNorMovesDuringARun)
{
    auto f = open();
    const QString job = makeJob("job.qvj");
    timeBased(*f, job, "10");
    bool busy = false;
    f->runBusy = [&busy] { return busy; };
    QSignalSpy runs(f.get(), &frmScheduler::RunTheJobEvent);
    QSignalSpy captions(f.get(), &frmScheduler::DisplayTimeRemainingEvent);
    const QDateTime begin = now;
    f->cmdStartTimer_Click();
    ASSERT_TRUE(f->bSchedularEnabled());

    now = begin.addSecs(5);
    f->Timer1_Timer();
    EXPECT_EQ(captions.takeLast().at(0).toString(), "5 seconds before next run.");
    busy = true;
    now = begin.addSecs(10);
    f->Timer1_Timer();
    EXPECT_EQ(captions.takeLast().at(0).toString(), "Job is Running");
    EXPECT_EQ(runs.size(), 0);
    EXPECT_TRUE(f->bSchedularEnabled()); // the schedule stays active
    busy = false;
    now = begin.addSecs(11);
    f->Timer1_Timer();
    EXPECT_EQ(captions.takeLast().at(0).toString(), "1 seconds before next run.");
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].at(0).toString(), job);
    EXPECT_EQ(f->activeSchedule().target(), begin.addSecs(20).toUTC());
}

TEST_F(SchedulerWindowTest, TheMainWindowSideRunsTheJobAndPauseStopsTheSchedule)
{
    auto f = open();
    JobSession session;
    InitToDoGrid(session.fgToDo);
    InitLogGrid(session.fgLog);
    session.setPrompter(&prompter);
    SchedulerHooks hooks(f.get(), &session);
    QStringList shown;
    hooks.setCaption = [&shown](const QString &c) { shown << c; };
    session.setScheduleHooks(&hooks);

    const QString job = makeJob("job.qvj");
    timeBased(*f, job, "2");
    const QDateTime begin = now;
    f->cmdStartTimer_Click();
    now = begin.addSecs(2);
    f->Timer1_Timer();
    EXPECT_EQ(qvtest::readFile(text("out.txt")), "a\r\nb\r\n");
    EXPECT_EQ(session.sCurrentJobFileName, job);
    EXPECT_EQ(session.fgToDo.textMatrix(1, ToDoColumn::Pass), "+");
    EXPECT_EQ(shown.last(), "Job is Running");

    // A run by hand is going on: the tick leaves it alone.
    ASSERT_TRUE(QFile::remove(text("out.txt")));
    session.bRunning = true;
    now = begin.addSecs(4);
    f->Timer1_Timer();
    EXPECT_FALSE(QFile::exists(text("out.txt")));
    EXPECT_EQ(shown.last(), "Job is Running");
    session.bRunning = false;

    // Pause between runs stops the schedule.
    session.ConversionJobPause();
    EXPECT_FALSE(f->bSchedularEnabled());
    EXPECT_TRUE(f->cmdStartTimer->isEnabled());
    EXPECT_EQ(shown.last(), "'Quorvane'");
    session.setScheduleHooks(nullptr);
}

TEST_F(SchedulerWindowTest, SettingsRoundTripAndInvalidInputsAreNotRestarted)
{
    const QString job = makeJob("job.qvj");
    {
        auto f = open();
        showIt(*f); // the day boxes are laid out only on a shown window
        QTest::mouseClick(f->optWeekly, Qt::LeftButton);
        f->txtNumWeeks->setText("2");
        QTest::mouseClick(f->chkWed, Qt::LeftButton);
        f->cbHours->setCurrentText("7");
        f->cbMinutes->setCurrentText("05");
        f->cbAmPm->setCurrentText("PM");
        f->chkPersistRunning->setChecked(true);
        f->optSkip->setChecked(true);
        f->cbScheduledJobFile->setCurrentText(job);
        f->cmdStartTimer_Click();
        ASSERT_TRUE(f->bSchedularEnabled());
        f->Form_Unload();
    }
    EXPECT_EQ(ProfileIni::readString(G_IniFilePath, "frmScheduler", "cbScheduledJobFile", ""), job);
    {
        auto f = open();
        showIt(*f);
        EXPECT_TRUE(f->optWeekly->isChecked());
        EXPECT_EQ(f->txtNumWeeks->text(), "2");
        EXPECT_TRUE(f->chkWed->isChecked());
        EXPECT_FALSE(f->chkMon->isChecked());
        EXPECT_EQ(f->cbHours->currentText() + f->cbMinutes->currentText() + f->cbAmPm->currentText(), "705PM");
        EXPECT_TRUE(f->chkPersistRunning->isChecked());
        EXPECT_TRUE(f->optSkip->isChecked());
        EXPECT_EQ(f->cbScheduledJobFile->currentText(), job); // from the recent list
        EXPECT_EQ(f->dtTargetComplete(), QDateTime(QDate(2024, 5, 8), QTime(19, 5)));

        // Closing with the weekly rule and no weekday: one message, and no restart next time.
        QTest::mouseClick(f->chkWed, Qt::LeftButton);
        f->Form_Unload();
        ASSERT_EQ(prompter.boxes.size(), 1);
        EXPECT_EQ(prompter.boxes[0].text, "Please select day(s) of the week to run the job.");
    }
    EXPECT_EQ(ProfileIni::readString(G_IniFilePath, "frmScheduler", "chkPersistRunning", ""), "0");
    EXPECT_EQ(ProfileIni::readString(G_IniFilePath, "frmScheduler", "chkWed", ""), "1");
}

TEST_F(SchedulerWindowTest, TheBoxKeepsTheRunningJobAndARestartSchedulesTheSameJob)
{
    const QString older = makeJob("older.qvj");
    const QString newer = makeJob("newer.qvj");
    auto f = open();
    picker.answer = older;
    QTest::mouseClick(f->cmdSelectScheduledJobFile, Qt::LeftButton);
    picker.answer = newer;
    QTest::mouseClick(f->picScheduledJobFile, Qt::LeftButton);
    EXPECT_EQ(f->cbScheduledJobFile->currentText(), newer);
    EXPECT_EQ(f->cbScheduledJobFile->count(), 2);
    f->mruScheduleSource().WriteCollectionToIniFile();
    f->SetUpScheduler(G_IniFilePath);
    EXPECT_EQ(f->cbScheduledJobFile->currentText(), newer);

    f->cbScheduledJobFile->setCurrentIndex(1); // the older job
    timeBased(*f, older, "60");
    f->cmdStartTimer_Click();
    f->SetUpScheduler(G_IniFilePath); // the menu shows the window again
    EXPECT_EQ(f->cbScheduledJobFile->currentText(), older);
    EXPECT_EQ(f->strActiveJobFile(), older);

    auto restarted = open();
    EXPECT_EQ(restarted->cbScheduledJobFile->currentText(), older);

    // A cancelled dialog and a missing file change nothing.
    picker.answer = QString();
    QTest::mouseClick(restarted->cmdSelectScheduledJobFile, Qt::LeftButton);
    picker.answer = tmp.filePath("gone.qvj");
    QTest::mouseClick(restarted->cmdSelectScheduledJobFile, Qt::LeftButton);
    ASSERT_EQ(prompter.boxes.size(), 2);
    EXPECT_EQ(prompter.boxes[0].text, "Please select a job file");
    EXPECT_EQ(prompter.boxes[1].text, "Job file does not exist");
    EXPECT_EQ(restarted->cbScheduledJobFile->currentText(), older);
}

TEST_F(SchedulerWindowTest, GermanWindowHasEveryTextInTheLanguageFileAndLeavesInputsAlone)
{
    const QByteArray german = qvtest::readFile(qvtest::sourceDir() + "/data/Languages/German-Quorvane.txt");
    ASSERT_FALSE(german.isEmpty());
    ProfileIni::writeString(G_IniFilePath, "frmScheduler", "txtHours", "1.5");
    startWith("German", german);
    auto f = open();
    EXPECT_EQ(f->cmdStartTimer->text(), "&Beginnen");
    EXPECT_EQ(f->txtHours->text(), "1.5"); // stored numbers are never translated
    EXPECT_EQ(f->cbAmPm->itemText(1), "PM");
    grabViews(*f, "de");
    const QByteArray after = fileBytes("German");
    EXPECT_EQ(after.size(), german.size()) << after.mid(german.size()).toStdString();
}
