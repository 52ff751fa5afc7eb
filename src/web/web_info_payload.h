#pragma once

#include <string>
#include <string_view>

namespace px3 {

// The markers between which a web information page carries its payload.
inline constexpr std::string_view kPayloadOpenMarker = "$*#";
inline constexpr std::string_view kPayloadCloseMarker = "%*#";

// The payload of a page: the text after the first opening marker (empty without one), cut
// before the first closing marker that follows (whole without one).
std::string CutWebInfoPayload(std::string_view page);

}  // namespace px3
