#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>

#include "platform/clock.h"

namespace px3 {

// A message posted to a notification target: its number and two parameters.
struct LoopMessage {
    std::uint32_t number = 0;
    std::uintptr_t wparam = 0;
    std::intptr_t lparam = 0;
};

// Numbers that callers may post. Numbers above this range belong to the loop itself (socket
// events, lookup results) and are never handed to a target's handler.
inline constexpr std::uint32_t kFirstUserMessage = 0x0400;
inline constexpr std::uint32_t kLastUserMessage = 0x7FFF;

// The wake-up message: a target-filtered wait dispatches it whatever its target.
inline constexpr std::uint32_t kWakeUpMessage = 0x0401;

// Shortest timer interval; shorter ones are raised to it.
inline constexpr std::uint32_t kMinimumTimerInterval = 10;

class NotificationTarget;

// The one event loop of a thread. It delivers, on its own thread and in order, messages posted
// to notification targets, timer ticks and socket events (see tcp_socket.h). On Windows the
// unfiltered run calls also dispatch the messages of the thread's other windows; a quit message
// posted to the thread counts as Quit.
//
// Every call is made on the loop's thread, but QuitFromAnyThread. Timers, sockets and lookups
// must be destroyed before the target they were made on, and everything before the loop.
// An exception escaping a handler goes to the error handler when one is set (and the loop goes
// on); without one it leaves the run call that dispatched it, after the dispatch has ended.
class EventLoop {
  public:
    // A loop timed by the system's monotonic clock.
    EventLoop();
    // A loop whose timers run on the given clock (a FakeClock in tests); the clock must outlive
    // the loop.
    explicit EventLoop(Clock& clock);
    ~EventLoop();
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    // The loop most recently created on this thread and still alive, or nullptr.
    static EventLoop* Current();

    Clock& GetClock() const;

    // Dispatches everything until Quit is asked for.
    void Run();

    // Dispatches everything that is pending now (messages, socket events, due timers), and what
    // those handlers post in turn, until nothing is left; never blocks.
    void ProcessPending();

    // Waits at most max_wait_ms for anything to arrive (at once when something is pending), then
    // does ProcessPending: one pass of a wait that keeps the whole application responsive.
    void WaitAndProcess(std::int64_t max_wait_ms);

    // Dispatches only the messages, socket events and timer ticks of one target, and wake-up
    // messages of any target, until done() holds or Quit is asked for. Everything else stays
    // queued, in order, for a later run call. No time limit. Returns done().
    bool PumpTargetUntil(NotificationTarget& target, const std::function<bool()>& done);

    // Asks every run call, nested ones included, to return; it stays asked for.
    void Quit();
    bool QuitRequested() const;

    // Quit for another thread, and on POSIX for a signal handler (it only sets a flag and wakes
    // the loop).
    void QuitFromAnyThread();

    void SetErrorHandler(std::function<void(std::exception_ptr)> handler);

  private:
    friend struct LoopAccess;
    struct Impl;
    std::unique_ptr<Impl> impl_;
    EventLoop* previous_current_;
};

// An object that receives posted messages through the loop (on Windows a message-only window).
// Sockets, timers and lookups belong to a target; a target-filtered wait dispatches exactly
// what belongs to its target.
class NotificationTarget {
  public:
    using Handler = std::function<void(const LoopMessage&)>;

    explicit NotificationTarget(EventLoop& loop, Handler handler = {});
    // Messages still queued for the target are dropped.
    ~NotificationTarget();
    NotificationTarget(const NotificationTarget&) = delete;
    NotificationTarget& operator=(const NotificationTarget&) = delete;

    void SetHandler(Handler handler) { handler_ = std::move(handler); }

    // Queues a message for the target. False, and nothing queued, when number lies outside
    // kFirstUserMessage..kLastUserMessage or the platform's queue refused it.
    bool Post(std::uint32_t number, std::uintptr_t wparam = 0, std::intptr_t lparam = 0);

    EventLoop& Loop() const { return loop_; }
    std::uint64_t Id() const { return id_; }

  private:
    friend class LoopCore;
    EventLoop& loop_;
    std::uint64_t id_;
    Handler handler_;
};

// A periodic timer. Its ticks come through the loop; a timer made on a target ticks only in run
// calls that dispatch that target, a timer made on the loop only in unfiltered ones. Ticks do
// not pile up: however late the loop is, a due timer ticks once and is due again one interval
// after that tick.
class Timer {
  public:
    Timer(EventLoop& loop, std::function<void()> on_tick);
    Timer(NotificationTarget& target, std::function<void()> on_tick);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    // (Re)starts the timer: the first tick is due interval_ms from now.
    void Start(std::uint32_t interval_ms);
    void Stop();
    bool Running() const;
    std::uint32_t Interval() const;

  private:
    EventLoop& loop_;
    std::uint64_t key_;
};

}  // namespace px3
