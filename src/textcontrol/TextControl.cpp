#include "textcontrol/TextControl.h"

#include "platform/AtomicFile.h"
#include "textcontrol/PdfExporter.h"
#include "textcontrol/PictureResources.h"
#include "textcontrol/RtfReader.h"
#include "textcontrol/RtfWriter.h"
#include "textcontrol/TextProperties.h"
#include "textcontrol/TextUnits.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringConverter>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>

using TextUnits::docToTwips;
using TextUnits::twipsToDoc;

namespace {

const QByteArray kOleSignature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

QString plainFromSelection(QString s)
{
    for (QChar &c : s) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = u'\n';
        else if (c == QChar::Nbsp)
            c = u' ';
    }
    return s;
}

bool writeFileAtomically(const QString &file, const QByteArray &bytes, QString *error)
{
    QString why;
    if (WriteFileAtomically(file, bytes, &why))
        return true;
    *error = QStringLiteral("Cannot write file %1: %2").arg(file, why);
    return false;
}

} // namespace

TextControl::TextControl(QObject *parent) : QObject(parent), m_doc(std::make_unique<QTextDocument>())
{
    m_doc->setUndoRedoEnabled(false);
    m_cursor = QTextCursor(m_doc.get());
}

TextControl::~TextControl() = default;

int TextControl::fail(int number, const QString &description)
{
    m_errNumber = number;
    m_errDescription = description;
    emit Error(number, description);
    return number;
}

// ---------------------------------------------------------------------------------------
// Load

int TextControl::Load(const QString &file, int offset, int type)
{
    m_errNumber = 0;
    m_errDescription.clear();
    const QFileInfo info(file);
    if (file.isEmpty() || !info.exists())
        return fail(errFileNotFound, QStringLiteral("File not found: %1").arg(file));
    QFile f(file);
    if (!info.isFile() || !f.open(QIODevice::ReadOnly))
        return fail(errFileAccess, QStringLiteral("Cannot open file %1: %2").arg(file, f.errorString()));
    QByteArray bytes = f.readAll();
    if (f.error() != QFile::NoError)
        return fail(errFileAccess, QStringLiteral("Cannot read file %1: %2").arg(file, f.errorString()));
    if (offset > 0)
        bytes.remove(0, std::min<qsizetype>(offset, bytes.size()));
    const int rc = loadBytes(bytes, type, file);
    if (rc == 0) {
        m_cursor = QTextCursor(m_doc.get());
        m_cursor.movePosition(QTextCursor::Start);
    }
    return rc;
}

