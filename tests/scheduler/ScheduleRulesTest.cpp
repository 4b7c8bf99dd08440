// Next-run rules and the tick's plan, with the clock passed in: no test waits for real time.
#include "scheduler/ActiveSchedule.h"
#include "scheduler/ScheduleRules.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

QDateTime at(int y, int m, int d, int h = 0, int min = 0, int s = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min, s));
}

// Wall-clock text of a calendar target, for readable failures.
std::string wall(const QDateTime &dt) { return dt.toString("ddd yyyy-MM-dd HH:mm:ss").toStdString(); }

CalendarRule rule(CalendarRule::Kind kind, QTime time)
{
    CalendarRule r;
    r.kind = kind;
    r.time = time;
    return r;
}

// Mondays etc. in 2024: 2024-03-04 is a Monday.
constexpr int Sun = 0, Mon = 1, Wed = 3;

} // namespace

TEST(Countdown, CaptionsLeaveOutZeroPartsButSecondsAndShowJobIsRunningAtZero)
{
    EXPECT_EQ(CountdownCaption(SplitTimeRemaining(2 * 86400 + 3 * 3600)), "2 days : 3 hours : 0 seconds before next run.");
    EXPECT_EQ(CountdownCaption(SplitTimeRemaining(45)), "45 seconds before next run.");
    EXPECT_EQ(CountdownCaption(SplitTimeRemaining(3605)), "1 hours : 5 seconds before next run.");
    EXPECT_EQ(CountdownCaption(SplitTimeRemaining(-1)), "1 seconds before next run."); // a tick one second late
    EXPECT_EQ(CountdownCaption(SplitTimeRemaining(0)), "Job is Running");
    EXPECT_EQ(CountdownCaption(SplitTimeRemaining(59 * 60 + 1)), "59 minutes : 1 seconds before next run.");
    EXPECT_EQ(IdleSchedulerCaption(), "'Quorvane'");
}

TEST(TimeBased, CountsDownRunsAtTheTargetOrLateAndMovesOnByTheInterval)
{
    const QDateTime begin = at(2024, 5, 1, 10, 0, 0);
    ActiveSchedule s = ActiveSchedule::timeBased(10, true, begin);
    EXPECT_EQ(s.plan(begin.addSecs(1)).secondsToTarget, 9);
    EXPECT_FALSE(s.plan(begin.addSecs(9)).due);
    ActiveSchedule::Plan p = s.plan(begin.addSecs(10));
    EXPECT_TRUE(p.due);
    EXPECT_EQ(CountdownCaption(SplitTimeRemaining(p.secondsToTarget)), "Job is Running");
    s.advance(begin.addSecs(10));
    p = s.plan(begin.addSecs(21)); // one second late for the second target
    EXPECT_TRUE(p.due);
    EXPECT_EQ(p.secondsToTarget, -1);
    s.advance(begin.addSecs(21));
    EXPECT_EQ(s.plan(begin.addSecs(21)).secondsToTarget, 9); // counted from the target, not the run
}

TEST(TimeBased, ALongRunIsSkippedPastOrCaughtUpAtOnce)
{
    const QDateTime begin = at(2024, 5, 1, 10, 0, 0);
    const QDateTime target = begin.addSecs(60);
    const QDateTime runEnd = target.addSecs(150);

    ActiveSchedule skip = ActiveSchedule::timeBased(60, false, begin);
    ASSERT_TRUE(skip.plan(target).due);
    skip.advance(runEnd);
    EXPECT_EQ(skip.target(), target.addSecs(180).toUTC()); // +60 and +120 fell inside the run

    ActiveSchedule immediately = ActiveSchedule::timeBased(60, true, begin);
    immediately.advance(runEnd);
    EXPECT_TRUE(immediately.plan(runEnd.addSecs(1)).due); // the next run on the tick after the run
    // That run, started late, is one run for +60 and +120: they are not made up in a burst.
    immediately.advance(runEnd.addSecs(5), runEnd.addSecs(1));
    EXPECT_EQ(immediately.target(), target.addSecs(180).toUTC());

    // A run ending exactly on a later target keeps that target.
    EXPECT_EQ(SkipMissedRelativeRuns(target, target.addSecs(120), 60), target.addSecs(120));
}

