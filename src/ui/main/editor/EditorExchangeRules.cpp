#include "EditorExchangeRules.h"

#include "EditorPanelRules.h"

#include "common/NumberUtils.h"
#include "jobs/ConversionSettings.h"
#include "jobs/ToDoRows.h"
#include "jobs/TypeExtensions.h"
#include "jobs/Validation.h"
#include "language/Translator.h"

namespace {

std::optional<int> wholeNumber(const QString &text)
{
    int value = 0;
    if (bTryCLng(text, value))
        return value;
    return std::nullopt;
}

// The wait of a launch as a number: a box left empty (or holding no number) waits without limit,
// the record's default, so the row always carries the three numbers the reader needs.
int waitSeconds(const QString &text) { return wholeNumber(text).value_or(-1); }

QString conversionUpdateCode(const EditorFields &f, const ConversionSettings &s)
{
    QString code;
    if (bDoSubfoldersInEffect(f.sOriginalFile, f.bDoSubfolders))
        code += u'R';
    if (f.bSaveToOriginalFolder)
        code += u'G';
    if (s.lConversionMethod == cmMSWord)
        code += u'M';
    else if (s.lConversionMethod == cmFromPDF)
        code += u'P';
    if (s.bCreateFileForEachSlide)
        code += u'C';
    if (s.bConvertAllSlides)
        code += u'A';
    return code + u',' + QString::number(s.lFromSlide) + u',' + QString::number(s.lToSlide);
}

QString specializedUpdateCode(const EditorFields &f)
{
    if (f.lSpecialProcess == spLaunchProgram)
        return LaunchOptionsCode(f.lCommandLineThreadPriority, f.lCommandLineWindowState,
                                 waitSeconds(f.sCommandLineWaitTime));
    QString code;
    if (bDoSubfoldersInEffect(f.sOriginalFileSpecialized, f.bDoSubfoldersSpecialized))
        code += u'R';
    if (f.bSaveToOriginalFolderSpecialized)
        code += QStringLiteral(" G");
    if (f.bCaseSensitive)
        code += QStringLiteral(" D");
    if (f.lSpecialProcess == spSearchAndReplace)
        code += FindReplaceSuffix(f.sFindString, f.sReplacementString);
    return code;
}

} // namespace

std::optional<QString> TargetBoxInOriginalFolder(const EditorFields &f, const ConversionSettings &settings)
{
    if (f.bConvert) {
        if (!f.bSaveToOriginalFolder)
            return std::nullopt;
        return TargetInOriginalFolder(f.sOriginalFile, f.lTargetFileType, settings.lConversionMethod);
    }
    if (f.lSpecialProcess == spLaunchProgram || !f.bSaveToOriginalFolderSpecialized)
        return std::nullopt;
    return TargetInOriginalFolder(f.sOriginalFileSpecialized, f.lOriginalFileTypeSpecialized, cmSpecialProcess);
}

clsConversionOptions OptionsFromEditorFields(const EditorFields &f, const ConversionSettings &settings)
{
    clsConversionOptions o;
    if (f.bConvert) {
        o.sActionToDo = QStringLiteral("C");
        o.lConversionMethod = cmAmbrith;
        o.sOriginalFile = f.sOriginalFile;
        o.lOriginalFileType = f.lOriginalFileType;
        o.sTargetFile = f.sTargetFile;
        o.lTargetFileType = f.lTargetFileType;
        o.bDoSubfolders = bDoSubfoldersInEffect(f.sOriginalFile, f.bDoSubfolders);
        o.bSaveInOriginalFolder = f.bSaveToOriginalFolder;
        o.bConvertAllSlides = settings.bConvertAllSlides;
        o.bCreateFileForEachSlide = settings.bCreateFileForEachSlide;
        o.lFromSlide = settings.lFromSlide;
        o.lToSlide = settings.lToSlide;
        return o;
    }
    o.sActionToDo = QStringLiteral("S") + QString::number(f.lSpecialProcess);
    o.lConversionMethod = cmSpecialProcess;
    o.lSpecialProcess = f.lSpecialProcess;
    if (f.lSpecialProcess == spLaunchProgram) {
        o.sOriginalFile = f.sCommandLine;
        o.sTargetFile = f.sCommandLineArguments;
        o.lCommandLineThreadPriority = f.lCommandLineThreadPriority;
        o.lCommandLineWindowState = f.lCommandLineWindowState;
        o.lCommandLineWaitTime = waitSeconds(f.sCommandLineWaitTime);
        return o;
    }
    o.sOriginalFile = f.sOriginalFileSpecialized;
    o.lOriginalFileType = f.lOriginalFileTypeSpecialized;
    o.sTargetFile = f.sTargetFileSpecialized;
    o.lTargetFileType = f.lOriginalFileTypeSpecialized;
    o.bDoSubfolders = bDoSubfoldersInEffect(f.sOriginalFileSpecialized, f.bDoSubfoldersSpecialized);
    o.bSaveInOriginalFolder = f.bSaveToOriginalFolderSpecialized;
    if (f.lSpecialProcess == spSearchAndReplace) {
        o.sFindString = f.sFindString;
        o.sReplaceString = f.sReplacementString;
        o.bCaseSensitive = f.bCaseSensitive;
    }
    return o;
}

