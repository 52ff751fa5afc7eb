#pragma once

#include <string>
#include <vector>

#include "web/url.h"

namespace px3 {

// What the header lines of a request are made of.
struct HttpRequestHeaderValues {
    std::string version;  // "1.0" or "1.1"
    std::string accept;
    std::string acceptLanguage;
    std::string agent;
};

// The header lines of a GET of parts (with the client's defaults applied), before
// OnBeforeHeaderSend adds its own: the request line, then "Accept: ", "Accept-Language: " and
// "User-Agent: " where they have a value, then "Host: " with ":" and the port unless it is "80".
std::vector<std::string> GetRequestHeaderLines(const UrlParts& parts,
                                               const HttpRequestHeaderValues& values);

}  // namespace px3
