#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "platform/host_resolver.h"

namespace px3 {

std::optional<Ipv4Address> ResolveHostName(const std::string& name) {
    if (const std::optional<Ipv4Address> dotted = ParseIpv4Address(name)) {
        return dotted;
    }
    if (name.empty()) {
        return std::nullopt;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
        return std::nullopt;
    }
    const auto* address = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    const Ipv4Address result{ntohl(address->sin_addr.s_addr)};
    freeaddrinfo(found);
    return result;
}

}  // namespace px3
