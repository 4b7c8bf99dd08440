// Dispatch of the special processes of one file: reload a job, append, remove empty lines,
// search and replace, launch a program.
#include "JobSession.h"

#include "clsConversionOptions.h"
#include "common/FileUtils.h"
#include "jobs/ConvertOneFile.h"
#include "jobs/JobFiles.h"
#include "jobs/LaunchProgram.h"
#include "jobs/TextFileProcesses.h"
#include "jobs/Validation.h"
#include "language/Translator.h"

int JobSession::PerformSpecialProcess(clsConversionOptions &options)
{
    // The text processes read their original and write their target: neither may be the run's
    // log or results file. A job that a reload reads is one the results file must not replace.
    const bool textProcess = options.lSpecialProcess == spAppendFiles ||
                             options.lSpecialProcess == spRemoveEmptyLines ||
                             options.lSpecialProcess == spSearchAndReplace;
    if (textProcess && RefuseRunRecordFile(*this, options, false))
        return options.lErr;
    switch (options.lSpecialProcess) {
    case spReloadJob: {
        // Its job file is its target.
        runRecord.noteRead(options.sTargetFile);
        if (RefuseRunRecordFile(*this, options, false))
            return options.lErr;
        QString why;
        if (LoadConversionJobFile(*this, options.sTargetFile, options.lTargetFileType, &why)) {
            options.lErr = irSuccess;
            options.sErr = GetStatusMessageForResult(options);
        } else {
            // A missing or unreadable job file fails the task; the run goes on.
            options.lErr = irOriginalOpenFailed;
            options.sErr = Translate(QStringLiteral("Unable to load the conversion job file: (")) +
                           options.sTargetFile + QStringLiteral(")");
        }
        return options.lErr;
    }
    case spAppendFiles:
        options.lErr = ConcatenateFiles(*this, options);
        if (!bFileExists(options.sTargetFile))
            options.lErr = irTargetNotCreated;
        break;
    case spRemoveEmptyLines:
        options.lErr = DeleteEmptyLines(*this, options);
        if (!bFileExists(options.sTargetFile))
            options.lErr = irTargetNotCreated;
        break;
    case spSearchAndReplace:
        options.lErr = SearchAndReplaceInFile(*this, options);
        break;
    case spLaunchProgram:
        options.lErr = RunCommandLineSpecialProcess(options, *this);
        break;
    default:
        // An id nothing handles must not pass silently.
        options.lErr = vrBadSpecialProcess;
        options.sErr = Translate(QStringLiteral("Invalid Special Process Identifier specified"));
        return options.lErr;
    }
    if (textProcess && options.lErr == irSuccess)
        runRecord.noteWritten(options.sTargetFile);
    options.sErr = GetStatusMessageForResult(options);
    return options.lErr;
}
