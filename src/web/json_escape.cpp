#include "web/json_escape.h"

#include "base/exception.h"

namespace px3 {

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The byte written by the two hexadecimal digits at the start of the text, or -1.
int HexByte(std::string_view two) {
    const int high = HexDigitValue(two[0]);
    const int low = HexDigitValue(two[1]);
    return (high < 0 || low < 0) ? -1 : high * 16 + low;
}

}  // namespace

std::string JsonEscape(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '\b':
                result += "\\b";
                break;
            case '\t':
                result += "\\t";
                break;
            case '\n':
                result += "\\n";
                break;
            case '\f':
                result += "\\f";
                break;
            case '\r':
                result += "\\r";
                break;
            case '"':
            case '/':
            case '\\':
                result += '\\';
                result += c;
                break;
            default:
                result += c;
        }
    }
    return result;
}

std::string JsonUnescape(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (size_t pos = 0; pos < text.size(); ++pos) {
        if (text[pos] != '\\' || pos + 1 == text.size()) {
            result += text[pos];
            continue;
        }
        const char escaped = text[++pos];
        switch (escaped) {
            case 'b':
                result += '\b';
                break;
            case 'f':
                result += '\f';
                break;
            case 'n':
                result += '\n';
                break;
            case 'r':
                result += '\r';
                break;
            case 't':
                result += '\t';
                break;
            case 'u': {
                const std::string_view digits = text.substr(pos + 1, 4);
                const int high = digits.size() == 4 ? HexByte(digits.substr(0, 2)) : -1;
                const int low = digits.size() == 4 ? HexByte(digits.substr(2, 2)) : -1;
                if (high < 0 || low < 0) {
                    throw Exception("Illegal four-hex-digits \"" + std::string(digits) + "\"");
                }
                result += static_cast<char>(low);
                result += static_cast<char>(high);
                pos += 4;
                break;
            }
            default:
                result += escaped;
        }
    }
    return result;
}

}  // namespace px3
