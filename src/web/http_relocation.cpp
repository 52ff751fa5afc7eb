#include "web/http_relocation.h"

#include "base/text.h"

namespace px3 {

namespace {

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

}  // namespace

std::string RelocationTarget(const UrlParts& current, std::string_view location) {
    if (StartsWithIgnoringCase(location, "http://") ||
        StartsWithIgnoringCase(location, "https://")) {
        return std::string(location);
    }
    std::string target = current.scheme + "://" + current.host;
    if (current.port != "80") {
        target += ":" + current.port;
    }
    if (location.starts_with('/')) {
        return target + std::string(location);
    }
    const std::string_view path = current.path;
    const std::string_view head = path.substr(0, path.find('?'));
    const std::size_t cut = head.find_last_of("/:");
    // A path without "/" (one that is only a query) gives the value a root of its own.
    const std::string_view base = cut == std::string_view::npos ? "/" : head.substr(0, cut + 1);
    return target + std::string(base) + std::string(location);
}

}  // namespace px3
