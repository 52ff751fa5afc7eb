#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "messaging/frame.h"
#include "messaging/little_endian.h"
#include "messaging/session_errors.h"
#include "session/session_fixture.h"

namespace px3::testing {
namespace {

using ::testing::ElementsAre;
using Reports = std::vector<std::pair<int32_t, int32_t>>;

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values) {
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

std::string ListText(std::initializer_list<std::pair<const char*, TParamType>> items) {
    TParamList list;
    for (const auto& [name, type] : items) {
        list.AddTypedParam(TFieldType::ftString, name, type).SetAsString(std::string(name) + "!");
    }
    return list.GetWireText(false);
}

// Replies to every coded request with the given list text and flag.
void ReplyWith(FakeServer& server, std::string text, int32_t flag = 1) {
    server.OnMessage = [text, flag](FakeServer& s, const ReceivedMessage& message) {
        if (message.kind == mkLogin) {
            s.AcceptLogin(true);
        } else if (message.kind == mkCodedParamList) {
            s.SendMessage(mkCodedParamList, {message.Integer(0), text, flag});
        }
    };
}

class CodedRequestTest : public SessionTest {
  protected:
    std::unique_ptr<TParamList> Request(int32_t code = 5200) {
        TParamList empty;
        return session->RequestCodedParamList(code, &empty);
    }
};

TEST_F(CodedRequestTest, RequestPacksCodeEmptyListAndAwaitFlag) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    std::string packed;
    session->OnBytesOutEvent = [&](TClientSocket&, const std::string& data, int64_t, int64_t) {
        packed = data;
    };
    const size_t before = server->RawReceived().size();
    ReplyWith(*server, ListText({{"A", TParamType::ptInput}}));
    ASSERT_NE(Request(), nullptr);
    const std::string zeros(18, '\0');
    EXPECT_EQ(packed, Bytes({0x1c, 0, 0, 0, 0, 6, 1, 0, 0, 0, 5, 0, 0, 0, 0, 5,
                             0,    0, 0, 5, 0, 0, 0, 6, 5, 0, 0, 0, 6, 0, 0, 0}) +
                          zeros + "52001");
    const std::string frame = server->RawReceived().substr(before);
    EXPECT_EQ(ReadInt32LE(frame.data()), static_cast<int32_t>(frame.size() - 4));
    EXPECT_EQ(frame.substr(4, 2), Bytes({0x78, 0x01}));
}

TEST_F(CodedRequestTest, ReplyKeepsOnlyInputItems) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    ReplyWith(*server, ListText({{"A", TParamType::ptInput},
                                 {"B", TParamType::ptOutput},
                                 {"C", TParamType::ptInputOutput},
                                 {"D", TParamType::ptResult}}));
    const std::unique_ptr<TParamList> reply = Request();
    ASSERT_NE(reply, nullptr);
    ASSERT_EQ(reply->Count(), 2);
    EXPECT_EQ(reply->Items(0).Name(), "A");
    EXPECT_EQ(reply->Items(0).AsString(), "A!");
    EXPECT_EQ(reply->Items(1).Name(), "C");

    ReplyWith(*server, ListText({{"B", TParamType::ptOutput}}));
    EXPECT_EQ(Request(), nullptr);

    // The reply's text holds the input items, however the reply was made up.
    const std::string inputOnly = ListText({{"A", TParamType::ptInput}});
    ReplyWith(*server, ListText({{"A", TParamType::ptInput}, {"B", TParamType::ptOutput}}));
    EXPECT_EQ(session->ExchangeCodedParamList(5200, nullptr, true), inputOnly);
    ReplyWith(*server, inputOnly);
    EXPECT_EQ(session->ExchangeCodedParamList(5200, nullptr, true), inputOnly);
    ReplyWith(*server, std::string());
    EXPECT_EQ(Request(), nullptr);
}

