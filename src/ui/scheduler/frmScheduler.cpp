#include "frmScheduler.h"

#include "common/DateHelpers.h"
#include "common/FileUtils.h"
#include "common/Globals.h"
#include "common/Pickers.h"
#include "language/Translator.h"
#include "platform/Prompter.h"
#include "scheduler/SchedulerSettings.h"
#include "ui/support/FormTranslator.h"
#include "ui/support/MessageBoxPrompter.h"
#include "ui/support/MruWidgets.h"
#include "ui/support/TabCycling.h"
#include "ui/support/WidgetNaming.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QLineEdit *numberBox(const char *name)
{
    auto *box = named(new QLineEdit, name);
    box->setMaximumWidth(64);
    return box;
}

QLabel *buddyLabel(const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

void setText(QLineEdit *box, const QString &text)
{
    if (box->text() != text)
        box->setText(text);
}

// The zero date of a time of day, as the stored time is kept.
QDateTime timeOnZeroDate(const QTime &t) { return QDateTime(QDate(1899, 12, 30), t); }

} // namespace

frmScheduler::frmScheduler(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmScheduler"));
    setWindowTitle(QStringLiteral("Schedule a Job"));
    m_clock = [] { return QDateTime::currentDateTime(); };
    buildWindow();
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &frmScheduler::Timer1_Timer);
}

frmScheduler::~frmScheduler() = default;

void frmScheduler::setClock(std::function<QDateTime()> clock)
{
    m_clock = clock ? std::move(clock) : [] { return QDateTime::currentDateTime(); };
}

