#pragma once

#include <string>
#include <string_view>

namespace px3 {

// HMAC (RFC 2104) with SHA-256 of data under key: the 32 digest bytes.
std::string HmacSha256(std::string_view key, std::string_view data);

// Standard Base64 (RFC 4648 alphabet, "=" padding, no line breaks) of the given bytes.
std::string Base64Encode(std::string_view bytes);

}  // namespace px3
