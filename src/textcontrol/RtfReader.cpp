#include "textcontrol/RtfReader.h"

#include "platform/TextCodec.h"
#include "textcontrol/TextProperties.h"
#include "textcontrol/TextUnits.h"

#include <QBuffer>
#include <QHash>
#include <QImageReader>
#include <QList>
#include <QStringDecoder>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <QVector>

#include <algorithm>
#include <atomic>
#include <memory>

namespace {

constexpr int kMaxDepth = 1000;
// Lengths are kept within 22 inches (the largest page RTF knows) so that layout stays sane.
constexpr int kMaxLength = 31680;

int length(int twips)
{
    return std::clamp(twips, -kMaxLength, kMaxLength);
}

struct CharState
{
    int font = -1;
    int sizeHalfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    int underline = 0; // TextProperties::UnderlineStyle codes, 0 none
    int foreColor = 0; // colour table index, 0 = automatic
    int backColor = 0;
    int upHalfPoints = 0;
    int vAlign = 0; // 1 superscript, 2 subscript
    bool hidden = false;
};

struct ParaState
{
    int align = 0; // 0 left, 1 right, 2 centre, 3 justify
    int leftIndent = 0;
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = 0;
    bool lineMultiple = false;
    int borders = 0;
    int borderWidth = 0;
    int borderSpace = 0;
    int currentBorder = 0; // the side that \brdrw and \brsp describe
    bool pageBreakBefore = false;
};

enum class Dest { Text, Skip, FontTable, ColorTable, Picture };

struct Group
{
    CharState ch;
    ParaState pa;
    Dest dest = Dest::Text;
    int uc = 1;
};

struct FontEntry
{
    QString name;
    int codePage = 0; // 0 = the document's
};

int codePageOfCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    default: return 0;
    }
}

QString decodeBytes(const QByteArray &bytes, int codePage)
{
    if (codePage == 1252 || codePage <= 0)
        return TextCodec::decodeWindows1252(bytes);
    const char *name = nullptr;
    QByteArray custom;
    switch (codePage) {
    case 932: name = "Shift_JIS"; break;
    case 936: name = "GBK"; break;
    case 949: name = "windows-949"; break;
    case 950: name = "Big5"; break;
    case 437: name = "IBM437"; break;
    case 10000: name = "macintosh"; break;
    case 65001: name = "UTF-8"; break;
    default:
        custom = "windows-" + QByteArray::number(codePage);
        name = custom.constData();
    }
    QStringDecoder decoder(name);
    if (!decoder.isValid())
        return TextCodec::decodeWindows1252(bytes);
    return decoder.decode(bytes);
}

// Control words that open a destination whose text is not document text.
bool isSkippedDestination(const QByteArray &word)
{
    static const char *const names[] = {
        "stylesheet", "info",       "header",     "headerl",     "headerr",      "headerf",
        "footer",     "footerl",    "footerr",    "footerf",     "footnote",     "annotation",
        "pn",         "xe",         "tc",         "txe",         "rxe",          "object",
        "objdata",    "private",    "fldinst",    "comment",     "title",        "author",
        "operator",   "subject",    "keywords",   "doccomm",     "nonshppict",   "listtable",
        "listoverridetable", "revtbl", "rsidtbl", "generator",   "filetbl",      "themedata",
        "colorschememapping", "latentstyles", "datastore", "xmlnstbl", "mmathPr", "bkmkstart",
        "bkmkend",    "ftnsep",     "ftnsepc",    "ftncn",       "aftnsep",      "aftnsepc",
        "aftncn",     "template",   "userprops",  "pgdsctbl",    "docvar",       "sp",
    };
    for (const char *n : names)
        if (word == n)
            return true;
    return false;
}

class Parser
{
public:
    Parser(const QByteArray &data, QTextDocument *doc, RtfPageSetup *page)
        : m_data(data), m_doc(doc), m_page(page), m_cursor(doc)
    {
    }

    bool run(QString *error);

private:
    // Input
    const QByteArray &m_data;
    qsizetype m_pos = 0;
    QTextDocument *m_doc;
    RtfPageSetup *m_page;
    QTextCursor m_cursor;

