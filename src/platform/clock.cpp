#include "platform/clock.h"

#include <chrono>

namespace px3 {

std::int64_t SteadyClock::NowMs() const {
    const auto since_start = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(since_start).count();
}

}  // namespace px3
