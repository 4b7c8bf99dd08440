// The run loop: runs the task rows of fgToDo from the first row without a Pass mark.
#include "JobSession.h"

#include "clsConversionOptions.h"
#include "common/Globals.h"
#include "common/PathUtils.h"
#include "jobs/ConvertOneFile.h"
#include "jobs/ToDoRows.h"
#include "jobs/Validation.h"
#include "language/Translator.h"
#include "platform/Prompter.h"
#include "platform/Tick.h"

namespace {

bool isReloadTask(const clsConversionOptions &o)
{
    return o.sActionToDo.contains(u'S') && o.lSpecialProcess == spReloadJob;
}

// A reload task's job file and the line its load begins at: the same pair loaded twice with no
// task run in between would load the same rows for ever.
QString reloadKey(const QString &sJobFile, int lFirstTask)
{
    return CanonicalPathForCompare(ExpandPathVariables(sJobFile)) + u'#' + QString::number(lFirstTask < 1 ? 1 : lFirstTask);
}

// A type cell must be empty or a whole number; anything else cannot be run.
bool typeCellIsValid(const QString &cell)
{
    if (cell.trimmed().isEmpty())
        return true;
    bool ok = false;
    cell.trimmed().toInt(&ok);
    return ok;
}

} // namespace

// Marks the loop active for the whole of ConversionJobBegin. When it returns (by any road) the
// mark is cleared, the command state refreshed, and a close requested meanwhile carried out.
// A run that began (ended, paused or stopped) moved the current row without the editor: the
// editor is loaded from that row again, so that its next Update goes to the task it shows.
class JobSession::LoopScope
{
public:
    explicit LoopScope(JobSession &s) : m_s(s)
    {
        m_s.m_loopActive = true;
        m_s.hooks()->UpdateMenuToolbar();
    }
    ~LoopScope()
    {
        m_s.m_loopActive = false;
        if (m_s.m_runBegun) {
            m_s.m_runBegun = false;
            m_s.clearTaskDirty();
            m_s.editorHooks()->LoadEditorFromCurrentRow();
        }
        m_s.hooks()->UpdateMenuToolbar();
        if (m_s.m_closeRequested) {
            m_s.m_closeRequested = false;
            m_s.hooks()->closeWindow();
        }
    }
    LoopScope(const LoopScope &) = delete;
    LoopScope &operator=(const LoopScope &) = delete;

private:
    JobSession &m_s;
};

void JobSession::ConversionJobBegin()
{
    // A run started from the pump of a run already on the stack is refused.
    if (m_loopActive)
        return;
    const LoopScope loop(*this);

    hooks()->setTimer1Enabled(false);
    panels()->setPanelPicture(StatusPanel::Progress, StatusPanels::NoPicture);
    panels()->setPanelEnabled(StatusPanel::Progress, true);
    panels()->setPanelText(StatusPanel::Progress, QString());

    if (!bCheckToUpdateDirtyConversionItem())
        return;
    if (bCheckToZeroConversionItems())
        return;
    // A close requested while those checks asked something: the run does not start.
    if (m_closeRequested)
        return;

    panels()->setPanelText(StatusPanel::Progress, QString());
    bRunning = true;
    m_runBegun = true;
    gbSuppressEvents = true;
    hooks()->UpdateMenuToolbar();
    InitLogGrid(fgLog);
    runTargets.clear();

    int start = FindStartPoint(fgToDo);
    int last = lastTaskRow(fgToDo);
    if (gbCommandLineMode) {
        start = 1;
    } else if (start > last) {
        rewindJob();
        start = 1;
    }

    panels()->setPanelText(StatusPanel::Progress, Translate(QStringLiteral("Working")) + QStringLiteral("..."));
    panels()->setPanelText(StatusPanel::Time, QString());
    lTotalTimeStart = Tick::count();

    clsConversionOptions lastRecord;
    bool ranPastLast = false;
    int r = start;
    while (true) {
        if (r > last) {
            ranPastLast = true;
            break;
        }
        // An interrupt recorded before the run began, or caught and not yet delivered, stops it
        // before the next task: what is left is undone, the rest of a job as its reload task.
        if (bInterruptRecorded()) {
            keepUndoneRows(r, last);
            break;
        }
        panels()->setPanelText(StatusPanel::Task, QString::number(r));
        // A fresh record per row: nothing of the previous task (results, method) carries over.
        clsConversionOptions record;
        GetOptionsFromGridRow(record, r, fgToDo);

        bool pausedInside = false;
        int result;
        if (!typeCellIsValid(fgToDo.textMatrix(r, ToDoColumn::OriginalType)) ||
            !typeCellIsValid(fgToDo.textMatrix(r, ToDoColumn::TargetType))) {
            record.lErr = vrNoTargetExtension;
            record.sErr = Translate(QStringLiteral("Invalid file type code in the task row."));
            LogConversionError(r, record);
            result = record.lErr;
        } else if (isReloadTask(record) && m_loadsSinceTask.contains(reloadKey(record.sTargetFile, record.lTargetFileType))) {
            record.lErr = irOriginalOpenFailed;
            record.sErr = Translate(QStringLiteral("The reload task comes back to a conversion job loaded with no task run since: (")) +
                          ExpandPathVariables(record.sTargetFile) + QStringLiteral(")");
            LogConversionError(r, record);
            result = record.lErr;
        } else {
            result = PerformBlock(r, record, &pausedInside);
        }
        lastRecord = record;

        if (isReloadTask(record) && record.lErr == 0) {
            // A load that a Pause cut short ends with a reload task for the rest, which may be this
            // very one when the pause came before its first line: it is no repeat.
            if (bRunning)
                m_loadsSinceTask.insert(reloadKey(record.sTargetFile, record.lTargetFileType));
            // The grid now holds the next part of the job file.
            last = lastTaskRow(fgToDo);
            r = 1;
            // Nothing else pumps on this road: without it a Pause or a signal would go unseen.
            DoEvents();
            if (!bRunning) {
                keepUndoneRows(1, last);
                break;
            }
            continue;
        }
        if (!isReloadTask(record))
            m_loadsSinceTask.clear();
        if (!pausedInside)
            UpdatePassedCell(fgToDo, r, result);
        // Pause stops the run after the current task, whatever its result.
        if (!bRunning) {
            keepUndoneRows(r + 1, last);
            break;
        }
        ++r;
    }

    panels()->setPanelText(StatusPanel::Task, QStringLiteral("-"));
    if (lastRecord.sErr.size() >= 3 && lastRecord.lErr != 0)
        panels()->setPanelText(StatusPanel::Message, QStringLiteral("!!! ") + Translate(QStringLiteral("Error")) +
                                                         QStringLiteral(":  ") + lastRecord.sErr);
    if (ranPastLast && bRunning && !gbCommandLineMode) {
        if (!scheduleHooks()->bSchedularEnabled())
            hooks()->setTimer1Enabled(true);
        panels()->setPanelText(StatusPanel::Progress,
                               QStringLiteral(" 100") + Translate(QStringLiteral(" Percent Complete ")));
        panels()->setPanelPicture(StatusPanel::Progress, StatusPanels::CompletePicture);
    }
    if (!bRunning)
        panels()->setPanelText(StatusPanel::Progress, Translate(QStringLiteral("Pause")));
    bRunning = false;
    gbSuppressEvents = false;
    // The command state is refreshed once the loop has unwound (LoopScope).
}

