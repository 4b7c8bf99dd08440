// RTF reader and writer: formatting and picture round trips, code pages, skipped
// destinations, and malformed input that must fail cleanly.
#include "TextTestUtil.h"

#include "textcontrol/RtfReader.h"
#include "textcontrol/RtfWriter.h"
#include "textcontrol/TextControl.h"
#include "textcontrol/TextUnits.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

namespace {

QString readRtf(const QByteArray &rtf, bool *ok = nullptr, RtfPageSetup *page = nullptr)
{
    QTextDocument doc;
    QString error;
    const bool r = RtfReader::read(rtf, &doc, page, &error);
    if (ok)
        *ok = r;
    return doc.toPlainText();
}

QTextCharFormat formatAt(QTextDocument &doc, int pos)
{
    QTextCursor c(&doc);
    c.setPosition(pos + 1);
    return c.charFormat();
}

} // namespace

TEST(RtfReader, CharacterAndParagraphFormatting)
{
    const QByteArray rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}"
        "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
        "\\paperw11906\\paperh16838\\margl1000\\margr1100\\margt1200\\margb1300\n"
        "\\pard\\qc\\li720\\ri360\\fi-240\\sb120\\sa240 plain {\\b bold}{\\i italic}{\\ul under}{\\strike gone}"
        "{\\f1\\fs36 big}{\\cf1 red}{\\chcbpat2 back}{\\up6 high} end\\par\n"
        "\\pard\\qj\\sl360\\slmult1\\brdrt\\brdrs\\brdrw30\\brsp80\\brdrb second\\par}";
    QTextDocument doc;
    RtfPageSetup page;
    QString error;
    ASSERT_TRUE(RtfReader::read(rtf, &doc, &page, &error)) << error.toStdString();
    EXPECT_EQ(page.paperWidth, 11906);
    EXPECT_EQ(page.paperHeight, 16838);
    EXPECT_EQ(page.marginLeft, 1000);
    EXPECT_EQ(page.marginBottom, 1300);

    const QString text = doc.toPlainText();
    EXPECT_EQ(text, QStringLiteral("plain bolditalicundergonebigredbackhigh end\nsecond\n"));
    auto at = [&](const char *word) { return formatAt(doc, int(text.indexOf(QLatin1String(word)))); };
    EXPECT_EQ(at("plain").fontWeight(), QFont::Normal);
    EXPECT_EQ(at("bold").fontWeight(), QFont::Bold);
    EXPECT_TRUE(at("italic").fontItalic());
    EXPECT_FALSE(at("under").fontItalic()); // the group ended the italic
    EXPECT_TRUE(at("under").fontUnderline());
    EXPECT_TRUE(at("gone").fontStrikeOut());
    EXPECT_EQ(at("big").fontPointSize(), 18.0);
    EXPECT_EQ(at("big").fontFamilies().toStringList().value(0), QStringLiteral("Courier New"));
    EXPECT_EQ(at("plain").fontFamilies().toStringList().value(0), QStringLiteral("Arial"));
    EXPECT_EQ(at("red").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(at("back").background().color(), QColor(0, 0, 255));
    EXPECT_GT(at("high").baselineOffset(), 0.0);

    const QTextBlockFormat first = doc.begin().blockFormat();
    EXPECT_EQ(first.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(TextUnits::docToTwips(first.leftMargin()), 720);
    EXPECT_EQ(TextUnits::docToTwips(first.rightMargin()), 360);
    EXPECT_EQ(TextUnits::docToTwips(first.textIndent()), -240);
    EXPECT_EQ(TextUnits::docToTwips(first.topMargin()), 120);
    EXPECT_EQ(TextUnits::docToTwips(first.bottomMargin()), 240);
    const QTextBlockFormat second = doc.begin().next().blockFormat();
    EXPECT_EQ(second.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    EXPECT_EQ(second.lineHeightType(), QTextBlockFormat::ProportionalHeight);
    EXPECT_DOUBLE_EQ(second.lineHeight(), 150.0);
}

TEST(RtfReader, CodePagesUnicodeAndSkippedDestinations)
{
    // Windows-1251 document code page, a Shift-JIS font (double-byte escapes), \u with
    // fallback characters, tables as text, fields, and destinations that are not text.
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0 Times;}{\\f1\\fcharset128 MS Mincho;}}"
        "{\\info{\\title Hidden title}{\\author Nobody}}{\\*\\generator Some writer;}"
        "{\\*\\unknowndest {nested secret} more secret}{\\stylesheet{\\s0 Normal;}}"
        "\\'cf\\'f0\\'e8 {\\f1\\'93\\'fa\\'96\\'7b} \\uc1\\u8364?\\u-4064? {\\uc2\\u946 xy}z"
        "\\par\\trowd\\cellx1000\\cellx2000 A\\cell B\\cell\\row "
        "{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}}\\line next\\tab t\\~n\\par}";
    bool ok = false;
    const QString text = readRtf(rtf, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(text.section(u'\n', 0, 0), QStringLiteral("При 日本 €\uF020 βz"));
    EXPECT_EQ(text.section(u'\n', 1, 1), QStringLiteral("A\tB\t"));
    EXPECT_EQ(text.section(u'\n', 2, 3), QStringLiteral("link\nnext\tt n"));
    EXPECT_FALSE(text.contains(QLatin1String("secret")));
    EXPECT_FALSE(text.contains(QLatin1String("Hidden")));
    EXPECT_FALSE(text.contains(QLatin1String("HYPERLINK")));
    EXPECT_FALSE(text.contains(QLatin1String("Normal")));
}

TEST(RtfWriter, RoundTripKeepsFormattingAndCharacters)
{
    TextControl a;
    QTextCursor c(a.document());
    QTextCharFormat big;
    big.setFontFamilies(QStringList{QStringLiteral("Liberation Serif")});
    big.setFontPointSize(20);
    big.setFontWeight(QFont::Bold);
    big.setForeground(QColor(10, 200, 30));
    c.insertText(QStringLiteral("Title {with} \\braces\\ "), big);
    QTextCharFormat plain;
    plain.setFontPointSize(11);
    plain.setFontItalic(true);
    plain.setBackground(QColor(255, 255, 0));
    c.insertText(QStringLiteral("Ünïcödé € 日本語 𝄞 ok"), plain);
    QTextBlockFormat bf;
    bf.setAlignment(Qt::AlignRight);
    bf.setLeftMargin(TextUnits::twipsToDoc(1440));
    c.setBlockFormat(bf);
    c.insertBlock();
    c.insertText(QStringLiteral("second\tline"));
    a.setSelStart(0);
    a.setSelLength(5);
    a.setFrameStyle(15);
    a.setFrameLineWidth(40);
    a.setFrameDistance(100);
    a.setFontUnderline(1);
    a.setFontUnderlineStyle(2);
    a.setBaseLine(60);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("round.rtf"));
    a.setPageWidth(16838);
    a.setPageHeight(11906);
    ASSERT_EQ(a.Save(file, 0, 5), 0) << a.lastErrorDescription().toStdString();

    TextControl b;
    ASSERT_EQ(b.Load(file, 0, 5), 0) << b.lastErrorDescription().toStdString();
    EXPECT_EQ(b.Text(), a.Text());
    EXPECT_EQ(b.PageWidth(), 16838);
    EXPECT_EQ(b.PageHeight(), 11906);
    b.setSelStart(0);
    b.setSelLength(5);
    EXPECT_EQ(b.FontBold(), 1);
    EXPECT_EQ(b.FontSize(), 20);
    EXPECT_EQ(b.FontName(), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(b.ForeColor(), 10 | (200 << 8) | (30 << 16));
    EXPECT_EQ(b.FontUnderline(), 1);
    EXPECT_EQ(b.FontUnderlineStyle(), 2);
    EXPECT_EQ(b.BaseLine(), 60);
    EXPECT_EQ(b.Alignment(), 1);
    EXPECT_EQ(b.IndentL(), 1440);
    EXPECT_EQ(b.FrameStyle(), 15);
    EXPECT_EQ(b.FrameLineWidth(), 40);
    EXPECT_EQ(b.FrameDistance(), 100);
    b.setSelStart(int(b.Text().indexOf(QStringLiteral("Ünï"))));
    b.setSelLength(3);
    EXPECT_EQ(b.FontItalic(), 1);
    EXPECT_EQ(b.FontBold(), 0);
    EXPECT_EQ(b.FontSize(), 11);
    EXPECT_EQ(b.TextBkColor(), 0x00FFFF);
    b.setSelStart(int(b.Text().indexOf(QStringLiteral("second"))));
    EXPECT_EQ(b.Alignment(), 0);
}

TEST(RtfWriter, PicturesRoundTripInTheirOwnEncoding)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    const QByteArray png = texttest::pictureBytes("png", 60, 40, 1);
    const QByteArray jpeg = texttest::pictureBytes("jpeg", 80, 50, 2);
    c.insertText(QStringLiteral("before "));
    texttest::insertPicture(&doc, c, QStringLiteral("mem://a"), png, TextUnits::twipsToDoc(1440), TextUnits::twipsToDoc(960));
    c.insertText(QStringLiteral(" middle "));
    texttest::insertPicture(&doc, c, QStringLiteral("mem://b"), jpeg, TextUnits::twipsToDoc(2880), TextUnits::twipsToDoc(1800));
    const QByteArray rtf = RtfWriter::write(doc, RtfPageSetup{});
    EXPECT_TRUE(rtf.contains("\\pngblip"));
    EXPECT_TRUE(rtf.contains("\\jpegblip"));

    QTextDocument back;
    QString error;
    ASSERT_TRUE(RtfReader::read(rtf, &back, nullptr, &error)) << error.toStdString();
    QList<QTextImageFormat> images;
    for (QTextBlock b = back.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                images.append(it.fragment().charFormat().toImageFormat());
    ASSERT_EQ(images.size(), 2);
    EXPECT_EQ(back.resource(QTextDocument::ImageResource, QUrl(images[0].name())).toByteArray(), png);
    EXPECT_EQ(back.resource(QTextDocument::ImageResource, QUrl(images[1].name())).toByteArray(), jpeg);
    EXPECT_EQ(TextUnits::docToTwips(images[0].width()), 1440);
    EXPECT_EQ(TextUnits::docToTwips(images[1].height()), 1800);
    EXPECT_EQ(back.toPlainText(), doc.toPlainText());
}

TEST(RtfReader, MalformedInputFailsCleanly)
{
    const QByteArray valid =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}"
        "{\\pict\\pngblip\\picw1\\pich1 89504e47}\\pard\\qc {\\b bold \\'e9}\\u1234?\\par"
        "{\\*\\x {\\bin2 ab}}}";
    bool ok = false;
    readRtf(valid, &ok);
    EXPECT_TRUE(ok);

    const QList<QByteArray> bad = {
        QByteArray(),
        "plain text, not rtf",
        "{\\rtf1 unterminated",
        "{\\rtf1 {\\b nested} {\\i open",
        "{\\rtf1 \\bin999999 x}",
        "{\\rtf1 \\bin-5 x}",
        "{\\rtf1 text\\",
        "{\\rtf1 \\'4",
        QByteArray("{\\rtf1 ") + QByteArray(200000, '{'),
    };
    for (const QByteArray &b : bad) {
        QTextDocument doc;
        QString error;
        EXPECT_FALSE(RtfReader::read(b, &doc, nullptr, &error)) << b.left(40).toStdString();
        EXPECT_FALSE(error.isEmpty());
        EXPECT_TRUE(doc.isEmpty());
    }

    // Every truncation of a valid document fails (the root group is never closed) and
    // random damage never crashes or hangs.
    QElapsedTimer t;
    t.start();
    for (int n = 0; n < valid.size() - 1; ++n) {
        QTextDocument doc;
        EXPECT_FALSE(RtfReader::read(valid.left(n), &doc, nullptr, nullptr)) << n;
    }
    QRandomGenerator rng(12345);
    const QByteArray alphabet = "{}\\*'0123456789abcdefrtfubinpictparq -;\x80\xff";
    for (int i = 0; i < 3000; ++i) {
        QByteArray b = "{\\rtf1 ";
        const int len = int(rng.bounded(300));
        for (int k = 0; k < len; ++k)
            b += rng.bounded(4) ? alphabet.at(int(rng.bounded(alphabet.size()))) : char(rng.bounded(256));
        QByteArray mutated = valid;
        mutated[int(rng.bounded(mutated.size()))] = char(rng.bounded(256));
        QTextDocument d1, d2;
        RtfReader::read(b, &d1, nullptr, nullptr);
        RtfReader::read(mutated, &d2, nullptr, nullptr);
    }
    EXPECT_LT(t.elapsed(), 30000);
}

