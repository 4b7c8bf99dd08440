#include "CommandState.h"

#include "jobs/ToDoRows.h"

CommandState ComputeCommandState(const CommandStateInput &in)
{
    CommandState s;
    const bool busy = in.bRunning || in.bScheduled;

    if (!busy) {
        s.keyOpen = s.keyNew = s.keyConvert = true;
        s.keyPause = false;
        s.keyRewind = !(in.toDoRow1PassCell.isEmpty() && in.lResumeFileIndex == 0);
        s.keyAdd = true;
        if (isTaskRow(in.toDoRow, in.toDoRows, in.toDoNumberCell)) {
            s.keyRemove = true;
            s.keyUpdate = in.bCurrentActionItemDirty;
        }
        if (in.selectedTab == 2)
            s.keyRemove = s.keyUpdate = s.keyAdd = false;
    } else {
        // A schedule counting down is treated like a run: only Pause may act.
        s.keyPause = true;
    }

    s.KeySave = s.KeySaveAs = in.toDoRows > 1;
    if (in.toDoRows == 3) // one task: nothing to rewind past, and the last task stays
        s.keyRewind = s.keyRemove = false;

    if (!busy && !in.gbSuppressEvents) {
        const bool fewRows = in.toDoRows <= 3;
        const bool starRow = in.toDoRow == in.toDoRows - 1;
        if (fewRows || starRow) {
            s.mnuMoveConversionTask = false;
            s.mnuPopupMoveUp = s.mnuPopupMoveFirst = false;
            s.mnuPopupMoveDown = s.mnuPopupMoveLast = false;
        } else {
            const bool first = in.toDoRow == 1;
            const bool last = !first && in.toDoRow >= in.toDoRows - 2;
            s.mnuMoveConversionTask = true;
            s.mnuMoveUp = s.mnuMoveFirst = s.mnuPopupMoveUp = s.mnuPopupMoveFirst = !first;
            s.mnuMoveDown = s.mnuMoveLast = s.mnuPopupMoveDown = s.mnuPopupMoveLast = !last;
        }
    }

    s.mnuPopupDelete = s.keyRemove;
    s.KeySaveLogAsConversionJob = in.logRows > 2;

    // Opening a job mid-run would mark the old run's results on the new job's rows.
    s.KeyOpen = s.mnuOpenConversionJob = s.mnuMRU = s.keyOpen;

    s.mnuSaveLogAsConversionJob = s.KeySaveLogAsConversionJob;
    s.mnuSaveConversionJob = s.KeySave;
    s.mnuSaveConversionJobAs = s.KeySaveAs;
    s.mnuNewConversionJob = s.keyNew;
    s.mnuBeginConversionJob = s.keyConvert;
    s.mnuAddConversionJob = s.keyAdd;
    s.mnuRemoveConversionJob = s.keyRemove;
    s.mnuUpdateConversionJob = s.keyUpdate;
    s.mnuPause = s.keyPause;
    s.mnuRewindConversionJob = s.keyRewind;

    s.cmdUpdate = s.mnuUpdateConversionJob;
    s.cmdRemove = s.mnuRemoveConversionJob;
    s.cmdAdd = s.mnuAddConversionJob;
    s.cmdPause = s.mnuPause;
    s.editorEnabled = !in.bRunning;
    s.cmdAdvancedPPTOptions = !busy;
    s.mnuLanguage = s.mnuScheduleConversionJob = !in.bRunning;
    return s;
}