int TextControl::loadBytes(const QByteArray &bytes, int type, const QString &file)
{
    // Page, security and picture settings belong to the document being written: a new
    // document starts from the defaults, so no password of an earlier PDF carries over.
    m_pageWidth = 12240;
    m_pageHeight = 15840;
    m_marginL = m_marginT = m_marginR = m_marginB = 1440;
    m_permissions = 0;
    m_ownerPassword.clear();
    m_userPassword.clear();
    m_imageQuality = 0;
    m_imageResolution = 0;
    switch (type) {
    case 1:
    case 2:
    case 3:
    case 6:
    case 11: {
        const QString text = PlainTextCodec::decode(bytes, &m_plainForm);
        m_doc->setPlainText(PlainTextCodec::withLineEnds(text, QStringLiteral("\n")));
        return 0;
    }
    case 4: {
        QString html;
        const auto enc = QStringConverter::encodingForHtml(bytes);
        if (enc)
            html = QStringDecoder(*enc).decode(bytes);
        else
            html = PlainTextCodec::decode(bytes, nullptr);
        m_doc->clear();
        m_doc->setBaseUrl(QUrl::fromLocalFile(QFileInfo(file).absolutePath() + QLatin1Char('/')));
        m_doc->setHtml(html);
        return 0;
    }
    case 5: {
        RtfPageSetup page;
        QString error;
        if (!RtfReader::read(bytes, m_doc.get(), &page, &error))
            return fail(errInvalidFormat, QStringLiteral("Invalid RTF in %1: %2").arg(file, error));
        if (page.paperWidth > 0 && page.paperHeight > 0) {
            m_pageWidth = page.paperWidth;
            m_pageHeight = page.paperHeight;
        }
        if (page.marginLeft > 0) m_marginL = page.marginLeft;
        if (page.marginTop > 0) m_marginT = page.marginTop;
        if (page.marginRight > 0) m_marginR = page.marginRight;
        if (page.marginBottom > 0) m_marginB = page.marginBottom;
        return 0;
    }
    case 9: {
        if (!bytes.startsWith(kOleSignature))
            return fail(errInvalidFormat, QStringLiteral("Not a Word document: %1").arg(file));
        if (!m_office)
            return fail(errNoConverter, QStringLiteral("Word documents need the office converter, which is not available"));
        QTemporaryDir tmp;
        if (!tmp.isValid())
            return fail(errFileAccess, QStringLiteral("No temporary folder for the Word conversion"));
        const QString doc = tmp.filePath(QStringLiteral("in.doc"));
        const QString rtf = tmp.filePath(QStringLiteral("out.rtf"));
        QString message;
        if (!writeFileAtomically(doc, bytes, &message))
            return fail(errFileAccess, message);
        if (!m_office(doc, rtf, QStringLiteral("Rich Text Format"), message))
            return fail(errInvalidFormat, QStringLiteral("Word document %1 could not be read: %2").arg(file, message));
        QFile r(rtf);
        if (!r.open(QIODevice::ReadOnly))
            return fail(errInvalidFormat, QStringLiteral("Word document %1 could not be read").arg(file));
        return loadBytes(r.readAll(), 5, file);
    }
    case 10: {
        QXmlStreamReader xml(bytes);
        QString text;
        bool inParagraph = false;
        bool first = true;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("p")) {
                if (!first)
                    text += u'\n';
                first = false;
                inParagraph = true;
            } else if (xml.isEndElement() && xml.name() == QLatin1String("p")) {
                inParagraph = false;
            } else if (xml.isCharacters() && inParagraph) {
                text += xml.text();
            }
        }
        if (xml.hasError())
            return fail(errInvalidFormat, QStringLiteral("Invalid XML in %1: %2").arg(file, xml.errorString()));
        m_doc->setPlainText(text);
        return 0;
    }
    default:
        return fail(errInvalidValue, QStringLiteral("Stream type %1 cannot be loaded").arg(type));
    }
}

// ---------------------------------------------------------------------------------------
// Save

int TextControl::Save(const QString &file, int offset, int type, bool bFlag)
{
    Q_UNUSED(offset);
    Q_UNUSED(bFlag);
    m_errNumber = 0;
    m_errDescription.clear();
    if (type == 12 || type == 14) {
        PdfExportOptions o;
        o.pageWidth = m_pageWidth;
        o.pageHeight = m_pageHeight;
        o.marginLeft = m_marginL;
        o.marginTop = m_marginT;
        o.marginRight = m_marginR;
        o.marginBottom = m_marginB;
        o.pdfA = type == 14 || m_pdfSaveSetting == 2;
        if (!o.pdfA) { // PDF/A does not allow encryption
            o.userPassword = m_userPassword;
            o.ownerPassword = m_ownerPassword;
            o.permissions = m_permissions;
        }
        o.imageQuality = std::clamp(m_imageQuality, 0, 100);
        o.maxImageResolution = std::max(0, m_imageResolution);
        o.title = QFileInfo(file).completeBaseName();
        QString error;
        if (!PdfExporter::leavesRoom(o))
            return fail(errNoRoom, QStringLiteral("The page's margins leave no room for text"));
        if (!PdfExporter::exportPdf(*m_doc, o, file, &error))
            return fail(errWriteFailed, error);
        return 0;
    }
    int err = 0;
    QString description;
    const QByteArray bytes = renderBytes(type, file, &err, &description);
    if (err)
        return fail(err, description);
    if (!writeFileAtomically(file, bytes, &description))
        return fail(errWriteFailed, description);
    return 0;
}

