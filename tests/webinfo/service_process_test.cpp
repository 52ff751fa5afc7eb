#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/web_info_constants.h"
#include "platform/event_loop.h"
#include "web/get_info_from_web.h"
#include "web/server_ip_lookup.h"

namespace px3::testing {
namespace {

// The program's own constants against the webinfo-service process that the launcher
// tests/webinfo/with_webinfo_service starts with its default key, secret and digits and the map
// 4711=203.0.113.7,198.51.100.9. Only the base address is changed, to the service's.
class ServiceProcessTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* port = std::getenv("PX3_WEBINFO_SERVICE_PORT");
        if (port == nullptr) {
            GTEST_SKIP() << "run through tests/webinfo/with_webinfo_service";
        }
        constants = DecipherWebConstants();
        constants.ServiceBaseAddress = std::string("http://127.0.0.1:") + port;
        InstallWebInfoConstants(&constants);
        watchdog.Start(20000);
    }
    void TearDown() override { InstallWebInfoConstants(nullptr); }

    ServerIpLookupResult Lookup() {
        return ServerIpLookup({kNetTypeInternet, "4711", "1000004242"},
                              constants.ServiceBaseAddress, kLookupPasswordDigits, spareSwitch);
    }

    EventLoop loop;
    Timer watchdog{loop, [this] { loop.Quit(); }};
    WebConstants constants;
    SpareAddressSwitch spareSwitch;
};

TEST_F(ServiceProcessTest, TheFirstLookupGivesTheUsualAddressAndTheSecondTheSpareOne) {
    const ServerIpLookupResult first = Lookup();
    EXPECT_TRUE(first.Succeeded);
    EXPECT_EQ(first.Server, "203.0.113.7");

    const ServerIpLookupResult second = Lookup();
    EXPECT_TRUE(second.Succeeded);
    EXPECT_EQ(second.Server, "198.51.100.9");
}

TEST_F(ServiceProcessTest, ALookupSignedWithAnotherSecretFails) {
    constants.SigningSecret += "x";
    const ServerIpLookupResult result = Lookup();
    EXPECT_FALSE(result.Succeeded);
    EXPECT_EQ(result.Server, "");
}

}  // namespace
}  // namespace px3::testing
