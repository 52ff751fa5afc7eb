#include "messaging/info_number.h"

#include <charconv>
#include <string>

#include "base/text.h"

namespace px3 {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Copies the digits at pos to out; returns how many there were.
size_t CopyDigits(std::string_view text, size_t& pos, std::string& out) {
    const size_t start = pos;
    while (pos < text.size() && IsDigit(text[pos])) {
        out += text[pos++];
    }
    return pos - start;
}

// Rewrites the number with "." as its separator; empty when the text is no number.
std::string Normalised(std::string_view text, char separator) {
    std::string out;
    size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        out += text[pos++];
    }
    size_t digits = CopyDigits(text, pos, out);
    if (pos < text.size() && text[pos] == separator) {
        out += '.';
        ++pos;
        digits += CopyDigits(text, pos, out);
    }
    if (digits == 0) {
        return {};
    }
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        out += text[pos++];
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            out += text[pos++];
        }
        if (CopyDigits(text, pos, out) == 0) {
            return {};
        }
    }
    return pos == text.size() ? out : std::string();
}

}  // namespace

double InfoNumber(std::string_view text) {
    constexpr char kLocalSeparator = '.';
    text = Trim(text);
    char separator = kLocalSeparator;
    if (text.find(kLocalSeparator) == std::string_view::npos && text.size() >= 2) {
        separator = text[1];
    }
    const std::string number = Normalised(text, separator);
    double value = 0;
    if (number.empty()) {
        return 0;
    }
    const char* first = number.data() + (number[0] == '+' ? 1 : 0);
    const auto [end, error] = std::from_chars(first, number.data() + number.size(), value);
    return error == std::errc() && end == number.data() + number.size() ? value : 0;
}

}  // namespace px3