TEST_F(CodedRequestTest, PushedListsDuringTheWaitGoToTheirEventAndTheWaitGoesOn) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    std::vector<int32_t> pushed;
    session->OnCodedParamList = [&](TClientSocket& sender, int32_t code, TParamList& list) {
        pushed.push_back(code);
        EXPECT_EQ(list.Items(0).Name(), "P");
        // A request from inside the wait is not sent and finds no reply.
        EXPECT_EQ(sender.RequestCodedParamList(1, nullptr), nullptr);
    };
    const std::string push = ListText({{"P", TParamType::ptInput}});
    server->OnMessage = [&](FakeServer& s, const ReceivedMessage& message) {
        if (message.kind == mkCodedParamList) {
            for (int32_t code : {300, -75007, -75008, -75014}) {
                s.SendMessage(mkCodedParamList, {code, push, 0});
            }
            s.SendMessage(mkCodedParamList,
                          {message.Integer(0), ListText({{"R", TParamType::ptInput}}), 1});
        }
    };
    const std::unique_ptr<TParamList> reply = Request();
    ASSERT_NE(reply, nullptr);
    EXPECT_EQ(reply->Items(0).Name(), "R");
    EXPECT_THAT(pushed, ElementsAre(300, -75014));
    EXPECT_EQ(server->ReceivedOfKind(mkCodedParamList).size(), 1u);
}

TEST_F(CodedRequestTest, ErrorReplyShowsTheServersTextsAndReturnsNone) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    std::string errors = ListText({{"A", TParamType::ptInput}, {"B", TParamType::ptInput}});
    server->OnMessage = [&](FakeServer& s, const ReceivedMessage& message) {
        if (message.kind == mkCodedParamList) {
            s.SendMessage(mkServerError, {errors, -1});
        }
    };
    EXPECT_EQ(Request(), nullptr);
    errors.clear();
    EXPECT_EQ(Request(), nullptr);
    EXPECT_THAT(app.errors, ElementsAre("\rA!\rB!", "Server Error"));
    EXPECT_TRUE(session->Active());

    int32_t code = 0;
    session->OnServerAsyncException = [&](TClientSocket&, int32_t c, TParamList&, bool& handled) {
        code = c;
        handled = true;
    };
    EXPECT_EQ(Request(), nullptr);
    EXPECT_EQ(code, -1);
    EXPECT_EQ(app.errors.size(), 2u);
}

TEST_F(CodedRequestTest, CookieErrorsCanGoToTheLoginHandler) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    std::vector<bool> logins;
    session->OnLoginParamsAttempt = [&](TClientSocket&, bool accepted, TParamList&) {
        logins.push_back(accepted);
    };
    session->SQLErrorHandling = seAsExceptions | seRouteCookieErrorsToLogin;
    server->OnMessage = [](FakeServer& s, const ReceivedMessage& message) {
        if (message.kind == mkCodedParamList) {
            s.SendMessage(mkServerError, {std::string(), -75016});
        }
    };
    EXPECT_EQ(Request(), nullptr);
    EXPECT_EQ(logins, std::vector<bool>{false});
    EXPECT_TRUE(app.errors.empty());
}

TEST_F(CodedRequestTest, RequestWhileNotConnectedFailsWithoutSending) {
    try {
        Request();
        FAIL() << "no error";
    } catch (const EConnectException& error) {
        EXPECT_EQ(error.Message(), "Not Connected to Server");
    }
    EXPECT_EQ(server->Connections(), 0);
}

TEST_F(CodedRequestTest, ExchangeWithoutAwaitingSendsFlagZeroAndReturnsAtOnce) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    TParamList list;
    list.FastAdd("FileName", Variant(std::string("Bin\\x.dll")));
    EXPECT_EQ(session->ExchangeCodedParamList(5202, &list, false), "");
    ASSERT_TRUE(RunUntil([&] { return server->ReceivedOfKind(mkCodedParamList).size() == 1; }));
    EXPECT_THAT(server->ReceivedOfKind(mkCodedParamList)[0].fields,
                ElementsAre("5202", list.GetWireText(false), "0"));
}

