#include "RecentLists.h"

#include "SessionController.h"
#include "ui/main/editor/TaskEditor.h"
#include "frmMain.h"

#include "common/FileUtils.h"
#include "common/Globals.h"
#include "common/clsMRU.h"
#include "jobs/JobSession.h"
#include "language/Translator.h"
#include "platform/Prompter.h"
#include "ui/support/MruWidgets.h"

#include <QComboBox>
#include <QScopedValueRollback>

void RefillComboKeepingText(QComboBox *cbo, const clsMRU &mru)
{
    const QString text = cbo->currentText();
    FillComboFromMRU(cbo, mru);
    if (cbo->currentText() == text)
        return;
    const QScopedValueRollback<bool> suppress(gbSuppressEvents, true);
    if (text.isEmpty())
        cbo->setCurrentIndex(-1);
    cbo->setEditText(text);
}

void UpdateMRUs(frmMain &w)
{
    // The lists are set up only for the window's own use, never in a command-line run.
    if (gbCommandLineMode)
        return;
    TaskEditor &ed = *w.editor;
    auto remember = [](QComboBox *cbo, clsMRU &mru) {
        mru.AddUniqueItemToCollection(cbo->currentText());
        RefillComboKeepingText(cbo, mru);
    };
    const QString action = w.session().settings.sActionToDo;
    if (action == QLatin1String("S")) {
        remember(ed.cbOriginalFileSpecialized, w.mruSourceSpecialized);
        remember(ed.cbTargetFileSpecialized, w.mruTargetSpecialized);
        remember(ed.cbCommandLine, w.mruCommandLine);
        remember(ed.cbCommandLineArguments, w.mruCommandLineArguments);
        remember(ed.cbFindString, w.mruFindString);
        if (!ed.cbReplacementString->currentText().isEmpty())
            remember(ed.cbReplacementString, w.mruReplaceString);
    } else if (action == QLatin1String("C")) {
        remember(ed.cbOriginalFile, w.mruSource);
        remember(ed.cbTargetFile, w.mruTarget);
    }
}

bool OpenRecentJob(frmMain &w, int Index)
{
    if (Index < 1 || Index > w.mruFileOpen.Count())
        return false;
    const QString file = w.mruFileOpen.Newest(Index);
    if (!bFileExists(file)) {
        w.session().prompter()->msgBox(file + QStringLiteral(" ") + Translate(QStringLiteral("does not exist.")),
                                       Prompter::OkOnly);
        return false;
    }
    return w.controller()->openJob(file);
}
