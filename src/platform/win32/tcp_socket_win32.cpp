#include "platform/win32/tcp_socket_win32.h"

#include <algorithm>
#include <climits>

#include "platform/socket_errors.h"

namespace px3 {

namespace {

int ChunkSize(std::size_t size) {
    return static_cast<int>(std::min<std::size_t>(size, INT_MAX));
}

}  // namespace

TcpSocket::Impl::Impl(NotificationTarget& target_in, Handler handler_in)
    : target(target_in),
      handler(std::move(handler_in)),
      core_(LoopAccess::Core(target_in.Loop())),
      backend_(static_cast<Win32LoopBackend&>(LoopAccess::Backend(target_in.Loop()))) {}

TcpSocket::Impl::~Impl() {
    Close();
}

int TcpSocket::Impl::Connect(Ipv4Address address, std::uint16_t port) {
    if (socket_ != INVALID_SOCKET) {
        return kSocketAlreadyConnected;
    }
    if (address == kAnyAddress) {
        return kSocketAddressNotAvailable;
    }
    const SOCKET created = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (created == INVALID_SOCKET) {
        return WSAGetLastError();
    }
    if (const int error = Open(created, FD_CONNECT | FD_READ | FD_WRITE | FD_CLOSE); error != 0) {
        return error;
    }
    state = SocketState::kConnecting;
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    peer.sin_addr.s_addr = htonl(address.value);
    if (connect(created, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == SOCKET_ERROR) {
        // Every failure of the attempt itself is reported as an event, as a late one would be.
        if (const int error = WSAGetLastError(); error != WSAEWOULDBLOCK) {
            PostMessageA(backend_.WindowOf(target.Id()), number_, created,
                         WSAMAKESELECTREPLY(FD_CONNECT, error));
        }
    }
    return 0;
}

void TcpSocket::Impl::AdoptAccepted(SOCKET accepted) {
    if (Open(accepted, FD_READ | FD_WRITE | FD_CLOSE) == 0) {
        state = SocketState::kConnected;
    }
}

IoResult TcpSocket::Impl::Read(char* buffer, std::size_t size) {
    if (socket_ == INVALID_SOCKET ||
        (state != SocketState::kConnected && state != SocketState::kEnded)) {
        return {IoStatus::kNotOpen};
    }
    const int received = recv(socket_, buffer, ChunkSize(size), 0);
    if (received > 0) {
        return {IoStatus::kOk, static_cast<std::size_t>(received)};
    }
    if (received == 0) {
        return {size == 0 ? IoStatus::kOk : IoStatus::kNotOpen};
    }
    const int error = WSAGetLastError();
    if (error == WSAEWOULDBLOCK) {
        return {IoStatus::kWouldBlock};
    }
    return {IoStatus::kError, 0, error};
}

IoResult TcpSocket::Impl::Write(const char* data, std::size_t size) {
    if (state != SocketState::kConnected) {
        return {IoStatus::kNotOpen};
    }
    const int sent = send(socket_, data, ChunkSize(size), 0);
    if (sent != SOCKET_ERROR) {
        return {IoStatus::kOk, static_cast<std::size_t>(sent)};
    }
    const int error = WSAGetLastError();
    if (error == WSAEWOULDBLOCK) {
        return {IoStatus::kWouldBlock};
    }
    return {IoStatus::kError, 0, error};
}

void TcpSocket::Impl::Close() {
    if (socket_ != INVALID_SOCKET) {
        closesocket(socket_);
        core_.Detach(number_);
    }
    socket_ = INVALID_SOCKET;
    number_ = 0;
    close_deferred_ = false;
    state = SocketState::kClosed;
}

void TcpSocket::Impl::OnNotice(const LoopMessage& message) {
    if (static_cast<SOCKET>(message.wparam) != socket_) {
        return;
    }
    const int event = WSAGETSELECTEVENT(message.lparam);
    const int error = WSAGETSELECTERROR(message.lparam);
    if (event == FD_CONNECT) {
        if (state != SocketState::kConnecting) {
            return;
        }
        state = error != 0 ? SocketState::kEnded : SocketState::kConnected;
        Notify(error != 0 ? SocketNotice{SocketEvent::kError, error, SocketOperation::kConnect}
                          : SocketNotice{SocketEvent::kConnected});
        return;
    }
    if (state != SocketState::kConnected) {
        return;
    }
    if (event == FD_CLOSE && error == 0) {
        u_long unread = 0;
        if (!close_deferred_ && ioctlsocket(socket_, FIONREAD, &unread) == 0 && unread > 0) {
            // Data first, the close after it: report data ready and the close once more.
            close_deferred_ = true;
            PostMessageA(backend_.WindowOf(target.Id()), number_, message.wparam, message.lparam);
            Notify(SocketNotice{SocketEvent::kReadReady});
            return;
        }
        state = SocketState::kEnded;
        Notify(SocketNotice{SocketEvent::kClosed});
        return;
    }
    if (error != 0) {
        state = SocketState::kEnded;
        const SocketOperation operation = event == FD_READ    ? SocketOperation::kRead
                                          : event == FD_WRITE ? SocketOperation::kWrite
                                                              : SocketOperation::kClose;
        Notify(SocketNotice{SocketEvent::kError, error, operation});
        return;
    }
    if (event == FD_READ) {
        Notify(SocketNotice{SocketEvent::kReadReady});
    } else if (event == FD_WRITE) {
        Notify(SocketNotice{SocketEvent::kWriteReady});
    }
}

int TcpSocket::Impl::Open(SOCKET opened, long events) {
    socket_ = opened;
    number_ = core_.Attach(*this, target.Id());
    if (WSAAsyncSelect(opened, backend_.WindowOf(target.Id()), number_, events) == SOCKET_ERROR) {
        const int error = WSAGetLastError();
        Close();
        return error;
    }
    return 0;
}

void TcpSocket::Impl::Notify(const SocketNotice& notice) {
    // A copy, so that the handler may destroy the socket.
    const Handler on_event = handler;
    if (on_event) {
        on_event(notice);
    }
}

TcpSocket::TcpSocket(NotificationTarget& target, Handler handler)
    : impl_(std::make_unique<Impl>(target, std::move(handler))) {}

TcpSocket::~TcpSocket() = default;

void TcpSocket::SetHandler(Handler handler) {
    impl_->handler = std::move(handler);
}

int TcpSocket::Connect(Ipv4Address address, std::uint16_t port) {
    return impl_->Connect(address, port);
}

IoResult TcpSocket::Read(char* buffer, std::size_t size) {
    return impl_->Read(buffer, size);
}

IoResult TcpSocket::Write(const char* data, std::size_t size) {
    return impl_->Write(data, size);
}

void TcpSocket::Close() {
    impl_->Close();
}

SocketState TcpSocket::State() const {
    return impl_->state;
}

NotificationTarget& TcpSocket::Target() const {
    return impl_->target;
}

}  // namespace px3
