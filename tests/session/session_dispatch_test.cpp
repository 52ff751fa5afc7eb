#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "messaging/string_line.h"
#include "session/session_fixture.h"

namespace px3::testing {
namespace {

using ::testing::ElementsAre;

constexpr int32_t kPingAnswer = -99999999;

std::string ListOf(const std::string& name, const std::string& value) {
    TParamList list;
    list.FastAdd(name, Variant(value));
    return list.GetWireText(false);
}

TEST_F(SessionTest, MessagesTheServerSendsOnItsOwn) {
    std::vector<std::string> events;
    session->OnChatMessage = [&](TClientSocket&, const std::string& t) {
        events.push_back("chat " + t);
    };
    session->OnServerBroadcast = [&](TClientSocket&, const std::string& t) {
        events.push_back("broadcast " + t);
    };
    session->OnCodedMessage = [&](TClientSocket&, int32_t code, const std::string& t) {
        events.push_back("coded " + std::to_string(code) + " " + t);
    };
    session->OnCodedStream = [&](TClientSocket&, int32_t code, const std::string& stream) {
        events.push_back("stream " + std::to_string(code) + " " + stream);
    };
    session->OnServerUtilityInfoEvent = [&](TClientSocket&, int32_t kind, TParamList& list) {
        events.push_back("info " + std::to_string(kind) + " " + list.Items(0).AsString());
    };
    ASSERT_NO_FATAL_FAILURE(Connect());
    server->SendMessage(mkServerMessage, {std::string("maintenance at noon")});
    server->SendMessage(mkServerNotice, {std::string("notice")});
    server->SendMessage(mkChatMessage, {std::string("hi")});
    server->SendMessage(mkServerBroadcast, {std::string("all")});
    server->SendMessage(mkCodedMessage, {42, std::string("text")});
    server->SendMessage(mkCodedStream, {7, std::string("\x01\x00\x02", 3)});
    server->SendMessage(mkServerUtilityInfo, {6, ListOf("Now", "3,25")});
    server->SendMessage(71, {std::string("not a valid kind")});
    ASSERT_TRUE(RunUntil([&] { return events.size() == 5; }));
    EXPECT_THAT(app.messages, ElementsAre("maintenance at noon", "notice"));
    EXPECT_THAT(events, ElementsAre("chat hi", "broadcast all", "coded 42 text",
                                    std::string("stream 7 \x01\x00\x02", 12), "info 6 3,25"));
    EXPECT_DOUBLE_EQ(session->ServerInfoNumber(), 3.25);
    EXPECT_TRUE(app.errors.empty());
}

TEST_F(SessionTest, MalformedMessageIsReportedAndLaterOnesStillArrive) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    server->Send(std::string(10, '\x09'));
    server->SendMessage(mkServerMessage, {std::string("after")});
    ASSERT_TRUE(RunUntil([&] { return !app.messages.empty(); }));
    ASSERT_EQ(app.errors.size(), 1u);
    EXPECT_EQ(app.errors[0].rfind("Malformed message", 0), 0u) << app.errors[0];
    EXPECT_TRUE(session->Active());
}

TEST_F(SessionTest, PingIsAnsweredExceptWhileAReplyIsAwaited) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    server->SendMessage(mkServerUtilityInfo, {19, std::string()});
    ASSERT_TRUE(RunUntil([&] { return server->ReceivedOfKind(mkCodedMessage).size() == 1; }));
    EXPECT_THAT(server->ReceivedOfKind(mkCodedMessage)[0].fields,
                ElementsAre(std::to_string(kPingAnswer), "ping"));

    server->OnMessage = [](FakeServer& s, const ReceivedMessage& message) {
        if (message.kind == mkCodedParamList) {
            s.SendMessage(mkServerUtilityInfo, {19, std::string()});
            s.SendMessage(mkCodedParamList, {message.Integer(0), ListOf("A", "a"), 1});
        }
    };
    TParamList request;
    const std::unique_ptr<TParamList> reply = session->RequestCodedParamList(100, &request);
    ASSERT_NE(reply, nullptr);
    loop.ProcessPending();
    EXPECT_EQ(server->ReceivedOfKind(mkCodedMessage).size(), 1u);
}

TEST_F(SessionTest, TerminateMessageEndsSessionAndApplicationUnlessHandled) {
    bool handle = true;
    std::string told;
    session->OnTerminateMessageFromServer = [&](TClientSocket&, const std::string& text,
                                                bool& handled) {
        told = text;
        handled = handle;
    };
    ASSERT_NO_FATAL_FAILURE(Connect());
    server->SendMessage(mkTerminateMessage, {std::string("bye")});
    ASSERT_TRUE(RunUntil([&] { return !told.empty(); }));
    EXPECT_TRUE(session->Active());
    EXPECT_EQ(app.terminations, 0);

    session->OnTerminateMessageFromServer = nullptr;
    server->SendMessage(mkTerminateMessage, {std::string("bye")});
    ASSERT_TRUE(RunUntil([&] { return app.terminations == 1; }));
    EXPECT_FALSE(session->Active());
    EXPECT_THAT(log, ElementsAre("connect", "disconnect", "terminate"));
}

