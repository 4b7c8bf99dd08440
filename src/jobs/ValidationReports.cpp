#include "ValidationReports.h"

#include "common/FileUtils.h"
#include "common/LogWriter.h"
#include "common/PathUtils.h"
#include "jobs/Validation.h"
#include "jobs/clsConversionOptions.h"
#include "language/Translator.h"
#include "platform/Prompter.h"

namespace {

const QString CRCR = QStringLiteral("\r\r");
const QString CRLF = QStringLiteral("\r\n");
const QString LFLF = QStringLiteral("\n\n");

QString T(const char *s) { return Translate(QString::fromUtf8(s)); }

QString textBeforeWildcard(const QString &s) { return s.left(s.indexOf(QLatin1Char('*'))); }

// What the output-folder judge says of the target. The validator may have found the folder
// unwriteable where the judge finds nothing to object (the original's folder was tested, or
// the folder changed since): that is still an unwriteable folder, with nothing to recommend.
int judgeOutputFolder(const clsConversionOptions &o, QString &recommended, QString &message)
{
    const int code = CheckOutputFolder(o.sTargetFile, recommended, message);
    if (code != ofcFine)
        return code;
    message = QStringLiteral("Output folder is not writeable.");
    return ofcNotWriteable;
}

// The texts that the window and the log word alike, in pieces (a line each in the log); none
// for the rest.
QStringList commonPieces(const clsConversionOptions &o)
{
    switch (o.lErr) {
    case vrOriginalFolderMissing:
        return {T("Original Folder"), GetParentFolder(o.sOriginalFile), T("does not exist.")};
    case vrTargetNeedsWildcard:
        return {T("'Target File' must have wild card (*) since Original file has a wildcard."),
                T("For example: '/MyFiles/*.PDF'")};
    case vrTargetHasWildcard:
        return {T("Target File"), o.sTargetFile, T("cannot have a wildcard (*) in it unless the Original file does.")};
    case vrBadSpecialProcess:
        return {T("Invalid Special Process Identifier specified")};
    case vrBadOriginalType:
        return {T("Invalid original file type for the Special Process specified.")};
    case vrAppendTargetWildcard:
        return {T("Target File"), o.sTargetFile, T("cannot have a wildcard (*) for this special process")};
    case vrAppendTargetIsFolder:
        return {T("Target must be a specific file. Not a folder.")};
    case vrFindTextEmpty:
        return {T("String to find and replace is empty.")};
    default:
        return {};
    }
}

// Window texts of the codes that have one; "" for the rest.
QString guiMessage(const clsConversionOptions &o)
{
    switch (o.lErr) {
    case vrNoTargetExtension:
        return T("Invalid Target File type specified");
    case vrAppendSameFile:
        return T("Original and Target File are the same. Cannot concatenate a file onto itself");
    default:
        return commonPieces(o).join(CRCR);
    }
}

class GuiReporter
{
public:
    GuiReporter(clsConversionOptions &o, Prompter &p, ValidationEditor *e)
        : o(o), prompter(p), editor(e)
    {
    }

    int box(const QString &text, int style)
    {
        return prompter.msgBox(text, style, T("Error"));
    }
    void info(const QString &text) { box(text, Prompter::OkOnly | Prompter::Information); }
    void summary(const QString &message) { info(T("Unable to add/update: ") + CRCR + message); }
    void focus(ValidationEditor::Box b)
    {
        if (editor)
            editor->focusBox(b);
    }

    // -3 and -6: offer to create the target folder. The folder is created in its expanded
    // form, and the answer is a success only when the folder is really there afterwards.
    bool offerFolder(const QString &folder, const QString &question)
    {
        if (folder.trimmed().isEmpty()) {
            info(T("Target file not specified. Use a wildcard to specify whole folder."));
            focus(ValidationEditor::TargetFile);
            return false;
        }
        const QString text = T("Target Folder") + CRCR + folder + CRCR + question;
        if (box(text, Prompter::YesNo | Prompter::Information) != Prompter::Yes) {
            focus(ValidationEditor::TargetFile);
            return false;
        }
        const QString expanded = ExpandPathVariables(folder);
        CreateFolderTree(expanded);
        if (bFolderExistsFSO(expanded))
            return true;
        box(T("Target Folder") + CRCR + expanded + CRCR + T("could not be created."),
            Prompter::OkOnly | Prompter::Critical);
        focus(ValidationEditor::TargetFile);
        return false;
    }