void JobSession::seedJobLoads()
{
    m_loadsSinceTask.clear();
    if (!sCurrentJobFileName.isEmpty() && sCurrentJobFileName != QStringLiteral("*") && !bAskToSaveQVJFileBeforeExit)
        m_loadsSinceTask.insert(reloadKey(sCurrentJobFileName, 1));
}

bool JobSession::bCheckToUpdateDirtyConversionItem()
{
    if (scheduleHooks()->bSchedularEnabled() || bRunning)
        return true;
    if (!bCurrentActionItemDirty)
        return true;
    const int cur = fgToDo.row();
    if (fgToDo.textMatrix(cur, ToDoColumn::Number) == QStringLiteral("*") ||
        fgToDo.textMatrix(1, ToDoColumn::Number) == QStringLiteral("*")) {
        clearTaskDirty();
        return true;
    }
    int answer = Prompter::Yes;
    if (fgToDo.rows() > 3)
        answer = prompter()->msgBox(
            Translate(QStringLiteral("You've changed the current conversion item #")) + QString::number(cur) +
                QStringLiteral("\r\r") + Translate(QStringLiteral("Do you want to update your changes?")),
            Prompter::YesNoCancel | Prompter::Question, Translate(QStringLiteral("Update Conversion Item")));
    if (answer == Prompter::Yes) {
        editorHooks()->ConversionJobUpdate();
        return true;
    }
    if (answer == Prompter::No) {
        clearTaskDirty();
        return true;
    }
    return false;
}

bool JobSession::bCheckToZeroConversionItems()
{
    if (scheduleHooks()->bSchedularEnabled() || bRunning || !hooks()->mainWindowVisible())
        return false;
    if (fgToDo.rows() == 2)
        return !editorHooks()->AddFileToConvertGUI();
    // A single task runs again, unless a Pause stopped it part-way: then it goes on where it stopped.
    if (fgToDo.rows() == 3 && !bPausedPartWay(1))
        rewindJob();
    return false;
}

int JobSession::FindStartPoint(FlexGrid &fg)
{
    gbSuppressEvents = true;
    int result = fg.rows() - 1;
    for (int r = 1; r <= lastTaskRow(fg); ++r) {
        if (fg.textMatrix(r, ToDoColumn::Pass).isEmpty()) {
            result = r;
            break;
        }
    }
    if (result >= 1 && result < fg.rows())
        fg.setRow(result);
    gbSuppressEvents = false;
    return result;
}
