#pragma once
// Command-line switches: "/" or "-" and one letter (or "?") standing as a word of its own,
// followed by a blank or the end; the value runs to the next switch. /Y /Z /F /C also take the
// number written straight after the letter ("/C32").
#include <QString>
#include <QStringList>

class clsConversionOptions;

// 1 + the number of switches in the text (field 1 is the text before the first switch).
int CountCommandLineFields(const QString &text);
// Value of field iField (counted from 1) and its switch letter (upper-cased).
QString GetCommandLineField(int iField, const QString &text, QChar &letter);
// Fills the record from the switches, validates it and writes the log header. True when the
// line is not empty and the task is valid. Sets gbCommandLineMode. A refused line gives its
// reason in *psReason, a line per entry (none when there is no reason beyond the refusal). A
// log or results file that names a file of the run refuses the line before anything is written:
// sLogFile is then cleared, so that nothing is written to it afterwards either.
bool ParseCommandLine(const QString &sCommandLine, clsConversionOptions &options, QStringList *psReason = nullptr);
// True when the line holds the help switch "/?".
bool CommandLineAsksForHelp(const QString &sCommandLine);
// The process's own command line: its arguments joined by single blanks.
QString ProcessCommandLine();
// Keeps the process's arguments as bytes (after the application object took its own options), so
// that ParseCommandLine refuses the process's own line when a value it uses is not valid in the
// system's encoding (the reason names its switch).
void RecordProcessArguments(int argc, char **argv);
