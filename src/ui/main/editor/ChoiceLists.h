#pragma once
// The fixed choices of the task editor's drop-down lists, as data: each entry's text (already
// translated where the list is translated) and its item data, the code that task rows and
// settings store, and the entry a fresh fill selects. The window copies them into its combo
// boxes; nothing here touches a widget or starts the office worker.
#include <QList>
#include <QString>

#include <functional>

struct ChoiceItem
{
    QString text;
    int itemData = 0;
    bool operator==(const ChoiceItem &o) const { return text == o.text && itemData == o.itemData; }
};

struct ChoiceList
{
    QList<ChoiceItem> items;
    int selected = 0; // the entry a fresh fill selects
};

// cbCharacter1, cbCharacter2: "ASCII Char", then the codes 1-255 (names for the control
// characters, the Windows-1252 character itself above 32). Never translated; the item data is
// the code (entry 0: 0).
ChoiceList CharacterSelectionChoices();
// cbCommandLineWindowState: item data is the show-window code of a launched program.
ChoiceList CommandLineWindowStateChoices();
// cbCommandLineThreadPriority: item data is the priority class of a launched program.
ChoiceList CommandLineThreadPriorityChoices();
// cbSpecialProcesses: item data is the special process id (-1 for "not listed").
ChoiceList SpecialProcessesChoices();
// cbFileTypeTarget for a task that converts from PDF.
ChoiceList FileTypeChoicesPDFX();
// cbFileTypeOriginalSpecialized.
ChoiceList FileTypeChoicesSpecialized();
// cbFileTypeOriginal (bForSaving false) or cbFileTypeTarget (true), the latter from the
// conversion control's static type catalogue.
ChoiceList FileTypeChoices(bool bForSaving);
// The target list built from any source of save-as types: count, and entry i (0-based) that
// answers false when the type is not available.
using SaveAsTypeEntry = std::function<bool(int index, QString &description, int &code)>;
ChoiceList FileTypeChoices(int typeCount, const SaveAsTypeEntry &typeEntry);
// cbFileTypeTarget for a task of the MS Word method, followed by the user's own types from the
// settings file.
ChoiceList FileTypeChoicesMSWord(const QString &iniPath);
// The user's own MS Word types: sections [WordConvertType] Count and [WordConvertType1..n]
// Constant / sDescription. A count that is not a whole number adds nothing, a count above 1000
// is taken as 1000, and an entry whose constant is not a 32-bit whole number is left out.
QList<ChoiceItem> AdditionalFilesConversionTypes(const QString &iniPath);

// "[code] " with the code padded to three digits ("[007] "), as the target list shows it.
QString PaddedTypeCode(int code);