void frmScheduler::buildWindow()
{
    auto *root = new QVBoxLayout(this);

    auto *intro = new QLabel(QStringLiteral(
        "Here you may schedule a 'Conversion Job' to execute periodically.  First select a previously saved job "
        "file (*.QVJ), then specify the time period.  Click 'Begin' and the job will run continuously at the "
        "desired interval. "));
    intro->setWordWrap(true);
    root->addWidget(intro);

    cbScheduledJobFile = named(new QComboBox, "cbScheduledJobFile");
    cbScheduledJobFile->setEditable(true);
    cbScheduledJobFile->setInsertPolicy(QComboBox::NoInsert);
    cbScheduledJobFile->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    cbScheduledJobFile->setMinimumContentsLength(40);
    cbScheduledJobFile->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    root->addWidget(buddyLabel(QStringLiteral("Select an existing job (*.QVJ) file to run:"), cbScheduledJobFile));
    picScheduledJobFile = named(new QToolButton, "picScheduledJobFile");
    picScheduledJobFile->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    picScheduledJobFile->setToolTip(QStringLiteral("Select .QVJ Job File"));
    cmdSelectScheduledJobFile = named(new QPushButton(QStringLiteral("  File..")), "cmdSelectScheduledJobFile");
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(cbScheduledJobFile, 1);
    fileRow->addWidget(picScheduledJobFile);
    fileRow->addWidget(cmdSelectScheduledJobFile);
    root->addLayout(fileRow);
    connect(cmdSelectScheduledJobFile, &QPushButton::clicked, this, &frmScheduler::cmdSelectScheduledJobFile_Click);
    connect(picScheduledJobFile, &QToolButton::clicked, this, &frmScheduler::cmdSelectScheduledJobFile_Click);

    TabStrip1 = named(new QTabBar, "TabStrip1");
    TabStrip1->addTab(QStringLiteral("Set Up"));
    TabStrip1->addTab(QStringLiteral("Options"));
    TabStrip1->setDrawBase(true);
    root->addWidget(TabStrip1);
    m_pages = new QStackedWidget;
    root->addWidget(m_pages, 1);

    // Set Up: the kind buttons, then the time-based or the calendar frame.
    fraSetup = named(new QWidget, "fraSetup");
    auto *setup = new QVBoxLayout(fraSetup);
    optTimeBased = named(new QRadioButton(QStringLiteral("Time Based")), "optTimeBased");
    optCalendarBased = named(new QRadioButton(QStringLiteral("Calendar Based")), "optCalendarBased");
    m_kindGroup = new QButtonGroup(this);
    m_kindGroup->addButton(optTimeBased);
    m_kindGroup->addButton(optCalendarBased);
    auto *kindRow = new QHBoxLayout;
    kindRow->addWidget(optTimeBased);
    kindRow->addWidget(optCalendarBased);
    kindRow->addStretch(1);
    setup->addLayout(kindRow);
    m_kindStack = new QStackedWidget;
    setup->addWidget(m_kindStack, 1);

    fraTimeBased = named(new QGroupBox(QStringLiteral("Specify the time interval for running the job:")),
                         "fraTimeBased");
    auto *timeGrid = new QGridLayout(fraTimeBased);
    txtHours = numberBox("txtHours");
    txtMinutes = numberBox("txtMinutes");
    txtSeconds = numberBox("txtSeconds");
    QLineEdit *timeBoxes[3] = {txtHours, txtMinutes, txtSeconds};
    const char *timeLabels[3] = {"Hours", "Minutes", "Seconds"};
    for (int i = 0; i < 3; ++i)
        addRow(timeGrid, i, timeLabels[i], timeBoxes[i]);
    timeGrid->setColumnStretch(2, 1);
    timeGrid->setRowStretch(3, 1);
    m_kindStack->addWidget(fraTimeBased);

    fraCalendarBased = named(new QGroupBox, "fraCalendarBased");
    auto *cal = new QVBoxLayout(fraCalendarBased);
    cbHours = named(new QComboBox, "cbHours");
    for (int h = 1; h <= 12; ++h)
        cbHours->addItem(QString::number(h));
    cbMinutes = named(new QComboBox, "cbMinutes");
    for (int m = 0; m <= 59; ++m)
        cbMinutes->addItem(QStringLiteral("%1").arg(m, 2, 10, QLatin1Char('0')));
    cbAmPm = named(new QComboBox, "cbAmPm");
    cbAmPm->addItems({QStringLiteral("AM"), QStringLiteral("PM")});
    auto *timeRow = new QHBoxLayout;
    timeRow->addWidget(buddyLabel(QStringLiteral("Start Time:"), cbHours));
    timeRow->addWidget(cbHours);
    timeRow->addWidget(cbMinutes);
    timeRow->addWidget(cbAmPm);
    timeRow->addStretch(1);
    // After the stretch, where their spacing shows nowhere.
    lblMinutes = unseenLabel("lblMinutes", cbMinutes);
    lblAmPm = unseenLabel("lblAmPm", cbAmPm);
    timeRow->addWidget(lblMinutes);
    timeRow->addWidget(lblAmPm);
    cal->addLayout(timeRow);

    optDaily = named(new QRadioButton(QStringLiteral(" Daily")), "optDaily");
    optWeekly = named(new QRadioButton(QStringLiteral(" Weekly")), "optWeekly");
    optMonthly = named(new QRadioButton(QStringLiteral(" Monthly")), "optMonthly");
    m_ruleGroup = new QButtonGroup(this);
    auto *ruleButtons = new QVBoxLayout;
    for (QRadioButton *b : {optDaily, optWeekly, optMonthly}) {
        m_ruleGroup->addButton(b);
        ruleButtons->addWidget(b);
    }
    ruleButtons->addStretch(1);
    m_ruleStack = new QStackedWidget;
    auto *ruleRow = new QHBoxLayout;
    ruleRow->addLayout(ruleButtons);
    auto *ruleLine = new QFrame;
    ruleLine->setFrameShape(QFrame::VLine);
    ruleLine->setFrameShadow(QFrame::Sunken);
    ruleRow->addWidget(ruleLine);
    ruleRow->addWidget(m_ruleStack, 1);
    cal->addLayout(ruleRow, 1);

    fraDaily = named(new QFrame, "fraDaily");
    auto *daily = new QGridLayout(fraDaily);
    optNumDays = named(new QRadioButton(QStringLiteral("Every")), "optNumDays");
    txtNumDays = numberBox("txtNumDays");
    optWeekdays = named(new QRadioButton(QStringLiteral("Every weekday")), "optWeekdays");
    m_dailyGroup = new QButtonGroup(this);
    m_dailyGroup->addButton(optNumDays);
    m_dailyGroup->addButton(optWeekdays);
    daily->addWidget(optNumDays, 0, 0);
    daily->addWidget(txtNumDays, 0, 1);
    daily->addWidget(buddyLabel(QStringLiteral("day(s)"), txtNumDays), 0, 2);
    daily->addWidget(optWeekdays, 1, 0, 1, 3);
    daily->setColumnStretch(3, 1);
    daily->setRowStretch(2, 1);
    m_ruleStack->addWidget(fraDaily);

    fraWeekly = named(new QFrame, "fraWeekly");
    auto *weekly = new QGridLayout(fraWeekly);
    txtNumWeeks = numberBox("txtNumWeeks");
    auto *weeksRow = new QHBoxLayout;
    weeksRow->addWidget(buddyLabel(QStringLiteral("Run the job every "), txtNumWeeks));
    weeksRow->addWidget(txtNumWeeks);
    weeksRow->addStretch(1);
    weekly->addLayout(weeksRow, 0, 0);
    // The caption of the day boxes is their group's title: a screen reader reads it as the
    // label of each box.
    auto *days = named(new QGroupBox(QStringLiteral("week(s) on:")), "fraWeekDays");
    days->setFlat(true);
    auto *dayGrid = new QGridLayout(days);
    weekly->addWidget(days, 1, 0);
    const char *dayNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    const char *dayObjects[7] = {"chkSun", "chkMon", "chkTue", "chkWed", "chkThu", "chkFri", "chkSat"};
    for (int i = 0; i < 7; ++i)
        chkDays[i] = named(new QCheckBox(QString::fromLatin1(dayNames[i])), dayObjects[i]);
    chkSun = chkDays[0], chkMon = chkDays[1], chkTue = chkDays[2], chkWed = chkDays[3];
    chkThu = chkDays[4], chkFri = chkDays[5], chkSat = chkDays[6];
    // Monday first, as the week is read.
    QCheckBox *order[7] = {chkMon, chkTue, chkWed, chkThu, chkFri, chkSat, chkSun};
    for (int i = 0; i < 7; ++i)
        dayGrid->addWidget(order[i], i / 4, i % 4);
    weekly->setRowStretch(2, 1);
    m_ruleStack->addWidget(fraWeekly);

    fraMonthly = named(new QFrame, "fraMonthly");
    auto *monthly = new QVBoxLayout(fraMonthly);
    txtDayOfMonth = numberBox("txtDayOfMonth");
    txtNumMonths = numberBox("txtNumMonths");
    auto *monthRow = new QHBoxLayout;
    monthRow->addWidget(buddyLabel(QStringLiteral("Day "), txtDayOfMonth));
    monthRow->addWidget(txtDayOfMonth);
    monthRow->addWidget(buddyLabel(QStringLiteral("of every "), txtNumMonths));
    monthRow->addWidget(txtNumMonths);
    monthRow->addWidget(new QLabel(QStringLiteral("month(s)")));
    monthRow->addStretch(1);
    monthly->addLayout(monthRow);
    auto *note = new QLabel(QStringLiteral(
        "Note:  Enter 31 to run on the last day of each month.  The maximum number of months is 12."));
    note->setWordWrap(true);
    monthly->addWidget(note);
    monthly->addStretch(1);
    m_ruleStack->addWidget(fraMonthly);
    m_kindStack->addWidget(fraCalendarBased);
    m_pages->addWidget(fraSetup);

    // Options: restart at load, and what a long run does to a time-based schedule.
    fraOptions = named(new QWidget, "fraOptions");
    auto *options = new QVBoxLayout(fraOptions);
    chkPersistRunning =
        named(new QCheckBox(QStringLiteral(" Automatically restart the timer on program load")), "chkPersistRunning");
    options->addWidget(chkPersistRunning);
    auto *catchUp = new QGroupBox(QStringLiteral("Time Based:"));
    auto *catchUpLayout = new QVBoxLayout(catchUp);
    auto *question = new QLabel(QStringLiteral("If the time period to run a job exceeds the interval you specified, "
                                               "how would you like the next job to be run:"));
    question->setWordWrap(true);
    catchUpLayout->addWidget(question);
    optImmediately = named(new QRadioButton(QStringLiteral("Immediately after the current job finishes (continuous)")),
                           "optImmediately");
    optSkip = named(new QRadioButton(QStringLiteral("Skip this run and set the timer for the next one")), "optSkip");
    m_catchUpGroup = new QButtonGroup(this);
    m_catchUpGroup->addButton(optImmediately);
    m_catchUpGroup->addButton(optSkip);
    catchUpLayout->addWidget(optImmediately);
    catchUpLayout->addWidget(optSkip);
    options->addWidget(catchUp);
    options->addStretch(1);
    m_pages->addWidget(fraOptions);

    cmdStartTimer = named(new QPushButton(QStringLiteral("&Begin")), "cmdStartTimer");
    cmdEndTimer = named(new QPushButton(QStringLiteral("&End")), "cmdEndTimer");
    cmdDone = named(new QPushButton(QStringLiteral("&Done")), "cmdDone");
    for (QPushButton *b : {cmdStartTimer, cmdEndTimer, cmdDone})
        b->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdStartTimer);
    buttons->addWidget(cmdEndTimer);
    buttons->addWidget(cmdDone);
    root->addLayout(buttons);

    connect(cmdStartTimer, &QPushButton::clicked, this, &frmScheduler::cmdStartTimer_Click);
    connect(cmdEndTimer, &QPushButton::clicked, this, &frmScheduler::cmdEndTimer_Click);
    connect(cmdDone, &QPushButton::clicked, this, &frmScheduler::cmdDone_Click);
    connect(TabStrip1, &QTabBar::currentChanged, this, &frmScheduler::TabStrip1_Click);
    connect(optTimeBased, &QRadioButton::toggled, this, &frmScheduler::showKindFrame);
    connect(optCalendarBased, &QRadioButton::toggled, this, &frmScheduler::showKindFrame);
    for (QRadioButton *b : {optDaily, optWeekly, optMonthly})
        connect(b, &QRadioButton::toggled, this, &frmScheduler::showRuleFrame);
    connect(optNumDays, &QRadioButton::toggled, this, &frmScheduler::updateNumDaysBox);

    // The stored defaults until the settings are read.
    applyInput(SchedulerInput());
    cmdEndTimer->setEnabled(false);
}

