#include <winsock2.h>

#include "platform/socket_errors.h"
#include "platform/tcp_socket.h"
#include "platform/win32/loop_backend_win32.h"
#include "platform/win32/tcp_socket_win32.h"

namespace px3 {

class TcpListener::Impl final : public LoopAttachment {
  public:
    Impl(NotificationTarget& target, std::function<void()> on_accept_ready)
        : target_(target),
          on_accept_ready_(std::move(on_accept_ready)),
          core_(LoopAccess::Core(target.Loop())),
          backend_(static_cast<Win32LoopBackend&>(LoopAccess::Backend(target.Loop()))) {}

    ~Impl() { Close(); }

    int Listen(Ipv4Address address, std::uint16_t port) {
        if (socket_ != INVALID_SOCKET) {
            return kSocketAlreadyConnected;
        }
        const SOCKET created = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (created == INVALID_SOCKET) {
            return WSAGetLastError();
        }
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_port = htons(port);
        local.sin_addr.s_addr = htonl(address.value);
        int length = sizeof local;
        const std::uint32_t number = core_.Attach(*this, target_.Id());
        if (bind(created, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
            listen(created, SOMAXCONN) != 0 ||
            getsockname(created, reinterpret_cast<sockaddr*>(&local), &length) != 0 ||
            WSAAsyncSelect(created, backend_.WindowOf(target_.Id()), number, FD_ACCEPT) != 0) {
            const int error = WSAGetLastError();
            core_.Detach(number);
            closesocket(created);
            return error;
        }
        socket_ = created;
        number_ = number;
        port_ = ntohs(local.sin_port);
        return 0;
    }

    // The accepted socket, or INVALID_SOCKET when none is waiting.
    SOCKET AcceptSocket() {
        return socket_ == INVALID_SOCKET ? INVALID_SOCKET : accept(socket_, nullptr, nullptr);
    }

    void Close() {
        if (socket_ != INVALID_SOCKET) {
            closesocket(socket_);
            core_.Detach(number_);
        }
        socket_ = INVALID_SOCKET;
        number_ = 0;
        port_ = 0;
    }

    std::uint16_t Port() const { return port_; }

    void OnNotice(const LoopMessage& message) override {
        if (static_cast<SOCKET>(message.wparam) != socket_ ||
            WSAGETSELECTEVENT(message.lparam) != FD_ACCEPT) {
            return;
        }
        const std::function<void()> on_accept_ready = on_accept_ready_;
        if (on_accept_ready) {
            on_accept_ready();
        }
    }

  private:
    NotificationTarget& target_;
    std::function<void()> on_accept_ready_;
    LoopCore& core_;
    Win32LoopBackend& backend_;
    SOCKET socket_ = INVALID_SOCKET;
    std::uint32_t number_ = 0;
    std::uint16_t port_ = 0;
};

TcpListener::TcpListener(NotificationTarget& target, std::function<void()> on_accept_ready)
    : impl_(std::make_unique<Impl>(target, std::move(on_accept_ready))) {}

TcpListener::~TcpListener() = default;

int TcpListener::Listen(Ipv4Address address, std::uint16_t port) {
    return impl_->Listen(address, port);
}

std::uint16_t TcpListener::Port() const {
    return impl_->Port();
}

std::unique_ptr<TcpSocket> TcpListener::Accept(NotificationTarget& target,
                                               TcpSocket::Handler handler) {
    const SOCKET accepted = impl_->AcceptSocket();
    if (accepted == INVALID_SOCKET) {
        return nullptr;
    }
    auto socket = std::make_unique<TcpSocket>(target, std::move(handler));
    socket->impl_->AdoptAccepted(accepted);
    return socket;
}

void TcpListener::Close() {
    impl_->Close();
}

}  // namespace px3
