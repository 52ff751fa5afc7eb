#include "messaging/received_message.h"

#include <cstdint>

#include "base/text.h"
#include "messaging/little_endian.h"
#include "messaging/message_kinds.h"
#include "messaging/messaging_errors.h"
#include "messaging/string_line.h"

namespace px3 {

TReceivedMessageAction ClassifyReceivedMessage(std::string_view message) {
    if (message.size() >= 4 && ReadInt32LE(message.data()) == kRawMessageMarker) {
        return TReceivedMessageAction::Dispatch;
    }
    if (message.size() < kMessageHeaderSize) {
        throw EProtocolError(
            "Malformed message dropped: " + IntToStr(static_cast<int64_t>(message.size())) +
            " bytes, shorter than the 50-byte message header");
    }
    if (static_cast<uint8_t>(message[0]) > kHighestMessageKind) {
        return TReceivedMessageAction::Ignore;
    }
    return TReceivedMessageAction::Dispatch;
}

}  // namespace px3
