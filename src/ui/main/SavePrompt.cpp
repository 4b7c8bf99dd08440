#include "SavePrompt.h"

#include "common/Globals.h"
#include "jobs/JobSession.h"
#include "language/Translator.h"
#include "platform/Prompter.h"

bool bAskToSaveBeforeErasing(bool bCommandLineMode, bool bChanged, int toDoRows,
                             const QString &sCurrentJobFileName)
{
    if (bCommandLineMode || !bChanged)
        return false;
    const bool named = !sCurrentJobFileName.isEmpty() && sCurrentJobFileName != QStringLiteral("*");
    return toDoRows - 2 >= 2 || named;
}

bool CheckToSaveFileBeforeErasing(JobSession &session)
{
    if (!bAskToSaveBeforeErasing(gbCommandLineMode, session.bAskToSaveQVJFileBeforeExit, session.fgToDo.rows(),
                                 session.sCurrentJobFileName))
        return true;
    // No drops the job, so it must be chosen: Esc and the box's close button answer Cancel,
    // which keeps the job and abandons the command (as Yes/No alone, Qt would take them for No).
    const int answer = session.prompter()->msgBox(Translate(QStringLiteral("Save Conversion Job")) + QStringLiteral("?"),
                                                  Prompter::YesNoCancel, Translate(QStringLiteral("Save")));
    if (answer == Prompter::No)
        return true;
    if (answer != Prompter::Yes)
        return false;
    // The job is dropped only when it is safe on disk: a cancelled or failed save keeps it.
    return session.ConversionJobSave();
}
