#pragma once
// What the engine needs from the main window besides grids and the status bar: EngineHooks from
// the window, EditorHooks from its task editor, ScheduleHooks from its scheduler. The window's
// parts implement them; an unattended run uses these defaults (no editor, no scheduler, no window).
#include <QString>

class clsConversionOptions;

class EngineHooks
{
public:
    virtual ~EngineHooks() = default;
    // Refreshes the enabled state of menus, toolbar and buttons. A run counts as going on once
    // it has begun (JobSession::bRunBegun()); the engine calls this when a loop starts, when its
    // run begins and again after the loop has unwound.
    virtual void UpdateMenuToolbar() {}
    virtual bool mainWindowVisible() const { return false; }
    // The attention timer of a finished run.
    virtual void setTimer1Enabled(bool) {}
    // Caption of the main window ("" = the plain program title).
    virtual void setJobCaption(const QString &) {}
    // The recent-jobs menu changed.
    virtual void refreshRecentJobsMenu() {}
    // Offers to save a changed job before it is replaced (the window's save prompt). False
    // keeps the job: the command that would replace it is abandoned.
    virtual bool CheckToSaveFileBeforeErasing() { return true; }
    // Closes the program's window for good (JobSession::RequestClose calls it when no run loop is
    // active, or once the loop has returned). It must close, not ask RequestClose again.
    virtual void closeWindow() {}
};

// The task editor's part: the engine adds its task, writes it back and shows a row in it.
class EditorHooks
{
public:
    virtual ~EditorHooks() = default;
    // The engine calls AddFileToConvertGUI and ConversionJobUpdate itself while Begin checks
    // whether to run, with bLoopActive() already true: the window's refusal of Add and Update
    // during a run belongs to its command handlers, not to these hooks.
    // Adds the editor's current task to the grid; false when it was not added.
    virtual bool AddFileToConvertGUI() { return false; }
    // Writes the editor back into the current task row.
    virtual void ConversionJobUpdate() {}
    // The editor shows the task of the grid's current row again (after a run, an Open, a New);
    // the engine has dropped the editor's changed state before and refreshes the commands after.
    virtual void LoadEditorFromCurrentRow() {}
};

// The scheduler's part: whether a schedule counts down, and stopping it.
class ScheduleHooks
{
public:
    virtual ~ScheduleHooks() = default;
    virtual bool bSchedularEnabled() const { return false; }
    // Pause stops an active schedule (timer off, inputs unlocked, caption reset), during a
    // run or between runs.
    virtual void stopScheduler() {}
};
