#include "messaging/client_socket.h"

#include "messaging/message_kinds.h"
#include "messaging/session_errors.h"
#include "messaging/session_texts.h"
#include "messaging/socket_error_messages.h"

namespace px3 {

namespace {

constexpr int32_t kUtilityInfoRequest = 6;

std::string FileNameOf(const std::string& path) {
    const size_t separator = path.find_last_of("\\/:");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace

void TClientSocket::OnSocketNotice(const SocketNotice& notice) {
    Guarded([&] { HandleSocketEvent(notice); });
}

// The component's own handling of an event comes first (Active, OnConnect, OnDisconnect, OnRead,
// OnWrite), the session's after it.
void TClientSocket::HandleSocketEvent(const SocketNotice& notice) {
    switch (notice.event) {
        case SocketEvent::kConnected:
            active_ = true;
            if (OnConnect) {
                OnConnect(*this);
            }
            HandleConnected();
            break;
        case SocketEvent::kReadReady:
            if (OnRead) {
                OnRead(*this);
            }
            ReceiveAvailable();
            break;
        case SocketEvent::kWriteReady:
            if (OnWrite) {
                OnWrite(*this);
            }
            break;
        case SocketEvent::kClosed:
            CloseConnection();
            break;
        case SocketEvent::kError:
            HandleSocketError(notice.operation, notice.error, nullptr);
            break;
    }
}

void TClientSocket::HandleConnected() {
    codec_.ResetTotals();
    SetAnchorStatus(TACConnectedToServer);
    if (ApplicationName.empty()) {
        ApplicationName = FileNameOf(application_.ExeName());
    }
    SendLogin();
    if (active_) {
        TStringLine request;
        request.SetKind(mkServerUtilityInfo);
        request.AddField(kUtilityInfoRequest);
        request.AddField(std::string_view());
        SendLine(request, false);
    }
}

// No login dialog exists in this program: a session set to ask for one sends the credentials it
// holds.
void TClientSocket::SendLogin() {
    if (AutoLoginDlg == ltNoChallenge) {
        return;
    }
    TStringLine login;
    login.SetKind(mkLogin);
    login.AddField(static_cast<int32_t>(AutoLoginDlg));
    login.AddField(UserName);
    login.AddField(Password);
    login.AddField(ApplicationName);
    login.AddField(ApplicationVersion + '\x02' + client_params_.GetWireText(false));
    SendLine(login, true);
    application_.ProcessMessages();
}

void TClientSocket::HandleLoginReply(TStringLine& line) {
    EndWait(false);
    const bool accepted = line.NextInteger() == 1;
    ++login_attempts_;
    if (OnLoginParamsAttempt) {
        const std::unique_ptr<TParamList> params = TParamList::CreateFromWireText(line.NextText());
        DoLoginParamsAttempt(accepted, *params);
    } else if (OnLoginAttempt) {
        DoLoginAttempt(accepted);
    } else if (!accepted) {
        application_.ShowMessage(texts::kLoginRefused);
        application_.Terminate();
    }
    if (!accepted && LoginMaxAttempts > 0) {
        if (login_attempts_ >= LoginMaxAttempts) {
            application_.ShowMessage(texts::kLoginRefused);
            application_.Terminate();
        } else {
            StartReconnectTimer();
        }
    }
}

// Every error ends an awaited reply and closes the connection, reporting the close: a connection
// that reported an error carries nothing more (a failed connect also runs the disconnect handling
// once more). This clean-up happens even when OnError takes the error over, so that neither a
// wait nor a dead connection is left behind; the handler replaces only the error's report.
void TClientSocket::HandleSocketError(SocketOperation operation, int code, const char* api) {
    last_socket_error_ = code;
    if (OnError) {
        int handlerCode = code;
        OnError(*this, operation, handlerCode);
    }
    EndWait(true);
    const bool connectFailed = !active_;
    CloseConnection();
    if (connectFailed) {
        HandleDisconnect();
    }
    if (OnError) {
        return;
    }
    if (const char* text = SessionSocketErrorText(code)) {
        const std::string message = SessionSocketErrorMessage(text, address_, port_);
        if ((SQLErrorHandling & seSocketErrorNoException) != 0) {
            application_.ShowMessage(message);
            return;
        }
        throw ESocketError(message);
    }
    throw ESocketError(api == nullptr ? AsynchronousSocketErrorMessage(code)
                                      : SocketCallErrorMessage(code, api));
}

void TClientSocket::DoServerBroadcast(const std::string& text) {
    if (OnServerBroadcast) {
        OnServerBroadcast(*this, text);
    }
}

void TClientSocket::DoChatMessage(const std::string& text) {
    if (OnChatMessage) {
        OnChatMessage(*this, text);
    }
}

void TClientSocket::DoLoginParamsAttempt(bool accepted, TParamList& params) {
    if (OnLoginParamsAttempt) {
        OnLoginParamsAttempt(*this, accepted, params);
    }
}

void TClientSocket::DoLoginAttempt(bool accepted) {
    if (OnLoginAttempt) {
        OnLoginAttempt(*this, accepted);
    }
}

void TClientSocket::DoCodedParamList(int32_t code, TParamList& list) {
    if (OnCodedParamList) {
        OnCodedParamList(*this, code, list);
    }
}

void TClientSocket::DoCodedMessage(int32_t code, const std::string& text) {
    if (OnCodedMessage) {
        OnCodedMessage(*this, code, text);
    }
}

void TClientSocket::DoCodedStream(int32_t code, const std::string& stream) {
    if (OnCodedStream) {
        OnCodedStream(*this, code, stream);
    }
}

}  // namespace px3
