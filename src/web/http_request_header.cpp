#include "web/http_request_header.h"

namespace px3 {

std::vector<std::string> GetRequestHeaderLines(const UrlParts& parts,
                                               const HttpRequestHeaderValues& values) {
    std::vector<std::string> lines;
    lines.push_back("GET " + parts.path + " HTTP/" + values.version);
    if (!values.accept.empty()) {
        lines.push_back("Accept: " + values.accept);
    }
    if (!values.acceptLanguage.empty()) {
        lines.push_back("Accept-Language: " + values.acceptLanguage);
    }
    if (!values.agent.empty()) {
        lines.push_back("User-Agent: " + values.agent);
    }
    lines.push_back("Host: " + parts.host + (parts.port == "80" ? "" : ":" + parts.port));
    return lines;
}

}  // namespace px3
