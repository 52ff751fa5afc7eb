#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/exception.h"
#include "central-server/server_conversation.h"
#include "central_server/server_test_support.h"
#include "messaging/message_kinds.h"
#include "messaging/string_line.h"
#include "params/param_list.h"

namespace px3 {
namespace {

using server_test::FileRequestMessage;
using server_test::LoginMessage;
using server_test::NumberAndTextMessage;
using server_test::Read;
using server_test::ReadMessage;
using server_test::RequestMessage;
using server_test::TempFolder;

class ServerConversationTest : public ::testing::Test {
  protected:
    ServerConversationTest() {
        root.Write("a.txt", "first file");
        root.Write("Bin/x.dll", std::string("binary\0content", 14));
        root.Write("Bin/Sub/y.dat", "");
        options.root = root.Path();
        options.credentials = {"user", "secret", "post"};
    }

    ServerConversation& Conversation() {
        if (!files) {
            files = std::make_unique<ClientFileStore>(options.root);
            conversation = std::make_unique<ServerConversation>(options, *files, first_connection);
        }
        return *conversation;
    }

    // A new conversation under the given fault, logged in.
    void Restart(ServerFault fault) {
        SCOPED_TRACE(static_cast<int>(fault));
        options.fault = fault;
        options.redirect_to = fault == ServerFault::kRedirect ? "127.0.0.1:7001" : "";
        conversation.reset();
        files.reset();
        LogIn();
    }

    void LogIn() {
        ASSERT_EQ(Read(Answer(LoginMessage("user", "secret", "post")), 1).fields[0], "1");
    }

    // The only message sent in answer to message.
    std::string Answer(const std::string& message) {
        ConversationStep step = Conversation().Handle(message);
        EXPECT_FALSE(step.close);
        EXPECT_EQ(step.messages.size(), 1u);
        return step.messages.empty() ? std::string() : step.messages[0].packed;
    }

    TempFolder root;
    ServerOptions options;
    bool first_connection = true;
    std::unique_ptr<ClientFileStore> files;
    std::unique_ptr<ServerConversation> conversation;
};

TEST_F(ServerConversationTest, AcceptsOnlyTheConfiguredCredentials) {
    struct Case {
        const char* user;
        const char* password;
        const char* application;
        const char* accepted;
    };
    for (const Case& c : {Case{"user", "secret", "post", "1"}, Case{"User", "secret", "post", "0"},
                          Case{"user", "Secret", "post", "0"}, Case{"user", "secret", "", "0"}}) {
        const ReadMessage reply = Read(Answer(LoginMessage(c.user, c.password, c.application)), 2);
        EXPECT_EQ(reply.kind, mkLogin);
        EXPECT_EQ(reply.fields[0], c.accepted)
            << c.user << "/" << c.password << "/" << c.application;
        EXPECT_EQ(reply.List(1)->Count(), 0);
        EXPECT_EQ(Conversation().LoggedIn(), std::string(c.accepted) == "1");
    }
}

TEST_F(ServerConversationTest, ServesNothingBeforeTheLogin) {
    const ReadMessage refused = Read(Answer(RequestMessage(7000, TParamList())), 2);
    EXPECT_EQ(refused.kind, mkServerError);
    EXPECT_EQ(refused.List(0)->Items(0).AsString(), kNotLoggedInText);
    EXPECT_TRUE(
        Conversation().Handle(NumberAndTextMessage(mkServerUtilityInfo, 6, "")).messages.empty());
    EXPECT_FALSE(Conversation().Ping().has_value());
}

TEST_F(ServerConversationTest, AnswersTheVersionAndPingsAndTakesKeepAlivesSilently) {
    ASSERT_NO_FATAL_FAILURE(LogIn());
    const ReadMessage version = Read(Answer(NumberAndTextMessage(mkServerUtilityInfo, 6, "")), 2);
    EXPECT_EQ(version.kind, mkServerUtilityInfo);
    EXPECT_EQ(version.fields[0], "6");
    EXPECT_EQ(version.List(1)->Items(0).AsString(), "6.0");

    for (const auto& [code, text] : {std::pair{-1, ""}, std::pair{-99999999, "ping"}}) {
        const ConversationStep step =
            Conversation().Handle(NumberAndTextMessage(mkCodedMessage, code, text));
        EXPECT_TRUE(step.messages.empty());
        EXPECT_FALSE(step.close);
    }

    const ReadMessage ping = Read(Conversation().Ping()->packed, 2);
    EXPECT_EQ(ping.kind, mkServerUtilityInfo);
    EXPECT_EQ(ping.fields[0], "19");
}

TEST_F(ServerConversationTest, ListsTheClientFilesAsRelativePathsWithBackslashes) {
    ASSERT_NO_FATAL_FAILURE(LogIn());
    const ReadMessage reply = Read(Answer(RequestMessage(7000, TParamList())), 3);
    EXPECT_EQ(reply.kind, mkCodedParamList);
    EXPECT_EQ(reply.fields[0], "7000");
    EXPECT_EQ(reply.fields[2], "1");
    const auto list = reply.List(1);
    std::vector<std::string> texts;
    for (int32_t i = 0; i < list->Count(); ++i) {
        texts.push_back(list->Items(i).AsString());
        EXPECT_EQ(list->Items(i).ParamType(), TParamType::ptInput);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"Bin\\Sub\\y.dat", "Bin\\x.dll", "a.txt"}));
}

