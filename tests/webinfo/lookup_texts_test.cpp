#include <gtest/gtest.h>

#include <string>

#include "web/server_ip_lookup.h"
#include "web/web_info_payload.h"

namespace px3 {
namespace {

TEST(CutWebInfoPayload, TakesTheTextBetweenTheFirstMarkers) {
    const struct {
        const char* page;
        const char* payload;
    } cases[] = {
        {"<html><p>$*#{\"ipaddress\":\"10.1.2.3\"}%*#</p></html>", "{\"ipaddress\":\"10.1.2.3\"}"},
        {"<html>{\"ipaddress\":\"10.1.2.3\"}</html>", ""},      // no opening marker
        {"%*#{\"a\":1}%*#", ""},                                // only closing markers
        {"x$*#{\"a\":1}</p>", "{\"a\":1}</p>"},                 // no closing marker
        {"%*#before$*#{\"a\":1}%*#{\"b\":2}%*#", "{\"a\":1}"},  // first of each
        {"$*#first$*#second%*#", "first$*#second"},             // a later opener is text
        {"$*#%*#", ""},
        {"$*", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CutWebInfoPayload(c.page), c.payload) << c.page;
    }
}

TEST(ServerIpLookupUrl, InsertsTheValuesUnchangedAndTheSpareParameterLast) {
    const ServerIpLookupInput input{kNetTypeInternet, "a b&c%2F", "1000000123"};
    EXPECT_EQ(LookupPassword("a b&c%2F", "12345678"), "a b&c%2F87654321");
    EXPECT_EQ(ServerIpLookupUrl("http://svc:81", input, "12345678", false),
              "http://svc:81/csp/ip/?flag=201&sysid=a b&c%2F&ippwd=a b&c%2F87654321"
              "&devicesn=1000000123");
    EXPECT_EQ(ServerIpLookupUrl("http://svc:81", input, "12345678", true),
              "http://svc:81/csp/ip/?flag=201&sysid=a b&c%2F&ippwd=a b&c%2F87654321"
              "&devicesn=1000000123&spareip=1");
}

TEST(LookupPassword, IsTheServerNameFollowedByTheDigitsReversed) {
    EXPECT_EQ(LookupPassword("4711", "20481379"), "471197318402");
    EXPECT_EQ(LookupPassword("", "20481379"), "97318402");
}

TEST(SpareAddressSwitch, RunsFromMinusOneThroughZeroOneZeroOne) {
    SpareAddressSwitch spareSwitch;
    EXPECT_EQ(spareSwitch.Value(), -1);
    std::string sequence;
    for (int i = 0; i < 5; ++i) {
        sequence += spareSwitch.Advance() ? "S" : "U";
        sequence += std::to_string(spareSwitch.Value());
    }
    EXPECT_EQ(sequence, "U0S1U0S1U0");
}

}  // namespace
}  // namespace px3
