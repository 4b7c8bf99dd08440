#include "textcontrol/RtfWriter.h"

#include "platform/TextCodec.h"
#include "textcontrol/PictureResources.h"
#include "textcontrol/TextProperties.h"
#include "textcontrol/TextUnits.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QUrl>

#include <cmath>

namespace {

using TextUnits::docToTwips;

class Writer
{
public:
    explicit Writer(const QTextDocument &doc) : m_doc(doc) {}
    QByteArray run(const RtfPageSetup &page);

private:
    const QTextDocument &m_doc;
    QStringList m_fonts;
    QList<QColor> m_colors; // index 0 is the automatic colour
    QByteArray m_body;

    int fontIndex(const QString &family)
    {
        int i = m_fonts.indexOf(family);
        if (i < 0) {
            m_fonts.append(family);
            i = int(m_fonts.size()) - 1;
        }
        return i;
    }
    int colorIndex(const QColor &c)
    {
        const QColor rgb = QColor(c.red(), c.green(), c.blue());
        int i = int(m_colors.indexOf(rgb));
        if (i < 0) {
            m_colors.append(rgb);
            i = int(m_colors.size()) - 1;
        }
        return i + 1;
    }
    void writeBlock(const QTextBlock &block);
    void writeCharFormat(const QTextCharFormat &f);
    void writeText(const QString &text);
    void writeImage(const QTextImageFormat &f);
};

QByteArray num(qint64 v)
{
    return QByteArray::number(v);
}

void Writer::writeCharFormat(const QTextCharFormat &f)
{
    QByteArray &o = m_body;
    const QStringList fams = f.fontFamilies().toStringList();
    QString family = fams.isEmpty() ? QString() : fams.first();
    if (family.isEmpty())
        family = m_doc.defaultFont().family();
    o += "\\f" + num(fontIndex(family));
    double pt = f.fontPointSize();
    if (pt <= 0)
        pt = m_doc.defaultFont().pointSizeF() > 0 ? m_doc.defaultFont().pointSizeF() : 12.0;
    o += "\\fs" + num(std::lround(pt * 2));
    if (f.fontWeight() >= QFont::DemiBold)
        o += "\\b";
    if (f.fontItalic())
        o += "\\i";
    if (f.fontStrikeOut())
        o += "\\strike";
    if (f.fontUnderline()) {
        switch (f.intProperty(TextProperties::UnderlineStyle)) {
        case 2: o += "\\uldb"; break;
        case 3: o += "\\uld"; break;
        case 4: o += "\\uldash"; break;
        case 5: o += "\\ulwave"; break;
        case 6: o += "\\ulw"; break;
        default: o += "\\ul"; break;
        }
    }
    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
        o += "\\cf" + num(colorIndex(f.foreground().color()));
    if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush) {
        const int bg = colorIndex(f.background().color());
        o += "\\chcbpat" + num(bg) + "\\cb" + num(bg);
    }
    if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        o += "\\super";
    else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
        o += "\\sub";
    const int base = f.intProperty(TextProperties::BaseLine);
    if (base > 0)
        o += "\\up" + num(base / 10);
    else if (base < 0)
        o += "\\dn" + num(-base / 10);
    o += ' ';
}

void Writer::writeText(const QString &text)
{
    QByteArray &o = m_body;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == '\\' || c == '{' || c == '}') {
            o += '\\';
            o += char(c);
        } else if (c == '\t') {
            o += "\\tab ";
        } else if (c == 0x2028 || c == '\n') {
            o += "\\line ";
        } else if (c == 0x00A0) {
            o += "\\~";
        } else if (c == 0x00AD) {
            o += "\\-";
        } else if (c == 0x2011) {
            o += "\\_";
        } else if (c < 0x20) {
            continue;
        } else if (c < 0x80) {
            o += char(c);
        } else {
            const QByteArray ansi = TextCodec::encodeWindows1252(QString(ch));
            if (ansi.size() == 1 && ansi != "?") {
                o += "\\'" + QByteArray::number(uchar(ansi[0]), 16).rightJustified(2, '0');
            } else {
                o += "\\u" + num(qint16(c)) + '?';
            }
        }
    }
}

