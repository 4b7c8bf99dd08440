#pragma once
// The task editor and the task grid exchanging a task: entering a row loads its cells into the
// editor, Update validates the editor and writes it back into the current row, Add appends it
// before the "*" row and Remove deletes the current row and renumbers the rest. It serves the
// engine's editor hooks and installs the window's Remove and the row-leave check of the grid's view.
#include "ChoiceLists.h"
#include "EditorExchangeRules.h"

#include "jobs/EngineHooks.h"
#include "jobs/ValidationReports.h"

#include <QObject>
#include <QPair>

class EditorFieldHandlers;
class FlexGrid;
class JobSession;
class QComboBox;
class TaskEditor;
class frmMain;

class EditorExchange : public QObject, public ValidationEditor, public EditorHooks
{
    Q_OBJECT
public:
    explicit EditorExchange(frmMain &w);

    EditorFieldHandlers &handlers() const { return *m_handlers; }

    // The editor's controls as values, and the record they make (the target box is first put
    // in the original's folder when "save in original folder" is checked).
    EditorFields editorFields() const;
    void GetOptionsFromGUI(clsConversionOptions &options);

    void ConversionJobUpdate() override;
    void UpdateGridFromGUI_ConversionItem();
    void UpdateGridFromGUI_SpecializedItem();
    // The slide summary goes to the status bar unless bShowSlideSummary is false.
    void UpdateGUI_ConversionItemViaCellContents(bool bShowSlideSummary = true);
    void UpdateGUI_SpecializedToDOItemViaCellContents();
    bool bNotOnLastUninitializedRecord() const;

    bool AddFileToConvertGUI() override;
    void RemoveActionItem();

    // Grid events: a row entered, the check before a row is left (false keeps the row), a
    // double click, a row of the log entered.
    void fgToDo_EnterCell();
    // After a run, an Open or a New: the editor shows the current task row (the "*" row and an
    // empty grid leave it as it is); the status bar is left alone.
    void LoadEditorFromCurrentRow() override;
    bool fgToDo_LeaveCell(int toRow);
    void fgToDo_DblClick();
    void fgLog_EnterCell();

    // ValidationEditor.
    void focusBox(Box box) override;
    void setTargetFileText(const QString &text) override;

private:
    JobSession &session() const;
    TaskEditor &editor() const;
    void writeCurrentRow(const QStringList &cells);
    void loadCurrentRow(bool bShowSlideSummary);
    void fillTargetList(TargetTypeList list);

    frmMain &m_w;
    EditorFieldHandlers *m_handlers = nullptr;
    TargetTypeList m_targetList = TargetTypeList::Standard;
    // Each target list as first built, by TargetTypeList: the texts change only with the
    // language, that is at a restart. The Word list also holds the user's types from the
    // settings file and is built again when that file changed since it was read (its
    // modification time and size as they were then).
    ChoiceList m_targetLists[3];
    QString m_wordTypesStamp{QStringLiteral("-")}; // never a file's stamp: the first fill reads
};

// Deletes task row lJob and numbers the tasks 1 .. Rows-2 again; the "*" row keeps its "*".
void RemoveAllFilesWithJobNumber(FlexGrid &grid, int lJob);
