#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "params/value_types.h"

namespace px3 {

// Text forms of floating-point and currency values. They use "." as the decimal separator
// whatever the locale, so a value written on one PC reads back on any other.

// The shortest text that reads back as the same double, e.g. "1.5", "-0.001", "1e+20".
std::string FloatToText(double value);
std::string FloatToText(float value);

// Reads a finite number: blanks around it, an optional sign, digits with an optional "." part
// and an optional exponent. Anything else gives nothing.
std::optional<double> TextToFloat(std::string_view text);

// The amount with up to four decimals and no trailing zeros, e.g. "12.5", "-0.0001", "3".
std::string CurrencyToText(Currency value);

// Reads blanks, an optional sign, digits and an optional "." part; decimals beyond the fourth
// round half away from zero. A number outside the currency range gives nothing.
std::optional<Currency> TextToCurrency(std::string_view text);

}  // namespace px3
