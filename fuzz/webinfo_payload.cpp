#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "web/server_ip_lookup.h"
#include "web/web_info_payload.h"

// A web information page as the service might send it: the payload cut out of it and read as the
// IP lookup reads it. Nothing may raise; an address is only found in a non-empty payload.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view page(reinterpret_cast<const char*>(data), size);
    const std::string payload = px3::CutWebInfoPayload(page);
    if (payload.size() > page.size()) {
        std::abort();
    }
    const std::optional<std::string> address = px3::LookupAddressOf(payload);
    if (address && payload.empty()) {
        std::abort();
    }
    return 0;
}
