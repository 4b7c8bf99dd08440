// Length units, paper matching, orientation, the PDF permission mask and password checks, and
// the number readers the option dialogs use.
#include "common/LengthUnits.h"
#include "common/NumberUtils.h"
#include "common/PdfSecurityRules.h"

#include <gtest/gtest.h>

namespace {
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);
}

TEST(LengthUnits, ShownWithTwoDecimalsAndReadBackHalfToEven)
{
    // A4 in inches and centimetres, Letter exactly.
    EXPECT_EQ(TwipsToUnitText(11906, 1, kEnglish), "8.27");
    EXPECT_EQ(TwipsToUnitText(16837, 1, kEnglish), "11.69");
    EXPECT_EQ(UnitTextToTwips("8.27", 1, kEnglish), 11909);
    EXPECT_EQ(UnitTextToTwips("11.69", 1, kEnglish), 16834);
    EXPECT_EQ(TwipsToUnitText(11906, 2, kEnglish), "21.00");
    EXPECT_EQ(TwipsToUnitText(16837, 2, kEnglish), "29.69");
    EXPECT_EQ(UnitTextToTwips("21.00", 2, kEnglish), 11907);
    EXPECT_EQ(UnitTextToTwips("29.69", 2, kEnglish), 16834);
    EXPECT_EQ(UnitTextToTwips(TwipsToUnitText(12240, 1, kEnglish), 1, kEnglish), 12240);
    EXPECT_EQ(TwipsToUnitText(0, 1, kEnglish), "0.00");
    EXPECT_EQ(TwipsToUnitText(1440000, 1, kEnglish), "1000.00"); // no group separator
    // Halves to even: 0.5 cm is 283.5 twips, 1.5 cm 850.5.
    EXPECT_EQ(UnitTextToTwips("0.5", 2, kEnglish), 284);
    EXPECT_EQ(UnitTextToTwips("1.5", 2, kEnglish), 850);
    // Every value shown and read back stays within 7 twips (inch) and 3 (cm).
    for (int t = 0; t < 20000; t += 37) {
        EXPECT_LE(std::abs(UnitTextToTwips(TwipsToUnitText(t, 1, kEnglish), 1, kEnglish) - t), 7) << t;
        EXPECT_LE(std::abs(UnitTextToTwips(TwipsToUnitText(t, 2, kEnglish), 2, kEnglish) - t), 3) << t;
    }
}

TEST(LengthUnits, AnyUnitButInchIsCentimetresAndBadTextsAreZero)
{
    EXPECT_EQ(TwipsToUnitText(567, 0, kEnglish), "1.00");
    EXPECT_EQ(TwipsToUnitText(567, 7, kEnglish), "1.00");
    EXPECT_EQ(UnitTextToTwips("1", -3, kEnglish), 567);
    EXPECT_EQ(UnitLabel(1), "inch");
    EXPECT_EQ(UnitLabel(5), "cm");
    for (const char *bad : {"", "  ", "abc", "1e20", "nan"})
        EXPECT_EQ(UnitTextToTwips(QString::fromLatin1(bad), 1, kEnglish), 0) << bad;
}

TEST(LengthUnits, UserLocaleFirstThenC)
{
    EXPECT_EQ(TwipsToUnitText(11906, 1, kGerman), "8,27");
    EXPECT_EQ(UnitTextToTwips("8,27", 1, kGerman), 11909);
    // A point in a comma locale is a decimal point, not a group separator.
    EXPECT_EQ(UnitTextToTwips("8.27", 1, kGerman), 11909);
    EXPECT_EQ(UnitTextToTwips("8.270", 1, kGerman), 11909);
    EXPECT_EQ(TwipsToUnitText(1440000, 1, kGerman), "1000,00");
    // Lengths carry no group separators, in the user's locale or in the C reading.
    int twips = -1;
    EXPECT_FALSE(bTryUnitTextToTwips("1,440", 1, twips, kEnglish));
    EXPECT_EQ(UnitTextToTwips("1,440", 2, kEnglish), 0);
    EXPECT_EQ(UnitTextToTwips("1.440", 1, kGerman), 2074); // the point is the decimal point
}