void frmScheduler::showKindFrame() { m_kindStack->setCurrentWidget(optTimeBased->isChecked() ? fraTimeBased : fraCalendarBased); }

void frmScheduler::showRuleFrame()
{
    m_ruleStack->setCurrentWidget(optWeekly->isChecked() ? fraWeekly : optMonthly->isChecked() ? fraMonthly : fraDaily);
}

void frmScheduler::TabStrip1_Click(int index) { m_pages->setCurrentWidget(index == 0 ? fraSetup : fraOptions); }

// The days box is for "every N days" only; it stays off while the window is locked.
void frmScheduler::updateNumDaysBox()
{
    if (cmdStartTimer->isEnabled())
        txtNumDays->setEnabled(optNumDays->isChecked());
}

void frmScheduler::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    const bool tabKey = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    const bool backwards = mods == (Qt::ControlModifier | Qt::ShiftModifier);
    if (tabKey && (mods == Qt::ControlModifier || backwards)) {
        TabStrip1->setCurrentIndex(NextTabIndex(TabStrip1->currentIndex(), TabStrip1->count(), backwards));
        return;
    }
    QDialog::keyPressEvent(event);
}

// Esc and the window's close box hide the window as Done does; a schedule goes on.
void frmScheduler::reject() { cmdDone_Click(); }

