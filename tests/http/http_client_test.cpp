#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "http/http_client_fixture.h"
#include "platform/socket_errors.h"

namespace px3::testing {
namespace {

TEST_F(HttpClientTest, SendsItsHeaderLinesInOrderWithTheHandlersLinesBeforeTheEmptyLine) {
    client.Accept = "text/html, */*";
    client.AcceptLanguage = "zh-CN";
    client.Agent = "Agent/1.0";
    std::vector<std::string> handed;
    THttpClient* sender = nullptr;
    std::string method;
    client.OnBeforeHeaderSend = [&](THttpClient& Sender, const std::string& Method,
                                    std::vector<std::string>& Headers) {
        sender = &Sender;
        method = Method;
        handed = Headers;
        Headers.push_back("X-One:1");
        Headers.push_back("x-two:  2 ");
    };
    server.Add("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok");

    EXPECT_EQ(Get(server.Url("")), "ok");

    const std::string host = "Host: 127.0.0.1:" + std::to_string(server.Port());
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0],
              "GET / HTTP/1.0\r\nAccept: text/html, */*\r\nAccept-Language: zh-CN\r\n"
              "User-Agent: Agent/1.0\r\n" +
                  host + "\r\nX-One:1\r\nx-two:  2 \r\n\r\n");
    EXPECT_EQ(sender, &client);
    EXPECT_EQ(method, "GET");
    EXPECT_EQ(handed,
              (std::vector<std::string>{"GET / HTTP/1.0", "Accept: text/html, */*",
                                        "Accept-Language: zh-CN", "User-Agent: Agent/1.0", host}));
    EXPECT_EQ(client.State(), hsReady);
}

TEST_F(HttpClientTest, LeavesOutEmptySettingsAndSendsThePathAsTheUrlSpellsIt) {
    client.RequestVersion = "1.1";
    server.Add("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");

    Get(server.Url("/a%20b/c?x=1&y=#frag"));

    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0], "GET /a%20b/c?x=1&y=#frag HTTP/1.1\r\nHost: 127.0.0.1:" +
                                        std::to_string(server.Port()) + "\r\n\r\n");
}

TEST_F(HttpClientTest, RaisesForStatusesFrom400But401And407) {
    struct Case {
        const char* reply;
        int status;
        const char* reason;
        const char* body;
        bool raises;
    };
    const Case cases[] = {
        {"HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok", 200, "OK", "ok", false},
        {"HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\nnot here!", 404, "Not Found",
         "not here!", true},
        {"HTTP/1.1 500 Internal Server Error\r\n\r\nbroken", 500, "Internal Server Error", "broken",
         true},
        {"HTTP/1.0 400 Bad Request\r\nContent-Length: 0\r\n\r\n", 400, "Bad Request", "", true},
        {"HTTP/1.0 401 Unauthorized\r\nContent-Length: 6\r\n\r\nsecret", 401, "Unauthorized",
         "secret", false},
        {"HTTP/1.0 407 Proxy Authentication Required\r\n\r\n", 407, "Proxy Authentication Required",
         "", false},
        {"HTTP/1.0 399 Odd\r\n\r\nodd", 399, "Odd", "odd", false},
        // Without a status line the status stays 0, and without a length there is no body.
        {"Server: none\r\nX: y\r\n\r\nignored", 0, "", "", false},
        {"", 0, "", "", false},
    };
    for (const Case& c : cases) {
        body.clear();
        server.Add(c.reply);
        client.RequestUrl = server.Url("/status");
        if (c.raises) {
            EXPECT_EQ(GetFailure(client.RequestUrl),
                      std::make_pair(std::string(c.reason), c.status))
                << c.reply;
        } else {
            EXPECT_NO_THROW(client.Get()) << c.reply;
        }
        EXPECT_EQ(client.StatusCode(), c.status) << c.reply;
        EXPECT_EQ(client.ReasonPhrase(), c.reason) << c.reply;
        EXPECT_EQ(body, c.body) << c.reply;
        EXPECT_EQ(client.State(), hsReady) << c.reply;
    }
}

TEST_F(HttpClientTest, TakesAPageWithoutHeaderWholeAsBody) {
    server.Add("<hTmL>\r\n<body>$*#{\"ipaddress\":\"10.1.2.3\"}%*#</body>\r\n</html>\r\n");

    EXPECT_EQ(Get(server.Url("/page")),
              "<hTmL><body>$*#{\"ipaddress\":\"10.1.2.3\"}%*#</body>\r\n</html>\r\n");
    EXPECT_EQ(client.StatusCode(), 0);
    EXPECT_EQ(client.ContentType(), "text/html");
}

