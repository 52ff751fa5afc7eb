// Arbitrary text through the decipher, and arbitrary bytes through a round trip of the cipher.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/text_cipher.h"
#include "base/exception.h"

namespace {

class FixedStartByte : public px3::StartByteSource {
  public:
    explicit FixedStartByte(uint8_t value) : value_(value) {}
    uint8_t NextStartByte() override { return value_; }

  private:
    uint8_t value_;
};

bool IsUpperHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Deciphering takes the first pair as the start byte, then one byte per further pair; a text of
// length 3 gives one byte, an odd last character is ignored.
void DecipherArbitraryText(std::string_view text, std::string_view key) {
    try {
        const std::string plain = px3::CipherText(text, key, 0);
        const size_t expected = text.empty() ? 0 : (text.size() == 3 ? 1 : (text.size() - 2) / 2);
        Check(plain.size() == expected);
    } catch (const px3::EConvertError&) {
    }
}

// An enciphered text is upper-case hex of length 2 + 2n and deciphers to the plain text, except
// that a 0 after a previous byte below 255 comes back as 255 and a 255 after a previous byte of
// 255 comes back as 0.
void RoundTrip(std::string_view plain, std::string_view key, uint8_t start) {
    FixedStartByte startByte(start);
    const std::string enciphered = px3::CipherText(plain, key, 1, startByte);
    if (plain.empty()) {
        Check(enciphered.empty());
        return;
    }
    Check(enciphered.size() == 2 + 2 * plain.size());
    for (char c : enciphered) {
        Check(IsUpperHex(c));
    }
    const std::string deciphered = px3::CipherText(enciphered, key, 0);
    Check(deciphered.size() == plain.size());
    for (size_t i = 0; i < plain.size(); ++i) {
        const unsigned previous =
            static_cast<unsigned>(std::strtoul(enciphered.substr(2 * i, 2).c_str(), nullptr, 16));
        const auto b = static_cast<unsigned char>(plain[i]);
        unsigned expected = b;
        if (previous < 255 && b == 0) {
            expected = 255;
        } else if (previous == 255 && b == 255) {
            expected = 0;
        }
        Check(static_cast<unsigned char>(deciphered[i]) == expected);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    // First byte: start byte; second: key length (up to 15); then the key and the text.
    const uint8_t start = data[0];
    const size_t keyLength = std::min<size_t>(data[1] & 0x0F, size - 2);
    const std::string_view key(reinterpret_cast<const char*>(data) + 2, keyLength);
    const std::string_view text(reinterpret_cast<const char*>(data) + 2 + keyLength,
                                size - 2 - keyLength);
    DecipherArbitraryText(text, key);
    RoundTrip(text, key, start);
    return 0;
}
