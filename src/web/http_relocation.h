#pragma once

#include <string>
#include <string_view>

#include "web/url.h"

namespace px3 {

// The URL that a "location" value sends a request to, from the request that received it (its
// parts with the client's defaults applied): a value starting "http://" or "https://" is a whole
// URL; one starting "/" replaces the path; any other is appended to the path cut after its last
// "/" or ":" before the query.
std::string RelocationTarget(const UrlParts& current, std::string_view location);

}  // namespace px3