void frmScheduler::cmdDone_Click() { done(QDialog::Accepted); }

void frmScheduler::applyInput(const SchedulerInput &in)
{
    (in.optTimeBased ? optTimeBased : optCalendarBased)->setChecked(true);
    setText(txtHours, in.txtHours);
    setText(txtMinutes, in.txtMinutes);
    setText(txtSeconds, in.txtSeconds);
    (in.optMonthly ? optMonthly : in.optWeekly ? optWeekly : optDaily)->setChecked(true);
    // The combos offer fixed items: a stored text that is none of them keeps the current one.
    if (cbHours->findText(in.cbHours) >= 0)
        cbHours->setCurrentText(in.cbHours);
    if (cbMinutes->findText(in.cbMinutes) >= 0)
        cbMinutes->setCurrentText(in.cbMinutes);
    if (cbAmPm->findText(in.cbAmPm) >= 0)
        cbAmPm->setCurrentText(in.cbAmPm);
    (in.optWeekdays ? optWeekdays : optNumDays)->setChecked(true);
    setText(txtNumDays, in.txtNumDays);
    setText(txtNumWeeks, in.txtNumWeeks);
    for (int i = 0; i < 7; ++i)
        chkDays[i]->setChecked(in.chkDays[static_cast<size_t>(i)]);
    setText(txtDayOfMonth, in.txtDayOfMonth);
    setText(txtNumMonths, in.txtNumMonths);
    chkPersistRunning->setChecked(in.chkPersistRunning);
    (in.optSkip ? optSkip : optImmediately)->setChecked(true);
    showKindFrame();
    showRuleFrame();
    updateNumDaysBox();
}