QByteArray TextControl::renderBytes(int type, const QString &file, int *error, QString *description)
{
    switch (type) {
    case 1:
    case 2:
    case 3:
    case 6: {
        const QString text = PlainTextCodec::withLineEnds(Text(), m_plainForm.lineEnd);
        return PlainTextCodec::encode(text, m_plainForm);
    }
    case 4: {
        QString html = m_doc->toHtml();
        if ((m_styleSheetOption == 2 || m_styleSheetOption == 3) && !m_styleSheetFile.isEmpty()) {
            QString cssPath = m_styleSheetFile;
            if (QFileInfo(cssPath).isRelative())
                cssPath = QFileInfo(file).absolutePath() + QLatin1Char('/') + cssPath;
            if (m_styleSheetOption == 3 || !QFileInfo::exists(cssPath)) {
                const QFont f = m_doc->defaultFont();
                const QString css = QStringLiteral("body { font-family: '%1'; font-size: %2pt; }\r\n")
                                        .arg(f.family())
                                        .arg(f.pointSizeF() > 0 ? f.pointSizeF() : 12.0);
                QString ignored;
                writeFileAtomically(cssPath, css.toUtf8(), &ignored);
            }
            const QString link = QStringLiteral("<link rel=\"stylesheet\" type=\"text/css\" href=\"%1\" />")
                                     .arg(m_styleSheetFile.toHtmlEscaped());
            const qsizetype head = html.indexOf(QLatin1String("</head>"), 0, Qt::CaseInsensitive);
            if (head >= 0)
                html.insert(head, link);
        }
        return html.toUtf8();
    }
    case 5: {
        RtfPageSetup page{m_pageWidth, m_pageHeight, m_marginL, m_marginT, m_marginR, m_marginB};
        return RtfWriter::write(*m_doc, page);
    }
    case 9: {
        if (!m_office) {
            *error = errNoConverter;
            *description = QStringLiteral("Word documents need the office converter, which is not available");
            return {};
        }
        QTemporaryDir tmp;
        const QString rtf = tmp.filePath(QStringLiteral("in.rtf"));
        const QString doc = tmp.filePath(QStringLiteral("out.doc"));
        RtfPageSetup page{m_pageWidth, m_pageHeight, m_marginL, m_marginT, m_marginR, m_marginB};
        QString message;
        if (!tmp.isValid() || !writeFileAtomically(rtf, RtfWriter::write(*m_doc, page), &message)) {
            *error = errWriteFailed;
            *description = message.isEmpty() ? QStringLiteral("No temporary folder for the Word conversion") : message;
            return {};
        }
        if (!m_office(rtf, doc, QStringLiteral("MS Word 97"), message)) {
            *error = errWriteFailed;
            *description = QStringLiteral("Word document could not be written: %1").arg(message);
            return {};
        }
        QFile d(doc);
        if (!d.open(QIODevice::ReadOnly)) {
            *error = errWriteFailed;
            *description = QStringLiteral("Word document could not be written");
            return {};
        }
        return d.readAll();
    }
    case 10: {
        QByteArray out;
        QXmlStreamWriter xml(&out);
        xml.setAutoFormatting(true);
        xml.writeStartDocument();
        xml.writeStartElement(QStringLiteral("document"));
        for (QTextBlock b = m_doc->begin(); b.isValid(); b = b.next())
            xml.writeTextElement(QStringLiteral("p"), plainFromSelection(b.text()));
        xml.writeEndElement();
        xml.writeEndDocument();
        return out;
    }
    case 11: {
        const QFont f = m_doc->defaultFont();
        QString css = QStringLiteral("body { font-family: '%1'; font-size: %2pt; }\r\n")
                          .arg(f.family())
                          .arg(f.pointSizeF() > 0 ? f.pointSizeF() : 12.0);
        css += m_doc->defaultStyleSheet();
        return css.toUtf8();
    }
    case 13: {
        QByteArray out;
        QBuffer buf(&out);
        buf.open(QIODevice::WriteOnly);
        QTextDocumentWriter w(&buf, "odf");
        if (!w.write(m_doc.get())) {
            *error = errWriteFailed;
            *description = QStringLiteral("The OpenDocument text could not be written");
        }
        return out;
    }
    default:
        *error = errUnknownType;
        *description = QStringLiteral("Unknown File Type");
        return {};
    }
}

