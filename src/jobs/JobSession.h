#pragma once
// The engine's state: the task and log grids, the run flags and position, the job file name,
// the program-wide conversion settings and the conversion and text controls. The main window
// owns one; an unattended run creates one and never shows a window. The engine reaches the
// outside only through the interfaces below.
#include "jobs/ConversionSettings.h"
#include "jobs/EngineHooks.h"
#include "jobs/RunRecordFiles.h"
#include "jobs/StatusPanels.h"
#include "jobs/ToDoRows.h"
#include "platform/EventPump.h"
#include "platform/FlexGrid.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class ConversionControl;
class ProcessLauncher;
class TextControl;
class Prompter;
class FilePicker;
class clsMRU;
class clsConversionOptions;

class JobSession
{
public:
    JobSession();
    ~JobSession();
    JobSession(const JobSession &) = delete;
    JobSession &operator=(const JobSession &) = delete;

    // Grids: fgToDo has the columns up to Pass, fgLog adds Status (ToDoColumn).
    FlexGrid fgToDo{ToDoColumn::Pass + 1};
    FlexGrid fgLog{ToDoColumn::Status + 1};

    // The request to go on: set when a run starts, cleared by Pause (the run stops after the
    // current task or file) and when the run ends.
    bool bRunning = false;
    // Set with the Pause that a signal makes (an unattended run ending for good): a launched
    // program is then stopped rather than left running. Once set it stays: no run starts again
    // in this session, and a run that begins with it set runs nothing and leaves every task
    // undone.
    bool bInterrupted = false;
    // Records an interrupt: bInterrupted, the Pause, and the conversion under way killed.
    void Interrupt();
    // Whether an interrupt is recorded; asks the interrupt source too, so that a signal caught
    // before the pump has delivered it is not missed.
    bool bInterruptRecorded();
    // Where signals are caught (the program's signal watcher); none by default.
    void setInterruptSource(std::function<bool()> caught) { m_interruptSource = std::move(caught); }
    // A launched program being stopped by an interrupt of a command-line run: asked to end,
    // and waited for only once the run's record has been written (finishStops), so that a
    // program slow to end cannot hold the record up.
    void stopAfterRecord(std::unique_ptr<ProcessLauncher> launcher);
    // Waits out the grace of the programs being stopped and kills what is left of them.
    void finishStops();
    // A run loop is on the stack: from the start of ConversionJobBegin until it returns, whatever
    // bRunning says. While it is, Begin, Open, New, Rewind, Save Log As and the row moves refuse
    // (return without effect, false where they return bool); Pause stays possible.
    // UpdateMenuToolbar is called when it starts and after it ends.
    bool bLoopActive() const { return m_loopActive; }
    // A run is going on: a loop is on the stack or it has not yet seen its Pause.
    bool bRunGoingOn() const { return bRunning || m_loopActive; }
    // The run has begun: the loop is past its checks before running (the question about a
    // changed task), until it has unwound. The window shows the running state from here on.
    bool bRunBegun() const { return bRunning || m_runBegun; }
    // Closing the program: at once (hooks()->closeWindow()) when no loop is active; during a run
    // the run stops after the current file and the window is closed after the loop has returned.
    void RequestClose();

    std::int64_t lTotalTimeStart = 0;
    QString sCurrentFile;
    QString sCurrentJobFileName;
    bool bAskToSaveQVJFileBeforeExit = false;
    bool bCurrentActionItemDirty = false;
    // The job differs from its file: replacing it or ending the program asks to save it first.
    // Its rows are no longer those of any load, so no load counts as repeated any more.
    void markJobChanged()
    {
        bAskToSaveQVJFileBeforeExit = true;
        m_loadsSinceTask.clear();
    }
    // The job may be replaced without that question (it is as loaded, or given up).
    void markJobUnchanged() { bAskToSaveQVJFileBeforeExit = false; }
    // The editor holds edits its task row has not taken; the commands follow (Update).
    void markTaskDirty();
    // The editor's edits were written, dropped or went with their task. The caller refreshes
    // the commands once the rest of its work is done.
    void clearTaskDirty() { bCurrentActionItemDirty = false; }