SchedulerInput frmScheduler::CollectDataFromFrmScheduler() const
{
    SchedulerInput in;
    in.optTimeBased = optTimeBased->isChecked();
    in.optCalendarBased = optCalendarBased->isChecked();
    in.txtHours = txtHours->text();
    in.txtMinutes = txtMinutes->text();
    in.txtSeconds = txtSeconds->text();
    in.optDaily = optDaily->isChecked();
    in.optWeekly = optWeekly->isChecked();
    in.optMonthly = optMonthly->isChecked();
    in.cbHours = cbHours->currentText();
    in.cbMinutes = cbMinutes->currentText();
    in.cbAmPm = cbAmPm->currentText();
    in.optNumDays = optNumDays->isChecked();
    in.txtNumDays = txtNumDays->text();
    in.optWeekdays = optWeekdays->isChecked();
    in.txtNumWeeks = txtNumWeeks->text();
    for (int i = 0; i < 7; ++i)
        in.chkDays[static_cast<size_t>(i)] = chkDays[i]->checkState() != Qt::Unchecked;
    in.txtDayOfMonth = txtDayOfMonth->text();
    in.txtNumMonths = txtNumMonths->text();
    in.chkPersistRunning = chkPersistRunning->isChecked();
    in.optImmediately = optImmediately->isChecked();
    in.optSkip = optSkip->isChecked();
    in.cbScheduledJobFile = cbScheduledJobFile->currentText();
    in.strJobFile = m_strJobFile;
    return in;
}

void frmScheduler::putBackFilledBoxes(const SchedulerInput &in)
{
    // Only the blanks the validators filled change; typed text is never rewritten.
    setText(txtHours, in.txtHours);
    setText(txtMinutes, in.txtMinutes);
    setText(txtSeconds, in.txtSeconds);
    setText(txtNumDays, in.txtNumDays);
    setText(txtNumWeeks, in.txtNumWeeks);
    setText(txtDayOfMonth, in.txtDayOfMonth);
    setText(txtNumMonths, in.txtNumMonths);
    m_strJobFile = in.strJobFile;
}

