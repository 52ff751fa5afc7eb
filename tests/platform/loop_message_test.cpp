#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/event_loop.h"

namespace px3 {
namespace {

// Records "target:number" for every message a target receives.
class MessageLog {
  public:
    NotificationTarget::Handler For(const std::string& name) {
        return [this, name](const LoopMessage& message) {
            entries.push_back(name + ":" + std::to_string(message.number));
        };
    }
    std::vector<std::string> entries;
};

class LoopMessageTest : public ::testing::Test {
  protected:
    FakeClock clock;
    EventLoop loop{clock};
    MessageLog log;
    NotificationTarget a{loop, log.For("a")};
    NotificationTarget b{loop, log.For("b")};
    NotificationTarget c{loop, log.For("c")};
};

TEST_F(LoopMessageTest, PostedMessagesArriveInOrderWithTheirParameters) {
    LoopMessage seen;
    a.SetHandler([&](const LoopMessage& message) {
        log.entries.push_back("a:" + std::to_string(message.number));
        seen = message;
    });
    a.Post(0x0500);
    b.Post(0x0501);
    a.Post(0x0502, 7, -9);
    b.Post(0x0503);
    EXPECT_TRUE(log.entries.empty());

    loop.ProcessPending();

    EXPECT_EQ(log.entries, (std::vector<std::string>{"a:1280", "b:1281", "a:1282", "b:1283"}));
    EXPECT_EQ(seen.wparam, 7u);
    EXPECT_EQ(seen.lparam, -9);
}

TEST_F(LoopMessageTest, MessagesPostedByHandlersAreDispatchedInTheSamePass) {
    a.SetHandler([&](const LoopMessage& message) {
        log.entries.push_back("a:" + std::to_string(message.number));
        if (message.number == 0x0500) {
            b.Post(0x0600);
        }
    });
    a.Post(0x0500);
    a.Post(0x0501);

    loop.ProcessPending();

    EXPECT_EQ(log.entries, (std::vector<std::string>{"a:1280", "a:1281", "b:1536"}));
}

TEST_F(LoopMessageTest, FilteredWaitLeavesOtherTargetsQueuedInOrder) {
    bool done = false;
    b.SetHandler([&](const LoopMessage& message) {
        log.entries.push_back("b:" + std::to_string(message.number));
        done = message.number == 0x0702;
    });
    a.Post(0x0500);
    b.Post(0x0700);
    a.Post(0x0501);
    c.Post(kWakeUpMessage);
    c.Post(0x0502);
    b.Post(0x0702);
    a.Post(0x0503);

    EXPECT_TRUE(loop.PumpTargetUntil(b, [&] { return done; }));
    // The target's messages keep their order; where the wake-up of another target falls among
    // them is the platform's choice.
    EXPECT_THAT(log.entries, ::testing::UnorderedElementsAre("b:1792", "c:1025", "b:1794"));
    std::erase(log.entries, "c:1025");
    EXPECT_EQ(log.entries, (std::vector<std::string>{"b:1792", "b:1794"}));

    log.entries.clear();
    loop.ProcessPending();
    EXPECT_EQ(log.entries, (std::vector<std::string>{"a:1280", "a:1281", "c:1282", "a:1283"}));
}

TEST_F(LoopMessageTest, FilteredWaitsNestAndKeepTheOuterTargetsMessagesQueued) {
    bool inner_done = false;
    bool outer_done = false;
    a.SetHandler([&](const LoopMessage& message) {
        log.entries.push_back("a:" + std::to_string(message.number));
        if (message.number == 0x0500) {
            b.Post(0x0700);
            a.Post(0x0501);
            loop.PumpTargetUntil(b, [&] { return inner_done; });
        }
        outer_done = message.number == 0x0501;
    });
    b.SetHandler([&](const LoopMessage& message) {
        log.entries.push_back("b:" + std::to_string(message.number));
        inner_done = true;
    });
    a.Post(0x0500);

    EXPECT_TRUE(loop.PumpTargetUntil(a, [&] { return outer_done; }));
    EXPECT_EQ(log.entries, (std::vector<std::string>{"a:1280", "b:1792", "a:1281"}));
}

TEST_F(LoopMessageTest, QuitEndsRunAndFilteredWaits) {
    a.SetHandler(
        [&](const LoopMessage&) { EXPECT_FALSE(loop.PumpTargetUntil(b, [] { return false; })); });
    b.SetHandler([&](const LoopMessage&) { loop.Quit(); });
    a.Post(0x0500);
    b.Post(0x0501);

    loop.Run();

    EXPECT_TRUE(loop.QuitRequested());
}

TEST_F(LoopMessageTest, AnErrorLeavesTheRunCallAndKeepsTheRestQueued) {
    a.SetHandler([](const LoopMessage&) { throw std::runtime_error("broken handler"); });
    a.Post(0x0500);
    b.Post(0x0501);

    EXPECT_THROW(loop.ProcessPending(), std::runtime_error);
    EXPECT_TRUE(log.entries.empty());

    loop.ProcessPending();
    EXPECT_EQ(log.entries, (std::vector<std::string>{"b:1281"}));
}

TEST_F(LoopMessageTest, AnErrorHandlerTakesTheErrorAndTheLoopGoesOn) {
    std::vector<std::string> errors;
    loop.SetErrorHandler([&](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            errors.push_back(e.what());
        }
    });
    a.SetHandler([](const LoopMessage&) { throw std::runtime_error("broken handler"); });
    a.Post(0x0500);
    b.Post(0x0501);

    loop.ProcessPending();

    EXPECT_EQ(errors, (std::vector<std::string>{"broken handler"}));
    EXPECT_EQ(log.entries, (std::vector<std::string>{"b:1281"}));
}

TEST_F(LoopMessageTest, MessagesOfADestroyedTargetAreDropped) {
    {
        NotificationTarget gone(loop, log.For("gone"));
        gone.Post(0x0500);
    }
    a.Post(0x0501);

    loop.ProcessPending();

    EXPECT_EQ(log.entries, (std::vector<std::string>{"a:1281"}));
}

TEST_F(LoopMessageTest, AHandlerMayDestroyItsOwnTarget) {
    auto doomed = std::make_unique<NotificationTarget>(loop);
    doomed->SetHandler([&](const LoopMessage&) { doomed.reset(); });
    doomed->Post(0x0500);
    doomed->Post(0x0501);

    loop.ProcessPending();

    EXPECT_EQ(doomed, nullptr);
}

TEST_F(LoopMessageTest, OnlyCallerNumbersCanBePosted) {
    EXPECT_FALSE(a.Post(0x03FF));
    EXPECT_FALSE(a.Post(0x8000));
    EXPECT_TRUE(a.Post(kLastUserMessage));
}

TEST(LoopCurrentTest, TheNewestLiveLoopIsCurrent) {
    EventLoop outer;
    EXPECT_EQ(EventLoop::Current(), &outer);
    {
        EventLoop inner;
        EXPECT_EQ(EventLoop::Current(), &inner);
    }
    EXPECT_EQ(EventLoop::Current(), &outer);
}

}  // namespace
}  // namespace px3
