#include <windows.h>
// Windows types first: the CNG and CryptoAPI headers rely on them.
#include <bcrypt.h>
#include <wincrypt.h>

#include <string>

#include "base/exception.h"
#include "platform/crypto.h"

namespace px3 {

namespace {

constexpr ULONG kSha256DigestSize = 32;

bool Succeeded(NTSTATUS status) {
    return status >= 0;
}

// Closes the CNG handles of one HMAC computation, whatever way it ends.
class HmacHandles {
  public:
    ~HmacHandles() {
        if (hash != nullptr) {
            BCryptDestroyHash(hash);
        }
        if (algorithm != nullptr) {
            BCryptCloseAlgorithmProvider(algorithm, 0);
        }
    }

    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
};

PUCHAR Bytes(std::string_view text) {
    static UCHAR noBytes[1] = {0};
    return text.empty() ? noBytes : reinterpret_cast<PUCHAR>(const_cast<char*>(text.data()));
}

}  // namespace

std::string HmacSha256(std::string_view key, std::string_view data) {
    HmacHandles handles;
    std::string digest(kSha256DigestSize, '\0');
    if (!Succeeded(BCryptOpenAlgorithmProvider(&handles.algorithm, BCRYPT_SHA256_ALGORITHM, nullptr,
                                               BCRYPT_ALG_HANDLE_HMAC_FLAG)) ||
        !Succeeded(BCryptCreateHash(handles.algorithm, &handles.hash, nullptr, 0, Bytes(key),
                                    static_cast<ULONG>(key.size()), 0)) ||
        !Succeeded(BCryptHashData(handles.hash, Bytes(data), static_cast<ULONG>(data.size()), 0)) ||
        !Succeeded(BCryptFinishHash(handles.hash, reinterpret_cast<PUCHAR>(digest.data()),
                                    kSha256DigestSize, 0))) {
        throw Exception("HMAC-SHA256 failed");
    }
    return digest;
}

std::string Base64Encode(std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    constexpr DWORD kFlags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
    const auto* input = reinterpret_cast<const BYTE*>(bytes.data());
    const auto inputSize = static_cast<DWORD>(bytes.size());
    DWORD size = 0;
    if (!CryptBinaryToStringA(input, inputSize, kFlags, nullptr, &size)) {
        throw Exception("Base64 encoding failed");
    }
    std::string text(size, '\0');
    if (!CryptBinaryToStringA(input, inputSize, kFlags, text.data(), &size)) {
        throw Exception("Base64 encoding failed");
    }
    text.resize(size);
    return text;
}

}  // namespace px3
