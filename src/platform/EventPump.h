#pragma once
// "Process pending window messages": the engine calls it between steps so that a window stays
// responsive and Pause is seen. The default processes Qt's pending events.
class EventPump
{
public:
    virtual ~EventPump() = default;
    virtual void processEvents();
};
