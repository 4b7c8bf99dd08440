// The run loop: runs the task rows of fgToDo from the first row without a Pass mark.
#include "JobSession.h"

#include "clsConversionOptions.h"
#include "common/Globals.h"
#include "jobs/ToDoRows.h"
#include "language/Translator.h"
#include "platform/Prompter.h"
#include "platform/Tick.h"

namespace {

bool isReloadTask(const clsConversionOptions &o)
{
    return o.sActionToDo.contains(u'S') && o.lSpecialProcess == spReloadJob;
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

void JobSession::ConversionJobBegin()
{
    hooks()->setTimer1Enabled(false);
    panels()->setPanelPicture(6, StatusPanels::NoPicture);
    panels()->setPanelEnabled(6, true);
    panels()->setPanelText(6, QString());

    if (!bCheckToUpdateDirtyConversionItem())
        return;
    if (bCheckToZeroConversionItems())
        return;

    panels()->setPanelText(6, QString());
    bRunning = true;
    gbSuppressEvents = true;
    hooks()->UpdateMenuToolbar();
    InitLogGrid(fgLog);
    runTargets.clear();

    int start = FindStartPoint(fgToDo);
    int last = fgToDo.rows() - 2;
    if (gbCommandLineMode) {
        start = 1;
    } else if (start > last) {
        ConversionJobRewind();
        start = 1;
    }

    panels()->setPanelText(6, Translate(QStringLiteral("Working")) + QStringLiteral("..."));
    panels()->setPanelText(11, QString());
    lTotalTimeStart = Tick::count();

    clsConversionOptions lastRecord;
    bool ranPastLast = false;
    int r = start;
    while (true) {
        if (r > last) {
            ranPastLast = true;
            break;
        }
        panels()->setPanelText(3, QString::number(r));
        // A fresh record per row: nothing of the previous task (results, method) carries over.
        clsConversionOptions record;
        GetOptionsFromGridRow(record, r, fgToDo);

        bool pausedInside = false;
        int result;
        if (!typeCellIsValid(fgToDo.textMatrix(r, 4)) || !typeCellIsValid(fgToDo.textMatrix(r, 7))) {
            record.lErr = -7;
            record.sErr = Translate(QStringLiteral("Invalid file type code in the task row."));
            LogConversionError(r, record);
            result = record.lErr;
        } else {
            result = PerformBlock(r, record, &pausedInside);
        }
        lastRecord = record;

        if (isReloadTask(record) && record.lErr == 0) {
            // The grid now holds the next part of the job file.
            last = fgToDo.rows() - 2;
            r = 1;
            if (!bRunning)
                break;
            continue;
        }
        if (!pausedInside)
            UpdatePassedCell(fgToDo, r, result);
        // Pause stops the run after the current task, whatever its result.
        if (!bRunning)
            break;
        ++r;
    }

    panels()->setPanelText(3, QStringLiteral("-"));
    if (lastRecord.sErr.size() >= 3 && lastRecord.lErr != 0)
        panels()->setPanelText(8, QStringLiteral("!!! ") + Translate(QStringLiteral("Error")) +
                                      QStringLiteral(":  ") + lastRecord.sErr);
    if (ranPastLast && bRunning && !gbCommandLineMode) {
        if (!hooks()->bSchedularEnabled())
            hooks()->setTimer1Enabled(true);
        panels()->setPanelText(6, QStringLiteral(" 100") + Translate(QStringLiteral(" Percent Complete ")));
        panels()->setPanelPicture(6, StatusPanels::CompletePicture);
    }
    if (!bRunning)
        panels()->setPanelText(6, Translate(QStringLiteral("Pause")));
    bRunning = false;
    gbSuppressEvents = false;
    hooks()->UpdateMenuToolbar();
}

bool JobSession::bCheckToUpdateDirtyConversionItem()
{
    if (hooks()->bSchedularEnabled() || bRunning)
        return true;
    if (!bCurrentActionItemDirty)
        return true;
    const int cur = fgToDo.row();
    if (fgToDo.textMatrix(cur, 1) == QStringLiteral("*") || fgToDo.textMatrix(1, 1) == QStringLiteral("*")) {
        bCurrentActionItemDirty = false;
        return true;
    }
    int answer = Prompter::Yes;
    if (fgToDo.rows() > 3)
        answer = prompter()->msgBox(
            Translate(QStringLiteral("You've changed the current conversion item #")) + QString::number(cur) +
                QStringLiteral("\r\r") + Translate(QStringLiteral("Do you want to update your changes?")),
            Prompter::YesNoCancel | Prompter::Question, Translate(QStringLiteral("Update Conversion Item")));
    if (answer == Prompter::Yes) {
        hooks()->ConversionJobUpdate();
        return true;
    }
    if (answer == Prompter::No) {
        bCurrentActionItemDirty = false;
        return true;
    }
    return false;
}

bool JobSession::bCheckToZeroConversionItems()
{
    if (hooks()->bSchedularEnabled() || bRunning || !hooks()->mainWindowVisible())
        return false;
    if (fgToDo.rows() == 2)
        return !hooks()->AddFileToConvertGUI();
    if (fgToDo.rows() == 3)
        ConversionJobRewind();
    return false;
}

int JobSession::FindStartPoint(FlexGrid &fg)
{
    gbSuppressEvents = true;
    int result = fg.rows() - 1;
    for (int r = 1; r <= fg.rows() - 2; ++r) {
        if (fg.textMatrix(r, 9).isEmpty()) {
            result = r;
            break;
        }
    }
    if (result >= 1 && result < fg.rows())
        fg.setRow(result);
    gbSuppressEvents = false;
    return result;
}
