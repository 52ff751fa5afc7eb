#include "base/text.h"

#include <charconv>
#include <limits>

#include "base/exception.h"

namespace px3 {

namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Parses the integer syntax shared by the 32- and 64-bit readers into a magnitude and sign.
// Hexadecimal magnitudes may fill the whole unsigned width; they are taken as two's complement.
template <typename Signed>
std::optional<Signed> ParseInteger(std::string_view text) {
    using Unsigned = std::make_unsigned_t<Signed>;
    size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    int base = 10;
    if (pos < text.size() && text[pos] == '$') {
        base = 16;
        ++pos;
    } else if (pos + 1 < text.size() && text[pos] == '0' && LowerAscii(text[pos + 1]) == 'x') {
        base = 16;
        pos += 2;
    }
    if (pos >= text.size()) {
        return std::nullopt;
    }
    Unsigned magnitude = 0;
    const char* first = text.data() + pos;
    const char* last = text.data() + text.size();
    auto [end, error] = std::from_chars(first, last, magnitude, base);
    if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    if (base == 16) {
        Signed value = static_cast<Signed>(magnitude);
        return negative ? static_cast<Signed>(Unsigned{0} - static_cast<Unsigned>(value)) : value;
    }
    constexpr Unsigned kMax = static_cast<Unsigned>(std::numeric_limits<Signed>::max());
    if (negative) {
        if (magnitude > kMax + 1) {
            return std::nullopt;
        }
        return static_cast<Signed>(Unsigned{0} - magnitude);
    }
    if (magnitude > kMax) {
        return std::nullopt;
    }
    return static_cast<Signed>(magnitude);
}

}  // namespace

std::string_view Trim(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') {
        ++begin;
    }
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') {
        --end;
    }
    return text.substr(begin, end - begin);
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

std::string UpperCaseAscii(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return result;
}

std::optional<int32_t> TryStrToInt(std::string_view text) {
    return ParseInteger<int32_t>(text);
}

std::optional<int64_t> TryStrToInt64(std::string_view text) {
    return ParseInteger<int64_t>(text);
}

int32_t StrToInt(std::string_view text) {
    if (auto value = TryStrToInt(text)) {
        return *value;
    }
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

int32_t StrToIntDef(std::string_view text, int32_t fallback) {
    return TryStrToInt(text).value_or(fallback);
}

std::string IntToStr(int64_t value) {
    return std::to_string(value);
}

}  // namespace px3
