#include "EditorFieldHandlers.h"

#include "EditorExchange.h"
#include "EditorExchangeRules.h"
#include "ui/main/SessionController.h"
#include "TaskEditor.h"
#include "ui/main/CommandState.h"
#include "ui/main/MainWindowBinding.h"
#include "ui/main/frmMain.h"

#include "common/Globals.h"
#include "common/PathUtils.h"
#include "converter/TypeCatalogue.h"
#include "jobs/JobSession.h"
#include "ui/support/AccessibleChoices.h"
#include "ui/support/DropDownComboBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

EditorFieldHandlers::EditorFieldHandlers(frmMain &w, EditorExchange &exchange)
    : QObject(&exchange), m_w(w), m_exchange(exchange)
{
    connectHandlers();
}

void EditorFieldHandlers::connectHandlers()
{
    TaskEditor &ed = *m_w.editor;
    // An editable list changes by typing (textEdited) or by a pick from its list (activated).
    auto onChange = [this](QComboBox *cb, void (EditorFieldHandlers::*handler)()) {
        connect(cb->lineEdit(), &QLineEdit::textEdited, this, handler);
        connect(cb, &QComboBox::activated, this, handler);
    };
    onChange(ed.cbOriginalFile, &EditorFieldHandlers::cbOriginalFile_Change);
    onChange(ed.cbOriginalFileSpecialized, &EditorFieldHandlers::cbOriginalFileSpecialized_Change);
    onChange(ed.cbTargetFile, &EditorFieldHandlers::cbTargetFile_Change);
    onChange(ed.cbTargetFileSpecialized, &EditorFieldHandlers::cbTargetFileSpecialized_Change);
    onChange(ed.cbCommandLine, &EditorFieldHandlers::cbCommandLine_Change);
    for (QComboBox *cb : {ed.cbCommandLineArguments, ed.cbFindString, ed.cbReplacementString})
        onChange(cb, &EditorFieldHandlers::ItemDirty);
    connect(ed.txtCommandLineWaitTimeInSeconds, &QLineEdit::textEdited, this, &EditorFieldHandlers::ItemDirty);
    for (QComboBox *cb : {ed.cbCommandLineWindowState, ed.cbCommandLineThreadPriority})
        connect(cb, &QComboBox::activated, this, &EditorFieldHandlers::ItemDirty);
    for (QCheckBox *cb : {ed.cbCaseSensitive, ed.cbDoSubfolders, ed.cbDoSubfoldersSpecialized})
        connect(cb, &QCheckBox::clicked, this, &EditorFieldHandlers::ItemDirty);
    for (QComboBox *cb : {ed.cbFileTypeOriginal, ed.cbFileTypeOriginalSpecialized})
        connect(cb, &QComboBox::activated, this, [this, cb] {
            if (cb->count() > 0)
                ItemDirty();
        });
    connect(ed.cbFileTypeTarget, &QComboBox::activated, this, &EditorFieldHandlers::cbFileTypeTarget_Click);
    connect(ed.cbCharacter1, &QComboBox::activated, this, &EditorFieldHandlers::cbCharacter1_Click);
    connect(ed.cbCharacter2, &QComboBox::activated, this, &EditorFieldHandlers::cbCharacter2_Click);
    connect(ed.cbSaveToOriginalFolder, &QCheckBox::clicked, this, &EditorFieldHandlers::cbSaveToOriginalFolder_Click);
    connect(ed.cbSaveToOriginalFolderSpecialized, &QCheckBox::clicked, this,
            &EditorFieldHandlers::cbSaveToOriginalFolderSpecialized_Click);
    connect(ed.cbSpecialProcesses, &QComboBox::activated, this, &EditorFieldHandlers::cbSpecialProcesses_Click);
    for (int i = 0; i < 2; ++i)
        connect(ed.rbActionToDo[i], &QRadioButton::clicked, this, [this, i] { rbActionToDo_Click(i); });
    connect(ed.rbUseMSWordConversion, &QRadioButton::clicked, this, [this] { rbConversionMethod_Click(cmMSWord); });
    connect(ed.rbUseAmbrithConversion, &QRadioButton::clicked, this, [this] { rbConversionMethod_Click(cmAmbrith); });
    connect(ed.rbUsePDFConversion, &QRadioButton::clicked, this, [this] { rbConversionMethod_Click(cmFromPDF); });
    connect(ed.cmdAdvancedPPTOptions, &QPushButton::clicked, this, &EditorFieldHandlers::cmdAdvancedPPTOptions_Click);

    // Dropping a path or text list down counts as a change of the box.
    auto onDropDown = [this](QComboBox *cb, void (EditorFieldHandlers::*handler)()) {
        auto *box = qobject_cast<DropDownComboBox *>(cb);
        Q_ASSERT(box);
        connect(box, &DropDownComboBox::dropDown, this, handler);
    };
    onDropDown(ed.cbOriginalFile, &EditorFieldHandlers::ItemDirty);
    onDropDown(ed.cbTargetFile, &EditorFieldHandlers::ItemDirty);
    onDropDown(ed.cbFindString, &EditorFieldHandlers::ItemDirty);
    onDropDown(ed.cbCommandLine, &EditorFieldHandlers::cbCommandLine_Change);
    onDropDown(ed.cbOriginalFileSpecialized, &EditorFieldHandlers::cbOriginalFileSpecialized_Change);
    onDropDown(ed.cbTargetFileSpecialized, &EditorFieldHandlers::cbTargetFileSpecialized_Change);

    // The buttons whose clicks have handlers: a screen reader's toggle is such a click.
    for (QAbstractButton *b : std::initializer_list<QAbstractButton *>{
             ed.rbActionToDo[0], ed.rbActionToDo[1], ed.rbUseMSWordConversion, ed.rbUseAmbrithConversion,
             ed.rbUsePDFConversion, ed.cbCaseSensitive, ed.cbDoSubfolders, ed.cbDoSubfoldersSpecialized,
             ed.cbSaveToOriginalFolder, ed.cbSaveToOriginalFolderSpecialized})
        MakeAccessibleToggleClick(b);
}

