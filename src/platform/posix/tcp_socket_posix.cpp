#include "platform/posix/tcp_socket_posix.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/socket_errors_posix.h"
#include "platform/socket_errors.h"

namespace px3 {

namespace {

bool IsTransient(int errno_value) {
    return errno_value == EAGAIN || errno_value == EWOULDBLOCK || errno_value == EINTR;
}

}  // namespace

TcpSocket::Impl::Impl(NotificationTarget& target_in, Handler handler_in)
    : target(target_in),
      handler(std::move(handler_in)),
      core_(LoopAccess::Core(target_in.Loop())),
      backend_(static_cast<PosixLoopBackend&>(LoopAccess::Backend(target_in.Loop()))) {}

TcpSocket::Impl::~Impl() {
    Close();
}

int TcpSocket::Impl::Connect(Ipv4Address address, std::uint16_t port) {
    if (fd_ >= 0) {
        return kSocketAlreadyConnected;
    }
    // Connecting to 0.0.0.0 would reach this host here; Windows refuses it, and so do we.
    if (address == kAnyAddress) {
        return kSocketAddressNotAvailable;
    }
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return SocketErrorFromErrno(errno);
    }
    Open(fd);
    state = SocketState::kConnecting;
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    peer.sin_addr.s_addr = htonl(address.value);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0 ||
        errno == EINPROGRESS || errno == EINTR) {
        connect_pending_ = true;
    } else {
        Queue(SocketEvent::kError, SocketErrorFromErrno(errno), SocketOperation::kConnect);
    }
    return 0;
}

void TcpSocket::Impl::AdoptAccepted(int fd) {
    Open(fd);
    state = SocketState::kConnected;
    read_armed_ = true;
    Queue(SocketEvent::kWriteReady);
}

IoResult TcpSocket::Impl::Read(char* buffer, std::size_t size) {
    if (fd_ < 0 || (state != SocketState::kConnected && state != SocketState::kEnded)) {
        return {IoStatus::kNotOpen};
    }
    const ssize_t received = recv(fd_, buffer, size, 0);
    const int error = errno;
    if (state == SocketState::kConnected) {
        read_armed_ = true;
    }
    if (received > 0) {
        return {IoStatus::kOk, static_cast<std::size_t>(received)};
    }
    if (received == 0) {
        return {size == 0 ? IoStatus::kOk : IoStatus::kNotOpen};
    }
    if (IsTransient(error)) {
        return {IoStatus::kWouldBlock};
    }
    return {IoStatus::kError, 0, SocketErrorFromErrno(error)};
}

IoResult TcpSocket::Impl::Write(const char* data, std::size_t size) {
    if (state != SocketState::kConnected) {
        return {IoStatus::kNotOpen};
    }
    const ssize_t sent = send(fd_, data, size, MSG_NOSIGNAL);
    if (sent >= 0) {
        return {IoStatus::kOk, static_cast<std::size_t>(sent)};
    }
    if (IsTransient(errno)) {
        write_armed_ = true;
        return {IoStatus::kWouldBlock};
    }
    return {IoStatus::kError, 0, SocketErrorFromErrno(errno)};
}

void TcpSocket::Impl::Close() {
    if (fd_ >= 0) {
        backend_.Unwatch(*this);
        core_.Detach(number_);
        close(fd_);
    }
    fd_ = -1;
    number_ = 0;
    connect_pending_ = read_armed_ = write_armed_ = false;
    state = SocketState::kClosed;
}

short TcpSocket::Impl::PollEvents() const {
    short events = 0;
    if (connect_pending_ || write_armed_) {
        events |= POLLOUT;
    }
    if (read_armed_) {
        events |= POLLIN;
    }
    return events;
}

void TcpSocket::Impl::OnPollReady(short revents) {
    if (connect_pending_) {
        connect_pending_ = false;
        int error = 0;
        socklen_t length = sizeof error;
        getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length);
        if (error == 0) {
            Queue(SocketEvent::kConnected);
            Queue(SocketEvent::kWriteReady);
        } else {
            Queue(SocketEvent::kError, SocketErrorFromErrno(error), SocketOperation::kConnect);
        }
        return;
    }
    if (read_armed_ && (revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
        // A peek tells data from the peer's close (and from a reset) without taking anything.
        char byte;
        const ssize_t peeked = recv(fd_, &byte, 1, MSG_PEEK);
        if (peeked > 0) {
            read_armed_ = false;
            Queue(SocketEvent::kReadReady);
        } else if (peeked == 0) {
            read_armed_ = write_armed_ = false;
            Queue(SocketEvent::kClosed);
            return;
        } else if (!IsTransient(errno)) {
            read_armed_ = write_armed_ = false;
            Queue(SocketEvent::kError, SocketErrorFromErrno(errno), SocketOperation::kClose);
            return;
        }
    }
    if (write_armed_ && (revents & (POLLOUT | POLLHUP | POLLERR)) != 0) {
        write_armed_ = false;
        Queue(SocketEvent::kWriteReady);
    }
}

void TcpSocket::Impl::OnNotice(const LoopMessage& message) {
    const SocketNotice notice{static_cast<SocketEvent>(message.wparam & 0xFF),
                              static_cast<int>(message.lparam),
                              static_cast<SocketOperation>(message.wparam >> 8)};
    switch (notice.event) {
        case SocketEvent::kConnected:
            state = SocketState::kConnected;
            read_armed_ = true;
            break;
        case SocketEvent::kReadReady:
        case SocketEvent::kWriteReady:
            if (state != SocketState::kConnected) {
                return;
            }
            break;
        case SocketEvent::kClosed:
        case SocketEvent::kError:
            state = SocketState::kEnded;
            read_armed_ = write_armed_ = false;
            break;
    }
    // A copy, so that the handler may destroy the socket.
    const Handler on_event = handler;
    if (on_event) {
        on_event(notice);
    }
}

void TcpSocket::Impl::Open(int fd) {
    fd_ = fd;
    number_ = core_.Attach(*this, target.Id());
    backend_.Watch(*this);
}

void TcpSocket::Impl::Queue(SocketEvent event, int error, SocketOperation operation) {
    const std::uintptr_t what =
        static_cast<std::uintptr_t>(event) | (static_cast<std::uintptr_t>(operation) << 8);
    backend_.Post(target.Id(), LoopMessage{number_, what, error});
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
