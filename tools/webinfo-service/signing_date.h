#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/regional_time.h"

namespace px3 {

// Reads a request's date text "yyyy-mm-dd hh:nn:ss"; any one character may stand between hours,
// minutes and seconds, as the client's regional time separator may differ.
std::optional<LocalDateTime> ParseSigningDate(std::string_view text);

// The seconds from a to b, both readings of the same local clock.
std::int64_t SecondsBetween(const LocalDateTime& a, const LocalDateTime& b);

}  // namespace px3
