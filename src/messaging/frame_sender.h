#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace px3 {

// What a write of one chunk reports: the bytes the connection took (1 or more), kWriteWouldBlock,
// or 0 when the connection is no longer open. A write that fails otherwise raises its own error.
inline constexpr int64_t kWriteWouldBlock = -1;
using TChunkWriter = std::function<int64_t(std::string_view chunk)>;

// Progress of a send: (frame size, bytes written before the chunk just sent); (0, 0) at the end.
using TSendProgress = std::function<void(int64_t expected, int64_t sent)>;

// Writes a frame in chunks of at most 4096 bytes, in order. A chunk that would block is written
// again after yield(); a write of 0 bytes ends the send silently, leaving the rest unsent; a
// partial write continues with the bytes not taken. yield() runs once more at the end.
void SendFrameInChunks(std::string_view frame, const TChunkWriter& write,
                       const std::function<void()>& yield, const TSendProgress& progress = {});

}  // namespace px3
