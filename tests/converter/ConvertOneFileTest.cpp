// One file of a task through the session's conversion control: the version rule, the slide
// properties, and the move or delete of the original after a success only.
#include "ConverterTestSupport.h"
#include "TestEnv.h"
#include "converter/TypeCatalogue.h"
#include "jobs/ConvertOneFile.h"
#include "jobs/JobSession.h"
#include "jobs/clsConversionOptions.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

using namespace convtest;

namespace {

// The real control with a chosen office version, and optionally a convert that claims
// success without writing anything.
class VersionedControl : public ConversionControl
{
public:
    QString version;
    bool fakeSuccess = false;
    int converts = 0;
    void getPowerPointVersion(QString &sVersion) override { sVersion = version; }
    int convert() override
    {
        ++converts;
        return fakeSuccess ? 0 : ConversionControl::convert();
    }
};

class ConvertOneFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString pptx = deck(QStringLiteral("pptx"));
        ASSERT_FALSE(pptx.isEmpty());
        out = freshFolder(QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        original = out + "/talk.pptx";
        ASSERT_TRUE(QFile::copy(pptx, original));
        session.setConversionControl(&ctl);
        o.sOriginalFile = original;
        o.sTargetFile = out + "/talk.pdf";
        o.lTargetFileType = 32;
    }

    VersionedControl ctl;
    JobSession session;
    clsConversionOptions o;
    QString out;
    QString original;
};

TEST_F(ConvertOneFile, VersionRuleStopsOnlyTooNewNumericVersions)
{
    for (const char *v : {"160", "161", "16.1", "12", "7.4.7.2", ""}) {
        ctl.version = v;
        QFile::remove(o.sTargetFile);
        EXPECT_EQ(ConvertToDoItem(session, o), 0) << v;
        EXPECT_EQ(o.lErr, 0);
        EXPECT_EQ(o.sErr, TypeCatalogue::resultMessage(0));
        EXPECT_EQ(pdfFacts(o.sTargetFile).pages, kDeckSlides) << v;
    }
    for (const char *v : {"16.2", "170"}) {
        ctl.version = v;
        const int before = ctl.converts;
        QFile::remove(o.sTargetFile);
        EXPECT_EQ(ConvertToDoItem(session, o), irPowerPointTooNew);
        EXPECT_EQ(o.lErr, irPowerPointTooNew);
        EXPECT_EQ(o.sErr, QString("Error 20: Version of MS PowerPoint (%1)").arg(v));
        EXPECT_EQ(ctl.converts, before) << "no conversion is attempted";
        EXPECT_FALSE(QFileInfo::exists(o.sTargetFile));
    }
}

TEST_F(ConvertOneFile, SlideRangeAndNotesComeFromTheTaskAndSettings)
{
    ctl.version = "7.4.7.2";
    o.bConvertAllSlides = false;
    o.lFromSlide = 2;
    o.lToSlide = 3;
    session.settings.bIncludeNotesOnly = true;
    ASSERT_EQ(ConvertToDoItem(session, o), 0);
    EXPECT_TRUE(o.bIncludeNotesOnly);
    EXPECT_EQ(ctl.fromSlide(), 2);
    EXPECT_EQ(ctl.toSlide(), 3);
    EXPECT_EQ(pdfFacts(o.sTargetFile).pages, 2);

    // All slides send 0 and 0 whatever the task's numbers say.
    o.bConvertAllSlides = true;
    session.settings.bIncludeNotesOnly = false;
    ASSERT_EQ(ConvertToDoItem(session, o), 0);
    EXPECT_EQ(ctl.fromSlide(), 0);
    EXPECT_EQ(ctl.toSlide(), 0);
    EXPECT_EQ(pdfFacts(o.sTargetFile).pages, kDeckSlides);
}

