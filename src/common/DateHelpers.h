#pragma once
// Dates from texts that come in US ("M/d/yyyy") or dotted European ("d.M.yyyy") form.
#include <QDateTime>
#include <QString>

// "M/d/yyyy h:mm:ss AP" in the C locale.
QString FormatGeneralDate(const QDateTime &dt);
// Parses a general date text (US form, with or without time); invalid QDateTime when not a date.
QDateTime ParseGeneralDate(const QString &s);
bool IsValidDateText(const QString &s);
// month/day/year with the day lowered to the month's last day, then " " and the time text;
// "" for a month outside 1-12.
QString BuildValidDateString(int month, int day, int year, const QString &timeText);
// Difference date2 - date1 in the unit ("yyyy", "q", "m", "y", "d", "w", "ww", "h", "n", "s").
int DateDiffRegionalSafe(const QString &sInterval, const QString &vDate1, const QString &vDate2);
// Dotted date to "MM/dd/yyyy h:m:s" (four-digit years); "" when the text has no ".".
QString NormalizeDateStringRegionalSafe(QString &vDate);
// Current date and time for a blank text; a null QDateTime when the text is not a date.
QDateTime StringToDate(const QString &DateIn);
void SetDateClock(QDateTime (*now)()); // injectable clock for tests (nullptr = system clock)
