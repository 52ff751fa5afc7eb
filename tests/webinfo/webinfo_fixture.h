#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/event_loop.h"
#include "web/get_info_from_web.h"
#include "web/server_ip_lookup.h"
#include "web/web_constants.h"
#include "webinfo-service/webinfo_service.h"

namespace px3::testing {

inline constexpr char kTestKey[] = "51740968";
inline constexpr char kTestSecret[] = "fixture secret";
inline constexpr char kTestDigits[] = "12345678";
inline constexpr char kServerName[] = "4711";
inline constexpr char kUsualAddress[] = "203.0.113.7";
inline constexpr char kSpareAddress[] = "198.51.100.9";
inline constexpr char kDeviceSerial[] = "1000004242";

// Our web information service inside the test's event loop, and the web constants of the
// program pointed at it and installed for the exported function. The service records every
// request it answers. A request that hangs is ended by a watchdog instead of hanging the test.
class WebInfoTest : public ::testing::Test {
  protected:
    WebInfoTest() {
        ServiceOptions& options = service.Options();
        options.key = kTestKey;
        options.secret = kTestSecret;
        options.digits = kTestDigits;
        options.servers[kServerName] = {kUsualAddress, kSpareAddress};
        EXPECT_EQ(service.Start(), 0);
        constants.AppKey = kTestKey;
        constants.SigningSecret = kTestSecret;
        constants.ServiceBaseAddress = service.BaseAddress();
        InstallWebInfoConstants(&constants);
        watchdog.Start(20000);
    }
    ~WebInfoTest() override { InstallWebInfoConstants(nullptr); }

    // The lookup over the Internet of the fixture's server, with the program's switch.
    ServerIpLookupResult Lookup(int netType = kNetTypeInternet) {
        return ServerIpLookup({netType, kServerName, kDeviceSerial}, constants.ServiceBaseAddress,
                              kTestDigits, spareSwitch);
    }

    // The URL of the fixture server's lookup at the service.
    std::string LookupUrl(bool spare = false) const {
        return ServerIpLookupUrl(constants.ServiceBaseAddress,
                                 {kNetTypeInternet, kServerName, kDeviceSerial}, kTestDigits,
                                 spare);
    }

    EventLoop loop;
    Timer watchdog{loop, [this] { loop.Quit(); }};
    std::vector<ServedRequest> served;
    WebInfoService service{loop, ServiceOptions{},
                           [this](const ServedRequest& request) { served.push_back(request); }};
    WebConstants constants;
    SpareAddressSwitch spareSwitch;
};

}  // namespace px3::testing
