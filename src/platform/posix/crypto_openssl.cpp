#include <openssl/evp.h>

#include <string>

#include "base/exception.h"
#include "platform/crypto.h"

namespace px3 {

std::string HmacSha256(std::string_view key, std::string_view data) {
    static const unsigned char kNoBytes[1] = {0};
    unsigned char digest[EVP_MAX_MD_SIZE];
    size_t length = 0;
    const void* keyBytes = key.empty() ? static_cast<const void*>(kNoBytes) : key.data();
    const auto* dataBytes =
        data.empty() ? kNoBytes : reinterpret_cast<const unsigned char*>(data.data());
    if (EVP_Q_mac(nullptr, "HMAC", nullptr, "SHA256", nullptr, keyBytes, key.size(), dataBytes,
                  data.size(), digest, sizeof digest, &length) == nullptr) {
        throw Exception("HMAC-SHA256 failed");
    }
    return std::string(reinterpret_cast<const char*>(digest), length);
}

std::string Base64Encode(std::string_view bytes) {
    std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()),
                                       reinterpret_cast<const unsigned char*>(bytes.data()),
                                       static_cast<int>(bytes.size()));
    text.resize(static_cast<size_t>(length));
    return text;
}

}  // namespace px3
