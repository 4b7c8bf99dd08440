#pragma once
// The program's own rules around the file dialogs and the folder browser: open or save is
// decided by the dialog title, the start folder comes from whatever the user last typed.
#include <QString>
#include <QStringList>

class FilePicker;

// Turns a "desc|*.A;*.B|desc2|*.C|" filter into Qt name filters, one per pair:
// "desc (*.A *.a *.B *.b)". Extension patterns match in either letter case, as the program
// treats them; "*.*" becomes "*" (every file, also one without extension).
QStringList QtNameFilters(const QString &sFilter);

// Shows the open dialog, or the save dialog when the title contains sSaveWord (the caller
// passes Translate("save")) in any letter case. Returns the chosen file, "" when cancelled or
// when no picker is available; lFilterIndex (from 1) receives the chosen filter on success.
QString PickFile(FilePicker *picker, const QString &sTitle, const QString &sFilter,
                 int &lFilterIndex, const QString &sSaveWord = QStringLiteral("save"));

// As PickFile, starting in the folder of sStartPath, or in its nearest existing ancestor when
// that folder does not exist; sStartPath receives the folder the dialog started in ("" when
// none could be derived).
QString PickFileInitDir(FilePicker *picker, const QString &sTitle, const QString &sFilter,
                        int &lFilterIndex, QString &sStartPath,
                        const QString &sSaveWord = QStringLiteral("save"));

// Shows the folder browser with sStartPath preselected: placeholders expanded and every "*"
// turned into "A", so that a wildcard pattern becomes an ordinary path (sStartPath receives
// that text). Returns the chosen folder without a trailing "/" (the root stays "/"), "" when
// cancelled. sTitle is the caller's Translate("Browse For Folder").
QString BrowseForFolder(FilePicker *picker, QString &sStartPath,
                        const QString &sTitle = QStringLiteral("Browse For Folder"));