void frmScheduler::Form_Load()
{
    cmdStartTimer->setEnabled(true);
    cmdEndTimer->setEnabled(false);
    txtNumDays->setEnabled(true);
    ReadIniFileScheduler();
    TranslateForm(this);
    cbMinutes->setAccessibleName(Translate(QStringLiteral("Minutes")));
    cbAmPm->setAccessibleName(Translate(QStringLiteral("AM/PM")));
    lblMinutes->setAccessibleName(cbMinutes->accessibleName());
    lblAmPm->setAccessibleName(cbAmPm->accessibleName());
    picScheduledJobFile->setAccessibleName(Translate(QStringLiteral("Select .QVJ Job File")));
}

void frmScheduler::ReadIniFileScheduler()
{
    const SchedulerSettings s = ::ReadIniFileScheduler(G_IniFilePath);
    applyInput(s.input);
    m_dtUserTargetTime = s.dtUserTargetTime;
    m_dtTargetComplete = s.dtTargetComplete;
    TabStrip1->setCurrentIndex(0);
    TabStrip1_Click(0);
}

void frmScheduler::SaveIniFileScheduler()
{
    if (gbCommandLineMode)
        return;
    SchedulerInput in = CollectDataFromFrmScheduler();
    const int code = ValidateSchedulerInput(in);
    putBackFilledBoxes(in);
    if (code != SchedulerCode::Ok) {
        // Inputs that are not valid are neither stored nor restarted at the next start.
        if (code == SchedulerCode::NoWeekday)
            showMessage(SchedulerInputMessage(code));
        SaveSchedulerPersistOff(G_IniFilePath);
        return;
    }
    SchedulerSettings s;
    s.input = in;
    s.dtUserTargetTime = m_dtUserTargetTime;
    s.dtTargetComplete = m_dtTargetComplete;
    ::SaveIniFileScheduler(G_IniFilePath, s);
}

void frmScheduler::Form_Unload()
{
    if (gbCommandLineMode)
        return;
    m_mru.ShutDown();
    SaveIniFileScheduler();
}

void frmScheduler::SetUpScheduler(const QString &iniFile)
{
    m_mru = clsMRU();
    m_mru.Setup(20, iniFile, QStringLiteral("mruScheduleSource"), QStringLiteral("-1"));
    // While a schedule runs the box shows its job, whatever the list's newest entry is.
    if (!bSchedularEnabled())
        FillComboFromMRU(cbScheduledJobFile, m_mru);
}

void frmScheduler::cmdSelectScheduledJobFile_Click()
{
    int filterIndex = 1;
    m_strJobFile = PickFile(m_picker, Translate(QStringLiteral("Select .QVJ Job File")),
                            QStringLiteral("QVJ Job File (*.qvj)|*.qvj"), filterIndex);
    if (m_strJobFile.isEmpty()) {
        showMessage(QStringLiteral("Please select a job file"));
        return;
    }
    if (!bFileExists(m_strJobFile)) {
        showMessage(QStringLiteral("Job file does not exist"));
        return;
    }
    cbScheduledJobFile->setCurrentText(m_strJobFile);
    m_mru.AddUniqueItemToCollection(m_strJobFile);
    FillComboFromMRU(cbScheduledJobFile, m_mru);
}

