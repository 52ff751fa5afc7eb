#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace px3 {

// Removes leading and trailing blanks and control characters (every byte up to and including
// the blank).
std::string_view Trim(std::string_view text);

// Compares two byte strings ignoring the case of ASCII letters only.
bool SameText(std::string_view a, std::string_view b);

std::string UpperCaseAscii(std::string_view text);

// Reads a whole signed 32-bit integer: leading blanks, a sign, and a "$" or "0x" hexadecimal
// prefix are allowed (hexadecimal numbers may use all 32 bits). Nothing else may follow.
std::optional<int32_t> TryStrToInt(std::string_view text);

// As TryStrToInt, for a whole signed 64-bit decimal or hexadecimal integer.
std::optional<int64_t> TryStrToInt64(std::string_view text);

// As TryStrToInt, failing with EConvertError "'TEXT' is not a valid integer value".
int32_t StrToInt(std::string_view text);

// As TryStrToInt, giving fallback for a text that is not a whole 32-bit integer.
int32_t StrToIntDef(std::string_view text, int32_t fallback);

std::string IntToStr(int64_t value);

}  // namespace px3
