// PDF output of the text control, read back with libqpdf.
#include "PdfProbe.h"
#include "TextTestUtil.h"

#include "textcontrol/TextControl.h"
#include "textcontrol/TextUnits.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

namespace {

// A control holding a few pages of text with two large pictures shown small.
void fillWithPictures(TextControl &tc, int paragraphs = 40)
{
    QTextDocument *doc = tc.document();
    QTextCursor c(doc);
    for (int i = 0; i < paragraphs; ++i) {
        c.insertText(QStringLiteral("Paragraph %1: the quick brown fox jumps over the lazy dog. ").arg(i).repeated(3));
        c.insertBlock();
        if (i % 20 == 5) {
            texttest::insertPicture(doc, c, QStringLiteral("mem://p%1").arg(i),
                                    texttest::pictureBytes("png", 900, 700, quint32(i)),
                                    TextUnits::twipsToDoc(4320), TextUnits::twipsToDoc(3360));
            c.insertBlock();
        }
    }
}

qint64 sizeOf(const QString &path)
{
    return QFileInfo(path).size();
}

} // namespace

TEST(PdfOutput, PageSizeAndPagesFollowThePageSettings)
{
    QTemporaryDir dir;
    TextControl tc;
    fillWithPictures(tc, 120);
    tc.setPageWidth(11906); // A4 portrait
    tc.setPageHeight(16838);
    const QString a4 = dir.filePath(QStringLiteral("a4.pdf"));
    ASSERT_EQ(tc.Save(a4, 0, 12), 0) << tc.lastErrorDescription().toStdString();
    PdfInfo info = probePdf(a4);
    ASSERT_TRUE(info.opened) << info.error.toStdString();
    EXPECT_FALSE(info.encrypted);
    EXPECT_NEAR(info.width, 11906 / 20.0, 1.0);
    EXPECT_NEAR(info.height, 16838 / 20.0, 1.0);
    EXPECT_GE(info.pages, 3);
    EXPECT_EQ(info.images, 6);

    // Landscape through the options 0 and 1, with wide margins: fewer lines per page.
    tc.setOutputOption(0, 15840);
    tc.setOutputOption(1, 12240);
    tc.setPageMarginT(2880);
    tc.setPageMarginB(2880);
    const QString wide = dir.filePath(QStringLiteral("wide.pdf"));
    ASSERT_EQ(tc.Save(wide, 0, 12), 0);
    PdfInfo w = probePdf(wide);
    EXPECT_NEAR(w.width, 792.0, 1.0);
    EXPECT_NEAR(w.height, 612.0, 1.0);
    EXPECT_GT(w.pages, info.pages);

    // Margins that leave no room are an error, and nothing is written.
    tc.setPageMarginL(8000);
    tc.setPageMarginR(8000);
    const QString none = dir.filePath(QStringLiteral("none.pdf"));
    EXPECT_EQ(tc.Save(none, 0, 12), TextControl::errNoRoom);
    EXPECT_FALSE(QFileInfo::exists(none));
}

TEST(PdfOutput, PasswordsAndPermissions)
{
    QTemporaryDir dir;
    TextControl tc;
    tc.document()->setPlainText(QStringLiteral("secret text"));

    // Open password and permissions password: the mask decides what is allowed.
    tc.setOutputOption(12, QStringLiteral("open sesame"));
    tc.setOutputOption(11, QStringLiteral("owner pw"));
    tc.setOutputOption(10, 128 | 16 | 8); // low-res print, copy, assemble
    const QString both = dir.filePath(QStringLiteral("both.pdf"));
    ASSERT_EQ(tc.Save(both, 0, 12), 0) << tc.lastErrorDescription().toStdString();
    EXPECT_FALSE(probePdf(both).opened);                      // no password
    EXPECT_FALSE(probePdf(both, QStringLiteral("wrong")).opened);
    PdfInfo user = probePdf(both, QStringLiteral("open sesame"));
    ASSERT_TRUE(user.opened) << user.error.toStdString();
    EXPECT_TRUE(user.encrypted);
    EXPECT_TRUE(user.printLow);
    EXPECT_FALSE(user.printHigh);
    EXPECT_TRUE(user.extract);
    EXPECT_TRUE(user.assembly);
    EXPECT_FALSE(user.modifyOther);
    EXPECT_FALSE(user.annotate);
    EXPECT_FALSE(user.forms);
    EXPECT_TRUE(probePdf(both, QStringLiteral("owner pw")).opened);

    // Only a permissions password: opens freely, restrictions hold (125 = high-res print,
    // any change, both boxes).
    tc.setOutputOption(12, QString());
    tc.setOutputOption(10, 125);
    const QString owner = dir.filePath(QStringLiteral("owner.pdf"));
    ASSERT_EQ(tc.Save(owner, 0, 12), 0);
    PdfInfo o = probePdf(owner);
    ASSERT_TRUE(o.opened) << o.error.toStdString();
    EXPECT_TRUE(o.encrypted);
    EXPECT_TRUE(o.printHigh);
    EXPECT_TRUE(o.modifyOther);
    EXPECT_TRUE(o.annotate);
    EXPECT_TRUE(o.forms);
    EXPECT_TRUE(o.extract);

    tc.setOutputOption(10, 0);
    const QString nothing = dir.filePath(QStringLiteral("nothing.pdf"));
    ASSERT_EQ(tc.Save(nothing, 0, 12), 0);
    PdfInfo n = probePdf(nothing);
    EXPECT_TRUE(n.encrypted);
    EXPECT_FALSE(n.printLow);
    EXPECT_FALSE(n.printHigh);
    EXPECT_FALSE(n.extract);
    EXPECT_FALSE(n.modifyOther);

    // Only an open password: everything allowed once opened.
    tc.setOutputOption(11, QString());
    tc.setOutputOption(12, QStringLiteral("pw"));
    const QString openOnly = dir.filePath(QStringLiteral("open.pdf"));
    ASSERT_EQ(tc.Save(openOnly, 0, 12), 0);
    EXPECT_FALSE(probePdf(openOnly).opened);
    PdfInfo oo = probePdf(openOnly, QStringLiteral("pw"));
    EXPECT_TRUE(oo.printHigh);
    EXPECT_TRUE(oo.modifyOther);

    // PDF/A (type 14) is never encrypted.
    const QString pdfa = dir.filePath(QStringLiteral("a.pdf"));
    ASSERT_EQ(tc.Save(pdfa, 0, 14), 0);
    PdfInfo a = probePdf(pdfa);
    EXPECT_TRUE(a.opened);
    EXPECT_FALSE(a.encrypted);
}

