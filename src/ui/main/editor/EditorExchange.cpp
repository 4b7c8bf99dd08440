#include "EditorExchange.h"

#include "EditorFieldHandlers.h"
#include "ui/main/JobGridView.h"
#include "RowLeaveGuard.h"
#include "ui/main/SessionController.h"
#include "TaskEditor.h"
#include "ui/main/frmMain.h"

#include "common/FileUtils.h"
#include "common/Globals.h"
#include "jobs/JobSession.h"
#include "jobs/StatusPanels.h"
#include "jobs/ToDoRows.h"
#include "jobs/Validation.h"
#include "platform/FlexGrid.h"
#include "platform/Prompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

namespace {

// Selects the first entry whose item data is the number; no number or no such entry leaves the
// selection as it is.
void selectByItemData(QComboBox *cb, const std::optional<int> &code)
{
    if (!code)
        return;
    const int i = cb->findData(*code);
    if (i >= 0)
        cb->setCurrentIndex(i);
}

} // namespace

EditorExchange::EditorExchange(frmMain &w) : QObject(&w), m_w(w)
{
    m_handlers = new EditorFieldHandlers(w, *this);

    // The engine asks the editor directly. The controller and its session are deleted before
    // the exchange (the window's children go in the order they were made).
    session().setEditorHooks(this);
    w.controller()->removeActionItemHook = [this] {
        RemoveActionItem();
        session().fgToDo.setFocus();
    };

    // The view asks before the user leaves a row; the grid's own row changes enter the new row.
    QItemSelectionModel *old = w.fgToDo->selectionModel();
    auto *guard = new RowLeaveGuard(w.fgToDo->model(), &session().fgToDo, w.fgToDo);
    guard->guard = [this](int, int to) { return fgToDo_LeaveCell(to); };
    w.fgToDo->setSelectionModel(guard);
    delete old;
    connect(&session().fgToDo, &FlexGrid::currentRowChanged, this, &EditorExchange::fgToDo_EnterCell);
    connect(&session().fgLog, &FlexGrid::currentRowChanged, this, &EditorExchange::fgLog_EnterCell);
    connect(w.fgToDo, &QAbstractItemView::doubleClicked, this, &EditorExchange::fgToDo_DblClick);
}

JobSession &EditorExchange::session() const { return m_w.session(); }

TaskEditor &EditorExchange::editor() const { return *m_w.editor; }

EditorFields EditorExchange::editorFields() const
{
    const TaskEditor &ed = editor();
    EditorFields f;
    f.bConvert = ed.rbActionToDo[0]->isChecked();
    f.sOriginalFile = ed.cbOriginalFile->currentText();
    f.lOriginalFileType = TaskEditor::itemCode(ed.cbFileTypeOriginal, kTypeNotGiven);
    f.sTargetFile = ed.cbTargetFile->currentText();
    f.lTargetFileType = TaskEditor::itemCode(ed.cbFileTypeTarget, kTypeNotGiven);
    f.bDoSubfolders = ed.cbDoSubfolders->isChecked();
    f.bSaveToOriginalFolder = ed.cbSaveToOriginalFolder->isChecked();
    f.lSpecialProcess = ed.selectedSpecialProcessId();
    f.sOriginalFileSpecialized = ed.cbOriginalFileSpecialized->currentText();
    f.lOriginalFileTypeSpecialized = TaskEditor::itemCode(ed.cbFileTypeOriginalSpecialized, kTypeNotGiven);
    f.sTargetFileSpecialized = ed.cbTargetFileSpecialized->currentText();
    f.bDoSubfoldersSpecialized = ed.cbDoSubfoldersSpecialized->isChecked();
    f.bSaveToOriginalFolderSpecialized = ed.cbSaveToOriginalFolderSpecialized->isChecked();
    f.sFindString = ed.cbFindString->currentText();
    f.sReplacementString = ed.cbReplacementString->currentText();
    f.bCaseSensitive = ed.cbCaseSensitive->isChecked();
    f.sCommandLine = ed.cbCommandLine->currentText();
    f.sCommandLineArguments = ed.cbCommandLineArguments->currentText();
    f.lCommandLineThreadPriority = TaskEditor::itemCode(ed.cbCommandLineThreadPriority, 32);
    f.lCommandLineWindowState = TaskEditor::itemCode(ed.cbCommandLineWindowState, 1);
    f.sCommandLineWaitTime = ed.txtCommandLineWaitTimeInSeconds->text();
    return f;
}