TEST_F(CodedRequestTest, ServerClosingInsteadOfReplyingEndsTheWaitWithNone) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    server->OnMessage = [](FakeServer& s, const ReceivedMessage& message) {
        if (message.kind == mkCodedParamList) {
            s.CloseClient();
        }
    };
    EXPECT_EQ(Request(), nullptr);
    EXPECT_FALSE(session->Active());
    EXPECT_THAT(log, ElementsAre("connect", "disconnect"));
}

TEST_F(CodedRequestTest, UndecodableReplyEndsTheWaitAtOnce) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    server->OnMessage = [](FakeServer& s, const ReceivedMessage& message) {
        if (message.kind == mkCodedParamList) {
            std::string payload = "this is not a zlib stream";
            FrameMessage(payload);
            s.SendRaw(payload);
        }
    };
    EXPECT_EQ(Request(), nullptr);
    ASSERT_EQ(app.errors.size(), 1u);
    EXPECT_EQ(app.errors[0].rfind("Decompression error: ", 0), 0u) << app.errors[0];
    EXPECT_TRUE(session->Active());

    // A reply whose list cannot be read ends it the same way.
    ReplyWith(*server, std::string("\x05\x00\x00\x00"
                                   "cut",
                                   7));
    EXPECT_EQ(Request(), nullptr);
    EXPECT_EQ(app.errors.size(), 2u);
}

TEST_F(CodedRequestTest, BadLengthWordClosesTheConnection) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    server->OnMessage = [](FakeServer& s, const ReceivedMessage& message) {
        if (message.kind == mkCodedParamList) {
            s.SendRaw(Bytes({0xFB, 0xFF, 0xFF, 0xFF, 0}));
        }
    };
    EXPECT_EQ(Request(), nullptr);
    EXPECT_THAT(log, ElementsAre("connect", "disconnect", "error: Invalid block size (-5)!"));
    EXPECT_FALSE(session->Active());
    ASSERT_TRUE(RunUntil([&] { return server->ClosesSeen() == 1; }));

    // The next connection starts a new byte stream.
    ReplyWith(*server, ListText({{"A", TParamType::ptInput}}));
    ASSERT_NO_FATAL_FAILURE(Connect());
    EXPECT_NE(Request(), nullptr);
}

TEST_F(CodedRequestTest, ReplyThatNoRequestAwaitsIsNotTakenByALaterOne) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    server->SendMessage(mkCodedParamList, {5200, ListText({{"Stale", TParamType::ptInput}}), 1});
    Settle();
    server->OnMessage = [](FakeServer& s, const ReceivedMessage& message) {
        if (message.kind == mkCodedParamList) {
            s.SendMessage(mkServerError, {std::string(), -1});
        }
    };
    EXPECT_EQ(Request(), nullptr);
    EXPECT_THAT(app.errors, ElementsAre("Server Error"));
}

TEST_F(CodedRequestTest, AcknowledgementsEndTheWaitWithoutAReply) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    for (uint8_t kind : {4, 62, 69, 70}) {
        server->OnMessage = [kind](FakeServer& s, const ReceivedMessage& message) {
            if (message.kind == mkCodedParamList) {
                s.SendMessage(kind, {});
            }
        };
        EXPECT_EQ(Request(), nullptr) << int{kind};
    }
    EXPECT_TRUE(app.errors.empty());
}

TEST_F(CodedRequestTest, QuittingEndsTheWait) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    server->OnMessage = [&](FakeServer&, const ReceivedMessage& message) {
        if (message.kind == mkCodedParamList) {
            loop.Quit();
        }
    };
    EXPECT_EQ(Request(), nullptr);
    EXPECT_FALSE(session->SmartWait().Waiting());
}

