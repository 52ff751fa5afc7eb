#pragma once

#include <cstdint>

#include "platform/loop_core.h"
#include "platform/posix/loop_backend_posix.h"
#include "platform/tcp_socket.h"

namespace px3 {

// A TCP connection on a non-blocking descriptor. Poll readiness becomes queued events in the
// manner of the Windows notifications: one data-ready event until the next Read, write-ready
// after connecting and after a Write that would have blocked, the close once all data is read.
class TcpSocket::Impl final : public LoopAttachment, public PollWatcher {
  public:
    Impl(NotificationTarget& target, Handler handler);
    ~Impl();

    int Connect(Ipv4Address address, std::uint16_t port);
    // Takes over a descriptor returned by accept.
    void AdoptAccepted(int fd);
    IoResult Read(char* buffer, std::size_t size);
    IoResult Write(const char* data, std::size_t size);
    void Close();

    int PollFd() const override { return fd_; }
    short PollEvents() const override;
    void OnPollReady(short revents) override;
    void OnNotice(const LoopMessage& message) override;

    NotificationTarget& target;
    Handler handler;
    SocketState state = SocketState::kClosed;

  private:
    void Open(int fd);
    void Queue(SocketEvent event, int error = 0,
               SocketOperation operation = SocketOperation::kNone);

    LoopCore& core_;
    PosixLoopBackend& backend_;
    int fd_ = -1;
    std::uint32_t number_ = 0;
    bool connect_pending_ = false;
    bool read_armed_ = false;
    bool write_armed_ = false;
};

}  // namespace px3
