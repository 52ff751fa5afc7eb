#include "messaging/message_stack.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "base/text.h"
#include "messaging/frame.h"
#include "messaging/little_endian.h"
#include "messaging/messaging_errors.h"

namespace px3 {

namespace {

constexpr size_t kCapacityUnit = 4096;
// A buffer this large is given back once it holds nothing.
constexpr size_t kKeptCapacity = 64 * 1024;
// Written in front of requests by a peer in blocking mode; it precedes the frames.
constexpr int32_t kBlockingMarker = -1;

size_t RoundUpToUnit(size_t size) {
    return (size + kCapacityUnit - 1) / kCapacityUnit * kCapacityUnit;
}

}  // namespace

void TMessageStack::AppendReceived(std::string_view bytes) {
    if (!bytes.empty()) {
        MakeRoom(bytes.size());
        std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
        used_ += bytes.size();
    }
    CutFrames();
}

std::string TMessageStack::PopMessage() {
    if (frames_.empty()) {
        return {};
    }
    std::string payload = std::move(frames_.front());
    frames_.pop_front();
    return payload;
}

// Moving the waiting bytes to the front costs their size; it is done only when the space already
// cut is at least as large, so each byte is moved a bounded number of times. Otherwise the buffer
// grows to twice its capacity (or more when needed), rounded to a multiple of 4096.
void TMessageStack::MakeRoom(size_t extra) {
    if (used_ + extra <= capacity_) {
        return;
    }
    const size_t waiting = used_ - start_;
    if (start_ >= waiting && waiting + extra <= capacity_) {
        Compact();
        return;
    }
    Compact();
    const size_t newCapacity = RoundUpToUnit(std::max(waiting + extra, capacity_ * 2));
    char* grown = static_cast<char*>(std::realloc(buffer_.get(), newCapacity));
    if (grown == nullptr) {
        throw std::bad_alloc();
    }
    buffer_.release();
    buffer_.reset(grown);
    capacity_ = newCapacity;
}

void TMessageStack::Compact() {
    if (start_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + start_, used_ - start_);
        used_ -= start_;
        start_ = 0;
    }
}

void TMessageStack::CutFrames() {
    while (used_ - start_ > kFrameLengthSize) {
        const char* waiting = buffer_.get() + start_;
        const int32_t length = ReadInt32LE(waiting);
        if (length == kBlockingMarker) {
            start_ += kFrameLengthSize;
            continue;
        }
        if (length < 0 || length > kMaxFrameLength) {
            throw EProtocolError("Invalid block size (" + IntToStr(length) + ")!");
        }
        const size_t frameSize = kFrameLengthSize + static_cast<size_t>(length);
        if (used_ - start_ < frameSize) {
            break;
        }
        frames_.emplace_back(waiting + kFrameLengthSize, static_cast<size_t>(length));
        start_ += frameSize;
    }
    if (start_ == used_) {
        start_ = 0;
        used_ = 0;
        if (capacity_ > kKeptCapacity) {
            buffer_.reset();
            capacity_ = 0;
        }
    }
}

}  // namespace px3
