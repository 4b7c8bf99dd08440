#include "ScheduleRules.h"

#include "common/Globals.h"
#include "language/Translator.h"

namespace {

QDateTime at(const QDate &d, const QTime &t) { return QDateTime(d, QTime(t.hour(), t.minute()), Qt::UTC); }

std::int64_t minuteIndex(const QDateTime &dt)
{
    return dt.date().toJulianDay() * 1440 + dt.time().hour() * 60 + dt.time().minute();
}

// The first selected weekday after weekday t, searching on past Saturday and ending with t
// itself; t when no day is selected.
int nextSelectedWeekday(const CalendarRule &rule, int t)
{
    for (int i = 1; i <= 7; ++i) {
        const int g = (t - 1 + i) % 7 + 1;
        if (rule.days[g - 1])
            return g;
    }
    return t;
}

QDate monthDay(int year, int month, int day)
{
    const QDate first(year, month, 1);
    return QDate(year, month, std::min(day, first.daysInMonth()));
}

QDate nextWorkday(QDate d)
{
    while (d.dayOfWeek() >= 6)
        d = d.addDays(1);
    return d;
}

} // namespace

int ScheduleWeekday(const QDate &d) { return d.dayOfWeek() % 7 + 1; }

QTime UserTargetTime(int hour12, int minute, bool pm)
{
    if (hour12 < 1 || hour12 > 12 || minute < 0 || minute > 59)
        return QTime();
    return QTime(hour12 % 12 + (pm ? 12 : 0), minute);
}

QTime UserTargetTime(const QString &hours, const QString &minutes, const QString &amPm)
{
    bool okH = false, okM = false;
    const int h = hours.trimmed().toInt(&okH);
    const int m = minutes.trimmed().toInt(&okM);
    if (!okH || !okM)
        return QTime();
    return UserTargetTime(h, m, amPm.trimmed().compare(QStringLiteral("PM"), Qt::CaseInsensitive) == 0);
}

QDateTime WallClock(const QDateTime &dt) { return QDateTime(dt.date(), dt.time(), Qt::UTC); }

std::int64_t WallMinuteDiff(const QDateTime &a, const QDateTime &b) { return minuteIndex(b) - minuteIndex(a); }

std::int64_t WallSecondDiff(const QDateTime &a, const QDateTime &b)
{
    // Floored, never truncated toward zero: a difference of -0.5 s is a boundary still ahead.
    const auto second = [](const QDateTime &dt) {
        const std::int64_t ms = dt.toMSecsSinceEpoch();
        return ms >= 0 ? ms / 1000 : -((999 - ms) / 1000);
    };
    return second(b) - second(a);
}

QDateTime CalculateCalendarTargetDate(const CalendarRule &rule, const QDateTime &now)
{
    const QDateTime wall = WallClock(now);
    switch (rule.kind) {
    case CalendarRule::Weekly:
        return WeeklyFirstTargetDate(rule, wall);
    case CalendarRule::Monthly:
        return MonthlyFirstTargetDate(rule, wall);
    default:
        break;
    }
    // Tomorrow exactly when the chosen minute has passed today, on any clock format.
    QDate d = wall.date();
    if (WallMinuteDiff(at(d, rule.time), wall) >= 1)
        d = d.addDays(1);
    if (rule.kind == CalendarRule::EveryWeekday)
        d = nextWorkday(d);
    return at(d, rule.time);
}

QDateTime NextCalendarTarget(const CalendarRule &rule, const QDateTime &served)
{
    switch (rule.kind) {
    case CalendarRule::EveryNDays:
        return at(served.date().addDays(std::max(1, rule.numDays)), rule.time);
    case CalendarRule::EveryWeekday:
        return at(nextWorkday(served.date().addDays(1)), rule.time);
    case CalendarRule::Weekly:
        return WeeklyNextTargetDate(rule, served);
    case CalendarRule::Monthly:
        return MonthlyNextTargetDate(rule, served);
    }
    return served.addDays(1);
}

