#include "platform/win32/loop_backend_win32.h"

#include <algorithm>

#include "base/exception.h"
#include "platform/win32/winsock_init.h"

namespace px3 {

namespace {

constexpr char kWindowClassName[] = "Px3LoopNotificationWindow";
constexpr UINT_PTR kAlarmTimerId = 1;

LRESULT CALLBACK NotificationWindowProc(HWND window, UINT number, WPARAM wparam, LPARAM lparam) {
    const auto* link = reinterpret_cast<const Win32LoopBackend::WindowLink*>(
        GetWindowLongPtrA(window, GWLP_USERDATA));
    if (link != nullptr) {
        if (link->target == 0) {
            if (number == WM_TIMER && wparam == kAlarmTimerId) {
                link->backend->OnAlarm();
                return 0;
            }
        } else if (number >= kFirstUserMessage && number <= kLastNoticeNumber) {
            link->backend->Core().Deliver(link->target, LoopMessage{number, wparam, lparam});
            return 0;
        }
    }
    return DefWindowProcA(window, number, wparam, lparam);
}

void RegisterWindowClass() {
    static const bool registered = [] {
        WNDCLASSA window_class{};
        window_class.lpfnWndProc = NotificationWindowProc;
        window_class.hInstance = GetModuleHandleA(nullptr);
        window_class.lpszClassName = kWindowClassName;
        return RegisterClassA(&window_class) != 0;
    }();
    if (!registered) {
        throw Exception("Can't register the notification window class");
    }
}

std::unique_ptr<Win32LoopBackend::WindowLink> CreateLinkedWindow(Win32LoopBackend* backend,
                                                                 TargetId target) {
    const HWND window = CreateWindowExA(0, kWindowClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) {
        throw Exception("Can't create a notification window");
    }
    auto link = std::make_unique<Win32LoopBackend::WindowLink>(
        Win32LoopBackend::WindowLink{backend, target, window});
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(link.get()));
    return link;
}

}  // namespace

bool Win32Mailbox::PostNow(TargetId target, const LoopMessage& message) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto found = windows_.find(target);
    return found != windows_.end() &&
           PostMessageA(found->second, message.number, message.wparam, message.lparam) != 0;
}

void Win32Mailbox::Add(TargetId target, HWND window) {
    const std::lock_guard<std::mutex> lock(mutex_);
    windows_[target] = window;
}

void Win32Mailbox::Remove(TargetId target) {
    const std::lock_guard<std::mutex> lock(mutex_);
    windows_.erase(target);
}

Win32LoopBackend::Win32LoopBackend(LoopCore& core) : core_(core) {
    EnsureWinsock();
    RegisterWindowClass();
    own_link_ = CreateLinkedWindow(this, 0);
    core_.SetTimersChangedHook([this] { SetAlarm(); });
}

Win32LoopBackend::~Win32LoopBackend() {
    core_.SetTimersChangedHook({});
    for (const auto& [target, link] : links_) {
        mailbox_->Remove(target);
        DestroyWindow(link->window);
    }
    DestroyWindow(own_link_->window);
}

void Win32LoopBackend::AddTarget(TargetId target) {
    std::unique_ptr<WindowLink> link = CreateLinkedWindow(this, target);
    mailbox_->Add(target, link->window);
    links_[target] = std::move(link);
}

void Win32LoopBackend::RemoveTarget(TargetId target) {
    const auto found = links_.find(target);
    if (found == links_.end()) {
        return;
    }
    mailbox_->Remove(target);
    DestroyWindow(found->second->window);
    links_.erase(found);
}

HWND Win32LoopBackend::WindowOf(TargetId target) const {
    const auto found = links_.find(target);
    return found == links_.end() ? nullptr : found->second->window;
}

bool Win32LoopBackend::TakeMessage(std::optional<TargetId> only, MSG& message) const {
    if (!only) {
        return PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != 0;
    }
    // Filtered: the target's own window, wake-up messages of any window, and the quit message;
    // everything else is left where it is, in its order.
    const HWND window = WindowOf(*only);
    return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0 ||
           (window != nullptr && PeekMessageA(&message, window, 0, 0, PM_REMOVE) != 0) ||
           PeekMessageA(&message, nullptr, kWakeUpMessage, kWakeUpMessage, PM_REMOVE) != 0;
}

bool Win32LoopBackend::DispatchQueued(std::optional<TargetId> only) {
    bool dispatched = false;
    MSG message;
    while (!core_.HasPendingError() && !core_.QuitRequested() && TakeMessage(only, message)) {
        dispatched = true;
        if (message.message == WM_QUIT) {
            core_.RequestQuit();
            break;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return dispatched;
}

void Win32LoopBackend::Wait(bool filtered, std::int64_t timeout_ms) {
    const DWORD timeout =
        timeout_ms < 0 ? INFINITE
                       : static_cast<DWORD>(std::min<std::int64_t>(timeout_ms, INFINITE - 1));
    // Unfiltered, any unread input ends the wait at once. Filtered, only input that arrived
    // since the last look does, so messages left queued for later do not keep it spinning.
    MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT,
                                filtered ? 0 : MWMO_INPUTAVAILABLE);
}

void Win32LoopBackend::WakeFromAnyThread() {
    PostMessageA(own_link_->window, WM_NULL, 0, 0);
}

void Win32LoopBackend::OnAlarm() {
    core_.FireDueTimers(std::nullopt);
    SetAlarm();
}

void Win32LoopBackend::SetAlarm() {
    const Clock& clock = core_.GetClock();
    const std::optional<std::int64_t> deadline = core_.NextDeadline(std::nullopt);
    if (!deadline || !clock.FollowsRealTime()) {
        KillTimer(own_link_->window, kAlarmTimerId);
        return;
    }
    const std::int64_t delay =
        std::clamp<std::int64_t>(*deadline - clock.NowMs(), USER_TIMER_MINIMUM, 0x7FFFFFFF);
    SetTimer(own_link_->window, kAlarmTimerId, static_cast<UINT>(delay), nullptr);
}

std::unique_ptr<LoopBackend> CreateLoopBackend(LoopCore& core) {
    return std::make_unique<Win32LoopBackend>(core);
}

}  // namespace px3
