#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/loop_backend_posix.h"
#include "platform/posix/socket_errors_posix.h"
#include "platform/posix/tcp_socket_posix.h"
#include "platform/socket_errors.h"
#include "platform/tcp_socket.h"

namespace px3 {

class TcpListener::Impl final : public LoopAttachment, public PollWatcher {
  public:
    Impl(NotificationTarget& target, std::function<void()> on_accept_ready)
        : target_(target),
          on_accept_ready_(std::move(on_accept_ready)),
          core_(LoopAccess::Core(target.Loop())),
          backend_(static_cast<PosixLoopBackend&>(LoopAccess::Backend(target.Loop()))) {}

    ~Impl() { Close(); }

    int Listen(Ipv4Address address, std::uint16_t port) {
        if (fd_ >= 0) {
            return kSocketAlreadyConnected;
        }
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            return SocketErrorFromErrno(errno);
        }
        const int reuse = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_port = htons(port);
        local.sin_addr.s_addr = htonl(address.value);
        socklen_t length = sizeof local;
        if (bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
            listen(fd, SOMAXCONN) != 0 ||
            getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
            const int error = SocketErrorFromErrno(errno);
            close(fd);
            return error;
        }
        fd_ = fd;
        port_ = ntohs(local.sin_port);
        number_ = core_.Attach(*this, target_.Id());
        backend_.Watch(*this);
        accept_armed_ = true;
        return 0;
    }

    // The accepted descriptor, or -1 when none is waiting.
    int AcceptFd() {
        if (fd_ < 0) {
            return -1;
        }
        accept_armed_ = true;
        return accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    }

    void Close() {
        if (fd_ >= 0) {
            backend_.Unwatch(*this);
            core_.Detach(number_);
            close(fd_);
        }
        fd_ = -1;
        number_ = 0;
        port_ = 0;
        accept_armed_ = false;
    }

    std::uint16_t Port() const { return port_; }

    int PollFd() const override { return fd_; }
    short PollEvents() const override { return accept_armed_ ? POLLIN : 0; }

    void OnPollReady(short) override {
        accept_armed_ = false;
        backend_.Post(target_.Id(), LoopMessage{number_, 0, 0});
    }

    void OnNotice(const LoopMessage&) override {
        const std::function<void()> on_accept_ready = on_accept_ready_;
        if (on_accept_ready) {
            on_accept_ready();
        }
    }

  private:
    NotificationTarget& target_;
    std::function<void()> on_accept_ready_;
    LoopCore& core_;
    PosixLoopBackend& backend_;
    int fd_ = -1;
    std::uint32_t number_ = 0;
    std::uint16_t port_ = 0;
    bool accept_armed_ = false;
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
    const int fd = impl_->AcceptFd();
    if (fd < 0) {
        return nullptr;
    }
    auto socket = std::make_unique<TcpSocket>(target, std::move(handler));
    socket->impl_->AdoptAccepted(fd);
    return socket;
}

void TcpListener::Close() {
    impl_->Close();
}

}  // namespace px3