TEST_F(HttpClientTest, StoresACodedBodyByteForByte) {
    const std::string gzip("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03\x01\x00\x00\xff\xff", 15);
    server.Add("HTTP/1.0 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: 15\r\n\r\n" + gzip);

    EXPECT_EQ(Get(server.Url("/coded")), gzip);
    EXPECT_EQ(client.ContentEncoding(), "gzip");
}

TEST_F(HttpClientTest, CompletesAChunkedKeepAliveReplyWithoutWaitingForTheClose) {
    server.Add(ScriptedReply{{"HTTP/1.1 200 OK\r\nConnection: keep-alive\r\n"
                              "Transfer-Encoding: chunked\r\n\r\n4;x=y\r\nWiki\r\n",
                              "5\r\npedia\r\n0\r\nTrailer: t\r\n\r\n"},
                             20,
                             false});

    EXPECT_EQ(Get(server.Url("/chunked")), "Wikipedia");
    EXPECT_EQ(client.StatusCode(), 200);
    EXPECT_EQ(client.TransferEncoding(), "chunked");
}

TEST_F(HttpClientTest, ReadsABodyUntilTheServerCloses) {
    std::string large(1200000, '\0');
    for (std::size_t i = 0; i < large.size(); ++i) {
        large[i] = static_cast<char>(i * 31 + i / 997);
    }
    server.Add(ScriptedReply{
        {"HTTP/1.0 200 OK\r\n\r\n", large.substr(0, 500000), large.substr(500000)}, 10});

    EXPECT_TRUE(Get(server.Url("/large")) == large);
    EXPECT_EQ(client.ContentLength(), -1);
}

TEST_F(HttpClientTest, EndsWithWhatArrivedWhenTheServerClosesEarly) {
    server.Add("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nhalf");
    EXPECT_EQ(Get(server.Url("/cut")), "half");
    EXPECT_EQ(client.StatusCode(), 200);
}

TEST_F(HttpClientTest, DropsAnInterimContinueResponse) {
    server.Add(ScriptedReply{
        {"HTTP/1.1 100 Continue\r\n\r\n", "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"}, 50});

    EXPECT_EQ(Get(server.Url("/continue")), "ok");
    EXPECT_EQ(client.StatusCode(), 200);
    EXPECT_EQ(client.RcvdHeader(),
              (std::vector<std::string>{"HTTP/1.1 200 OK", "Content-Length: 2"}));
}

TEST_F(HttpClientTest, FailsOnAHeaderLineLongerThanItsBuffer) {
    server.Add("HTTP/1.0 200 OK\r\nX-Long: " + std::string(9000, 'a') +
               "\r\nContent-Length: 2\r\n\r\nok");

    EXPECT_EQ(GetFailure(server.Url("/long")),
              std::make_pair(std::string("Response header line does not fit in 8190 bytes"), 502));
    EXPECT_EQ(body, "");
    EXPECT_EQ(client.State(), hsReady);
}

TEST_F(HttpClientTest, KeepsTheApplicationRunningWhileASlowReplyArrives) {
    client.Name = "HttpCli1";
    server.Add(
        ScriptedReply{{"HTTP/1.0 200 OK\r\n", "Content-Length: 4\r\n\r\n", "sl", "ow"}, 400});
    int ticks = 0;
    std::set<THttpState> states;
    std::string busyText;
    int busyCode = 0;
    Timer ticker(loop, [&] {
        ++ticks;
        states.insert(client.State());
        if (ticks == 1) {
            try {
                client.Get();
            } catch (const EHttpException& e) {
                busyText = e.Message();
                busyCode = e.ErrorCode();
            }
        }
    });
    ticker.Start(50);
    bool posted = false;
    NotificationTarget other(loop, [&](const LoopMessage&) { posted = true; });
    other.Post(kFirstUserMessage);

    EXPECT_EQ(Get(server.Url("/slow")), "slow");

    EXPECT_TRUE(posted);
    EXPECT_GE(ticks, 3);
    EXPECT_EQ(busyText, "HTTP component HttpCli1 is busy");
    EXPECT_EQ(busyCode, 1);
    EXPECT_EQ(states.count(hsReady), 0u);
    EXPECT_EQ(states.count(hsWaitingBody), 1u);
}