// ---------------------------------------------------------------------------------------
// Text and selection

QString TextControl::Text() const
{
    return m_doc->toPlainText();
}

void TextControl::Clear()
{
    m_doc->clear();
    m_cursor = QTextCursor(m_doc.get());
    m_plainForm = PlainTextForm();
}

int TextControl::SelStart() const
{
    return m_cursor.selectionStart();
}

void TextControl::setSelStart(int start)
{
    const int end = m_doc->characterCount() - 1;
    m_cursor.setPosition(start < 0 ? end : std::clamp(start, 0, end));
}

int TextControl::SelLength() const
{
    return m_cursor.selectionEnd() - m_cursor.selectionStart();
}

void TextControl::setSelLength(int length)
{
    const int end = m_doc->characterCount() - 1;
    const int start = m_cursor.selectionStart();
    m_cursor.setPosition(start);
    m_cursor.setPosition(std::clamp(start + std::max(0, length), 0, end), QTextCursor::KeepAnchor);
}

QString TextControl::SelText() const
{
    return plainFromSelection(m_cursor.selectedText());
}

void TextControl::setSelText(const QString &text)
{
    QTextCharFormat f = m_cursor.charFormat();
    if (m_cursor.hasSelection()) {
        QTextCursor first(m_doc.get());
        first.setPosition(m_cursor.selectionStart() + 1);
        f = first.charFormat();
    }
    m_cursor.insertText(text, f);
}

QTextDocumentFragment TextControl::SelectionFragment() const
{
    return m_cursor.selection();
}

void TextControl::InsertFragment(const QTextDocumentFragment &fragment)
{
    // Pictures of the fragment keep their names; their resources are copied by the caller
    // (InsertData does it) or already live in this document.
    m_cursor.insertFragment(fragment);
}

void TextControl::InsertRangeFrom(const TextControl &source, int start, int length, bool paragraphEnd)
{
    QTextCursor range(source.m_doc.get());
    const int end = source.m_doc->characterCount() - 1;
    range.setPosition(std::clamp(start, 0, end));
    range.setPosition(std::clamp(start + length, 0, end), QTextCursor::KeepAnchor);
    const QTextDocumentFragment fragment = range.selection();
    if (fragment.toPlainText().contains(QChar::ObjectReplacementCharacter)) {
        QTextDocument part;
        QTextCursor(&part).insertFragment(fragment);
        PictureResources::copy(part, *source.m_doc, m_doc.get());
    }
    const QTextBlockFormat paragraph = source.m_doc->findBlock(range.selectionStart()).blockFormat();
    m_cursor.insertFragment(fragment);
    m_cursor.setBlockFormat(paragraph);
    if (paragraphEnd)
        m_cursor.insertBlock(paragraph);
}

QByteArray TextControl::SelectionData(int format) const
{
    if (format != 3)
        return SelText().toUtf8();
    QTextDocument part;
    QTextCursor(&part).insertFragment(m_cursor.selection());
    PictureResources::copy(part, *m_doc, &part);
    return RtfWriter::write(part, RtfPageSetup{});
}

bool TextControl::InsertData(int format, const QByteArray &data)
{
    if (format != 3) {
        m_cursor.insertText(QString::fromUtf8(data));
        return true;
    }
    QTextDocument part;
    QString error;
    if (!RtfReader::read(data, &part, nullptr, &error)) {
        fail(errInvalidFormat, error);
        return false;
    }
    PictureResources::copy(part, part, m_doc.get());
    // Into an empty paragraph the first inserted paragraph brings its own format.
    const bool emptyParagraph = m_cursor.block().length() <= 1;
    const int at = m_cursor.selectionStart();
    m_cursor.insertFragment(QTextDocumentFragment(&part));
    if (emptyParagraph)
        QTextCursor(m_doc->findBlock(at)).setBlockFormat(part.begin().blockFormat());
    return true;
}

