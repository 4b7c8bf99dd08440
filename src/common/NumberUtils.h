#pragma once
// Number conversions that never fail the caller.
#include <QLocale>
#include <QString>

// Converts with the user's number format (and the C format); false on failure.
bool bTryCDbl(const QString &s, double &dResult);
// The same with a given user locale (then the C format, which refuses group separators when
// the given locale does).
bool bTryCDbl(const QString &s, double &dResult, const QLocale &locale);
// Tries the text as written, then with "." and "," swapped; else the default.
double StringToDouble(const QString &s, double dDefault);
// Whole number of a text as the classic conversion reads it ("12", " -3 ", "4.6" -> 5);
// false when it is not a number.
bool bTryCLng(const QString &s, int &lResult);
// The same with a given user locale; halves go to even, a value outside 32 bits is no number.
bool bTryCLng(const QString &s, int &lResult, const QLocale &locale);
// A whole number as typed: optional blanks, an optional sign and digits only, within 32 bits.
bool bTryWholeNumber(const QString &s, int &lResult);
// Formats seconds like "##0.0" (0.04 -> "0.0", 1234.56 -> "1234.6").
QString FormatSeconds(double seconds);
