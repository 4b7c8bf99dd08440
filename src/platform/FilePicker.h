#pragma once
// Open/save file dialogs and the folder browser, behind an interface so that tests and
// unattended runs never wait on a dialog.
#include <QString>

class FilePicker
{
public:
    virtual ~FilePicker() = default;
    // filter in the "desc|*.A;*.B|desc2|*.C" form; filterIndex counts from 1.
    // Returns the chosen path, or "" when cancelled (filterIndex is then left unchanged).
    virtual QString pickFile(const QString &title, const QString &filter, int &filterIndex,
                             const QString &initDir, bool save) = 0;
    // Returns the chosen folder without a trailing "/" (the root stays "/"), or "".
    virtual QString browseForFolder(const QString &title, const QString &startPath) = 0;
};