QDateTime WeeklyFirstTargetDate(const CalendarRule &rule, const QDateTime &now)
{
    const QDateTime wall = WallClock(now);
    const QDate today = wall.date();
    const int t = ScheduleWeekday(today);
    const QTime nowTime(wall.time().hour(), wall.time().minute(), wall.time().second());
    // Today counts while its chosen time is still ahead.
    const int g = rule.days[t - 1] && nowTime < rule.time ? t : nextSelectedWeekday(rule, t);
    QDate d = today;
    if (t < g)
        d = today.addDays(g - t);
    else if (t > g)
        d = today.addDays(g - t + 7); // the coming selected day, whatever the week count
    else if (nowTime > rule.time)
        d = today.addDays(7LL * std::max(1, rule.numWeeks));
    return at(d, rule.time);
}

QDateTime WeeklyNextTargetDate(const CalendarRule &rule, const QDateTime &served)
{
    // Counted from the target just served, never from the clock: a run that ends within the
    // target's own second must not find the same target again.
    const QDate day = served.date();
    const int t = ScheduleWeekday(day);
    const int g = nextSelectedWeekday(rule, t);
    const int weeks = std::max(1, rule.numWeeks);
    QDate d;
    if (t < g)
        d = day.addDays(g - t); // a later selected day of the same week (Sunday to Saturday)
    else if (t > g)
        d = day.addDays(7LL * (weeks - 1) + 7 - (t - g)); // the first one of the next period
    else
        d = day.addDays(7LL * weeks);
    return at(d, rule.time);
}

QDateTime MonthlyFirstTargetDate(const CalendarRule &rule, const QDateTime &now)
{
    const QDate today = WallClock(now).date();
    QDate d = monthDay(today.year(), today.month(), rule.dayOfMonth);
    if (d.day() < today.day()) {
        const QDate next = QDate(today.year(), today.month(), 1).addMonths(1);
        d = monthDay(next.year(), next.month(), rule.dayOfMonth);
    }
    return at(d, rule.time);
}

QDateTime MonthlyNextTargetDate(const CalendarRule &rule, const QDateTime &served)
{
    // The day comes from the rule each time: day 31 gives 30 April, then 31 May.
    const QDate first = QDate(served.date().year(), served.date().month(), 1).addMonths(std::max(1, rule.numMonths));
    return at(monthDay(first.year(), first.month(), rule.dayOfMonth), rule.time);
}

QDateTime SkipMissedRelativeRuns(const QDateTime &target, const QDateTime &now, std::int64_t intervalSeconds)
{
    const std::int64_t behind = target.secsTo(now);
    if (behind < 1 || intervalSeconds < 1)
        return target;
    // The fewest whole intervals that bring the target to now or beyond.
    const std::int64_t steps = (behind + intervalSeconds - 1) / intervalSeconds;
    return target.addSecs(steps * intervalSeconds);
}

TimeRemaining SplitTimeRemaining(std::int64_t seconds)
{
    const std::int64_t a = seconds < 0 ? -seconds : seconds;
    TimeRemaining t;
    t.days = a / 86400;
    t.hours = static_cast<int>((a % 86400) / 3600);
    t.minutes = static_cast<int>((a % 3600) / 60);
    t.seconds = static_cast<int>(a % 60);
    return t;
}

QString CountdownCaption(const TimeRemaining &t)
{
    if (t.days == 0 && t.hours == 0 && t.minutes == 0 && t.seconds == 0)
        return JobIsRunningCaption();
    QString c;
    const QString sep = QStringLiteral(" : ");
    if (t.days != 0)
        c += QString::number(t.days) + u' ' + Translate(QStringLiteral("days")) + sep;
    if (t.hours != 0)
        c += QString::number(t.hours) + u' ' + Translate(QStringLiteral("hours")) + sep;
    if (t.minutes != 0)
        c += QString::number(t.minutes) + u' ' + Translate(QStringLiteral("minutes")) + sep;
    c += QString::number(t.seconds) + u' ' + Translate(QStringLiteral("seconds")) + u' ' +
         Translate(QStringLiteral("before next run")) + u'.';
    return c;
}

QString JobIsRunningCaption() { return QStringLiteral("Job is Running"); }

QString IdleSchedulerCaption() { return u'\'' + GetProgramTitle() + u'\''; }
