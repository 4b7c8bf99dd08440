// The "PDF - with options" road: settings applied to the text control, the PDF read back with
// libqpdf, and the whole road from a presentation through the office worker.
#include "../textcontrol/PdfProbe.h"

#include "TestEnv.h"
#include "jobs/ConvertOneFile.h"
#include "jobs/JobSession.h"
#include "jobs/PdfWithOptions.h"
#include "jobs/clsConversionOptions.h"
#include "platform/StagedNames.h"
#include "textcontrol/TextControl.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

QByteArray noisyPngHex()
{
    QImage img(600, 400, QImage::Format_RGB32);
    QRandomGenerator rng(3);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb(x & 0xFF, int(rng.bounded(256)), y & 0xFF));
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return bytes.toHex();
}

// An RTF document of three paragraphs and a picture shown 4 x 2.67 inches.
QByteArray sampleRtf()
{
    return "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard First paragraph\\par\\pard\\qr Second {\\b bold}\\par "
           "{\\pict\\pngblip\\picwgoal5760\\pichgoal3840 " + noisyPngHex() + "}\\par Last\\par}";
}

clsConversionOptions rtfToPdf(const QString &rtf, const QString &pdf)
{
    clsConversionOptions o;
    o.sOriginalFile = rtf;
    o.lOriginalFileType = 5;
    o.sTargetFile = pdf;
    o.lTargetFileType = 12;
    return o;
}

} // namespace

TEST(TextPdfWithOptions, PageSettingsAndPasswordsOnlyWhenEnforced)
{
    QTemporaryDir dir;
    const QString rtf = dir.filePath(QStringLiteral("in.rtf"));
    ASSERT_TRUE(qvtest::writeFile(rtf, sampleRtf()));
    JobSession session;
    ConversionSettings &s = session.settings;
    s.sULKPDFUserPassword = QStringLiteral("user");
    s.sULKPDFMasterPassword = QStringLiteral("master");
    s.lDocAccessPermissions = 64 | 16;
    s.lULKPageWidth = 11906;
    s.lULKPageHeight = 16837;

    // Nothing enforced: the RTF's own (default) page, and no encryption despite the stored
    // passwords.
    const QString plain = dir.filePath(QStringLiteral("plain.pdf"));
    clsConversionOptions o = rtfToPdf(rtf, plain);
    ASSERT_EQ(ConvertRTFToPDFWithTextControl(session, o), 0) << o.sErr.toStdString();
    EXPECT_EQ(o.lErr, 0);
    EXPECT_TRUE(o.sErr.isEmpty());
    PdfInfo p = probePdf(plain);
    ASSERT_TRUE(p.opened) << p.error.toStdString();
    EXPECT_FALSE(p.encrypted);
    EXPECT_NEAR(p.width, 612.0, 1.0);
    EXPECT_NEAR(p.height, 792.0, 1.0);

    s.bOverridePageSettings = true;
    s.bOverridePDFSettings = true;
    const QString secured = dir.filePath(QStringLiteral("secured.pdf"));
    o = rtfToPdf(rtf, secured);
    ASSERT_EQ(ConvertRTFToPDFWithTextControl(session, o), 0) << o.sErr.toStdString();
    EXPECT_FALSE(probePdf(secured).opened);
    PdfInfo e = probePdf(secured, QStringLiteral("user"));
    ASSERT_TRUE(e.opened);
    EXPECT_TRUE(e.encrypted);
    EXPECT_NEAR(e.width, 11906 / 20.0, 1.0);
    EXPECT_NEAR(e.height, 16837 / 20.0, 1.0);
    EXPECT_TRUE(e.printHigh);
    EXPECT_TRUE(e.extract);
    EXPECT_FALSE(e.modifyOther);
    EXPECT_FALSE(e.forms);

    // The override switched off again writes the neutral values: no passwords left behind.
    s.bOverridePDFSettings = false;
    const QString again = dir.filePath(QStringLiteral("again.pdf"));
    o = rtfToPdf(rtf, again);
    ASSERT_EQ(ConvertRTFToPDFWithTextControl(session, o), 0);
    EXPECT_FALSE(probePdf(again).encrypted);
    EXPECT_TRUE(probePdf(again).opened);
}

