#pragma once
// "Process pending window messages": the engine calls it between steps so that a window stays
// responsive and Pause is seen. The default processes Qt's pending events.
class EventPump
{
public:
    virtual ~EventPump() = default;
    virtual void processEvents();
    // Waits up to ms for the next event of this thread and processes what came (then runs
    // processEvents()). A request that arrives during the wait (a click, a screen reader's call
    // over the accessibility bus, a worker's output read through a notifier) is served at once,
    // not when a blind sleep ends. Without an event loop in this thread it only sleeps.
    virtual void waitForEvents(int ms);
    // True when waitForEvents() wakes for events of this thread: there is an application and
    // this thread has an event dispatcher.
    static bool eventsWakeWaits();
    // Waits ms milliseconds, processing events as they come, so that a window stays responsive
    // through a retry pause. With bRunning given, the wait ends early (false) when the flag is
    // cleared during it (a Pause); a flag already clear at the start means that no run is going
    // on and is not watched. True when the full time passed.
    bool waitPumping(int ms, const bool *bRunning = nullptr);
    // The same through a pump that may be missing: without one it only sleeps (true).
    static bool wait(EventPump *pump, int ms, const bool *bRunning = nullptr);
};
