#include "jobs/TextFileProcesses.h"

#include "common/FileUtils.h"
#include "common/PathUtils.h"
#include "jobs/ConvertOneFile.h"
#include "jobs/JobSession.h"
#include "jobs/TextControlFileIO.h"
#include "jobs/clsConversionOptions.h"
#include "language/Translator.h"
#include "platform/TextCodec.h"
#include "textcontrol/PlainTextFiles.h"
#include "textcontrol/TextControl.h"

namespace {

constexpr char16_t kMark = 0x00A9;

void showPercent(JobSession &session, const QString &fixedText)
{
    session.panels()->setPanelText(StatusPanel::Progress, Translate(fixedText));
}

void showRunningPercent(JobSession &session, double percent)
{
    session.panels()->setPanelText(StatusPanel::Progress, QStringLiteral(" ") + QString::number(percent, 'f', 1) +
                                                              Translate(QStringLiteral(" Percent Complete ")));
    session.panels()->setPanelText(StatusPanel::Time, session.ElapsedRunSecondsText());
    session.DoEvents();
}

bool isBlankChar(QChar c, bool lastPiece)
{
    if (c == u' ' || c == u'\n')
        return true;
    return !lastPiece && (c == u'\t' || c == u'\v' || c == u'\r');
}

bool hasContent(const QString &s, bool lastPiece)
{
    for (const QChar c : s)
        if (!isBlankChar(c, lastPiece))
            return true;
    return false;
}

// Paragraph ends in the controls' text are "\n": a CR LF pair or a lone CR in a search text
// stands for one.
QString asControlText(const QString &s)
{
    QString out = s;
    out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    out.replace(u'\r', u'\n');
    return out;
}

// Readies both controls for DOC and loads the original into the first.
bool loadOriginal(JobSession &session, const clsConversionOptions &options, TextControl *a, TextControl *b,
                  QString &message)
{
    AttachOfficeWorker(session, a);
    AttachOfficeWorker(session, b);
    int originalType = options.lOriginalFileType;
    return TXControlLoadFile(options.sOriginalFile, originalType, a, message, &session) == 0;
}

} // namespace

QString DecodeCharacterCodes(const QString &sText)
{
    if (sText.isEmpty() || !sText.contains(QChar(kMark)))
        return sText;
    const QStringList pieces = sText.split(QChar(kMark));
    QString out;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QString &piece = pieces.at(i);
        if (i % 2 == 0) {
            out += piece;
            continue;
        }
        if (i == pieces.size() - 1) { // a mark that is never closed
            out += QChar(kMark) + piece;
            continue;
        }
        bool ok = false;
        const uint code = piece.trimmed().toUInt(&ok, 10);
        if (!ok || piece.trimmed().isEmpty() || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            out += QChar(kMark) + piece + QChar(kMark);
        } else if (code <= 255) {
            out += TextCodec::charFromCode(int(code));
        } else {
            const char32_t c = code;
            out += QString::fromUcs4(&c, 1);
        }
    }
    return out;
}

int ConcatenateFiles(JobSession &session, clsConversionOptions &options)
{
    // The same file through any spelling (./a.txt, a link) is refused before anything is read.
    if (bIsSamePath(options.sOriginalFile, options.sTargetFile))
        return irSourceIsTarget;
    if (options.lOriginalFileType == 1)
        return ConcatenateTwoTextFiles(options.sOriginalFile, options.sTargetFile);

    TextControl *a = session.TXTextControl1();
    TextControl *b = session.TXTextControlOutput();
    QString message;
    if (!loadOriginal(session, options, a, b, message))
        return irOriginalOpenFailed;

    const QString folder = GetPathFromFileName(options.sTargetFile);
    if (!folder.isEmpty() && !bFolderExists(folder)) {
        CreateTargetFolderTree(folder);
        if (!bFolderExists(folder))
            return irTargetOpenOrSaveFailed;
    }
    int targetType = options.lTargetFileType;
    if (!bFileExists(options.sTargetFile)) {
        b->Clear();
        b->setPlainTextForm(a->plainTextForm());
        TXControlSaveFile(options.sTargetFile, targetType, b, message);
    }
    if (TXControlLoadFile(options.sTargetFile, targetType, b, message, &session) != 0)
        return irTargetOpenOrSaveFailed;

    showPercent(session, QStringLiteral(" 0 Percent Complete "));
    b->setSelStart(-1);
    showPercent(session, QStringLiteral(" 50 Percent Complete "));
    a->setSelStart(0);
    a->setSelLength(int(a->Text().size()));
    if (!b->InsertData(3, a->SelectionData(3)))
        return irTargetOpenOrSaveFailed;
    showPercent(session, QStringLiteral(" 100 Percent Complete "));
    return TXControlSaveFile(options.sTargetFile, targetType, b, message) != 0 ? irTargetOpenOrSaveFailed
                                                                                   : irSuccess;
}

