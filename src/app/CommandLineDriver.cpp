#include "CommandLineDriver.h"

#include "CommandLine.h"
#include "common/FileUtils.h"
#include "common/LogWriter.h"
#include "common/NumberUtils.h"
#include "jobs/JobFiles.h"
#include "jobs/JobSession.h"
#include "jobs/ToDoRows.h"
#include "jobs/clsConversionOptions.h"
#include "language/Translator.h"
#include "platform/Tick.h"

int RunCommandLine(JobSession &session, const QString &sCommandLine, bool *failuresLogged,
                   const std::function<void(const QString &sJobFile)> &openForEditing)
{
    if (failuresLogged)
        *failuresLogged = false;
    const QString line = sCommandLine.isEmpty() ? ProcessCommandLine() : sCommandLine;
    clsConversionOptions options;
    if (!ParseCommandLine(line, options)) {
        if (line.isEmpty())
            return clrEmpty;
        WriteToLogFile(Translate(QStringLiteral("Missing required or invalid command line argument(s)")),
                       options.sLogFile, options.bVerbose);
        return clrInvalid;
    }

    auto log = [&](const QString &text) { WriteToLogFile(text, options.sLogFile, options.bVerbose); };
    session.bRunning = true;
    session.lTotalTimeStart = Tick::count();
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
        QString why;
        if (session.ConversionJobOpen(options.sCLBatchJobFile, &why)) {
            session.ConversionJobBegin();
            failures = session.fgLog.rows() >= 3;
        } else {
            // The job cannot run; say why in the log instead of a box.
            log(why);
            failures = true;
        }
    } else {
        failures = session.PerformBlock(1, options) != 0;
    }
    session.bRunning = false;

    if (session.fgLog.rows() >= 3) {
        for (int i = 1; i <= session.fgLog.rows() - 2; ++i)
            log(Translate(QStringLiteral("Job # ")) + session.fgLog.textMatrix(i, ToDoColumn::Number) +
                QStringLiteral("  ") + session.fgLog.textMatrix(i, ToDoColumn::Status) + QStringLiteral(" - ") +
                session.fgLog.textMatrix(i, ToDoColumn::Original));
    } else if (!failures) {
        log(Translate(QStringLiteral("Conversion Successful")));
    }
    log(Translate(QStringLiteral("Time to complete job: ")) +
        FormatSeconds((Tick::count() - session.lTotalTimeStart) / 1000.0));
    if (!options.sLogAsConversionJobFile.isEmpty() && failures && session.fgLog.rows() >= 3) {
        QString why;
        if (!ExportGridRenumbered(options.sLogAsConversionJobFile, session.fgLog, &why) ||
            !bFileExists(options.sLogAsConversionJobFile))
            log(Translate(QStringLiteral("Unable to create file. Try a different folder such as 'My Documents'")));
    }
    if (failuresLogged)
        *failuresLogged = failures;
    return clrDone;
}

int ExitStatusFor(int commandLineResult, bool failuresLogged)
{
    if (commandLineResult == clrInvalid)
        return 2;
    if (commandLineResult == clrDone && failuresLogged)
        return 1;
    return 0;
}
