#pragma once
// Checks of a task before it joins the job or runs from the command line. The outcome is the
// record's lErr (a ValidationResultCode); the reporters in ValidationReports.h word it.
#include <QString>

class clsConversionOptions;

enum ValidationResultCode {
    vrValid = 0,
    vrOriginalFolderMissing = -1,  // wildcard original: its folder does not exist
    vrTargetNeedsWildcard = -2,    // wildcard original, target without "*"
    vrTargetFolderMissing = -3,    // wildcard original: the target's folder does not exist
    vrOriginalFileMissing = -4,    // single original: the file does not exist
    vrTargetHasWildcard = -5,      // single original, target with "*"
    vrTargetParentMissing = -6,    // single original: the target's parent folder does not exist
    vrNoTargetExtension = -7,      // no extension known for the target type
    vrJobFileMissing = -8,         // the command line's job file does not exist
    vrLogFileInUse = -20,          // the command line's log file (/L) is a file the run reads or writes
    vrResultsFileInUse = -21,      // the command line's results file (/B) likewise, or the log file
    vrLogFileNotText = -22,        // the log file exists and is no text (it holds a NUL byte)
    vrResultsFileNotText = -23,    // the results file likewise
    vrBadSpecialProcess = -101,    // not one of 50, 55, 56, 60
    vrBadOriginalType = -102,      // launch: program path with "*"; text processes: bad type
    vrAppendTargetWildcard = -103, // append: target with "*"
    vrAppendSameFile = -104,       // append: original and target are the same file
    vrAppendTargetIsFolder = -105, // append: target is an existing folder
    vrFindTextEmpty = -110,        // search and replace: nothing to find
    vrOutputNotWriteable = -1000000,
};

// Runs the checks of the record's kind with its paths' placeholders expanded, then the
// output-folder check (not for a launch task). lErr receives the outcome; the result is 1
// when the output-folder check failed, else 0. The record keeps its paths as written. A
// conversion's missing target folder is created; a single original clears bDoSubfolders and
// bSaveInOriginalFolder; a special process gets lTargetFileType = lOriginalFileType.
int ValidateToDoItem(clsConversionOptions &options);
// The checks of one kind; they write lErr only when a check fails, and return 0.
int ValidateConversionItem(clsConversionOptions &options);
int ValidateSpecializedItem(clsConversionOptions &options);

// The log file (/L) and the results file (/B) of a command line must name no file that the run
// reads or writes, in any spelling of the path: not the original, not a target (nor a further
// output of it: a picture per slide, the folder of web pages), not each other, and for a folder
// task no name that the originals' pattern or the targets' pattern matches. A job run (/J) checks
// them against the job file, the jobs its reload tasks lead to as they stand now (JobsReachedFrom)
// and the files of all their tasks; the run itself guards against what changes while it runs. The
// results file may be the job file itself when the load reads it whole and no reload leads back.
// Files are compared by identity, so that a hard link to an original of a folder task counts.
// An existing log or results file that is no text (a presentation, a PDF, a picture) is refused
// too. Sets lErr to one of vrLogFileInUse, vrResultsFileInUse, vrLogFileNotText,
// vrResultsFileNotText and returns it; 0 when they are fine. Touches nothing on disk.
int ValidateCommandLineOutputs(clsConversionOptions &options);

// The target of "save in original folder": the original's parent folder, "/" and the wildcard
// extension of the type (e.g. "/in/*.pdf"). The editor puts it in its target box before the
// task is read.
QString TargetInOriginalFolder(const QString &sOriginal, int lTypeCode, int lConversionMethod);
