#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace px3 {

// Follows how far the frame being received has come, from the chunks read at each notification
// that data is ready, assuming that the first chunk after a complete frame begins the next one.
class TReadProgress {
  public:
    // (expected frame size, bytes of it received); (0, 0) when a frame is complete.
    using TReport = std::function<void(int32_t expected, int32_t received)>;

    // A chunk read during the current notification. The first chunk of a notification that
    // begins a frame sets the expected size from its length word; every further chunk of a frame
    // under way is reported with the bytes received before it.
    void Chunk(std::string_view chunk, const TReport& report);
    // The notification's reads are over: its bytes count as received.
    void EndOfNotification();
    // The cutter completed a frame: the next bytes begin a new one.
    void FrameComplete(const TReport& report);
    // Forgets a frame under way (a new connection begins with a frame).
    void Reset();

    int32_t Expected() const { return expected_; }
    int32_t ReceivedTotal() const { return received_total_; }

  private:
    bool at_boundary_ = true;
    int32_t expected_ = 0;
    int32_t received_total_ = 0;
    // Bytes taken in the current notification; 0 until its first chunk.
    int64_t taken_ = 0;
};

}  // namespace px3
