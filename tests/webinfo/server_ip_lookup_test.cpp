#include <gtest/gtest.h>

#include <string>

#include "platform/crypto.h"
#include "webinfo/webinfo_fixture.h"

namespace px3::testing {
namespace {

using ServerIpLookupTest = WebInfoTest;

TEST_F(ServerIpLookupTest, OnALocalNetworkGivesTheServerNameWithoutARequest) {
    const ServerIpLookupResult result = Lookup(kNetTypeLocal);
    EXPECT_TRUE(result.Succeeded);
    EXPECT_TRUE(result.IsHostName);
    EXPECT_EQ(result.Server, kServerName);
    EXPECT_EQ(spareSwitch.Value(), -1);
    EXPECT_TRUE(served.empty());
}

TEST_F(ServerIpLookupTest, AlternatesUsualAndSpareAddressAcrossLocalLookups) {
    std::string addresses;
    for (const int netType :
         {kNetTypeInternet, kNetTypeLocal, kNetTypeInternet, kNetTypeLocal, kNetTypeInternet}) {
        const ServerIpLookupResult result = Lookup(netType);
        EXPECT_TRUE(result.Succeeded);
        addresses += result.Server + " ";
    }
    EXPECT_EQ(addresses, "203.0.113.7 4711 198.51.100.9 4711 203.0.113.7 ");

    ASSERT_EQ(served.size(), 3u);
    const std::string base = "/csp/ip/?flag=201&sysid=4711&ippwd=471187654321&devicesn=1000004242";
    EXPECT_EQ(served[0].request.target, base);
    EXPECT_EQ(served[1].request.target, base + "&spareip=1");
    EXPECT_EQ(served[2].request.target, base);
}

TEST_F(ServerIpLookupTest, TheSpareLookupIsSignedOverTheSortedQueryWithTheClientsHeaders) {
    Lookup();
    Lookup();
    ASSERT_EQ(served.size(), 2u);
    const ServiceRequest& request = served[1].request;
    const std::string canonical =
        "/csp/ip/?devicesn=1000004242&flag=201&ippwd=471187654321&spareip=1&sysid=4711";
    EXPECT_EQ(served[1].answer.canonical, canonical);

    const std::string toSign = std::string("GET\n") + "text/html, application/xhtml+xml, */*" +
                               "\n\n\n" + *request.Header("date") + "\n" + canonical;
    EXPECT_EQ(*request.Header("X-Ca-Signature"), Base64Encode(HmacSha256(kTestSecret, toSign)));
    EXPECT_EQ(*request.Header("X-Ca-Key"), kTestKey);
    EXPECT_EQ(*request.Header("Accept-Language"), "zh-CN");
    EXPECT_EQ(*request.Header("User-Agent"),
              "Mozilla/5.0 (Windows NT 6.1; WOW64; Trident/7.0; rv:11.0) like Gecko");
}

TEST_F(ServerIpLookupTest, ReadsTheAddressMemberOfThePayload) {
    const struct {
        const char* payload;
        bool succeeded;
        const char* server;
    } cases[] = {
        {"{\"ipaddress\":\"10.1.2.3\"}", true, "10.1.2.3"},
        {"{\"IPAddress\":\"10.1.2.3\"}", true, "10.1.2.3"},
        {"{\"code\":0,\"ipaddress\":\"10.1.2.3\",\"x\":[1]}", true, "10.1.2.3"},
        {"{\"ipaddress\":\"\"}", true, ""},
        {"{\"ipaddress\":12}", true, "12"},
        {"{\"ip\":\"10.1.2.3\"}", false, ""},
        {"{\"ipaddress\":{\"v4\":\"10.1.2.3\"}}", false, ""},
        {"[\"10.1.2.3\"]", false, ""},
        {"10.1.2.3", false, ""},
        {"", false, ""},
    };
    for (const auto& c : cases) {
        service.Options().has_payload = true;
        service.Options().payload = c.payload;
        const ServerIpLookupResult result = Lookup();
        EXPECT_EQ(result.Succeeded, c.succeeded) << c.payload;
        EXPECT_FALSE(result.IsHostName) << c.payload;
        EXPECT_EQ(result.Server, c.server) << c.payload;
    }
    EXPECT_EQ(spareSwitch.Value(), 1);
}

TEST_F(ServerIpLookupTest, FailsWhenTheServiceRefusesOrFindsNothing) {
    const struct {
        const char* what;
        void (*spoil)(ServiceOptions&, WebConstants&);
        const char* reason;
    } cases[] = {
        {"secret", [](ServiceOptions&, WebConstants& c) { c.SigningSecret = "wrong"; },
         "signature mismatch"},
        {"key", [](ServiceOptions&, WebConstants& c) { c.AppKey = "11111111"; },
         "X-Ca-Key unknown"},
        {"digits", [](ServiceOptions& o, WebConstants&) { o.digits = "87654321"; },
         "ippwd does not fit sysid"},
        {"server", [](ServiceOptions& o, WebConstants&) { o.servers.clear(); }, "unknown sysid"},
        {"base", [](ServiceOptions&, WebConstants& c) { c.ServiceBaseAddress += "/elsewhere"; },
         "no such page"},
        {"no markers", [](ServiceOptions& o, WebConstants&) { o.fault = ServiceFault::kNoMarkers; },
         nullptr},
    };
    const ServiceOptions sound = service.Options();
    const WebConstants soundConstants = constants;
    for (const auto& c : cases) {
        service.Options() = sound;
        constants = soundConstants;
        c.spoil(service.Options(), constants);
        served.clear();
        const ServerIpLookupResult result = Lookup();
        EXPECT_FALSE(result.Succeeded) << c.what;
        EXPECT_EQ(result.Server, "") << c.what;
        ASSERT_EQ(served.size(), 1u) << c.what;
        if (c.reason) {
            EXPECT_EQ(served[0].note, c.reason) << c.what;
        }
    }
}

TEST_F(ServerIpLookupTest, FailsForAnHttpsServiceAndStillAdvancesTheSwitch) {
    constants.ServiceBaseAddress = "https" + constants.ServiceBaseAddress.substr(4);
    EXPECT_FALSE(Lookup().Succeeded);
    EXPECT_TRUE(served.empty());
    EXPECT_EQ(spareSwitch.Value(), 0);
}

TEST_F(ServerIpLookupTest, TheServiceRefusesADateFarFromItsClock) {
    WebInfoService late(
        loop, service.Options(),
        [this](const ServedRequest& request) { served.push_back(request); },
        [] { return LocalDateTime{2001, 2, 3, 4, 5, 6}; });
    ASSERT_EQ(late.Start(), 0);
    EXPECT_FALSE(ServerIpLookup({kNetTypeInternet, kServerName, kDeviceSerial}, late.BaseAddress(),
                                kTestDigits, spareSwitch)
                     .Succeeded);
    ASSERT_EQ(served.size(), 1u);
    EXPECT_EQ(served[0].note, "date too far from the service's clock");
}

}  // namespace
}  // namespace px3::testing