    QVector<Group> m_stack;
    Group m_g;
    int m_skipChars = 0; // fallback characters after \u still to skip
    int m_docCodePage = 1252;
    int m_defaultFont = 0;
    QHash<int, FontEntry> m_fonts;
    QList<QColor> m_colors;

    // font table entry being read
    int m_fontIndex = -1;
    QByteArray m_fontNameBytes;
    int m_fontCharset = -1;
    int m_fontCpg = 0;

    // colour being read
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorTouched = false;

    // picture being read
    int m_pictDepth = -1;
    int m_pictKind = 0; // 1 png, 2 jpeg, 0 unsupported
    QByteArray m_pictData;
    QHash<QByteArray, QUrl> m_pictureNames;
    int m_pictHexNibble = -1;
    int m_picW = 0, m_picH = 0, m_picWGoal = 0, m_picHGoal = 0, m_scaleX = 100, m_scaleY = 100;

    // pending text
    QByteArray m_pendingBytes;
    QString m_pendingText;

    QString m_error;

    int currentCodePage() const
    {
        const auto it = m_fonts.constFind(m_g.ch.font < 0 ? m_defaultFont : m_g.ch.font);
        if (it != m_fonts.constEnd() && it->codePage > 0)
            return it->codePage;
        return m_docCodePage;
    }

    void flushBytes()
    {
        if (m_pendingBytes.isEmpty())
            return;
        for (const QChar c : decodeBytes(m_pendingBytes, currentCodePage()))
            if (!isControl(c))
                m_pendingText += c;
        m_pendingBytes.clear();
    }

    // Control characters other than the tab carry nothing in a document's text.
    static bool isControl(QChar c) { return c.unicode() < 0x20 && c != u'\t'; }

    void flushText()
    {
        flushBytes();
        if (m_pendingText.isEmpty())
            return;
        m_cursor.insertText(m_pendingText, charFormat());
        m_pendingText.clear();
    }

    void addChar(QChar c)
    {
        if (m_g.dest != Dest::Text || m_g.ch.hidden || isControl(c))
            return;
        flushBytes();
        m_pendingText += c;
    }

    void addByte(char b)
    {
        if (m_g.dest != Dest::Text || m_g.ch.hidden)
            return;
        m_pendingBytes += b;
    }

    QTextCharFormat charFormat() const;
    QTextBlockFormat blockFormat() const;
    void applyBlockFormat()
    {
        m_cursor.setBlockFormat(blockFormat());
    }
    void endParagraph()
    {
        flushText();
        applyBlockFormat();
        m_cursor.insertBlock(blockFormat(), charFormat());
    }

    bool openGroup();
    bool closeGroup();
    bool controlWord(const QByteArray &word, bool hasParam, int param);
    bool controlSymbol(char c);
    void plainText(char c);
    void fontTableText(char c);
    void colorTableText(char c);
    void pictureText(char c);
    void finishFontEntry();
    void insertPicture();
    bool readBinary(int length);
};

