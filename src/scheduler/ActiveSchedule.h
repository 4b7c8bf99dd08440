#pragma once
// A running schedule and its tick, split in three so that the caller can run the job between
// them: plan() says what the tick at `now` shows and whether a run is due, the caller runs the
// job (or not), and advance() moves the target on afterwards. A target that has passed without
// its run (the program was asleep or busy) is moved on without a run.
#include "ScheduleRules.h"

#include <QDateTime>
#include <QString>

#include <cstdint>

class ActiveSchedule
{
public:
    // Time based: the first run one interval after now (intervalSeconds at least 1).
    static ActiveSchedule timeBased(std::int64_t intervalSeconds, bool runImmediately, const QDateTime &now);
    // Calendar based: the first target computed from the rule at now.
    static ActiveSchedule calendar(const CalendarRule &rule, const QDateTime &now);

    struct Plan
    {
        std::int64_t secondsToTarget = 0; // positive while the target lies ahead
        bool due = false;                 // run the job now, then advance
        bool passed = false;              // the target was missed: advance without a run
    };
    Plan plan(const QDateTime &now) const;
    // Moves past the target just served; then past `now` where the rule skips missed runs
    // (calendar rules always; time based in skip mode). A run that started at `startedAt`
    // served every target up to then: those are skipped too, never made up one after another.
    void advance(const QDateTime &now, const QDateTime &startedAt = QDateTime());

    // Time based: a UTC moment. Calendar: the wall-clock target (see ScheduleRules.h).
    QDateTime target() const { return m_target; }

private:
    bool m_timeBased = false;
    bool m_runImmediately = true;
    std::int64_t m_interval = 0;
    CalendarRule m_rule;
    QDateTime m_target;
};