TEST_F(SessionTest, KeepAliveEveryIntervalUntilTheFirstClose) {
    session->SetKeepAlivePing(1);
    ASSERT_NO_FATAL_FAILURE(Connect());
    const auto keepAlives = [&] { return server->ReceivedOfKind(mkCodedMessage).size(); };
    clock.Advance(59999);
    loop.ProcessPending();
    EXPECT_EQ(keepAlives(), 0u);
    clock.Advance(1);
    ASSERT_TRUE(RunUntil([&] { return keepAlives() == 1; }));
    EXPECT_THAT(server->ReceivedOfKind(mkCodedMessage)[0].fields, ElementsAre("-1", ""));
    clock.Advance(60000);
    ASSERT_TRUE(RunUntil([&] { return keepAlives() == 2; }));

    session->SetActive(false);
    ASSERT_NO_FATAL_FAILURE(Connect());
    clock.Advance(180000);
    loop.ProcessPending();
    Settle();
    EXPECT_EQ(keepAlives(), 2u);
}

TEST_F(SessionTest, KeepAliveNeverStartsForAConnectionOpenedAfterTheFirstTick) {
    session->SetKeepAlivePing(1);
    clock.Advance(60000);
    loop.ProcessPending();
    ASSERT_NO_FATAL_FAILURE(Connect());
    clock.Advance(120000);
    loop.ProcessPending();
    Settle();
    EXPECT_TRUE(server->ReceivedOfKind(mkCodedMessage).empty());
    EXPECT_EQ(session->KeepAlivePing(), 1);
}

TEST_F(SessionTest, ReconnectClosesOpensAndLogsInAgain) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    server->SendMessage(mkReconnect, {});
    ASSERT_TRUE(RunUntil([&] { return server->ReceivedOfKind(mkLogin).size() == 2; }));
    ASSERT_TRUE(RunUntil([&] { return server->ReceivedOfKind(mkServerUtilityInfo).size() == 2; }));
    EXPECT_TRUE(session->Active());
    EXPECT_EQ(server->Connections(), 2);
    EXPECT_EQ(session->LoginAttempts(), 3);
    EXPECT_THAT(log, ElementsAre("connect", "disconnect", "connect"));
}

TEST_F(SessionTest, RedirectGoesToTheNamedServerKeepingTheLoginTypeAndReturnsAfterward) {
    FakeServer target(session->NotificationWindow());
    session->SetHost("localhost");
    std::vector<std::string> statuses;
    session->OnConnectStatusChange = [&](TClientSocket&, const std::string& status) {
        statuses.push_back(status);
    };
    ASSERT_NO_FATAL_FAILURE(Connect());
    const std::string where = "127.0.0.1:" + std::to_string(target.Port());
    server->SendMessage(mkRedirect, {ListOf("Server", where)});
    ASSERT_TRUE(RunUntil([&] { return target.ReceivedOfKind(mkServerUtilityInfo).size() == 1; }));
    EXPECT_EQ(target.ReceivedOfKind(mkLogin)[0].fields[0], "1");
    EXPECT_EQ(session->Port(), target.Port());
    EXPECT_EQ(session->Host(), "");
    EXPECT_NE(
        std::find(statuses.begin(), statuses.end(),
                  "Connecting from Anchor to Server 127.0.0.1:" + std::to_string(server->Port())),
        statuses.end());

    // When the server's connection ends the session goes back to its anchor.
    target.CloseClient();
    ASSERT_TRUE(RunUntil([&] { return !session->Active(); }));
    EXPECT_EQ(session->AnchorStatus(), TACConnectedToAnchor);
    EXPECT_EQ(session->Host(), "localhost");
    EXPECT_EQ(session->Port(), server->Port());
    clock.Advance(500);
    ASSERT_TRUE(RunUntil([&] { return server->ReceivedOfKind(mkLogin).size() == 2; }));
}

TEST_F(SessionTest, RedirectWithoutAServerCloses) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    server->SendMessage(mkRedirect, {std::string()});
    ASSERT_TRUE(RunUntil([&] { return !app.errors.empty(); }));
    EXPECT_THAT(app.errors, ElementsAre("No Server Available. Contact your network Administrator"));
    EXPECT_FALSE(session->Active());
    EXPECT_EQ(session->AnchorStatus(), TACDisconnectedFromServer);
    clock.Advance(1000);
    Settle();
    EXPECT_EQ(server->Connections(), 1);
}

}  // namespace
}  // namespace px3::testing
