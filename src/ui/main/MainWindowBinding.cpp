#include "MainWindowBinding.h"

#include "ui/main/editor/ChoiceLists.h"
#include "CommandState.h"
#include "GridColumnRules.h"
#include "JobGridView.h"
#include "SessionController.h"
#include "ui/main/editor/TaskEditor.h"
#include "frmMain.h"

#include "common/Globals.h"
#include "jobs/FrmMainSettings.h"
#include "jobs/JobSession.h"
#include "jobs/ToDoRows.h"
#include "ui/support/MruWidgets.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QToolBar>

namespace {

void setIndex(QComboBox *cb, int index)
{
    if (index >= -1 && index < cb->count())
        cb->setCurrentIndex(index);
}

Qt::CheckState checkState(int value)
{
    return value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

int checkValue(const QCheckBox *cb)
{
    return cb->checkState() == Qt::Checked ? 1 : cb->checkState() == Qt::PartiallyChecked ? 2 : 0;
}

void setCheck(QCheckBox *cb, int value)
{
    cb->setTristate(value == 2);
    cb->setCheckState(checkState(value));
}

// Every recent list of the window; once set up, each knows its section of the settings file.
QList<clsMRU *> recentLists(frmMain &w)
{
    return {&w.mruSource, &w.mruTarget, &w.mruSourceSpecialized, &w.mruTargetSpecialized, &w.mruCommandLine,
            &w.mruCommandLineArguments, &w.mruReplaceString, &w.mruFindString, &w.mruFileOpen};
}

} // namespace

void FillChoiceLists(TaskEditor &ed)
{
    const QScopedValueRollback<bool> suppress(gbSuppressEvents, true);
    TaskEditor::FillList(ed.cbFileTypeOriginal, FileTypeChoices(false));
    TaskEditor::FillList(ed.cbFileTypeTarget, FileTypeChoices(true));
    TaskEditor::FillList(ed.cbFileTypeOriginalSpecialized, FileTypeChoicesSpecialized());
    TaskEditor::FillList(ed.cbSpecialProcesses, SpecialProcessesChoices());
    TaskEditor::FillList(ed.cbCommandLineWindowState, CommandLineWindowStateChoices());
    TaskEditor::FillList(ed.cbCommandLineThreadPriority, CommandLineThreadPriorityChoices());
    const ChoiceList chars = CharacterSelectionChoices();
    TaskEditor::FillList(ed.cbCharacter1, chars);
    TaskEditor::FillList(ed.cbCharacter2, chars);
}

CommandState ComputeWindowCommandState(const frmMain &w)
{
    const JobSession &s = w.session();
    CommandStateInput in;
    in.bRunning = s.bRunBegun();
    in.bScheduled = w.bSchedularEnabled();
    in.gbSuppressEvents = gbSuppressEvents;
    in.bCurrentActionItemDirty = s.bCurrentActionItemDirty;
    in.toDoRows = s.fgToDo.rows();
    in.toDoRow = s.fgToDo.row();
    in.toDoNumberCell = s.fgToDo.textMatrix(s.fgToDo.row(), ToDoColumn::Number);
    in.toDoRow1PassCell = s.fgToDo.textMatrix(1, ToDoColumn::Pass);
    in.lResumeFileIndex = s.lResumeFileIndex;
    in.logRows = s.fgLog.rows();
    in.selectedTab = w.controller()->selectedTab();
    return ComputeCommandState(in);
}

void ApplyCommandState(frmMain &w, const CommandState &st)
{
    auto key = [&w](const char *k) { return w.tbButtons.value(QLatin1String(k)); };
    auto menuKey = [&w](const char *k) { return w.tbButtonMenus.value(QLatin1String(k)); };
    const QList<QPair<QAction *, bool>> enabled = {
        {key("keyOpen"), st.keyOpen},
        {key("keyNew"), st.keyNew},
        {key("keyConvert"), st.keyConvert},
        {key("keyPause"), st.keyPause},
        {key("keyRewind"), st.keyRewind},
        {key("keyAdd"), st.keyAdd},
        {key("keyRemove"), st.keyRemove},
        {key("keyUpdate"), st.keyUpdate},
        {menuKey("KeyOpen"), st.KeyOpen},
        {menuKey("KeySave"), st.KeySave},
        {menuKey("KeySaveAs"), st.KeySaveAs},
        {menuKey("KeySaveLogAsConversionJob"), st.KeySaveLogAsConversionJob},
        {w.mnuOpenConversionJob, st.mnuOpenConversionJob},
        {w.mnuNewConversionJob, st.mnuNewConversionJob},
        {w.mnuSaveConversionJob, st.mnuSaveConversionJob},
        {w.mnuSaveConversionJobAs, st.mnuSaveConversionJobAs},
        {w.mnuSaveLogAsConversionJob, st.mnuSaveLogAsConversionJob},
        {w.mnuBeginConversionJob, st.mnuBeginConversionJob},
        {w.mnuAddConversionJob, st.mnuAddConversionJob},
        {w.mnuRemoveConversionJob, st.mnuRemoveConversionJob},
        {w.mnuUpdateConversionJob, st.mnuUpdateConversionJob},
        {w.mnuPause, st.mnuPause},
        {w.mnuRewindConversionJob, st.mnuRewindConversionJob},
        {w.mnuPopupDelete, st.mnuPopupDelete},
        {w.mnuLanguage, st.mnuLanguage},
        {w.mnuScheduleConversionJob, st.mnuScheduleConversionJob},
    };
    for (const auto &e : enabled)
        if (e.first)
            e.first->setEnabled(e.second);
    // Recent jobs open like Open, so they are no command during a run either.
    for (const MruMenuArray *a : {&w.mnuMRU, &w.tbOpenMRU})
        for (const QPointer<QAction> &e : a->elements)
            if (e)
                e->setEnabled(st.mnuMRU);
    w.editor->setEnabled(st.editorEnabled);
    w.editor->cmdAdvancedPPTOptions->setEnabled(st.cmdAdvancedPPTOptions);
    w.cmdAdd->setEnabled(st.cmdAdd);
    w.cmdRemove->setEnabled(st.cmdRemove);
    w.cmdUpdate->setEnabled(st.cmdUpdate);
    w.cmdPause->setEnabled(st.cmdPause);

    const QList<QPair<QAction *, std::optional<bool>>> visible = {
        {w.mnuMoveConversionTask->menuAction(), st.mnuMoveConversionTask},
        {w.mnuMoveUp, st.mnuMoveUp},
        {w.mnuMoveFirst, st.mnuMoveFirst},
        {w.mnuMoveDown, st.mnuMoveDown},
        {w.mnuMoveLast, st.mnuMoveLast},
        {w.mnuPopupMoveUp, st.mnuPopupMoveUp},
        {w.mnuPopupMoveFirst, st.mnuPopupMoveFirst},
        {w.mnuPopupMoveDown, st.mnuPopupMoveDown},
        {w.mnuPopupMoveLast, st.mnuPopupMoveLast},
    };
    for (const auto &v : visible)
        if (v.second)
            v.first->setVisible(*v.second);
}

void ReadWindowSettings(frmMain &w)
{
    TaskEditor &ed = *w.editor;
    FrmMainListSizes sizes;
    sizes.cbSpecialProcesses = ed.cbSpecialProcesses->count();
    sizes.cbCommandLineWindowState = ed.cbCommandLineWindowState->count();
    sizes.cbCommandLineThreadPriority = ed.cbCommandLineThreadPriority->count();
    sizes.cbFileTypeTarget = ed.cbFileTypeTarget->count();
    sizes.cbFileTypeOriginal = ed.cbFileTypeOriginal->count();
    sizes.cbFileTypeOriginalSpecialized = ed.cbFileTypeOriginalSpecialized->count();
    const FrmMainSettings s = ReadFrmMainSettings(G_IniFilePath, sizes);

    JobSession &session = w.session();
    session.settings = s.conversion;
    w.bPersistRunning = s.bPersistRunning;
    w.glnMeasurement = s.glnMeasurement;
    if (s.mnuOptimizeForSpeed)
        w.mnuOptimizeForSpeed_Click();
    else
        w.mnuOptimizeForMemory_Click();

    if (!gbCommandLineMode) {
        QVector<int> log = w.fgLog->columnWidthsTwips();
        log.resize(11);
        log[1] = s.fgLogColWidth1;
        log[2] = s.fgLogColWidth2;
        log[6] = s.fgLogColWidth6;
        log[8] = s.fgLogColWidth8;
        log[9] = s.fgLogColWidth9;
        w.fgLog->setColumnWidthsTwips(log);
        QVector<int> todo = w.fgToDo->columnWidthsTwips();
        todo.resize(10);
        todo[1] = s.fgToDoColWidth1;
        todo[2] = s.fgToDoColWidth2;
        todo[5] = s.fgToDoColWidth5;
        todo[8] = s.fgToDoColWidth8;
        todo[9] = s.fgToDoColWidth9;
        w.fgToDo->setColumnWidthsTwips(todo);

        struct Recent { clsMRU *mru; const char *name; int max; QComboBox *box; };
        const Recent lists[] = {{&w.mruSourceSpecialized, "mruSourceSpecialized", 20, ed.cbOriginalFileSpecialized},
                                {&w.mruTargetSpecialized, "mruTargetSpecialized", 10, ed.cbTargetFileSpecialized},
                                {&w.mruSource, "mruSource", 10, ed.cbOriginalFile},
                                {&w.mruCommandLine, "mruCommandLine", 5, ed.cbCommandLine},
                                {&w.mruCommandLineArguments, "mruCommandLineArguments", 5, ed.cbCommandLineArguments},
                                {&w.mruFindString, "mruFindString", 5, ed.cbFindString},
                                {&w.mruReplaceString, "mruReplaceString", 5, ed.cbReplacementString}};
        for (const Recent &r : lists) {
            r.mru->Setup(r.max, G_IniFilePath, QLatin1String(r.name), QStringLiteral("-1"));
            FillComboFromMRU(r.box, *r.mru);
        }
    }

    setIndex(ed.cbSpecialProcesses, s.cbSpecialProcessesListIndex);
    setIndex(ed.cbCommandLineWindowState, s.cbCommandLineWindowStateListIndex);
    setIndex(ed.cbCommandLineThreadPriority, s.cbCommandLineThreadPriorityListIndex);
    ed.txtCommandLineWaitTimeInSeconds->setText(s.txtCommandLineWaitTimeInSeconds);
    w.RefreshConvertOptionsGUI();
    if (s.cbFileTypeTargetListIndex != FrmMainSettings::kKeepFillSelection)
        setIndex(ed.cbFileTypeTarget, s.cbFileTypeTargetListIndex);

    gbSuppressEvents = true;
    setIndex(ed.cbFileTypeOriginal, s.cbFileTypeOriginalListIndex);
    setCheck(ed.cbDoSubfolders, s.cbDoSubfolders);
    setCheck(ed.cbDoSubfoldersSpecialized, s.cbDoSubfoldersSpecialized);
    setCheck(ed.cbCaseSensitive, s.cbCaseSensitive);
    setIndex(ed.cbFileTypeOriginalSpecialized, s.cbFileTypeOriginalSpecializedListIndex);
    if (!gbCommandLineMode) {
        w.mruTarget.Setup(10, G_IniFilePath, QStringLiteral("mruTarget"), QStringLiteral("-1"));
        FillComboFromMRU(ed.cbTargetFile, w.mruTarget);
    }
    gbSuppressEvents = false;
}

void SaveWindowSettings(frmMain &w)
{
    // The writer stores nothing in a command-line run; the scheduler owns chkPersistRunning.
    TaskEditor &ed = *w.editor;
    FrmMainSettings s;
    s.conversion = w.session().settings;
    s.glnMeasurement = w.glnMeasurement;
    s.mnuOptimizeForSpeed = w.mnuOptimizeForSpeed->isChecked();
    const QVector<int> log = w.fgLog->columnWidthsTwips();
    const QVector<int> todo = w.fgToDo->columnWidthsTwips();
    s.fgLogColWidth1 = log.value(1);
    s.fgLogColWidth2 = log.value(2);
    s.fgLogColWidth6 = log.value(6);
    s.fgLogColWidth8 = log.value(8);
    s.fgLogColWidth9 = log.value(9);
    s.fgToDoColWidth1 = todo.value(1);
    s.fgToDoColWidth2 = todo.value(2);
    s.fgToDoColWidth5 = todo.value(5);
    s.fgToDoColWidth8 = todo.value(8);
    s.fgToDoColWidth9 = todo.value(9);
    s.cbSpecialProcessesListIndex = ed.cbSpecialProcesses->currentIndex();
    s.cbCommandLineWindowStateListIndex = ed.cbCommandLineWindowState->currentIndex();
    s.cbCommandLineThreadPriorityListIndex = ed.cbCommandLineThreadPriority->currentIndex();
    s.txtCommandLineWaitTimeInSeconds = ed.txtCommandLineWaitTimeInSeconds->text();
    s.cbFileTypeTargetListIndex = ed.cbFileTypeTarget->currentIndex();
    s.cbFileTypeOriginalListIndex = ed.cbFileTypeOriginal->currentIndex();
    s.cbFileTypeOriginalSpecializedListIndex = ed.cbFileTypeOriginalSpecialized->currentIndex();
    s.cbDoSubfolders = checkValue(ed.cbDoSubfolders);
    s.cbDoSubfoldersSpecialized = checkValue(ed.cbDoSubfoldersSpecialized);
    s.cbCaseSensitive = checkValue(ed.cbCaseSensitive);
    WriteFrmMainSettings(G_IniFilePath, s, [&w](const QString &list) {
        for (clsMRU *mru : recentLists(w))
            if (mru->section() == list)
                mru->ShutDown();
    });
}
