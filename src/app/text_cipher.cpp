#include "app/text_cipher.h"

#include <algorithm>
#include <chrono>
#include <random>

#include "base/text.h"

namespace px3 {

namespace {

// Moves the key position on by one, from the key's last byte back to its first, and returns
// that key byte.
unsigned KeyByte(std::string_view key, size_t& position) {
    position = position < key.size() ? position + 1 : 1;
    return static_cast<unsigned char>(key[position - 1]);
}

void AppendHex(std::string& text, unsigned value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    text += kDigits[value >> 4];
    text += kDigits[value & 0x0F];
}

// The value of up to two hexadecimal characters; fails with EConvertError "'$CC' is not a valid
// integer value" otherwise.
unsigned HexValue(std::string_view characters) {
    return static_cast<unsigned>(StrToInt("$" + std::string(characters)));
}

std::string Encipher(std::string_view text, std::string_view key, StartByteSource& startBytes) {
    unsigned s = startBytes.NextStartByte();
    std::string result;
    result.reserve(2 + 2 * text.size());
    AppendHex(result, s);
    size_t position = 0;
    for (char c : text) {
        const unsigned b = static_cast<unsigned char>(c);
        s = ((s + b) % 255) ^ KeyByte(key, position);
        AppendHex(result, s);
    }
    return result;
}

std::string Decipher(std::string_view text, std::string_view key) {
    unsigned previous = HexValue(text.substr(0, 2));
    std::string result;
    result.reserve(text.size() / 2);
    size_t position = 0;
    // The body runs at least once and goes on while two characters are left at pos, so a text
    // of length 3 reads its third character alone and an odd last character is ignored.
    size_t pos = 2;
    do {
        const unsigned c = HexValue(text.substr(std::min(pos, text.size()), 2));
        const unsigned d = c ^ KeyByte(key, position);
        const unsigned plain = previous < d ? d - previous : d + 255 - previous;
        result += static_cast<char>(plain);
        previous = c;
        pos += 2;
    } while (pos + 1 < text.size());
    return result;
}

}  // namespace

uint8_t ClockSeededStartBytes::NextStartByte() {
    // Both clocks: the wall clock may tick coarsely, the steady clock finely.
    const auto ticks = std::chrono::system_clock::now().time_since_epoch().count() ^
                       std::chrono::steady_clock::now().time_since_epoch().count();
    std::mt19937 generator(static_cast<std::mt19937::result_type>(ticks));
    return static_cast<uint8_t>(std::uniform_int_distribution<int>(0, 255)(generator));
}

std::string CipherText(std::string_view text, std::string_view key, int mode) {
    ClockSeededStartBytes startBytes;
    return CipherText(text, key, mode, startBytes);
}

std::string CipherText(std::string_view text, std::string_view key, int mode,
                       StartByteSource& startBytes) {
    if (text.empty()) {
        return {};
    }
    if (key.empty()) {
        key = kDefaultCipherKey;
    }
    return mode == 0 ? Decipher(text, key) : Encipher(text, key, startBytes);
}

}  // namespace px3
