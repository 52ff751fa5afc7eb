#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <unordered_map>

#include "platform/clock.h"
#include "platform/event_loop.h"

namespace px3 {

using TargetId = std::uint64_t;

// Numbers the loop gives to its own notices (socket events, lookup results); each attachment
// holds one for as long as it is attached, so a notice that outlives its attachment is dropped.
inline constexpr std::uint32_t kFirstNoticeNumber = 0x8000;
inline constexpr std::uint32_t kLastNoticeNumber = 0xBFFF;

// Something that rides on a target and receives the loop's own notices for it.
class LoopAttachment {
  public:
    virtual void OnNotice(const LoopMessage& message) = 0;

  protected:
    ~LoopAttachment() = default;
};

// A new target id, unique in the process.
TargetId NewTargetId();

// The parts of a loop that do not depend on the platform: targets, attachments, timers, the
// error route and the quit flag.
class LoopCore {
  public:
    explicit LoopCore(Clock& clock) : clock_(clock) {}

    Clock& GetClock() const { return clock_; }

    void AddTarget(NotificationTarget& target) { targets_[target.Id()] = &target; }
    void RemoveTarget(TargetId id) { targets_.erase(id); }

    std::uint32_t Attach(LoopAttachment& attachment, TargetId target);
    void Detach(std::uint32_t number);

    // Hands a message to its target: caller numbers to the target's handler, notice numbers to
    // the attachment holding the number. Messages whose target or attachment is gone are
    // dropped.
    void Deliver(TargetId target, const LoopMessage& message);

    // Runs a handler; an exception escaping it goes to the error handler or waits in
    // RaisePendingError.
    void Guarded(const std::function<void()>& handler);
    bool HasPendingError() const { return pending_error_ != nullptr; }
    void RaisePendingError();
    void SetErrorHandler(std::function<void(std::exception_ptr)> handler) {
        error_handler_ = std::move(handler);
    }

    std::uint64_t AddTimer(TargetId target, std::function<void()> on_tick);
    void RemoveTimer(std::uint64_t key);
    void StartTimer(std::uint64_t key, std::uint32_t interval_ms);
    void StopTimer(std::uint64_t key);
    bool TimerRunning(std::uint64_t key) const;
    std::uint32_t TimerInterval(std::uint64_t key) const;
    // Earliest deadline of the running timers that pass the filter.
    std::optional<std::int64_t> NextDeadline(std::optional<TargetId> only) const;
    // Ticks every due timer that passes the filter once; false when none was due.
    bool FireDueTimers(std::optional<TargetId> only);
    // Called whenever the set of deadlines changes (the Windows backend keeps an alarm).
    void SetTimersChangedHook(std::function<void()> hook) { timers_changed_ = std::move(hook); }

    void RequestQuit() { quit_.store(true); }
    bool QuitRequested() const { return quit_.load(); }

  private:
    struct TimerEntry {
        TargetId target = 0;
        std::uint32_t interval = 0;
        std::int64_t deadline = 0;
        bool running = false;
        std::function<void()> on_tick;
    };
    struct AttachmentEntry {
        LoopAttachment* attachment;
        TargetId target;
    };

    void TimersChanged() const;

    Clock& clock_;
    std::unordered_map<TargetId, NotificationTarget*> targets_;
    std::unordered_map<std::uint32_t, AttachmentEntry> attachments_;
    std::uint32_t next_notice_number_ = kFirstNoticeNumber;
    std::map<std::uint64_t, TimerEntry> timers_;
    std::uint64_t next_timer_key_ = 1;
    std::function<void()> timers_changed_;
    std::function<void(std::exception_ptr)> error_handler_;
    std::exception_ptr pending_error_;
    std::atomic<bool> quit_{false};
};

}  // namespace px3
