#include "frmMain.h"

#include "CommandState.h"
#include "ui/main/editor/EditorExchange.h"
#include "ui/main/editor/EditorPickers.h"
#include "GridOrdering.h"
#include "JobGridView.h"
#include "MainWindowBinding.h"
#include "ProductLinks.h"
#include "RecentLists.h"
#include "SessionController.h"
#include "ui/main/editor/TaskEditor.h"

#include "common/Globals.h"
#include "common/Help.h"
#include "converter/ConversionControl.h"
#include "converter/TypeCatalogue.h"
#include "jobs/JobSession.h"
#include "jobs/ToDoRows.h"
#include "language/Translator.h"
#include "platform/ShellOpener.h"
#include "ui/scheduler/SchedulerHooks.h"
#include "ui/scheduler/frmScheduler.h"
#include "ui/support/DialogFilePicker.h"
#include "ui/support/FormTranslator.h"
#include "ui/support/MessageBoxPrompter.h"
#include "ui/support/TabCycling.h"
#include "ui/options/DialogContext.h"
#include "ui/options/OptionsDialogs.h"

#include <QAction>
#include <QComboBox>
#include <QLayout>
#include <QApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

frmMain::frmMain(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    m_controller = new SessionController(this);
    m_ownPrompter = std::make_unique<MessageBoxPrompter>(this);
    m_ownPicker = std::make_unique<DialogFilePicker>(this);
    m_opener = &DesktopOpener();
    session().setPrompter(m_ownPrompter.get());
    session().setPicker(m_ownPicker.get());
    session().mruFileOpen = &mruFileOpen;
    m_controller->windowVisibleProbe = [this] { return isVisible(); };

    buildMenus(this);
    // The shortcuts work with or without the frame's menu bar.
    for (QMenu *m : menus())
        addActions(m->actions());
    buildPages();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(300);
    connect(Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    connectCommands();
    m_exchange = new EditorExchange(*this);
    m_ordering = new GridOrdering(*this);
    m_pickers = new EditorPickers(*this);
    InstallTabCycling(this, ts);
    showAdvancedOptionsDialog = [this](bool bSupportsSingleFileOutput) {
        return showOptionsDialogs(bSupportsSingleFileOutput);
    };
}

bool frmMain::showOptionsDialogs(bool bSupportsSingleFileOutput)
{
    // The dialogs edit the program-wide settings in place; the font and paragraph groups travel
    // through the output text control, whose dialogs are installed once.
    JobSession &s = session();
    if (!m_textDialogsInstalled) {
        InstallTextControlDialogs(*s.TXTextControlOutput());
        m_textDialogsInstalled = true;
    }
    DialogContext ctx(s.settings, glnMeasurement);
    ctx.prompter = s.prompter();
    ctx.picker = s.picker();
    ctx.TXTextControlOutput = s.TXTextControlOutput();
    ctx.bSupportsSingleFileOutput = bSupportsSingleFileOutput;
    ctx.markTaskDirty = [this] { session().markTaskDirty(); };
    ctx.PowerPointVersionAtLeast2010 = [this] { return session().VelmoraX1()->PowerPointVersionAtLeast2010(); };
    ctx.targetTypeCode = [this] { return TaskEditor::itemCode(editor->cbFileTypeTarget, -1); };
    ctx.runModal = optionsDialogRunner;
    return ShowAdvancedOptionsDialog(this, ctx);
}

frmMain::~frmMain()
{
    // The engine must not call back into a half-destroyed window, nor the grid's filters.
    session().setHooks(nullptr);
    delete m_ordering;
    m_ordering = nullptr;
}

JobSession &frmMain::session() const { return m_controller->session(); }

void frmMain::setPrompter(Prompter *prompter)
{
    session().setPrompter(prompter ? prompter : m_ownPrompter.get());
    if (frmSched)
        frmSched->setPrompter(session().prompter());
}

void frmMain::setPicker(FilePicker *picker)
{
    session().setPicker(picker ? picker : m_ownPicker.get());
    if (frmSched)
        frmSched->setPicker(session().picker());
}

void frmMain::setStatusPanels(StatusPanels *panels) { session().setPanels(panels); }

void frmMain::setShellOpener(ShellOpener *opener) { m_opener = opener ? opener : &DesktopOpener(); }

void frmMain::buildPages()
{
    auto *v = new QVBoxLayout(this);
    v->setContentsMargins(4, 0, 4, 4);
    v->setSpacing(2);
    v->addWidget(tbMain);

    ts = new QTabWidget(this);
    ts->setObjectName(QStringLiteral("ts"));
    for (int i = 0; i < 2; ++i) {
        frameCF[i] = new QWidget(ts);
        frameCF[i]->setObjectName(QStringLiteral("frameCF"));
        frameCF[i]->setProperty("Index", i);
    }

    auto *page = new QVBoxLayout(frameCF[0]);
    page->setContentsMargins(6, 6, 6, 6);
    editor = new TaskEditor(frameCF[0]);
    editor->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    page->addWidget(editor);

    frameToDo = new QWidget(frameCF[0]);
    frameToDo->setObjectName(QStringLiteral("frameToDo"));
    auto *row = new QHBoxLayout(frameToDo);
    row->setContentsMargins(0, 0, 0, 0);
    fgToDo = new JobGridView(&session().fgToDo, JobGridView::Kind::ToDo, frameToDo);
    fgToDo->setObjectName(QStringLiteral("fgToDo"));
    fgToDo->setAccessibleName(QStringLiteral("Conversion Tasks"));
    row->addWidget(fgToDo, 1);
    auto *buttons = new QVBoxLayout;
    auto makeButton = [this](const char *name, const char *caption) {
        auto *b = new QPushButton(QString::fromLatin1(caption), frameToDo);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    cmdAdd = makeButton("cmdAdd", "&Add");
    cmdRemove = makeButton("cmdRemove", "&Delete");
    cmdUpdate = makeButton("cmdUpdate", "&Update");
    cmdPause = makeButton("cmdPause", "&Pause");
    for (QPushButton *b : {cmdAdd, cmdRemove, cmdUpdate, cmdPause})
        buttons->addWidget(b);
    buttons->addStretch(1);
    row->addLayout(buttons);
    page->addWidget(frameToDo, 1);

    auto *logPage = new QVBoxLayout(frameCF[1]);
    logPage->setContentsMargins(6, 6, 6, 6);
    fgLog = new JobGridView(&session().fgLog, JobGridView::Kind::Log, frameCF[1]);
    fgLog->setObjectName(QStringLiteral("fgLog"));
    fgLog->setAccessibleName(QStringLiteral("Log"));
    logPage->addWidget(fgLog);

    ts->addTab(frameCF[0], QIcon(QStringLiteral(":/icons/tasks.png")), QStringLiteral("Conversion Tasks"));
    ts->addTab(frameCF[1], QIcon(QStringLiteral(":/icons/log.png")), QStringLiteral("Log"));
    // The tab bar is the Tab stop. The tab widget around it only holds the pages: as the bar's
    // focus proxy it would tell a screen reader that it, an unnamed container, has the focus.
    ts->setFocusProxy(nullptr);
    ts->setFocusPolicy(Qt::NoFocus);
    v->addWidget(ts, 1);
}

void frmMain::connectCommands()
{
    SessionController *c = m_controller;
    connect(mnuNewConversionJob, &QAction::triggered, this, [c] { c->newJob(); });
    connect(mnuOpenConversionJob, &QAction::triggered, this, [c] { c->openJob(); });
    connect(mnuSaveConversionJob, &QAction::triggered, this, [c] { c->saveJob(); });
    connect(mnuSaveConversionJobAs, &QAction::triggered, this, [c] { c->saveJobAs(); });
    connect(mnuSaveLogAsConversionJob, &QAction::triggered, this, [c] { c->saveLogAs(); });
    connect(mnuLanguage, &QAction::triggered, this, [this] {
        if (ComputeWindowCommandState(*this).mnuLanguage)
            SelectLanguage(true);
    });
    connect(mnuOptimizeForSpeed, &QAction::triggered, this, &frmMain::mnuOptimizeForSpeed_Click);
    connect(mnuOptimizeForMemory, &QAction::triggered, this, &frmMain::mnuOptimizeForMemory_Click);
    connect(mnuFile, &QMenu::triggered, this, [this](QAction *a) { openRecent(a, mnuMRU); });
    connect(tbOpenMenu, &QMenu::triggered, this, [this](QAction *a) { openRecent(a, tbOpenMRU); });
    connect(mnuExit, &QAction::triggered, this, &frmMain::exitRequested);

    connect(mnuAddConversionJob, &QAction::triggered, this, [this] { m_exchange->AddFileToConvertGUI(); });
    connect(mnuUpdateConversionJob, &QAction::triggered, this, [this] { m_exchange->ConversionJobUpdate(); });
    connect(mnuRemoveConversionJob, &QAction::triggered, this, [c] {
        if (c->removeActionItemHook)
            c->removeActionItemHook();
    });
    connect(mnuPopupDelete, &QAction::triggered, mnuRemoveConversionJob, &QAction::trigger);
    auto moves = [this](QAction *up, QAction *down, QAction *first, QAction *last) {
        connect(up, &QAction::triggered, this, [this] { moveTask(session().fgToDo.row() - 1); });
        connect(down, &QAction::triggered, this, [this] { moveTask(session().fgToDo.row() + 1); });
        connect(first, &QAction::triggered, this, [this] { moveTask(1); });
        connect(last, &QAction::triggered, this, [this] { moveTask(lastTaskRow(session().fgToDo)); });
    };
    moves(mnuMoveUp, mnuMoveDown, mnuMoveFirst, mnuMoveLast);
    moves(mnuPopupMoveUp, mnuPopupMoveDown, mnuPopupMoveFirst, mnuPopupMoveLast);
    connect(mnuBeginConversionJob, &QAction::triggered, this, [c] { c->beginJob(); });
    connect(mnuPause, &QAction::triggered, this, [c] { c->pauseJob(); });
    connect(mnuRewindConversionJob, &QAction::triggered, this, [c] { c->rewindJob(); });
    connect(mnuScheduleConversionJob, &QAction::triggered, this, [this] {
        emit scheduleRequested();
        ShowSchedulerDialog();
    });

    connect(mnuLaunchHelpFile, &QAction::triggered, this, [] { ShowHelpTopic(hcContents, 1, QString()); });
    connect(cmdHelpCommandLine, &QAction::triggered, this,
            [] { ShowHelpTopic(hcCommandLine, 1, ProductLinks::commandLineHelp()); });
    connect(mnuAbout, &QAction::triggered, this, &frmMain::aboutRequested);
    connect(mnuHelpProductUpdates, &QAction::triggered, this, [this] { showWebPage(ProductLinks::productUpdates()); });
    connect(mnuHelpOnLine, &QAction::triggered, this, [this] { showWebPage(ProductLinks::onlineHelp()); });
    connect(mnuHelpProductHomePage, &QAction::triggered, this, [this] { showWebPage(ProductLinks::homePage()); });
    connect(mnuOrnwellHomePage, &QAction::triggered, this, [this] { showWebPage(ProductLinks::makerHomePage()); });

    // Buttons are their menu entries: same command; ApplyCommandState gives both one state.
    const QPair<QPushButton *, QAction *> pairs[] = {{cmdAdd, mnuAddConversionJob},
                                                      {cmdRemove, mnuRemoveConversionJob},
                                                      {cmdUpdate, mnuUpdateConversionJob},
                                                      {cmdPause, mnuPause}};
    for (const auto &p : pairs)
        connect(p.first, &QPushButton::clicked, p.second, &QAction::trigger);

    connect(ts, &QTabWidget::currentChanged, this, [this](int index) {
        m_controller->setSelectedTab(index + 1);
        UpdateMenuToolbar();
        // Back on the task list, the editor shows the current task row again.
        if (index == 0 && m_exchange)
            m_exchange->fgToDo_EnterCell();
    });

    connect(c, &SessionController::commandStateChanged, this, &frmMain::UpdateMenuToolbar);
    connect(c, &SessionController::timer1EnabledChanged, this, [this](bool on) {
        if (on)
            Timer1->start();
        else
            Timer1->stop();
    });
    connect(c, &SessionController::jobCaptionChanged, this, &frmMain::jobCaptionChanged);
    connect(c, &SessionController::recentJobsChanged, this, &frmMain::refreshRecentJobs);
    connect(c, &SessionController::closeAfterRun, this, &frmMain::exitRequested);
}

void frmMain::openRecent(QAction *action, const MruMenuArray &array)
{
    const qsizetype at = array.elements.indexOf(action);
    if (at >= 0)
        mnuMRU_Click(static_cast<int>(at) + 1);
}

void frmMain::mnuMRU_Click(int Index)
{
    // A recent job is no command while a run goes on (the entries are disabled then).
    if (!m_controller->rowsLocked())
        OpenRecentJob(*this, Index);
}

void frmMain::UpdateMRUs() { ::UpdateMRUs(*this); }

void frmMain::moveTask(int target) { m_ordering->moveTask(target); }

void frmMain::showWebPage(const QString &url)
{
    if (m_opener)
        m_opener->open(url);
}

void frmMain::refreshRecentJobs()
{
    FillMRUMenu(mnuMRU, mruFileOpen);
    FillMRUMenu(tbOpenMRU, mruFileOpen);
    UpdateMenuToolbar();
}

bool frmMain::bSchedularEnabled() const { return m_schedulerHooks && m_schedulerHooks->bSchedularEnabled(); }

void frmMain::createScheduler()
{
    if (frmSched)
        return;
    frmSched = new frmScheduler(this);
    frmSched->setPrompter(session().prompter());
    frmSched->setPicker(session().picker());
    frmSched->Form_Load();
    m_schedulerHooks = new SchedulerHooks(frmSched, &session(), this);
    session().setScheduleHooks(m_schedulerHooks);
    m_schedulerHooks->setCaption = [this](const QString &caption) { emit frameCaptionChanged(caption); };
    m_schedulerHooks->updateMenuToolbar = [this] { UpdateMenuToolbar(); };
}

void frmMain::ShowSchedulerDialog()
{
    if (m_schedulerHooks && ComputeWindowCommandState(*this).mnuScheduleConversionJob)
        m_schedulerHooks->ShowSchedulerDialog();
}

void frmMain::selectTab(int tab) { ts->setCurrentIndex(tab == 2 ? 1 : 0); }

void frmMain::UpdateMenuToolbar() { applyCommandState(ComputeWindowCommandState(*this)); }

void frmMain::RefreshConvertOptionsGUI()
{
    gbSuppressEvents = true;
    editor->RefreshConvertOptions(session().settings.sActionToDo);
    gbSuppressEvents = false;
}

namespace {

// Asked before the window is first shown, the layouts would answer from what they computed for
// the controls shown before: every size they keep is dropped.
void forgetLayoutSizes(QWidget *root)
{
    for (QWidget *w : root->findChildren<QWidget *>())
        w->updateGeometry();
    for (QLayout *l : root->findChildren<QLayout *>())
        l->invalidate();
}

} // namespace

QSize frmMain::minimumSizeForEveryPanel()
{
    const EditorPanelState shown = editor->panelState();
    QSize size = minimumSizeHint();
    for (const EditorPanelState &s : FullestPanelStates()) {
        editor->applyPanelState(s);
        forgetLayoutSizes(this);
        size = size.expandedTo(minimumSizeHint());
    }
    editor->applyPanelState(shown);
    forgetLayoutSizes(this);
    return size;
}

void frmMain::mnuOptimizeForSpeed_Click()
{
    const bool speed = m_controller->setOptimizeForSpeed(true);
    mnuOptimizeForSpeed->setChecked(speed);
    mnuOptimizeForMemory->setChecked(!speed);
}

void frmMain::mnuOptimizeForMemory_Click()
{
    m_controller->setOptimizeForSpeed(false);
    mnuOptimizeForSpeed->setChecked(false);
    mnuOptimizeForMemory->setChecked(true);
}

void frmMain::Timer1_Timer()
{
    StatusPanels *panels = session().panels();
    QWidget *top = window();
    if (top && top->isMinimized()) {
        QApplication::alert(top, 250);
    } else {
        // The attention sign (grey) and the completion picture take turns.
        const bool odd = lTimer1Count % 2 != 0;
        panels->setPanelPicture(StatusPanel::Progress,
                                odd ? StatusPanels::CompletePicture : StatusPanels::AttentionPicture);
        panels->setPanelEnabled(StatusPanel::Progress, odd);
    }
    ++lTimer1Count;
    if (lTimer1Count > 3) {
        lTimer1Count = 0;
        panels->setPanelEnabled(StatusPanel::Progress, true);
        Timer1->stop();
    }
}

bool frmMain::requestClose() { return m_controller->requestClose() && CheckToSaveFileBeforeErasing(); }

bool frmMain::CheckToSaveFileBeforeErasing() { return m_controller->CheckToSaveFileBeforeErasing(); }

void frmMain::Form_Load()
{
    // The translator learns every message of the conversion control.
    for (int i = 1; i <= TypeCatalogue::resultMessageCount(); ++i)
        Translate(TypeCatalogue::resultMessage(-i));
    session().sCurrentJobFileName = QStringLiteral("*");
    FillChoiceLists(*editor);
    InitToDoGrid(session().fgToDo);
    InitLogGrid(session().fgLog);
    ReadIniFile();
    SelectGridRow(session().fgToDo);
    session().lResumeFileIndex = 0;
    session().markJobUnchanged();
    session().bRunning = false;
    session().clearTaskDirty();
    createScheduler();
    frmSched->SetUpScheduler(G_IniFilePath);
    // A schedule left running restarts with the window, never inside a command-line or
    // automation run, where its boxes would block and its timer could start a second run.
    if (bPersistRunning && !gbCommandLineMode) {
        if (startPersistedSchedule)
            startPersistedSchedule();
        else
            frmSched->cmdStartTimer_Click();
    }
    translateWindow();
    mruFileOpen.Setup(5, G_IniFilePath, QStringLiteral("mruFileOpen"), QStringLiteral("-1"));
    // Also the first command state of the window.
    refreshRecentJobs();
}

void frmMain::Form_Unload()
{
    SaveIniFile();
    if (frmSched) {
        // No tick may start a run while the program closes.
        frmSched->Timer1->stop();
        frmSched->Form_Unload();
    }
    if (ConversionControl *control = session().VelmoraX1())
        control->shutDown();
}

void frmMain::ReadIniFile() { ReadWindowSettings(*this); }

void frmMain::SaveIniFile() { SaveWindowSettings(*this); }

void frmMain::translateWindow()
{
    TranslateForm(this);
    fgToDo->setAccessibleName(Translate(fgToDo->accessibleName()));
    fgLog->setAccessibleName(Translate(fgLog->accessibleName()));
    editor->syncAccessibleNames();
}

void frmMain::applyCommandState(const CommandState &state) { ApplyCommandState(*this, state); }
