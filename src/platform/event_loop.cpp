#include "platform/event_loop.h"

#include <algorithm>

#include "platform/loop_backend.h"
#include "platform/loop_core.h"

namespace px3 {

namespace {

thread_local EventLoop* current_loop = nullptr;

Clock& DefaultClock() {
    static SteadyClock clock;
    return clock;
}

}  // namespace

struct EventLoop::Impl {
    explicit Impl(Clock& clock) : core(clock), backend(CreateLoopBackend(core)) {}

    // One round of dispatching: queued messages, then due timers (like the platform's own
    // timers, ticks come after the messages already waiting). False when nothing was there.
    bool DispatchRound(std::optional<TargetId> only) {
        bool dispatched = backend->DispatchQueued(only);
        core.RaisePendingError();
        dispatched = core.FireDueTimers(only) || dispatched;
        core.RaisePendingError();
        return dispatched;
    }

    // Blocks until something may have arrived, a timer that passes the filter is due, or
    // limit_ms have passed (-1: no limit).
    void Block(std::optional<TargetId> only, std::int64_t limit_ms) {
        std::int64_t timeout = limit_ms;
        const Clock& clock = core.GetClock();
        if (const auto deadline = core.NextDeadline(only)) {
            const std::int64_t until_deadline =
                std::max<std::int64_t>(0, *deadline - clock.NowMs());
            // A clock that does not follow real time gets nearer a deadline only when told to;
            // a deadline it has already reached ends the wait at once all the same.
            if (until_deadline == 0 || clock.FollowsRealTime()) {
                timeout = timeout < 0 ? until_deadline : std::min(timeout, until_deadline);
            }
        }
        backend->Wait(only.has_value(), timeout);
    }

    LoopCore core;
    std::unique_ptr<LoopBackend> backend;
};

EventLoop::EventLoop() : EventLoop(DefaultClock()) {}

EventLoop::EventLoop(Clock& clock)
    : impl_(std::make_unique<Impl>(clock)), previous_current_(current_loop) {
    current_loop = this;
}

EventLoop::~EventLoop() {
    if (current_loop == this) {
        current_loop = previous_current_;
    }
}

EventLoop* EventLoop::Current() {
    return current_loop;
}

Clock& EventLoop::GetClock() const {
    return impl_->core.GetClock();
}

void EventLoop::Run() {
    while (!QuitRequested()) {
        if (!impl_->DispatchRound(std::nullopt) && !QuitRequested()) {
            impl_->Block(std::nullopt, -1);
        }
    }
}

void EventLoop::ProcessPending() {
    while (!QuitRequested() && impl_->DispatchRound(std::nullopt)) {
    }
}

void EventLoop::WaitAndProcess(std::int64_t max_wait_ms) {
    if (QuitRequested()) {
        return;
    }
    impl_->Block(std::nullopt, std::max<std::int64_t>(0, max_wait_ms));
    ProcessPending();
}

bool EventLoop::PumpTargetUntil(NotificationTarget& target, const std::function<bool()>& done) {
    const TargetId id = target.Id();
    while (!done()) {
        if (QuitRequested()) {
            return false;
        }
        if (!impl_->DispatchRound(id) && !done() && !QuitRequested()) {
            impl_->Block(id, -1);
        }
    }
    return true;
}

void EventLoop::Quit() {
    impl_->core.RequestQuit();
}

bool EventLoop::QuitRequested() const {
    return impl_->core.QuitRequested();
}

void EventLoop::QuitFromAnyThread() {
    impl_->core.RequestQuit();
    impl_->backend->WakeFromAnyThread();
}

void EventLoop::SetErrorHandler(std::function<void(std::exception_ptr)> handler) {
    impl_->core.SetErrorHandler(std::move(handler));
}

LoopCore& LoopAccess::Core(EventLoop& loop) {
    return loop.impl_->core;
}

LoopBackend& LoopAccess::Backend(EventLoop& loop) {
    return *loop.impl_->backend;
}

NotificationTarget::NotificationTarget(EventLoop& loop, Handler handler)
    : loop_(loop), id_(NewTargetId()), handler_(std::move(handler)) {
    LoopAccess::Core(loop_).AddTarget(*this);
    LoopAccess::Backend(loop_).AddTarget(id_);
}

NotificationTarget::~NotificationTarget() {
    LoopAccess::Backend(loop_).RemoveTarget(id_);
    LoopAccess::Core(loop_).RemoveTarget(id_);
}

bool NotificationTarget::Post(std::uint32_t number, std::uintptr_t wparam, std::intptr_t lparam) {
    if (number < kFirstUserMessage || number > kLastUserMessage) {
        return false;
    }
    return LoopAccess::Backend(loop_).Post(id_, LoopMessage{number, wparam, lparam});
}

Timer::Timer(EventLoop& loop, std::function<void()> on_tick)
    : loop_(loop), key_(LoopAccess::Core(loop).AddTimer(NewTargetId(), std::move(on_tick))) {}

Timer::Timer(NotificationTarget& target, std::function<void()> on_tick)
    : loop_(target.Loop()),
      key_(LoopAccess::Core(loop_).AddTimer(target.Id(), std::move(on_tick))) {}

Timer::~Timer() {
    LoopAccess::Core(loop_).RemoveTimer(key_);
}

void Timer::Start(std::uint32_t interval_ms) {
    LoopAccess::Core(loop_).StartTimer(key_, interval_ms);
}

void Timer::Stop() {
    LoopAccess::Core(loop_).StopTimer(key_);
}

bool Timer::Running() const {
    return LoopAccess::Core(loop_).TimerRunning(key_);
}

std::uint32_t Timer::Interval() const {
    return LoopAccess::Core(loop_).TimerInterval(key_);
}

}  // namespace px3
