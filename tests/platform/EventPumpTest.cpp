// The pump's pauses serve what another thread asks of this one as it comes.
#include "platform/EventPump.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>

#include <atomic>
#include <thread>

TEST(EventPump, APauseAnswersEachRequestAtOnceAndStillLastsItsTime)
{
    // A caller that waits for every answer before asking again, as a screen reader does.
    QObject here;
    std::atomic<bool> stop = false, ended = false;
    int answered = 0;
    std::thread caller([&] {
        while (!stop)
            QMetaObject::invokeMethod(&here, [&] { ++answered; }, Qt::BlockingQueuedConnection);
        ended = true;
    });
    EventPump pump;
    QElapsedTimer t;
    t.start();
    EXPECT_TRUE(pump.waitPumping(300));
    const qint64 took = t.elapsed();
    stop = true;
    while (!ended) // its last request is still to be answered
        QCoreApplication::processEvents();
    caller.join();
    EXPECT_GE(took, 300);
    EXPECT_GT(answered, 200) << "a request waited for a sleep to end";
}
