#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/loop_backend.h"

namespace px3 {

// A descriptor that the loop polls; what it finds ready it turns into queued events.
class PollWatcher {
  public:
    virtual int PollFd() const = 0;
    // The poll events wanted now; 0 leaves the descriptor out.
    virtual short PollEvents() const = 0;
    virtual void OnPollReady(short revents) = 0;

  protected:
    ~PollWatcher() = default;
};

// The loop's message queue with its wake-up pipe, shared with helper threads.
class PosixMailbox final : public ThreadPoster {
  public:
    struct Entry {
        TargetId target;
        LoopMessage message;
    };

    PosixMailbox();
    ~PosixMailbox() override;
    PosixMailbox(const PosixMailbox&) = delete;
    PosixMailbox& operator=(const PosixMailbox&) = delete;

    // From any thread: queues and wakes the loop.
    void Post(TargetId target, const LoopMessage& message) override;
    // From the loop's thread, which is not blocked then.
    void PostLocal(TargetId target, const LoopMessage& message);
    // Takes the first entry that passes the filter.
    std::optional<Entry> TakeFirst(std::optional<TargetId> only);
    void DropTarget(TargetId target);
    bool Empty() const;

    int WakeFd() const { return pipe_[0]; }
    void Wake();
    void DrainWake();

  private:
    mutable std::mutex mutex_;
    std::deque<Entry> queue_;
    int pipe_[2] = {-1, -1};
};

class PosixLoopBackend final : public LoopBackend {
  public:
    explicit PosixLoopBackend(LoopCore& core)
        : core_(core), mailbox_(std::make_shared<PosixMailbox>()) {}

    void AddTarget(TargetId) override {}
    void RemoveTarget(TargetId target) override { mailbox_->DropTarget(target); }
    bool Post(TargetId target, const LoopMessage& message) override;
    std::shared_ptr<ThreadPoster> Poster() override { return mailbox_; }
    bool DispatchQueued(std::optional<TargetId> only) override;
    void Wait(bool filtered, std::int64_t timeout_ms) override;
    void WakeFromAnyThread() override { mailbox_->Wake(); }

    void Watch(PollWatcher& watcher) { watchers_.push_back(&watcher); }
    void Unwatch(PollWatcher& watcher);

  private:
    // Polls the wake-up pipe and the watched descriptors; watchers queue what they find.
    void Poll(std::int64_t timeout_ms);

    LoopCore& core_;
    std::shared_ptr<PosixMailbox> mailbox_;
    std::vector<PollWatcher*> watchers_;
};

}  // namespace px3
