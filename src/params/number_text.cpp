#include "params/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "base/text.h"

namespace px3 {

namespace {

template <typename Real>
std::string ShortestText(Real value) {
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, error == std::errc() ? end : buffer);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Appends one decimal digit to a magnitude, failing on overflow.
bool PushDigit(uint64_t& magnitude, char digit) {
    return !__builtin_mul_overflow(magnitude, 10u, &magnitude) &&
           !__builtin_add_overflow(magnitude, static_cast<unsigned>(digit - '0'), &magnitude);
}

}  // namespace

std::string FloatToText(double value) {
    return ShortestText(value);
}

std::string FloatToText(float value) {
    return ShortestText(value);
}

std::optional<double> TextToFloat(std::string_view text) {
    text = Trim(text);
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') {
        text.remove_prefix(1);
    }
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string CurrencyToText(Currency value) {
    const bool negative = value.Scaled < 0;
    const uint64_t magnitude =
        negative ? uint64_t{0} - static_cast<uint64_t>(value.Scaled) : value.Scaled;
    std::string text = negative ? "-" : "";
    text += std::to_string(magnitude / 10000);
    std::string decimals = std::to_string(10000 + magnitude % 10000).substr(1);
    while (!decimals.empty() && decimals.back() == '0') {
        decimals.pop_back();
    }
    if (!decimals.empty()) {
        text += "." + decimals;
    }
    return text;
}

std::optional<Currency> TextToCurrency(std::string_view text) {
    text = Trim(text);
    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    uint64_t magnitude = 0;
    int digits = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos, ++digits) {
        if (!PushDigit(magnitude, text[pos])) {
            return std::nullopt;
        }
    }
    int decimals = 0;
    bool roundUp = false;
    if (pos < text.size() && text[pos] == '.') {
        for (++pos; pos < text.size() && IsDigit(text[pos]); ++pos, ++digits, ++decimals) {
            if (decimals < 4) {
                if (!PushDigit(magnitude, text[pos])) {
                    return std::nullopt;
                }
            } else if (decimals == 4) {
                roundUp = text[pos] >= '5';
            }
        }
    }
    if (digits == 0 || pos != text.size()) {
        return std::nullopt;
    }
    for (; decimals < 4; ++decimals) {
        if (!PushDigit(magnitude, '0')) {
            return std::nullopt;
        }
    }
    if (roundUp && __builtin_add_overflow(magnitude, 1u, &magnitude)) {
        return std::nullopt;
    }
    constexpr uint64_t kMax = std::numeric_limits<int64_t>::max();
    if (magnitude > kMax + (negative ? 1 : 0)) {
        return std::nullopt;
    }
    const int64_t scaled = static_cast<int64_t>(negative ? uint64_t{0} - magnitude : magnitude);
    return Currency{scaled};
}

}  // namespace px3
