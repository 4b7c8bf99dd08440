#pragma once
// Appends lines to the log file of an unattended run, serialised across processes.
#include <QString>

class Prompter;

// Appends sMessage and CRLF to sLogFile (when not empty) under the machine-wide lock, releases
// the lock, then shows the message when bShowMessage (through the prompter installed with
// SetLogMessagePrompter; without one, on standard output). Never reports failure.
void WriteToLogFile(const QString &sMessage, const QString &sLogFile, bool bShowMessage);
void SetLogMessagePrompter(Prompter *prompter);