// ---------------------------------------------------------------------------------------
// Output options

QVariant TextControl::OutputOption(int index) const
{
    switch (index) {
    case 0: return m_pageWidth;
    case 1: return m_pageHeight;
    case 8: return m_styleSheetFile;
    case 9: return m_styleSheetOption;
    case 10: return m_permissions;
    case 11: return m_ownerPassword;
    case 12: return m_userPassword;
    case 13: return m_imageQuality;
    case 14: return m_imageResolution;
    case 37: return m_loadFlag;
    default: return QVariant();
    }
}

void TextControl::setOutputOption(int index, const QVariant &value)
{
    switch (index) {
    case 0: m_pageWidth = value.toInt(); break;
    case 1: m_pageHeight = value.toInt(); break;
    case 8: m_styleSheetFile = value.toString(); break;
    case 9: m_styleSheetOption = value.toInt(); break;
    case 10: m_permissions = value.toInt(); break;
    case 11: m_ownerPassword = value.toString(); break;
    case 12: m_userPassword = value.toString(); break;
    case 13: m_imageQuality = value.toInt(); break;
    case 14: m_imageResolution = value.toInt(); break;
    case 37: m_loadFlag = value.toBool(); break;
    default: fail(errInvalidValue, QStringLiteral("Output option %1 does not exist").arg(index)); break;
    }
}

// ---------------------------------------------------------------------------------------
// Formatting of the selection

QTextBlockFormat TextControl::blockFormat() const
{
    return m_doc->findBlock(m_cursor.selectionStart()).blockFormat();
}

QTextCharFormat TextControl::charFormat() const
{
    if (!m_cursor.hasSelection())
        return m_cursor.charFormat();
    QTextCursor first(m_doc.get());
    first.setPosition(m_cursor.selectionStart() + 1);
    return first.charFormat();
}

void TextControl::mergeBlock(const std::function<void(QTextBlockFormat &)> &fn)
{
    QTextBlock b = m_doc->findBlock(m_cursor.selectionStart());
    const QTextBlock last = m_doc->findBlock(m_cursor.selectionEnd());
    while (b.isValid()) {
        QTextBlockFormat f = b.blockFormat();
        fn(f);
        QTextCursor(b).setBlockFormat(f);
        if (b == last)
            break;
        b = b.next();
    }
}

void TextControl::mergeChar(const std::function<void(QTextCharFormat &)> &fn)
{
    if (!m_cursor.hasSelection()) {
        QTextCharFormat f = m_cursor.charFormat();
        fn(f);
        m_cursor.setCharFormat(f);
        return;
    }
    const int start = m_cursor.selectionStart();
    const int end = m_cursor.selectionEnd();
    struct Range { int from; int to; QTextCharFormat format; };
    QList<Range> ranges;
    for (QTextBlock b = m_doc->findBlock(start); b.isValid() && b.position() <= end; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const int from = std::max(start, frag.position());
            const int to = std::min(end, frag.position() + frag.length());
            if (from < to)
                ranges.append({from, to, frag.charFormat()});
        }
    }
    for (Range &r : ranges) {
        fn(r.format);
        QTextCursor c(m_doc.get());
        c.setPosition(r.from);
        c.setPosition(r.to, QTextCursor::KeepAnchor);
        c.setCharFormat(r.format);
    }
}

int TextControl::Alignment() const
{
    const Qt::Alignment a = blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignRight) return 1;
    if (a & Qt::AlignHCenter) return 2;
    if (a & Qt::AlignJustify) return 3;
    return 0;
}

void TextControl::setAlignment(int v)
{
    Qt::Alignment a = Qt::AlignLeft;
    if (v == 1) a = Qt::AlignRight;
    else if (v == 2) a = Qt::AlignHCenter;
    else if (v == 3) a = Qt::AlignJustify;
    mergeBlock([a](QTextBlockFormat &f) { f.setAlignment(a); });
}

