#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/event_loop.h"
#include "platform/ipv4_address.h"

namespace px3 {

// What a socket reports through the loop, as events of its notification target.
enum class SocketEvent {
    kConnected,   // the connection stands (once, after Connect)
    kReadReady,   // data can be read; reported again only after a Read
    kWriteReady,  // after kConnected, and after a Write that would have blocked
    kClosed,      // the peer closed its end and every received byte has been read
    kError,       // the connect, or the connection, failed: see error and operation
};

// The operation that failed, for kError.
enum class SocketOperation { kNone, kConnect, kRead, kWrite, kClose };

struct SocketNotice {
    SocketEvent event = SocketEvent::kConnected;
    int error = 0;  // socket error code (socket_errors.h) for kError, else 0
    SocketOperation operation = SocketOperation::kNone;
};

enum class IoStatus {
    kOk,          // bytes were moved
    kWouldBlock,  // nothing to read now, or no room to write now
    kNotOpen,     // not connected, or (reading) the peer has closed and nothing is left
    kError,       // failed with error
};

struct IoResult {
    IoStatus status = IoStatus::kOk;
    std::size_t bytes = 0;
    int error = 0;
};

enum class SocketState {
    kClosed,      // no connection; Connect may be called
    kConnecting,  // Connect is under way
    kConnected,   // kConnected was reported
    kEnded,       // kClosed or kError was reported; Close releases the socket
};

// A non-blocking TCP client connection whose events are delivered as events of its target, in
// the order they happened. The handler may close or destroy the socket.
class TcpSocket {
  public:
    using Handler = std::function<void(const SocketNotice&)>;

    explicit TcpSocket(NotificationTarget& target, Handler handler = {});
    // Closes without reporting anything.
    ~TcpSocket();
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    void SetHandler(Handler handler);

    // Starts connecting; the outcome arrives as kConnected or kError (operation kConnect), never
    // inside this call. Returns 0, or the error code when no attempt could be made: a socket
    // that is not closed (kSocketAlreadyConnected), the address 0.0.0.0
    // (kSocketAddressNotAvailable), no socket to be had.
    int Connect(Ipv4Address address, std::uint16_t port);

    // Reads up to size bytes of what has arrived.
    IoResult Read(char* buffer, std::size_t size);
    // Writes what the system takes now (possibly less than size); kNotOpen unless connected.
    IoResult Write(const char* data, std::size_t size);
    // Releases the connection; nothing more is reported, events still queued are dropped.
    void Close();

    SocketState State() const;
    NotificationTarget& Target() const;

    class Impl;

  private:
    friend class TcpListener;
    std::unique_ptr<Impl> impl_;
};

// A listening TCP socket; that a connection waits to be accepted is reported to
// on_accept_ready, as an event of the listener's target.
class TcpListener {
  public:
    TcpListener(NotificationTarget& target, std::function<void()> on_accept_ready);
    ~TcpListener();
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    // Listens on address and port (0 picks a free port). Returns 0 or the error code.
    int Listen(Ipv4Address address, std::uint16_t port);
    // The port listened on, 0 when not listening.
    std::uint16_t Port() const;

    // Takes one waiting connection, already connected, whose events go to target and handler;
    // nullptr when none is waiting. Readiness is reported again only after an Accept.
    std::unique_ptr<TcpSocket> Accept(NotificationTarget& target, TcpSocket::Handler handler);

    void Close();

    class Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace px3