TEST_F(ConvertOneFile, MoveAndDeleteFollowOnlyASuccess)
{
    ctl.version = "7.4.7.2";
    session.settings.bMoveOriginalFileAfterProcessing = true;
    session.settings.sMoveFileToFolder = out + "/done";
    o.sSubFolder = "sub/";
    ASSERT_EQ(ConvertToDoItem(session, o), 0);
    EXPECT_EQ(session.settings.sMoveFileToFolder, out + "/done"); // the setting stays as written
    EXPECT_FALSE(QFileInfo::exists(original));
    EXPECT_TRUE(QFileInfo::exists(out + "/done/sub/talk.pptx"));

    // A failure leaves its original where it is.
    ASSERT_TRUE(QFile::copy(out + "/done/sub/talk.pptx", original));
    o.lTargetFileType = 32;
    o.bConvertAllSlides = false;
    o.lFromSlide = 9;
    o.lToSlide = 9;
    session.settings.bDeleteOriginalFileAfterProcessing = true;
    EXPECT_EQ(ConvertToDoItem(session, o), TypeCatalogue::InvalidSlideRange);
    EXPECT_EQ(o.sErr, TypeCatalogue::resultMessage(TypeCatalogue::InvalidSlideRange));
    EXPECT_TRUE(QFileInfo::exists(original));

    // Delete alone removes the original after a success...
    session.settings.bMoveOriginalFileAfterProcessing = false;
    o.bConvertAllSlides = true;
    ASSERT_EQ(ConvertToDoItem(session, o), 0);
    EXPECT_FALSE(QFileInfo::exists(original));

    // ...but never when the target is the original itself: that file fails and the original
    // stays exactly as it was (not replaced by the office's re-saved copy).
    ASSERT_TRUE(QFile::copy(out + "/done/sub/talk.pptx", original));
    const QByteArray bytes = qvtest::readFile(original);
    o.sTargetFile = out + "/../" + QFileInfo(out).fileName() + "/talk.pptx";
    o.lTargetFileType = 24;
    EXPECT_EQ(ConvertToDoItem(session, o), irSourceIsTarget);
    EXPECT_EQ(o.sErr, "Source and Target File are the same.");
    EXPECT_EQ(qvtest::readFile(original), bytes);
}

// "PDF - with options" one file per slide: one PDF per slide of the range, named like every
// per-slide output, and no intermediate RTF left.
TEST_F(ConvertOneFile, PdfWithOptionsOneFilePerSlide)
{
    EXPECT_TRUE(ctl.supportsSingleFileOutput(kPdfWithOptionsType));
    ctl.version = "7.4.7.2";
    session.settings.bPDFTextOnly = true;
    o.lTargetFileType = kPdfWithOptionsType;
    o.bCreateFileForEachSlide = true;
    o.bConvertAllSlides = false;
    o.lFromSlide = 2;
    o.lToSlide = 3;
    ASSERT_EQ(ConvertToDoItem(session, o), 0) << o.sErr.toStdString();
    EXPECT_EQ(entries(out), QStringList({"talk.pptx", "talk_2.pdf", "talk_3.pdf"}));
    EXPECT_GE(pdfFacts(out + "/talk_2.pdf").pages, 1);
    EXPECT_GE(pdfFacts(out + "/talk_3.pdf").pages, 1);
}

TEST_F(ConvertOneFile, ASuccessThatWroteNothingIsAFailure)
{
    ctl.version = "7.4.7.2";
    ctl.fakeSuccess = true;
    session.settings.bDeleteOriginalFileAfterProcessing = true;
    EXPECT_EQ(ConvertToDoItem(session, o), TypeCatalogue::Failed);
    EXPECT_EQ(o.sErr, TypeCatalogue::resultMessage(TypeCatalogue::Failed));
    EXPECT_TRUE(QFileInfo::exists(original));
}

TEST(ItemResultMessages, CarryThePathAfterTheTranslatedText)
{
    clsConversionOptions o;
    o.sOriginalFile = "/in/a.pptx";
    o.sTargetFile = "/out/a.pdf";
    o.lErr = irTargetOpenOrSaveFailed;
    EXPECT_EQ(GetStatusMessageForResult(o),
              "Unable to open or save to target file.  Could be a sharing violation, or invalid file type: (/out/a.pdf)");
    o.lErr = irOriginalOpenFailed;
    EXPECT_EQ(GetStatusMessageForResult(o),
              " Unable to open original file. Check file format. Could be a sharing violation: (/in/a.pptx)");
    o.lErr = irTargetNotCreated;
    EXPECT_EQ(GetStatusMessageForResult(o), "Unable to create Target File.");
    o.lErr = irLaunchTimeout;
    EXPECT_EQ(GetStatusMessageForResult(o), "Process did not complete in the specified time (Timeout)");
    o.lErr = 0;
    EXPECT_EQ(GetStatusMessageForResult(o), "Successfully Processed.");
    for (int code : {-1, -4, -5, -8, -9, -10000, 7})
        EXPECT_EQ(GetStatusMessageForResult((o.lErr = code, o)), QString()) << code;
}

} // namespace
