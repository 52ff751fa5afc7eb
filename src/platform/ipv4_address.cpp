#include "platform/ipv4_address.h"

namespace px3 {

std::string Ipv4Address::ToString() const {
    return std::to_string(value >> 24) + "." + std::to_string((value >> 16) & 0xFF) + "." +
           std::to_string((value >> 8) & 0xFF) + "." + std::to_string(value & 0xFF);
}

std::optional<Ipv4Address> ParseIpv4Address(std::string_view text) {
    std::uint32_t value = 0;
    std::size_t pos = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (pos >= text.size() || text[pos] != '.') {
                return std::nullopt;
            }
            ++pos;
        }
        const std::size_t start = pos;
        std::uint32_t number = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < 3) {
            number = number * 10 + static_cast<std::uint32_t>(text[pos] - '0');
            ++pos;
        }
        if (pos == start || number > 255) {
            return std::nullopt;
        }
        value = (value << 8) | number;
    }
    if (pos != text.size()) {
        return std::nullopt;
    }
    return Ipv4Address{value};
}

}  // namespace px3