TEST(TextPdfWithOptions, NonPositivePageSizeKeepsTheDocumentPage)
{
    // The page dialog stores 0 for an empty box; the margins still apply.
    QTemporaryDir dir;
    const QString rtf = dir.filePath(QStringLiteral("in.rtf"));
    ASSERT_TRUE(qvtest::writeFile(rtf, sampleRtf()));
    JobSession session;
    ConversionSettings &s = session.settings;
    s.bOverridePageSettings = true;
    s.lULKPageMarginL = 720;
    for (auto [w, h] : {std::pair{0, 16837}, std::pair{11906, -5}}) {
        s.lULKPageWidth = w;
        s.lULKPageHeight = h;
        const QString pdf = dir.filePath(QStringLiteral("p%1.pdf").arg(w));
        clsConversionOptions o = rtfToPdf(rtf, pdf);
        ASSERT_EQ(ConvertRTFToPDFWithTextControl(session, o), 0) << o.sErr.toStdString();
        const PdfInfo p = probePdf(pdf);
        ASSERT_TRUE(p.opened) << p.error.toStdString();
        EXPECT_NEAR(p.width, 612.0, 1.0);
        EXPECT_NEAR(p.height, 792.0, 1.0);
    }

    // Margins that leave no room on the page fail, and the message says why.
    s.lULKPageWidth = 12240;
    s.lULKPageHeight = 15840;
    s.lULKPageMarginL = 6000;
    s.lULKPageMarginR = 6200;
    const QString none = dir.filePath(QStringLiteral("none.pdf"));
    clsConversionOptions o = rtfToPdf(rtf, none);
    EXPECT_EQ(ConvertRTFToPDFWithTextControl(session, o), -3);
    EXPECT_EQ(o.sErr, QStringLiteral("The page's margins leave no room for text."));
    EXPECT_FALSE(QFileInfo::exists(none));
}

TEST(TextPdfWithOptions, ParagraphAndFontSettingsReachTheWholeText)
{
    QTemporaryDir dir;
    const QString rtf = dir.filePath(QStringLiteral("in.rtf"));
    ASSERT_TRUE(qvtest::writeFile(rtf, sampleRtf()));
    JobSession session;
    ConversionSettings &s = session.settings;
    s.bOverrideParagraphSettings = true; // only the paragraph group
    s.lULKAlignment = 2;
    s.lULKIndentL = 720;
    s.lULKLineSpacing = 150;
    const QString pdf = dir.filePath(QStringLiteral("p.pdf"));
    clsConversionOptions o = rtfToPdf(rtf, pdf);
    ASSERT_EQ(ConvertRTFToPDFWithTextControl(session, o), 0);
    TextControl *tc = session.TXTextControl1();
    const QString text = tc->Text();
    for (const char *word : {"First", "Second", "Last"}) {
        tc->setSelStart(int(text.indexOf(QLatin1String(word))));
        tc->setSelLength(1);
        EXPECT_EQ(tc->Alignment(), 2) << word;
        EXPECT_EQ(tc->IndentL(), 720) << word;
        EXPECT_EQ(tc->LineSpacing(), 150) << word;
        EXPECT_EQ(tc->FontName(), QStringLiteral("Arial")) << word; // font group not enforced
    }

    s.bOverrideFontSettings = true;
    s.sULKFontName = QStringLiteral("Liberation Mono");
    s.lULKFontSize = 14;
    s.lULKFontItalic = 1;
    s.lULKForeColor = 0x0000FF;
    o = rtfToPdf(rtf, pdf);
    ASSERT_EQ(ConvertRTFToPDFWithTextControl(session, o), 0);
    tc->setSelStart(int(tc->Text().indexOf(QStringLiteral("Last"))));
    tc->setSelLength(4);
    EXPECT_EQ(tc->FontName(), QStringLiteral("Liberation Mono"));
    EXPECT_EQ(tc->FontSize(), 14);
    EXPECT_EQ(tc->FontItalic(), 1);
    EXPECT_EQ(tc->ForeColor(), 0x0000FF);
    EXPECT_EQ(tc->ZoomFactor(), 100);
    // The font applies to the text around the picture; the picture stays a picture.
    EXPECT_EQ(probePdf(pdf).images, 1);
}

TEST(TextPdfWithOptions, ImageQualityLowersTheSizeAndFailuresAreReported)
{
    QTemporaryDir dir;
    const QString rtf = dir.filePath(QStringLiteral("in.rtf"));
    ASSERT_TRUE(qvtest::writeFile(rtf, sampleRtf()));
    JobSession session;
    const QString full = dir.filePath(QStringLiteral("full.pdf"));
    clsConversionOptions o = rtfToPdf(rtf, full);
    ASSERT_EQ(ConvertRTFToPDFWithTextControl(session, o), 0);
    session.settings.bOverrideImageSettings = true;
    session.settings.lImageComparessionQuality = 15;
    session.settings.lImageMaxResolution = 0;
    const QString small = dir.filePath(QStringLiteral("small.pdf"));
    o = rtfToPdf(rtf, small);
    ASSERT_EQ(ConvertRTFToPDFWithTextControl(session, o), 0);
    EXPECT_LT(QFileInfo(small).size() * 2, QFileInfo(full).size());
    EXPECT_TRUE(probePdf(small).allImagesJpeg);

    o = rtfToPdf(dir.filePath(QStringLiteral("absent.rtf")), full);
    EXPECT_EQ(ConvertRTFToPDFWithTextControl(session, o), -2);
    EXPECT_EQ(o.lErr, -2);
    EXPECT_TRUE(o.sErr.contains(QStringLiteral("absent.rtf")));

    o = rtfToPdf(rtf, dir.filePath(QStringLiteral("no/folder/x.pdf")));
    EXPECT_EQ(ConvertRTFToPDFWithTextControl(session, o), -3);
    EXPECT_TRUE(o.sErr.startsWith(QStringLiteral("Corvask.FileSave: Error: ")));
}

