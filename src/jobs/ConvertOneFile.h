#pragma once
// Conversion of one file of a task: through the conversion control or the "PDF - with options"
// road, followed by the move or delete of the original; and the item result codes with their
// messages.
#include "jobs/clsConversionOptions.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
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
    irRunRecordFile = -14,      // the file is the run's log or results file
    irFileListFailed = -10000,
};


// The text of options.lErr (translated, then completed with the path); "" for a code without one.
QString GetStatusMessageForResult(const clsConversionOptions &options);

// The originals of one task, to tell whether a conversion would write over one of them: by its
// target, by a name made from the target when every slide gets its own file ("x_2.png"), or
// inside the folder of web pages ("x_files/").
class TaskOriginals
{
public:
    void add(const QString &original);
    bool isEmpty() const { return m_exact.isEmpty(); }
    // True when converting options would write over an original of the task.
    bool hitBy(const clsConversionOptions &options) const;

private:
    QString entryKey(const QString &path) const;

    QSet<QString> m_exact;       // the originals
    QSet<QString> m_perSlide;    // targets of which an original is a per-slide name ("x.png" for "x_2.png")
    QSet<QString> m_pagesFolder; // web page targets of which an original lies in the pages' folder
    mutable QHash<QString, QString> m_folders;
};

// Fails options (irRunRecordFile, with its line) when its original, or what writing its target
// would replace, is the log or results file of the run; for a conversion (bOutputs) a picture
// per slide or a page of web pages too. True when it failed.
bool RefuseRunRecordFile(const JobSession &session, clsConversionOptions &options, bool bOutputs);

// Converts one file, then moves or deletes its original when the settings say so (only after
// a success). Returns the result code, also left in options.lErr with its text in options.sErr.
// A conversion that would write over one of originals fails as one whose target is its original.
int ConvertToDoItem(JobSession &session, clsConversionOptions &options, const TaskOriginals *originals = nullptr);

// The bytes of a file whose path is not text, of its target and of its sub-folder below the
// task's folder (for a move after processing).
struct RawFileNames
{
    QByteArray original;
    QByteArray target;
    QByteArray subFolder;
};

// ConvertToDoItem for such a file, whose record holds the readable forms of the paths (for the
// log): the conversion reads the original through a link of a name that is text and writes under
// a free name of the target folder; the outputs then take the target's own bytes (a picture per
// slide "name_2.png" too). Web pages, whose pages link each other by name, are refused.
int ConvertByteNamedItem(JobSession &session, clsConversionOptions &options, const RawFileNames &raw,
                         const TaskOriginals *originals);

// One conversion through the session's conversion control. Sets options.lErr and options.sErr.
int ConvertWithConverterControl(JobSession &session, clsConversionOptions &options);

// What ConvertWithConverterControl asks the conversion control for, from the record's own fields;
// the look-ahead names the files to come by the same requests.
ConversionRequest ConversionRequestFor(const clsConversionOptions &options);
