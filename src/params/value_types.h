#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace px3 {

// An amount held exactly as a whole number of ten-thousandths.
struct Currency {
    int64_t Scaled = 0;
    bool operator==(const Currency&) const = default;
};

// A point in time as days since 30 December 1899; the fraction is the time of day.
struct DateTime {
    double Days = 0;
    bool operator==(const DateTime&) const = default;
};

// A reference to a dispatch interface, carried by address only.
struct DispatchRef {
    const void* Address = nullptr;
    bool operator==(const DispatchRef&) const = default;
};

// A one-dimensional array of bytes with lower bound 0.
struct ByteArray {
    std::string Bytes;
    bool operator==(const ByteArray&) const = default;
};

// A date and time split into fields; Fractions counts milliseconds.
struct SqlTimeStamp {
    int16_t Year = 0;
    uint16_t Month = 0;
    uint16_t Day = 0;
    uint16_t Hour = 0;
    uint16_t Minute = 0;
    uint16_t Second = 0;
    uint32_t Fractions = 0;
    bool operator==(const SqlTimeStamp&) const = default;
};

// A decimal number of up to 64 digits. SignAndPlaces holds the sign in bit 7 and the
// number of decimal places in bits 0 to 5; Digits holds the digits packed two per byte, the
// first digit in the high half of the first byte.
struct FmtBcd {
    uint8_t Precision = 0;
    uint8_t SignAndPlaces = 0;
    std::array<uint8_t, 32> Digits{};
    bool operator==(const FmtBcd&) const = default;
};

}  // namespace px3
