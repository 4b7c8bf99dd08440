// The pump's pauses serve what another thread asks of this one as it comes.
#include "platform/EventPump.h"

#include "TestEnv.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

TEST(EventPump, APauseAnswersEachRequestAtOnceAndStillLastsItsTime)
{
    qvtest::BlockingCaller caller;
    EventPump pump;
    QElapsedTimer t;
    t.start();
    EXPECT_TRUE(pump.waitPumping(300));
    EXPECT_GE(t.elapsed(), 300);
    EXPECT_GT(caller.answered(), 100) << "a request waited for a sleep to end";
}