int TextControl::FrameDistance() const { return blockFormat().intProperty(TextProperties::FrameDistance); }
void TextControl::setFrameDistance(int v)
{
    mergeBlock([v](QTextBlockFormat &f) { f.setProperty(TextProperties::FrameDistance, std::max(0, v)); });
}
int TextControl::FrameLineWidth() const { return blockFormat().intProperty(TextProperties::FrameLineWidth); }
void TextControl::setFrameLineWidth(int v)
{
    mergeBlock([v](QTextBlockFormat &f) { f.setProperty(TextProperties::FrameLineWidth, std::max(0, v)); });
}
int TextControl::FrameStyle() const { return blockFormat().intProperty(TextProperties::FrameStyle); }
void TextControl::setFrameStyle(int v)
{
    mergeBlock([v](QTextBlockFormat &f) { f.setProperty(TextProperties::FrameStyle, v & TextProperties::kFrameBox); });
}
int TextControl::IndentB() const { return docToTwips(blockFormat().bottomMargin()); }
void TextControl::setIndentB(int v)
{
    mergeBlock([v](QTextBlockFormat &f) { f.setBottomMargin(twipsToDoc(v)); });
}
int TextControl::IndentFL() const { return docToTwips(blockFormat().textIndent()); }
void TextControl::setIndentFL(int v)
{
    mergeBlock([v](QTextBlockFormat &f) { f.setTextIndent(twipsToDoc(v)); });
}
int TextControl::IndentL() const { return docToTwips(blockFormat().leftMargin()); }
void TextControl::setIndentL(int v)
{
    mergeBlock([v](QTextBlockFormat &f) { f.setLeftMargin(twipsToDoc(v)); });
}
int TextControl::IndentR() const { return docToTwips(blockFormat().rightMargin()); }
void TextControl::setIndentR(int v)
{
    mergeBlock([v](QTextBlockFormat &f) { f.setRightMargin(twipsToDoc(v)); });
}
int TextControl::IndentT() const { return docToTwips(blockFormat().topMargin()); }
void TextControl::setIndentT(int v)
{
    mergeBlock([v](QTextBlockFormat &f) { f.setTopMargin(twipsToDoc(v)); });
}

int TextControl::LineSpacing() const
{
    const QTextBlockFormat f = blockFormat();
    if (f.lineHeightType() == QTextBlockFormat::ProportionalHeight)
        return int(std::lround(f.lineHeight()));
    return 100;
}

void TextControl::setLineSpacing(int v)
{
    mergeBlock([v](QTextBlockFormat &f) {
        if (v > 0)
            f.setLineHeight(v, QTextBlockFormat::ProportionalHeight);
        else
            f.setLineHeight(0, QTextBlockFormat::SingleHeight);
    });
}

int TextControl::LineSpacingT() const
{
    const QTextBlockFormat f = blockFormat();
    if (f.lineHeightType() == QTextBlockFormat::FixedHeight)
        return docToTwips(f.lineHeight());
    return 0;
}

void TextControl::setLineSpacingT(int v)
{
    if (v <= 0)
        return; // 0 leaves the percentage spacing in force
    mergeBlock([v](QTextBlockFormat &f) { f.setLineHeight(twipsToDoc(v), QTextBlockFormat::FixedHeight); });
}

namespace {
double pointSizeOf(const QTextCharFormat &f, const QTextDocument &doc)
{
    if (f.fontPointSize() > 0)
        return f.fontPointSize();
    const double d = doc.defaultFont().pointSizeF();
    return d > 0 ? d : 12.0;
}

void applyUnderlineStyle(QTextCharFormat &f, int style)
{
    switch (style) {
    case 3: f.setUnderlineStyle(QTextCharFormat::DotLine); break;
    case 4: f.setUnderlineStyle(QTextCharFormat::DashUnderline); break;
    case 5: f.setUnderlineStyle(QTextCharFormat::WaveUnderline); break;
    default: f.setUnderlineStyle(QTextCharFormat::SingleUnderline); break;
    }
}
} // namespace

