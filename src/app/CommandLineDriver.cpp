#include "CommandLineDriver.h"

#include "CommandLine.h"
#include "common/FileUtils.h"
#include "common/LogWriter.h"
#include "common/NumberUtils.h"
#include "common/PathUtils.h"
#include "jobs/JobFiles.h"
#include "jobs/JobSession.h"
#include "jobs/RunRecordFiles.h"
#include "jobs/ToDoRows.h"
#include "jobs/clsConversionOptions.h"
#include "language/Translator.h"
#include "platform/FlexGrid.h"
#include "platform/Tick.h"

#include <QScopeGuard>
#include <QStringList>

#include <algorithm>

namespace {

// Whether a row of the log from firstRow on is a failure: rows of launched programs carry "+".
bool bHasFailedRow(const FlexGrid &log, int firstRow)
{
    for (int r = firstRow; r <= log.rows() - 2; ++r)
        if (log.textMatrix(r, ToDoColumn::Pass) == QStringLiteral("-"))
            return true;
    return false;
}

// A log row as a job line. The log writer escapes whatever control characters the names or the
// status bring along.
QString jobLine(const FlexGrid &log, int r)
{
    return Translate(QStringLiteral("Job # ")) + log.textMatrix(r, ToDoColumn::Number) + QStringLiteral("  ") +
           log.textMatrix(r, ToDoColumn::Status) + QStringLiteral(" - ") + log.textMatrix(r, ToDoColumn::Original);
}

} // namespace

