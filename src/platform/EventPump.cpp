#include "EventPump.h"

#include "Tick.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdint>

namespace {

// How often a retry pause looks at the run flag when no event comes.
constexpr int kSliceMs = 20;

} // namespace

void EventPump::processEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

bool EventPump::eventsWakeWaits()
{
    return QCoreApplication::instance() && QThread::currentThread()->eventDispatcher();
}

void EventPump::waitForEvents(int ms)
{
    if (ms > 0) {
        if (eventsWakeWaits()) {
            // The timer bounds the wait; any other event ends it sooner.
            QTimer wake;
            wake.setSingleShot(true);
            wake.start(ms);
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        } else {
            Tick::sleepMs(ms);
        }
    }
    processEvents();
}

bool EventPump::waitPumping(int ms, const bool *bRunning)
{
    if (bRunning && !*bRunning)
        bRunning = nullptr;
    const std::int64_t end = Tick::count() + std::max(ms, 0);
    processEvents();
    for (;;) {
        if (bRunning && !*bRunning)
            return false;
        const std::int64_t left = end - Tick::count();
        if (left <= 0)
            return true;
        waitForEvents(static_cast<int>(std::min<std::int64_t>(left, kSliceMs)));
    }
}

bool EventPump::wait(EventPump *pump, int ms, const bool *bRunning)
{
    if (pump)
        return pump->waitPumping(ms, bRunning);
    Tick::sleepMs(ms);
    return true;
}
