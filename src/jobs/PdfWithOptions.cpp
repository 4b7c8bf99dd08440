#include "jobs/PdfWithOptions.h"

#include "common/FileUtils.h"
#include "converter/ConversionControl.h"
#include "converter/TypeCatalogue.h"
#include "jobs/ConvertOneFile.h"
#include "jobs/JobSession.h"
#include "jobs/TextControlFileIO.h"
#include "jobs/clsConversionOptions.h"
#include "language/Translator.h"
#include "platform/StagedNames.h"
#include "textcontrol/TextControl.h"

#include <QFileInfo>
#include <QList>
#include <QPair>
#include <QStringList>

namespace {

constexpr int kRtfStream = 5;
constexpr int kPdfStream = 12;

// The intermediate RTF: a staged name of this process beside the target, which nobody takes for
// a file of theirs and which a later run's sweep removes when this process is killed before it
// is deleted. Its per-slide names keep the staged part.
QString intermediateRtfName(const QString &target)
{
    const QFileInfo fi(target);
    return fi.absolutePath() + u'/' + StagedNames::ownName(StagedNames::Kind::Part, fi.fileName() + QStringLiteral(".rtf"));
}

} // namespace

void ApplyULKSettingsToTextControl(JobSession &session)
{
    TextControl *tc = session.TXTextControl1();
    const ConversionSettings &s = session.settings;
    tc->setZoomFactor(100);
    if (s.bOverrideFontSettings || s.bOverrideParagraphSettings || s.bOverridePageSettings) {
        tc->setSelStart(0);
        tc->setSelLength(int(tc->Text().size()));
    }
    if (s.bOverridePageSettings) {
        tc->setPageMarginL(s.lULKPageMarginL);
        tc->setPageMarginT(s.lULKPageMarginT);
        tc->setPageMarginR(s.lULKPageMarginR);
        tc->setPageMarginB(s.lULKPageMarginB);
        tc->setOutputOption(9, s.lULKStyleSheetOption);
        tc->setOutputOption(8, s.sULKStyleSheetFile);
        // The page dialog stores 0 for an empty box: such a size would make no PDF at all, so
        // the page the document brought (or the default page) stays.
        if (s.lULKPageWidth > 0 && s.lULKPageHeight > 0) {
            tc->setOutputOption(1, s.lULKPageHeight);
            tc->setOutputOption(0, s.lULKPageWidth);
            tc->setPageHeight(s.lULKPageHeight);
            tc->setPageWidth(s.lULKPageWidth);
        }
    }
    if (s.bOverrideParagraphSettings) {
        WriteULKParagraphSettings(*tc, s);
    }
    if (s.bOverrideFontSettings) {
        WriteULKFontSettings(*tc, s);
    }
    if (s.bOverridePDFSettings) {
        tc->setOutputOption(12, s.sULKPDFUserPassword);
        tc->setOutputOption(11, s.sULKPDFMasterPassword);
        tc->setOutputOption(10, s.lDocAccessPermissions);
    } else {
        tc->setOutputOption(12, QString());
        tc->setOutputOption(11, QString());
    }
    if (s.bOverrideImageSettings) {
        tc->setOutputOption(13, s.lImageComparessionQuality);
        tc->setOutputOption(14, s.lImageMaxResolution);
    } else {
        tc->setOutputOption(13, 0);
        tc->setOutputOption(14, 0);
    }
}

int ConvertRTFToPDFWithTextControl(JobSession &session, clsConversionOptions &options)
{
    TextControl *tc = session.TXTextControl1();
    AttachOfficeWorker(session, tc);
    QString message;
    int result = 0;
    int originalType = options.lOriginalFileType;
    // Here a failed load gives -2 and a failed save -3, the reverse of the codes' names: the
    // record's text is the control's own message, and stored results keep these numbers.
    if (TXControlLoadFile(options.sOriginalFile, originalType, tc, message, &session) != 0) {
        result = irTargetOpenOrSaveFailed;
    } else {
        ApplyULKSettingsToTextControl(session);
        int targetType = options.lTargetFileType;
        result = TXControlSaveFile(options.sTargetFile, targetType, tc, message) != 0 ? irOriginalOpenFailed
                                                                                       : irSuccess;
    }
    options.sErr = result == 0 ? QString() : message;
    options.lErr = result;
    return result;
}

