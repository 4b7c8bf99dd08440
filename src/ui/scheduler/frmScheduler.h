#pragma once
// The window "Schedule a Job": pick a saved job file and a time-based or calendar schedule for
// it, Begin and End it. The main window creates it hidden once and shows it modally; Done and
// Esc hide it and a running schedule goes on. Its one-second timer drives the tick; the tick
// reports through two signals and never runs while a run is going on. A run that comes due while
// a run, a menu or a modal dialog or box other than this window is open waits until none is.
#include "common/clsMRU.h"
#include "scheduler/ActiveSchedule.h"
#include "scheduler/SchedulerInput.h"

#include <QDateTime>
#include <QDialog>

#include <functional>
#include <memory>

class FilePicker;
class Prompter;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabBar;
class QTimer;
class QToolButton;

class frmScheduler : public QDialog
{
    Q_OBJECT
public:
    explicit frmScheduler(QWidget *parent = nullptr);
    ~frmScheduler() override;

    // Controls, named as the settings file names them.
    QComboBox *cbScheduledJobFile = nullptr;
    QPushButton *cmdSelectScheduledJobFile = nullptr;
    QToolButton *picScheduledJobFile = nullptr;
    QTabBar *TabStrip1 = nullptr;
    QWidget *fraSetup = nullptr;
    QWidget *fraOptions = nullptr;
    QRadioButton *optTimeBased = nullptr;
    QRadioButton *optCalendarBased = nullptr;
    QGroupBox *fraTimeBased = nullptr;
    QLineEdit *txtHours = nullptr;
    QLineEdit *txtMinutes = nullptr;
    QLineEdit *txtSeconds = nullptr;
    QGroupBox *fraCalendarBased = nullptr;
    QComboBox *cbHours = nullptr;
    QComboBox *cbMinutes = nullptr;
    QComboBox *cbAmPm = nullptr;
    // The captions a screen reader reads for the minutes and AM/PM boxes.
    QLabel *lblMinutes = nullptr;
    QLabel *lblAmPm = nullptr;
    QRadioButton *optDaily = nullptr;
    QRadioButton *optWeekly = nullptr;
    QRadioButton *optMonthly = nullptr;
    QFrame *fraDaily = nullptr;
    QFrame *fraWeekly = nullptr;
    QFrame *fraMonthly = nullptr;
    QRadioButton *optNumDays = nullptr;
    QLineEdit *txtNumDays = nullptr;
    QRadioButton *optWeekdays = nullptr;
    QLineEdit *txtNumWeeks = nullptr;
    // chkDays[0] = chkSun ... chkDays[6] = chkSat; the named pointers alias them.
    QCheckBox *chkDays[7] = {};
    QCheckBox *chkSun = nullptr, *chkMon = nullptr, *chkTue = nullptr, *chkWed = nullptr, *chkThu = nullptr,
              *chkFri = nullptr, *chkSat = nullptr;
    QLineEdit *txtDayOfMonth = nullptr;
    QLineEdit *txtNumMonths = nullptr;
    QCheckBox *chkPersistRunning = nullptr;
    QRadioButton *optImmediately = nullptr;
    QRadioButton *optSkip = nullptr;
    QPushButton *cmdStartTimer = nullptr;
    QPushButton *cmdEndTimer = nullptr;
    QPushButton *cmdDone = nullptr;
    QTimer *Timer1 = nullptr;

    // Message boxes and the file dialog (the main window passes its own; tests inject theirs).
    void setPrompter(Prompter *prompter) { m_prompter = prompter; }
    void setPicker(FilePicker *picker) { m_picker = picker; }
    // The clock of Begin and of every tick (default: the system clock).
    void setClock(std::function<QDateTime()> clock);
    // True while any run is going on: the tick then shows "Job is Running" and neither runs
    // nor moves a target.
    std::function<bool()> runBusy;

    // Load: buttons, stored inputs (from G_IniFilePath), translation. Run once, hidden.
    void Form_Load();
    // End of the program: recent list and inputs written (never in a command-line run).
    void Form_Unload();
    void ReadIniFileScheduler();
    void SaveIniFileScheduler();
    // The job-file box from the recent list "mruScheduleSource"; the box keeps the running
    // schedule's job while a schedule runs.
    void SetUpScheduler(const QString &iniFile);

    void cmdStartTimer_Click();
    void cmdEndTimer_Click() { EndTimer(); }
    void cmdDone_Click();
    void cmdSelectScheduledJobFile_Click();
    void LockSchedulerForm();
    void ResetSchedulerForm();
    void EndTimer();
    // The main window's Pause: timer off and inputs unlocked, the window keeps its place.
    void StopSchedule();
    void Timer1_Timer();
    bool bSchedularEnabled() const;

    // The window's inputs as plain data.
    SchedulerInput CollectDataFromFrmScheduler() const;
    const ActiveSchedule &activeSchedule() const { return m_schedule; }
    QString strActiveJobFile() const { return m_activeJobFile; }
    QDateTime dtUserTargetTime() const { return m_dtUserTargetTime; }
    QDateTime dtTargetComplete() const { return m_dtTargetComplete; }
    clsMRU &mruScheduleSource() { return m_mru; }

signals:
    void RunTheJobEvent(const QString &strTimerFile);
    void DisplayTimeRemainingEvent(const QString &text);
    // End stopped the schedule: the countdown it showed no longer holds.
    void scheduleEnded();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void reject() override;

private:
    void buildWindow();
    void applyInput(const SchedulerInput &in);
    void putBackFilledBoxes(const SchedulerInput &in);
    void StartTimer(const QString &jobFile);
    void ShowSchedulerInputError(int code);
    void showMessage(const QString &englishText);
    void TabStrip1_Click(int index);
    void showKindFrame();
    void showRuleFrame();
    void updateNumDaysBox();
    QList<QWidget *> lockedControls() const;
    // The caption (untranslated) of what keeps a due run waiting; empty when nothing does.
    QString whatHoldsARun() const;

    Prompter *m_prompter = nullptr;
    FilePicker *m_picker = nullptr;
    std::function<QDateTime()> m_clock;
    QStackedWidget *m_pages = nullptr;
    QStackedWidget *m_kindStack = nullptr;
    QStackedWidget *m_ruleStack = nullptr;
    QButtonGroup *m_kindGroup = nullptr;
    QButtonGroup *m_ruleGroup = nullptr;
    QButtonGroup *m_dailyGroup = nullptr;
    QButtonGroup *m_catchUpGroup = nullptr;

    clsMRU m_mru;
    QString m_strJobFile;
    QString m_activeJobFile;
    QDateTime m_dtUserTargetTime;
    QDateTime m_dtTargetComplete;
    ActiveSchedule m_schedule;
    bool m_inRun = false;
    // A run came due while a modal dialog was up; it starts once none is.
    bool m_runWaiting = false;
};
