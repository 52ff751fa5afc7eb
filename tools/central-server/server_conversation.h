#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "central-server/client_file_store.h"
#include "central-server/server_options.h"

namespace px3 {

class TParamList;
class TStringLine;

// Coded requests the server answers.
inline constexpr int32_t kListClientFilesCode = 7000;
inline constexpr int32_t kFetchAllClientFilesCode = 5200;
inline constexpr int32_t kFetchClientFileCode = 5202;

// Coded messages a client sends without awaiting an answer.
inline constexpr int32_t kKeepAliveCode = -1;
inline constexpr int32_t kPingAnswerCode = -99999999;

// Utility-info kinds: the server's version (asked by the client), a ping (sent by the server).
inline constexpr int32_t kVersionInfo = 6;
inline constexpr int32_t kPingInfo = 19;
inline constexpr char kServerVersion[] = "6.0";

// Texts the server sends; the fault texts are documented for the tests that meet them.
inline constexpr char kNotLoggedInText[] = "Not logged in";
inline constexpr char kFaultErrorFirstText[] = "The central server refused the request";
inline constexpr char kFaultErrorSecondText[] = "Every request is answered with an error";
inline constexpr char kTerminateText[] = "The central server ends the session";
inline constexpr char kServerMessageText[] = "A message from the central server";
inline constexpr char kNoticeText[] = "A notice from the central server";
inline constexpr char kPushItemName[] = "Push";
inline constexpr char kPushItemText[] = "A list pushed before the reply";

// How a message goes on the wire.
enum class Delivery {
    kFramed,         // compressed and framed
    kTrickled,       // as kFramed, written in small pieces with pauses between them
    kBadLengthWord,  // as kFramed, but the length word is one above the largest allowed
    kNotZlib,        // framed without being compressed
};

struct OutgoingMessage {
    std::string packed;
    Delivery delivery = Delivery::kFramed;
};

// What answering one message amounts to: messages to send in order, then possibly closing the
// connection, and a line that says what was done.
struct ConversationStep {
    std::vector<OutgoingMessage> messages;
    bool close = false;
    std::string note;
};

// An error reply (mkServerError) carrying the texts as a list and the error code.
std::string PackErrorMessage(const std::vector<std::string>& texts, int32_t code);

// The server's side of one client's session, apart from the connection: the login, the
// utility-info request, coded requests, keep-alives and ping answers, with the fault switch of
// the options applied.
class ServerConversation {
  public:
    // Both must outlive the conversation. first_connection: the conversation is the first of the
    // server's run, the only one the reconnect fault acts on.
    ServerConversation(const ServerOptions& options, const ClientFileStore& files,
                       bool first_connection);

    // Answers one decoded message. A malformed message fails with an Exception.
    ConversationStep Handle(std::string message);

    // A ping for a logged-in client; no value before the login.
    std::optional<OutgoingMessage> Ping() const;

    bool LoggedIn() const { return logged_in_; }

  private:
    struct Answer;

    ConversationStep Login(TStringLine& line);
    ConversationStep UtilityInfo(TStringLine& line);
    ConversationStep CodedRequest(TStringLine& line);
    Answer AnswerRequest(int32_t code, const TParamList& request, int32_t flag) const;
    void AddPushesAfterLogin(ConversationStep& step);

    const ServerOptions& options_;
    const ClientFileStore& files_;
    bool logged_in_ = false;
    // Whether a reconnect message is still to follow the next version answer.
    bool reconnect_pending_;
};

}  // namespace px3
