#pragma once

#include <string_view>

namespace px3 {

enum class TReceivedMessageAction { Dispatch, Ignore };

// Decides what becomes of a decoded message before it is unpacked: a message of a kind above 70
// is ignored; one shorter than its 50-byte header (other than the 4-byte raw form) is malformed
// and fails with EProtocolError.
TReceivedMessageAction ClassifyReceivedMessage(std::string_view message);

}  // namespace px3
