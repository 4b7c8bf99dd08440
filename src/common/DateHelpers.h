#pragma once
// Dates from texts that come in US ("M/d/yyyy") or dotted European ("d.M.yyyy") form. Dates
// are naive local times: no time zone, no daylight-saving shifts in the arithmetic.
#include <QDateTime>
#include <QString>

class Prompter;

// "M/d/yyyy h:mm:ss AP" in the C locale.
QString FormatGeneralDate(const QDateTime &dt);
// Parses a date text: US "M/d/yyyy" (or "-"), ISO "yyyy-MM-dd", dotted "d.M.yyyy", each with an
// optional time ("h:mm[:ss] AM/PM", "H:mm[:ss]", also with "." between the parts), or a time
// alone (on 12/30/1899). Two-digit years: 00-29 are 2000-2029, 30-99 are 1930-1999. An
// invalid QDateTime when the text is not a date.
QDateTime ParseGeneralDate(const QString &s);
bool IsValidDateText(const QString &s);
// month/day/year with the day lowered to the month's last day, then " " and the time text
// (nothing when the time text is empty); "" for a month outside 1-12, a day below 1 or a year
// outside 1-9999. Four-digit years (two-digit ones are widened as above).
QString BuildValidDateString(int month, int day, int year, const QString &timeText);
// Difference date2 - date1 in the unit ("yyyy", "q", "m", "y", "d", "w", "ww", "h", "n", "s"),
// counting the boundaries passed (weeks start on Sunday). 0 when either text is blank; 0 and a
// message through the date prompter when a text is no date or the unit is unknown.
int DateDiffRegionalSafe(const QString &sInterval, const QString &vDate1, const QString &vDate2);
// Dotted date (day.month.year, time with "." or ":") to "MM/dd/yyyy h:m:s" with a four-digit
// year; vDate is trimmed and, when it is a date, receives the result too. "" when the text has
// no "." or is no date.
QString NormalizeDateStringRegionalSafe(QString &vDate);
// Current date and time for a blank text; a null QDateTime (and a message through the date
// prompter) when the text is not a date.
QDateTime StringToDate(const QString &DateIn);
void SetDateClock(QDateTime (*now)()); // injectable clock for tests (nullptr = system clock)
// Where the error messages of DateDiffRegionalSafe and StringToDate go (nullptr = nowhere).
void SetDatePrompter(Prompter *prompter);
