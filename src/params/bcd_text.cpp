#include "params/bcd_text.h"

#include "base/text.h"

namespace px3 {

namespace {

constexpr uint8_t kSignBit = 0x80;
constexpr uint8_t kPlacesMask = 0x3F;
constexpr size_t kMaxDigits = 64;

int DigitAt(const FmtBcd& bcd, size_t index) {
    const uint8_t pair = bcd.Digits[index / 2];
    return index % 2 == 0 ? pair >> 4 : pair & 0x0F;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::optional<std::string> BcdToText(const FmtBcd& bcd) {
    const size_t precision = bcd.Precision;
    const size_t places = bcd.SignAndPlaces & kPlacesMask;
    if (precision > kMaxDigits || places > precision) {
        return std::nullopt;
    }
    std::string digits;
    for (size_t i = 0; i < precision; ++i) {
        const int digit = DigitAt(bcd, i);
        if (digit > 9) {
            return std::nullopt;
        }
        digits += static_cast<char>('0' + digit);
    }
    std::string whole = digits.substr(0, precision - places);
    std::string decimals = digits.substr(precision - places);
    const size_t firstSignificant = whole.find_first_not_of('0');
    whole.erase(0, firstSignificant == std::string::npos ? whole.size() : firstSignificant);
    while (!decimals.empty() && decimals.back() == '0') {
        decimals.pop_back();
    }
    const bool zero = whole.empty() && decimals.empty();
    std::string text = (bcd.SignAndPlaces & kSignBit) != 0 && !zero ? "-" : "";
    text += whole.empty() ? "0" : whole;
    if (!decimals.empty()) {
        text += "." + decimals;
    }
    return text;
}

std::optional<FmtBcd> TextToBcd(std::string_view text) {
    text = Trim(text);
    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    std::string digits;
    size_t places = 0;
    bool seenDigit = false;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
        seenDigit = true;
        if (!digits.empty() || text[pos] != '0') {
            digits += text[pos];
        }
    }
    if (pos < text.size() && text[pos] == '.') {
        for (++pos; pos < text.size() && IsDigit(text[pos]); ++pos, ++places) {
            seenDigit = true;
            digits += text[pos];
        }
    }
    if (!seenDigit || pos != text.size() || digits.size() > kMaxDigits || places > kPlacesMask) {
        return std::nullopt;
    }
    if (digits.empty()) {
        digits.push_back('0');
    }
    FmtBcd bcd;
    bcd.Precision = static_cast<uint8_t>(digits.size());
    bool zero = true;
    for (size_t i = 0; i < digits.size(); ++i) {
        const int digit = digits[i] - '0';
        zero = zero && digit == 0;
        bcd.Digits[i / 2] |= static_cast<uint8_t>(i % 2 == 0 ? digit << 4 : digit);
    }
    bcd.SignAndPlaces =
        static_cast<uint8_t>((negative && !zero ? kSignBit : 0) | static_cast<uint8_t>(places));
    return bcd;
}

}  // namespace px3
