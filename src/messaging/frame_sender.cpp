#include "messaging/frame_sender.h"

#include <algorithm>

#include "messaging/frame.h"

namespace px3 {

namespace {

void Report(const TSendProgress& progress, int64_t expected, int64_t sent) {
    if (progress) {
        progress(expected, sent);
    }
}

void WriteChunks(std::string_view frame, const TChunkWriter& write,
                 const std::function<void()>& yield, const TSendProgress& progress) {
    const auto frameSize = static_cast<int64_t>(frame.size());
    size_t sent = 0;
    while (sent < frame.size()) {
        const std::string_view chunk = frame.substr(sent, kTransferChunkSize);
        const int64_t written = write(chunk);
        if (written == kWriteWouldBlock) {
            yield();
            continue;
        }
        if (written <= 0) {
            return;
        }
        const size_t before = sent;
        sent += std::min(static_cast<size_t>(written), chunk.size());
        Report(progress, frameSize, static_cast<int64_t>(before));
    }
}

}  // namespace

void SendFrameInChunks(std::string_view frame, const TChunkWriter& write,
                       const std::function<void()>& yield, const TSendProgress& progress) {
    if (!frame.empty()) {
        Report(progress, static_cast<int64_t>(frame.size()), 0);
    }
    try {
        WriteChunks(frame, write, yield, progress);
    } catch (...) {
        Report(progress, 0, 0);
        throw;
    }
    yield();
    Report(progress, 0, 0);
}

}  // namespace px3
