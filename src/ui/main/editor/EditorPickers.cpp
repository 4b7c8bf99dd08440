#include "EditorPickers.h"

#include "PickerFilters.h"
#include "TaskEditor.h"
#include "ui/main/CommandState.h"
#include "ui/main/MainWindowBinding.h"
#include "ui/main/frmMain.h"

#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "common/Pickers.h"
#include "jobs/JobSession.h"
#include "jobs/TypeExtensions.h"
#include "language/Translator.h"
#include "platform/ProcessLauncher.h"
#include "platform/Prompter.h"
#include "platform/ShellOpener.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QToolButton>

namespace {

bool startDetached(const QString &program, const QString &arguments)
{
    ProcessLauncher launcher;
    if (!launcher.start(program, arguments, ProcessLauncher::Normal, 1))
        return false;
    launcher.detach();
    return true;
}

} // namespace

EditorPickers::EditorPickers(frmMain &w) : QObject(&w), startProgram(startDetached), m_w(w)
{
    TaskEditor *ed = m_w.editor;
    const QList<QPair<QToolButton *, void (EditorPickers::*)()>> buttons = {
        {ed->cmdSelectSourceFile, &EditorPickers::cmdSelectSourceFile_Click},
        {ed->cmdSelectTargetFile, &EditorPickers::cmdSelectTargetFile_Click},
        {ed->cmdSelectSourceFileSpecialized, &EditorPickers::cmdSelectSourceFileSpecialized_Click},
        {ed->cmdSelectTargetFileSpecialized, &EditorPickers::cmdSelectTargetFileSpecialized_Click},
        {ed->cmdCommandLineSelectApplication, &EditorPickers::cmdCommandLineSelectApplication_Click},
        {ed->cmdSelectSourceFolder, &EditorPickers::cmdSelectSourceFolder_Click},
        {ed->cmdSelectTargetFolder, &EditorPickers::cmdSelectTargetFolder_Click},
        {ed->cmdSelectSourceFolderSpecialized, &EditorPickers::cmdSelectSourceFolderSpecialized_Click},
        {ed->cmdSelectTargetFolderSpecialized, &EditorPickers::cmdSelectTargetFolderSpecialized_Click},
        {ed->cmdLaunchOriginal, &EditorPickers::cmdLaunchOriginal_Click},
        {ed->cmdLaunchTarget, &EditorPickers::cmdLaunchTarget_Click},
        {ed->cmdLaunchOriginalSpecialized, &EditorPickers::cmdLaunchOriginalSpecialized_Click},
        {ed->cmdLaunchTargetSpecialized, &EditorPickers::cmdLaunchTargetSpecialized_Click},
        {ed->cmdLaunchCommandLine, &EditorPickers::cmdLaunchCommandLine_Click},
    };
    for (const auto &b : buttons)
        connect(b.first, &QToolButton::clicked, this, b.second);
}

void EditorPickers::writeField(QComboBox *field, const QString &text)
{
    field->setEditText(text);
    if (QLineEdit *edit = field->lineEdit())
        emit edit->textEdited(text);
}

void EditorPickers::pickFile(QComboBox *field, const char *title, const QString &filter)
{
    // The boxes are the editor's: no picker while it is locked for a run.
    if (!ComputeWindowCommandState(m_w).editorEnabled)
        return;
    QString start = field->currentText();
    const QString chosen = PickFileInitDir(m_w.session().picker(), Translate(QString::fromLatin1(title)), filter,
                                           lLastFilterIndex, start, Translate(QStringLiteral("save")));
    if (!chosen.isEmpty())
        writeField(field, chosen);
}

QString EditorPickers::pickFolder(QComboBox *field)
{
    if (!ComputeWindowCommandState(m_w).editorEnabled)
        return QString();
    QString start = field->currentText();
    return BrowseForFolder(m_w.session().picker(), start, Translate(QStringLiteral("Browse For Folder")));
}

int EditorPickers::specialProcessOriginalType() const
{
    return TaskEditor::itemCode(m_w.editor->cbFileTypeOriginalSpecialized, -1);
}

void EditorPickers::cmdSelectSourceFile_Click()
{
    lLastFilterIndex = OriginalFilterIndex(TaskEditor::itemCode(m_w.editor->cbFileTypeOriginal, -1), lLastFilterIndex);
    pickFile(m_w.editor->cbOriginalFile, "Select Original", OriginalPickerFilter());
}

void EditorPickers::cmdSelectTargetFile_Click()
{
    lLastFilterIndex = TargetFilterIndex(TaskEditor::itemCode(m_w.editor->cbFileTypeTarget, -1));
    pickFile(m_w.editor->cbTargetFile, "Select Target", TargetPickerFilter());
}

