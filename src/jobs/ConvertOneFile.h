#pragma once
// Conversion of one file of a task: through the conversion control or the "PDF - with options"
// road, followed by the move or delete of the original; and the item result codes with their
// messages.
#include "jobs/clsConversionOptions.h"

#include <QString>

class JobSession;
class clsConversionOptions;
struct ConversionRequest;

// Item result codes (a task record's lErr). Codes of the conversion control and of the
// text-file processes pass through unchanged.
enum ItemResultCode {
    irSuccess = 0,
    irTargetOpenOrSaveFailed = -2,
    irOriginalOpenFailed = -3,
    irPowerPointTooNew = -4,
    irSourceIsTarget = -6,
    irTargetNotCreated = -7,
    irLaunchFailed = -10,
    irLaunchTimeout = -11,
    irInterrupted = -12,        // a signal stopped the run (and the launched program)
    irTargetWrittenInRun = -13, // another original of the run wrote the target first
    irFileListFailed = -10000,
};


// The text of options.lErr (translated, then completed with the path); "" for a code without one.
QString GetStatusMessageForResult(const clsConversionOptions &options);

// Converts one file, then moves or deletes its original when the settings say so (only after
// a success). Returns the result code, also left in options.lErr with its text in options.sErr.
int ConvertToDoItem(JobSession &session, clsConversionOptions &options);

// One conversion through the session's conversion control. Sets options.lErr and options.sErr.
int ConvertWithConverterControl(JobSession &session, clsConversionOptions &options);

// What ConvertWithConverterControl asks the conversion control for, from the record's own fields;
// the look-ahead names the files to come by the same requests.
ConversionRequest ConversionRequestFor(const clsConversionOptions &options);