TEST(TextControlLoad, InvalidRtfAndTypesGiveNumbers)
{
    QTemporaryDir dir;
    const QString bad = dir.filePath(QStringLiteral("bad.rtf"));
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{\\rtf1 broken {");
    f.close();
    TextControl tc;
    int errors = 0;
    QObject::connect(&tc, &TextControl::Error, [&](int, const QString &) { ++errors; });
    EXPECT_EQ(tc.Load(bad, 0, 5), TextControl::errInvalidFormat);
    EXPECT_EQ(tc.Load(bad, 0, 9), TextControl::errInvalidFormat); // not a Word file either
    EXPECT_EQ(tc.Load(dir.filePath(QStringLiteral("missing.rtf")), 0, 5), TextControl::errFileNotFound);
    EXPECT_EQ(tc.Load(bad, 0, 12), TextControl::errInvalidValue);
    EXPECT_EQ(tc.Save(dir.filePath(QStringLiteral("x.bin")), 0, 7), TextControl::errUnknownType);
    EXPECT_EQ(tc.lastErrorDescription(), QStringLiteral("Unknown File Type"));
    EXPECT_EQ(errors, 5);
}

TEST(RtfReader, RepeatedPictureIsStoredOnce)
{
    const QByteArray pict = "{\\pict\\pngblip " + texttest::pictureBytes("png", 20, 10).toHex() + "}";
    QTextDocument doc;
    ASSERT_TRUE(RtfReader::read("{\\rtf1 " + pict + " and " + pict + "\\par}", &doc, nullptr, nullptr));
    QStringList names;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                names.append(it.fragment().charFormat().toImageFormat().name());
    ASSERT_EQ(names.size(), 2);
    EXPECT_EQ(names[0], names[1]);
}

TEST(RtfReader, ControlCharactersAndHugeNumbersStayHarmless)
{
    QTextDocument doc;
    ASSERT_TRUE(RtfReader::read("{\\rtf1 a\\u0?b\x08" "c\\'01d{\\up2147483647\\li2147483647\\sl-2147483647 e}"
                                "{\\pict\\pngblip\\picscalex10000\\picwgoal2147483647 00}\\par}",
                                &doc, nullptr, nullptr));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("abcde\n"));
    // What was read is written and read back alike.
    QTextDocument back;
    ASSERT_TRUE(RtfReader::read(RtfWriter::write(doc, RtfPageSetup{}), &back, nullptr, nullptr));
    EXPECT_EQ(back.toPlainText(), doc.toPlainText());
}
