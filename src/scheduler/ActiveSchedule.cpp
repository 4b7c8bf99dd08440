#include "ActiveSchedule.h"

ActiveSchedule ActiveSchedule::timeBased(std::int64_t intervalSeconds, bool runImmediately, const QDateTime &now)
{
    ActiveSchedule s;
    s.m_timeBased = true;
    s.m_runImmediately = runImmediately;
    s.m_interval = std::max<std::int64_t>(1, intervalSeconds);
    s.m_target = now.toUTC().addSecs(s.m_interval);
    return s;
}

ActiveSchedule ActiveSchedule::calendar(const CalendarRule &rule, const QDateTime &now)
{
    ActiveSchedule s;
    s.m_rule = rule;
    s.m_target = CalculateCalendarTargetDate(rule, now);
    return s;
}

ActiveSchedule::Plan ActiveSchedule::plan(const QDateTime &now) const
{
    Plan p;
    if (m_timeBased) {
        const std::int64_t late = WallSecondDiff(m_target, now.toUTC());
        p.secondsToTarget = -late;
        p.due = late >= 0;
        return p;
    }
    // A calendar run belongs to its target minute: the whole minute is due, later is missed.
    const QDateTime wall = WallClock(now);
    p.secondsToTarget = WallSecondDiff(wall, m_target);
    const std::int64_t v = WallMinuteDiff(m_target, wall);
    p.due = v == 0;
    p.passed = v > 0;
    return p;
}

void ActiveSchedule::advance(const QDateTime &now, const QDateTime &startedAt)
{
    if (m_timeBased) {
        m_target = m_target.addSecs(m_interval);
        if (!m_runImmediately)
            m_target = SkipMissedRelativeRuns(m_target, now.toUTC(), m_interval);
        if (startedAt.isValid())
            m_target = SkipMissedRelativeRuns(m_target, startedAt.toUTC(), m_interval);
        return;
    }
    const QDateTime wall = WallClock(now);
    m_target = NextCalendarTarget(m_rule, m_target);
    // Missed targets are dropped, not run late. Bounded: every rule moves at least a day.
    for (int guard = 0; guard < 1000000 && WallMinuteDiff(m_target, wall) > 0; ++guard)
        m_target = NextCalendarTarget(m_rule, m_target);
}
