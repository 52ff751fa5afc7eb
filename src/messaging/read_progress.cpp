#include "messaging/read_progress.h"

#include <algorithm>
#include <cstring>

#include "messaging/frame.h"
#include "messaging/little_endian.h"

namespace px3 {

namespace {

void Report(const TReadProgress::TReport& report, int32_t expected, int32_t received) {
    if (report) {
        report(expected, received);
    }
}

}  // namespace

void TReadProgress::Chunk(std::string_view chunk, const TReport& report) {
    if (chunk.empty()) {
        return;
    }
    if (taken_ == 0) {
        if (at_boundary_) {
            at_boundary_ = false;
            char word[kFrameLengthSize] = {};
            std::memcpy(word, chunk.data(), std::min(chunk.size(), kFrameLengthSize));
            expected_ = static_cast<int32_t>(static_cast<uint32_t>(ReadInt32LE(word)) +
                                             static_cast<uint32_t>(kFrameLengthSize));
        }
    } else if (!at_boundary_) {
        Report(report, expected_, static_cast<int32_t>(received_total_ + taken_));
    }
    taken_ += static_cast<int64_t>(chunk.size());
}

void TReadProgress::EndOfNotification() {
    received_total_ = static_cast<int32_t>(received_total_ + taken_);
    taken_ = 0;
}

void TReadProgress::FrameComplete(const TReport& report) {
    at_boundary_ = true;
    received_total_ = 0;
    Report(report, 0, 0);
}

void TReadProgress::Reset() {
    at_boundary_ = true;
    expected_ = 0;
    received_total_ = 0;
    taken_ = 0;
}

}  // namespace px3