TEST_F(ServerConversationTest, SendsEveryFileAsAnItemNamedByItsPath) {
    ASSERT_NO_FATAL_FAILURE(LogIn());
    const ReadMessage reply = Read(Answer(RequestMessage(5200, TParamList())), 3);
    EXPECT_EQ(reply.fields[2], "1");
    const auto list = reply.List(1);
    ASSERT_EQ(list->Count(), 3);
    EXPECT_EQ(list->Items(0).Name(), "Bin\\Sub\\y.dat");
    EXPECT_EQ(list->Items(0).DataLength(), 0u);
    EXPECT_EQ(list->Items(1).Name(), "Bin\\x.dll");
    EXPECT_EQ(list->Items(1).RawValue(), std::string("binary\0content", 14));
    EXPECT_EQ(list->Items(2).Name(), "a.txt");
    EXPECT_EQ(list->Items(2).RawValue(), "first file");
    EXPECT_EQ(TParamList::CreateFromWireText(list->GetWireText(true))->Count(), 3);
}

TEST_F(ServerConversationTest, SendsOneFileOrEmptyDataForAnyNameOutsideTheList) {
    ASSERT_NO_FATAL_FAILURE(LogIn());
    root.Write("../outside.txt", "not to be served");
    const auto content_of = [&](const std::string& name) {
        const ReadMessage reply = Read(Answer(FileRequestMessage(name)), 3);
        EXPECT_EQ(reply.kind, mkCodedParamList) << name;
        EXPECT_EQ(reply.fields[2], "1");
        const auto list = reply.List(1);
        EXPECT_EQ(list->Count(), 1) << name;
        EXPECT_EQ(list->Items(0).ParamType(), TParamType::ptInput);
        return list->Count() == 1 ? list->Items(0).RawValue() : std::string("?");
    };
    EXPECT_EQ(content_of("Bin\\x.dll"), std::string("binary\0content", 14));
    EXPECT_EQ(content_of("a.txt"), "first file");
    for (const std::string name :
         {"missing.txt", "Bin", "..\\outside.txt", "Bin\\..\\..\\outside.txt", "\\a.txt", ""}) {
        EXPECT_EQ(content_of(name), "") << name;
    }
    EXPECT_EQ(content_of((root.Path().parent_path() / "outside.txt").string()), "");

    const ReadMessage no_name = Read(Answer(RequestMessage(5202, TParamList())), 2);
    EXPECT_EQ(no_name.kind, mkServerError);
    EXPECT_EQ(no_name.List(0)->Items(0).AsString(), "Parameter Not Found: FileName");
}

TEST_F(ServerConversationTest, AnswersAnUnknownCodeWithAnError) {
    ASSERT_NO_FATAL_FAILURE(LogIn());
    const ReadMessage reply = Read(Answer(RequestMessage(1234, TParamList())), 2);
    EXPECT_EQ(reply.kind, mkServerError);
    const auto errors = reply.List(0);
    ASSERT_EQ(errors->Count(), 1);
    EXPECT_EQ(errors->Items(0).AsString(), "Unknown request code 1234");
    EXPECT_EQ(reply.fields[1], "1234");
}

TEST_F(ServerConversationTest, RefusesMalformedMessagesAndIgnoresUnknownKinds) {
    ASSERT_NO_FATAL_FAILURE(LogIn());
    EXPECT_THROW(Conversation().Handle(std::string(20, '\x1c')), Exception);
    EXPECT_THROW(
        Conversation().Handle(NumberAndTextMessage(mkCodedParamList, 7000, "\x05not a list")),
        Exception);
    TStringLine text_code;
    text_code.SetKind(mkCodedMessage);
    text_code.AddField("not a number");
    EXPECT_THROW(Conversation().Handle(text_code.Pack()), Exception);
    std::string unknown_kind = NumberAndTextMessage(mkCodedMessage, -1, "");
    unknown_kind[0] = 71;
    EXPECT_TRUE(Conversation().Handle(unknown_kind).messages.empty());
}

