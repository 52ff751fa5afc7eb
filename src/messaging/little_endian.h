#pragma once

#include <cstddef>
#include <cstdint>

namespace px3 {

// Reads the signed 32-bit little-endian number at bytes[0..3].
inline int32_t ReadInt32LE(const char* bytes) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    }
    return static_cast<int32_t>(value);
}

// Writes value as 4 little-endian bytes to bytes[0..3].
inline void WriteInt32LE(char* bytes, int32_t value) {
    uint32_t bits = static_cast<uint32_t>(value);
    for (size_t i = 0; i < 4; ++i) {
        bytes[i] = static_cast<char>(bits & 0xFF);
        bits >>= 8;
    }
}

}  // namespace px3