void EditorFieldHandlers::ItemDirty()
{
    if (gbSuppressEvents)
        return;
    m_w.session().markTaskDirty();
}

void EditorFieldHandlers::stripQuotes(QComboBox *cb)
{
    QLineEdit *edit = cb->lineEdit();
    const QString text = edit->text();
    if (!text.contains(u'"'))
        return;
    // The cursor keeps its place in the text: it moves back by the quotes before it.
    const int cursor = edit->cursorPosition();
    const int kept = cursor - static_cast<int>(text.left(cursor).count(u'"'));
    edit->setText(RemoveQuotes(text));
    edit->setCursorPosition(kept);
}

void EditorFieldHandlers::cbOriginalFile_Change()
{
    if (gbSuppressEvents)
        return;
    stripQuotes(m_w.editor->cbOriginalFile);
    m_w.editor->RefreshConversionWildcard();
    ItemDirty();
}

void EditorFieldHandlers::cbOriginalFileSpecialized_Change()
{
    if (gbSuppressEvents)
        return;
    stripQuotes(m_w.editor->cbOriginalFileSpecialized);
    m_w.editor->RefreshFileFolderGUISpecialized();
    ItemDirty();
}

void EditorFieldHandlers::cbTargetFile_Change()
{
    if (gbSuppressEvents)
        return;
    stripQuotes(m_w.editor->cbTargetFile);
    ItemDirty();
}

void EditorFieldHandlers::cbTargetFileSpecialized_Change()
{
    if (gbSuppressEvents)
        return;
    stripQuotes(m_w.editor->cbTargetFileSpecialized);
    ItemDirty();
}

void EditorFieldHandlers::cbCommandLine_Change()
{
    if (gbSuppressEvents)
        return;
    stripQuotes(m_w.editor->cbCommandLine);
    ItemDirty();
}

void EditorFieldHandlers::cbFileTypeTarget_Click()
{
    if (gbSuppressEvents || m_w.editor->cbFileTypeTarget->count() == 0)
        return;
    m_w.editor->cmdAdvancedPPTOptions->show();
    ItemDirty();
}

void EditorFieldHandlers::cbSaveToOriginalFolder_Click()
{
    // The target frame follows the box in TaskEditor, whoever changes it.
    ItemDirty();
}

void EditorFieldHandlers::cbSaveToOriginalFolderSpecialized_Click()
{
    // The target fields follow the box in TaskEditor, whoever changes it.
    ItemDirty();
}

void EditorFieldHandlers::cbSpecialProcesses_Click()
{
    if (gbSuppressEvents)
        return;
    TaskEditor &ed = *m_w.editor;
    // "Not listed" is no process: back to the first one, as if the user had chosen it.
    if (ed.selectedSpecialProcessId() == -1)
        ed.cbSpecialProcesses->setCurrentIndex(0);
    m_w.RefreshConvertOptionsGUI();
    ItemDirty();
}

void EditorFieldHandlers::insertCharacterCode(QComboBox *list, QComboBox *text)
{
    const int code = list->currentIndex();
    if (code <= 0)
        return;
    text->setEditText(WithCharacterCode(text->currentText(), code));
    list->setCurrentIndex(0);
    // The search text changed as if typed.
    ItemDirty();
}

void EditorFieldHandlers::cbCharacter1_Click()
{
    insertCharacterCode(m_w.editor->cbCharacter1, m_w.editor->cbFindString);
}

void EditorFieldHandlers::cbCharacter2_Click()
{
    insertCharacterCode(m_w.editor->cbCharacter2, m_w.editor->cbReplacementString);
}

void EditorFieldHandlers::rbActionToDo_Click(int index)
{
    if (gbSuppressEvents)
        return;
    m_w.session().settings.sActionToDo = index == 0 ? QStringLiteral("C") : QStringLiteral("S");
    m_w.RefreshConvertOptionsGUI();
    ItemDirty();
}

void EditorFieldHandlers::rbConversionMethod_Click(int lConversionMethod)
{
    if (gbSuppressEvents)
        return;
    m_w.session().settings.lConversionMethod = lConversionMethod;
    m_w.RefreshConvertOptionsGUI();
    ItemDirty();
}

void EditorFieldHandlers::cmdAdvancedPPTOptions_Click()
{
    // Every road to the dialog (its button, a double click on a task) ends here: never while a
    // run or a schedule owns the settings and the rows.
    if (!m_w.showAdvancedOptionsDialog || !ComputeWindowCommandState(m_w).cmdAdvancedPPTOptions)
        return;
    // No chosen type (-1) names no type of the catalogue.
    const bool applied = m_w.showAdvancedOptionsDialog(
        TypeCatalogue::supportsSingleFileOutput(TaskEditor::itemCode(m_w.editor->cbFileTypeTarget, -1)));
    m_w.editor->cmdAdvancedPPTOptions->setFocus();
    // The changed options reach the selected task at once; never under a run, whose rows
    // belong to the run.
    if (applied && !m_w.controller()->runGoingOn())
        m_exchange.ConversionJobUpdate();
}