TEST(PdfOutput, ImageQualityAndResolutionShrinkTheFile)
{
    QTemporaryDir dir;
    TextControl tc;
    fillWithPictures(tc, 30);
    const QString plain = dir.filePath(QStringLiteral("plain.pdf"));
    ASSERT_EQ(tc.Save(plain, 0, 12), 0);

    tc.setOutputOption(13, 90);
    const QString q90 = dir.filePath(QStringLiteral("q90.pdf"));
    ASSERT_EQ(tc.Save(q90, 0, 12), 0);
    tc.setOutputOption(13, 10);
    const QString q10 = dir.filePath(QStringLiteral("q10.pdf"));
    ASSERT_EQ(tc.Save(q10, 0, 12), 0) << tc.lastErrorDescription().toStdString();
    PdfInfo i10 = probePdf(q10);
    ASSERT_TRUE(i10.opened);
    EXPECT_EQ(i10.images, 2);
    EXPECT_TRUE(i10.allImagesJpeg);
    EXPECT_LT(sizeOf(q10), sizeOf(q90));
    EXPECT_LT(sizeOf(q10) * 2, sizeOf(plain));

    // 900 px shown 3 inches wide is 300 dpi; 72 dpi keeps about a quarter of the width.
    tc.setOutputOption(13, 0);
    tc.setOutputOption(14, 72);
    const QString lowres = dir.filePath(QStringLiteral("lowres.pdf"));
    ASSERT_EQ(tc.Save(lowres, 0, 12), 0);
    EXPECT_LT(sizeOf(lowres) * 4, sizeOf(plain));
    tc.setOutputOption(14, 600); // above the picture's own resolution: unchanged
    const QString highres = dir.filePath(QStringLiteral("highres.pdf"));
    ASSERT_EQ(tc.Save(highres, 0, 12), 0);
    EXPECT_NEAR(double(sizeOf(highres)), double(sizeOf(plain)), sizeOf(plain) * 0.02);
}

// A line is drawn on the page it belongs to only: text drawn clipped on the next page as well
// would still be extracted, copied and read aloud twice.
TEST(PdfOutput, EveryLineIsDrawnOnOnePageOnly)
{
    QTemporaryDir dir;
    for (const double points : {9.0, 12.0, 17.5}) {
        TextControl tc;
        QFont font = tc.document()->defaultFont();
        font.setPointSizeF(points);
        tc.document()->setDefaultFont(font);
        QTextCursor c(tc.document());
        constexpr int kLines = 150;
        for (int i = 0; i < kLines; ++i) {
            if (i > 0)
                c.insertBlock();
            c.insertText(QStringLiteral("Line %1").arg(i));
        }
        const QString pdf = dir.filePath(QStringLiteral("lines.pdf"));
        ASSERT_EQ(tc.Save(pdf, 0, 12), 0) << tc.lastErrorDescription().toStdString();
        const PdfInfo info = probePdf(pdf);
        ASSERT_GE(info.pages, 3) << info.error.toStdString();
        int drawn = 0;
        for (const QByteArray &page : info.pageContents)
            drawn += int(page.count("BT\n") + page.count("BT "));
        EXPECT_EQ(drawn, kLines) << points << " pt";
    }
}
