#include "LengthUnits.h"

#include "NumberUtils.h"

#include <cmath>
#include <cstdlib>
#include <limits>

int TwipsPerUnit(int unit) { return unit == 1 ? kTwipsPerInch : kTwipsPerCm; }

QString UnitLabel(int unit) { return unit == 1 ? QStringLiteral("inch") : QStringLiteral("cm"); }

QString TwipsToUnitText(double twips, int unit, const QLocale &locale)
{
    // The small offset keeps a stored value that lies on a half hundredth from rounding down
    // through the binary representation of the quotient.
    double value = (twips + 0.0005) / TwipsPerUnit(unit);
    value = std::round(value * 100.0) / 100.0;
    if (value == 0.0)
        value = 0.0; // never "-0.00"
    QLocale l = locale;
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l.toString(value, 'f', 2);
}

bool bTryUnitTextToTwips(const QString &text, int unit, int &twips, const QLocale &locale)
{
    // Lengths carry no group separators: "8.27" in a locale that writes "8,27" must not read
    // as 827 but fall through to the C locale.
    QLocale l = locale;
    l.setNumberOptions(QLocale::RejectGroupSeparator);
    double value = 0;
    if (!bTryCDbl(text, value, l))
        return false;
    const double t = std::nearbyint(value * TwipsPerUnit(unit)); // halves to even
    if (t < std::numeric_limits<int>::min() || t > std::numeric_limits<int>::max())
        return false;
    twips = static_cast<int>(t);
    return true;
}

int UnitTextToTwips(const QString &text, int unit, const QLocale &locale)
{
    int twips = 0;
    return bTryUnitTextToTwips(text, unit, twips, locale) ? twips : 0;
}

const std::array<PaperPreset, 5> &PaperPresets()
{
    static const std::array<PaperPreset, 5> presets{{
        {"A4", 11906, 16837},
        {"A5", 8418, 11906},
        {"B5", 9978, 14174},
        {"Letter", 12240, 15840},
        {"Legal", 12240, 20160},
    }};
    return presets;
}

int MatchPaperPreset(int widthTwips, int heightTwips)
{
    const long long shortSide = widthTwips < heightTwips ? widthTwips : heightTwips;
    const long long longSide = widthTwips < heightTwips ? heightTwips : widthTwips;
    const auto &presets = PaperPresets();
    for (size_t i = 0; i < presets.size(); ++i)
        if (std::llabs(presets[i].width - shortSide) < 10 && std::llabs(presets[i].height - longSide) < 10)
            return int(i);
    return kUserDefinedPaper;
}

bool bOrientationNeedsSwap(double width, double height, bool landscape)
{
    return landscape ? height > width : width > height;
}
