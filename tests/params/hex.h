#pragma once

#include <string>
#include <string_view>

namespace px3::testing {

// Bytes from hexadecimal pairs separated by blanks, e.g. "1c 00 46".
inline std::string FromHex(std::string_view hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 3) {
        bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    }
    return bytes;
}

// A record of wire text: the body behind its 4-byte little-endian length.
inline std::string Record(std::string_view body) {
    std::string record;
    for (int i = 0; i < 4; ++i) {
        record += static_cast<char>((body.size() >> (8 * i)) & 0xFF);
    }
    record += body;
    return record;
}

}  // namespace px3::testing
