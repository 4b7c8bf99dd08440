#pragma once
// The main window: toolbar, the two tabs (the task editor above the task grid, and the log),
// the command buttons, and the menus the frame puts on its menu bar. It owns the job session
// through its SessionController and applies the command state to its actions; buttons follow
// their actions. A command-line run never creates it.
#include "frmMainMenus.h"

#include "common/clsMRU.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class EditorExchange;
class EditorPickers;
class FilePicker;
class GridOrdering;
class JobGridView;
class JobSession;
class Prompter;
class QPushButton;
class QTabWidget;
class QTimer;
class SessionController;
class ShellOpener;
class StatusPanels;
class TaskEditor;
class SchedulerHooks;
class frmScheduler;
struct CommandState;
class QDialog;

class frmMain : public QWidget, public frmMainMenus
{
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    SessionController *controller() const { return m_controller; }
    JobSession &session() const;

    // Widgets named like their controls.
    TaskEditor *editor = nullptr;
    QTabWidget *ts = nullptr;
    QWidget *frameCF[2] = {};
    QWidget *frameToDo = nullptr;
    JobGridView *fgToDo = nullptr;
    JobGridView *fgLog = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdRemove = nullptr;
    QPushButton *cmdUpdate = nullptr;
    QPushButton *cmdPause = nullptr;
    // The end-of-run attention signal: four ticks of a few hundred milliseconds.
    QTimer *Timer1 = nullptr;
    int lTimer1Count = 0;

    // Recent lists of the window (job files and the editor's boxes).
    clsMRU mruFileOpen, mruSource, mruTarget, mruSourceSpecialized, mruTargetSpecialized, mruCommandLine,
        mruCommandLineArguments, mruFindString, mruReplaceString;
    bool bPersistRunning = false;
    // Length unit of the option dialogs (1 inches, 2 centimetres), kept with the settings.
    short glnMeasurement = 1;

    // What the window talks through; each has a default of its own (message boxes, file
    // dialogs, the desktop's opener); the frame gives the status bar. Tests inject theirs.
    void setPrompter(Prompter *prompter);
    void setPicker(FilePicker *picker);
    void setStatusPanels(StatusPanels *panels);
    void setShellOpener(ShellOpener *opener);
    ShellOpener *shellOpener() const { return m_opener; }
    // The editor's picker and launch buttons (their shared filter index, the program starter).
    EditorPickers *pickers() const { return m_pickers; }
    // The scheduler window, created hidden by Form_Load, and the main window's side of it
    // (runs the scheduled job, the countdown caption, Pause).
    frmScheduler *frmSched = nullptr;
    SchedulerHooks *schedulerHooks() const { return m_schedulerHooks; }
    // Restarts a schedule left running (default: the scheduler's Begin). Tests replace it.
    std::function<void()> startPersistedSchedule;
    // The menu's "Schedule a Conversion Job".
    void ShowSchedulerDialog();

    // Start-up: choice lists, grids, settings, toolbar, tabs, text control, scheduler,
    // translation, recent jobs. Run once, before the window is shown.
    void Form_Load();
    // Saves the window's settings (never in a command-line run) and ends the office worker.
    // The save question has been asked before (requestClose), where a No-save can still keep
    // the window open.
    void Form_Unload();
    void ReadIniFile();
    void SaveIniFile();

    void RefreshConvertOptionsGUI();
    // The smallest size at which each panel of the editor, whichever is shown, has room for
    // all its fields.
    QSize minimumSizeForEveryPanel();
    void UpdateMenuToolbar();
    bool bSchedularEnabled() const;
    // Selects a tab (1 tasks, 2 log) as a click on it does.
    void selectTab(int tab);

    void mnuOptimizeForSpeed_Click();
    void mnuOptimizeForMemory_Click();
    void Timer1_Timer();

    // Closing during a run: the run stops after its current file, then closeAfterRun fires.
    // True when the window may close at once; otherwise the save question comes first, and a
    // Yes whose save did not happen keeps the window open.
    bool requestClose();

    // The task editor and the task grid exchanging tasks (load, update, add, remove) and the
    // editor's field handlers.
    EditorExchange *exchange() const { return m_exchange; }
    // The advanced-options dialog, opened by the advanced-options button and by a double click
    // on a conversion task: told whether the chosen target type can give one file per slide,
    // it returns true when the user applied it (the selected task is then updated). Unset, the
    // button does nothing.
    std::function<bool(bool bSupportsSingleFileOutput)> showAdvancedOptionsDialog;
    // How the option dialogs are shown (empty: modally); tests drive them through it.
    std::function<int(QDialog &)> optionsDialogRunner;
    // The save question before the job is dropped; false keeps the job (see SavePrompt).
    bool CheckToSaveFileBeforeErasing();
    // The editor's boxes go to their recent lists (after Add and Update).
    void UpdateMRUs();
    // Recent job file Index of the File menu (1 = newest).
    void mnuMRU_Click(int Index);

signals:
    // File > Exit, and a close that waited for its run.
    void exitRequested();
    void aboutRequested();
    void scheduleRequested();
    // The job's file name for the frame's caption ("" = none).
    void jobCaptionChanged(const QString &caption);
    // The frame's whole caption: the schedule's countdown, or the plain program name.
    void frameCaptionChanged(const QString &caption);

private:
    // The default of showAdvancedOptionsDialog: the advanced options dialog over the settings.
    bool showOptionsDialogs(bool bSupportsSingleFileOutput);
    bool m_textDialogsInstalled = false;
    void buildPages();
    void connectCommands();
    void applyCommandState(const CommandState &state);
    void translateWindow();
    void refreshRecentJobs();
    void openRecent(QAction *action, const MruMenuArray &array);
    void moveTask(int target);
    void showWebPage(const QString &url);

    void createScheduler();

    SessionController *m_controller = nullptr;
    SchedulerHooks *m_schedulerHooks = nullptr;
    std::unique_ptr<Prompter> m_ownPrompter;
    std::unique_ptr<FilePicker> m_ownPicker;
    ShellOpener *m_opener = nullptr;
    GridOrdering *m_ordering = nullptr;
    EditorPickers *m_pickers = nullptr;
    EditorExchange *m_exchange = nullptr;
};
