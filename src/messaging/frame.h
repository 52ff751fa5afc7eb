#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace px3 {

// A frame is a signed 32-bit little-endian payload length followed by the payload.
inline constexpr size_t kFrameLengthSize = 4;
// The largest payload length a received frame may announce.
inline constexpr int32_t kMaxFrameLength = 104857600;
// Reads and writes on the connection move at most this many bytes at a time.
inline constexpr size_t kTransferChunkSize = 4096;

// Puts the 4-byte length of the payload in front of it.
void FrameMessage(std::string& payload);

}  // namespace px3
