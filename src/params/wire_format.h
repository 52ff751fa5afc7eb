#pragma once

#include <cstddef>
#include <string_view>

// Details of the wire text of parameter lists shared by its writer and reader.

namespace px3 {

// Separates the fields of a record body.
inline constexpr char kWireSeparator = 0x06;
// Bytes of the little-endian length in front of each record body.
inline constexpr size_t kWireLengthSize = 4;
// A record body's length must fit its signed 32-bit length prefix.
inline constexpr size_t kWireMaxBodyLength = 2147483647;

// The capacity the writer's buffer grows to for the given number of bytes: 256 at first, then
// steps doubling from 512 to 32768 and staying at 32768.
size_t WireBufferCapacity(size_t needed);

// Raises EParamException for a name holding the separator: its record would read back as
// different fields.
void CheckWireName(std::string_view name);

// Raises EParamException when the body of the named item's record would not fit its length
// prefix, rather than writing a length that reads back as something else.
void CheckWireBodyLength(size_t bodyLength, std::string_view name);

}  // namespace px3
