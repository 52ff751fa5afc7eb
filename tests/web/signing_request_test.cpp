#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/crypto.h"
#include "web/request_signing.h"

namespace px3 {
namespace {

constexpr const char* kAccept = "text/html, application/xhtml+xml, */*";
constexpr const char* kDate = "2024-05-06 07:08:09";

TEST(CanonicalPathAndQuery, SortsTrimsAndJoinsTheQueryParameters) {
    const std::pair<const char*, const char*> cases[] = {
        {"/csp/ip/", "/csp/ip/"},
        {"", ""},
        {"/csp/ip/?", "/csp/ip/?"},
        {"/p?b=2&a=1&c=", "/p?a=1&b=2&c"},
        {"/p?a=1&&b=2&", "/p?a=1&b=2"},
        {"/p?&&", "/p?"},
        {"/p?B=1&a=2", "/p?a=2&B=1"},
        {"/p?a==", "/p?a="},
        {"/p?=&x=1&=", "/p?x=1"},
        {"?z&y", "?y&z"},
        {"/p?x=%41&x=a+b", "/p?x=%41&x=a+b"},
        {"/p?k=1?2&j", "/p?j&k=1?2"},
        {"/csp/ip/?flag=201&sysid=S1&ippwd=1&devicesn=9&spareip=",
         "/csp/ip/?devicesn=9&flag=201&ippwd=1&spareip&sysid=S1"},
    };
    for (const auto& [path, canonical] : cases) {
        EXPECT_EQ(CanonicalPathAndQuery(path), canonical) << path;
    }
}

TEST(StringToSign, HoldsExactlyFiveLineFeedsForAGet) {
    const std::string text = StringToSign("GET", kAccept, kDate, "/p?a=1");
    EXPECT_EQ(text, std::string("GET\n") + kAccept + "\n\n\n" + kDate + "\n/p?a=1");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
}

TEST(SignRequest, SignsTheCanonicalPathOfTheUrlAsSpelled) {
    const std::string signature =
        SignRequest("GET", kAccept,
                    "http://info.example.com:8080/csp/ip/"
                    "?flag=201&sysid=S1&ippwd=12345678&devicesn=987654&spareip=",
                    "s3cret", kDate);
    EXPECT_EQ(signature, "3JS4qEiZxh7MWE6xtbhHSdjnakPCBxysWIXcoBhfZfY=");

    // Without a path the empty path is signed, not the "/" that the client sends.
    EXPECT_EQ(SignRequest("GET", kAccept, "http://host", "", kDate),
              "DkVjk7J1Cs5Lko4bQEK8Z5MQzVJ2O9U/z688I6L63fo=");
    EXPECT_NE(SignRequest("GET", kAccept, "http://host/", "", kDate),
              SignRequest("GET", kAccept, "http://host", "", kDate));
}

TEST(SignRequest, UsesOnlyTheFirst255BytesOfTheSecret) {
    const std::string secret(255, 'k');
    const std::string url = "http://host/p?b=1&a=2";
    const std::string signature = SignRequest("GET", kAccept, url, secret, kDate);
    EXPECT_EQ(signature.size(), 44u);
    EXPECT_EQ(signature.back(), '=');
    EXPECT_EQ(SignRequest("GET", kAccept, url, secret + "extra", kDate), signature);
    EXPECT_NE(SignRequest("GET", kAccept, url, secret.substr(0, 254), kDate), signature);
    EXPECT_EQ(signature,
              Base64Encode(HmacSha256(secret, StringToSign("GET", kAccept, kDate, "/p?a=2&b=1"))));
}

TEST(SigningDate, FormatsTheLocalMomentWithTheTimeSeparator) {
    EXPECT_EQ(FormatSigningDate({2024, 5, 6, 7, 8, 9}, ":"), kDate);
    EXPECT_EQ(FormatSigningDate({987, 12, 31, 23, 59, 0}, "."), "0987-12-31 23.59.00");
    EXPECT_EQ(CurrentSigningDate().size(), 19u);
}

}  // namespace
}  // namespace px3
