#include "SchedulerInput.h"

#include "common/FileUtils.h"
#include "common/NumberUtils.h"

#include <QLocale>

#include <cmath>

namespace {

// Counts are kept in 16 bits and the interval in 32 bits of seconds, as they are stored.
constexpr int kMaxCount = 32767;
constexpr double kMaxIntervalSeconds = 2147483647.0;

// The user's locale without group separators, so "1.500" never becomes 1500 under a ","
// locale but falls through to the C locale.
QLocale typedNumberLocale()
{
    QLocale user;
    user.setNumberOptions(user.numberOptions() | QLocale::RejectGroupSeparator);
    return user;
}

// A count typed into a box: numeric, and within 1..last once rounded (halves to even),
// so that no rule ever runs with a count of 0.
bool countValue(const QString &text, int &count, int last = kMaxCount)
{
    int n = 0;
    if (!bTryCLng(text, n, typedNumberLocale()) || n < 1 || n > last)
        return false;
    count = n;
    return true;
}

void fillBlank(QString &text, const QString &with)
{
    if (text.trimmed().isEmpty())
        text = with;
}

} // namespace

bool SchedulerNumber(const QString &text, double &value)
{
    return bTryCDbl(text, value, typedNumberLocale());
}

int ValidateSchedulerInput(SchedulerInput &in)
{
    if (in.optTimeBased)
        return ValidateTimeBasedInput(in);
    if (in.optCalendarBased)
        return ValidateCalendarBasedInput(in);
    return SchedulerCode::Ok;
}

int ValidateTimeBasedInput(SchedulerInput &in)
{
    fillBlank(in.txtHours, QStringLiteral("0"));
    fillBlank(in.txtMinutes, QStringLiteral("0"));
    fillBlank(in.txtSeconds, QStringLiteral("0"));

    int code = SchedulerCode::Ok;
    double h = 0, m = 0, s = 0;
    if (!SchedulerNumber(in.txtHours, h) || h < 0) {
        code = SchedulerCode::InvalidHours;
    } else if (!SchedulerNumber(in.txtMinutes, m) || m < 0) {
        code = SchedulerCode::InvalidMinutes;
    } else if (!SchedulerNumber(in.txtSeconds, s) || s < 0) {
        code = SchedulerCode::InvalidSeconds;
    } else if (h == 0 && m == 0 && s == 0) {
        code = SchedulerCode::NoInterval;
    } else {
        // An interval under one second after rounding would run on every tick (or never let the
        // skip rule find a target ahead); one beyond 32 bits of seconds cannot be counted.
        const double rounded = std::nearbyint(h * 3600.0 + m * 60.0 + s);
        if (rounded < 1 || rounded > kMaxIntervalSeconds)
            code = SchedulerCode::InvalidInterval;
        else
            in.lngIntervalSeconds = static_cast<std::int64_t>(rounded);
    }

    // A job-file code replaces a time code.
    if (!in.strJobFile.isEmpty()) {
        if (!bFileExists(in.cbScheduledJobFile))
            code = SchedulerCode::JobFileMissingTime;
    } else if (!in.cbScheduledJobFile.isEmpty()) {
        in.strJobFile = in.cbScheduledJobFile;
    } else {
        code = SchedulerCode::NoJobFileTime;
    }
    return code;
}

int ValidateCalendarBasedInput(SchedulerInput &in)
{
    fillBlank(in.txtNumDays, QStringLiteral("1"));
    fillBlank(in.txtNumWeeks, QStringLiteral("1"));
    fillBlank(in.txtDayOfMonth, QStringLiteral("1"));
    fillBlank(in.txtNumMonths, QStringLiteral("1"));

    if (in.strJobFile.isEmpty()) {
        if (in.cbScheduledJobFile.isEmpty())
            return SchedulerCode::NoJobFileCalendar;
        in.strJobFile = in.cbScheduledJobFile;
    }
    // The counts are judged whatever rule is selected: every stored input must be usable.
    if (in.cbScheduledJobFile.isEmpty())
        return SchedulerCode::SelectJobFile;
    if (!bFileExists(in.cbScheduledJobFile))
        return SchedulerCode::JobFileMissingCalendar;
    if (!countValue(in.txtNumDays, in.intNumDays))
        return SchedulerCode::InvalidDays;
    if (!countValue(in.txtNumWeeks, in.intNumWeeks))
        return SchedulerCode::InvalidWeeks;
    // The day builds dates: a whole number 1-31 as written ("15x" and "15.5" are no days).
    double day = 0;
    if (!SchedulerNumber(in.txtDayOfMonth, day) || day != std::floor(day) || day < 1 || day > 31)
        return SchedulerCode::InvalidDayOfMonth;
    in.intDayOfMonth = static_cast<int>(day);
    // The months are judged as typed, before rounding: "0.6" and "12.4" are no month counts.
    double months = 0;
    if (!SchedulerNumber(in.txtNumMonths, months) || months < 1 || months > 12 ||
        !countValue(in.txtNumMonths, in.intNumMonths, 12))
        return SchedulerCode::InvalidMonths;

    if (in.optWeekly) {
        bool any = false;
        for (bool d : in.chkDays)
            any = any || d;
        if (!any)
            return SchedulerCode::NoWeekday;
    }
    return SchedulerCode::Ok;
}

QString SchedulerInputMessage(int code)
{
    switch (code) {
    case SchedulerCode::InvalidHours: return QStringLiteral("Invalid time for hours");
    case SchedulerCode::InvalidMinutes: return QStringLiteral("Invalid time for minutes");
    case SchedulerCode::InvalidSeconds: return QStringLiteral("Invalid time for seconds");
    case SchedulerCode::NoInterval: return QStringLiteral("Please enter a time interval");
    case SchedulerCode::InvalidInterval: return QStringLiteral("Please enter a valid time interval.");
    case SchedulerCode::NoJobFileTime:
    case SchedulerCode::NoJobFileCalendar: return QStringLiteral("Please enter a job file");
    case SchedulerCode::JobFileMissingTime:
    case SchedulerCode::JobFileMissingCalendar: return QStringLiteral("Job file does not exist");
    case SchedulerCode::InvalidDays: return QStringLiteral("Invalid number of days entered.");
    case SchedulerCode::InvalidWeeks: return QStringLiteral("Invalid number of weeks entered.");
    case SchedulerCode::SelectJobFile: return QStringLiteral("Please select a job file");
    case SchedulerCode::NoWeekday: return QStringLiteral("Please select day(s) of the week to run the job.");
    case SchedulerCode::InvalidDayOfMonth: return QStringLiteral("Date must be between 1 and 31");
    case SchedulerCode::InvalidMonths: return QStringLiteral("Number of months must be between 1 and 12");
    default: return QString();
    }
}