void frmScheduler::cmdStartTimer_Click()
{
    if (bSchedularEnabled())
        return;
    SchedulerInput in = CollectDataFromFrmScheduler();
    if (!in.optTimeBased && !in.optCalendarBased)
        return;
    // Begin always schedules the job the box names.
    in.strJobFile = in.cbScheduledJobFile;
    const int code = ValidateSchedulerInput(in);
    putBackFilledBoxes(in);
    if (code != SchedulerCode::Ok) {
        ShowSchedulerInputError(code);
        return;
    }
    const QDateTime now = m_clock();
    if (in.optTimeBased) {
        m_schedule = ActiveSchedule::timeBased(in.lngIntervalSeconds, in.optImmediately, now);
    } else {
        CalendarRule rule;
        rule.kind = in.optWeekly    ? CalendarRule::Weekly
                    : in.optMonthly ? CalendarRule::Monthly
                    : in.optWeekdays ? CalendarRule::EveryWeekday
                                     : CalendarRule::EveryNDays;
        rule.numDays = in.intNumDays;
        rule.numWeeks = in.intNumWeeks;
        rule.numMonths = in.intNumMonths;
        rule.dayOfMonth = in.intDayOfMonth;
        rule.days = in.chkDays;
        rule.time = UserTargetTime(in.cbHours, in.cbMinutes, in.cbAmPm);
        if (!rule.time.isValid())
            rule.time = QTime(0, 0);
        if (rule.kind == CalendarRule::Monthly && in.intDayOfMonth >= 29)
            showMessage(QStringLiteral("If a month has fewer than ") + in.txtDayOfMonth.trimmed() +
                        QStringLiteral(" days then the job will run on the last day of the month"));
        m_schedule = ActiveSchedule::calendar(rule, now);
        m_dtUserTargetTime = timeOnZeroDate(rule.time);
        m_dtTargetComplete = QDateTime(m_schedule.target().date(), m_schedule.target().time());
    }
    LockSchedulerForm();
    // The scheduled job becomes the newest recent entry, so that the box shows it again after
    // a restart of the program.
    m_mru.AddUniqueItemToCollection(in.strJobFile);
    m_mru.WriteCollectionToIniFile();
    StartTimer(in.strJobFile);
}

void frmScheduler::StartTimer(const QString &jobFile)
{
    m_activeJobFile = jobFile;
    m_runWaiting = false;
    Timer1->start();
}

void frmScheduler::EndTimer()
{
    Timer1->stop();
    if (isVisible())
        cmdDone->setFocus();
    ResetSchedulerForm();
    emit scheduleEnded();
}

void frmScheduler::StopSchedule()
{
    Timer1->stop();
    ResetSchedulerForm();
}

bool frmScheduler::bSchedularEnabled() const { return Timer1 && Timer1->isActive(); }

QString frmScheduler::whatHoldsARun() const
{
    // An open menu or pop-up menu: the entry the user is about to choose (Save As, Delete...)
    // acts on the job on screen, which a run would replace under it.
    if (QApplication::activePopupWidget())
        return QStringLiteral("The scheduled run waits for the open menu.");
    // Any modal dialog or box but this window: the schedule's own window is where the user
    // watches the runs, so they go on while it is open, as while it is hidden.
    QWidget *top = QApplication::activeModalWidget();
    bool held = top && top != this;
    for (QWidget *w : QApplication::topLevelWidgets())
        held = held || (w != this && w->isModal() && w->isVisible());
    return held ? QStringLiteral("The scheduled run waits for the open dialog.") : QString();
}

