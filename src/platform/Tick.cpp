#include "Tick.h"

#include <QElapsedTimer>
#include <QThread>

namespace Tick {

std::int64_t count()
{
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    // Offset so that the first reading is not 0 (0 is used as "not started" by callers).
    return timer.elapsed() + 1000;
}

void sleepMs(int ms)
{
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

} // namespace Tick