void EditorPickers::cmdSelectSourceFileSpecialized_Click()
{
    lLastFilterIndex = SpecializedFilterIndex(specialProcessOriginalType(), lLastFilterIndex);
    pickFile(m_w.editor->cbOriginalFileSpecialized, "Select Original",
             SpecializedPickerFilter(m_w.editor->selectedSpecialProcessId()));
}

void EditorPickers::cmdSelectTargetFileSpecialized_Click()
{
    lLastFilterIndex = SpecializedFilterIndex(specialProcessOriginalType(), lLastFilterIndex);
    pickFile(m_w.editor->cbTargetFileSpecialized, "Select Target",
             SpecializedPickerFilter(m_w.editor->selectedSpecialProcessId()));
}

void EditorPickers::cmdCommandLineSelectApplication_Click()
{
    pickFile(m_w.editor->cbCommandLine, "Select Program To Launch", ProgramPickerFilter());
}

void EditorPickers::cmdSelectSourceFolder_Click()
{
    const QString folder = pickFolder(m_w.editor->cbOriginalFile);
    if (folder.isEmpty())
        return;
    const QString pattern =
        GetConverterTypeExtension(TaskEditor::itemCode(m_w.editor->cbFileTypeOriginal, -1), true);
    writeField(m_w.editor->cbOriginalFile, JoinFolder(folder, pattern));
}

void EditorPickers::cmdSelectTargetFolder_Click()
{
    const QString folder = pickFolder(m_w.editor->cbTargetFile);
    if (folder.isEmpty())
        return;
    // The Word and from-PDF methods know no pattern of their own: the folder alone.
    const QString pattern = GetTypeExtension(TaskEditor::itemCode(m_w.editor->cbFileTypeTarget, -1), true,
                                             m_w.session().settings.lConversionMethod);
    writeField(m_w.editor->cbTargetFile, JoinFolder(folder, pattern));
}

void EditorPickers::cmdSelectSourceFolderSpecialized_Click()
{
    const QString folder = pickFolder(m_w.editor->cbOriginalFileSpecialized);
    if (!folder.isEmpty())
        writeField(m_w.editor->cbOriginalFileSpecialized, JoinFolder(folder, QString()));
}

void EditorPickers::cmdSelectTargetFolderSpecialized_Click()
{
    const QString folder = pickFolder(m_w.editor->cbTargetFileSpecialized);
    if (!folder.isEmpty())
        writeField(m_w.editor->cbTargetFileSpecialized, JoinFolder(folder, QString()));
}

void EditorPickers::showMissing(const char *message, const QString &path)
{
    m_w.session().prompter()->msgBox(Translate(QString::fromLatin1(message)) + QStringLiteral("\n\n") + path,
                                     Prompter::OkOnly | Prompter::Information, Translate(QStringLiteral("Error")));
}

void EditorPickers::launchPath(QComboBox *field, bool specialized)
{
    const QString p = ExpandPathVariables(field->currentText());
    // Always an absolute local path: the desktop's opener would take a bare name for a web address.
    auto open = [this](const QString &path) {
        if (ShellOpener *opener = m_w.shellOpener())
            opener->open(QFileInfo(path).absoluteFilePath());
    };
    if (bFileExists(p)) {
        open(p);
        return;
    }
    const QString folder = specialized ? p : GetPathFromFileName(p);
    if (specialized ? bFolderExists(folder) : bFolderExistsFSO(folder)) {
        open(folder);
        return;
    }
    showMissing("File/Folder does not exist:", p);
}

void EditorPickers::cmdLaunchOriginal_Click() { launchPath(m_w.editor->cbOriginalFile, false); }

void EditorPickers::cmdLaunchTarget_Click() { launchPath(m_w.editor->cbTargetFile, false); }

void EditorPickers::cmdLaunchOriginalSpecialized_Click() { launchPath(m_w.editor->cbOriginalFileSpecialized, true); }

void EditorPickers::cmdLaunchTargetSpecialized_Click() { launchPath(m_w.editor->cbTargetFileSpecialized, true); }

void EditorPickers::cmdLaunchCommandLine_Click()
{
    const QString p = ExpandPathVariables(m_w.editor->cbCommandLine->currentText());
    if (!bFileExists(p)) {
        showMissing("File does not exist:", p);
        return;
    }
    // The arguments go as typed. A file that is no program is opened by its handler, as the
    // desktop would; a failure to start is not reported.
    const QString path = QFileInfo(p).absoluteFilePath();
    if (QFileInfo(p).isExecutable()) {
        if (startProgram)
            startProgram(path, m_w.editor->cbCommandLineArguments->currentText());
    } else if (ShellOpener *opener = m_w.shellOpener()) {
        opener->open(path);
    }
}
