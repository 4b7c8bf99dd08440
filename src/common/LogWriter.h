#pragma once
// Appends lines to the log file of an unattended run, serialised across processes.
#include <QString>

class Prompter;

// Appends sMessage and CRLF to sLogFile (when not empty; the file is created when missing, its
// folder is not) under the machine-wide lock, releases the lock, then shows the message when
// bShowMessage (through the prompter installed with SetLogMessagePrompter; without one, on
// standard output). Text is UTF-8, every line end CRLF. Never reports failure: a line that
// cannot be appended goes to standard error.
void WriteToLogFile(const QString &sMessage, const QString &sLogFile, bool bShowMessage);
void SetLogMessagePrompter(Prompter *prompter);
// Writes sMessage and a line end to standard error at once, with the platform's own line ends
// (what a log that cannot be written, or a run without a log, must not swallow).
void WriteToStandardError(const QString &sMessage);

// A file name as a log line may carry it: control characters written visibly ("\r", "\n",
// "\t", else "\xHH"), so that a name can neither break the line nor forge one of its own.
QString EscapeControlCharacters(const QString &text);
// A message of several lines as one line: its lines trimmed and joined by a blank, control
// characters escaped.
QString OneLine(const QString &text);

// The machine-wide lock "Ambrith_Global_Mutex" that every writer of such logs shares. Waits
// without limit; a lock that cannot be taken is ignored (the caller goes on). Calls nest; each
// CreateGlobalMutex is matched by one ReleaseGlobalMutex on the same thread.
void CreateGlobalMutex();
void ReleaseGlobalMutex();