void Writer::writeImage(const QTextImageFormat &f)
{
    const QVariant res = PictureResources::resourceOf(m_doc, f.name());
    QByteArray bytes;
    QByteArray kind;
    QSize px;
    if (res.typeId() == QMetaType::QByteArray) {
        bytes = res.toByteArray();
        QBuffer buf(&bytes);
        buf.open(QIODevice::ReadOnly);
        QImageReader reader(&buf);
        kind = reader.format();
        px = reader.size();
        if (kind != "png" && kind != "jpeg")
            bytes.clear();
    }
    if (bytes.isEmpty()) {
        const QImage img = PictureResources::imageOf(res);
        if (img.isNull())
            return;
        QBuffer buf(&bytes);
        buf.open(QIODevice::WriteOnly);
        img.save(&buf, "PNG");
        kind = "png";
        px = img.size();
    }
    const double w = f.width() > 0 ? f.width() : TextUnits::twipsToDoc(px.width() * 15.0);
    const double h = f.height() > 0 ? f.height() : TextUnits::twipsToDoc(px.height() * 15.0);
    QByteArray &o = m_body;
    o += "{\\pict" + QByteArray(kind == "png" ? "\\pngblip" : "\\jpegblip");
    o += "\\picw" + num(px.width()) + "\\pich" + num(px.height());
    o += "\\picwgoal" + num(docToTwips(w)) + "\\pichgoal" + num(docToTwips(h)) + "\n";
    const QByteArray hex = bytes.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128) {
        o += hex.mid(i, 128);
        o += '\n';
    }
    o += "}";
}

void Writer::writeBlock(const QTextBlock &block)
{
    const QTextBlockFormat bf = block.blockFormat();
    QByteArray &o = m_body;
    o += "\\pard";
    const Qt::Alignment a = bf.alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignRight) o += "\\qr";
    else if (a & Qt::AlignHCenter) o += "\\qc";
    else if (a & Qt::AlignJustify) o += "\\qj";
    else o += "\\ql";
    if (bf.leftMargin() != 0) o += "\\li" + num(docToTwips(bf.leftMargin()));
    if (bf.rightMargin() != 0) o += "\\ri" + num(docToTwips(bf.rightMargin()));
    if (bf.textIndent() != 0) o += "\\fi" + num(docToTwips(bf.textIndent()));
    if (bf.topMargin() != 0) o += "\\sb" + num(docToTwips(bf.topMargin()));
    if (bf.bottomMargin() != 0) o += "\\sa" + num(docToTwips(bf.bottomMargin()));
    switch (bf.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        o += "\\sl" + num(std::lround(bf.lineHeight() * 240.0 / 100.0)) + "\\slmult1";
        break;
    case QTextBlockFormat::FixedHeight:
        o += "\\sl-" + num(docToTwips(bf.lineHeight())) + "\\slmult0";
        break;
    case QTextBlockFormat::MinimumHeight:
        o += "\\sl" + num(docToTwips(bf.lineHeight())) + "\\slmult0";
        break;
    default:
        break;
    }
    if (bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        o += "\\pagebb";
    const int frame = bf.intProperty(TextProperties::FrameStyle);
    if (frame) {
        const QByteArray w = "\\brdrs\\brdrw" + num(bf.intProperty(TextProperties::FrameLineWidth))
                             + "\\brsp" + num(bf.intProperty(TextProperties::FrameDistance));
        if (frame & 4) o += "\\brdrt" + w;
        if (frame & 8) o += "\\brdrb" + w;
        if (frame & 1) o += "\\brdrl" + w;
        if (frame & 2) o += "\\brdrr" + w;
    }
    o += ' ';
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        if (!frag.isValid())
            continue;
        const QTextCharFormat cf = frag.charFormat();
        o += '{';
        writeCharFormat(cf);
        if (cf.isImageFormat()) {
            const QTextImageFormat img = cf.toImageFormat();
            for (int i = 0; i < frag.length(); ++i)
                writeImage(img);
        } else {
            writeText(frag.text());
        }
        o += '}';
    }
}

QByteArray Writer::run(const RtfPageSetup &page)
{
    fontIndex(m_doc.defaultFont().family());
    bool first = true;
    for (QTextBlock b = m_doc.begin(); b.isValid(); b = b.next()) {
        if (!first)
            m_body += "\\par\n";
        first = false;
        writeBlock(b);
    }

    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    for (int i = 0; i < m_fonts.size(); ++i) {
        out += "{\\f" + num(i) + "\\fnil\\fcharset0 ";
        Writer tmp(m_doc);
        tmp.writeText(m_fonts.at(i));
        out += tmp.m_body + ";}";
    }
    out += "}\n{\\colortbl;";
    for (const QColor &c : m_colors)
        out += "\\red" + num(c.red()) + "\\green" + num(c.green()) + "\\blue" + num(c.blue()) + ";";
    out += "}\n";
    if (page.paperWidth > 0) out += "\\paperw" + num(page.paperWidth);
    if (page.paperHeight > 0) out += "\\paperh" + num(page.paperHeight);
    out += "\\margl" + num(page.marginLeft) + "\\margr" + num(page.marginRight) + "\\margt"
           + num(page.marginTop) + "\\margb" + num(page.marginBottom) + "\n";
    out += m_body;
    out += "\n}\n";
    return out;
}

} // namespace

QByteArray RtfWriter::write(const QTextDocument &doc, const RtfPageSetup &page)
{
    Writer w(doc);
    return w.run(page);
}
