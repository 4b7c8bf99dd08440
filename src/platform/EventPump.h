#pragma once
// "Process pending window messages": the engine calls it between steps so that a window stays
// responsive and Pause is seen. The default processes Qt's pending events.
class EventPump
{
public:
    virtual ~EventPump() = default;
    virtual void processEvents();
    // Waits ms milliseconds in short slices, processing events before each one, so that a
    // window stays responsive through a retry pause. With bRunning given, the wait ends early
    // (false) when the flag is cleared during it (a Pause); a flag already clear at the start
    // means that no run is going on and is not watched. True when the full time passed.
    bool waitPumping(int ms, const bool *bRunning = nullptr);
    // The same through a pump that may be missing: without one it only sleeps (true).
    static bool wait(EventPump *pump, int ms, const bool *bRunning = nullptr);
};
