#include <gtest/gtest.h>

#include <string>

#include "platform/crypto.h"

namespace px3 {
namespace {

std::string FromHex(std::string_view hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    }
    return bytes;
}

std::string ToHex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += kDigits[c >> 4];
        hex += kDigits[c & 0x0F];
    }
    return hex;
}

struct HmacCase {
    std::string key;
    std::string data;
    std::string digestHex;  // shorter than 64 digits for a truncated output
};

TEST(Crypto, HmacSha256MatchesTheRfc4231TestCases) {
    const HmacCase cases[] = {
        {std::string(20, '\x0b'), "Hi There",
         "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7"},
        {"Jefe", "what do ya want for nothing?",
         "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843"},
        {std::string(20, '\xaa'), std::string(50, '\xdd'),
         "773ea91e36800e46854db8ebd09181a72959098b3ef8c122d9635514ced565fe"},
        {FromHex("0102030405060708090a0b0c0d0e0f10111213141516171819"), std::string(50, '\xcd'),
         "82558a389a443c0ea4cc819899f2083a85f0faa3e578f8077a2e3ff46729665b"},
        {std::string(20, '\x0c'), "Test With Truncation", "a3b6167473100ee06e0c796c2955552b"},
        {std::string(131, '\xaa'), "Test Using Larger Than Block-Size Key - Hash Key First",
         "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54"},
        {std::string(131, '\xaa'),
         "This is a test using a larger than block-size key and a larger than block-size data. "
         "The key needs to be hashed before being used by the HMAC algorithm.",
         "9b09ffa71b942fcb27635fbcd5b0e944bfdc63644f0713938a7f51535c3a35e2"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string digest = HmacSha256(cases[i].key, cases[i].data);
        EXPECT_EQ(digest.size(), 32u) << "case " << i + 1;
        EXPECT_EQ(ToHex(digest).substr(0, cases[i].digestHex.size()), cases[i].digestHex)
            << "case " << i + 1;
    }
}

TEST(Crypto, HmacSha256AcceptsAnEmptyKeyAndEmptyData) {
    EXPECT_EQ(ToHex(HmacSha256("", "")),
              "b613679a0814d9ec772f95d778c35fc5ff1697c493715653c6c712144292c5ad");
}

TEST(Crypto, Base64MatchesTheRfc4648Vectors) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(Base64Encode(bytes), text) << "input '" << bytes << "'";
    }
}

TEST(Crypto, Base64OfLongInputHasNoLineBreaks) {
    const std::string encoded = Base64Encode(std::string(300, '\xff'));
    EXPECT_EQ(encoded, std::string(400, '/'));
}

}  // namespace
}  // namespace px3
