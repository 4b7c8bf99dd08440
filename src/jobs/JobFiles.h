#pragma once
// Conversion job files (".QVJ"): one task row per line, each cell followed by a TAB, lines
// ended by CRLF, UTF-8 without BOM (read as UTF-8 when valid, else Windows-1252). The same
// form serves for the results file of an unattended run and for the log saved as a job.
#include <QByteArray>
#include <QString>
#include <QStringList>

class FlexGrid;
class JobSession;

// The most tasks a load puts into the task grid; the last one is then a reload task that
// continues the job from the first line not read.
constexpr int kMaxLoadedTasks = 30000;

// Whether bytes are a conversion job: every line blank, the "*" row, or shaped as a task row the
// job writer gives (HasTaskRowShape), and no NUL byte. An empty file, or one of blank lines only,
// is an empty job. NUL bytes that follow the last line end and run to the end are a tail that a
// crash left (the text before them is the job); a NUL anywhere else makes the bytes no job.
// Anything that is not a job (a presentation, a table, plain text) is refused by the loads below,
// so that it never becomes a job saved over itself.
bool IsConversionJobText(const QByteArray &bytes);
// Why sFile cannot be opened as a conversion job (missing, unreadable, not a job), or "" when it can.
QString ConversionJobFileRefusal(const QString &sFile);

// Writes every row below the header of session.fgToDo (the "*" row included), every column.
// With no task in the grid the editor's current task is added first (hooks'
// AddFileToConvertGUI); when that adds nothing, nothing is written. Refuses to write over
// session.sCappedJobFile (the grid holds only part of that file). The write is atomic: on
// failure the old file stays whole. False with the reason in *psErr.
bool SaveConversionJobFile(JobSession &session, const QString &sFile, QString *psErr = nullptr);

// Replaces the tasks of session.fgToDo by the file's lines from line lFirstTask on (lines
// counted from 1), numbering them from lFirstTask. Blank lines and "*" rows are skipped but
// counted. At kMaxLoadedTasks - 1 tasks the load stops and, when more tasks follow, appends a
// reload task ("S1") for the first line not read. A Pause (bRunning cleared while pending events
// are processed) stops the load with the rows read so far followed, when more tasks follow, by
// such a reload task; bRunning stays cleared.
// Sets session.sCappedJobFile to the file when the grid holds only part of it, else clears it.
// A missing or unreadable file, or one that is not a job (IsConversionJobText), leaves the grid
// untouched and returns false with *psErr set. A damaged tail is left out; the status panel then
// says so instead of the completed load, and *psNotice gets that text ("" otherwise).
bool LoadConversionJobFile(JobSession &session, const QString &sFile, int lFirstTask, QString *psErr = nullptr,
                           QString *psNotice = nullptr);

// The task lines of a job file, as a load from line lFirstLine on takes them (blank lines, the "*"
// row and a damaged tail left out), at most lMax of them; none when the file cannot be read or is
// not a job.
// The grid is not touched (a look at a job before it runs).
QStringList ReadJobFileTaskLines(const QString &sFile, int lMax, int lFirstLine = 1);

// Writes any grid (in practice the log) in job-file form with its row numbers as task numbers:
// per row column 0, the row number, columns 2 to 7. Rows whose written cells are all empty are
// left out. Atomic like SaveConversionJobFile.
bool ExportGridRenumbered(const QString &sFile, const FlexGrid &grid, QString *psErr = nullptr);

// The log saved as a job: ExportGridRenumbered, with each row of a scheduled run that could not
// start (no Do code, its job file as the original) written as a reload task of that job from its
// first task: a run of the saved job runs it. The results file writes such rows so too.
bool ExportLogAsJob(const QString &sFile, const FlexGrid &log, QString *psErr = nullptr);

// The results file of an unattended run: the failed rows (Pass "-") of the log from row
// lFirstRow on, exported like ExportGridRenumbered (numbered from 1). Rows of launched programs
// ("+") are not failures and stay out. A failed row that cannot be stored (a TAB or a line break
// in a cell) is left out and its original named in *psLeftOut; the rest is written.
bool ExportResultsFile(const QString &sFile, const FlexGrid &log, int lFirstRow, QStringList *psLeftOut = nullptr,
                       QString *psErr = nullptr);