int RunCommandLine(JobSession &session, const QString &sCommandLine, bool *failuresLogged, bool *helpOnly,
                   const std::function<void(const QString &sJobFile)> &openForEditing)
{
    if (failuresLogged)
        *failuresLogged = false;
    if (helpOnly)
        *helpOnly = false;
    const QString line = sCommandLine.isEmpty() ? ProcessCommandLine() : sCommandLine;
    clsConversionOptions options;
    QStringList reason;
    if (!ParseCommandLine(line, options, &reason)) {
        if (line.isEmpty())
            return clrEmpty;
        const QString missing = Translate(QStringLiteral("Missing required or invalid command line argument(s)"));
        WriteToLogFile(missing, options.sLogFile, options.bVerbose);
        // Asking for the help alone is not a mistake, though nothing can run.
        const bool onlyHelp =
            CommandLineAsksForHelp(line) && options.sOriginalFile.isEmpty() && options.sCLBatchJobFile.isEmpty();
        if (helpOnly)
            *helpOnly = onlyHelp;
        // Without a log the reason would be lost: one line on standard error.
        if (options.sLogFile.isEmpty() && !onlyHelp) {
            reason.removeAll(QString());
            WriteToStandardError(reason.isEmpty() ? missing : missing + QStringLiteral(": ") + reason.join(u' '));
        }
        return clrInvalid;
    }

    auto log = [&](const QString &text) { WriteToLogFile(text, options.sLogFile, options.bVerbose); };
    // From here on no task may read or write the log or the results file, however it names them.
    const QString resultsFile = ExpandPathVariables(options.sLogAsConversionJobFile);
    session.runRecord.hold(ExpandPathVariables(options.sLogFile), resultsFile);
    const auto releaseRecord = qScopeGuard([&] { session.runRecord.clear(); });
    // An interrupt that came while the line was checked is not undone by the start of the run.
    session.bRunning = !session.bInterruptRecorded();
    session.lTotalTimeStart = Tick::count();
    session.leftUndone.clear();
    // The automation class keeps its session across calls: only the log rows this call adds
    // (from firstRow on) belong to its report.
    int firstRow = std::max(1, session.fgLog.rows() - 1);
    bool failures = false;
    if (!options.sCLBatchJobFile.isEmpty()) {
        if (options.bOpenButDoNotRun) {
            session.bRunning = false;
            if (openForEditing)
                openForEditing(options.sCLBatchJobFile);
            else
                session.ConversionJobOpen(options.sCLBatchJobFile);
            return clrOpenedNotRun;
        }
        QString why, notice;
        if (session.ConversionJobOpen(options.sCLBatchJobFile, &why, &notice)) {
            if (!notice.isEmpty())
                log(notice); // the job runs without the damaged end of its file
            // A job read whole may take its own results; one the load cut goes on through a reload
            // of itself, and its results must not replace it.
            if (!session.sCappedJobFile.isEmpty())
                session.runRecord.noteRead(ExpandPathVariables(options.sCLBatchJobFile));
            firstRow = std::max(1, session.fgLog.rows() - 1); // opening a job starts a new log
            session.ConversionJobBegin();
            failures = bHasFailedRow(session.fgLog, firstRow);
        } else {
            // The job cannot run; say why in the log instead of a box.
            log(why);
            failures = true;
        }
    } else {
        session.runTargets.clear();
        // A single conversion has no task row: a job an earlier call left in the task grid must
        // not lend its option code to this call's log rows.
        InitToDoGrid(session.fgToDo);
        failures = session.PerformBlock(1, options) != 0;
    }
    session.bRunning = false;

    for (int i = firstRow; i <= session.fgLog.rows() - 2; ++i)
        log(jobLine(session.fgLog, i));
    // A run cut short is no success, whatever the files it reached did.
    const bool interrupted = session.bInterruptRecorded() || !session.leftUndone.isEmpty();
    if (!failures && !interrupted)
        log(Translate(QStringLiteral("Conversion Successful")));
    if (interrupted)
        log(Translate(QStringLiteral("The run was interrupted.")));
    log(Translate(QStringLiteral("Time to complete job: ")) +
        FormatSeconds((Tick::count() - session.lTotalTimeStart) / 1000.0));
    if (!options.sLogAsConversionJobFile.isEmpty() &&
        (bHasFailedRow(session.fgLog, firstRow) || !session.leftUndone.isEmpty())) {
        // The failed files, then what the interrupt left undone: together the next run's job.
        FlexGrid results(session.fgLog.cols());
        results.setRows(1);
        for (int r = firstRow; r <= session.fgLog.rows() - 2; ++r)
            results.addItem(session.fgLog.rowCells(r), results.rows());
        for (const QStringList &cells : std::as_const(session.leftUndone))
            results.addItem(cells, results.rows());
        // A job a reload read, a file a task named or wrote is never replaced by the results; nor
        // is a job their reload rows lead to, which a run of the results would reload for ever.
        QList<QStringList> written;
        for (int r = 1; r < results.rows(); ++r)
            if (results.textMatrix(r, ToDoColumn::Pass) == QStringLiteral("-"))
                written.append(results.rowCells(r));
        if (session.runRecord.readOrWritten(resultsFile)) {
            log(Translate(QStringLiteral("The results file is a file this run read or wrote; it was not written: ")) +
                options.sLogAsConversionJobFile);
            failures = true;
        } else if (ReloadRowsLeadTo(written, resultsFile)) {
            log(Translate(QStringLiteral("The results file is a job that its own reload tasks lead to; it was not written: ")) +
                options.sLogAsConversionJobFile);
            failures = true;
        } else {
            // A folder the run's targets would have made is not there when the run stopped before
            // them: the record must not be lost for it.
            if (const QString folder = GetParentFolder(options.sLogAsConversionJobFile); !bFolderExists(folder))
                CreateFolderTree(folder);
            QStringList leftOut;
            QString why;
            const bool written = ExportResultsFile(options.sLogAsConversionJobFile, results, 1, &leftOut, &why);
            for (const QString &file : leftOut)
                log(Translate(QStringLiteral("Left out of the results file (its name holds a TAB or a line break): ")) + file);
            if (!written || !bFileExists(options.sLogAsConversionJobFile))
                log(Translate(QStringLiteral("Unable to create file. Try a different folder such as 'My Documents'")));
        }
    }
    // Only now, with the record written: folders the run made and left empty go (never those
    // of the log and the results file), and what an interrupt asked to end is waited for.
    session.RemoveMadeFoldersLeftEmpty({options.sLogFile, options.sLogAsConversionJobFile});
    session.finishStops();
    if (failuresLogged)
        *failuresLogged = failures;
    return clrDone;
}

int ExitStatusFor(int commandLineResult, bool failuresLogged, bool helpOnly)
{
    if (commandLineResult == clrInvalid)
        return helpOnly ? 0 : 2;
    if (commandLineResult == clrDone && failuresLogged)
        return 1;
    return 0;
}
