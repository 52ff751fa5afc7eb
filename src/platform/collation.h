#pragma once

#include <string_view>

namespace px3 {

// Compares two texts with the user's locale, ignoring letter case: negative when a sorts before b,
// zero when they sort alike, positive when a sorts after b.
int CompareTextIgnoreCase(std::string_view a, std::string_view b);

}  // namespace px3
