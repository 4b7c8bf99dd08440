// What the worker writes, checked by reading the files back: PDF pages, pictures, slide text,
// and the presentation formats re-opened through the worker.
#include "ConverterTestSupport.h"
#include "TestEnv.h"
#include "converter/TypeCatalogue.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QUrl>

using namespace convtest;

namespace {

class ConversionOutput : public ::testing::Test
{
protected:
    void SetUp() override
    {
        resetOptions(control());
        pptx = deck(QStringLiteral("pptx"));
        ASSERT_FALSE(pptx.isEmpty()) << control().lastDetail().toStdString();
        out = freshFolder(QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    }
    void TearDown() override { EXPECT_TRUE(stagedLeftovers(out).isEmpty()); }

    QString text(const QString &path) { return QString::fromUtf8(qvtest::readFile(path)); }

    QString pptx;
    QString out;
};

// Red pixels (the fixture's picture on slide 3), sampled every fourth row and column.
int redPixels(const QImage &img)
{
    int n = 0;
    for (int y = 0; y < img.height(); y += 4)
        for (int x = 0; x < img.width(); x += 4) {
            const QColor p = img.pixelColor(x, y);
            n += p.red() > 150 && p.green() < 80 && p.blue() < 80;
        }
    return n;
}

TEST_F(ConversionOutput, PdfHonoursSlideRangeAndNotesPages)
{
    ConversionControl &c = control();
    ASSERT_EQ(convert(pptx, out + "/all.pdf", 32), 0);
    EXPECT_EQ(pdfFacts(out + "/all.pdf").pages, kDeckSlides);

    c.setFromSlide(2);
    c.setToSlide(3);
    ASSERT_EQ(convert(pptx, out + "/range.pdf", 32), 0);
    EXPECT_EQ(pdfFacts(out + "/range.pdf").pages, 2);

    c.setIncludeNotesPage(true);
    ASSERT_EQ(convert(pptx, out + "/notes.pdf", 32), 0);
    EXPECT_EQ(pdfFacts(out + "/notes.pdf").pages, 4); // two slides, two notes pages

    c.setIncludeNotesPage(false);
    c.setIncludeNotesOnly(true);
    ASSERT_EQ(convert(pptx, out + "/notesonly.pdf", 32), 0);
    const PdfFacts notes = pdfFacts(out + "/notesonly.pdf");
    EXPECT_EQ(notes.pages, 2);
    // Notes pages are portrait, slides landscape.
    EXPECT_GT(notes.size.height(), notes.size.width());
    EXPECT_GT(pdfFacts(out + "/range.pdf").size.width(), pdfFacts(out + "/range.pdf").size.height());

    // A range that runs past the end stops at the last slide.
    c.setIncludeNotesOnly(false);
    c.setFromSlide(3);
    c.setToSlide(99);
    ASSERT_EQ(convert(pptx, out + "/tail.pdf", 32), 0);
    EXPECT_EQ(pdfFacts(out + "/tail.pdf").pages, 2);
}

// A whole presentation to PDF takes a quicker road inside the worker than a slide range does;
// a range of all slides is exported whole too, so both PDFs must be alike page for page.
TEST_F(ConversionOutput, WholePresentationPdfIsTheSameOnEitherRoad)
{
    ConversionControl &c = control();
    for (const QString &ext : {QStringLiteral("pptx"), QStringLiteral("odp")}) {
        const QString original = deck(ext);
        // The range first: a worker's first load takes the regular road whatever it converts.
        c.setFromSlide(1);
        c.setToSlide(kDeckSlides);
        ASSERT_EQ(convert(original, out + "/range.pdf", 32), 0);
        resetOptions(c);
        ASSERT_EQ(convert(original, out + "/whole.pdf", 32), 0);
        const PdfFacts whole = pdfFacts(out + "/whole.pdf");
        const PdfFacts range = pdfFacts(out + "/range.pdf");
        EXPECT_EQ(whole.pages, kDeckSlides);
        EXPECT_EQ(whole.size, range.size);
        EXPECT_EQ(whole.language, "en-US");
        EXPECT_EQ(whole.language, range.language);
        EXPECT_EQ(whole.pageContents, range.pageContents) << ext.toStdString();
    }
    EXPECT_EQ(entries(out), (QStringList{"range.pdf", "whole.pdf"}));
}

TEST_F(ConversionOutput, OneFilePerSlideNamesFilesAfterTheSlideNumbers)
{
    ConversionControl &c = control();
    c.setCreateFileForEachSlide(true);
    c.setFromSlide(2);
    c.setToSlide(4);
    ASSERT_EQ(convert(pptx, out + "/deck.pdf", 32), 0);
    EXPECT_EQ(entries(out), QStringList({"deck_2.pdf", "deck_3.pdf", "deck_4.pdf"}));
    EXPECT_EQ(c.lastOutputs().size(), 3);
    for (const QString &f : entries(out))
        EXPECT_EQ(pdfFacts(out + "/" + f).pages, 1) << f.toStdString();

    c.setFromSlide(1);
    c.setToSlide(2);
    ASSERT_EQ(convert(pptx, out + "/slide.pptx", 24), 0);
    resetOptions(c);
    ASSERT_EQ(convert(out + "/slide_2.pptx", out + "/slide2.pdf", 32), 0);
    EXPECT_EQ(pdfFacts(out + "/slide2.pdf").pages, 1);
    ASSERT_EQ(convert(out + "/slide_2.pptx", out + "/slide2.txt", 107), 0);
    EXPECT_TRUE(text(out + "/slide2.txt").contains("Revenue Figures"));
}

TEST_F(ConversionOutput, PicturesOneFilePerSlideWithTheSlideProportions)
{
    ConversionControl &c = control();
    ASSERT_EQ(convert(pptx, out + "/deck.pdf", 32), 0);
    const QSizeF page = pdfFacts(out + "/deck.pdf").size;
    ASSERT_GT(page.width(), 0);

    const struct { int type; const char *ext; QByteArray format; } kinds[] = {
        {18, "png", "png"}, {17, "jpg", "jpeg"}, {19, "bmp", "bmp"}, {21, "tif", "tiff"}};
    for (const auto &k : kinds) {
        c.setFromSlide(2);
        c.setToSlide(3);
        const QString target = out + "/pic." + k.ext;
        ASSERT_EQ(convert(pptx, target, k.type), 0) << k.ext;
        EXPECT_FALSE(QFileInfo::exists(target)) << "pictures never go under the target name itself";
        for (int slide : {2, 3}) {
            const QString file = out + QStringLiteral("/pic_%1.").arg(slide) + k.ext;
            QImageReader reader(file);
            EXPECT_EQ(reader.format(), k.format) << file.toStdString();
            const QImage img = reader.read();
            ASSERT_FALSE(img.isNull()) << file.toStdString();
            // 96 pixels per inch of the slide; the PDF page is the slide in points.
            EXPECT_NEAR(img.width(), page.width() / 72.0 * 96.0, 2.0);
            EXPECT_NEAR(double(img.width()) / img.height(), page.width() / page.height(), 0.01);
        }
        EXPECT_FALSE(QFileInfo::exists(out + "/pic_1." + k.ext));
        EXPECT_FALSE(QFileInfo::exists(out + "/pic_4." + k.ext));
    }
    // Slide 3 holds a red picture on a white slide; slide 2 has no red at all.
    const QImage s3(out + "/pic_3.png");
    const QImage s2(out + "/pic_2.png");
    EXPECT_GT(redPixels(s3), 1000);
    EXPECT_EQ(redPixels(s2), 0);
}

// Pixels that are not (near) white in a rectangle of a picture.
int inkedPixels(const QImage &img, const QRect &area)
{
    int n = 0;
    const QRect r = area.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor p = img.pixelColor(x, y);
            n += qMin(p.red(), qMin(p.green(), p.blue())) < 245;
        }
    return n;
}

TEST_F(ConversionOutput, SlidePicturesShowTheSlideAsASlideShowDoes)
{
    // A slide whose title and text placeholders were never filled in: the editing view shows
    // "Click to add Title" in dashed boxes, a slide show shows an empty slide.
    const QString blank = out + "/blank.pptx";
    ASSERT_EQ(convert(qvtest::dataDir() + "/empty-placeholders.fodp", blank, 24), 0);
    ASSERT_EQ(convert(blank, out + "/blank.png", 18), 0);
    const QImage empty(out + "/blank_1.png");
    ASSERT_FALSE(empty.isNull());
    EXPECT_EQ(inkedPixels(empty, empty.rect()), 0);

    // The same slide inside slide pictures and text: the picture is the PNG in the RTF.
    ASSERT_EQ(convert(blank, out + "/blank.rtf", 106), 0);
    const QByteArray rtf = qvtest::readFile(out + "/blank.rtf");
    const qsizetype at = rtf.indexOf("\\pngblip");
    ASSERT_GE(at, 0);
    const qsizetype start = rtf.indexOf('\n', at) + 1; // the hex digits follow the picture's control words
    QByteArray hex = rtf.mid(start, rtf.indexOf('}', start) - start);
    hex.replace("\r", "").replace("\n", "");
    const QImage inRtf = QImage::fromData(QByteArray::fromHex(hex), "PNG");
    ASSERT_FALSE(inRtf.isNull());
    EXPECT_EQ(inkedPixels(inRtf, inRtf.rect()), 0);

    // A slide with text well inside its edges has no frame line along the top or left edge.
    control().setFromSlide(2);
    control().setToSlide(2);
    ASSERT_EQ(convert(pptx, out + "/figures.bmp", 19), 0);
    const QImage figures(out + "/figures_2.bmp");
    ASSERT_FALSE(figures.isNull());
    EXPECT_GT(inkedPixels(figures, figures.rect()), 1000); // the text is there
    EXPECT_EQ(inkedPixels(figures, QRect(0, 0, figures.width(), 2)), 0);
    EXPECT_EQ(inkedPixels(figures, QRect(0, 0, 2, figures.height())), 0);
}

TEST_F(ConversionOutput, SlideTextCarriesTitlesBulletsAndNotesWhenAsked)
{
    ConversionControl &c = control();
    ASSERT_EQ(convert(pptx, out + "/plain.txt", 107), 0);
    const QString plain = QString::fromLatin1(qvtest::readFile(out + "/plain.txt"));
    EXPECT_TRUE(plain.contains("Quarterly Review\r\n"));
    EXPECT_TRUE(plain.contains("\tTravel costs fell\r\n")); // second bullet level
    EXPECT_TRUE(plain.contains("Open the Lyon office"));
    EXPECT_FALSE(plain.contains("currency effect"));

    c.setIncludeNotesPage(true);
    c.setFromSlide(2);
    c.setToSlide(2);
    ASSERT_EQ(convert(pptx, out + "/notes.rtf", 6), 0);
    const QString rtf = text(out + "/notes.rtf");
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(rtf.contains("Revenue Figures"));
    EXPECT_TRUE(rtf.contains("Mention the currency effect"));
    EXPECT_FALSE(rtf.contains("Quarterly Review"));
    EXPECT_FALSE(rtf.contains("Next Steps"));

    c.setIncludeNotesPage(false);
    c.setIncludeNotesOnly(true);
    c.setFromSlide(0);
    c.setToSlide(0);
    ASSERT_EQ(convert(pptx, out + "/notes.txt", 200), 0);
    const QByteArray uni = qvtest::readFile(out + "/notes.txt");
    ASSERT_TRUE(uni.startsWith("\xFF\xFE"));
    const QString notesOnly = QString::fromUtf16(reinterpret_cast<const char16_t *>(uni.constData() + 2), (uni.size() - 2) / 2);
    EXPECT_TRUE(notesOnly.contains("Welcome everyone to the review"));
    EXPECT_TRUE(notesOnly.contains("Questions at the end"));
    EXPECT_FALSE(notesOnly.contains("Revenue Figures"));

    c.setIncludeNotesOnly(false);
    c.setShowSlideAndShape(true);
    ASSERT_EQ(convert(pptx, out + "/labelled.htm", 108), 0);
    const QString html = text(out + "/labelled.htm");
    EXPECT_TRUE(html.contains("<h1>Slide 4</h1>"));
    EXPECT_TRUE(html.contains("<h3>Shape 1 (title)</h3>"));
    EXPECT_TRUE(html.contains("<h3>Shape 2 (Plant photo)</h3>"));
    EXPECT_TRUE(html.contains("<h2>Our New Plant</h2>"));
}

TEST_F(ConversionOutput, RtfWithPicturesHasOnePicturePerSlide)
{
    ConversionControl &c = control();
    c.setFromSlide(1);
    c.setToSlide(3);
    ASSERT_EQ(convert(pptx, out + "/pictures.rtf", 106), 0);
    const QString rtf = text(out + "/pictures.rtf");
    EXPECT_EQ(rtf.count("\\pict\\pngblip"), 3);
    EXPECT_LT(rtf.indexOf("\\pict"), rtf.indexOf("Quarterly Review"));
    EXPECT_FALSE(rtf.contains("Next Steps"));
}

TEST_F(ConversionOutput, WordDocumentOfTheSlideTextReadsBack)
{
    ConversionControl &c = control();
    ASSERT_EQ(convert(pptx, out + "/text.doc", 101), 0);
    EXPECT_TRUE(qvtest::readFile(out + "/text.doc").startsWith("\xD0\xCF\x11\xE0"));
    QString message;
    ASSERT_EQ(c.convertDocument(out + "/text.doc", out + "/back.txt", "Text", message), 0) << message.toStdString();
    const QString back = text(out + "/back.txt");
    EXPECT_TRUE(back.contains("Revenue grew twelve percent"));
    EXPECT_TRUE(back.contains("Next Steps"));
}

TEST_F(ConversionOutput, PresentationFormatsReopenWithTheirSlides)
{
    ConversionControl &c = control();
    c.setFromSlide(2);
    c.setToSlide(3);
    const struct { int type; const char *ext; QByteArray mainType; } kinds[] = {
        {24, "pptx", "presentationml.presentation.main+xml"},
        {28, "ppsx", "presentationml.slideshow.main+xml"},
        {26, "potx", "presentationml.template.main+xml"},
        {1, "ppt", ""}, {7, "pps", ""}, {5, "pot", ""}, {35, "odp", ""}};
    for (const auto &k : kinds) {
        const QString target = out + "/range." + k.ext;
        ASSERT_EQ(convert(pptx, target, k.type), 0) << k.ext;
        if (!k.mainType.isEmpty()) {
            EXPECT_TRUE(contentTypes(target).contains(k.mainType)) << k.ext;
        }
    }
    resetOptions(c);
    for (const auto &k : kinds) {
        const QString pdf = out + "/reopened-" + k.ext + ".pdf";
        ASSERT_EQ(convert(out + "/range." + k.ext, pdf, 32), 0) << k.ext;
        EXPECT_EQ(pdfFacts(pdf).pages, 2) << k.ext;
    }
    // The kept slides are slides 2 and 3 of the original.
    ASSERT_EQ(convert(out + "/range.ppt", out + "/range.txt", 107), 0);
    const QString t = QString::fromLatin1(qvtest::readFile(out + "/range.txt"));
    EXPECT_TRUE(t.contains("Revenue Figures"));
    EXPECT_TRUE(t.contains("Our New Plant"));
    EXPECT_FALSE(t.contains("Quarterly Review"));
}

TEST_F(ConversionOutput, HtmlPagesAndOriginalsOfEveryFormat)
{
    ASSERT_EQ(convert(pptx, out + "/deck.html", 12), 0);
    EXPECT_TRUE(text(out + "/deck.html").contains("Revenue Figures"));
    EXPECT_TRUE(text(out + "/deck_files/deck_2.html").contains("Revenue grew twelve percent"));
    for (const QString &ext : {QStringLiteral("ppt"), QStringLiteral("odp")}) {
        const QString original = deck(ext);
        ASSERT_FALSE(original.isEmpty());
        ASSERT_EQ(convert(original, out + "/from-" + ext + ".pdf", 32), 0);
        EXPECT_EQ(pdfFacts(out + "/from-" + ext + ".pdf").pages, kDeckSlides);
    }
}

// The local files a page links to or shows (href and src), resolved against the page's folder;
// rel limits it to links of that kind ("next", "prev").
QStringList linkedFiles(const QString &page, const QString &rel = QString())
{
    const QString html = QString::fromUtf8(qvtest::readFile(page));
    const QRegularExpression re(rel.isEmpty() ? QStringLiteral("(?:href|src)=\"([^\"]*)\"")
                                              : QStringLiteral("href=\"([^\"]*)\" rel=\"%1\"").arg(rel));
    QStringList files;
    for (const QRegularExpressionMatch &m : re.globalMatch(html))
        files << QDir::cleanPath(QFileInfo(page).absolutePath() + u'/'
                                 + QUrl::fromPercentEncoding(m.captured(1).toUtf8()));
    files.removeDuplicates(); // the navigation stands above and below the slide
    return files;
}

TEST_F(ConversionOutput, HtmlPagesAreBrowsableWithinTheSlideRange)
{
    ConversionControl &c = control();
    c.setFromSlide(2);
    c.setToSlide(4);
    // Blanks, "#", "%" and "&" in the name must survive as links.
    const QString index = out + "/Q&A #1 50%.html";
    ASSERT_EQ(convert(pptx, index, 12), 0);
    const QString folder = out + "/Q&A #1 50%_files";
    EXPECT_EQ(entries(out), QStringList({"Q&A #1 50%.html", "Q&A #1 50%_files"}));
    EXPECT_EQ(entries(folder).size(), 6); // a page and a picture for each of slides 2-4

    // Every page and picture the index names exists; slide 1 is not among them.
    const QStringList fromIndex = linkedFiles(index);
    EXPECT_EQ(fromIndex.size(), 6);
    for (const QString &f : fromIndex)
        EXPECT_TRUE(QFileInfo::exists(f)) << f.toStdString();
    EXPECT_FALSE(text(index).contains("Quarterly Review"));

    // Next links lead from the first page of the range to the last, and prev links back.
    QString page = folder + "/Q&A #1 50%_2.html";
    EXPECT_TRUE(linkedFiles(page, "prev").isEmpty());
    QStringList visited;
    while (QFileInfo::exists(page) && visited.size() < 5) {
        visited << QFileInfo(page).fileName();
        for (const QString &f : linkedFiles(page))
            EXPECT_TRUE(QFileInfo::exists(f)) << f.toStdString();
        const QStringList next = linkedFiles(page, "next");
        page = next.isEmpty() ? QString() : next.first();
    }
    EXPECT_EQ(visited, QStringList({"Q&A #1 50%_2.html", "Q&A #1 50%_3.html", "Q&A #1 50%_4.html"}));
    EXPECT_EQ(linkedFiles(folder + "/Q&A #1 50%_4.html", "prev"), QStringList({folder + "/Q&A #1 50%_3.html"}));
    EXPECT_TRUE(linkedFiles(folder + "/Q&A #1 50%_4.html").contains(index));

    // Each page shows its own slide's picture and text.
    const QString plant = text(folder + "/Q&A #1 50%_3.html");
    EXPECT_TRUE(plant.contains("Our New Plant"));
    EXPECT_FALSE(plant.contains("Revenue grew"));
    const QImage picture(folder + "/Q&A #1 50%_3.png");
    EXPECT_GT(picture.width(), 900);
    EXPECT_GT(redPixels(picture), 1000);

    // Converting again over the pages of the first run replaces the index and its pages.
    c.setFromSlide(3);
    c.setToSlide(3);
    ASSERT_EQ(convert(pptx, index, 12), 0);
    EXPECT_EQ(linkedFiles(index).size(), 2);
    EXPECT_TRUE(linkedFiles(folder + "/Q&A #1 50%_3.html", "next").isEmpty());
}

TEST_F(ConversionOutput, PathsWithBlanksAndAccentsAndPercentSigns)
{
    const QString folder = out + QString::fromUtf8("/Präsentation 100% #1");
    QDir().mkpath(folder);
    const QString original = folder + QString::fromUtf8("/Überblick & Plan.pptx");
    ASSERT_TRUE(QFile::copy(pptx, original));
    ASSERT_EQ(convert(original, folder + QString::fromUtf8("/Überblick & Plan.pdf"), 32), 0);
    EXPECT_EQ(pdfFacts(folder + QString::fromUtf8("/Überblick & Plan.pdf")).pages, kDeckSlides);
    control().setCreateFileForEachSlide(true);
    control().setFromSlide(4);
    control().setToSlide(4);
    ASSERT_EQ(convert(original, folder + QString::fromUtf8("/Überblick & Plan.pdf"), 32), 0);
    EXPECT_EQ(pdfFacts(folder + QString::fromUtf8("/Überblick & Plan_4.pdf")).pages, 1);
    EXPECT_TRUE(stagedLeftovers(folder).isEmpty());
}

// Every name the file system takes is a valid target: the temporary name it is written under
// first must fit too, also for a package that is rewritten after saving (PPSX).
TEST_F(ConversionOutput, TargetNamesAsLongAsTheFileSystemAllows)
{
    const QString base(251, QChar(u'd'));
    ASSERT_EQ(convert(pptx, out + "/" + base + ".pdf", 32), 0) << control().lastDetail().toStdString();
    EXPECT_EQ(pdfFacts(out + "/" + base + ".pdf").pages, kDeckSlides);
    // 250 bytes of two-byte letters and ".ppsx": the name is cut between letters, never inside one.
    const QString wide(125, QChar(u'\u00e9'));
    ASSERT_EQ(convert(pptx, out + "/" + wide + ".ppsx", 28), 0) << control().lastDetail().toStdString();
    EXPECT_TRUE(contentTypes(out + "/" + wide + ".ppsx").contains("slideshow.main+xml"));
    EXPECT_EQ(entries(out).size(), 2);
}

TEST_F(ConversionOutput, ReplacesAnExistingTargetWhole)
{
    qvtest::writeFile(out + "/deck.pdf", "old contents");
    ASSERT_EQ(convert(pptx, out + "/deck.pdf", 32), 0);
    EXPECT_EQ(pdfFacts(out + "/deck.pdf").pages, kDeckSlides);
    EXPECT_EQ(entries(out), QStringList{"deck.pdf"});
}

TEST_F(ConversionOutput, DocumentRoundTripBetweenRtfAndWord)
{
    ConversionControl &c = control();
    qvtest::writeFile(out + "/letter.rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Dear committee,\\par Caf\\u233? au lait\\par}");
    QString message;
    ASSERT_EQ(c.convertDocument(out + "/letter.rtf", out + "/letter.doc", "MS Word 97", message), 0);
    EXPECT_EQ(message, TypeCatalogue::resultMessage(0));
    ASSERT_EQ(c.convertDocument(out + "/letter.doc", out + "/again.rtf", "Rich Text Format", message), 0);
    const QString rtf = text(out + "/again.rtf");
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(rtf.contains("Dear committee"));
    EXPECT_EQ(c.convertDocument(out + "/missing.doc", out + "/x.rtf", "Rich Text Format", message),
              TypeCatalogue::OriginalNotOpened);
    EXPECT_EQ(message, TypeCatalogue::resultMessage(TypeCatalogue::OriginalNotOpened));
    EXPECT_FALSE(QFileInfo::exists(out + "/x.rtf"));
}

} // namespace
