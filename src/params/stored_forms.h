#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "params/value_types.h"

namespace px3 {

// The tagged byte forms in which items store floating-point, currency, timestamp and BCD values:
// a tag byte, then the value's record in little-endian order. Decoders also accept the bare
// record without its tag; any other length decodes to zero.

inline constexpr char kFloatTag = 0x05;
inline constexpr char kBcdTag = 0x07;
inline constexpr char kCurrencyTag = 0x08;
inline constexpr char kTimeStampTag = 0x09;

std::string EncodeFloat(double value);
std::string EncodeCurrency(Currency value);
std::string EncodeTimeStamp(const SqlTimeStamp& value);
std::string EncodeFmtBcd(const FmtBcd& value);

double DecodeFloat(std::string_view stored);
Currency DecodeCurrency(std::string_view stored);
SqlTimeStamp DecodeTimeStamp(std::string_view stored);
FmtBcd DecodeFmtBcd(std::string_view stored);

}  // namespace px3