    // Resume position of a paused wildcard task, and the row it belongs to (0 = none).
    int lResumeFileIndex = 0;
    int lResumeRow = 0;
    // Task row lJobNumber was stopped by a Pause inside its file list: unmarked, with a resume position.
    bool bPausedPartWay(int lJobNumber) const;
    // Drops the resume position when it belongs to task row lJobNumber (its task is done or changed).
    void forgetResumePosition(int lJobNumber);

    // The job file of which fgToDo holds only a part (a load that stopped at the task cap, was
    // paused, or began after line 1); "" when the grid holds a whole job. Saving the grid over
    // that file would drop the tasks not loaded. Set by every load; a new job clears it.
    QString sCappedJobFile;

    ConversionSettings settings;

    // Work a Pause left undone in a command-line run (where a Pause is an interrupt): log rows
    // (Pass "-") of the files of the paused task not converted, or of the task itself when its
    // file list was cut short, and of the tasks not reached. The results file takes them, so
    // that it can drive the next run. The command-line driver clears it.
    QList<QStringList> leftUndone;

    // Folders a task made for its targets. In a command-line run they are removed, when left
    // empty, only after the log and the results file are written (which may lie in them);
    // elsewhere at the end of the task.
    void keepMadeFolders(const QStringList &folders);
    // Removes the kept folders that are empty, but never a folder of one of the files named.
    void RemoveMadeFoldersLeftEmpty(const QStringList &keptFiles);

    // Targets written so far in this run, each with the original it came from: another
    // original of the run never overwrites them. A run (or a command-line conversion) clears it.
    QHash<QString, QString> runTargets;

    // The log and results file of a command-line run, which no task may read or write; and the
    // files the run read and wrote, which the results file must not replace. The command-line
    // driver holds and clears them.
    RunRecordFiles runRecord;

    // Interfaces; never null (defaults are headless).
    StatusPanels *panels() const { return m_panels; }
    EventPump *pump() const { return m_pump; }
    EngineHooks *hooks() const { return m_hooks; }
    EditorHooks *editorHooks() const { return m_editorHooks; }
    ScheduleHooks *scheduleHooks() const { return m_scheduleHooks; }
    Prompter *prompter() const { return m_prompter; }
    FilePicker *picker() const { return m_picker; } // may be null: no dialogs available
    void setPanels(StatusPanels *p);
    void setPump(EventPump *p);
    void setHooks(EngineHooks *h);
    void setEditorHooks(EditorHooks *h) { m_editorHooks = h ? h : &m_defaultEditorHooks; }
    void setScheduleHooks(ScheduleHooks *h) { m_scheduleHooks = h ? h : &m_defaultScheduleHooks; }
    void setPrompter(Prompter *p);
    void setPicker(FilePicker *p) { m_picker = p; }

    // Recent job files (owned by the window; may be null).
    clsMRU *mruFileOpen = nullptr;

    // Conversion control and the two text controls; created on first use.
    ConversionControl *VelmoraX1();
    TextControl *TXTextControl1();
    TextControl *TXTextControlOutput();
    void setConversionControl(ConversionControl *c) { m_externalControl = c; }

    // Convenience: process pending events through the pump.
    void DoEvents() { m_pump->processEvents(); }

    // Run loop (RunLoop.cpp).
    void ConversionJobBegin();
    bool bCheckToUpdateDirtyConversionItem();
    bool bCheckToZeroConversionItems();
    int FindStartPoint(FlexGrid &fg);

    // One task (PerformBlock.cpp). Returns the task's ItemResultCode. *pausedInside is set when
    // a Pause stopped the task before it was done (it is then left unmarked).
    int PerformBlock(int lJobNumber, clsConversionOptions &coBlock, bool *pausedInside = nullptr);
    // The special process of one file (SpecialProcesses.cpp).
    int PerformSpecialProcess(clsConversionOptions &options);

