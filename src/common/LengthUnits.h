#pragma once
// Page lengths: stored in twips, shown in the program-wide length unit (1 inch, anything else
// centimetre), and the paper sizes of the page setup with their matching and orientation rules.
#include <QLocale>
#include <QString>

#include <array>

constexpr int kTwipsPerInch = 1440;
constexpr int kTwipsPerCm = 567;

// Twips per unit: 1440 for unit 1 (inch), 567 for every other unit (centimetre).
int TwipsPerUnit(int unit);
// "inch" for unit 1, "cm" otherwise.
QString UnitLabel(int unit);

// A length as "###0.00" in the unit: at least one digit before the locale's decimal separator,
// exactly two after it, no group separators.
QString TwipsToUnitText(double twips, int unit, const QLocale &locale = QLocale());
// A typed length in twips, rounded half to even; false for an empty text, a text that is no
// number (read with the locale, then with the C locale) or a result outside 32 bits.
bool bTryUnitTextToTwips(const QString &text, int unit, int &twips, const QLocale &locale = QLocale());
// As above, with 0 for anything that cannot be read.
int UnitTextToTwips(const QString &text, int unit, const QLocale &locale = QLocale());

struct PaperPreset
{
    const char *name;
    int width;  // portrait, twips
    int height;
};
// A4, A5, B5, Letter, Legal, in the order of the paper list; "User Defined" follows them.
const std::array<PaperPreset, 5> &PaperPresets();
constexpr int kUserDefinedPaper = 5;
constexpr const char *kUserDefinedPaperName = "User Defined";

// The first preset whose short and long sides both lie within 10 twips of the given size
// (either orientation), else kUserDefinedPaper.
int MatchPaperPreset(int widthTwips, int heightTwips);
// Whether width and height must be exchanged to give the wanted orientation; a square stays.
bool bOrientationNeedsSwap(double width, double height, bool landscape);
