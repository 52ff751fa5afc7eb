#include "web/url.h"

#include <algorithm>

namespace px3 {

namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsSchemeCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

std::string SchemeOf(std::string_view text) {
    std::string scheme(text);
    std::transform(scheme.begin(), scheme.end(), scheme.begin(), LowerAscii);
    return std::all_of(scheme.begin(), scheme.end(), IsSchemeCharacter) ? scheme : "http";
}

}  // namespace

UrlParts ParseUrl(std::string_view url) {
    UrlParts parts;
    std::string_view rest = url;
    const size_t schemeEnd = url.find("://");
    if (schemeEnd == std::string_view::npos) {
        parts.scheme = "http";
    } else {
        parts.scheme = SchemeOf(url.substr(0, schemeEnd));
        rest = url.substr(schemeEnd + 3);
    }

    const size_t pathStart = std::min(rest.find('/'), rest.find('?'));
    std::string_view authority = rest.substr(0, pathStart);
    if (pathStart != std::string_view::npos) {
        parts.path = rest.substr(pathStart);
    }

    const size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        const std::string_view userInfo = authority.substr(0, at);
        const size_t colon = userInfo.find(':');
        parts.user = userInfo.substr(0, colon);
        if (colon != std::string_view::npos) {
            parts.password = userInfo.substr(colon + 1);
        }
        authority = authority.substr(at + 1);
    }
    const size_t colon = authority.rfind(':');
    parts.host = authority.substr(0, colon);
    if (colon != std::string_view::npos) {
        parts.port = authority.substr(colon + 1);
    }
    return parts;
}

}  // namespace px3