TEST_F(ServerConversationTest, ReplyFaultsChangeTheReplyToEveryCodedRequest) {
    struct Case {
        ServerFault fault;
        Delivery delivery;
    };
    for (const Case& c : {Case{ServerFault::kTrickleReply, Delivery::kTrickled},
                          Case{ServerFault::kBadLengthWord, Delivery::kBadLengthWord},
                          Case{ServerFault::kNotZlib, Delivery::kNotZlib}}) {
        ASSERT_NO_FATAL_FAILURE(Restart(c.fault));
        EXPECT_EQ(
            Conversation().Handle(LoginMessage("user", "secret", "post")).messages.at(0).delivery,
            Delivery::kFramed);
        for (const int32_t code : {7000, 1234}) {
            const ConversationStep step = Conversation().Handle(RequestMessage(code, TParamList()));
            ASSERT_EQ(step.messages.size(), 1u);
            EXPECT_EQ(step.messages[0].delivery, c.delivery);
        }
    }

    ASSERT_NO_FATAL_FAILURE(Restart(ServerFault::kErrorReply));
    const ReadMessage error = Read(Answer(RequestMessage(7000, TParamList())), 2);
    EXPECT_EQ(error.kind, mkServerError);
    const auto texts = error.List(0);
    ASSERT_EQ(texts->Count(), 2);
    EXPECT_EQ(texts->Items(0).AsString(), kFaultErrorFirstText);
    EXPECT_EQ(texts->Items(1).AsString(), kFaultErrorSecondText);

    ASSERT_NO_FATAL_FAILURE(Restart(ServerFault::kCloseInsteadOfReply));
    const ConversationStep closing = Conversation().Handle(RequestMessage(7000, TParamList()));
    EXPECT_TRUE(closing.close);
    EXPECT_TRUE(closing.messages.empty());

    ASSERT_NO_FATAL_FAILURE(Restart(ServerFault::kPushBeforeReply));
    const ConversationStep pushing = Conversation().Handle(RequestMessage(7000, TParamList()));
    ASSERT_EQ(pushing.messages.size(), 2u);
    const ReadMessage push = Read(pushing.messages[0].packed, 3);
    EXPECT_EQ(push.kind, mkCodedParamList);
    EXPECT_EQ(push.fields[2], "0");
    EXPECT_EQ(push.List(1)->Items(0).AsString(), kPushItemText);
    EXPECT_EQ(Read(pushing.messages[1].packed, 3).fields[2], "1");
}

TEST_F(ServerConversationTest, TheRefuseLoginFaultRefusesTheRightCredentials) {
    options.fault = ServerFault::kRefuseLogin;
    EXPECT_EQ(Read(Answer(LoginMessage("user", "secret", "post")), 1).fields[0], "0");
    EXPECT_FALSE(Conversation().LoggedIn());
}

TEST_F(ServerConversationTest, SessionFaultsFollowTheVersionAnswerAfterTheLogin) {
    struct Case {
        ServerFault fault;
        uint8_t kind;
    };
    for (const Case& c :
         {Case{ServerFault::kTerminate, mkTerminateMessage},
          Case{ServerFault::kServerMessage, mkServerMessage},
          Case{ServerFault::kNotice, mkServerNotice}, Case{ServerFault::kRedirect, mkRedirect}}) {
        ASSERT_NO_FATAL_FAILURE(Restart(c.fault));
        const ConversationStep step =
            Conversation().Handle(NumberAndTextMessage(mkServerUtilityInfo, 6, ""));
        ASSERT_EQ(step.messages.size(), 2u);
        EXPECT_EQ(Read(step.messages[0].packed, 1).fields[0], "6");
        const ReadMessage pushed = Read(step.messages[1].packed, 1);
        EXPECT_EQ(pushed.kind, c.kind);
        if (c.fault == ServerFault::kRedirect) {
            EXPECT_EQ(pushed.List(0)->Items(0).AsString(), "127.0.0.1:7001");
        } else {
            EXPECT_EQ(pushed.fields[0], c.fault == ServerFault::kTerminate ? kTerminateText
                                        : c.fault == ServerFault::kServerMessage
                                            ? kServerMessageText
                                            : kNoticeText);
        }
    }
}

TEST_F(ServerConversationTest, ReconnectIsSentOnceAndOnlyToTheFirstConnection) {
    ASSERT_NO_FATAL_FAILURE(Restart(ServerFault::kReconnect));
    const std::string versionRequest = NumberAndTextMessage(mkServerUtilityInfo, 6, "");
    const ConversationStep first = Conversation().Handle(versionRequest);
    ASSERT_EQ(first.messages.size(), 2u);
    EXPECT_EQ(Read(first.messages[0].packed, 1).kind, mkServerUtilityInfo);
    EXPECT_EQ(Read(first.messages[1].packed, 0).kind, mkReconnect);
    EXPECT_EQ(Conversation().Handle(versionRequest).messages.size(), 1u);

    first_connection = false;
    ASSERT_NO_FATAL_FAILURE(Restart(ServerFault::kReconnect));
    EXPECT_EQ(Conversation().Handle(versionRequest).messages.size(), 1u);
}

}  // namespace
}  // namespace px3
