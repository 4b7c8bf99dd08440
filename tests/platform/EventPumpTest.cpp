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
    EXPECT_GT(caller.answered(), 0);
    // A wait of a minute ends with the first request, not when a blind sleep does (how many
    // requests a pause answers is measured by bench/responsiveness).
    const int before = caller.answered();
    t.restart();
    pump.waitForEvents(60000);
    EXPECT_LT(t.elapsed(), 30000) << "a request waited for a sleep to end";
    EXPECT_GT(caller.answered(), before);
}
