#pragma once

#include <cstddef>
#include <cstdlib>
#include <deque>
#include <memory>
#include <string>
#include <string_view>

namespace px3 {

// Cuts the received byte stream into frames, however the connection splits or joins them.
// Complete frames wait in a queue, oldest first, until taken.
class TMessageStack {
  public:
    // Adds received bytes and queues every frame they complete. A length word outside 0 to
    // 104,857,600 fails with EProtocolError "Invalid block size (N)!" and stays in the buffer;
    // frames completed before it remain queued.
    void AppendReceived(std::string_view bytes);

    bool HasMessage() const { return !frames_.empty(); }

    // Removes the oldest complete frame and returns its payload (empty when none waits).
    std::string PopMessage();

    // Bytes received and not yet cut into a frame.
    size_t BufferedSize() const { return used_ - start_; }
    // The receive buffer's capacity, always a multiple of 4096 bytes.
    size_t BufferCapacity() const { return capacity_; }

  private:
    struct FreeDeleter {
        void operator()(char* bytes) const { std::free(bytes); }
    };

    void MakeRoom(size_t extra);
    void Compact();
    void CutFrames();

    std::deque<std::string> frames_;
    std::unique_ptr<char, FreeDeleter> buffer_;
    size_t capacity_ = 0;
    // Bytes before start_ were cut already; bytes from start_ to used_ wait to be cut.
    size_t start_ = 0;
    size_t used_ = 0;
};

}  // namespace px3