    bool offerOutputFolder()
    {
        QString recommended;
        QString message;
        const int code = judgeOutputFolder(o, recommended, message);
        QString text = Translate(message) + CRCR + ExpandPathVariables(o.sTargetFile) + CRCR;
        bool accepted = false;
        if (code != ofcNotWriteable) {
            text += T("Do you want to use the recommended output folder path below instead")
                + QStringLiteral(":") + CRCR + recommended;
            if (box(text, Prompter::OkCancel | Prompter::Exclamation) == Prompter::Ok) {
                o.sTargetFile = recommended;
                if (editor)
                    editor->setTargetFileText(recommended);
                accepted = true;
            }
        } else {
            box(text, Prompter::OkOnly | Prompter::Critical);
        }
        focus(ValidationEditor::TargetFile);
        return accepted;
    }

    bool report()
    {
        const QString message = guiMessage(o);
        switch (o.lErr) {
        case vrValid:
            return true;
        case vrOriginalFolderMissing:
            info(message);
            summary(message);
            focus(ValidationEditor::OriginalFile);
            return false;
        case vrTargetNeedsWildcard:
        case vrTargetHasWildcard:
            info(message);
            summary(message);
            focus(ValidationEditor::TargetFile);
            return false;
        case vrTargetFolderMissing:
            return offerFolder(textBeforeWildcard(o.sTargetFile), T("does not exist. Create it?"));
        case vrTargetParentMissing:
            return offerFolder(GetParentFolder(o.sTargetFile),
                               T("does not exist.  Create it?") + CRCR + T("Create it?"));
        case vrOriginalFileMissing:
            return reportMissingOriginal();
        case vrNoTargetExtension:
        case vrBadSpecialProcess:
        case vrBadOriginalType:
            info(message);
            return false;
        case vrAppendTargetWildcard:
        case vrAppendSameFile:
        case vrAppendTargetIsFolder:
            info(message);
            focus(ValidationEditor::TargetFileSpecialized);
            return false;
        case vrFindTextEmpty:
            info(message);
            focus(ValidationEditor::FindString);
            return false;
        case vrOutputNotWriteable:
            return offerOutputFolder();
        default:
            summary(QString());
            return false;
        }
    }

    bool reportMissingOriginal()
    {
        bool addAnyway = false;
        if (o.sOriginalFile.isEmpty()) {
            info(T("Unable to add/update: ") + CRCR + T("Original File has not been specified."));
        } else {
            const QString text = T("Unable to add/update: ") + CRCR + T("Original File") + CRCR
                + o.sOriginalFile + CRCR + T("does not exist.") + LFLF + T("Add anyway?");
            addAnyway = box(text, Prompter::YesNo | Prompter::Information) == Prompter::Yes;
        }
        focus(ValidationEditor::OriginalFile);
        return addAnyway;
    }

private:
    clsConversionOptions &o;
    Prompter &prompter;
    ValidationEditor *editor;
};

} // namespace

QStringList ValidationMessageLinesCmdLine(const clsConversionOptions &o)
{
    switch (o.lErr) {
    case vrTargetFolderMissing:
    case vrTargetParentMissing:
        return {T("Output Folder"), GetParentFolder(o.sTargetFile), T("does not exist.")};
    case vrOriginalFileMissing:
        return {T("Original File"), o.sOriginalFile, T("does not exist.")};
    case vrNoTargetExtension:
        return {T("Invalid Target File type specified (/C# switch)."), QString(),
                T("If you are not using the built in 'Quorvane' conversion, use the correct target "
                  "type lookup table")};
    case vrJobFileMissing:
        return {T("Conversion Job File (*.QVJ) specified in the command line (/J) does not exist.")};
    case vrLogFileInUse:
        return {T("The log file (/L) names a file that this run reads or writes:"), o.sLogFile};
    case vrResultsFileInUse:
        return {T("The results file (/B) names a file that this run reads or writes:"), o.sLogAsConversionJobFile};
    case vrLogFileNotText:
        return {T("The log file (/L) exists and is not a text file:"), o.sLogFile};
    case vrResultsFileNotText:
        return {T("The results file (/B) exists and is not a text file:"), o.sLogAsConversionJobFile};
    case vrAppendSameFile:
        return {T("Cannot concatenate a file with itself.")};
    case vrOutputNotWriteable: {
        QString recommended;
        QString message;
        judgeOutputFolder(o, recommended, message);
        return {T("Output Folder") + QStringLiteral(": ") + Translate(message), ExpandPathVariables(o.sTargetFile)};
    }
    default:
        return commonPieces(o);
    }
}

QString ValidationMessageCmdLine(const clsConversionOptions &o) { return ValidationMessageLinesCmdLine(o).join(CRLF); }

void ReportValidationResultCmdLine(clsConversionOptions &options)
{
    const QStringList lines = ValidationMessageLinesCmdLine(options);
    options.sErr = lines.join(CRLF);
    WriteLinesToLogFile(lines, options.sLogFile, options.bVerbose);
}

bool ReportValidationResultGUI(clsConversionOptions &options, Prompter &prompter,
                               ValidationEditor *editor)
{
    return GuiReporter(options, prompter, editor).report();
}
