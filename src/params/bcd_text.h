#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "params/value_types.h"

namespace px3 {

// The number as plain decimal text with "." before the decimals, without leading zeros in the
// whole part or trailing zeros in the decimals, e.g. "-12.5", "0.001", "0". Nothing for a
// record that is not a valid number (precision above 64, more places than digits, a nibble
// above 9).
std::optional<std::string> BcdToText(const FmtBcd& bcd);

// Reads blanks, an optional sign, digits and an optional "." part (at most 64 digits after
// leading zeros of the whole part, at most 63 decimals).
std::optional<FmtBcd> TextToBcd(std::string_view text);

}  // namespace px3
