#pragma once

#include <functional>

#include "platform/event_loop.h"

namespace px3 {

// Waits for a reply while dispatching only the events of one notification target (and wake-up
// messages); everything else the application has queued stays queued, in order, until the wait
// ends. No time limit: the wait ends with StopWait, or when the event loop is asked to quit.
class TSmartWait {
  public:
    explicit TSmartWait(NotificationTarget& target) : target_(target) {}
    TSmartWait(const TSmartWait&) = delete;
    TSmartWait& operator=(const TSmartWait&) = delete;

    // Returns at once when a wait is already running. An error escaping a dispatched event ends
    // the wait and leaves this call.
    void Wait();
    // Ends a running wait: wakes it and clears the waiting flag.
    void StopWait();
    bool Waiting() const { return waiting_; }

    std::function<void()> OnStartOfWait;
    std::function<void()> OnEndOfWait;

  private:
    NotificationTarget& target_;
    bool waiting_ = false;
};

}  // namespace px3
