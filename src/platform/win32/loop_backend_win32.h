#pragma once

#include <windows.h>
#include <winsock2.h>

#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "platform/loop_backend.h"

namespace px3 {

// The windows of the targets, for posting from helper threads too.
class Win32Mailbox final : public ThreadPoster {
  public:
    void Post(TargetId target, const LoopMessage& message) override { PostNow(target, message); }
    bool PostNow(TargetId target, const LoopMessage& message);
    void Add(TargetId target, HWND window);
    void Remove(TargetId target);

  private:
    std::mutex mutex_;
    std::unordered_map<TargetId, HWND> windows_;
};

// The Windows message queue of the thread: a message-only window per target, timers kept by
// the loop with one system timer as an alarm, so that ticks also come while a dialog runs its
// own message loop.
class Win32LoopBackend final : public LoopBackend {
  public:
    explicit Win32LoopBackend(LoopCore& core);
    ~Win32LoopBackend() override;
    Win32LoopBackend(const Win32LoopBackend&) = delete;
    Win32LoopBackend& operator=(const Win32LoopBackend&) = delete;

    void AddTarget(TargetId target) override;
    void RemoveTarget(TargetId target) override;
    bool Post(TargetId target, const LoopMessage& message) override {
        return mailbox_->PostNow(target, message);
    }
    std::shared_ptr<ThreadPoster> Poster() override { return mailbox_; }
    bool DispatchQueued(std::optional<TargetId> only) override;
    void Wait(bool filtered, std::int64_t timeout_ms) override;
    void WakeFromAnyThread() override;

    HWND WindowOf(TargetId target) const;
    LoopCore& Core() const { return core_; }
    // The alarm's tick: fires the due timers and sets the alarm for the next deadline.
    void OnAlarm();

    // What a window knows of its loop and target (target 0: the loop's own window).
    struct WindowLink {
        Win32LoopBackend* backend;
        TargetId target;
        HWND window;
    };

  private:
    bool TakeMessage(std::optional<TargetId> only, MSG& message) const;
    void SetAlarm();

    LoopCore& core_;
    std::shared_ptr<Win32Mailbox> mailbox_ = std::make_shared<Win32Mailbox>();
    std::unordered_map<TargetId, std::unique_ptr<WindowLink>> links_;
    std::unique_ptr<WindowLink> own_link_;
};

}  // namespace px3