TEST_F(HttpClientTest, NamesNoComponentWhenBusyWithoutAName) {
    server.Add(ScriptedReply{{"HTTP/1.0 200 OK\r\n\r\n", "done"}, 100});
    std::string busyText;
    int busyCode = 0;
    client.OnBeforeHeaderSend = [&](THttpClient& Sender, const std::string&,
                                    std::vector<std::string>&) {
        try {
            Sender.Get();
        } catch (const EHttpException& e) {
            busyText = e.Message();
            busyCode = e.ErrorCode();
        }
    };

    EXPECT_EQ(Get(server.Url("/")), "done");
    EXPECT_EQ(busyText, "HTTP component  is busy");
    EXPECT_EQ(busyCode, 1);
}

TEST_F(HttpClientTest, RefusesRequestVersionsOtherThan10And11) {
    for (const char* version : {"1.2", "", "HTTP/1.0", "2"}) {
        client.RequestVersion = version;
        EXPECT_EQ(GetFailure(server.Url("/")),
                  std::make_pair(std::string("Insupported HTTP version"), 5))
            << version;
    }
    loop.WaitAndProcess(20);
    EXPECT_EQ(server.Connections(), 0);
}

TEST_F(HttpClientTest, FailsWithItsOwnStatusAndReasonBelowHttp) {
    const std::uint16_t port = server.Port();
    NotificationTarget spare(loop);
    TcpListener closed(spare, [] {});
    ASSERT_EQ(closed.Listen(kLoopbackAddress, 0), 0);
    const std::string closedPort = std::to_string(closed.Port());
    closed.Close();

    const std::pair<std::string, std::pair<std::string, int>> cases[] = {
        {"http:///path", {"can't resolve hostname to IP address", 404}},
        {"http://", {"can't resolve hostname to IP address", 404}},
        {"http://no-such-host.invalid/", {"can't resolve hostname to IP address", 404}},
        {"https://127.0.0.1:" + std::to_string(port) + "/",
         {"Protocol \"https\" not implemented", 501}},
        {"ftp://127.0.0.1/", {"Protocol \"ftp\" not implemented", 501}},
        {"http://127.0.0.1:" + closedPort + "/", {"Connection refused (Error #10061)", 404}},
        {"http://127.0.0.1:0/", {"Cannot assign requested address (Error #10049)", 404}},
        {"http://127.0.0.1:65536/", {"Cannot assign requested address (Error #10049)", 404}},
        {"http://127.0.0.1:x/", {"Cannot assign requested address (Error #10049)", 404}},
    };
    for (const auto& [url, failure] : cases) {
        EXPECT_EQ(GetFailure(url), failure) << url;
        EXPECT_EQ(client.StatusCode(), failure.second) << url;
        EXPECT_EQ(client.State(), hsReady) << url;
    }
    loop.WaitAndProcess(20);
    EXPECT_EQ(server.Connections(), 0);
}

TEST_F(HttpClientTest, AbortsWhenTheApplicationTerminates) {
    Timer terminate(loop, [&] {
        if (server.Requests().size() == 1) {
            loop.Quit();
        }
    });
    terminate.Start(50);

    EXPECT_EQ(GetFailure(server.Url("/never")),
              std::make_pair(std::string("Connection aborted on request"), 404));
    EXPECT_EQ(client.State(), hsReady);
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(HttpClientTest, EndsTheRequestWithTheExceptionOfItsHandler) {
    server.Add("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok");
    client.OnBeforeHeaderSend = [](THttpClient&, const std::string&, std::vector<std::string>&) {
        throw Exception("handler failed");
    };
    client.RequestUrl = server.Url("/");
    try {
        client.Get();
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "handler failed");
    }
    EXPECT_EQ(client.State(), hsReady);

    client.OnBeforeHeaderSend = nullptr;
    EXPECT_EQ(Get(server.Url("/")), "ok");
}

TEST_F(HttpClientTest, EndsTheRequestWhenAnotherHandlerRaisesDuringTheWait) {
    // Raised once the server holds the request, so that no reply given later can answer it.
    bool raised = false;
    Timer failing(loop, [&] {
        if (!raised && server.Requests().size() == 1) {
            raised = true;
            throw Exception("timer failed");
        }
    });
    failing.Start(20);
    client.RequestUrl = server.Url("/never");
    try {
        client.Get();
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "timer failed");
    }
    EXPECT_EQ(client.State(), hsReady);

    server.Add("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok");
    EXPECT_EQ(Get(server.Url("/")), "ok");
}

}  // namespace
}  // namespace px3::testing