int DeleteEmptyLines(JobSession &session, clsConversionOptions &options)
{
    if (options.lOriginalFileType == 1)
        return DeleteEmptyLinesFromTextFile(options.sOriginalFile, options.sTargetFile);

    TextControl *a = session.TXTextControl1();
    TextControl *b = session.TXTextControlOutput();
    QString message;
    if (!loadOriginal(session, options, a, b, message))
        return irOriginalOpenFailed;
    const QString text = a->Text();
    b->Clear();
    // The output starts with the original's page and plain-text form.
    b->setPlainTextForm(a->plainTextForm());
    b->setPageWidth(a->PageWidth());
    b->setPageHeight(a->PageHeight());
    b->setPageMarginL(a->PageMarginL());
    b->setPageMarginT(a->PageMarginT());
    b->setPageMarginR(a->PageMarginR());
    b->setPageMarginB(a->PageMarginB());

    const qsizetype length = text.size();
    qsizetype start = 0;
    int lines = 0;
    for (;;) {
        const qsizetype lf = text.indexOf(u'\n', start);
        const bool last = lf < 0;
        const qsizetype end = last ? length : lf;
        if (hasContent(text.mid(start, end - start), last)) {
            b->setSelStart(-1);
            b->InsertRangeFrom(*a, int(start), int(end - start), !last);
        }
        if (last)
            break;
        start = lf + 1;
        if (++lines % 20 == 0)
            showRunningPercent(session, length > 0 ? double(lf) * 100.0 / double(length) : 100.0);
    }

    showPercent(session, QStringLiteral(" 100 Percent Complete "));
    int targetType = options.lTargetFileType;
    return TXControlSaveFile(options.sTargetFile, targetType, b, message) != 0 ? irTargetOpenOrSaveFailed
                                                                                   : irSuccess;
}

int SearchAndReplaceInFile(JobSession &session, clsConversionOptions &options)
{
    TextControl *a = session.TXTextControl1();
    QString message;
    if (!loadOriginal(session, options, a, session.TXTextControlOutput(), message))
        return irOriginalOpenFailed;
    const QString text = a->Text();
    if (text.isEmpty())
        return irSuccess;
    const QString replacement = asControlText(DecodeCharacterCodes(options.sReplaceString));
    const QString find = asControlText(DecodeCharacterCodes(options.sFindString));
    if (find.isEmpty())
        return irSuccess;

    const Qt::CaseSensitivity cs = options.bCaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const qsizetype length = text.size();
    const qsizetype n = find.size();
    // From the end backwards over the text as it was read: a replacement that contains the
    // find text is never searched again, and earlier positions stay valid.
    qsizetype limit = length; // an occurrence must end at or before this position
    int found = 0;
    while (limit - n >= 0) {
        const qsizetype p = text.lastIndexOf(find, limit - n, cs);
        if (p < 0)
            break;
        a->setSelStart(int(p));
        a->setSelLength(int(n));
        a->setSelText(replacement);
        if (++found % 20 == 0)
            showRunningPercent(session, double(length - p) * 100.0 / double(length));
        limit = p;
        if (limit < 1)
            break;
    }

    int targetType = options.lTargetFileType;
    const int result = TXControlSaveFile(options.sTargetFile, targetType, a, message) != 0 ? irTargetOpenOrSaveFailed
                                                                                         : irSuccess;
    showPercent(session, QStringLiteral(" 100 Percent Complete "));
    return result;
}
