#pragma once
// Which editor controls are shown, as a pure rule over the editor's texts and choices. The
// window reads its controls into an EditorPanelState, applies the rule and writes the state
// back, so the rule can be tested without widgets. Fields the rule leaves alone keep the value
// the window read.
#include <QList>
#include <QString>

struct EditorPanelState
{
    // Conversion panel.
    bool saveToOriginalVisible = false;
    bool saveToOriginalChecked = false;
    bool doSubfoldersVisible = false;
    bool selectTargetFileVisible = true;
    bool frameTargetFileVisible = true;
    // Special-process panel.
    bool saveToOriginalSpecVisible = false;
    bool saveToOriginalSpecChecked = false;
    bool doSubfoldersSpecVisible = false;
    bool selectSourceFileSpecVisible = true;
    bool selectSourceFolderSpecVisible = true;
    bool selectTargetFileSpecVisible = true;
    bool selectTargetFolderSpecVisible = true;
    // The target fields of the special panel other than its save-in-original box.
    bool targetSpecFieldsVisible = true;
    // 0 Convert, 1 Special process.
    int actionIndex = 0;
    bool specialPanelVisible = false;
    bool commandLineFrameVisible = false;
    bool searchReplaceFrameVisible = false;
};

// A folder wildcard: the original names a pattern, not a file.
bool bIsWildcardOriginal(const QString &sOriginal);

// The whole editor refresh: both panels by their original texts, the special panel's pickers
// for the chosen process, the panel by the action ("C" first, then "S"; neither leaves it),
// and the frames of the special process (ids outside 50..60 leave them).
void RefreshConvertOptionsRules(EditorPanelState &s, const QString &sOriginalFile,
                                const QString &sOriginalFileSpecialized, const QString &sActionToDo,
                                int lSpecialProcessId);

// The special panel's pickers for the chosen process alone (the refresh of its original box).
void RefreshFileFolderSpecializedRules(EditorPanelState &s, const QString &sOriginalFileSpecialized,
                                       int lSpecialProcessId);

// The conversion panel by its original: a folder wildcard offers the save-in-original and
// sub-folder boxes and has no target-file picker; a single file the other way round (its
// save-in-original box unchecked, the sub-folder box keeping its mark).
void ApplyConversionWildcardRule(EditorPanelState &s, const QString &sOriginalFile);

// The two arrangements of the special panel's pickers: appending (the target is always one
// file) and the processes that read a file or a folder.
void RefreshFileFolderConcatenateRules(EditorPanelState &s, const QString &sOriginalFileSpecialized);
void RefreshFileFolderStandardRules(EditorPanelState &s, const QString &sOriginalFileSpecialized);

// The target frames follow their save-in-original boxes, whoever changed them: hidden exactly
// while the box is checked.
void ApplySaveToOriginalRule(EditorPanelState &s);

// What a sub-folders box means for a task: only a wildcard original has sub-folders, so a box
// that the editor hides (no "*") never counts, whatever its check mark.
bool bDoSubfoldersInEffect(const QString &sOriginal, bool bChecked);

// The arrangements in which each panel takes the most room: the conversion panel, the special
// panel with its file frames and the search-and-replace frame, and the launch frame, each
// with every optional row shown. The window is never smaller than the largest needs.
QList<EditorPanelState> FullestPanelStates();
