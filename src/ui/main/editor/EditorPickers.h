#pragma once
// The picker and launch buttons of the task editor: file pickers with the fixed filters and one
// shared filter index, folder pickers that leave a folder (and the type's pattern) in the path
// field, and launchers that open what a path names with the desktop's handler or start the
// launch task's program with its arguments. A path written by a picker counts as typed: the
// field's textEdited fires, so the editor's own field rules follow.
#include <QObject>
#include <QString>

#include <functional>

class QComboBox;
class frmMain;

class EditorPickers : public QObject
{
    Q_OBJECT
public:
    explicit EditorPickers(frmMain &w);

    // The entry the next file picker preselects; the dialog writes the user's choice back.
    int lLastFilterIndex = 0;
    // Starts a program with its argument text, detached; true when it started. Tests inject theirs.
    std::function<bool(const QString &program, const QString &arguments)> startProgram;

    void cmdSelectSourceFile_Click();
    void cmdSelectTargetFile_Click();
    void cmdSelectSourceFileSpecialized_Click();
    void cmdSelectTargetFileSpecialized_Click();
    void cmdCommandLineSelectApplication_Click();
    void cmdSelectSourceFolder_Click();
    void cmdSelectTargetFolder_Click();
    void cmdSelectSourceFolderSpecialized_Click();
    void cmdSelectTargetFolderSpecialized_Click();
    void cmdLaunchOriginal_Click();
    void cmdLaunchTarget_Click();
    void cmdLaunchOriginalSpecialized_Click();
    void cmdLaunchTargetSpecialized_Click();
    void cmdLaunchCommandLine_Click();

private:
    void pickFile(QComboBox *field, const char *title, const QString &filter);
    // The folder the browser returned, or "" when cancelled.
    QString pickFolder(QComboBox *field);
    void writeField(QComboBox *field, const QString &text);
    // Conversion panel: a missing file opens its folder (a wildcard path's too). Special panel:
    // the path must name a file or a folder itself.
    void launchPath(QComboBox *field, bool specialized);
    void showMissing(const char *message, const QString &path);
    int specialProcessOriginalType() const;

    frmMain &m_w;
};
