#include <gtest/gtest.h>

#include <string>

#include "webinfo-service/service_options.h"
#include "webinfo-service/service_request.h"
#include "webinfo-service/signing_date.h"

namespace px3 {
namespace {

TEST(WebInfoServiceOptions, ReadsMapsFaultsAndRefusesNonsense) {
    const ServiceOptions options =
        ParseServiceOptions({"--port", "8965", "--map", "4711=10.0.0.1,10.0.0.2", "--map",
                             "12=10.0.0.3", "--fault", "redirect-relative:4", "--payload", "{}"});
    EXPECT_EQ(options.port, 8965);
    EXPECT_EQ(options.servers.at("4711").spare, "10.0.0.2");
    EXPECT_EQ(options.servers.at("12").spare, "10.0.0.3");
    EXPECT_EQ(options.fault, ServiceFault::kRedirectRelative);
    EXPECT_EQ(options.relocations, 4);
    EXPECT_TRUE(options.has_payload);
    EXPECT_EQ(options.key, "51740968");
    EXPECT_FALSE(options.secret.empty());

    for (const auto& args : std::vector<std::vector<std::string>>{{"--port", "65536"},
                                                                  {"--map", "=1.2.3.4"},
                                                                  {"--fault", "sideways"},
                                                                  {"--fault", "chunked:2"},
                                                                  {"--bind", "localhost"},
                                                                  {"--port"},
                                                                  {"stray"}}) {
        EXPECT_THROW(ParseServiceOptions(args), EServiceOptionError) << args[0];
    }
}

TEST(WebInfoServiceRequest, ReadsTheRequestLineHeadersAndQuery) {
    const std::string received =
        "GET /csp/ip/?flag=201&&sysid=a b&x HTTP/1.0\r\nAccept: text/html\r\n"
        "date:2024-02-29 23:59:59\r\nX-Ca-Key:1\r\n\r\nextra";
    ASSERT_EQ(RequestHeaderLength(received), received.size() - 5);
    EXPECT_FALSE(RequestHeaderLength("GET / HTTP/1.0\r\nHost: x\r\n"));

    const auto request = ParseServiceRequest(received.substr(0, received.size() - 5));
    ASSERT_TRUE(request);
    EXPECT_EQ(request->target, "/csp/ip/?flag=201&&sysid=a b&x");
    EXPECT_EQ(*request->Header("DATE"), "2024-02-29 23:59:59");
    EXPECT_EQ(*request->Header("accept"), "text/html");
    EXPECT_EQ(request->Header("X-Ca-Signature"), nullptr);

    const auto parameters = QueryParameters(request->PathAndQuery());
    ASSERT_EQ(parameters.size(), 3u);
    EXPECT_EQ(*ParameterValue(parameters, "sysid"), "a b");
    EXPECT_EQ(*ParameterValue(parameters, "x"), "");
    EXPECT_FALSE(ParseServiceRequest("GARBAGE\r\n\r\n"));
}

TEST(WebInfoServiceDate, ReadsValidDatesAndMeasuresTheirDistance) {
    const auto leap = ParseSigningDate("2024-02-29 23:59:59");
    const auto next = ParseSigningDate("2024-03-01 00.04.59");
    ASSERT_TRUE(leap && next);
    EXPECT_EQ(SecondsBetween(*leap, *next), 300);
    EXPECT_EQ(SecondsBetween(*next, *leap), -300);
    for (const char* bad : {"2023-02-29 00:00:00", "2024-13-01 00:00:00", "2024-01-01 24:00:00",
                            "2024-01-01T00:00:00", "2024-1-01 00:00:00", "2024-01-01 00:00:0x"}) {
        EXPECT_FALSE(ParseSigningDate(bad)) << bad;
    }
}

}  // namespace
}  // namespace px3
