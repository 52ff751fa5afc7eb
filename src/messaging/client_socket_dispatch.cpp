#include "base/text.h"
#include "messaging/client_socket.h"
#include "messaging/info_number.h"
#include "messaging/message_kinds.h"
#include "messaging/received_message.h"
#include "messaging/session_errors.h"

namespace px3 {

namespace {

constexpr int32_t kInfoNumber = 6;
constexpr int32_t kPingRequest = 19;
constexpr int32_t kPingAnswerCode = -99999999;

// Kinds that acknowledge a request and end its wait.
bool IsAcknowledgement(uint8_t kind) {
    return kind == 4 || kind == 62 || kind == 69 || kind == 70;
}

}  // namespace

void TClientSocket::DispatchMessage(std::string message) {
    if (ClassifyReceivedMessage(message) == TReceivedMessageAction::Ignore) {
        return;
    }
    TStringLine line;
    line.Unpack(std::move(message));
    switch (line.Kind()) {
        case mkLogin:
            HandleLoginReply(line);
            break;
        case mkCodedParamList:
            HandleCodedParamList(line);
            break;
        case mkServerError:
            HandleServerError(line);
            break;
        case mkServerUtilityInfo:
            HandleUtilityInfo(line);
            break;
        case mkCodedMessage: {
            const int32_t code = line.NextInteger();
            DoCodedMessage(code, line.NextText());
            break;
        }
        case mkServerMessage:
        case mkServerNotice:
            application_.ShowMessage(line.NextText());
            break;
        case mkTerminateMessage:
            HandleTerminateMessage(line);
            break;
        case mkReconnect:
            HandleReconnect();
            break;
        case mkRedirect:
            HandleRedirect(line);
            break;
        case mkChatMessage:
            DoChatMessage(line.NextText());
            break;
        case mkServerBroadcast:
            DoServerBroadcast(line.NextText());
            break;
        case mkCodedStream:
            if (OnCodedStream) {
                const int32_t code = line.NextInteger();
                DoCodedStream(code, line.NextStream());
            }
            break;
        default:
            if (IsAcknowledgement(line.Kind())) {
                EndWait(false);
            }
            break;
    }
}

void TClientSocket::HandleUtilityInfo(TStringLine& line) {
    const int32_t kind = line.NextInteger();
    const std::unique_ptr<TParamList> list = TParamList::CreateFromWireText(line.NextText());
    if (OnServerUtilityInfoEvent) {
        OnServerUtilityInfoEvent(*this, kind, *list);
    }
    if (kind == kInfoNumber) {
        if (list->Count() > 0) {
            server_info_number_ = InfoNumber(list->Items(0).AsString());
        }
    } else if (kind == kPingRequest) {
        TStringLine answer;
        answer.SetKind(mkCodedMessage);
        answer.AddField(kPingAnswerCode);
        answer.AddField("ping");
        SendLine(answer, false);
    }
}

void TClientSocket::HandleTerminateMessage(TStringLine& line) {
    const std::string text = line.NextText();
    bool handled = false;
    if (OnTerminateMessageFromServer) {
        OnTerminateMessageFromServer(*this, text, handled);
    }
    if (!handled) {
        SetActive(false);
        application_.Terminate();
    }
}

void TClientSocket::HandleReconnect() {
    ++login_attempts_;
    SetAnchorStatus(TACNoAnchor);
    SetActive(false);
    ProcessMessagesUntil([this] { return !active_; });
    socket_.Close();
    last_socket_error_ = 0;
    end_wait_called_ = false;
    SetActive(true);
    ProcessMessagesUntil([this] { return active_ || last_socket_error_ != 0 || end_wait_called_; });
}

// The redirected connection keeps the session's login type. Its address replaces Host as well,
// so that the session goes where it was sent even when it reached its anchor by name; the anchor
// (host, address and port) is remembered for when the server's connection ends.
void TClientSocket::HandleRedirect(TStringLine& line) {
    redirect_origin_ = std::make_unique<RedirectOrigin>(RedirectOrigin{host_, address_, port_});
    const std::unique_ptr<TParamList> list = TParamList::CreateFromWireText(line.NextText());
    const std::string target = list->Count() > 0 ? list->Items(0).AsString() : std::string();
    if (target.empty()) {
        SetAnchorStatus(TAAnchorNoServers);
        redirect_origin_.reset();
        SetActive(false);
        throw ESocketError("No Server Available. Contact your network Administrator");
    }
    const size_t colon = target.find(':');
    const int32_t port =
        colon == std::string::npos ? port_ : StrToInt(std::string_view(target).substr(colon + 1));
    SetAnchorStatus(TAAnchorReDirect);
    SetActive(false);
    ProcessMessagesUntil([this] { return !active_; });
    socket_.Close();
    address_ = target.substr(0, colon);
    port_ = port;
    host_.clear();
    SetActive(true);
}

}  // namespace px3
