#include "messaging/client_socket.h"

#include <algorithm>

#include "base/text.h"
#include "messaging/message_kinds.h"
#include "messaging/session_errors.h"
#include "messaging/socket_error_messages.h"
#include "platform/host_resolver.h"
#include "platform/ipv4_address.h"

namespace px3 {

namespace {

constexpr uint32_t kReconnectDelayMs = 500;
constexpr int64_t kMinuteMs = 60000;
// One pass of the application's loop while the session waits for its connection to change.
constexpr int64_t kProcessPassMs = 10;

}  // namespace

TClientSocket::TClientSocket(EventLoop& loop, TSessionApplication& application)
    : loop_(loop),
      application_(application),
      target_(loop, [](const LoopMessage&) {}),
      socket_(target_, [this](const SocketNotice& notice) { OnSocketNotice(notice); }),
      wait_(target_) {
    codec_.OnBytesOutEvent = [this](TMessageCodec&, const std::string& data, int64_t amount,
                                    int64_t total) {
        if (OnBytesOutEvent) {
            OnBytesOutEvent(*this, data, amount, total);
        }
    };
    codec_.OnBytesInEvent = [this](TMessageCodec&, const std::string& data, int64_t amount,
                                   int64_t total) {
        if (OnBytesInEvent) {
            OnBytesInEvent(*this, data, amount, total);
        }
    };
}

TClientSocket::~TClientSocket() {
    EndWait(true);
    socket_.Close();
}

void TClientSocket::SetActive(bool value) {
    if (value == active_) {
        return;
    }
    if (value) {
        Open();
    } else {
        CloseConnection();
    }
}

void TClientSocket::CheckInactive(bool changed) const {
    if (changed && active_) {
        throw ESocketError("Can't change value while socket is active");
    }
}

void TClientSocket::SetHost(const std::string& value) {
    CheckInactive(!SameText(value, host_));
    host_ = value;
}

void TClientSocket::SetAddress(const std::string& value) {
    CheckInactive(!SameText(value, address_));
    address_ = value;
}

void TClientSocket::SetPort(int32_t value) {
    CheckInactive(value != port_);
    port_ = value;
}

void TClientSocket::SetClientType(TClientType value) {
    if (value != client_type_ && socket_.State() != SocketState::kClosed) {
        throw ESocketError("Can't change value while socket is active");
    }
    client_type_ = value;
}

// A second opening while the first attempt is still under way is refused; the first goes on.
void TClientSocket::Open() {
    if (socket_.State() != SocketState::kClosed) {
        throw ESocketError("Socket already open");
    }
    // A new connection starts a new byte stream.
    stack_ = TMessageStack();
    read_progress_.Reset();
    try {
        if (OnLookup) {
            OnLookup(*this);
        }
        const Ipv4Address peer = ResolvePeer();
        if (OnConnecting) {
            OnConnecting(*this);
        }
        if (const int error = socket_.Connect(peer, static_cast<uint16_t>(port_)); error != 0) {
            throw ESocketError(SocketCallErrorMessage(error, "connect"));
        }
    } catch (...) {
        const std::exception_ptr failure = std::current_exception();
        socket_.Close();
        // The close is reported as for any close; the opening's own failure is what the caller
        // learns of.
        try {
            ReportClose();
        } catch (const std::exception&) {
        }
        std::rethrow_exception(failure);
    }
}

// A name that cannot be resolved gives 0.0.0.0, to which connecting then fails.
Ipv4Address TClientSocket::ResolvePeer() const {
    if (!host_.empty()) {
        return ResolveHostName(host_).value_or(kAnyAddress);
    }
    if (!address_.empty()) {
        return ParseIpv4Address(address_).value_or(kAnyAddress);
    }
    throw ESocketError("No address specified");
}

void TClientSocket::CloseConnection() {
    const bool opened = socket_.State() != SocketState::kClosed;
    socket_.Close();
    if (opened) {
        ReportClose();
    }
}

void TClientSocket::ReportClose() {
    active_ = false;
    if (OnDisconnect) {
        OnDisconnect(*this);
    }
    HandleDisconnect();
}

void TClientSocket::HandleDisconnect() {
    SetKeepAlivePing(0);
    SetAnchorStatus(TACDisconnectedFromServer);
    EndWait(true);
    if (redirect_origin_) {
        SetAnchorStatus(TACConnectedToAnchor);
        host_ = redirect_origin_->host;
        address_ = redirect_origin_->address;
        port_ = redirect_origin_->port;
        if (!address_.empty() || !host_.empty()) {
            StartReconnectTimer();
        }
    }
    codec_.ResetTotals();
    if (!OnDisconnect && client_type_ == ctNonBlocking &&
        (SQLErrorHandling & seNoExceptionOnDisconnect) == 0) {
        throw EConnectException("Disconnected from server!");
    }
}

void TClientSocket::SetAnchorStatus(TClientAnchorStatus status) {
    anchor_status_ = status;
    if (OnConnectStatusChange) {
        OnConnectStatusChange(*this, AnchorStatusText(status, active_, address_, port_));
    }
}

void TClientSocket::SetKeepAlivePing(int32_t minutes) {
    keep_alive_ping_ = minutes;
    if (minutes <= 0) {
        keep_alive_timer_.reset();
        return;
    }
    if (!keep_alive_timer_) {
        keep_alive_timer_ =
            std::make_unique<Timer>(loop_, [this] { Guarded([this] { KeepAliveTick(); }); });
    }
    const int64_t interval = std::min<int64_t>(int64_t{minutes} * kMinuteMs, UINT32_MAX);
    keep_alive_timer_->Start(static_cast<uint32_t>(interval));
}

// A keep-alive goes out only while the connection stands; a tick without one stops the timer,
// which the session never starts again.
void TClientSocket::KeepAliveTick() {
    if (!active_) {
        keep_alive_timer_->Stop();
        return;
    }
    TStringLine line;
    line.SetKind(mkCodedMessage);
    line.AddField(-1);
    line.AddField(std::string_view());
    SendLine(line, false);
}

void TClientSocket::StartReconnectTimer() {
    if (!reconnect_timer_) {
        reconnect_timer_ =
            std::make_unique<Timer>(loop_, [this] { Guarded([this] { ReconnectTick(); }); });
    }
    reconnect_timer_->Start(kReconnectDelayMs);
}

// Opens the connection unless it is open or still being opened.
void TClientSocket::ReconnectTick() {
    reconnect_timer_->Stop();
    if (socket_.State() == SocketState::kClosed) {
        SetActive(true);
    }
}

void TClientSocket::ProcessMessagesUntil(const std::function<bool()>& done) {
    while (!done() && !application_.Terminated() && !loop_.QuitRequested()) {
        loop_.WaitAndProcess(kProcessPassMs);
    }
}

void TClientSocket::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        application_.HandleException(error);
    }
}

}  // namespace px3
