#pragma once
// Appends lines to the log file of an unattended run, serialised across processes.
#include <QString>
#include <QStringList>

class Prompter;

// Appends sMessage as one line and CRLF to sLogFile (when not empty; the file is created when
// missing, its folder is not; NUL bytes that a power cut left after its last line end are cut
// off first) under the machine-wide lock, releases the lock, then shows the
// message when bShowMessage (through the prompter installed with SetLogMessagePrompter; without
// one, on standard output). Every control character of the message is written escaped (see
// EscapeControlCharacters), whatever its source, so that a text the user gave (a path, a name in
// an error text) can neither break the line nor forge one of its own; text of several lines
// goes through WriteLinesToLogFile. UTF-8. Never reports failure: a line that cannot be
// appended goes to standard error.
void WriteToLogFile(const QString &sMessage, const QString &sLogFile, bool bShowMessage);
// The same for a message of several lines (the log header, a reason in pieces): each line
// escaped on its own, all of them appended in one write; the box shows them joined by CRLF.
void WriteLinesToLogFile(const QStringList &lines, const QString &sLogFile, bool bShowMessage);
void SetLogMessagePrompter(Prompter *prompter);
// Writes sMessage, escaped like a log line, and a line end to standard error at once: always
// one line (what a log that cannot be written, or a run without a log, must not swallow).
void WriteToStandardError(const QString &sMessage);

// Control characters (and U+2028, U+2029, which viewers take for line ends, and the bidi
// controls U+202A-U+202E, U+2066-U+2069, U+200E, U+200F, which reorder what follows) written visibly:
// "\r", "\n", "\t", else "\xHH" or "\uHHHH". A backslash itself is kept as it is, so that a
// path holding one stays readable and a text escaped already comes back unchanged.
QString EscapeControlCharacters(const QString &text);

// The machine-wide lock "Ambrith_Global_Mutex" that every writer of such logs shares. Waits
// without limit; a lock that cannot be taken is ignored (the caller goes on). Calls nest; each
// CreateGlobalMutex is matched by one ReleaseGlobalMutex on the same thread.
void CreateGlobalMutex();
void ReleaseGlobalMutex();
