#pragma once
// When a schedule runs: the first calendar target at Begin, every later target, the countdown
// and its caption. Pure functions of their inputs; the current time is always passed in.
//
// Calendar targets are wall-clock times: a QDateTime whose date and time are the local
// wall-clock fields (kept with the UTC spec so that no time-zone rule shifts them). Intervals
// of a time-based schedule are counted on real (UTC) time, so daylight-saving changes neither
// stall nor burst them.
#include <QDateTime>
#include <QString>
#include <QTime>

#include <array>
#include <cstdint>

struct CalendarRule
{
    enum Kind { EveryNDays, EveryWeekday, Weekly, Monthly };
    Kind kind = EveryNDays;
    int numDays = 1;
    int numWeeks = 1;
    int numMonths = 1;
    int dayOfMonth = 1;
    std::array<bool, 7> days{}; // index 0 = Sunday ... 6 = Saturday
    QTime time{0, 0};           // the chosen time of day, seconds 0
};

// Weekday 1 = Sunday, 2 = Monday ... 7 = Saturday.
int ScheduleWeekday(const QDate &d);
// Hour 1-12, minute 0-59, AM/PM to a time of day: 12 AM is 00:xx, 12 PM is 12:xx. Invalid
// QTime for numbers out of range.
QTime UserTargetTime(int hour12, int minute, bool pm);
// The same from the texts of the three boxes ("7", "05", "PM").
QTime UserTargetTime(const QString &hours, const QString &minutes, const QString &amPm);

// The wall-clock fields of a local (or any) QDateTime, as a calendar target holds them.
QDateTime WallClock(const QDateTime &dt);
// Minute boundaries passed from a to b on the wall clock (negative when b is earlier).
std::int64_t WallMinuteDiff(const QDateTime &a, const QDateTime &b);
// Whole-second boundaries passed from a to b (negative when b is earlier): from 7:04:59.5 to
// 7:05:00 one second is left, not 0. Both must carry the same time spec.
std::int64_t WallSecondDiff(const QDateTime &a, const QDateTime &b);

// The first target of a calendar schedule begun at `now`: today at the chosen time unless
// that minute has passed (then tomorrow); weekday schedules move to the next Monday-Friday;
// weekly and monthly rules find their first day. The first weekly computation of a Begin
// takes the coming selected day even for every N weeks.
QDateTime CalculateCalendarTargetDate(const CalendarRule &rule, const QDateTime &now);
// The target after one just served (run, or passed without a run): always later than it.
QDateTime NextCalendarTarget(const CalendarRule &rule, const QDateTime &served);
QDateTime WeeklyFirstTargetDate(const CalendarRule &rule, const QDateTime &now);
QDateTime WeeklyNextTargetDate(const CalendarRule &rule, const QDateTime &served);
QDateTime MonthlyFirstTargetDate(const CalendarRule &rule, const QDateTime &now);
QDateTime MonthlyNextTargetDate(const CalendarRule &rule, const QDateTime &served);

// Time based, skip mode: the target moved on in whole intervals until it is no whole second
// before now. intervalSeconds must be at least 1.
QDateTime SkipMissedRelativeRuns(const QDateTime &target, const QDateTime &now, std::int64_t intervalSeconds);

struct TimeRemaining
{
    std::int64_t days = 0;
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
};
// The absolute distance in seconds split into days, hours, minutes and seconds.
TimeRemaining SplitTimeRemaining(std::int64_t seconds);
// "2 days : 3 hours : 0 seconds before next run." (translated pieces); "Job is Running" when
// all four parts are 0.
QString CountdownCaption(const TimeRemaining &t);
// The text the countdown shows while a run is going on (never translated).
QString JobIsRunningCaption();
// The frame's caption when no schedule runs: the program's name in single quotes.
QString IdleSchedulerCaption();
