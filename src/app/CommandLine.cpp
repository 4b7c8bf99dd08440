#include "CommandLine.h"

#include "common/DateHelpers.h"
#include "common/Globals.h"
#include "common/Help.h"
#include "common/LogWriter.h"
#include "common/NumberUtils.h"
#include "common/PathUtils.h"
#include "jobs/TypeExtensions.h"
#include "jobs/Validation.h"
#include "jobs/ValidationReports.h"
#include "jobs/clsConversionOptions.h"
#include "language/Translator.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <limits>

namespace {

struct Field
{
    QChar letter;
    QString value;
    int start = 0; // where the field's text begins in the line (after its switch)
};

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

bool takesGluedNumber(QChar letter)
{
    const QChar u = letter.toUpper();
    return u == u'Y' || u == u'Z' || u == u'F' || u == u'C';
}

// Length of the switch starting at i (2, or more for a glued number), or 0 when none starts there.
int switchAt(const QString &s, int i)
{
    const int n = static_cast<int>(s.size());
    if (i + 1 >= n || (s[i] != u'/' && s[i] != u'-'))
        return 0;
    if (i > 0 && !isBlank(s[i - 1]))
        return 0;
    const QChar letter = s[i + 1];
    if (!letter.isLetter() && letter != u'?')
        return 0;
    if (i + 2 == n || isBlank(s[i + 2]))
        return 2;
    if (!takesGluedNumber(letter))
        return 0;
    int j = i + 2;
    if (j < n && s[j] == u'-')
        ++j;
    const int digits = j;
    while (j < n && s[j].isDigit())
        ++j;
    if (j == digits || (j < n && !isBlank(s[j])))
        return 0;
    return 2;
}

QList<Field> splitFields(const QString &s)
{
    QList<Field> fields;
    Field current; // field 1: the text before the first switch
    int valueStart = 0;
    const int n = static_cast<int>(s.size());
    for (int i = 0; i < n; ++i) {
        const int len = switchAt(s, i);
        if (len == 0)
            continue;
        current.value = s.mid(valueStart, i - valueStart).trimmed();
        fields.append(current);
        current = Field{s[i + 1].toUpper(), QString(), i + len};
        valueStart = i + len;
        i += len - 1;
    }
    current.value = s.mid(valueStart).trimmed();
    fields.append(current);
    return fields;
}

// A value with a "/" is a path of its own (relative ones to the current folder); a bare name
// lies in the program's folder.
QString applyPathRule(const QString &value)
{
    const QString expanded = ExpandPathVariables(value);
    if (expanded.contains(u'/')) {
        const QString p = RemoveQuotes(expanded);
        return QDir::isAbsolutePath(p) ? p : QDir::current().absoluteFilePath(p);
    }
    return GetProgramFolder() + u'/' + expanded;
}

enum class Number { NotANumber, Fits, TooLarge };

// A number of a switch, rounded as long integers are. Text that is no number keeps the old
// value; digits beyond what the field (or even a double) holds cannot be meant.
Number readNumber(const QString &value, int &n)
{
    double v = 0;
    if (!bTryCDbl(value, v)) {
        // Written as a number (digits, a decimal part, a positive exponent) yet beyond a double:
        // too large, like the digits that only overflow the field.
        static const QRegularExpression huge(QStringLiteral("^[+-]?([0-9]+[.,]?[0-9]*|[.,][0-9]+)([eE][+]?[0-9]+)?$"));
        return huge.match(value.trimmed()).hasMatch() ? Number::TooLarge : Number::NotANumber;
    }
    const double rounded = std::nearbyint(v);
    if (rounded < std::numeric_limits<int>::min() || rounded > std::numeric_limits<int>::max())
        return Number::TooLarge;
    n = static_cast<int>(rounded);
    return Number::Fits;
}

// A type code of /F or /C; false when the number is too large for it (the field is then kept).
bool setNumber(const QString &value, int &field)
{
    int n = 0;
    const Number r = readNumber(value, n);
    if (r == Number::Fits)
        field = n;
    return r != Number::TooLarge;
}

enum class SlideNumber { Kept, Set, Negative, TooLarge };

// A slide number of /Y or /Z. 0 leaves that end of the range open, as in job rows; a negative
// number, or one too large for the field, cannot be meant and refuses the line.
SlideNumber setSlideNumber(const QString &value, int &field)
{
    int n = 0;
    switch (readNumber(value, n)) {
    case Number::NotANumber:
        return SlideNumber::Kept;
    case Number::TooLarge:
        return value.trimmed().startsWith(u'-') ? SlideNumber::Negative : SlideNumber::TooLarge;
    case Number::Fits:
        break;
    }
    if (n < 0)
        return SlideNumber::Negative;
    field = n;
    return SlideNumber::Set;
}

// The process's arguments as the system gave them, for the test of their encoding.
QList<QByteArray> &rawArguments()
{
    static QList<QByteArray> args;
    return args;
}

} // namespace

