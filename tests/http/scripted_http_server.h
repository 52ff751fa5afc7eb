#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/event_loop.h"
#include "platform/tcp_socket.h"

namespace px3::testing {

// One answer of the scripted server.
struct ScriptedReply {
    std::vector<std::string> pieces;  // written one after the other
    std::uint32_t pieceDelayMs = 0;   // pause before every piece but the first
    bool close = true;                // close the connection after the last piece
};

// A reply whose pieces are written at once, and the connection then closed.
ScriptedReply Reply(std::string text);

// An HTTP server on the loopback address, on the test's own event loop: it answers the requests
// it receives, on any connection, with the replies given to it, in order; with no reply left it
// leaves the connection open without answering.
class ScriptedHttpServer {
  public:
    explicit ScriptedHttpServer(EventLoop& loop);
    ~ScriptedHttpServer();

    void Add(ScriptedReply reply);
    void Add(std::string text) { Add(Reply(std::move(text))); }

    std::uint16_t Port() const { return listener_.Port(); }
    // "http://127.0.0.1:PORT" followed by path.
    std::string Url(std::string_view path) const;

    // Every request header block received, in order.
    const std::vector<std::string>& Requests() const { return requests_; }
    int Connections() const { return static_cast<int>(connections_.size()); }

  private:
    struct Connection;

    void Accept();

    EventLoop& loop_;
    NotificationTarget target_;
    TcpListener listener_;
    std::deque<ScriptedReply> replies_;
    std::vector<std::string> requests_;
    std::vector<std::unique_ptr<Connection>> connections_;
};

}  // namespace px3::testing