void EditorExchange::GetOptionsFromGUI(clsConversionOptions &options)
{
    EditorFields f = editorFields();
    if (const std::optional<QString> target = TargetBoxInOriginalFolder(f, session().settings)) {
        QComboBox *box = f.bConvert ? editor().cbTargetFile : editor().cbTargetFileSpecialized;
        box->setEditText(*target);
        (f.bConvert ? f.sTargetFile : f.sTargetFileSpecialized) = *target;
    }
    options = OptionsFromEditorFields(f, session().settings);
}

void EditorExchange::ConversionJobUpdate()
{
    JobSession &s = session();
    s.markJobChanged();
    // Only a task row takes the editor; the header, the "*" row or a row beyond are no task.
    if (!isTaskRow(s.fgToDo, s.fgToDo.row()))
        return;
    clsConversionOptions options;
    GetOptionsFromGUI(options);
    ValidateToDoItem(options);
    if (options.lErr != 0 && !ReportValidationResultGUI(options, *s.prompter(), this))
        return;
    const int row = s.fgToDo.row();
    const QStringList before = s.fgToDo.rowCells(row);
    if (options.sActionToDo.contains(u'C')) {
        UpdateGridFromGUI_ConversionItem();
        UpdateGUI_ConversionItemViaCellContents();
    } else if (options.sActionToDo.contains(u'S')) {
        UpdateGridFromGUI_SpecializedItem();
    }
    // A changed task starts again from its first file: a paused position in its old file list
    // means nothing in the new one.
    if (s.fgToDo.rowCells(row) != before)
        s.forgetResumePosition(row);
    s.clearTaskDirty();
    m_w.UpdateMenuToolbar();
}

void EditorExchange::writeCurrentRow(const QStringList &cells)
{
    FlexGrid &g = session().fgToDo;
    g.setFocus();
    const int row = g.row();
    // The task number and the Pass mark stay.
    for (int c = ToDoColumn::Options; c <= ToDoColumn::TargetTypeText; ++c)
        if (c != ToDoColumn::Number)
            g.setTextMatrix(row, c, cells.value(c));
    m_w.UpdateMRUs();
}

void EditorExchange::UpdateGridFromGUI_ConversionItem() { writeCurrentRow(UpdateRowCells(editorFields(), session().settings)); }

void EditorExchange::UpdateGridFromGUI_SpecializedItem()
{
    session().settings.lConversionMethod = cmSpecialProcess;
    writeCurrentRow(UpdateRowCells(editorFields(), session().settings));
}

void EditorExchange::fillTargetList(TargetTypeList list)
{
    ChoiceList &choices = m_targetLists[static_cast<int>(list)];
    bool outOfDate = false;
    if (list == TargetTypeList::MSWord) {
        // A rewrite within the file system's time resolution can keep size and time: the
        // stamp holds the inode too, and every write of the settings file makes a new one.
        const QString stamp = FileStamp(G_IniFilePath);
        outOfDate = stamp != m_wordTypesStamp;
        if (outOfDate) {
            m_wordTypesStamp = stamp;
            choices.items.clear();
        }
    }
    if (m_targetList == list && !outOfDate)
        return;
    if (choices.items.isEmpty()) {
        switch (list) {
        case TargetTypeList::MSWord:
            choices = FileTypeChoicesMSWord(G_IniFilePath);
            break;
        case TargetTypeList::FromPDF:
            choices = FileTypeChoicesPDFX();
            break;
        case TargetTypeList::Standard:
            choices = FileTypeChoices(true);
            break;
        }
    }
    TaskEditor::FillList(editor().cbFileTypeTarget, choices);
    m_targetList = list;
}

