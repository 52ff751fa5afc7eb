#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "http/http_client_fixture.h"
#include "web/info_request_signing.h"
#include "web/request_signing.h"

namespace px3::testing {
namespace {

constexpr const char* kAccept = "text/html, application/xhtml+xml, */*";

// Dates that move on by one second every time one is taken.
struct TickingDates {
    std::string operator()() {
        ++taken;
        return "2024-05-06 07:08:" + std::string(taken < 10 ? "0" : "") + std::to_string(taken);
    }
    int taken = 0;
};

// The value of the line starting with name in a request header block, or "(none)".
std::string LineValue(const std::string& request, const std::string& name) {
    const std::size_t start = request.find("\r\n" + name);
    if (start == std::string::npos) {
        return "(none)";
    }
    const std::size_t value = start + 2 + name.size();
    return request.substr(value, request.find("\r\n", value) - value);
}

class InfoRequestSigningTest : public HttpClientTest {
  protected:
    InfoRequestSigningTest() {
        constants.SigningSecret = "s3cret";
        client.Accept = kAccept;
        client.OnBeforeHeaderSend = InfoRequestSigning(constants, std::ref(dates));
    }

    WebConstants constants;
    TickingDates dates;
};

TEST(HttpGetInfoFromWebBeforeHeaderSend, AppendsDateKeyAndSignatureTakingTheDateOnce) {
    EventLoop loop;
    THttpClient client(loop);
    client.Accept = kAccept;
    client.RequestUrl = "http://info.example.com/csp/ip/?flag=201&sysid=S1";
    WebConstants constants;
    constants.SigningSecret = "s3cret";
    TickingDates dates;
    std::vector<std::string> headers{"GET /csp/ip/?flag=201&sysid=S1 HTTP/1.0"};

    HttpGetInfoFromWebBeforeHeaderSend(constants, std::ref(dates), client, "GET", headers);

    EXPECT_EQ(dates.taken, 1);
    const std::string signature =
        SignRequest("GET", kAccept, client.RequestUrl, "s3cret", "2024-05-06 07:08:01");
    EXPECT_EQ(headers, (std::vector<std::string>{"GET /csp/ip/?flag=201&sysid=S1 HTTP/1.0",
                                                 "date:2024-05-06 07:08:01", "X-Ca-Key:51740968",
                                                 "X-Ca-Signature:" + signature}));
    EXPECT_EQ(signature.size(), 44u);
    EXPECT_EQ(signature.back(), '=');
}

TEST(HttpGetInfoFromWebBeforeHeaderSend, SignsWithEmptyKeyAndSecretAlike) {
    EventLoop loop;
    THttpClient client(loop);
    client.Accept = kAccept;
    client.RequestUrl = "http://info.example.com";
    const WebConstants constants{"", "", ""};
    std::vector<std::string> headers;

    HttpGetInfoFromWebBeforeHeaderSend(
        constants, [] { return std::string("2024-01-02 03:04:05"); }, client, "GET", headers);

    EXPECT_EQ(headers, (std::vector<std::string>{
                           "date:2024-01-02 03:04:05", "X-Ca-Key:",
                           "X-Ca-Signature:" + SignRequest("GET", kAccept, client.RequestUrl, "",
                                                           "2024-01-02 03:04:05")}));
}

TEST_F(InfoRequestSigningTest, SendsTheLinesAfterHost) {
    server.Add("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok");
    const std::string url = server.Url("/csp/ip/?flag=201&sysid=S1&spareip=1");

    EXPECT_EQ(Get(url), "ok");

    ASSERT_EQ(server.Requests().size(), 1u);
    const std::string host = "Host: 127.0.0.1:" + std::to_string(server.Port());
    EXPECT_EQ(server.Requests()[0],
              "GET /csp/ip/?flag=201&sysid=S1&spareip=1 HTTP/1.0\r\n"
              "Accept: " +
                  std::string(kAccept) + "\r\n" + host +
                  "\r\ndate:2024-05-06 07:08:01\r\nX-Ca-Key:51740968\r\n"
                  "X-Ca-Signature:" +
                  SignRequest("GET", kAccept, url, "s3cret", "2024-05-06 07:08:01") + "\r\n\r\n");
}

TEST_F(InfoRequestSigningTest, SignsARelocatedRequestAgainWithAFreshDateOverTheCallersUrl) {
    server.Add("HTTP/1.0 302 Found\r\nLocation: /moved?b=2&a=1\r\nContent-Length: 0\r\n\r\n");
    server.Add("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok");
    const std::string url = server.Url("/csp/ip/?flag=201&sysid=S1");

    EXPECT_EQ(Get(url), "ok");

    ASSERT_EQ(server.Requests().size(), 2u);
    EXPECT_EQ(dates.taken, 2);
    const std::string& second = server.Requests()[1];
    EXPECT_TRUE(second.starts_with("GET /moved?b=2&a=1 HTTP/1.0\r\n"));
    EXPECT_EQ(LineValue(server.Requests()[0], "date:"), "2024-05-06 07:08:01");
    EXPECT_EQ(LineValue(second, "date:"), "2024-05-06 07:08:02");
    EXPECT_EQ(LineValue(second, "X-Ca-Key:"), "51740968");
    EXPECT_EQ(LineValue(second, "X-Ca-Signature:"),
              SignRequest("GET", kAccept, url, "s3cret", "2024-05-06 07:08:02"));
    EXPECT_EQ(client.RequestUrl, url);
}

}  // namespace
}  // namespace px3::testing
