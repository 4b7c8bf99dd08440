#pragma once
// The question before a changed job is dropped (New, Open, a recent job, closing the program)
// and what its answer means for the command that asked. No widget here: the question goes
// through the session's prompter.
#include <QString>

class JobSession;

// Whether a job is worth the question: it changed, no command-line run is going on, and it has
// two tasks or more or a file name of its own ("" and "*" are none). A new job of a single task
// is dropped without asking.
bool bAskToSaveBeforeErasing(bool bCommandLineMode, bool bChanged, int toDoRows,
                             const QString &sCurrentJobFileName);

// Asks "Save Conversion Job?" (Yes, No, Cancel) when bAskToSaveBeforeErasing holds; Yes saves
// the job under its name, or through Save As for a new one. True when the caller may go on and
// drop the job: nothing to ask, No, or a save that wrote the file. False on Cancel (also Esc and
// the box's close button) and when a Yes did not end in a saved file (the save dialog was
// cancelled, the file could not be written): the caller keeps the job and abandons its command.
bool CheckToSaveFileBeforeErasing(JobSession &session);
