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
    const int answer = session.prompter()->msgBox(Translate(QStringLiteral("Save Conversion Job")) + QStringLiteral("?"),
                                                  Prompter::YesNo, Translate(QStringLiteral("Save")));
    if (answer == Prompter::No)
        return true;
    if (answer != Prompter::Yes)
        return false;
    // The job is dropped only when it is safe on disk: a cancelled or failed save keeps it.
    return session.ConversionJobSave();
}
