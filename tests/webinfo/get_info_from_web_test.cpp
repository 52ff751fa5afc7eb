#include <gtest/gtest.h>

#include <string>

#include "platform/own_export.h"
#include "platform/tcp_socket.h"
#include "web/get_info_from_web.h"
#include "web/web_info_request.h"
#include "webinfo/webinfo_fixture.h"

extern "C" void GetInfoFromWeb_Export(const std::string& url, std::string& result) noexcept;

namespace px3::testing {
namespace {

const std::string kUsualPayload = "{\"ipaddress\":\"203.0.113.7\"}";

TEST(OwnExport, FindsTheExportedFunctionByNameOnly) {
    EXPECT_EQ(FindOwnExport("GetInfoFromWeb_Export"),
              reinterpret_cast<ExportedEntry>(&GetInfoFromWeb_Export));
    EXPECT_EQ(FindOwnExport("GetInfoFromWeb"), nullptr);
    EXPECT_EQ(FindOwnExport("NoSuchExport"), nullptr);
}

using WebInfoRequestTest = WebInfoTest;

TEST_F(WebInfoRequestTest, ReturnsThePayloadOfEveryReplyShapeTheClientAccepts) {
    const struct {
        const char* fault;
        std::string payload;
        size_t requests = 1;
    } cases[] = {
        {"none", kUsualPayload},
        {"no-markers", ""},
        {"no-closing-marker", kUsualPayload + "</p></body></html>\r\n"},
        {"status-404", ""},
        {"status-500", ""},
        {"chunked", kUsualPayload},
        {"headerless", kUsualPayload},
        {"until-close", kUsualPayload},
        // Relocations with a body of known length count twice: the third is not followed, and
        // the redirect that ends the request leaves its own page. Bodies of the redirects that
        // were followed are dropped.
        {"redirect:2", kUsualPayload, 3},
        {"redirect:3", "{\"hop\":3}", 3},
        {"redirect-rooted:2", kUsualPayload, 3},
        {"redirect-relative:2", kUsualPayload, 3},
        {"redirect-no-body:2", kUsualPayload, 3},
        {"redirect-no-body:3", "", 3},
        // Relocations ended by the server's close count once: five are followed.
        {"redirect-until-close:5", kUsualPayload, 6},
        {"redirect-until-close:6", "{\"hop\":6}", 6},
        // A keep-alive redirect without a body ends the request at once.
        {"redirect-keep-alive", ""},
    };
    for (const auto& c : cases) {
        service.Options() = ParseServiceOptions(
            {"--key", kTestKey, "--secret", kTestSecret, "--digits", kTestDigits, "--map",
             "4711=203.0.113.7,198.51.100.9", "--fault", c.fault});
        served.clear();
        EXPECT_EQ(WebInfoRequest(LookupUrl()), c.payload) << c.fault;
        ASSERT_EQ(served.size(), c.requests) << c.fault;
        EXPECT_NE(served.back().answer.status, 403) << c.fault << ": " << served.back().Line();
    }
}

TEST_F(WebInfoRequestTest, IsEmptyWhenTheServiceCannotBeReached) {
    NotificationTarget target(loop);
    TcpListener closed(target, [] {});
    ASSERT_EQ(closed.Listen(kLoopbackAddress, 0), 0);
    const std::string port = std::to_string(closed.Port());
    closed.Close();

    EXPECT_EQ(WebInfoRequest("http://127.0.0.1:" + port + "/csp/ip/?flag=201"), "");
    EXPECT_EQ(WebInfoRequest("https://127.0.0.1:" + std::to_string(service.Port()) +
                             "/csp/ip/?flag=201&sysid=4711"),
              "");
    EXPECT_TRUE(served.empty());
}

TEST_F(WebInfoRequestTest, EmptiesAStaleResultOnFailureAndMayShareTheUrlVariable) {
    std::string result = "stale";
    GetInfoFromWeb_Export("https://127.0.0.1/", result);
    EXPECT_EQ(result, "");

    std::string both = LookupUrl();
    GetInfoFromWeb_Export(both, both);
    EXPECT_EQ(both, kUsualPayload);
}

TEST_F(WebInfoRequestTest, DispatchesOtherEventsWhileASlowReplyArrives) {
    service.Options().fault = ServiceFault::kSlow;
    int ticks = 0;
    Timer ticker(loop, [&ticks] { ++ticks; });
    ticker.Start(50);

    EXPECT_EQ(WebInfoRequest(LookupUrl()), kUsualPayload);
    EXPECT_GE(ticks, 5);
}

TEST_F(WebInfoRequestTest, SignsWithTheInstalledConstantsAndAnEmptySecretWithoutThem) {
    constants.SigningSecret = "another secret";
    EXPECT_EQ(WebInfoRequest(LookupUrl()), "");
    EXPECT_EQ(served.back().note, "signature mismatch");

    InstallWebInfoConstants(nullptr);
    service.Options().secret = "";
    EXPECT_EQ(WebInfoRequest(LookupUrl()), kUsualPayload);
}

}  // namespace
}  // namespace px3::testing