int CountCommandLineFields(const QString &text) { return static_cast<int>(splitFields(text).size()); }

QString GetCommandLineField(int iField, const QString &text, QChar &letter)
{
    const QList<Field> fields = splitFields(text);
    if (iField < 1 || iField > fields.size())
        return QString();
    letter = fields.at(iField - 1).letter;
    return fields.at(iField - 1).value;
}

bool CommandLineAsksForHelp(const QString &sCommandLine)
{
    const QList<Field> fields = splitFields(sCommandLine);
    for (int i = 1; i < fields.size(); ++i)
        if (fields.at(i).letter == u'?')
            return true;
    return false;
}

QString ProcessCommandLine()
{
    QStringList args = QCoreApplication::arguments();
    if (!args.isEmpty())
        args.removeFirst();
    return args.join(u' ');
}

void RecordProcessArguments(int argc, char **argv)
{
    QList<QByteArray> &args = rawArguments();
    args.clear();
    for (int i = 1; i < argc; ++i)
        args.append(QByteArray(argv[i]));
}

namespace {

// The switches whose used value cannot be read, in the order of the line: an argument of the
// process whose bytes the system's encoding does not give back (the name read would be another
// file's) holds part of it. Only the last path of each switch in usedLetters is used; numbers in
// such bytes are no numbers and keep the old value, and the text before the first switch and
// unknown letters are ignored. "" when every used value is sound, or sCommandLine is not the
// process's own.
QString undecodableUsedValues(const QString &sCommandLine, const QList<Field> &fields, const QString &usedLetters)
{
    const QList<QByteArray> &raw = rawArguments();
    if (raw.isEmpty() || sCommandLine != ProcessCommandLine())
        return QString();
    // Where each used value lies in the line: from after its switch to the next switch.
    QList<std::pair<int, int>> spans;
    QString letters;
    for (qsizetype i = fields.size() - 1; i >= 1; --i) {
        const QChar letter = fields.at(i).letter;
        if (!usedLetters.contains(letter) || letters.contains(letter))
            continue;
        letters.prepend(letter);
        const int end = i + 1 < fields.size() ? fields.at(i + 1).start : static_cast<int>(sCommandLine.size());
        spans.prepend({fields.at(i).start, end});
    }
    QString bad;
    int offset = 0;
    for (const QByteArray &bytes : raw) {
        const QString text = QString::fromLocal8Bit(bytes);
        const int end = offset + static_cast<int>(text.size());
        if (text.toLocal8Bit() != bytes)
            for (qsizetype k = 0; k < spans.size(); ++k)
                if (spans.at(k).first < end && offset < spans.at(k).second && !bad.contains(letters.at(k)))
                    bad += letters.at(k);
        offset = end + 1;
    }
    // In the order of the line.
    std::sort(bad.begin(), bad.end(), [&](QChar a, QChar b) { return letters.indexOf(a) < letters.indexOf(b); });
    return bad;
}

} // namespace

