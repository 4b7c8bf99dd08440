// The control's own operations: selection, formatted copies between controls, the other
// stream types (HTML with pictures and style sheets, XML, CSS, OpenDocument).
#include "TestEnv.h"
#include "TextTestUtil.h"

#include "textcontrol/TextControl.h"
#include "textcontrol/TextUnits.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

TEST(TextControlSelection, StartLengthTextAndCaretAtEnd)
{
    TextControl tc;
    tc.document()->setPlainText(QStringLiteral("hello world\nsecond"));
    tc.setSelStart(6);
    tc.setSelLength(5);
    EXPECT_EQ(tc.SelText(), QStringLiteral("world"));
    tc.setSelText(QStringLiteral("there"));
    EXPECT_EQ(tc.Text(), QStringLiteral("hello there\nsecond"));
    tc.setSelStart(8);
    tc.setSelLength(6); // across the paragraph end
    EXPECT_EQ(tc.SelText(), QStringLiteral("ere\nse"));
    tc.setSelLength(1000); // clamped to the end
    EXPECT_EQ(tc.SelLength(), 10);
    tc.setSelStart(-1);
    EXPECT_EQ(tc.SelStart(), int(tc.Text().size()));
    EXPECT_EQ(tc.SelLength(), 0);
    tc.setSelText(QStringLiteral("!\nthird"));
    EXPECT_EQ(tc.Text(), QStringLiteral("hello there\nsecond!\nthird"));
    tc.Clear();
    EXPECT_EQ(tc.Text(), QString());

    // Dialog hooks run only when installed.
    int calls = 0;
    tc.FontDialog();
    tc.setFontDialogHandler([&](TextControl &c) { ++calls; c.setFontBold(1); });
    tc.FontDialog();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(tc.FontBold(), 1);
}

TEST(TextControlSelection, FormattedDataBlockCarriesPicturesBetweenControls)
{
    TextControl a;
    QTextCursor c(a.document());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.insertText(QStringLiteral("bold "), bold);
    texttest::insertPicture(a.document(), c, QStringLiteral("mem://pic"), texttest::pictureBytes("png", 30, 20),
                            TextUnits::twipsToDoc(720), TextUnits::twipsToDoc(480));
    a.setSelStart(0);
    a.setSelLength(int(a.Text().size()));

    TextControl b;
    b.document()->setPlainText(QStringLiteral("start "));
    b.setSelStart(-1);
    ASSERT_TRUE(b.InsertData(3, a.SelectionData(3)));
    EXPECT_EQ(b.Text(), QStringLiteral("start bold \uFFFC"));
    b.setSelStart(6);
    b.setSelLength(4);
    EXPECT_EQ(b.FontBold(), 1);

    // The picture's bytes came along: saved as RTF it is still there.
    QTemporaryDir dir;
    const QString rtf = dir.filePath(QStringLiteral("b.rtf"));
    ASSERT_EQ(b.Save(rtf, 0, 5), 0);
    EXPECT_TRUE(qvtest::readFile(rtf).contains("\\pngblip"));

    // A range copy keeps the paragraph format of its source.
    TextControl src;
    src.document()->setPlainText(QStringLiteral("left\ncentre"));
    src.setSelStart(6);
    src.setAlignment(2);
    TextControl dst;
    dst.InsertRangeFrom(src, 5, 6, true);
    EXPECT_EQ(dst.Text(), QStringLiteral("centre\n"));
    dst.setSelStart(0);
    EXPECT_EQ(dst.Alignment(), 2);
    EXPECT_FALSE(b.InsertData(3, "{\\rtf1 broken"));
}

TEST(TextControlFormats, HtmlPicturesAndStyleSheets)
{
    QTemporaryDir dir;
    ASSERT_TRUE(qvtest::writeFile(dir.filePath(QStringLiteral("pic.png")), texttest::pictureBytes("png", 40, 30)));
    const QString html = dir.filePath(QStringLiteral("page.htm"));
    ASSERT_TRUE(qvtest::writeFile(html, "<html><head><meta charset=\"windows-1252\"></head><body>"
                                        "<p align=\"center\">Caf\xe9 <b>bold</b></p><img src=\"pic.png\"></body></html>"));
    TextControl tc;
    ASSERT_EQ(tc.Load(html, 0, 4), 0);
    EXPECT_EQ(tc.Text().remove(u'\n'), QStringLiteral("Café bold\uFFFC"));
    EXPECT_EQ(tc.Alignment(), 2);

    // The relative picture is found beside the page and written into RTF and PDF.
    const QString rtf = dir.filePath(QStringLiteral("page.rtf"));
    ASSERT_EQ(tc.Save(rtf, 0, 5), 0);
    EXPECT_TRUE(qvtest::readFile(rtf).contains("\\pngblip"));

    // Style sheet options 2 (keep an existing file) and 3 (write it).
    const QString css = dir.filePath(QStringLiteral("style.css"));
    ASSERT_TRUE(qvtest::writeFile(css, "keep me"));
    tc.setOutputOption(8, QStringLiteral("style.css"));
    tc.setOutputOption(9, 2);
    const QString out = dir.filePath(QStringLiteral("out.htm"));
    ASSERT_EQ(tc.Save(out, 0, 4), 0);
    EXPECT_TRUE(qvtest::readFile(out).contains("href=\"style.css\""));
    EXPECT_EQ(qvtest::readFile(css), QByteArray("keep me"));
    tc.setOutputOption(9, 3);
    ASSERT_EQ(tc.Save(out, 0, 4), 0);
    EXPECT_TRUE(qvtest::readFile(css).startsWith("body {"));
    tc.setOutputOption(9, 0);
    ASSERT_EQ(tc.Save(out, 0, 4), 0);
    EXPECT_FALSE(qvtest::readFile(out).contains("style.css"));
}

TEST(TextControlFormats, XmlCssAndOpenDocument)
{
    QTemporaryDir dir;
    TextControl tc;
    tc.document()->setPlainText(QStringLiteral("one <&> two\nsecond"));
    const QString xml = dir.filePath(QStringLiteral("d.xml"));
    ASSERT_EQ(tc.Save(xml, 0, 10, false), 0);
    TextControl back;
    ASSERT_EQ(back.Load(xml, 0, 10), 0);
    EXPECT_EQ(back.Text(), tc.Text());
    ASSERT_TRUE(qvtest::writeFile(xml, "<document><p>unclosed</document>"));
    EXPECT_EQ(back.Load(xml, 0, 10), TextControl::errInvalidFormat);

    const QString css = dir.filePath(QStringLiteral("d.css"));
    ASSERT_EQ(tc.Save(css, 0, 11, false), 0);
    EXPECT_TRUE(qvtest::readFile(css).startsWith("body { font-family:"));

    const QString odt = dir.filePath(QStringLiteral("d.odt"));
    ASSERT_EQ(tc.Save(odt, 0, 13), 0);
    EXPECT_TRUE(qvtest::readFile(odt).startsWith("PK"));
    EXPECT_TRUE(qvtest::readFile(odt).contains("application/vnd.oasis.opendocument.text"));

    // Writing where no folder exists is a clear error, and nothing half-written remains.
    EXPECT_EQ(tc.Save(dir.filePath(QStringLiteral("none/x.rtf")), 0, 5), TextControl::errWriteFailed);
    EXPECT_TRUE(tc.lastErrorDescription().contains(QStringLiteral("none/x.rtf")));
}