void frmScheduler::Timer1_Timer()
{
    if (!bSchedularEnabled())
        return;
    const QDateTime now = m_clock();
    const ActiveSchedule::Plan plan = m_schedule.plan(now);
    const bool due = plan.due || m_runWaiting;
    // A tick during a run (the run pumps events, or a run was started by hand) neither runs
    // nor moves a target; the schedule stays active.
    if (m_inRun || (runBusy && runBusy())) {
        emit DisplayTimeRemainingEvent(JobIsRunningCaption());
        return;
    }
    // A run never replaces the job under a dialog, box or menu (the job, or the file it is about
    // to be saved to, would change under it): one that comes due waits, its target kept (even a
    // calendar target whose minute passes), and starts on the first tick with none open.
    if (due) {
        const QString hold = whatHoldsARun();
        if (!hold.isEmpty()) {
            m_runWaiting = true;
            emit DisplayTimeRemainingEvent(Translate(hold));
            return;
        }
    }
    if (!m_runWaiting)
        emit DisplayTimeRemainingEvent(CountdownCaption(SplitTimeRemaining(plan.secondsToTarget)));
    if (due) {
        m_runWaiting = false;
        m_inRun = true;
        emit RunTheJobEvent(m_activeJobFile);
        m_inRun = false;
        // Stopped during the run (Pause, End): the targets stay until a new Begin. A run that
        // starts late (it waited, or the last one outlasted the interval) is one run for every
        // target up to its start: those are skipped, never made up one after another.
        if (bSchedularEnabled())
            m_schedule.advance(m_clock(), now);
    } else if (plan.passed) {
        m_schedule.advance(now);
    }
}

QList<QWidget *> frmScheduler::lockedControls() const
{
    return {cmdStartTimer, cmdSelectScheduledJobFile, picScheduledJobFile, txtHours,      txtMinutes,
            txtSeconds,    cbScheduledJobFile,        optDaily,            optWeekly,     optMonthly,
            cbHours,       cbMinutes,                 cbAmPm,              txtDayOfMonth, txtNumMonths,
            txtNumWeeks,   chkMon,                    chkTue,              chkWed,        chkThu,
            chkFri,        chkSat,                    chkSun,              txtNumDays,    optNumDays,
            optWeekdays};
}

void frmScheduler::LockSchedulerForm()
{
    cmdEndTimer->setEnabled(true);
    for (QWidget *w : lockedControls())
        w->setEnabled(false);
}

void frmScheduler::ResetSchedulerForm()
{
    cmdEndTimer->setEnabled(false);
    for (QWidget *w : lockedControls())
        w->setEnabled(true);
    updateNumDaysBox();
}

void frmScheduler::showMessage(const QString &englishText)
{
    const QString text = Translate(englishText);
    if (m_prompter)
        m_prompter->msgBox(text, Prompter::OkOnly);
    else
        MessageBoxPrompter(this).msgBox(text, Prompter::OkOnly | Prompter::Information);
}

void frmScheduler::ShowSchedulerInputError(int code)
{
    if (code < 1 || code > 115)
        return;
    const QString message = SchedulerInputMessage(code);
    if (!message.isEmpty())
        showMessage(message);
    // No focus moves in a hidden window (the restart at the program's start).
    if (!isVisible())
        return;
    auto focusAll = [](QLineEdit *box) {
        box->setFocus();
        box->selectAll();
    };
    switch (code) {
    case SchedulerCode::InvalidHours: focusAll(txtHours); break;
    case SchedulerCode::InvalidMinutes: focusAll(txtMinutes); break;
    case SchedulerCode::InvalidSeconds: focusAll(txtSeconds); break;
    case SchedulerCode::NoJobFileTime:
    case SchedulerCode::JobFileMissingTime:
    case SchedulerCode::NoJobFileCalendar:
    case SchedulerCode::SelectJobFile:
    case SchedulerCode::JobFileMissingCalendar:
        cmdSelectScheduledJobFile->setFocus();
        if (QLineEdit *edit = cbScheduledJobFile->lineEdit())
            edit->selectAll();
        break;
    case SchedulerCode::InvalidDays:
    case SchedulerCode::InvalidWeeks: {
        QLineEdit *box = code == SchedulerCode::InvalidDays ? txtNumDays : txtNumWeeks;
        if (box->isEnabled())
            focusAll(box);
        else
            box->setText(QStringLiteral("1"));
        break;
    }
    case SchedulerCode::InvalidDayOfMonth: focusAll(txtDayOfMonth); break;
    case SchedulerCode::InvalidMonths: focusAll(txtNumMonths); break;
    default: break;
    }
}