QStringList UpdateRowCells(const EditorFields &f, const ConversionSettings &settings)
{
    if (f.bConvert) {
        QString originalText;
        if (settings.lConversionMethod == cmFromPDF)
            originalText = QStringLiteral("PDF");
        else if (settings.lConversionMethod != cmMSWord)
            originalText = GetConverterTypeExtension(f.lOriginalFileType, false);
        return {conversionUpdateCode(f, settings),
                QString(),
                QStringLiteral("C"),
                f.sOriginalFile,
                QString::number(f.lOriginalFileType),
                originalText,
                f.sTargetFile,
                QString::number(f.lTargetFileType),
                GetTypeExtension(f.lTargetFileType, false, settings.lConversionMethod)};
    }
    const bool launch = f.lSpecialProcess == spLaunchProgram;
    const QString type = launch ? QStringLiteral("0") : QString::number(f.lOriginalFileTypeSpecialized);
    const QString typeText =
        launch ? QString() : GetTypeExtension(f.lOriginalFileTypeSpecialized, false, cmSpecialProcess);
    return {specializedUpdateCode(f),
            QString(),
            QStringLiteral("S") + QString::number(f.lSpecialProcess),
            launch ? f.sCommandLine : f.sOriginalFileSpecialized,
            type,
            typeText,
            launch ? f.sCommandLineArguments : f.sTargetFileSpecialized,
            type,
            typeText};
}

ConversionRowFields ReadConversionRowFields(const QStringList &cells)
{
    ConversionRowFields r;
    const QString code = cells.value(0);
    r.bDoSubfolders = hasFlag(code, u'R');
    r.bSaveInOriginalFolder = hasFlag(code, u'G');
    r.lConversionMethod = hasFlag(code, u'M') ? cmMSWord : hasFlag(code, u'P') ? cmFromPDF : cmAmbrith;
    r.bCreateFileForEachSlide = code.contains(u'C');
    r.bConvertAllSlides = code.contains(u'A');
    const QStringList pieces = code.split(u',');
    if (pieces.size() >= 2)
        r.lFromSlide = wholeNumber(pieces.at(1));
    if (pieces.size() >= 3)
        r.lToSlide = wholeNumber(pieces.at(2));
    r.sOriginalFile = cells.value(3);
    r.lOriginalFileType = wholeNumber(cells.value(4));
    r.sTargetFile = cells.value(6);
    r.lTargetFileType = wholeNumber(cells.value(7));
    return r;
}

SpecializedRowFields ReadSpecializedRowFields(const QStringList &cells)
{
    SpecializedRowFields r;
    const QString code = cells.value(0);
    r.bDoSubfolders = hasFlag(code, u'R');
    r.bCaseSensitive = hasFlag(code, u'D');
    r.bSaveInOriginalFolder = hasFlag(code, u'G');

    // The editor takes each text only with its end mark.
    const FindReplaceTexts texts = ReadFindReplaceTexts(code);
    if (texts.found) {
        r.sFindString = texts.find;
        if (texts.replaceEnded)
            r.sReplacementString = texts.replace;
    }

    r.lOriginalFileType = wholeNumber(cells.value(4));
    r.lSpecialProcess = wholeNumber(QString(cells.value(2)).remove(QChar(u'S'), Qt::CaseInsensitive));
    r.sOriginal = cells.value(3);
    r.sTarget = cells.value(6);
    if (r.lSpecialProcess == spLaunchProgram) {
        QString numbers = code;
        numbers.remove(u'T').remove(u'S').remove(u'W');
        const QStringList pieces = numbers.split(u' ', Qt::SkipEmptyParts);
        if (pieces.size() >= 1)
            r.lCommandLineThreadPriority = wholeNumber(pieces.at(0));
        if (pieces.size() >= 2)
            r.lCommandLineWindowState = wholeNumber(pieces.at(1));
        if (pieces.size() >= 3 && wholeNumber(pieces.at(2)))
            r.sCommandLineWaitTime = pieces.at(2);
    }
    return r;
}

QString SlideSummaryText(bool bConvertAllSlides, int lFromSlide, int lToSlide, bool bCreateFileForEachSlide)
{
    QString text;
    if (bConvertAllSlides)
        text = Translate(QStringLiteral("Convert all slides. "));
    else
        text = Translate(QStringLiteral("Convert FROM Slide")) + u' ' + QString::number(lFromSlide) + u' ' +
               Translate(QStringLiteral("TO Slide")) + u' ' + QString::number(lToSlide) + QStringLiteral(". ");
    return text + (bCreateFileForEachSlide ? Translate(QStringLiteral("Create file for each slide."))
                                           : Translate(QStringLiteral("Create one file.")));
}

TargetTypeList TargetTypeListForMethod(int lConversionMethod)
{
    switch (lConversionMethod) {
    case cmMSWord:
        return TargetTypeList::MSWord;
    case cmFromPDF:
        return TargetTypeList::FromPDF;
    default:
        return TargetTypeList::Standard;
    }
}

QString WithCharacterCode(const QString &text, int code)
{
    static const QChar marker(0x00A9);
    return text + marker + QString::number(code) + marker;
}
