#include "messaging/frame.h"

#include "messaging/little_endian.h"

namespace px3 {

void FrameMessage(std::string& payload) {
    char length[kFrameLengthSize];
    WriteInt32LE(length, static_cast<int32_t>(payload.size()));
    payload.insert(0, length, kFrameLengthSize);
}

}  // namespace px3
