#include "NumberUtils.h"

#include <QLocale>

#include <cmath>
#include <limits>

bool bTryCDbl(const QString &s, double &dResult)
{
    const QString text = s.trimmed();
    if (text.isEmpty())
        return false;
    bool ok = false;
    double value = QLocale::system().toDouble(text, &ok);
    if (!ok)
        value = QLocale::c().toDouble(text, &ok);
    // "nan" and "inf" are no numbers a user types.
    if (!ok || !std::isfinite(value))
        return false;
    dResult = value;
    return true;
}

double StringToDouble(const QString &s, double dDefault)
{
    double value = 0;
    if (bTryCDbl(s, value))
        return value;
    QString swapped = s;
    if (swapped.contains(u'.'))
        swapped.replace(u'.', u',');
    else
        swapped.replace(u',', u'.');
    if (bTryCDbl(swapped, value))
        return value;
    return dDefault;
}

bool bTryCLng(const QString &s, int &lResult)
{
    double value = 0;
    if (!bTryCDbl(s, value))
        return false;
    // Halves go to the even neighbour, as the classic conversion does.
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<int>::min() || rounded > std::numeric_limits<int>::max())
        return false;
    lResult = static_cast<int>(rounded);
    return true;
}

QString FormatSeconds(double seconds)
{
    // Halves away from zero, as the "##0.0" format does; never "-0.0".
    double tenths = std::round(seconds * 10.0) / 10.0;
    if (tenths == 0.0)
        tenths = 0.0;
    return QString::number(tenths, 'f', 1);
}
