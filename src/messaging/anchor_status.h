#pragma once

#include <cstdint>
#include <string>

namespace px3 {

// Where the session stands with its anchor (the server it first reaches) and its server.
enum TClientAnchorStatus : uint8_t {
    TACNoAnchor,
    TACConnectedToAnchor,
    TACConnectedToServer,
    TACDisconnectedFromAnchor,
    TACDisconnectedFromServer,
    TAAnchorReDirect,
    TAAnchorNoServers,
};

// The status text shown for a status; some depend on whether the session is active and where it
// connects to.
std::string AnchorStatusText(TClientAnchorStatus status, bool active, const std::string& address,
                             int32_t port);

}  // namespace px3
