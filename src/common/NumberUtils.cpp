#include "NumberUtils.h"

#include <QLocale>

#include <cmath>
#include <limits>

bool bTryCDbl(const QString &s, double &dResult) { return bTryCDbl(s, dResult, QLocale::system()); }

bool bTryCDbl(const QString &s, double &dResult, const QLocale &locale)
{
    const QString text = s.trimmed();
    if (text.isEmpty())
        return false;
    bool ok = false;
    double value = locale.toDouble(text, &ok);
    if (!ok) {
        // A caller that refuses group separators refuses them in the C reading too: "1,440"
        // in an English locale is no length, not 1440.
        QLocale c = QLocale::c();
        if (locale.numberOptions() & QLocale::RejectGroupSeparator)
            c.setNumberOptions(c.numberOptions() | QLocale::RejectGroupSeparator);
        value = c.toDouble(text, &ok);
    }
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

bool bTryCLng(const QString &s, int &lResult) { return bTryCLng(s, lResult, QLocale::system()); }

bool bTryCLng(const QString &s, int &lResult, const QLocale &locale)
{
    double value = 0;
    if (!bTryCDbl(s, value, locale))
        return false;
    // Halves go to the even neighbour, as the classic conversion does.
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<int>::min() || rounded > std::numeric_limits<int>::max())
        return false;
    lResult = static_cast<int>(rounded);
    return true;
}

bool bTryWholeNumber(const QString &s, int &lResult)
{
    const QString text = s.trimmed();
    qsizetype i = 0;
    if (!text.isEmpty() && (text.at(0) == u'+' || text.at(0) == u'-'))
        i = 1;
    if (i == text.size())
        return false;
    for (qsizetype k = i; k < text.size(); ++k)
        if (text.at(k) < u'0' || text.at(k) > u'9')
            return false;
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok); // digits beyond 64 bits fail here
    if (!ok || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return false;
    lResult = static_cast<int>(value);
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
