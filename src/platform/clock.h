#pragma once

#include <cstdint>

namespace px3 {

// The time base of an event loop's timers: milliseconds on a scale that never goes back.
class Clock {
  public:
    virtual ~Clock() = default;

    virtual std::int64_t NowMs() const = 0;

    // True when the clock moves with real time, so that a blocking wait may sleep until a timer's
    // deadline. A clock that only moves when told to gives the wait no deadline to sleep to.
    virtual bool FollowsRealTime() const = 0;
};

// Real time from the system's monotonic clock.
class SteadyClock final : public Clock {
  public:
    std::int64_t NowMs() const override;
    bool FollowsRealTime() const override { return true; }
};

// A clock that stands still until Advance moves it, so that tests run timers of minutes at once.
class FakeClock final : public Clock {
  public:
    explicit FakeClock(std::int64_t start_ms = 0) : now_ms_(start_ms) {}

    std::int64_t NowMs() const override { return now_ms_; }
    bool FollowsRealTime() const override { return false; }

    void Advance(std::int64_t ms) { now_ms_ += ms; }

  private:
    std::int64_t now_ms_;
};

}  // namespace px3