int PdfWithOptions(JobSession &session, clsConversionOptions &options)
{
    // The road runs on a copy: the caller's record keeps its types and paths, so a folder task
    // goes on with the next file as it was, and a failure names the caller's files.
    clsConversionOptions work = options;
    work.lTargetFileType = session.settings.bPDFTextOnly ? TypeCatalogue::tRtf : TypeCatalogue::tRtfPictures;
    const QString target = options.sTargetFile;
    const bool perSlide = options.bCreateFileForEachSlide;
    const QString rtf = intermediateRtfName(target);
    work.sTargetFile = rtf;

    int result = ConvertWithConverterControl(session, work);
    // One RTF, or one per slide named after the RTF and its slide: each becomes its own PDF,
    // named after the target the way every per-slide output is.
    QStringList rtfs{rtf};
    QList<QPair<QString, QString>> steps; // RTF, PDF
    if (result == 0 && !perSlide) {
        steps.append({rtf, target});
    } else if (result == 0) {
        rtfs << session.VelmoraX1()->lastOutputs();
        for (const QString &slideRtf : rtfs)
            if (const int slide = TypeCatalogue::perSlideNumber(rtf, slideRtf))
                steps.append({slideRtf, TypeCatalogue::perSlideFileName(target, slide)});
        if (steps.isEmpty()) {
            result = TypeCatalogue::Failed;
            work.sErr = Translate(TypeCatalogue::resultMessage(result));
        }
    }
    if (!steps.isEmpty()) {
        session.panels()->setPanelText(StatusPanel::Progress, Translate(QStringLiteral("Converting to PDF....")));
        session.DoEvents();
        for (const auto &step : steps) {
            work.lOriginalFileType = kRtfStream;
            work.sOriginalFile = step.first;
            work.sTargetFile = step.second;
            work.lTargetFileType = kPdfStream;
            result = ConvertRTFToPDFWithTextControl(session, work);
            if (result != 0)
                break;
        }
        session.panels()->setPanelText(StatusPanel::Progress, Translate(QStringLiteral("100% Complete")));
    }
    for (const QString &f : rtfs)
        if (bFileExists(f))
            bDeleteFileWithRetry(f, session.pump()); // a Pause must not leave an intermediate file
    options.lErr = result;
    options.sErr = work.sErr;
    return result;
}

void WriteULKParagraphSettings(TextControl &tc, const ConversionSettings &s)
{
    tc.setAlignment(s.lULKAlignment);
    tc.setFrameDistance(s.lULKFrameDistance);
    tc.setFrameLineWidth(s.lULKFrameLineWidth);
    tc.setFrameStyle(s.lULKFrameStyle);
    tc.setIndentB(s.lULKIndentB);
    tc.setIndentFL(s.lULKIndentFL);
    tc.setIndentL(s.lULKIndentL);
    tc.setIndentR(s.lULKIndentR);
    tc.setIndentT(s.lULKIndentT);
    tc.setLineSpacing(s.lULKLineSpacing);
    tc.setLineSpacingT(s.lULKLineSpacingT);
}

void WriteULKFontSettings(TextControl &tc, const ConversionSettings &s)
{
    tc.setBaseLine(s.lULKBaseLine);
    tc.setFontBold(s.lULKFontBold);
    tc.setFontItalic(s.lULKFontItalic);
    tc.setFontSize(s.lULKFontSize);
    tc.setFontStrikethru(s.lULKFontStrikethru);
    tc.setFontUnderline(s.lULKFontUnderline);
    tc.setFontUnderlineStyle(s.lULKFontUnderlineStyle);
    tc.setForeColor(s.lULKForeColor);
    tc.setTextBkColor(s.lULKTextBkColor);
    tc.setFontName(s.sULKFontName);
}