void EditorExchange::UpdateGUI_ConversionItemViaCellContents(bool bShowSlideSummary)
{
    TaskEditor &ed = editor();
    ConversionSettings &settings = session().settings;
    const FlexGrid &g = session().fgToDo;
    const ConversionRowFields r = ReadConversionRowFields(g.rowCells(g.row()));

    gbSuppressEvents = true;
    settings.sActionToDo = QStringLiteral("C");
    ed.rbActionToDo[0]->setChecked(true);
    ed.cbDoSubfolders->setChecked(r.bDoSubfolders);
    ed.cbSaveToOriginalFolder->setChecked(r.bSaveInOriginalFolder);
    settings.lConversionMethod = r.lConversionMethod;
    settings.bCreateFileForEachSlide = r.bCreateFileForEachSlide;
    settings.bConvertAllSlides = r.bConvertAllSlides;
    settings.lFromSlide = r.lFromSlide.value_or(settings.lFromSlide);
    settings.lToSlide = r.lToSlide.value_or(settings.lToSlide);
    if (bShowSlideSummary)
        session().panels()->setPanelText(StatusPanel::Message,
                                         SlideSummaryText(settings.bConvertAllSlides, settings.lFromSlide,
                                                          settings.lToSlide, settings.bCreateFileForEachSlide));

    // A row's method needs its own target list; the type of column 7 is looked up in that one.
    const bool builtIn = r.lConversionMethod == cmAmbrith;
    ed.cbFileTypeOriginal->setVisible(builtIn);
    ed.lblFileTypeOriginal->setVisible(builtIn);
    QRadioButton *method = r.lConversionMethod == cmMSWord    ? ed.rbUseMSWordConversion
                           : r.lConversionMethod == cmFromPDF ? ed.rbUsePDFConversion
                                                              : ed.rbUseAmbrithConversion;
    method->setChecked(true);
    fillTargetList(TargetTypeListForMethod(r.lConversionMethod));

    ed.cbOriginalFile->setEditText(r.sOriginalFile);
    selectByItemData(ed.cbFileTypeOriginal, r.lOriginalFileType);
    ed.cbTargetFile->setEditText(r.sTargetFile);
    selectByItemData(ed.cbFileTypeTarget, r.lTargetFileType);

    ed.RefreshConvertOptions(settings.sActionToDo);
    ed.cmdAdvancedPPTOptions->show();
    gbSuppressEvents = false;
}

void EditorExchange::UpdateGUI_SpecializedToDOItemViaCellContents()
{
    TaskEditor &ed = editor();
    const FlexGrid &g = session().fgToDo;
    const SpecializedRowFields r = ReadSpecializedRowFields(g.rowCells(g.row()));

    gbSuppressEvents = true;
    session().settings.sActionToDo = QStringLiteral("S");
    ed.rbActionToDo[1]->setChecked(true);
    ed.cbDoSubfoldersSpecialized->setChecked(r.bDoSubfolders);
    ed.cbCaseSensitive->setChecked(r.bCaseSensitive);
    ed.cbSaveToOriginalFolderSpecialized->setChecked(r.bSaveInOriginalFolder);
    if (r.sFindString)
        ed.cbFindString->setEditText(*r.sFindString);
    if (r.sReplacementString)
        ed.cbReplacementString->setEditText(*r.sReplacementString);
    selectByItemData(ed.cbFileTypeOriginalSpecialized, r.lOriginalFileType);
    selectByItemData(ed.cbSpecialProcesses, r.lSpecialProcess);

    switch (r.lSpecialProcess.value_or(0)) {
    case spAppendFiles:
    case spRemoveEmptyLines:
    case spSearchAndReplace:
        ed.cbOriginalFileSpecialized->setEditText(r.sOriginal);
        ed.cbTargetFileSpecialized->setEditText(r.sTarget);
        break;
    case spLaunchProgram:
        ed.cbCommandLine->setEditText(r.sOriginal);
        ed.cbCommandLineArguments->setEditText(r.sTarget);
        selectByItemData(ed.cbCommandLineThreadPriority, r.lCommandLineThreadPriority);
        selectByItemData(ed.cbCommandLineWindowState, r.lCommandLineWindowState);
        if (r.sCommandLineWaitTime)
            ed.txtCommandLineWaitTimeInSeconds->setText(*r.sCommandLineWaitTime);
        break;
    default:
        break;
    }
    // The panel, its frames and pickers by the process and the original.
    ed.RefreshConvertOptions(session().settings.sActionToDo);
    gbSuppressEvents = false;
}

bool EditorExchange::bNotOnLastUninitializedRecord() const
{
    const FlexGrid &g = session().fgToDo;
    return g.textMatrix(g.row(), ToDoColumn::Number) != QLatin1String("*") &&
           g.textMatrix(1, ToDoColumn::Number) != QLatin1String("*");
}

void EditorExchange::fgToDo_EnterCell()
{
    JobSession &s = session();
    if (gbSuppressEvents)
        return;
    // A run moves through its rows without loading them; the commands still follow the row.
    if (s.bRunning) {
        m_w.UpdateMenuToolbar();
        return;
    }
    FlexGrid &g = s.fgToDo;
    SelectGridRow(g);
    s.panels()->setPanelText(StatusPanel::Task, QString());
    loadCurrentRow(true);
    m_w.UpdateMenuToolbar();
}

void EditorExchange::loadCurrentRow(bool bShowSlideSummary)
{
    const FlexGrid &g = session().fgToDo;
    const int row = g.row();
    if (!isTaskRow(g, row))
        return;
    const QString doCode = g.textMatrix(row, ToDoColumn::Do);
    if (doCode.contains(u'C'))
        UpdateGUI_ConversionItemViaCellContents(bShowSlideSummary);
    else if (doCode.contains(u'S'))
        UpdateGUI_SpecializedToDOItemViaCellContents();
    else
        return;
    // The editor now shows its row as it stands: edits made before the load are gone, and
    // with them the reason to update.
    session().clearTaskDirty();
}