int TextControl::BaseLine() const { return charFormat().intProperty(TextProperties::BaseLine); }
void TextControl::setBaseLine(int v)
{
    const QTextDocument &doc = *m_doc;
    mergeChar([v, &doc](QTextCharFormat &f) {
        f.setProperty(TextProperties::BaseLine, v);
        f.setBaselineOffset(v / 20.0 * 100.0 / pointSizeOf(f, doc));
    });
}
int TextControl::FontBold() const { return charFormat().fontWeight() >= QFont::DemiBold ? 1 : 0; }
void TextControl::setFontBold(int v)
{
    mergeChar([v](QTextCharFormat &f) { f.setFontWeight(v ? QFont::Bold : QFont::Normal); });
}
int TextControl::FontItalic() const { return charFormat().fontItalic() ? 1 : 0; }
void TextControl::setFontItalic(int v)
{
    mergeChar([v](QTextCharFormat &f) { f.setFontItalic(v != 0); });
}
int TextControl::FontSize() const { return int(std::lround(pointSizeOf(charFormat(), *m_doc))); }
void TextControl::setFontSize(int v)
{
    if (v <= 0)
        return;
    const QTextDocument &doc = *m_doc;
    mergeChar([v, &doc](QTextCharFormat &f) {
        f.setFontPointSize(std::min(v, 1638));
        const int base = f.intProperty(TextProperties::BaseLine);
        if (base)
            f.setBaselineOffset(base / 20.0 * 100.0 / pointSizeOf(f, doc));
    });
}
int TextControl::FontStrikethru() const { return charFormat().fontStrikeOut() ? 1 : 0; }
void TextControl::setFontStrikethru(int v)
{
    mergeChar([v](QTextCharFormat &f) { f.setFontStrikeOut(v != 0); });
}
int TextControl::FontUnderline() const { return charFormat().fontUnderline() ? 1 : 0; }
void TextControl::setFontUnderline(int v)
{
    mergeChar([v](QTextCharFormat &f) {
        f.setFontUnderline(v != 0);
        if (v)
            applyUnderlineStyle(f, f.hasProperty(TextProperties::UnderlineStyle)
                                       ? f.intProperty(TextProperties::UnderlineStyle) : 1);
    });
}
int TextControl::FontUnderlineStyle() const
{
    const QTextCharFormat f = charFormat();
    return f.hasProperty(TextProperties::UnderlineStyle) ? f.intProperty(TextProperties::UnderlineStyle) : 1;
}
void TextControl::setFontUnderlineStyle(int v)
{
    mergeChar([v](QTextCharFormat &f) {
        f.setProperty(TextProperties::UnderlineStyle, v);
        if (f.fontUnderline())
            applyUnderlineStyle(f, v);
    });
}
int TextControl::ForeColor() const
{
    const QTextCharFormat f = charFormat();
    if (f.foreground().style() == Qt::NoBrush)
        return 0;
    return TextUnits::colorRefFromColor(f.foreground().color());
}
void TextControl::setForeColor(int v)
{
    const QColor c = TextUnits::colorFromColorRef(v);
    mergeChar([c](QTextCharFormat &f) { f.setForeground(c); });
}
int TextControl::TextBkColor() const
{
    const QTextCharFormat f = charFormat();
    if (f.background().style() == Qt::NoBrush)
        return TextUnits::kNoTextBackground;
    return TextUnits::textBackgroundRef(TextUnits::colorRefFromColor(f.background().color()));
}
void TextControl::setTextBkColor(int v)
{
    const QColor c = TextUnits::colorFromColorRef(v);
    mergeChar([v, c](QTextCharFormat &f) {
        if (v == TextUnits::kNoTextBackground)
            f.clearBackground();
        else
            f.setBackground(c);
    });
}
QString TextControl::FontName() const
{
    const QTextCharFormat f = charFormat();
    const QStringList fams = f.fontFamilies().toStringList();
    if (!fams.isEmpty())
        return fams.first();
    return m_doc->defaultFont().family();
}
void TextControl::setFontName(const QString &v)
{
    if (v.trimmed().isEmpty())
        return;
    mergeChar([v](QTextCharFormat &f) { f.setFontFamilies(QStringList{v}); });
}
