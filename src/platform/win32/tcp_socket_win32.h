#pragma once

#include <winsock2.h>

#include <cstdint>

#include "platform/loop_core.h"
#include "platform/tcp_socket.h"
#include "platform/win32/loop_backend_win32.h"

namespace px3 {

// A TCP connection whose notifications Windows Sockets posts to the target's window under the
// attachment's own message number.
class TcpSocket::Impl final : public LoopAttachment {
  public:
    Impl(NotificationTarget& target, Handler handler);
    ~Impl();

    int Connect(Ipv4Address address, std::uint16_t port);
    // Takes over a socket returned by accept.
    void AdoptAccepted(SOCKET socket);
    IoResult Read(char* buffer, std::size_t size);
    IoResult Write(const char* data, std::size_t size);
    void Close();

    void OnNotice(const LoopMessage& message) override;

    NotificationTarget& target;
    Handler handler;
    SocketState state = SocketState::kClosed;

  private:
    int Open(SOCKET socket, long events);
    void Notify(const SocketNotice& notice);

    LoopCore& core_;
    Win32LoopBackend& backend_;
    SOCKET socket_ = INVALID_SOCKET;
    std::uint32_t number_ = 0;
    bool close_deferred_ = false;
};

}  // namespace px3