TEST(TimeBased, IntervalsCountRealSecondsAcrossADaylightSavingChange)
{
    const QByteArray oldTz = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    tzset();
    // Clocks jump from 02:00 to 03:00 on 31 March 2024: two real hours after 01:30 is 04:30.
    const QDateTime begin = at(2024, 3, 31, 1, 30);
    ActiveSchedule s = ActiveSchedule::timeBased(7200, true, begin);
    EXPECT_EQ(s.plan(at(2024, 3, 31, 3, 30)).secondsToTarget, 3600);
    EXPECT_TRUE(s.plan(at(2024, 3, 31, 4, 30)).due);
    if (oldTz.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", oldTz);
    tzset();
}

TEST(Calendar, TwelveAmIsMidnightAndTwelvePmIsNoon)
{
    EXPECT_EQ(UserTargetTime(12, 5, false), QTime(0, 5));
    EXPECT_EQ(UserTargetTime(12, 5, true), QTime(12, 5));
    EXPECT_EQ(UserTargetTime("7", "05", "PM"), QTime(19, 5));
    EXPECT_EQ(UserTargetTime("1", "00", "AM"), QTime(1, 0));
    EXPECT_FALSE(UserTargetTime(13, 0, false).isValid());
}

TEST(Calendar, FirstDailyTargetIsTomorrowExactlyWhenTheChosenMinuteHasPassed)
{
    const CalendarRule am = rule(CalendarRule::EveryNDays, QTime(7, 5));
    EXPECT_EQ(wall(CalculateCalendarTargetDate(am, at(2024, 5, 1, 7, 30))), "Thu 2024-05-02 07:05:00");
    EXPECT_EQ(wall(CalculateCalendarTargetDate(am, at(2024, 5, 1, 6, 0))), "Wed 2024-05-01 07:05:00");
    // During the target minute itself: today, and the next tick runs it.
    ActiveSchedule during = ActiveSchedule::calendar(am, at(2024, 5, 1, 7, 5, 40));
    EXPECT_TRUE(during.plan(at(2024, 5, 1, 7, 5, 41)).due);
    // Afternoon targets on a 24-hour clock: passed means tomorrow, ahead means today.
    const CalendarRule pm = rule(CalendarRule::EveryNDays, QTime(13, 0));
    EXPECT_EQ(wall(CalculateCalendarTargetDate(pm, at(2024, 5, 1, 15, 0))), "Thu 2024-05-02 13:00:00");
    EXPECT_EQ(wall(CalculateCalendarTargetDate(pm, at(2024, 5, 1, 9, 0))), "Wed 2024-05-01 13:00:00");
}

TEST(Countdown, CountsWholeSecondBoundariesOfTicksThatFallBetweenSeconds)
{
    // Calendar: half a second before 7:05 one second is left; "Job is Running" only with the run.
    const ActiveSchedule cal =
        ActiveSchedule::calendar(rule(CalendarRule::EveryNDays, QTime(7, 5)), at(2024, 5, 1, 6, 0));
    const QDateTime before = at(2024, 5, 1, 7, 4, 50).addMSecs(300);
    EXPECT_EQ(cal.plan(before).secondsToTarget, 10);
    const ActiveSchedule::Plan last = cal.plan(before.addMSecs(9200)); // 7:04:59.5
    EXPECT_FALSE(last.due);
    EXPECT_EQ(CountdownCaption(SplitTimeRemaining(last.secondsToTarget)), "1 seconds before next run.");
    EXPECT_TRUE(cal.plan(before.addMSecs(10200)).due);

    // Time based: a tick a few milliseconds late still reads 9; one half a second early is not due.
    const QDateTime begin = at(2024, 5, 1, 10, 0, 0).addMSecs(400);
    const ActiveSchedule s = ActiveSchedule::timeBased(10, true, begin);
    EXPECT_EQ(s.plan(begin.addMSecs(1005)).secondsToTarget, 9);
    EXPECT_FALSE(s.plan(begin.addMSecs(9500)).due);
    EXPECT_TRUE(s.plan(begin.addMSecs(10000)).due);
}

TEST(Calendar, EveryNDaysRunsInTheTargetMinuteOnlyAndDropsMissedDays)
{
    CalendarRule r = rule(CalendarRule::EveryNDays, QTime(0, 0));
    r.numDays = 3;
    ActiveSchedule s = ActiveSchedule::calendar(r, at(2024, 5, 1, 0, 0, 10));
    const ActiveSchedule::Plan p = s.plan(at(2024, 5, 1, 0, 0, 59));
    EXPECT_TRUE(p.due);
    s.advance(at(2024, 5, 1, 0, 0, 59));
    EXPECT_EQ(wall(s.target()), "Sat 2024-05-04 00:00:00");
    // The program slept for ten days: the passed target is not run late but moved ahead.
    const QDateTime woke = at(2024, 5, 14, 9, 0);
    const ActiveSchedule::Plan late = s.plan(woke);
    EXPECT_FALSE(late.due);
    EXPECT_TRUE(late.passed);
    s.advance(woke);
    EXPECT_EQ(wall(s.target()), "Thu 2024-05-16 00:00:00");
}

TEST(Calendar, EveryWeekdayPassesOverTheWeekend)
{
    const CalendarRule r = rule(CalendarRule::EveryWeekday, QTime(7, 5));
    // Begun on Saturday: the first run is on Monday.
    ActiveSchedule s = ActiveSchedule::calendar(r, at(2024, 5, 4, 6, 0));
    EXPECT_EQ(wall(s.target()), "Mon 2024-05-06 07:05:00");
    // Friday's run is followed by Monday's.
    EXPECT_EQ(wall(NextCalendarTarget(r, at(2024, 5, 10, 7, 5))), "Mon 2024-05-13 07:05:00");
    EXPECT_EQ(wall(NextCalendarTarget(r, at(2024, 5, 13, 7, 5))), "Tue 2024-05-14 07:05:00");
}

TEST(Calendar, WeeklyWorksThroughTheSelectedDaysAndSkipsWeeksBetweenPeriods)
{
    CalendarRule monWed = rule(CalendarRule::Weekly, QTime(9, 0));
    monWed.days[Mon] = monWed.days[Wed] = true;
    // Begun on Tuesday 2024-03-05: Wednesday, then Monday, then Wednesday.
    ActiveSchedule s = ActiveSchedule::calendar(monWed, at(2024, 3, 5, 12, 0));
    EXPECT_EQ(wall(s.target()), "Wed 2024-03-06 09:00:00");
    s.advance(at(2024, 3, 6, 9, 0, 30));
    EXPECT_EQ(wall(s.target()), "Mon 2024-03-11 09:00:00");
    s.advance(at(2024, 3, 11, 9, 0, 30));
    EXPECT_EQ(wall(s.target()), "Wed 2024-03-13 09:00:00");

    // Every 2 weeks on Monday, begun on a Wednesday: the coming Monday, then 14 days later;
    // a second Begin with the same inputs gives the same first target.
    CalendarRule mon2 = rule(CalendarRule::Weekly, QTime(9, 0));
    mon2.days[Mon] = true;
    mon2.numWeeks = 2;
    const QDateTime wednesday = at(2024, 3, 6, 12, 0);
    ActiveSchedule first = ActiveSchedule::calendar(mon2, wednesday);
    EXPECT_EQ(wall(first.target()), "Mon 2024-03-11 09:00:00");
    first.advance(at(2024, 3, 11, 9, 0, 5));
    EXPECT_EQ(wall(first.target()), "Mon 2024-03-25 09:00:00");
    EXPECT_EQ(ActiveSchedule::calendar(mon2, wednesday).target(), ActiveSchedule::calendar(mon2, wednesday).target());

    // Today selected and its time still ahead: today. Time passed and today the only day: in N weeks.
    EXPECT_EQ(wall(WeeklyFirstTargetDate(mon2, at(2024, 3, 11, 8, 0))), "Mon 2024-03-11 09:00:00");
    EXPECT_EQ(wall(WeeklyFirstTargetDate(mon2, at(2024, 3, 11, 10, 0))), "Mon 2024-03-25 09:00:00");
}

TEST(Calendar, AWeeklyRunEndingWithinItsTargetSecondIsNotRunTwice)
{
    CalendarRule sunday = rule(CalendarRule::Weekly, QTime(9, 0));
    sunday.days[Sun] = true;
    ActiveSchedule s = ActiveSchedule::calendar(sunday, at(2024, 3, 9, 12, 0));
    const QDateTime target = at(2024, 3, 10, 9, 0, 0);
    ASSERT_EQ(wall(s.target()), wall(target));
    ASSERT_TRUE(s.plan(target).due);
    s.advance(target); // the run ended within the same second
    EXPECT_FALSE(s.plan(target.addSecs(1)).due);
    EXPECT_EQ(wall(s.target()), "Sun 2024-03-17 09:00:00");
}

TEST(Calendar, MissedWeeklyAndMonthlyTargetsMoveOnWithoutARun)
{
    CalendarRule monday = rule(CalendarRule::Weekly, QTime(9, 0));
    monday.days[Mon] = true;
    ActiveSchedule weekly = ActiveSchedule::calendar(monday, at(2024, 3, 6, 12, 0)); // Mon 11 March
    // Asleep from before the target until Thursday 21 March.
    const QDateTime woke = at(2024, 3, 21, 8, 0);
    ASSERT_TRUE(weekly.plan(woke).passed);
    weekly.advance(woke);
    EXPECT_EQ(wall(weekly.target()), "Mon 2024-03-25 09:00:00");

    CalendarRule fifth = rule(CalendarRule::Monthly, QTime(9, 0));
    fifth.dayOfMonth = 5;
    ActiveSchedule monthly = ActiveSchedule::calendar(fifth, at(2024, 3, 20, 12, 0));
    EXPECT_EQ(wall(monthly.target()), "Fri 2024-04-05 09:00:00");
    const QDateTime closed = at(2024, 6, 1, 8, 0);
    ASSERT_TRUE(monthly.plan(closed).passed);
    monthly.advance(closed);
    EXPECT_EQ(wall(monthly.target()), "Wed 2024-06-05 09:00:00");
}

TEST(Calendar, MonthlyLastDaysAcrossShortMonthsAndLeapYears)
{
    CalendarRule d31 = rule(CalendarRule::Monthly, QTime(9, 0));
    d31.dayOfMonth = 31;
    ActiveSchedule s = ActiveSchedule::calendar(d31, at(2024, 4, 10, 12, 0));
    EXPECT_EQ(wall(s.target()), "Tue 2024-04-30 09:00:00");
    EXPECT_EQ(wall(MonthlyNextTargetDate(d31, s.target())), "Fri 2024-05-31 09:00:00");
    EXPECT_EQ(wall(MonthlyNextTargetDate(d31, at(2024, 5, 31, 9, 0))), "Sun 2024-06-30 09:00:00");

    CalendarRule d29 = rule(CalendarRule::Monthly, QTime(9, 0));
    d29.dayOfMonth = 29;
    EXPECT_EQ(wall(MonthlyNextTargetDate(d29, at(2024, 1, 29, 9, 0))), "Thu 2024-02-29 09:00:00");
    EXPECT_EQ(wall(MonthlyNextTargetDate(d29, at(2023, 1, 29, 9, 0))), "Tue 2023-02-28 09:00:00");
    EXPECT_EQ(wall(MonthlyNextTargetDate(d29, at(2023, 2, 28, 9, 0))), "Wed 2023-03-29 09:00:00");
    // Every 3 months from 29 November: 29 February of the leap year.
    d29.numMonths = 3;
    EXPECT_EQ(wall(MonthlyNextTargetDate(d29, at(2023, 11, 29, 9, 0))), "Thu 2024-02-29 09:00:00");
    // A day already past this month: the same day next month, or its last day.
    CalendarRule d30 = rule(CalendarRule::Monthly, QTime(9, 0));
    d30.dayOfMonth = 30;
    EXPECT_EQ(wall(MonthlyFirstTargetDate(d30, at(2023, 1, 31, 8, 0))), "Tue 2023-02-28 09:00:00");
}
