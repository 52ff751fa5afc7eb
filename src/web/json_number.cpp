#include "web/json_number.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/exception.h"
#include "base/text.h"

namespace px3 {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Significant digits handed to the C library; further digits only decide ties and are folded
// into one final non-zero digit when any of them is not zero.
constexpr size_t kKeptDigits = 40;

// Decimal magnitudes beyond these limits are out of the 80-bit range whatever the digits.
constexpr int64_t kMagnitudeLimit = 5000;
constexpr int64_t kExponentCap = 1'000'000'000'000'000;

constexpr int kGeneralDigits = 15;

}  // namespace

std::optional<long double> TryStrToFloat(std::string_view text) {
    text = Trim(text);
    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // The mantissa's digits without leading zeros, and the power of ten they are to be scaled by.
    std::string digits;
    bool any_digit = false;
    bool dropped_non_zero = false;
    int64_t scale = 0;
    auto take_digit = [&](char c, bool fraction) {
        any_digit = true;
        if (fraction) {
            --scale;
        }
        if (digits.empty() && c == '0') {
            return;
        }
        if (digits.size() < kKeptDigits) {
            digits.push_back(c);
        } else {
            ++scale;
            dropped_non_zero = dropped_non_zero || c != '0';
        }
    };
    while (pos < text.size() && IsDigit(text[pos])) {
        take_digit(text[pos++], false);
    }
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && IsDigit(text[pos])) {
            take_digit(text[pos++], true);
        }
    }
    if (!any_digit) {
        return std::nullopt;
    }
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        bool exponent_negative = false;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            exponent_negative = text[pos] == '-';
            ++pos;
        }
        if (pos == text.size() || !IsDigit(text[pos])) {
            return std::nullopt;
        }
        int64_t exponent = 0;
        while (pos < text.size() && IsDigit(text[pos])) {
            exponent = std::min(exponent * 10 + (text[pos++] - '0'), kExponentCap);
        }
        scale += exponent_negative ? -exponent : exponent;
    }
    if (pos != text.size()) {
        return std::nullopt;
    }
    if (digits.empty()) {
        return negative ? -0.0L : 0.0L;
    }
    if (dropped_non_zero) {
        digits.push_back('1');
        --scale;
    }
    const int64_t magnitude = scale + static_cast<int64_t>(digits.size());
    if (magnitude > kMagnitudeLimit || magnitude < -kMagnitudeLimit) {
        return std::nullopt;
    }
    // The normalised text has no decimal separator, so the C library reads it the same way in
    // every locale.
    std::string normalised = digits + "e" + std::to_string(scale);
    long double value = std::strtold(normalised.c_str(), nullptr);
    if (std::isinf(value) || value == 0.0L) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

long double StrToFloat(std::string_view text) {
    if (auto value = TryStrToFloat(text)) {
        return *value;
    }
    throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
}

std::string FloatToStr(long double value) {
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "INF" : "-INF";
    }
    // The C library rounds correctly; only its digits and exponent are taken, so the locale's
    // decimal separator in its output does not matter.
    char scientific[64];
    std::snprintf(scientific, sizeof scientific, "%.*Le", kGeneralDigits - 1, value);
    const bool negative = scientific[0] == '-';
    std::string digits;
    const char* pos = scientific;
    while (*pos != 'e') {
        if (IsDigit(*pos)) {
            digits.push_back(*pos);
        }
        ++pos;
    }
    const int exponent = std::atoi(pos + 1);
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    if (digits == "0") {
        return "0";
    }
    std::string result = negative ? "-" : "";
    if (exponent < -4 || exponent >= kGeneralDigits) {
        result += digits[0];
        if (digits.size() > 1) {
            result += '.';
            result.append(digits, 1);
        }
        return result + "E" + std::to_string(exponent);
    }
    if (exponent < 0) {
        return result + "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    }
    const size_t whole = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= whole) {
        return result + digits + std::string(whole - digits.size(), '0');
    }
    return result + digits.substr(0, whole) + "." + digits.substr(whole);
}

}  // namespace px3
