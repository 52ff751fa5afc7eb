#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/event_loop.h"

namespace px3 {
namespace {

class TimerTest : public ::testing::Test {
  protected:
    FakeClock clock{1000};
    EventLoop loop{clock};
    int ticks = 0;
};

TEST_F(TimerTest, TicksOnceTheIntervalHasPassedOnTheClock) {
    Timer keep_alive(loop, [&] { ++ticks; });
    keep_alive.Start(60000);

    clock.Advance(59999);
    loop.ProcessPending();
    EXPECT_EQ(ticks, 0);

    clock.Advance(1);
    loop.ProcessPending();
    EXPECT_EQ(ticks, 1);

    loop.ProcessPending();
    EXPECT_EQ(ticks, 1);

    clock.Advance(60000);
    loop.ProcessPending();
    EXPECT_EQ(ticks, 2);
    EXPECT_TRUE(keep_alive.Running());
    EXPECT_EQ(keep_alive.Interval(), 60000u);
}

TEST_F(TimerTest, ALateLoopGetsOneTickAndTheNextIsAWholeIntervalLater) {
    Timer timer(loop, [&] { ++ticks; });
    timer.Start(500);

    clock.Advance(1700);
    loop.ProcessPending();
    EXPECT_EQ(ticks, 1);

    clock.Advance(499);
    loop.ProcessPending();
    EXPECT_EQ(ticks, 1);
    clock.Advance(1);
    loop.ProcessPending();
    EXPECT_EQ(ticks, 2);
}

TEST_F(TimerTest, AWaitEndsAtOnceForATimerTheClockMadeDue) {
    Timer timer(loop, [&] { ++ticks; });
    timer.Start(60000);
    clock.Advance(60000);

    // Were the due tick not to end the wait, this would hang for a day.
    loop.WaitAndProcess(24 * 60 * 60 * 1000);

    EXPECT_EQ(ticks, 1);
}

TEST_F(TimerTest, StoppedRestartedAndShortTimers) {
    Timer timer(loop, [&] { ++ticks; });
    EXPECT_FALSE(timer.Running());

    timer.Start(100);
    clock.Advance(50);
    timer.Start(100);  // restarting counts from now
    clock.Advance(60);
    loop.ProcessPending();
    EXPECT_EQ(ticks, 0);

    timer.Stop();
    clock.Advance(1000);
    loop.ProcessPending();
    EXPECT_EQ(ticks, 0);

    timer.Start(0);
    EXPECT_EQ(timer.Interval(), kMinimumTimerInterval);
    clock.Advance(kMinimumTimerInterval);
    loop.ProcessPending();
    EXPECT_EQ(ticks, 1);
}

TEST_F(TimerTest, ATickMayStopOrDestroyItsTimer) {
    std::unique_ptr<Timer> reconnect;
    reconnect = std::make_unique<Timer>(loop, [&] {
        ++ticks;
        reconnect->Stop();
    });
    std::unique_ptr<Timer> doomed;
    doomed = std::make_unique<Timer>(loop, [&] {
        ++ticks;
        doomed.reset();
    });
    reconnect->Start(500);
    doomed->Start(500);

    clock.Advance(500);
    loop.ProcessPending();
    EXPECT_EQ(ticks, 2);
    EXPECT_FALSE(reconnect->Running());
    EXPECT_EQ(doomed, nullptr);

    clock.Advance(500);
    loop.ProcessPending();
    EXPECT_EQ(ticks, 2);
}

TEST_F(TimerTest, AFilteredWaitTicksOnlyTheTimersOfItsTarget) {
    NotificationTarget session(loop);
    NotificationTarget other(loop);
    std::vector<std::string> log;
    Timer session_timer(session, [&] { log.push_back("session"); });
    Timer other_timer(other, [&] { log.push_back("other"); });
    Timer loop_timer(loop, [&] { log.push_back("loop"); });
    session_timer.Start(100);
    other_timer.Start(100);
    loop_timer.Start(100);
    clock.Advance(100);

    loop.PumpTargetUntil(session, [&] { return !log.empty(); });
    EXPECT_EQ(log, (std::vector<std::string>{"session"}));

    loop.ProcessPending();
    EXPECT_EQ(log, (std::vector<std::string>{"session", "other", "loop"}));
}

TEST_F(TimerTest, TicksComeAfterTheMessagesAlreadyQueued) {
    std::vector<std::string> log;
    NotificationTarget target(loop, [&](const LoopMessage&) { log.push_back("message"); });
    Timer timer(target, [&] { log.push_back("tick"); });
    timer.Start(100);
    clock.Advance(100);
    target.Post(0x0500);

    loop.ProcessPending();

    EXPECT_EQ(log, (std::vector<std::string>{"message", "tick"}));
}

TEST(RealClockTimerTest, ABlockingRunWakesForEachTick) {
    EventLoop loop;
    int ticks = 0;
    Timer timer(loop, [&] {
        if (++ticks == 3) {
            loop.Quit();
        }
    });
    timer.Start(20);

    loop.Run();

    EXPECT_EQ(ticks, 3);
}

}  // namespace
}  // namespace px3
