#pragma once
// What moves between the task editor and a task row, as pure rules over texts and codes: the
// editor's fields as one value (EditorFields), the task record they make, the cells the update
// road writes, what the row loaders read from a row, the slide summary, and the small text
// edits of the editor's boxes. The window gathers its controls into EditorFields and applies
// what comes back; nothing here touches a widget.
#include "jobs/clsConversionOptions.h"

#include <QString>
#include <QStringList>

#include <optional>

struct ConversionSettings;

// The task editor's controls as values. Item codes are the item data of the chosen entry
// (kTypeNotGiven, or the list's default code, when no entry is chosen).
struct EditorFields
{
    bool bConvert = true; // rbActionToDo(0) chosen
    // Conversion panel.
    QString sOriginalFile;
    int lOriginalFileType = kTypeNotGiven;
    QString sTargetFile;
    int lTargetFileType = kTypeNotGiven;
    bool bDoSubfolders = false;
    bool bSaveToOriginalFolder = false;
    // Special-process panel.
    int lSpecialProcess = 0;
    QString sOriginalFileSpecialized;
    int lOriginalFileTypeSpecialized = kTypeNotGiven;
    QString sTargetFileSpecialized;
    bool bDoSubfoldersSpecialized = false;
    bool bSaveToOriginalFolderSpecialized = false;
    QString sFindString;
    QString sReplacementString;
    bool bCaseSensitive = false;
    QString sCommandLine;
    QString sCommandLineArguments;
    int lCommandLineThreadPriority = 32;
    int lCommandLineWindowState = 1;
    QString sCommandLineWaitTime;
};

// The target box a checked "save in original folder" box puts in place before the task is read:
// the original's folder and the wildcard extension. The conversion panel takes the extension
// under the window's method; the special panel (not for a launch) under the text processes'
// table, since its types are text types. nullopt when the box is not checked.
std::optional<QString> TargetBoxInOriginalFolder(const EditorFields &f, const ConversionSettings &settings);

// The record of the editor's task, as validation and the add road take it. A conversion gets
// method 2 and the window's slide settings; a special process method 4 and the fields of its id.
// A sub-folders box counts only where it is in effect (a wildcard original), as on the update road.
clsConversionOptions OptionsFromEditorFields(const EditorFields &f, const ConversionSettings &settings);

// Cells 0..8 that the update road writes into the current row (cell 1, the task number, is left
// empty: the caller never writes it). A special-process update uses method 4.
QStringList UpdateRowCells(const EditorFields &f, const ConversionSettings &settings);

// What the conversion loader reads from a row. A number that does not parse gives nullopt: the
// editor keeps that field.
struct ConversionRowFields
{
    bool bDoSubfolders = false;
    bool bSaveInOriginalFolder = false;
    int lConversionMethod = cmAmbrith;
    bool bCreateFileForEachSlide = false;
    bool bConvertAllSlides = false;
    std::optional<int> lFromSlide;
    std::optional<int> lToSlide;
    QString sOriginalFile;
    std::optional<int> lOriginalFileType;
    QString sTargetFile;
    std::optional<int> lTargetFileType;
};
ConversionRowFields ReadConversionRowFields(const QStringList &cells);

// What the special-process loader reads from a row; nullopt where the row gives nothing usable.
struct SpecializedRowFields
{
    bool bDoSubfolders = false;
    bool bCaseSensitive = false;
    bool bSaveInOriginalFolder = false;
    std::optional<QString> sFindString;
    std::optional<QString> sReplacementString;
    std::optional<int> lOriginalFileType;
    std::optional<int> lSpecialProcess;
    QString sOriginal; // cell 3: the original, or the program of a launch
    QString sTarget;   // cell 6: the target, or the arguments of a launch
    std::optional<int> lCommandLineThreadPriority;
    std::optional<int> lCommandLineWindowState;
    std::optional<QString> sCommandLineWaitTime;
};
SpecializedRowFields ReadSpecializedRowFields(const QStringList &cells);

// The slide summary of status panel 8 (translated pieces).
QString SlideSummaryText(bool bConvertAllSlides, int lFromSlide, int lToSlide, bool bCreateFileForEachSlide);

// The target list a conversion method needs.
enum class TargetTypeList { Standard, MSWord, FromPDF };
TargetTypeList TargetTypeListForMethod(int lConversionMethod);

// A character code appended to a search text in the special processes' marker form: "©9©".
QString WithCharacterCode(const QString &text, int code);