    // Result logging and progress (ResultLogging.cpp).
    QString OptionCodeForLog(int lJobNumber, const clsConversionOptions &co, bool wrapRows) const;
    // The cells of a failure row of the log for the record, Pass left empty, Status = sErr.
    QStringList LogRowCells(int lJobNumber, const clsConversionOptions &co) const;
    void LogConversionError(int lJobNumber, clsConversionOptions &co);
    void LogExitCode(int lJobNumber, clsConversionOptions &co);
    void UpdatePassedCell(FlexGrid &fg, int rr, int lRetVal);
    void VelmoraX1_Progress(double percent);
    QString ElapsedRunSecondsText() const;

    // Job commands (JobCommands.cpp). Save commands return true when the file was written.
    // All but Pause, Save and Save As refuse while a loop is active (bLoopActive).
    void ConversionJobPause();
    void ConversionJobRewind();
    bool ConversionJobSave();
    bool ConversionJobSaveAs();
    // False when nothing was opened (the save question kept the job, cancelled, missing or
    // unreadable file); sErr tells why. sNotice: what an open that succeeded left out of the
    // file (a damaged tail; the status bar says it too), "" when nothing.
    bool ConversionJobOpen(const QString &sFile, QString *sErr = nullptr, QString *sNotice = nullptr);
    // Does nothing when the save question keeps the job.
    void ConversionJobNew();
    bool ConversionJobSaveLogAs();

private:
    int PerformBlockConversion(int lJobNumber, clsConversionOptions &coBlock, bool *pausedInside);
    int PerformBlockSpecialized(int lJobNumber, clsConversionOptions &coBlock, bool *pausedInside);
    void showSaveFailure(const QString &reason);
    int firstFileIndex(int lJobNumber) const;
    bool pausedAtFile(int i, int lJobNumber, bool *pausedInside);
    bool undoneForInterrupt(int lJobNumber, clsConversionOptions &coBlock, bool *pausedInside);
    int logFileFailure(int lJobNumber, clsConversionOptions &coBlock, clsConversionOptions &perFile);
    void keepUndone(int lJobNumber, clsConversionOptions record);
    void keepUndoneRows(int firstRow, int lastRow);
    // The task PerformBlock is running: a task without a grid row (a single conversion given on
    // the command line) logs its option code from this record rather than from a per-file one.
    const clsConversionOptions *m_taskForLog = nullptr;

    class LoopScope;
    void rewindJob();
    // Job loads (file and first line) since a task last ran. A reload task that would load one of
    // them again would load the same rows for ever. It outlives a Pause, so that a task run before
    // the pause counts; the job as opened or rewound counts as one load (seedJobLoads).
    QSet<QString> m_loadsSinceTask;
    void seedJobLoads();
    std::function<bool()> m_interruptSource;
    std::vector<std::unique_ptr<ProcessLauncher>> m_stopping;
    QStringList m_madeFolders;
    bool m_loopActive = false;
    bool m_runBegun = false;
    bool m_closeRequested = false;

    RecordingStatusPanels m_defaultPanels;
    EventPump m_defaultPump;
    EngineHooks m_defaultHooks;
    EditorHooks m_defaultEditorHooks;
    ScheduleHooks m_defaultScheduleHooks;
    std::unique_ptr<Prompter> m_defaultPrompter;
    StatusPanels *m_panels = &m_defaultPanels;
    EventPump *m_pump = &m_defaultPump;
    EngineHooks *m_hooks = &m_defaultHooks;
    EditorHooks *m_editorHooks = &m_defaultEditorHooks;
    ScheduleHooks *m_scheduleHooks = &m_defaultScheduleHooks;
    Prompter *m_prompter = nullptr;
    FilePicker *m_picker = nullptr;
    ConversionControl *m_externalControl = nullptr;
    std::unique_ptr<ConversionControl> m_control;
    std::unique_ptr<TextControl> m_text1;
    std::unique_ptr<TextControl> m_textOut;
};
