#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace px3 {

// The key used when CipherText is given an empty one.
inline constexpr std::string_view kDefaultCipherKey = "BluestoneKite";

// Where an enciphered text's start byte comes from.
class StartByteSource {
  public:
    virtual ~StartByteSource() = default;
    virtual uint8_t NextStartByte() = 0;
};

// Random start bytes from a generator re-seeded from the clock on every draw.
class ClockSeededStartBytes : public StartByteSource {
  public:
    uint8_t NextStartByte() override;
};

// The program's text cipher. Mode 0 deciphers upper- or lower-case hexadecimal text; any other
// mode enciphers into upper-case hexadecimal, starting with a random start byte. Deciphering a
// text that is not hexadecimal, or of length 1 or 2, fails with EConvertError.
std::string CipherText(std::string_view text, std::string_view key, int mode);

// As above, enciphering from the given start bytes.
std::string CipherText(std::string_view text, std::string_view key, int mode,
                       StartByteSource& startBytes);

}  // namespace px3
