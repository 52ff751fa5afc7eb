#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/web_info_constants.h"
#include "web/url.h"

namespace px3 {
namespace {

TEST(WebInfoConstants, DecipherToAnHttpBaseAddressAndAPrintableSecretUnderAFourLetterKey) {
    const WebConstants constants = DecipherWebConstants();
    const UrlParts base = ParseUrl(constants.ServiceBaseAddress);
    EXPECT_EQ(constants.ServiceBaseAddress.substr(0, 7), "http://");
    EXPECT_FALSE(base.host.empty());
    EXPECT_EQ(base.path, "");
    EXPECT_GE(constants.SigningSecret.size(), 16u);
    EXPECT_TRUE(std::all_of(constants.SigningSecret.begin(), constants.SigningSecret.end(),
                            [](char c) { return c > ' ' && c < 0x7F; }));
    EXPECT_EQ(constants.AppKey, "51740968");

    EXPECT_EQ(kWebConstantsCipherKey.size(), 4u);
    EXPECT_TRUE(std::all_of(kWebConstantsCipherKey.begin(), kWebConstantsCipherKey.end(),
                            [](char c) { return c >= 'A' && c <= 'Z'; }));
    EXPECT_EQ(kLookupPasswordDigits.size(), 8u);
    EXPECT_TRUE(std::all_of(kLookupPasswordDigits.begin(), kLookupPasswordDigits.end(),
                            [](char c) { return c >= '0' && c <= '9'; }));
}

}  // namespace
}  // namespace px3
