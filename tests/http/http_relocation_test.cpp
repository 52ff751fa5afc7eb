#include <gtest/gtest.h>

#include <string>

#include "http/http_client_fixture.h"
#include "web/http_relocation.h"
#include "web/http_request_header.h"

namespace px3::testing {
namespace {

TEST(RelocationTarget, CompletesRelativeValuesFromTheCurrentRequest) {
    const UrlParts current{"http", "", "", "example.com", "8080", "/a/b?z=/y"};
    const std::pair<const char*, const char*> cases[] = {
        {"http://other/x", "http://other/x"},
        {"HTTPS://other:1/x", "HTTPS://other:1/x"},
        {"/root?q", "http://example.com:8080/root?q"},
        {"c?q=1", "http://example.com:8080/a/c?q=1"},
        {"", "http://example.com:8080/a/"},
        {"httpx", "http://example.com:8080/a/httpx"},
    };
    for (const auto& [location, target] : cases) {
        EXPECT_EQ(RelocationTarget(current, location), target) << location;
    }
    EXPECT_EQ(RelocationTarget({"http", "", "", "h", "80", "/a:b/c:d"}, "e"), "http://h/a:b/c:e");
    EXPECT_EQ(RelocationTarget({"http", "", "", "h", "80", "?q=/x"}, "e"), "http://h/e");
}

TEST(GetRequestHeaderLines, NamesThePortOnlyWhenItIsNot80) {
    const HttpRequestHeaderValues values{"1.0", "", "", ""};
    const std::pair<const char*, const char*> cases[] = {
        {"80", "Host: h"}, {"8080", "Host: h:8080"}, {"080", "Host: h:080"}};
    for (const auto& [port, line] : cases) {
        const auto lines = GetRequestHeaderLines({"http", "", "", "h", port, "/"}, values);
        EXPECT_EQ(lines, (std::vector<std::string>{"GET / HTTP/1.0", line})) << port;
    }
}

class HttpRelocationTest : public HttpClientTest {
  protected:
    ScriptedHttpServer other{loop};
};

TEST_F(HttpRelocationTest, FollowsAnAbsoluteTargetAndDropsTheRedirectsBody) {
    const std::string there = "HTTP://127.0.0.1:" + std::to_string(other.Port()) + "/there?x=1";
    server.Add("HTTP/1.0 302 Found\r\nLocation: " + there +
               "\r\nContent-Length: 8\r\n\r\nredirect");
    other.Add("HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nhere");
    body = "kept|";

    EXPECT_EQ(Get(server.Url("/start")), "kept|here");

    EXPECT_EQ(client.StatusCode(), 200);
    EXPECT_EQ(client.RelocationCount(), 2);
    ASSERT_EQ(other.Requests().size(), 1u);
    EXPECT_EQ(other.Requests()[0], "GET /there?x=1 HTTP/1.0\r\nHost: 127.0.0.1:" +
                                       std::to_string(other.Port()) + "\r\n\r\n");
    EXPECT_EQ(client.RequestUrl, server.Url("/start"));
}

TEST_F(HttpRelocationTest, SendsARelativeTargetToTheSameServerOnANewConnection) {
    server.Add("HTTP/1.0 302 Found\r\nLocation: c?q=1\r\n\r\n");
    server.Add("HTTP/1.0 307 Temporary Redirect\r\nLocation: /root\r\n\r\nuntil close");
    server.Add("HTTP/1.0 200 OK\r\n\r\ndone");

    EXPECT_EQ(Get(server.Url("/a/b?z=/y")), "done");

    ASSERT_EQ(server.Requests().size(), 3u);
    EXPECT_TRUE(server.Requests()[1].starts_with("GET /a/c?q=1 HTTP/1.0\r\n"));
    EXPECT_TRUE(server.Requests()[2].starts_with("GET /root HTTP/1.0\r\n"));
    EXPECT_EQ(server.Connections(), 3);
    // Two for the redirect without body, one for the one whose body ran until the close.
    EXPECT_EQ(client.RelocationCount(), 3);
}

TEST_F(HttpRelocationTest, StopsAtTheThirdRedirectWithALengthOrWithoutBody) {
    server.Add("HTTP/1.0 302 Found\r\nLocation: /2\r\nContent-Length: 5\r\n\r\nfirst");
    server.Add("HTTP/1.0 301 Moved Permanently\r\nLocation: /3\r\n\r\n");
    server.Add("HTTP/1.0 302 Found\r\nLocation: /4\r\nContent-Length: 5\r\n\r\nthird");
    server.Add("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nnever");

    EXPECT_EQ(Get(server.Url("/1")), "third");

    EXPECT_EQ(client.StatusCode(), 302);
    EXPECT_EQ(client.RelocationCount(), 6);
    EXPECT_EQ(server.Requests().size(), 3u);
}

TEST_F(HttpRelocationTest, FollowsRedirectsWithBodiesUntilCloseFiveTimes) {
    for (int i = 1; i <= 7; ++i) {
        server.Add("HTTP/1.0 307 Temporary Redirect\r\nLocation: /r" + std::to_string(i + 1) +
                   "\r\n\r\nbody" + std::to_string(i));
    }

    EXPECT_EQ(Get(server.Url("/r1")), "body6");

    EXPECT_EQ(client.StatusCode(), 307);
    EXPECT_EQ(client.ReasonPhrase(), "Temporary Redirect");
    EXPECT_EQ(client.RelocationCount(), 6);
    EXPECT_EQ(server.Requests().size(), 6u);
}

TEST_F(HttpRelocationTest, CountsAfreshForEveryGetAndHonoursTheLimitSetting) {
    client.RelocationMaxCount = 1;
    server.Add("HTTP/1.0 302 Found\r\nLocation: /2\r\nContent-Length: 5\r\n\r\nfirst");
    EXPECT_EQ(Get(server.Url("/1")), "first");
    EXPECT_EQ(client.RelocationCount(), 2);

    body.clear();
    client.RelocationMaxCount = 2;
    server.Add("HTTP/1.0 302 Found\r\nLocation: /2\r\nContent-Length: 5\r\n\r\nfirst");
    server.Add("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok");
    EXPECT_EQ(Get(server.Url("/1")), "ok");
    EXPECT_EQ(client.RelocationCount(), 2);
}

TEST_F(HttpRelocationTest, CompletesAtOnceOnAKeepAliveRedirectWithoutBody) {
    for (const char* reply :
         {"HTTP/1.1 302 Found\r\nConnection: keep-alive\r\nLocation: /next\r\n"
          "Content-Length: 0\r\n\r\n",
          "HTTP/1.0 301 Moved Permanently\r\nLocation: /next\r\nConnection: Keep-Alive\r\n\r\n"}) {
        ScriptedHttpServer keeper(loop);
        keeper.Add(ScriptedReply{{reply}, 0, false});
        keeper.Add("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nnever");

        EXPECT_EQ(Get(keeper.Url("/")), "") << reply;

        EXPECT_EQ(client.StatusCode() / 100, 3) << reply;
        EXPECT_EQ(client.RelocationCount(), 0) << reply;
        EXPECT_EQ(keeper.Requests().size(), 1u) << reply;
    }
}

TEST_F(HttpRelocationTest, RelocatesOnTheSameKeepAliveConnection) {
    server.Add(ScriptedReply{{"HTTP/1.1 302 Found\r\nConnection: keep-alive\r\nLocation: /next\r\n"
                              "Content-Length: 4\r\n\r\nskip"},
                             0,
                             false});
    server.Add(ScriptedReply{{"HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\ndone"}, 0, false});

    EXPECT_EQ(Get(server.Url("/")), "done");

    EXPECT_EQ(server.Connections(), 1);
    ASSERT_EQ(server.Requests().size(), 2u);
    EXPECT_TRUE(server.Requests()[1].starts_with("GET /next HTTP/1.0\r\n"));
    EXPECT_EQ(client.RelocationCount(), 1);
}

TEST_F(HttpRelocationTest, ReturnsTheRedirectWhenNotFollowing) {
    client.FollowRelocation = false;
    server.Add("HTTP/1.0 302 Found\r\nLocation: /2\r\nContent-Length: 5\r\n\r\nfirst");

    EXPECT_EQ(Get(server.Url("/1")), "first");
    EXPECT_EQ(client.StatusCode(), 302);
    EXPECT_EQ(client.RelocationCount(), 0);
}

TEST_F(HttpRelocationTest, FailsOnATargetWithAnotherScheme) {
    server.Add("HTTP/1.0 302 Found\r\nLocation: https://127.0.0.1:" + std::to_string(other.Port()) +
               "/secure\r\n\r\n");

    EXPECT_EQ(GetFailure(server.Url("/")),
              std::make_pair(std::string("Protocol \"https\" not implemented"), 501));
    loop.WaitAndProcess(20);
    EXPECT_EQ(other.Connections(), 0);
}

}  // namespace
}  // namespace px3::testing
