#include "messaging/anchor_status.h"

#include "base/text.h"

namespace px3 {

std::string AnchorStatusText(TClientAnchorStatus status, bool active, const std::string& address,
                             int32_t port) {
    switch (status) {
        case TACNoAnchor:
            return "No Connection";
        case TACConnectedToAnchor:
            return active ? "Connected to Anchor" : "Disconnected, Anchor Available";
        case TACConnectedToServer:
            return "Connected to Server";
        case TACDisconnectedFromAnchor:
            return "Disconnected from Anchor, attempting to Reconnect";
        case TACDisconnectedFromServer:
            return "Disconnected from Server";
        case TAAnchorReDirect:
            return "Connecting from Anchor to Server " + address + ":" + IntToStr(port);
        case TAAnchorNoServers:
            break;
    }
    return {};
}

}  // namespace px3