// A pushed list whose whole frame, length word included, is frameSize bytes.
std::string PushFrame(int32_t frameSize) {
    const auto wanted = static_cast<int64_t>(frameSize) - static_cast<int64_t>(kFrameLengthSize);
    std::string value;
    for (;;) {
        TParamList list;
        list.FastAdd("Data", Variant(value));
        std::string packed = PackMessage(mkCodedParamList, {9, list.GetWireText(false), 0});
        const int64_t missing = wanted - static_cast<int64_t>(packed.size());
        if (missing == 0) {
            FrameMessage(packed);
            return packed;
        }
        value.resize(static_cast<size_t>(static_cast<int64_t>(value.size()) + missing), 'v');
    }
}

TEST_F(CodedRequestTest, ReadProgressFollowsTheFrameBeingReceived) {
    session->SetCompression(acNoCompression);
    server->codec.SetCompression(acNoCompression);
    session->ProgressBar = true;
    Reports reports;
    session->OnReadProgress = [&](TClientSocket&, int32_t e, int32_t r) {
        reports.emplace_back(e, r);
    };
    int pushes = 0;
    int reads = 0;
    session->OnCodedParamList = [&](TClientSocket&, int32_t, TParamList&) { ++pushes; };
    session->OnRead = [&](TClientSocket&) { ++reads; };
    ASSERT_NO_FATAL_FAILURE(Connect());
    reports.clear();

    const std::string frame = PushFrame(10000);
    server->SendRaw(frame);
    ASSERT_TRUE(RunUntil([&] { return pushes == 1; }));
    EXPECT_EQ(reports, (Reports{{10000, 4096}, {10000, 8192}, {0, 0}}));

    reports.clear();
    size_t at = 0;
    for (size_t piece : {4096u, 4096u, 1808u}) {
        const int seen = reads;
        server->SendRaw(frame.substr(at, piece));
        at += piece;
        ASSERT_TRUE(RunUntil([&] { return reads > seen; }));
    }
    ASSERT_TRUE(RunUntil([&] { return pushes == 2; }));
    EXPECT_EQ(reports, (Reports{{0, 0}}));
}

TEST_F(SessionTest, SendProgressReportsEachChunkThenTheEnd) {
    session->AutoLoginDlg = ltNoChallenge;
    session->ProgressBar = true;
    Reports reports;
    session->OnReadProgress = [&](TClientSocket&, int32_t e, int32_t r) {
        reports.emplace_back(e, r);
    };
    server->StopReading();
    session->SetActive(true);
    ASSERT_TRUE(RunUntil([&] { return session->Active(); }));
    reports.clear();
    session->SendBytes(std::string(5000, 'x'));
    EXPECT_EQ(reports, (Reports{{5000, 0}, {5000, 0}, {5000, 4096}, {0, 0}}));
}

TEST_F(CodedRequestTest, BlockingModeExchangesOverAConnectionOfItsOwn) {
    session->SetClientType(ctBlocking);
    ReplyWith(*server, ListText({{"A", TParamType::ptInput}}));
    const std::unique_ptr<TParamList> reply = Request();
    ASSERT_NE(reply, nullptr);
    EXPECT_EQ(reply->Items(0).Name(), "A");
    EXPECT_EQ(server->RawReceived().substr(0, 4), Bytes({0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_FALSE(session->Active());
    EXPECT_TRUE(log.empty());

    server->OnMessage = [&](FakeServer&, const ReceivedMessage&) { clock.Advance(5001); };
    try {
        Request();
        FAIL() << "no error";
    } catch (const ESocketError& error) {
        EXPECT_EQ(error.Message(), "Blocking Socket Time out");
    }

    // A request from inside a wait is dropped, which leaves the exchange nothing to send.
    std::string failure;
    Timer during(session->NotificationWindow(), [&] {
        try {
            Request();
        } catch (const Exception& error) {
            failure = error.Message();
        }
        session->SmartWait().StopWait();
    });
    during.Start(10);
    clock.Advance(10);
    session->SmartWait().Wait();
    EXPECT_EQ(failure, "No Data to send!");
}

}  // namespace
}  // namespace px3::testing
