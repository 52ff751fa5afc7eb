#pragma once

#include <cstdint>

namespace px3 {

// The kind byte that opens every packed message.
inline constexpr uint8_t mkChatMessage = 8;
inline constexpr uint8_t mkServerMessage = 9;
inline constexpr uint8_t mkServerBroadcast = 13;
inline constexpr uint8_t mkServerNotice = 14;
inline constexpr uint8_t mkCodedMessage = 15;
inline constexpr uint8_t mkCodedStream = 16;
inline constexpr uint8_t mkLogin = 17;
inline constexpr uint8_t mkReconnect = 19;
inline constexpr uint8_t mkTerminateMessage = 25;
inline constexpr uint8_t mkCodedParamList = 28;
inline constexpr uint8_t mkRedirect = 47;
inline constexpr uint8_t mkServerUtilityInfo = 48;
inline constexpr uint8_t mkServerError = 64;

// The kind of a raw message, whose whole header is the 32-bit marker kRawMessageMarker.
inline constexpr uint8_t kRawMessageKind = 43;
inline constexpr int32_t kRawMessageMarker = -3;

// Kinds above this one are not valid.
inline constexpr uint8_t kHighestMessageKind = 70;

}  // namespace px3
