#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace px3 {

// An IPv4 address, value in host byte order (127.0.0.1 is 0x7F000001). 0.0.0.0 stands for
// "any address" when listening and is not connectable.
struct Ipv4Address {
    std::uint32_t value = 0;

    std::string ToString() const;
    friend bool operator==(const Ipv4Address&, const Ipv4Address&) = default;
};

inline constexpr Ipv4Address kLoopbackAddress{0x7F000001};
inline constexpr Ipv4Address kAnyAddress{0};

// Reads a dotted address of four decimal numbers from 0 to 255 ("192.168.1.20"); nothing else.
std::optional<Ipv4Address> ParseIpv4Address(std::string_view text);

}  // namespace px3
