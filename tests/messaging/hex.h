#pragma once

#include <cstdint>
#include <sstream>
#include <string>

#include "messaging/little_endian.h"

namespace px3::test_bytes {

// Bytes from blank-separated hexadecimal pairs, e.g. "1c 00 ff".
inline std::string Hex(const std::string& pairs) {
    std::istringstream in(pairs);
    std::string result;
    unsigned value = 0;
    while (in >> std::hex >> value) {
        result.push_back(static_cast<char>(value));
    }
    return result;
}

inline std::string LengthWord(int32_t length) {
    std::string word(4, '\0');
    WriteInt32LE(word.data(), length);
    return word;
}

}  // namespace px3::test_bytes
