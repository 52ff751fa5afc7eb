#include "central-server/server_conversation.h"

#include <memory>
#include <utility>

#include "base/text.h"
#include "messaging/message_kinds.h"
#include "messaging/received_message.h"
#include "messaging/string_line.h"
#include "params/param_list.h"

namespace px3 {

namespace {

// A client's text for the log: control characters become "?", so that a line stays one line.
std::string Printable(std::string text) {
    for (char& byte : text) {
        if (static_cast<unsigned char>(byte) < 0x20 || byte == 0x7F) {
            byte = '?';
        }
    }
    return text;
}

ConversationStep Note(std::string note) {
    ConversationStep step;
    step.note = std::move(note);
    return step;
}

// A list of text items, each of the given name and text, that the client keeps.
std::unique_ptr<TParamList> TextList(
    const std::vector<std::pair<std::string, std::string>>& items) {
    auto list = std::make_unique<TParamList>();
    for (const auto& [name, text] : items) {
        list->AddTypedParam(TFieldType::ftString, name, TParamType::ptInput).SetAsString(text);
    }
    return list;
}

std::string PackTextMessage(uint8_t kind, std::string_view text) {
    TStringLine line;
    line.SetKind(kind);
    line.AddField(text);
    return line.Pack();
}

std::string PackUtilityInfo(int32_t infoKind, const TParamList& list) {
    TStringLine line;
    line.SetKind(mkServerUtilityInfo);
    line.AddField(infoKind);
    line.AddField(list.GetWireText(false));
    return line.Pack();
}

std::string PackCodedList(int32_t code, const TParamList& list, int32_t flag) {
    TStringLine line;
    line.SetKind(mkCodedParamList);
    line.AddField(code);
    line.AddField(list.GetWireText(false));
    line.AddField(flag);
    return line.Pack();
}

std::unique_ptr<TParamList> ListClientFiles(const ClientFileStore& files) {
    auto list = std::make_unique<TParamList>();
    for (const ClientFile& file : files.List()) {
        list->AddTypedParam(TFieldType::ftString, file.name, TParamType::ptInput)
            .SetAsString(file.name);
    }
    return list;
}

std::unique_ptr<TParamList> FetchAllClientFiles(const ClientFileStore& files) {
    auto list = std::make_unique<TParamList>();
    for (const ClientFile& file : files.List()) {
        list->AddTypedParam(TFieldType::ftBlob, file.name, TParamType::ptInput)
            .SetAsBlob(ReadClientFile(file));
    }
    return list;
}

// One item named after the requested file holding its content; empty when the server has no
// such file.
std::unique_ptr<TParamList> FetchClientFile(const ClientFileStore& files,
                                            const TParamList& request) {
    const std::string name = request.ParamByName("FileName").AsString();
    auto list = std::make_unique<TParamList>();
    TParamItem& item = list->AddTypedParam(TFieldType::ftBlob, name, TParamType::ptInput);
    if (const std::optional<std::string> content = files.Read(name)) {
        item.SetAsBlob(*content);
    }
    return list;
}

Delivery ReplyDelivery(ServerFault fault) {
    switch (fault) {
        case ServerFault::kTrickleReply:
            return Delivery::kTrickled;
        case ServerFault::kBadLengthWord:
            return Delivery::kBadLengthWord;
        case ServerFault::kNotZlib:
            return Delivery::kNotZlib;
        default:
            return Delivery::kFramed;
    }
}

}  // namespace

std::string PackErrorMessage(const std::vector<std::string>& texts, int32_t code) {
    std::vector<std::pair<std::string, std::string>> items;
    for (const std::string& text : texts) {
        items.emplace_back("Error" + IntToStr(static_cast<int64_t>(items.size()) + 1), text);
    }
    TStringLine line;
    line.SetKind(mkServerError);
    line.AddField(TextList(items)->GetWireText(false));
    line.AddField(code);
    return line.Pack();
}

// The message answering a coded request and what the log says of it.
struct ServerConversation::Answer {
    std::string packed;
    std::string note;
};

ServerConversation::ServerConversation(const ServerOptions& options, const ClientFileStore& files,
                                       bool first_connection)
    : options_(options),
      files_(files),
      reconnect_pending_(first_connection && options.fault == ServerFault::kReconnect) {}

ConversationStep ServerConversation::Handle(std::string message) {
    if (ClassifyReceivedMessage(message) == TReceivedMessageAction::Ignore) {
        return Note("message of kind " + IntToStr(static_cast<uint8_t>(message[0])) + " ignored");
    }
    TStringLine line;
    line.Unpack(std::move(message));
    switch (line.Kind()) {
        case mkLogin:
            return Login(line);
        case mkServerUtilityInfo:
            return UtilityInfo(line);
        case mkCodedParamList:
            return CodedRequest(line);
        case mkCodedMessage: {
            const int32_t code = line.NextInteger();
            if (code == kKeepAliveCode) {
                return Note("keep-alive");
            }
            return Note(code == kPingAnswerCode ? "ping answered"
                                                : "coded message " + IntToStr(code) + " ignored");
        }
        default:
            return Note("message of kind " + IntToStr(line.Kind()) + " ignored");
    }
}

std::optional<OutgoingMessage> ServerConversation::Ping() const {
    if (!logged_in_) {
        return std::nullopt;
    }
    return OutgoingMessage{PackUtilityInfo(kPingInfo, TParamList())};
}

ConversationStep ServerConversation::Login(TStringLine& line) {
    line.NextText();  // the login type
    const std::string user = line.NextText();
    const std::string password = line.NextText();
    const std::string application = line.NextText();
    const ServerCredentials& expected = options_.credentials;
    logged_in_ = options_.fault != ServerFault::kRefuseLogin && user == expected.user &&
                 password == expected.password && application == expected.application;

    TStringLine reply;
    reply.SetKind(mkLogin);
    reply.AddField(logged_in_ ? 1 : 0);
    reply.AddField(TParamList().GetWireText(false));
    ConversationStep step =
        Note("login of user '" + Printable(user) + "' for '" + Printable(application) + "' " +
             (logged_in_ ? "accepted" : "refused"));
    step.messages.push_back({reply.Pack()});
    return step;
}

ConversationStep ServerConversation::UtilityInfo(TStringLine& line) {
    const int32_t kind = line.NextInteger();
    if (kind != kVersionInfo || !logged_in_) {
        return Note("utility-info request " + IntToStr(kind) + " ignored");
    }
    ConversationStep step = Note("utility-info request " + IntToStr(kind) + " answered");
    step.messages.push_back(
        {PackUtilityInfo(kVersionInfo, *TextList({{"Version", kServerVersion}}))});
    AddPushesAfterLogin(step);
    return step;
}

void ServerConversation::AddPushesAfterLogin(ConversationStep& step) {
    switch (options_.fault) {
        case ServerFault::kTerminate:
            step.messages.push_back({PackTextMessage(mkTerminateMessage, kTerminateText)});
            break;
        case ServerFault::kServerMessage:
            step.messages.push_back({PackTextMessage(mkServerMessage, kServerMessageText)});
            break;
        case ServerFault::kNotice:
            step.messages.push_back({PackTextMessage(mkServerNotice, kNoticeText)});
            break;
        case ServerFault::kRedirect:
            step.messages.push_back({PackTextMessage(
                mkRedirect, TextList({{"Server", options_.redirect_to}})->GetWireText(false))});
            break;
        case ServerFault::kReconnect:
            if (reconnect_pending_) {
                TStringLine reconnect;
                reconnect.SetKind(mkReconnect);
                step.messages.push_back({reconnect.Pack()});
                reconnect_pending_ = false;
            }
            break;
        default:
            break;
    }
}

ConversationStep ServerConversation::CodedRequest(TStringLine& line) {
    const int32_t code = line.NextInteger();
    const std::unique_ptr<TParamList> request = TParamList::CreateFromWireText(line.NextText());
    const int32_t flag = line.NextInteger() >= 1 ? 1 : 0;

    if (logged_in_ && options_.fault == ServerFault::kCloseInsteadOfReply) {
        ConversationStep step = Note("request " + IntToStr(code) + ": closing instead of replying");
        step.close = true;
        return step;
    }
    Answer answer;
    if (!logged_in_) {
        answer = {PackErrorMessage({kNotLoggedInText}, code), "refused: not logged in"};
    } else if (options_.fault == ServerFault::kErrorReply) {
        answer = {PackErrorMessage({kFaultErrorFirstText, kFaultErrorSecondText}, code),
                  "answered with the fault's error"};
    } else {
        answer = AnswerRequest(code, *request, flag);
    }

    ConversationStep step = Note("request " + IntToStr(code) + " " + answer.note);
    if (logged_in_ && options_.fault == ServerFault::kPushBeforeReply) {
        step.messages.push_back(
            {PackCodedList(code, *TextList({{kPushItemName, kPushItemText}}), 0)});
    }
    step.messages.push_back({std::move(answer.packed), ReplyDelivery(options_.fault)});
    return step;
}

ServerConversation::Answer ServerConversation::AnswerRequest(int32_t code,
                                                             const TParamList& request,
                                                             int32_t flag) const {
    std::unique_ptr<TParamList> reply;
    try {
        switch (code) {
            case kListClientFilesCode:
                reply = ListClientFiles(files_);
                break;
            case kFetchAllClientFilesCode:
                reply = FetchAllClientFiles(files_);
                break;
            case kFetchClientFileCode:
                reply = FetchClientFile(files_, request);
                break;
            default:
                return {PackErrorMessage({"Unknown request code " + IntToStr(code)}, code),
                        "answered with an error: unknown code"};
        }
    } catch (const Exception& error) {
        return {PackErrorMessage({error.Message()}, code),
                "answered with an error: " + Printable(error.Message())};
    }
    // The list goes before its wire text is copied into the message, so that a large reply is
    // held at most twice.
    const int32_t items = reply->Count();
    TStringLine line;
    line.SetKind(mkCodedParamList);
    line.AddField(code);
    size_t bytes = 0;
    {
        const std::string wire_text = reply->GetWireText(false);
        reply.reset();
        bytes = wire_text.size();
        line.AddField(wire_text);
    }
    line.AddField(flag);
    std::string note = "answered: " + IntToStr(items) + " items, " +
                       IntToStr(static_cast<int64_t>(bytes)) + " bytes";
    return {line.Pack(), std::move(note)};
}

}  // namespace px3
