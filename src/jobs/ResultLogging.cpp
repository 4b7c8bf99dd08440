// Log rows of failed files and launched programs, Pass marks, and the progress display.
#include "JobSession.h"

#include "clsConversionOptions.h"
#include "common/Globals.h"
#include "jobs/ToDoRows.h"
#include "jobs/TypeExtensions.h"
#include "common/NumberUtils.h"
#include "language/Translator.h"
#include "platform/Tick.h"

#include <QScopedValueRollback>
#include <QStringList>

#include <cmath>

// Option code of the task that ran: its row in fgToDo, or (for a task that has no row, such as a
// single conversion given on the command line) built from the task's own record.
QString JobSession::OptionCodeForLog(int lJobNumber, const clsConversionOptions &co, bool wrapRows) const
{
    const int row = wrapRows ? lJobNumber % 30000 : lJobNumber;
    if (isTaskRow(fgToDo, row))
        return fgToDo.textMatrix(row, ToDoColumn::Options);
    const clsConversionOptions &task = m_taskForLog ? *m_taskForLog : co;
    ConversionSettings slides = settings;
    slides.lFromSlide = task.lFromSlide;
    slides.lToSlide = task.lToSlide;
    return BuildOptionsCode(task, slides);
}

QStringList JobSession::LogRowCells(int lJobNumber, const clsConversionOptions &co) const
{
    const QString originalExt =
        co.lConversionMethod == cmAmbrith ? GetConverterTypeExtension(co.lOriginalFileType, false) : QString();
    const QString targetExt = GetTypeExtension(co.lTargetFileType, false, co.lConversionMethod);
    return {OptionCodeForLog(lJobNumber, co, true),
            QString::number(lJobNumber),
            co.sActionToDo,
            co.sOriginalFile,
            QString::number(co.lOriginalFileType),
            originalExt,
            co.sTargetFile,
            QString::number(co.lTargetFileType),
            targetExt,
            QString(),
            co.sErr};
}

void JobSession::LogConversionError(int lJobNumber, clsConversionOptions &co)
{
    if (!gbCommandLineMode) {
        co.sErr.replace(u'\n', u' ');
        co.sErr.replace(u'\r', u' ');
    }
    const int index = fgLog.rows() - 1 < 1 ? fgLog.rows() : fgLog.rows() - 1;
    fgLog.addItem(LogRowCells(lJobNumber, co), index);
    UpdatePassedCell(fgLog, index, -1);
}

void JobSession::keepUndone(int lJobNumber, clsConversionOptions record)
{
    if (!gbCommandLineMode)
        return;
    record.sErr = Translate(QStringLiteral("The run was interrupted."));
    QStringList cells = LogRowCells(lJobNumber, record);
    cells[ToDoColumn::Pass] = QStringLiteral("-");
    leftUndone.append(cells);
}

void JobSession::keepUndoneRows(int firstRow, int lastRow)
{
    if (!gbCommandLineMode)
        return;
    for (int r = firstRow; r <= lastRow && r <= lastTaskRow(fgToDo); ++r) {
        QStringList cells = fgToDo.rowCells(r);
        while (cells.size() <= ToDoColumn::Status)
            cells.append(QString());
        cells[ToDoColumn::Pass] = QStringLiteral("-");
        cells[ToDoColumn::Status] = Translate(QStringLiteral("The run was interrupted."));
        leftUndone.append(cells);
    }
}

void JobSession::LogExitCode(int lJobNumber, clsConversionOptions &co)
{
    const QStringList cells = {OptionCodeForLog(lJobNumber, co, false),
                               QString::number(lJobNumber),
                               co.sActionToDo,
                               co.sOriginalFile,
                               QString::number(co.lOriginalFileType),
                               QString(),
                               co.sTargetFile,
                               QString::number(co.lTargetFileType),
                               QString(),
                               QString(),
                               Translate(QStringLiteral("Exit Code: ")) + QString::number(co.lCommandLineExitCode)};
    const int index = fgLog.rows() - 1 < 1 ? fgLog.rows() : fgLog.rows() - 1;
    fgLog.addItem(cells, index);
    UpdatePassedCell(fgLog, index, 0);
}

void JobSession::UpdatePassedCell(FlexGrid &fg, int rr, int lRetVal)
{
    if (fg.cols() <= ToDoColumn::Pass || rr < 0 || rr >= fg.rows())
        return;
    // The mark goes to the row that ran, not to whatever row is current now.
    fg.setTextMatrix(rr, ToDoColumn::Pass, lRetVal == 0 ? QStringLiteral("+") : QStringLiteral("-"));
    fg.setCellPicture(rr, ToDoColumn::Pass, lRetVal == 0 ? FlexGrid::Picture::Passed : FlexGrid::Picture::Failed);
    {
        const QScopedValueRollback<bool> suppress(gbSuppressEvents, true);
        fg.setRow(rr);
        if (rr < fg.topRow())
            fg.setTopRow(rr - 2 < 1 ? 1 : rr - 2);
        SelectGridRow(fg);
    }
    DoEvents();
}

QString JobSession::ElapsedRunSecondsText() const
{
    return FormatSeconds((Tick::count() - lTotalTimeStart) / 1000.0);
}

void JobSession::VelmoraX1_Progress(double percent)
{
    // Halves go to the even number, as the classic conversion to a whole number does.
    const long whole = std::lrint(percent);
    panels()->setPanelText(StatusPanel::Progress, QString::number(whole) + Translate(QStringLiteral("% Complete ")));
    panels()->setPanelText(StatusPanel::Time, ElapsedRunSecondsText());
}