TEST(LengthUnits, PaperMatchingWithinTenTwipsAndOrientation)
{
    EXPECT_EQ(MatchPaperPreset(11909, 16834), 0);          // A4 as read back from inches
    EXPECT_EQ(MatchPaperPreset(16834, 11909), 0);          // either orientation
    EXPECT_EQ(MatchPaperPreset(11906 + 9, 16837 - 9), 0);
    EXPECT_EQ(MatchPaperPreset(11906 + 10, 16837), kUserDefinedPaper);
    EXPECT_EQ(MatchPaperPreset(11952, 16834), kUserDefinedPaper); // 8.30 in: 46 twips too wide
    EXPECT_EQ(MatchPaperPreset(12240, 20160), 4);
    EXPECT_EQ(MatchPaperPreset(0, 0), kUserDefinedPaper);
    EXPECT_EQ(MatchPaperPreset(INT_MIN, INT_MAX), kUserDefinedPaper);
    EXPECT_TRUE(bOrientationNeedsSwap(8.5, 14, true));
    EXPECT_FALSE(bOrientationNeedsSwap(14, 8.5, true));
    EXPECT_TRUE(bOrientationNeedsSwap(14, 8.5, false));
    EXPECT_FALSE(bOrientationNeedsSwap(10, 10, true));
    EXPECT_FALSE(bOrientationNeedsSwap(10, 10, false));
}

TEST(PdfSecurityRules, MaskBothWays)
{
    PdfPermissionChoices c;
    c.printing = 2;
    c.changes = 4;
    c.accessibility = c.copy = true;
    EXPECT_EQ(EncodePermissionMask(c), 125);
    EXPECT_EQ(EncodePermissionMask({1, 1, false, false}), 136);
    EXPECT_EQ(EncodePermissionMask({1, 4, true, true}), 189);
    EXPECT_EQ(EncodePermissionMask({}), 0);
    EXPECT_EQ(EncodePermissionMask({9, -1, false, false}), 0);
    // Every mask the dialog makes decodes to the choices that made it.
    for (int p = 0; p < 3; ++p)
        for (int ch = 0; ch < 5; ++ch)
            for (int b = 0; b < 4; ++b) {
                const PdfPermissionChoices in{p, ch, (b & 1) != 0, (b & 2) != 0};
                const PdfPermissionChoices out = DecodePermissionMask(EncodePermissionMask(in));
                EXPECT_EQ(out.printing, p);
                EXPECT_EQ(out.changes, ch);
                EXPECT_EQ(out.accessibility, in.accessibility);
                EXPECT_EQ(out.copy, in.copy);
            }
    EXPECT_EQ(DecodePermissionMask(64 | 128).printing, 2);
    EXPECT_EQ(DecodePermissionMask(1 | 2 | 8).changes, 3); // 41 needs bit 32 too
    EXPECT_EQ(DecodePermissionMask(32).changes, 0);
    // Above 16 bits: still read bit by bit, not wrapped.
    const PdfPermissionChoices big = DecodePermissionMask(0x10000 | 128 | 16);
    EXPECT_EQ(big.printing, 1);
    EXPECT_TRUE(big.copy);
    EXPECT_EQ(DecodePermissionMask(40000).printing, DecodePermissionMask(40000 & 0xFF).printing);
}

TEST(PdfSecurityRules, ThreePasswordChecksInOrder)
{
    EXPECT_TRUE(PdfPasswordProblem(true, "", true, "").startsWith("The 'Use a password to restrict"));
    EXPECT_TRUE(PdfPasswordProblem(false, "", true, "").startsWith("The 'Require a password to open"));
    EXPECT_TRUE(PdfPasswordProblem(true, "pw", true, "pw").startsWith("The Document Open and Permissions passwords"));
    EXPECT_EQ(PdfPasswordProblem(true, "pw", true, "PW"), "");
    EXPECT_EQ(PdfPasswordProblem(false, "", false, ""), "");
    EXPECT_EQ(PdfPasswordProblem(false, "x", false, "x"), ""); // unchecked boxes compare nothing
}

TEST(NumberUtils, WholeNumbersAndResolutions)
{
    int v = -1;
    EXPECT_TRUE(bTryWholeNumber(" 12 ", v));
    EXPECT_EQ(v, 12);
    EXPECT_TRUE(bTryWholeNumber("-2147483648", v));
    EXPECT_EQ(v, INT_MIN);
    for (const char *bad : {"", "+", "3.5", "1,000", "2147483648", "99999999999999999999", "12a", "0x10"})
        EXPECT_FALSE(bTryWholeNumber(QString::fromLatin1(bad), v)) << bad;
    EXPECT_TRUE(bTryCLng("300.5", v, kEnglish));
    EXPECT_EQ(v, 300); // halves to even
    EXPECT_TRUE(bTryCLng("301.5", v, kEnglish));
    EXPECT_EQ(v, 302);
    EXPECT_FALSE(bTryCLng("3000000000", v, kEnglish));
    EXPECT_FALSE(bTryCLng("abc", v, kEnglish));
}
