#include "web/web_info_payload.h"

namespace px3 {

std::string CutWebInfoPayload(std::string_view page) {
    const size_t open = page.find(kPayloadOpenMarker);
    if (open == std::string_view::npos) {
        return {};
    }
    const std::string_view rest = page.substr(open + kPayloadOpenMarker.size());
    return std::string(rest.substr(0, rest.find(kPayloadCloseMarker)));
}

}  // namespace px3
