#pragma once
// Which commands of the main window can be used, as one pure function of what it depends on.
// The window gathers the inputs, calls ComputeCommandState and applies the result to its
// toolbar keys, menu entries and buttons; the Add, Remove and Pause commands also use it as
// their guard. Field names are the names of the controls (toolbar keys by their key).
#include <QString>

#include <optional>

struct CommandStateInput
{
    bool bRunning = false;  // the window passes session.bRunBegun()
    bool bScheduled = false; // bSchedularEnabled(): a schedule is counting down
    bool gbSuppressEvents = false;
    bool bCurrentActionItemDirty = false;

    int toDoRows = 2;        // fgToDo.Rows: header, tasks and the "*" row
    int toDoRow = 1;         // fgToDo.Row, the current row
    QString toDoNumberCell;  // column 1 ("#") of the current row
    QString toDoRow1PassCell; // column 9 (Pass) of row 1
    int lResumeFileIndex = 0;
    int logRows = 1;         // fgLog.Rows
    int selectedTab = 1;     // ts: 1 task list, 2 log
};

struct CommandState
{
    // Toolbar keys of tbMain.
    bool keyOpen = false;
    bool keyNew = false;
    bool keyConvert = false;
    bool keyPause = false;
    bool keyRewind = false;
    bool keyAdd = false;
    bool keyRemove = false;
    bool keyUpdate = false;
    // Drop-down entries of "keyOpen".
    bool KeyOpen = false;
    bool KeySave = false;
    bool KeySaveAs = false;
    bool KeySaveLogAsConversionJob = false;

    // Menu entries.
    bool mnuOpenConversionJob = false;
    bool mnuMRU = false; // the recent job files of the File menu
    bool mnuNewConversionJob = false;
    bool mnuSaveConversionJob = false;
    bool mnuSaveConversionJobAs = false;
    bool mnuSaveLogAsConversionJob = false;
    bool mnuBeginConversionJob = false;
    bool mnuAddConversionJob = false;
    bool mnuRemoveConversionJob = false;
    bool mnuUpdateConversionJob = false;
    bool mnuPause = false;
    bool mnuRewindConversionJob = false;
    bool mnuPopupDelete = false;

    // Command buttons of the editor.
    bool cmdAdd = false;
    bool cmdRemove = false;
    bool cmdUpdate = false;
    bool cmdPause = false;

    // The task editor takes edits; read-only while a run goes on, since the run moves the
    // current row away from the task the editor shows. Its pickers go with it.
    bool editorEnabled = false;

    // Dialogs that change what a run reads. A run would wait under such a modal dialog (Pause
    // out of reach) and read settings half edited; so they open only when no run goes on. The
    // advanced options (its button, a double click on a conversion task) edit the settings and
    // the selected task, which a schedule counting down also owns; the language chooser and the
    // scheduler only hold a run.
    bool cmdAdvancedPPTOptions = false;
    bool mnuLanguage = false;
    bool mnuScheduleConversionJob = false;

    // Visibility of the move entries; nullopt = leave as it is.
    std::optional<bool> mnuMoveConversionTask;
    std::optional<bool> mnuMoveUp;
    std::optional<bool> mnuMoveFirst;
    std::optional<bool> mnuMoveDown;
    std::optional<bool> mnuMoveLast;
    std::optional<bool> mnuPopupMoveUp;
    std::optional<bool> mnuPopupMoveFirst;
    std::optional<bool> mnuPopupMoveDown;
    std::optional<bool> mnuPopupMoveLast;
};

CommandState ComputeCommandState(const CommandStateInput &in);
