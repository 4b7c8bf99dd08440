#include "EditorPanelRules.h"

#include "jobs/clsConversionOptions.h"

bool bIsWildcardOriginal(const QString &sOriginal) { return sOriginal.contains(u'*'); }

bool bDoSubfoldersInEffect(const QString &sOriginal, bool bChecked)
{
    return bChecked && bIsWildcardOriginal(sOriginal);
}

void ApplySaveToOriginalRule(EditorPanelState &s)
{
    s.frameTargetFileVisible = !s.saveToOriginalChecked;
    s.targetSpecFieldsVisible = !s.saveToOriginalSpecChecked;
}

void ApplyConversionWildcardRule(EditorPanelState &s, const QString &sOriginalFile)
{
    const bool wild = bIsWildcardOriginal(sOriginalFile);
    s.saveToOriginalVisible = wild;
    if (!wild)
        s.saveToOriginalChecked = false;
    s.doSubfoldersVisible = wild;
    s.selectTargetFileVisible = !wild;
    ApplySaveToOriginalRule(s);
}

void RefreshFileFolderConcatenateRules(EditorPanelState &s, const QString &sOriginalFileSpecialized)
{
    // Appending always writes one target file: no folder target, no per-folder saving.
    s.saveToOriginalSpecVisible = false;
    s.saveToOriginalSpecChecked = false;
    s.doSubfoldersSpecVisible = bIsWildcardOriginal(sOriginalFileSpecialized);
    s.selectSourceFileSpecVisible = true;
    s.selectTargetFileSpecVisible = true;
    s.selectTargetFolderSpecVisible = false;
    ApplySaveToOriginalRule(s);
}

void RefreshFileFolderStandardRules(EditorPanelState &s, const QString &sOriginalFileSpecialized)
{
    const bool wild = bIsWildcardOriginal(sOriginalFileSpecialized);
    s.saveToOriginalSpecVisible = wild;
    if (!wild)
        s.saveToOriginalSpecChecked = false;
    s.doSubfoldersSpecVisible = wild;
    s.selectTargetFileSpecVisible = !wild;
    ApplySaveToOriginalRule(s);
}

void RefreshFileFolderSpecializedRules(EditorPanelState &s, const QString &sOriginalFileSpecialized,
                                       int lSpecialProcessId)
{
    s.selectSourceFolderSpecVisible = true;
    s.selectTargetFolderSpecVisible = true;
    switch (lSpecialProcessId) {
    case spAppendFiles:
        RefreshFileFolderConcatenateRules(s, sOriginalFileSpecialized);
        break;
    case spRemoveEmptyLines:
    case spSearchAndReplace:
    case spLaunchProgram:
        RefreshFileFolderStandardRules(s, sOriginalFileSpecialized);
        break;
    default:
        break;
    }
    ApplySaveToOriginalRule(s);
}

void RefreshConvertOptionsRules(EditorPanelState &s, const QString &sOriginalFile,
                                const QString &sOriginalFileSpecialized, const QString &sActionToDo,
                                int lSpecialProcessId)
{
    ApplyConversionWildcardRule(s, sOriginalFile);
    // The special panel by its original first, whatever the process; then the process's own
    // arrangement, which ends with the target rule (no check mark changes after it).
    RefreshFileFolderStandardRules(s, sOriginalFileSpecialized);
    RefreshFileFolderSpecializedRules(s, sOriginalFileSpecialized, lSpecialProcessId);

    if (sActionToDo.contains(u'C')) {
        s.actionIndex = 0;
        s.specialPanelVisible = false;
    } else if (sActionToDo.contains(u'S')) {
        s.actionIndex = 1;
        s.specialPanelVisible = true;
    }

    switch (lSpecialProcessId) {
    case spAppendFiles:
    case spRemoveEmptyLines:
        s.commandLineFrameVisible = false;
        s.searchReplaceFrameVisible = false;
        break;
    case spSearchAndReplace:
        s.commandLineFrameVisible = false;
        s.searchReplaceFrameVisible = true;
        break;
    case spLaunchProgram:
        s.commandLineFrameVisible = true;
        break;
    default:
        break;
    }
}

QList<EditorPanelState> FullestPanelStates()
{
    // Every optional row shown, every target field and picker too; no box checked, so that
    // nothing checked hides a frame.
    EditorPanelState all;
    all.saveToOriginalVisible = all.doSubfoldersVisible = true;
    all.saveToOriginalSpecVisible = all.doSubfoldersSpecVisible = true;
    EditorPanelState conversion = all;
    EditorPanelState special = all;
    special.actionIndex = 1;
    special.specialPanelVisible = true;
    special.searchReplaceFrameVisible = true;
    EditorPanelState launch = special;
    launch.commandLineFrameVisible = true;
    return {conversion, special, launch};
}
