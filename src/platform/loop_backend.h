#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/event_loop.h"
#include "platform/loop_core.h"

namespace px3 {

// Posts to a loop from a helper thread. It stays safe to use after the loop or the target is
// gone; such messages are dropped.
class ThreadPoster {
  public:
    virtual ~ThreadPoster() = default;
    virtual void Post(TargetId target, const LoopMessage& message) = 0;
};

// The platform's half of a loop: the message queue, the blocking wait and the wake-up.
class LoopBackend {
  public:
    virtual ~LoopBackend() = default;

    virtual void AddTarget(TargetId target) = 0;
    virtual void RemoveTarget(TargetId target) = 0;
    virtual bool Post(TargetId target, const LoopMessage& message) = 0;
    virtual std::shared_ptr<ThreadPoster> Poster() = 0;

    // Dispatches queued messages that pass the filter (the target's, and wake-up messages of
    // any target) until none is left, a handler's error waits or Quit was asked for; false
    // when there was none.
    virtual bool DispatchQueued(std::optional<TargetId> only) = 0;

    // Blocks until new input may have arrived or timeout_ms have passed (-1: no limit). An
    // unfiltered wait returns at once while anything is queued.
    virtual void Wait(bool filtered, std::int64_t timeout_ms) = 0;

    // Wakes a blocking Wait; safe from any thread and from a POSIX signal handler.
    virtual void WakeFromAnyThread() = 0;
};

// Made by the platform's backend.
std::unique_ptr<LoopBackend> CreateLoopBackend(LoopCore& core);

// Access to a loop's parts for the platform classes built on it.
struct LoopAccess {
    static LoopCore& Core(EventLoop& loop);
    static LoopBackend& Backend(EventLoop& loop);
};

}  // namespace px3
