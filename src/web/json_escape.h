#pragma once

#include <string>
#include <string_view>

namespace px3 {

// Writes a text for the inside of a JSON string: backspace, tab, line feed, form feed and carriage
// return become \b \t \n \f \r; the double quote, the slash and the backslash get a backslash
// before them; every other byte is written unchanged.
std::string JsonEscape(std::string_view text);

// Reads the inside of a JSON string. \b \f \n \r \t give their control characters; \uHHLL gives
// the two bytes LL, HH (the code unit is not converted to the code page); a backslash before any
// other character gives that character, and a backslash at the very end stays. Raises
// "Illegal four-hex-digits "XXXX"" when the four characters after \u are not hexadecimal digits.
std::string JsonUnescape(std::string_view text);

}  // namespace px3