// The whole road with the office worker: a presentation becomes RTF (slide text, or slide
// pictures and text), then a PDF with the enforced settings. The caller's record keeps its
// paths and types, an existing "<target>.rtf" survives, the intermediate RTF has a staged name,
// and no intermediate file remains.
TEST(TextPdfWithOptions, PresentationEndToEnd)
{
    const QString worker = qvtest::binDir() + QStringLiteral("/quorvane-office");
    if (!QFileInfo(worker).isExecutable())
        GTEST_SKIP() << "office worker not built: " << worker.toStdString();
    const QString deck = qvtest::dataDir() + QStringLiteral("/quarterly-review.fodp");
    const QString folder = qvtest::homeDir() + QStringLiteral("/pdfopts");
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);

    // What the folder holds when the PDF step begins: a kill from there on leaves it.
    class ListingPanels : public RecordingStatusPanels
    {
    public:
        void setPanelText(int panel, const QString &text) override
        {
            RecordingStatusPanels::setPanelText(panel, text);
            if (panel == StatusPanel::Progress && text == QStringLiteral("Converting to PDF...."))
                listed = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        }
        QString folder;
        QStringList listed;
    } panels;
    panels.folder = folder;
    JobSession session;
    session.setPanels(&panels);
    ConversionSettings &s = session.settings;
    s.bOverridePageSettings = true;
    s.lULKPageWidth = 16837; // A4 landscape
    s.lULKPageHeight = 11906;
    s.bOverridePDFSettings = true;
    s.sULKPDFUserPassword = QStringLiteral("open");
    s.sULKPDFMasterPassword = QStringLiteral("owner");
    s.lDocAccessPermissions = 128;

    const QString target = folder + QStringLiteral("/report.pdf");
    const QString keep = target + QStringLiteral(".rtf");
    ASSERT_TRUE(qvtest::writeFile(keep, "precious"));

    for (bool textOnly : {true, false}) {
        s.bPDFTextOnly = textOnly;
        QFile::remove(target);
        clsConversionOptions o;
        o.sOriginalFile = deck;
        o.lOriginalFileType = 1;
        o.sTargetFile = target;
        o.lTargetFileType = kPdfWithOptionsType;
        o.bConvertAllSlides = true;
        const int rc = ConvertToDoItem(session, o);
        ASSERT_EQ(rc, 0) << o.sErr.toStdString();
        EXPECT_EQ(o.sTargetFile, target);
        EXPECT_EQ(o.lTargetFileType, kPdfWithOptionsType);
        EXPECT_EQ(o.sOriginalFile, deck);
        EXPECT_EQ(o.lOriginalFileType, 1);
        EXPECT_EQ(panels.panelText(StatusPanel::Progress), QStringLiteral("100% Complete"));

        EXPECT_FALSE(probePdf(target).opened);
        PdfInfo info = probePdf(target, QStringLiteral("open"));
        ASSERT_TRUE(info.opened) << info.error.toStdString();
        EXPECT_NEAR(info.width, 16837 / 20.0, 1.0);
        EXPECT_NEAR(info.height, 11906 / 20.0, 1.0);
        EXPECT_GE(info.pages, 1);
        EXPECT_TRUE(info.printLow);
        EXPECT_FALSE(info.printHigh);
        if (!textOnly) {
            EXPECT_GE(info.images, 1);
        }
        // The slide text made it into the control that printed the PDF.
        EXPECT_TRUE(session.TXTextControl1()->Text().contains(QStringLiteral("Quarterly"), Qt::CaseInsensitive))
            << session.TXTextControl1()->Text().left(200).toStdString();
        QStringList left = QDir(folder).entryList(QStringList{QStringLiteral("*.rtf")});
        EXPECT_EQ(left, QStringList{QStringLiteral("report.pdf.rtf")});
        // The intermediate RTF has a staged name of this process, which a later run's sweep
        // removes once the process is gone.
        ASSERT_EQ(panels.listed.size(), 2) << panels.listed.join(u' ').toStdString();
        const std::optional<StagedNames::Origin> rtf = StagedNames::originOf(panels.listed.first());
        EXPECT_TRUE(rtf && rtf->pid == ::getpid() && rtf->tail == QStringLiteral("report.pdf.rtf"))
            << panels.listed.first().toStdString();
    }
    QFile kept(keep);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("precious"));

    // A failing first step keeps the caller's record and leaves nothing behind.
    clsConversionOptions bad;
    bad.sOriginalFile = folder + QStringLiteral("/missing.pptx");
    bad.lOriginalFileType = 1;
    bad.sTargetFile = folder + QStringLiteral("/missing.pdf");
    bad.lTargetFileType = kPdfWithOptionsType;
    EXPECT_NE(ConvertToDoItem(session, bad), 0);
    EXPECT_EQ(bad.sTargetFile, folder + QStringLiteral("/missing.pdf"));
    EXPECT_EQ(bad.lTargetFileType, kPdfWithOptionsType);
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/missing.pdf.rtf")));
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/missing.pdf")));
}
