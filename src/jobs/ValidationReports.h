#pragma once
// Telling the user why a task failed validation: message boxes with the fixes they offer in
// the window, a log line in an unattended run.
#include <QString>
#include <QStringList>

class clsConversionOptions;
class Prompter;

// The parts of the task editor that the window reporter moves to or fills. The main window
// implements it; a focus move happens only when the box is visible, and selects its text.
class ValidationEditor
{
public:
    enum Box { OriginalFile, TargetFile, TargetFileSpecialized, FindString };
    virtual ~ValidationEditor() = default;
    virtual void focusBox(Box box) = 0;
    // The conversion panel's target box shows the text.
    virtual void setTargetFileText(const QString &text) = 0;
};

// The message of a failed validation for the log, a line per entry; none for codes without one.
QStringList ValidationMessageLinesCmdLine(const clsConversionOptions &options);
// The same lines joined by CRLF; "" for codes without one.
QString ValidationMessageCmdLine(const clsConversionOptions &options);

// Sets sErr to the message of the record's lErr (its lines joined by CRLF) and writes its lines to
// the record's log file (shown as well with bVerbose).
void ReportValidationResultCmdLine(clsConversionOptions &options);

// Shows the boxes for the record's lErr through the prompter (title "Error") and offers the
// fixes it can make: create a missing target folder, add a task whose original is missing,
// switch to a recommended output folder. True when the task may be added after all. editor
// may be null.
bool ReportValidationResultGUI(clsConversionOptions &options, Prompter &prompter,
                               ValidationEditor *editor);
