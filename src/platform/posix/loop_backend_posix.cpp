#include "platform/posix/loop_backend_posix.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "base/exception.h"

namespace px3 {

PosixMailbox::PosixMailbox() {
    if (pipe2(pipe_, O_NONBLOCK | O_CLOEXEC) != 0) {
        throw Exception("Can't create the event loop's wake-up pipe");
    }
}

PosixMailbox::~PosixMailbox() {
    close(pipe_[0]);
    close(pipe_[1]);
}

void PosixMailbox::Post(TargetId target, const LoopMessage& message) {
    PostLocal(target, message);
    Wake();
}

void PosixMailbox::PostLocal(TargetId target, const LoopMessage& message) {
    const std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(Entry{target, message});
}

std::optional<PosixMailbox::Entry> PosixMailbox::TakeFirst(std::optional<TargetId> only) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto passes = [&](const Entry& entry) {
        return !only || entry.target == *only || entry.message.number == kWakeUpMessage;
    };
    const auto found = std::find_if(queue_.begin(), queue_.end(), passes);
    if (found == queue_.end()) {
        return std::nullopt;
    }
    Entry entry = *found;
    queue_.erase(found);
    return entry;
}

void PosixMailbox::DropTarget(TargetId target) {
    const std::lock_guard<std::mutex> lock(mutex_);
    std::erase_if(queue_, [&](const Entry& entry) { return entry.target == target; });
}

bool PosixMailbox::Empty() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return queue_.empty();
}

void PosixMailbox::Wake() {
    // Only write(2): this runs in signal handlers too. A full pipe wakes the loop already.
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(pipe_[1], &byte, 1);
}

void PosixMailbox::DrainWake() {
    char buffer[64];
    while (read(pipe_[0], buffer, sizeof buffer) > 0) {
    }
}

bool PosixLoopBackend::Post(TargetId target, const LoopMessage& message) {
    mailbox_->PostLocal(target, message);
    return true;
}

bool PosixLoopBackend::DispatchQueued(std::optional<TargetId> only) {
    Poll(0);
    bool dispatched = false;
    while (!core_.HasPendingError() && !core_.QuitRequested()) {
        const std::optional<PosixMailbox::Entry> entry = mailbox_->TakeFirst(only);
        if (!entry) {
            break;
        }
        dispatched = true;
        core_.Deliver(entry->target, entry->message);
    }
    return dispatched;
}

void PosixLoopBackend::Wait(bool filtered, std::int64_t timeout_ms) {
    Poll(!filtered && !mailbox_->Empty() ? 0 : timeout_ms);
}

void PosixLoopBackend::Unwatch(PollWatcher& watcher) {
    std::erase(watchers_, &watcher);
}

void PosixLoopBackend::Poll(std::int64_t timeout_ms) {
    std::vector<pollfd> fds{pollfd{mailbox_->WakeFd(), POLLIN, 0}};
    std::vector<PollWatcher*> polled;
    for (PollWatcher* watcher : watchers_) {
        if (const short events = watcher->PollEvents(); events != 0) {
            fds.push_back(pollfd{watcher->PollFd(), events, 0});
            polled.push_back(watcher);
        }
    }
    const int timeout =
        timeout_ms < 0 ? -1 : static_cast<int>(std::min<std::int64_t>(timeout_ms, INT_MAX));
    if (poll(fds.data(), fds.size(), timeout) <= 0) {
        return;
    }
    if (fds[0].revents != 0) {
        mailbox_->DrainWake();
    }
    // Watchers only queue events here; no handler runs, so none can unwatch meanwhile.
    for (std::size_t i = 0; i < polled.size(); ++i) {
        if (fds[i + 1].revents != 0) {
            polled[i]->OnPollReady(fds[i + 1].revents);
        }
    }
}

std::unique_ptr<LoopBackend> CreateLoopBackend(LoopCore& core) {
    return std::make_unique<PosixLoopBackend>(core);
}

}  // namespace px3
