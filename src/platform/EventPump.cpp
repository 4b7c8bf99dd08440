#include "EventPump.h"

#include "Tick.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdint>

namespace {

// Short enough for a responsive window, long enough not to spin.
constexpr int kSliceMs = 20;

} // namespace

void EventPump::processEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

bool EventPump::waitPumping(int ms, const bool *bRunning)
{
    if (bRunning && !*bRunning)
        bRunning = nullptr;
    const std::int64_t end = Tick::count() + std::max(ms, 0);
    for (;;) {
        processEvents();
        if (bRunning && !*bRunning)
            return false;
        const std::int64_t left = end - Tick::count();
        if (left <= 0)
            return true;
        Tick::sleepMs(static_cast<int>(std::min<std::int64_t>(left, kSliceMs)));
    }
}

bool EventPump::wait(EventPump *pump, int ms, const bool *bRunning)
{
    if (pump)
        return pump->waitPumping(ms, bRunning);
    Tick::sleepMs(ms);
    return true;
}
