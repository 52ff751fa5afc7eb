#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace px3 {

// Reads a decimal floating-point text into an 80-bit number, independent of the locale: optional
// blanks (as Trim removes them), an optional sign, digits with an optional "." (at least one digit
// before or after it), an optional exponent ("e" or "E", an optional sign, at least one digit).
// Nothing else converts: no hexadecimal, no "inf" or "nan", no grouping, no "," separator.
// A value beyond the range of the 80-bit format, or so small that it would become zero, does not
// convert either.
std::optional<long double> TryStrToFloat(std::string_view text);

// As TryStrToFloat, failing with EConvertError "'TEXT' is not a valid floating point value".
long double StrToFloat(std::string_view text);

// Writes a number in the general format: rounded to 15 significant digits, no trailing zeros,
// "." as the decimal separator, no separator for whole numbers. Magnitudes from 1E15 upwards and
// below 1E-4 are written as a mantissa and an exponent: "1.5E-5", "1E15", "-2.5E300".
// Non-finite values are written "NAN", "INF" and "-INF".
std::string FloatToStr(long double value);

}  // namespace px3