bool ParseCommandLine(const QString &sCommandLine, clsConversionOptions &options, QStringList *psReason)
{
    if (psReason)
        psReason->clear();
    if (sCommandLine.isEmpty()) {
        gbCommandLineMode = false;
        return false;
    }
    gbCommandLineMode = true;
    // What the last /Y and the last /Z asked for that cannot be meant (Kept when nothing).
    SlideNumber badFrom = SlideNumber::Kept;
    SlideNumber badTo = SlideNumber::Kept;
    auto slide = [&](const QString &value, int &field, SlideNumber &bad) {
        const SlideNumber r = setSlideNumber(value, field);
        if (r != SlideNumber::Kept)
            bad = r == SlideNumber::Set ? SlideNumber::Kept : r;
        options.bConvertAllSlides = false;
    };
    // The switches whose last number is too large for its field (none when every one fits).
    QString badTypeCodes;
    auto typeCode = [&](QChar letter, const QString &value, int &field) {
        badTypeCodes.remove(letter);
        if (!setNumber(value, field))
            badTypeCodes += letter;
    };
    const QList<Field> fields = splitFields(sCommandLine);
    for (int i = 1; i < fields.size(); ++i) {
        const QString &v = fields.at(i).value;
        switch (fields.at(i).letter.unicode()) {
        case u'Y':
            slide(v, options.lFromSlide, badFrom);
            break;
        case u'Z':
            slide(v, options.lToSlide, badTo);
            break;
        case u'E':
            options.bCreateFileForEachSlide = true;
            break;
        case u'S':
            options.sOriginalFile = applyPathRule(v);
            break;
        case u'F':
            typeCode(u'F', v, options.lOriginalFileType);
            break;
        case u'T':
            options.sTargetFile = applyPathRule(v);
            break;
        case u'C':
            typeCode(u'C', v, options.lTargetFileType);
            break;
        case u'V':
            options.bVerbose = true;
            break;
        case u'R':
            options.bDoSubfolders = true;
            break;
        case u'G':
            options.bSaveInOriginalFolder = true;
            break;
        case u'L':
            options.sLogFile = applyPathRule(v);
            break;
        case u'B':
            options.sLogAsConversionJobFile = applyPathRule(v);
            break;
        case u'J':
            options.sCLBatchJobFile = applyPathRule(v);
            break;
        case u'O':
            options.bOpenButDoNotRun = true;
            gbCommandLineMode = false;
            break;
        case u'?':
            ShowHelpTopic(63, 1, QString());
            break;
        default:
            break; // unknown letters are ignored
        }
    }
    if (options.bSaveInOriginalFolder) {
        QString folder = GetParentFolder(options.sOriginalFile);
        if (!folder.endsWith(u'/'))
            folder += u'/';
        options.sTargetFile = folder + GetTypeExtension(options.lTargetFileType, true, options.lConversionMethod);
    }
    if (!options.sCLBatchJobFile.isEmpty() &&
        options.sCLBatchJobFile.contains(QStringLiteral("#OPEN.QVJ"), Qt::CaseInsensitive)) {
        options.bOpenButDoNotRun = true;
        gbCommandLineMode = false;
    }
    // A used value whose bytes were replaced on reading names another file than the user gave:
    // refused before anything is made, in the log too when the log's own name is sound.
    // A job run uses its job instead of /S and /T; /G names the target instead of /T.
    const QString usedLetters = !options.sCLBatchJobFile.isEmpty() ? QStringLiteral("JLB")
                                : options.bSaveInOriginalFolder    ? QStringLiteral("SLB")
                                                                   : QStringLiteral("STLB");
    const QString badLetters = undecodableUsedValues(sCommandLine, fields, usedLetters);
    if (badLetters.contains(u'L'))
        options.sLogFile.clear();
    const QString undecodable =
        badLetters.isEmpty()
            ? QString()
            : Translate(QStringLiteral("A command line argument is not valid text in the system's character encoding")) +
                  QStringLiteral(" (/") + badLetters.at(0) + u')';
    // A log or results file that would write over a file of the run refuses the line before
    // anything is written, the log's header included: its reason goes to standard error alone.
    if (ValidateCommandLineOutputs(options) != vrValid) {
        const QStringList reason = ValidationMessageLinesCmdLine(options);
        options.sErr = reason.join(QStringLiteral("\r\n"));
        if (psReason)
            *psReason = reason;
        options.sLogFile.clear();
        return false;
    }
    // A refused line creates nothing, and validation would create a missing target folder.
    const SlideNumber badSlide = badFrom != SlideNumber::Kept ? badFrom : badTo;
    const bool badNumber = !badTypeCodes.isEmpty();
    const bool refusedNumber = (badSlide != SlideNumber::Kept || badNumber) && options.sCLBatchJobFile.isEmpty();
    if (!refusedNumber && undecodable.isEmpty())
        ValidateToDoItem(options);
    if (!options.sLogFile.isEmpty()) {
        const QString rule = QStringLiteral("-----------------------------") + GetProgramTitle() + QStringLiteral("-------");
        WriteLinesToLogFile({rule, Translate(QStringLiteral("Date")) + QStringLiteral(": ") +
                                       FormatGeneralDate(QDateTime::currentDateTime())},
                            options.sLogFile, false);
    }
    if (!undecodable.isEmpty()) {
        options.sErr = undecodable;
        if (psReason)
            *psReason = QStringList{undecodable};
        WriteToLogFile(undecodable, options.sLogFile, options.bVerbose);
        return false;
    }
    if (options.lErr != 0) {
        ReportValidationResultCmdLine(options);
        if (psReason)
            *psReason = ValidationMessageLinesCmdLine(options);
        return false;
    }
    if (refusedNumber) {
        options.sErr = badNumber ? Translate(QStringLiteral("Invalid number: too large for its switch: ")) + u'/' + badTypeCodes.at(0)
                       : badSlide == SlideNumber::Negative
                           ? Translate(QStringLiteral("Invalid slide range: slide numbers start at 1 (/Y and /Z switches)."))
                           : Translate(QStringLiteral("Invalid slide range: the slide number is too large (/Y and /Z switches)."));
        if (psReason)
            *psReason = QStringList{options.sErr};
        WriteToLogFile(options.sErr, options.sLogFile, options.bVerbose);
        return false;
    }
    return true;
}
