#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "integration/central_server_fixture.h"
#include "messaging/session_errors.h"
#include "platform/tcp_socket.h"

namespace px3::testing {
namespace {

using ::testing::ElementsAre;

// Whether a packed message is a coded message with the given code and text.
bool IsCodedMessage(const std::string& packed, const std::string& codeAndText) {
    return packed.size() >= 50 && packed[0] == static_cast<char>(mkCodedMessage) &&
           packed.substr(50) == codeAndText;
}

TEST_F(CentralServerTest, RefusedConnectionReportsTheCloseThenTheRefusal) {
    uint16_t port = 0;
    {
        NotificationTarget target(loop);
        TcpListener listener(target, [] {});
        ASSERT_EQ(listener.Listen(kLoopbackAddress, 0), 0);
        port = listener.Port();
    }
    session.SetPort(port);
    session.SetActive(true);
    ASSERT_TRUE(RunUntil([&] { return !app.errors.empty(); }));
    EXPECT_THAT(log,
                ElementsAre("disconnect", std::string("error: ") + expected::kRefusedConnection +
                                              " at 127.0.0.1 on Port:" + std::to_string(port)));
    EXPECT_FALSE(session.Active());
}

TEST_F(CentralServerTest, UnresolvableHostFailsTheOpening) {
    session.SetHost("no-such-host.invalid");
    session.SetPort(CentralServerPort("PLAIN"));
    try {
        session.SetActive(true);
        FAIL() << "no error";
    } catch (const ESocketError& error) {
        const std::string tail = "(10049), on API 'connect'";
        EXPECT_EQ(error.Message().rfind("Windows socket error: ", 0), 0u) << error.Message();
        EXPECT_EQ(error.Message().substr(error.Message().size() - tail.size()), tail);
    }
    EXPECT_THAT(log, ElementsAre("disconnect"));
}

TEST_F(CentralServerTest, RefusedLoginShowsTheRefusalAndEndsTheApplication) {
    session.SetPort(CentralServerPort("REFUSE"));
    session.SetActive(true);
    ASSERT_TRUE(RunUntil([&] { return app.terminations > 0; }));
    EXPECT_THAT(log, ElementsAre("connect", std::string("message: ") + expected::kRefusedLogin,
                                 "terminate"));
}

TEST_F(CentralServerTest, TerminateMessageClosesAndEndsTheApplication) {
    session.SetPort(CentralServerPort("TERMINATE"));
    session.SetActive(true);
    ASSERT_TRUE(RunUntil([&] { return app.terminations > 0; }));
    EXPECT_EQ(infoAnswers, 1);
    EXPECT_FALSE(session.Active());
    EXPECT_THAT(log, ElementsAre("connect", "disconnect", "terminate"));
}

TEST_F(CentralServerTest, PingIsAnsweredButNotWhileAReplyIsAwaited) {
    std::vector<std::string> pings;
    session.OnServerUtilityInfoEvent = [&](TClientSocket& sender, int32_t kind, TParamList&) {
        if (kind == 6) {
            ++infoAnswers;
        } else if (kind == 19) {
            pings.push_back(sender.SmartWait().Waiting() ? "ping while waiting" : "ping");
        }
    };
    session.OnBytesOutEvent = [&](TClientSocket&, const std::string& data, int64_t, int64_t) {
        if (IsCodedMessage(data, "-99999999ping")) {
            pings.push_back("answer");
        }
    };
    ASSERT_NO_FATAL_FAILURE(ConnectTo("PING"));
    ASSERT_TRUE(RunUntil([&] { return pings.size() >= 2; }));
    EXPECT_THAT(pings, ElementsAre("ping", "answer"));

    // The server trickles its replies: a ping it sends while the first (unawaited) one is on its
    // way reaches the session while it waits for the second.
    pings.clear();
    EXPECT_EQ(session.ExchangeCodedParamList(kWholeClient, nullptr, false), "");
    RunFor(1500);
    const size_t beforeWait = pings.size();
    const std::unique_ptr<TParamList> whole = Request(kWholeClient);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(whole->Items(0).DataLength(), 150000u);
    const auto during = std::find(pings.begin() + static_cast<std::ptrdiff_t>(beforeWait),
                                  pings.end(), "ping while waiting");
    ASSERT_NE(during, pings.end()) << ::testing::PrintToString(pings);
    EXPECT_TRUE(during + 1 == pings.end() || *(during + 1) != "answer");
    EXPECT_TRUE(session.Active());
}

TEST_F(CentralServerTest, KeepAliveAfterOneMinute) {
    int keepAlives = 0;
    session.OnBytesOutEvent = [&](TClientSocket&, const std::string& data, int64_t, int64_t) {
        keepAlives += IsCodedMessage(data, "-1") ? 1 : 0;
    };
    session.SetKeepAlivePing(1);
    ASSERT_NO_FATAL_FAILURE(ConnectTo("PLAIN"));
    RunFor(100);
    EXPECT_EQ(keepAlives, 0);
    clock.Advance(60000);
    ASSERT_TRUE(RunUntil([&] { return keepAlives == 1; }));
    EXPECT_NE(Request(kFileList), nullptr);
    EXPECT_TRUE(session.Active());
}

TEST_F(CentralServerTest, ClosingAndOpeningAgainLogsInAnew) {
    ASSERT_NO_FATAL_FAILURE(ConnectTo("PLAIN"));
    session.SetActive(false);
    ASSERT_NO_FATAL_FAILURE(ConnectTo("PLAIN"));
    EXPECT_EQ(session.LoginAttempts(), 2);
    EXPECT_NE(Request(kFileList), nullptr);
    EXPECT_THAT(log, ElementsAre("connect", "disconnect", "connect"));
}

TEST_F(CentralServerTest, ReconnectMessageLogsInAgainOnANewConnection) {
    session.SetPort(CentralServerPort("RECONNECT"));
    session.SetActive(true);
    ASSERT_TRUE(RunUntil([&] { return infoAnswers == 2 && session.Active(); }));
    EXPECT_THAT(log, ElementsAre("connect", "disconnect", "connect"));
    // Both login replies and the reconnect request count as attempts.
    EXPECT_EQ(session.LoginAttempts(), 3);
    const std::unique_ptr<TParamList> names = Request(kFileList);
    ASSERT_NE(names, nullptr);
    EXPECT_EQ(names->Count(), 3);
    EXPECT_TRUE(session.Active());
}

TEST_F(CentralServerTest, RedirectLeadsToTheNamedServer) {
    const uint16_t plain = CentralServerPort("PLAIN");
    session.SetPort(CentralServerPort("REDIRECT"));
    session.SetActive(true);
    ASSERT_TRUE(RunUntil([&] { return infoAnswers == 2 && session.Active(); }));
    EXPECT_EQ(session.Port(), plain);
    EXPECT_EQ(session.Address(), "127.0.0.1");
    EXPECT_THAT(log, ElementsAre("connect", "disconnect", "connect"));
    const std::unique_ptr<TParamList> names = Request(kFileList);
    ASSERT_NE(names, nullptr);
    EXPECT_EQ(names->Count(), 3);
}

}  // namespace
}  // namespace px3::testing
