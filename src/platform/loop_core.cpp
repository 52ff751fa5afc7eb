#include "platform/loop_core.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "base/exception.h"

namespace px3 {

TargetId NewTargetId() {
    static std::atomic<TargetId> next{1};
    return next.fetch_add(1);
}

std::uint32_t LoopCore::Attach(LoopAttachment& attachment, TargetId target) {
    // Numbers are handed out in a cycle, so a stale notice of a detached attachment is not
    // taken for a new one until the whole range has been used in between.
    constexpr std::uint32_t kRange = kLastNoticeNumber - kFirstNoticeNumber + 1;
    for (std::uint32_t tried = 0; tried < kRange; ++tried) {
        const std::uint32_t number = next_notice_number_;
        next_notice_number_ = number == kLastNoticeNumber ? kFirstNoticeNumber : number + 1;
        if (attachments_.try_emplace(number, AttachmentEntry{&attachment, target}).second) {
            return number;
        }
    }
    throw Exception("Too many sockets and lookups on one event loop");
}

void LoopCore::Detach(std::uint32_t number) {
    attachments_.erase(number);
}

void LoopCore::Deliver(TargetId target, const LoopMessage& message) {
    if (message.number >= kFirstNoticeNumber) {
        const auto found = attachments_.find(message.number);
        if (found == attachments_.end() || found->second.target != target) {
            return;
        }
        LoopAttachment* attachment = found->second.attachment;
        Guarded([&] { attachment->OnNotice(message); });
        return;
    }
    const auto found = targets_.find(target);
    if (found == targets_.end() || !found->second->handler_) {
        return;
    }
    // A copy, so that a handler may destroy its own target.
    const NotificationTarget::Handler handler = found->second->handler_;
    Guarded([&] { handler(message); });
}

void LoopCore::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        if (!error_handler_) {
            if (!pending_error_) {
                pending_error_ = std::current_exception();
            }
            return;
        }
        try {
            error_handler_(std::current_exception());
        } catch (...) {
            if (!pending_error_) {
                pending_error_ = std::current_exception();
            }
        }
    }
}

void LoopCore::RaisePendingError() {
    if (pending_error_) {
        std::exception_ptr error = std::exchange(pending_error_, nullptr);
        std::rethrow_exception(error);
    }
}

std::uint64_t LoopCore::AddTimer(TargetId target, std::function<void()> on_tick) {
    const std::uint64_t key = next_timer_key_++;
    timers_[key] = TimerEntry{target, 0, 0, false, std::move(on_tick)};
    return key;
}

void LoopCore::RemoveTimer(std::uint64_t key) {
    timers_.erase(key);
    TimersChanged();
}

void LoopCore::StartTimer(std::uint64_t key, std::uint32_t interval_ms) {
    TimerEntry& timer = timers_.at(key);
    timer.interval = std::max(interval_ms, kMinimumTimerInterval);
    timer.deadline = clock_.NowMs() + timer.interval;
    timer.running = true;
    TimersChanged();
}

void LoopCore::StopTimer(std::uint64_t key) {
    timers_.at(key).running = false;
    TimersChanged();
}

bool LoopCore::TimerRunning(std::uint64_t key) const {
    return timers_.at(key).running;
}

std::uint32_t LoopCore::TimerInterval(std::uint64_t key) const {
    return timers_.at(key).interval;
}

std::optional<std::int64_t> LoopCore::NextDeadline(std::optional<TargetId> only) const {
    std::optional<std::int64_t> next;
    for (const auto& [key, timer] : timers_) {
        if (timer.running && (!only || timer.target == *only) &&
            (!next || timer.deadline < *next)) {
            next = timer.deadline;
        }
    }
    return next;
}

bool LoopCore::FireDueTimers(std::optional<TargetId> only) {
    const std::int64_t now = clock_.NowMs();
    std::vector<std::pair<std::int64_t, std::uint64_t>> due;
    for (const auto& [key, timer] : timers_) {
        if (timer.running && timer.deadline <= now && (!only || timer.target == *only)) {
            due.emplace_back(timer.deadline, key);
        }
    }
    if (due.empty()) {
        return false;
    }
    std::stable_sort(due.begin(), due.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [deadline, key] : due) {
        if (HasPendingError()) {
            break;
        }
        // An earlier tick may have stopped, restarted or destroyed this timer.
        const auto found = timers_.find(key);
        if (found == timers_.end() || !found->second.running || found->second.deadline > now) {
            continue;
        }
        found->second.deadline = now + found->second.interval;
        const std::function<void()> on_tick = found->second.on_tick;
        Guarded(on_tick);
    }
    TimersChanged();
    return true;
}

void LoopCore::TimersChanged() const {
    if (timers_changed_) {
        timers_changed_();
    }
}

}  // namespace px3