void EditorExchange::LoadEditorFromCurrentRow()
{
    // The status bar keeps what the run or the load wrote there (the last error, the file).
    loadCurrentRow(false);
}

bool EditorExchange::fgToDo_LeaveCell(int toRow)
{
    JobSession &s = session();
    if (s.bRunning || gbSuppressEvents)
        return true;
    // Cancel keeps the row and the edits.
    if (!s.bCheckToUpdateDirtyConversionItem())
        return false;
    // An update that was refused leaves the edits in the editor: entering another task would
    // overwrite them, so the row stays until they are updated, dropped or valid.
    return !(s.bCurrentActionItemDirty && isTaskRow(s.fgToDo, toRow));
}

void EditorExchange::fgToDo_DblClick()
{
    const TaskEditor &ed = editor();
    if (!ed.cmdAdvancedPPTOptions->isHidden() && bNotOnLastUninitializedRecord() && ed.rbActionToDo[0]->isChecked())
        m_handlers->cmdAdvancedPPTOptions_Click();
}

void EditorExchange::fgLog_EnterCell()
{
    if (session().bRunning || gbSuppressEvents)
        return;
    SelectGridRow(session().fgLog);
}

bool EditorExchange::AddFileToConvertGUI()
{
    // The grid takes the focus when a row is added; a keyboard user goes on from where Add was
    // given (the Add button, an editor box), not from inside the grid.
    const QPointer<QWidget> focusBefore = QApplication::focusWidget();
    JobSession &s = session();
    s.markJobChanged();
    clsConversionOptions options;
    GetOptionsFromGUI(options);
    ValidateToDoItem(options);
    if (options.lErr != 0 && !ReportValidationResultGUI(options, *s.prompter(), this))
        return false;
    s.clearTaskDirty();
    AddToDoItemToGrid(options, s.fgToDo, s.settings);
    m_w.UpdateMRUs();
    m_w.UpdateMenuToolbar();
    m_w.selectTab(1);
    if (focusBefore && focusBefore->isVisible() && focusBefore->isEnabled())
        focusBefore->setFocus(Qt::OtherFocusReason);
    return true;
}

void EditorExchange::RemoveActionItem()
{
    JobSession &s = session();
    // A run or a schedule owns the rows it runs: removing one would make it skip or repeat tasks.
    if (m_w.controller()->rowsLocked())
        return;
    s.markJobChanged();
    FlexGrid &g = s.fgToDo;
    if (g.textMatrix(1, ToDoColumn::Number).isEmpty()) {
        InitToDoGrid(g);
        return;
    }
    if (g.rows() == 2 && g.row() == 1)
        return;
    const int row = g.row();
    if (row >= 1) {
        if (g.textMatrix(row, ToDoColumn::Number) == QLatin1String("*"))
            return;
        gbSuppressEvents = true;
        RemoveAllFilesWithJobNumber(g, row);
        gbSuppressEvents = false;
        // A paused task keeps its resume position when a task above it goes; its own goes with it.
        if (s.lResumeRow == row) {
            s.lResumeRow = 0;
            s.lResumeFileIndex = 0;
        } else if (s.lResumeRow > row) {
            --s.lResumeRow;
        }
        // The edits belonged to the removed task; the editor now shows the row that follows.
        s.clearTaskDirty();
    }
    fgToDo_EnterCell();
}

void EditorExchange::focusBox(Box box)
{
    const TaskEditor &ed = editor();
    QComboBox *cb = box == OriginalFile            ? ed.cbOriginalFile
                    : box == TargetFile            ? ed.cbTargetFile
                    : box == TargetFileSpecialized ? ed.cbTargetFileSpecialized
                                                   : ed.cbFindString;
    if (!cb->isVisible())
        return;
    cb->setFocus();
    if (QLineEdit *edit = cb->lineEdit())
        edit->selectAll();
}

void EditorExchange::setTargetFileText(const QString &text) { editor().cbTargetFile->setEditText(text); }

void RemoveAllFilesWithJobNumber(FlexGrid &grid, int lJob)
{
    grid.removeItem(lJob);
    // Only numbers that changed are written: a long job renumbers in one pass without
    // repainting every row.
    for (int i = 1; i <= lastTaskRow(grid); ++i) {
        const QString number = QString::number(i);
        if (grid.textMatrix(i, ToDoColumn::Number) != number)
            grid.setTextMatrix(i, ToDoColumn::Number, number);
    }
}