QTextCharFormat Parser::charFormat() const
{
    QTextCharFormat f;
    const int fontIdx = m_g.ch.font < 0 ? m_defaultFont : m_g.ch.font;
    const auto it = m_fonts.constFind(fontIdx);
    if (it != m_fonts.constEnd() && !it->name.isEmpty())
        f.setFontFamilies(QStringList{it->name});
    const double pt = m_g.ch.sizeHalfPoints > 0 ? m_g.ch.sizeHalfPoints / 2.0 : 12.0;
    f.setFontPointSize(pt);
    f.setFontWeight(m_g.ch.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(m_g.ch.italic);
    f.setFontStrikeOut(m_g.ch.strike);
    if (m_g.ch.underline) {
        f.setFontUnderline(true);
        f.setProperty(TextProperties::UnderlineStyle, m_g.ch.underline);
        switch (m_g.ch.underline) {
        case 3: f.setUnderlineStyle(QTextCharFormat::DotLine); break;
        case 4: f.setUnderlineStyle(QTextCharFormat::DashUnderline); break;
        case 5: f.setUnderlineStyle(QTextCharFormat::WaveUnderline); break;
        default: f.setUnderlineStyle(QTextCharFormat::SingleUnderline); break;
        }
    }
    if (m_g.ch.foreColor > 0 && m_g.ch.foreColor < m_colors.size())
        f.setForeground(m_colors.at(m_g.ch.foreColor));
    if (m_g.ch.backColor > 0 && m_g.ch.backColor < m_colors.size())
        f.setBackground(m_colors.at(m_g.ch.backColor));
    if (m_g.ch.vAlign == 1)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (m_g.ch.vAlign == 2)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (m_g.ch.upHalfPoints != 0) {
        f.setProperty(TextProperties::BaseLine, m_g.ch.upHalfPoints * 10);
        f.setBaselineOffset(m_g.ch.upHalfPoints / 2.0 * 100.0 / pt);
    }
    return f;
}

QTextBlockFormat Parser::blockFormat() const
{
    using TextUnits::twipsToDoc;
    QTextBlockFormat f;
    const ParaState &p = m_g.pa;
    switch (p.align) {
    case 1: f.setAlignment(Qt::AlignRight); break;
    case 2: f.setAlignment(Qt::AlignHCenter); break;
    case 3: f.setAlignment(Qt::AlignJustify); break;
    default: f.setAlignment(Qt::AlignLeft); break;
    }
    f.setLeftMargin(twipsToDoc(p.leftIndent));
    f.setRightMargin(twipsToDoc(p.rightIndent));
    f.setTextIndent(twipsToDoc(p.firstIndent));
    f.setTopMargin(twipsToDoc(p.spaceBefore));
    f.setBottomMargin(twipsToDoc(p.spaceAfter));
    if (p.lineSpacing != 0) {
        if (p.lineMultiple && p.lineSpacing > 0)
            f.setLineHeight(p.lineSpacing * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
        else if (p.lineSpacing < 0)
            f.setLineHeight(twipsToDoc(-p.lineSpacing), QTextBlockFormat::FixedHeight);
        else
            f.setLineHeight(twipsToDoc(p.lineSpacing), QTextBlockFormat::MinimumHeight);
    }
    if (p.borders) {
        f.setProperty(TextProperties::FrameStyle, p.borders);
        f.setProperty(TextProperties::FrameLineWidth, p.borderWidth);
        f.setProperty(TextProperties::FrameDistance, p.borderSpace);
    }
    if (p.pageBreakBefore)
        f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    return f;
}

bool Parser::openGroup()
{
    flushText();
    if (m_stack.size() >= kMaxDepth) {
        m_error = QStringLiteral("RTF groups nested too deeply");
        return false;
    }
    m_stack.push_back(m_g);
    m_skipChars = 0;
    return true;
}

bool Parser::closeGroup()
{
    flushText();
    if (m_g.dest == Dest::FontTable)
        finishFontEntry();
    if (m_pictDepth == m_stack.size()) {
        insertPicture();
        m_pictDepth = -1;
    }
    m_g = m_stack.takeLast();
    m_skipChars = 0;
    return true;
}

void Parser::finishFontEntry()
{
    if (m_fontIndex < 0)
        return;
    FontEntry e;
    QByteArray name = m_fontNameBytes.trimmed();
    if (name.endsWith(';'))
        name.chop(1);
    int cp = m_fontCpg > 0 ? m_fontCpg : codePageOfCharset(m_fontCharset);
    e.name = decodeBytes(name, cp > 0 ? cp : m_docCodePage).trimmed();
    e.codePage = cp;
    m_fonts.insert(m_fontIndex, e);
    m_fontIndex = -1;
    m_fontNameBytes.clear();
    m_fontCharset = -1;
    m_fontCpg = 0;
}

void Parser::insertPicture()
{
    if (m_pictKind == 0 || m_pictData.isEmpty())
        return;
    // Only data that starts like the stated format is handed to an image decoder.
    if (!m_pictData.startsWith(m_pictKind == 1 ? QByteArray("\x89PNG\r\n\x1a\n") : QByteArray("\xFF\xD8\xFF")))
        return;
    QBuffer buf(&m_pictData);
    buf.open(QIODevice::ReadOnly);
    QImageReader reader(&buf, m_pictKind == 1 ? "png" : "jpeg");
    const QSize px = reader.size();
    if (!px.isValid() || px.isEmpty())
        return; // unreadable picture data: dropped, the text goes on
    // The same picture stored again (a logo on every page) shares one resource. Names are
    // unique in the process, so pictures copied between documents never clash.
    QUrl &url = m_pictureNames[m_pictData];
    if (url.isEmpty()) {
        static std::atomic<int> counter{0};
        url = QUrl(QStringLiteral("rtfimg://%1").arg(++counter));
        m_doc->addResource(QTextDocument::ImageResource, url, m_pictData);
    }
    QTextImageFormat f;
    f.setName(url.toString());
    double wTwips = m_picWGoal > 0 ? m_picWGoal : px.width() * 15.0;
    double hTwips = m_picHGoal > 0 ? m_picHGoal : px.height() * 15.0;
    wTwips = wTwips * std::clamp(m_scaleX, 1, 10000) / 100.0;
    hTwips = hTwips * std::clamp(m_scaleY, 1, 10000) / 100.0;
    f.setWidth(TextUnits::twipsToDoc(std::min<double>(wTwips, kMaxLength)));
    f.setHeight(TextUnits::twipsToDoc(std::min<double>(hTwips, kMaxLength)));
    // The picture belongs to the enclosing group's text.
    m_cursor.insertImage(f);
}

bool Parser::readBinary(int length)
{
    if (length < 0 || length > m_data.size() - m_pos) {
        m_error = QStringLiteral("RTF \\bin length runs past the end of the data");
        return false;
    }
    if (m_g.dest == Dest::Picture)
        m_pictData += m_data.mid(m_pos, length);
    m_pos += length;
    return true;
}

bool Parser::controlSymbol(char c)
{
    switch (c) {
    case '\\':
    case '{':
    case '}':
        if (m_g.dest == Dest::FontTable)
            fontTableText(c);
        else if (m_skipChars > 0)
            --m_skipChars;
        else
            addChar(QLatin1Char(c));
        return true;
    case '~': addChar(QChar(0x00A0)); return true;
    case '-': addChar(QChar(0x00AD)); return true;
    case '_': addChar(QChar(0x2011)); return true;
    case '*':
        // An ignorable destination: skipped unless the next word is one we read.
        return true;
    case '\'': {
        if (m_pos + 2 > m_data.size()) {
            m_error = QStringLiteral("RTF ends inside a \\' escape");
            return false;
        }
        bool ok = false;
        const int v = m_data.mid(m_pos, 2).toInt(&ok, 16);
        m_pos += 2;
        if (!ok)
            return true; // a bad escape is dropped
        if (m_skipChars > 0) {
            --m_skipChars;
            return true;
        }
        if (m_g.dest == Dest::FontTable)
            m_fontNameBytes += char(v);
        else
            addByte(char(v));
        return true;
    }
    case '\r':
    case '\n':
        if (m_g.dest == Dest::Text)
            endParagraph();
        return true;
    case '\t':
        addChar(QLatin1Char('\t'));
        return true;
    default:
        return true;
    }
}

bool Parser::controlWord(const QByteArray &w, bool hasParam, int param)
{
    const bool on = !hasParam || param != 0;

    // Destinations first: they change how the group's text is read.
    if (w == "bin")
        return readBinary(hasParam ? param : 0);
    if (m_g.dest == Dest::Skip)
        return true;

    if (w == "fonttbl") { flushText(); m_g.dest = Dest::FontTable; return true; }
    if (w == "colortbl") { flushText(); m_g.dest = Dest::ColorTable; m_colors.clear(); return true; }
    if (w == "pict") {
        flushText();
        m_g.dest = Dest::Picture;
        m_pictDepth = m_stack.size();
        m_pictKind = 0;
        m_pictData.clear();
        m_pictHexNibble = -1;
        m_picW = m_picH = m_picWGoal = m_picHGoal = 0;
        m_scaleX = m_scaleY = 100;
        return true;
    }
    if (w == "shppict" || w == "fldrslt" || w == "listtext" || w == "pntext")
        return true; // their text is read as document text
    if (isSkippedDestination(w)) { flushText(); m_g.dest = Dest::Skip; return true; }

    if (m_g.dest == Dest::FontTable) {
        if (w == "f") { finishFontEntry(); m_fontIndex = param; }
        else if (w == "fcharset") m_fontCharset = param;
        else if (w == "cpg") m_fontCpg = param;
        return true;
    }
    if (m_g.dest == Dest::ColorTable) {
        if (w == "red") { m_red = std::clamp(param, 0, 255); m_colorTouched = true; }
        else if (w == "green") { m_green = std::clamp(param, 0, 255); m_colorTouched = true; }
        else if (w == "blue") { m_blue = std::clamp(param, 0, 255); m_colorTouched = true; }
        return true;
    }
    if (m_g.dest == Dest::Picture) {
        if (w == "pngblip") m_pictKind = 1;
        else if (w == "jpegblip") m_pictKind = 2;
        else if (w == "emfblip" || w == "wmetafile" || w == "macpict" || w == "dibitmap" || w == "wbitmap" || w == "pmmetafile")
            m_pictKind = 0;
        else if (w == "picw") m_picW = param;
        else if (w == "pich") m_picH = param;
        else if (w == "picwgoal") m_picWGoal = std::clamp(param, 0, kMaxLength);
        else if (w == "pichgoal") m_picHGoal = std::clamp(param, 0, kMaxLength);
        else if (w == "picscalex") m_scaleX = param;
        else if (w == "picscaley") m_scaleY = param;
        return true;
    }

    // Unicode and special characters.
    if (w == "u") {
        if (m_skipChars > 0) { --m_skipChars; return true; }
        addChar(QChar(ushort(param < 0 ? param + 65536 : param)));
        m_skipChars = m_g.uc;
        return true;
    }
    if (w == "uc") { m_g.uc = std::clamp(param, 0, 10); return true; }

    auto special = [&](char16_t c) { if (m_skipChars > 0) --m_skipChars; else addChar(QChar(c)); return true; };
    if (w == "par" || w == "sect") { m_skipChars = 0; endParagraph(); return true; }
    if (w == "row") { m_skipChars = 0; endParagraph(); return true; }
    if (w == "cell" || w == "nestcell") return special(u'\t');
    if (w == "tab") return special(u'\t');
    if (w == "line") return special(u'\x2028');
    if (w == "page") {
        endParagraph();
        QTextBlockFormat bf = m_cursor.blockFormat();
        bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        m_cursor.setBlockFormat(bf);
        return true;
    }
    if (w == "emdash") return special(u'\x2014');
    if (w == "endash") return special(u'\x2013');
    if (w == "bullet") return special(u'\x2022');
    if (w == "lquote") return special(u'\x2018');
    if (w == "rquote") return special(u'\x2019');
    if (w == "ldblquote") return special(u'\x201C');
    if (w == "rdblquote") return special(u'\x201D');
    if (w == "emspace") return special(u'\x2003');
    if (w == "enspace") return special(u'\x2002');

    // Document settings.
    if (w == "ansicpg") { m_docCodePage = param > 0 ? param : 1252; return true; }
    if (w == "deff") { m_defaultFont = param; return true; }
    if (m_page) {
        if (w == "paperw") { m_page->paperWidth = param; return true; }
        if (w == "paperh") { m_page->paperHeight = param; return true; }
        if (w == "margl") { m_page->marginLeft = param; return true; }
        if (w == "margr") { m_page->marginRight = param; return true; }
        if (w == "margt") { m_page->marginTop = param; return true; }
        if (w == "margb") { m_page->marginBottom = param; return true; }
    }

    // Character formatting: pending text keeps the format it was typed in.
    CharState &c = m_g.ch;
    auto setChar = [&](auto fn) { flushText(); fn(); return true; };
    if (w == "plain") return setChar([&] { c = CharState(); });
    if (w == "f") return setChar([&] { c.font = param; });
    if (w == "fs") return setChar([&] { c.sizeHalfPoints = hasParam ? std::clamp(param, 1, 3276) : 24; });
    if (w == "b") return setChar([&] { c.bold = on; });
    if (w == "i") return setChar([&] { c.italic = on; });
    if (w == "strike" || w == "striked") return setChar([&] { c.strike = on; });
    if (w == "ul") return setChar([&] { c.underline = on ? 1 : 0; });
    if (w == "uldb") return setChar([&] { c.underline = on ? 2 : 0; });
    if (w == "uld") return setChar([&] { c.underline = on ? 3 : 0; });
    if (w == "uldash") return setChar([&] { c.underline = on ? 4 : 0; });
    if (w == "ulwave") return setChar([&] { c.underline = on ? 5 : 0; });
    if (w == "ulw") return setChar([&] { c.underline = on ? 6 : 0; });
    if (w == "ulnone") return setChar([&] { c.underline = 0; });
    if (w == "cf") return setChar([&] { c.foreColor = param; });
    if (w == "cb" || w == "highlight" || w == "chcbpat") return setChar([&] { c.backColor = param; });
    if (w == "up") return setChar([&] { c.upHalfPoints = hasParam ? std::clamp(param, -3276, 3276) : 6; });
    if (w == "dn") return setChar([&] { c.upHalfPoints = -(hasParam ? std::clamp(param, -3276, 3276) : 6); });
    if (w == "super") return setChar([&] { c.vAlign = 1; });
    if (w == "sub") return setChar([&] { c.vAlign = 2; });
    if (w == "nosupersub") return setChar([&] { c.vAlign = 0; });
    if (w == "v") return setChar([&] { c.hidden = on; });

    // Paragraph formatting.
    ParaState &p = m_g.pa;
    if (w == "pard") { p = ParaState(); return true; }
    if (w == "ql") { p.align = 0; return true; }
    if (w == "qr") { p.align = 1; return true; }
    if (w == "qc") { p.align = 2; return true; }
    if (w == "qj") { p.align = 3; return true; }
    if (w == "li") { p.leftIndent = length(param); return true; }
    if (w == "ri") { p.rightIndent = length(param); return true; }
    if (w == "fi") { p.firstIndent = length(param); return true; }
    if (w == "sb") { p.spaceBefore = length(param); return true; }
    if (w == "sa") { p.spaceAfter = length(param); return true; }
    if (w == "sl") { p.lineSpacing = length(param); return true; }
    if (w == "slmult") { p.lineMultiple = on; return true; }
    if (w == "pagebb") { p.pageBreakBefore = on; return true; }
    if (w == "brdrl") { p.borders |= 1; p.currentBorder = 1; return true; }
    if (w == "brdrr") { p.borders |= 2; p.currentBorder = 2; return true; }
    if (w == "brdrt") { p.borders |= 4; p.currentBorder = 4; return true; }
    if (w == "brdrb") { p.borders |= 8; p.currentBorder = 8; return true; }
    if (w == "box") { p.borders |= TextProperties::kFrameBox; p.currentBorder = TextProperties::kFrameBox; return true; }
    if (w == "brdrw") { p.borderWidth = std::clamp(param, 0, 1440); return true; }
    if (w == "brsp") { p.borderSpace = std::clamp(param, 0, 1440); return true; }
    if (w == "brdrnone") { if (p.currentBorder) p.borders &= ~p.currentBorder; return true; }
    return true; // unknown words are ignored
}

void Parser::fontTableText(char c)
{
    if (c == ';') {
        finishFontEntry();
        return;
    }
    if (m_fontIndex >= 0)
        m_fontNameBytes += c;
}

void Parser::colorTableText(char c)
{
    if (c != ';')
        return;
    if (!m_colorTouched && m_colors.isEmpty()) {
        m_colors.append(QColor()); // the automatic colour
    } else {
        m_colors.append(QColor(m_red, m_green, m_blue));
    }
    m_red = m_green = m_blue = 0;
    m_colorTouched = false;
}

void Parser::pictureText(char c)
{
    int v;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    else return;
    if (m_pictHexNibble < 0) {
        m_pictHexNibble = v;
    } else {
        m_pictData += char((m_pictHexNibble << 4) | v);
        m_pictHexNibble = -1;
    }
}

void Parser::plainText(char c)
{
    switch (m_g.dest) {
    case Dest::Skip: return;
    case Dest::FontTable: fontTableText(c); return;
    case Dest::ColorTable: colorTableText(c); return;
    case Dest::Picture: pictureText(c); return;
    case Dest::Text: break;
    }
    // Line ends in RTF text are formatting of the file; other control bytes carry nothing.
    if (uchar(c) < 0x20 && c != '\t')
        return;
    if (m_skipChars > 0) {
        --m_skipChars;
        return;
    }
    addByte(c);
}

bool Parser::run(QString *error)
{
    const qsizetype n = m_data.size();
    qsizetype start = 0;
    while (start < n && (m_data[start] == ' ' || m_data[start] == '\r' || m_data[start] == '\n' || m_data[start] == '\t'))
        ++start;
    if (!m_data.mid(start, 5).startsWith("{\\rtf")) {
        if (error)
            *error = QStringLiteral("Not an RTF document");
        return false;
    }
    m_pos = start + 1; // inside the root group
    m_stack.clear();
    m_stack.push_back(Group()); // stands for "outside the document"
    bool ignorableNext = false;
    bool closed = false;

    while (m_pos < n) {
        const char c = m_data[m_pos++];
        if (c == '{') {
            if (!openGroup())
                break;
            ignorableNext = false;
        } else if (c == '}') {
            ignorableNext = false;
            if (m_stack.size() == 1) {
                closeGroup();
                closed = true;
                break; // the root group ends the document
            }
            closeGroup();
        } else if (c == '\\') {
            if (m_pos >= n) {
                m_error = QStringLiteral("RTF ends after a backslash");
                break;
            }
            const char d = m_data[m_pos];
            if ((d >= 'a' && d <= 'z') || (d >= 'A' && d <= 'Z')) {
                const qsizetype wStart = m_pos;
                while (m_pos < n && m_pos - wStart < 32
                       && ((m_data[m_pos] >= 'a' && m_data[m_pos] <= 'z') || (m_data[m_pos] >= 'A' && m_data[m_pos] <= 'Z')))
                    ++m_pos;
                const QByteArray word = m_data.mid(wStart, m_pos - wStart);
                bool hasParam = false;
                bool negative = false;
                qint64 value = 0;
                if (m_pos < n && m_data[m_pos] == '-' && m_pos + 1 < n && m_data[m_pos + 1] >= '0' && m_data[m_pos + 1] <= '9') {
                    negative = true;
                    ++m_pos;
                }
                int digits = 0;
                while (m_pos < n && m_data[m_pos] >= '0' && m_data[m_pos] <= '9') {
                    if (digits < 10)
                        value = value * 10 + (m_data[m_pos] - '0');
                    ++digits;
                    ++m_pos;
                    hasParam = true;
                }
                if (m_pos < n && m_data[m_pos] == ' ')
                    ++m_pos; // the delimiter belongs to the word
                value = std::clamp<qint64>(negative ? -value : value, -2147483647, 2147483647);
                if (ignorableNext) {
                    ignorableNext = false;
                    const bool known = word == "shppict" || word == "fldinst" || word == "pict";
                    if (!known && !isSkippedDestination(word) && m_g.dest != Dest::Skip) {
                        // An optional destination we do not read: skip the whole group.
                        flushText();
                        m_g.dest = Dest::Skip;
                        continue;
                    }
                }
                if (!controlWord(word, hasParam, int(value)))
                    break;
            } else {
                ++m_pos;
                if (d == '*') {
                    ignorableNext = true;
                    continue;
                }
                if (!controlSymbol(d))
                    break;
            }
        } else {
            plainText(c);
        }
    }

    if (m_error.isEmpty() && !closed)
        m_error = QStringLiteral("RTF document is incomplete (unclosed group)");
    if (!m_error.isEmpty()) {
        if (error)
            *error = m_error;
        return false;
    }
    flushText();
    applyBlockFormat();
    return true;
}

} // namespace

bool RtfReader::looksLikeRtf(const QByteArray &bytes)
{
    return bytes.trimmed().startsWith("{\\rtf");
}

bool RtfReader::read(const QByteArray &rtf, QTextDocument *doc, RtfPageSetup *page, QString *error)
{
    doc->clear();
    RtfPageSetup local;
    auto parser = std::make_unique<Parser>(rtf, doc, page ? page : &local);
    doc->setUndoRedoEnabled(false);
    const bool ok = parser->run(error);
    if (!ok)
        doc->clear();
    return ok;
}
