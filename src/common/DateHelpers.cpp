#include "DateHelpers.h"

#include "platform/Prompter.h"

#include <QLocale>
#include <QRegularExpression>

#include <atomic>
#include <limits>

namespace {

std::atomic<QDateTime (*)()> g_clock{nullptr};
std::atomic<Prompter *> g_prompter{nullptr};

// The day that a time without a date belongs to.
const QDate kZeroDate(1899, 12, 30);

struct NaiveDateTime {
    QDate date;
    QTime time;
    bool isValid() const { return date.isValid() && time.isValid(); }
    qint64 seconds() const { return date.toJulianDay() * 86400 + time.msecsSinceStartOfDay() / 1000; }
};

int widenYear(int year, qsizetype digits)
{
    if (digits > 2)
        return year;
    return year < 30 ? 2000 + year : 1900 + year;
}

bool parseTime(const QString &text, QTime &out)
{
    static const QRegularExpression re(QStringLiteral(
        "^(\\d{1,2})(?:[:.](\\d{1,2}))?(?:[:.](\\d{1,2}))?\\s*(?:([AaPp])\\.?[Mm]?\\.?)?$"));
    const auto m = re.match(text);
    if (!m.hasMatch() || (m.capturedLength(2) == 0 && m.capturedLength(4) == 0))
        return false;
    int hour = m.captured(1).toInt();
    const int minute = m.capturedLength(2) ? m.captured(2).toInt() : 0;
    const int second = m.capturedLength(3) ? m.captured(3).toInt() : 0;
    if (m.capturedLength(4)) {
        if (hour < 1 || hour > 12)
            return false;
        const bool pm = m.captured(4).compare(QLatin1String("p"), Qt::CaseInsensitive) == 0;
        hour = hour % 12 + (pm ? 12 : 0);
    }
    if (!QTime::isValid(hour, minute, second))
        return false;
    out = QTime(hour, minute, second);
    return true;
}

bool parseDate(const QString &text, QDate &out)
{
    static const QRegularExpression re(QStringLiteral("^(\\d{1,4})([/.-])(\\d{1,2})\\2(\\d{1,4})$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return false;
    int year, month, day;
    if (m.capturedLength(1) >= 3) { // ISO order
        year = m.captured(1).toInt();
        month = m.captured(3).toInt();
        day = m.captured(4).toInt();
        if (m.capturedLength(4) > 2)
            return false;
    } else if (m.captured(2) == QLatin1String(".")) { // day.month.year
        day = m.captured(1).toInt();
        month = m.captured(3).toInt();
        year = widenYear(m.captured(4).toInt(), m.capturedLength(4));
    } else { // month/day/year
        month = m.captured(1).toInt();
        day = m.captured(3).toInt();
        year = widenYear(m.captured(4).toInt(), m.capturedLength(4));
    }
    if (year < 1 || year > 9999 || !QDate::isValid(year, month, day))
        return false;
    out = QDate(year, month, day);
    return true;
}

// Every accepted form, dotted ones included, is read here, so callers need no separate
// normalising pass before parsing.
NaiveDateTime parseNaive(const QString &s)
{
    NaiveDateTime result;
    QString text = s.trimmed();
    if (text.isEmpty())
        return result;
    QDate date;
    // Three dotted numbers are a date ("7.12.26" is 7 December 2026), never a time of day.
    static const QRegularExpression dotted(QStringLiteral("^\\d+\\.\\d+\\.\\d+$"));
    if (dotted.match(text).hasMatch())
        return parseDate(text, date) ? NaiveDateTime{date, QTime(0, 0)} : result;
    QTime time;
    if (parseTime(text, time))
        return {kZeroDate, time};
    // "2026-12-07T10:30:00"
    static const QRegularExpression isoT(QStringLiteral("^(\\d{3,4}-\\d{1,2}-\\d{1,2})T"));
    text.replace(isoT, QStringLiteral("\\1 "));
    const qsizetype blank = text.indexOf(QRegularExpression(QStringLiteral("\\s")));
    const QString datePart = blank < 0 ? text : text.left(blank);
    const QString timePart = blank < 0 ? QString() : text.mid(blank).trimmed();
    if (!parseDate(datePart, date))
        return result;
    time = QTime(0, 0);
    if (!timePart.isEmpty() && !parseTime(timePart, time))
        return result;
    return {date, time};
}

void report(const QString &message)
{
    if (Prompter *prompter = g_prompter.load())
        prompter->msgBox(message, Prompter::OkOnly);
}

QDateTime now()
{
    QDateTime (*clock)() = g_clock.load();
    return clock ? clock() : QDateTime::currentDateTime();
}

// Calendar weeks start on Sunday: the Julian day of the Sunday that begins the date's week.
qint64 weekStart(const QDate &d) { return d.toJulianDay() - d.dayOfWeek() % 7; }

qint64 floorDiv(qint64 a, qint64 b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

bool dateDiff(const QString &unit, const NaiveDateTime &a, const NaiveDateTime &b, qint64 &out)
{
    const QString u = unit.trimmed().toLower();
    const qint64 days = b.date.toJulianDay() - a.date.toJulianDay();
    if (u == QLatin1String("yyyy"))
        out = b.date.year() - a.date.year();
    else if (u == QLatin1String("q"))
        out = (b.date.year() * 4 + (b.date.month() - 1) / 3) - (a.date.year() * 4 + (a.date.month() - 1) / 3);
    else if (u == QLatin1String("m"))
        out = (b.date.year() * 12 + b.date.month()) - (a.date.year() * 12 + a.date.month());
    else if (u == QLatin1String("d") || u == QLatin1String("y"))
        out = days;
    else if (u == QLatin1String("w"))
        out = days / 7;
    else if (u == QLatin1String("ww"))
        out = (weekStart(b.date) - weekStart(a.date)) / 7;
    else if (u == QLatin1String("h"))
        out = floorDiv(b.seconds(), 3600) - floorDiv(a.seconds(), 3600);
    else if (u == QLatin1String("n"))
        out = floorDiv(b.seconds(), 60) - floorDiv(a.seconds(), 60);
    else if (u == QLatin1String("s"))
        out = b.seconds() - a.seconds();
    else
        return false;
    return out >= std::numeric_limits<int>::min() && out <= std::numeric_limits<int>::max();
}

} // namespace

QString FormatGeneralDate(const QDateTime &dt)
{
    return QLocale::c().toString(dt, QStringLiteral("M/d/yyyy h:mm:ss AP"));
}

QDateTime ParseGeneralDate(const QString &s)
{
    const NaiveDateTime parsed = parseNaive(s);
    return parsed.isValid() ? QDateTime(parsed.date, parsed.time) : QDateTime();
}

bool IsValidDateText(const QString &s) { return parseNaive(s).isValid(); }

QString BuildValidDateString(int month, int day, int year, const QString &timeText)
{
    if (month < 1 || month > 12 || day < 1 || year < 0 || year > 9999)
        return QString();
    if (year < 100)
        year = widenYear(year, 2);
    int d = std::min(day, 31);
    while (!QDate::isValid(year, month, d))
        --d;
    QString text = QStringLiteral("%1/%2/%3").arg(month).arg(d).arg(year);
    if (!timeText.isEmpty())
        text += u' ' + timeText;
    return text;
}

int DateDiffRegionalSafe(const QString &sInterval, const QString &vDate1, const QString &vDate2)
{
    if (vDate1.trimmed().isEmpty() || vDate2.trimmed().isEmpty())
        return 0;
    const NaiveDateTime a = parseNaive(vDate1);
    const NaiveDateTime b = parseNaive(vDate2);
    qint64 diff = 0;
    if (!a.isValid() || !b.isValid() || !dateDiff(sInterval, a, b, diff)) {
        report(QStringLiteral("DateDiffRegionalSafe() Error. Date1: ") + vDate1 + QStringLiteral(" Date2: ") + vDate2);
        return 0;
    }
    return static_cast<int>(diff);
}

QString NormalizeDateStringRegionalSafe(QString &vDate)
{
    if (!vDate.contains(u'.'))
        return QString();
    vDate = vDate.trimmed();
    const NaiveDateTime parsed = parseNaive(vDate);
    if (!parsed.isValid())
        return QString();
    const QLocale c = QLocale::c();
    vDate = c.toString(parsed.date, QStringLiteral("MM/dd/yyyy")) + u' ' + c.toString(parsed.time, QStringLiteral("h:m:s"));
    return vDate;
}

QDateTime StringToDate(const QString &DateIn)
{
    if (DateIn.trimmed().isEmpty())
        return now();
    const NaiveDateTime parsed = parseNaive(DateIn);
    if (parsed.isValid())
        return QDateTime(parsed.date, parsed.time);
    report(QStringLiteral("StringToDate() Error. DateIn: ") + DateIn);
    return QDateTime();
}

void SetDateClock(QDateTime (*clock)()) { g_clock = clock; }

void SetDatePrompter(Prompter *prompter) { g_prompter = prompter; }
