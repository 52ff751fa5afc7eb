#pragma once

#include <string>
#include <string_view>

namespace px3 {

// The text of an INI file after setting key=value in section: the first line of that key in that
// section (names compared without regard to ASCII case) gets the new value, a missing key is added
// after the last non-blank line of its section, a missing section is added at the end. Every other
// line keeps its bytes; added lines end in CR LF.
std::string SetIniValue(std::string_view fileText, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace px3
