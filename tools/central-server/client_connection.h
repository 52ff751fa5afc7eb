#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "central-server/server_conversation.h"
#include "central-server/server_log.h"
#include "messaging/message_codec.h"
#include "messaging/message_stack.h"
#include "platform/event_loop.h"
#include "platform/tcp_socket.h"

namespace px3 {

// The most bytes a client's message may inflate to; requests are small.
inline constexpr size_t kRequestSizeLimit = size_t{16} << 20;
// A trickled reply goes out in pieces of this many bytes, one every kTrickleIntervalMs.
inline constexpr size_t kTricklePieceSize = 1000;
inline constexpr std::uint32_t kTrickleIntervalMs = 20;

// One client's connection: cuts and decodes what it sends, lets its conversation answer, and
// writes the answers without blocking. Bad input from the client ends the connection with a
// line in the log; the connection then reports itself finished.
class ClientConnection {
  public:
    using FinishedHandler = std::function<void()>;

    // Everything passed in must outlive the connection.
    ClientConnection(int number, const ServerOptions& options, const ClientFileStore& files,
                     NotificationTarget& target, ServerLog& log, FinishedHandler on_finished);
    ~ClientConnection();
    ClientConnection(const ClientConnection&) = delete;
    ClientConnection& operator=(const ClientConnection&) = delete;

    // Takes the accepted socket, whose events must go to OnSocketEvent.
    void Attach(std::unique_ptr<TcpSocket> socket);
    void OnSocketEvent(const SocketNotice& notice);

    // Pings a logged-in client.
    void Ping();

    bool Finished() const { return finished_; }

  private:
    struct PendingOutput {
        std::string bytes;
        size_t sent = 0;
        bool trickled = false;
        bool close_marker = false;
    };

    void Receive();
    void Serve(ConversationStep step);
    void Enqueue(OutgoingMessage message);
    void Flush();
    void OnTrickleTick();
    void Finish(std::string_view reason);
    void Log(std::string_view text);

    const int number_;
    ServerConversation conversation_;
    ServerLog& log_;
    FinishedHandler on_finished_;
    TMessageStack stack_;
    TMessageCodec codec_{kRequestSizeLimit};
    Timer trickle_timer_;
    std::unique_ptr<TcpSocket> socket_;
    std::deque<PendingOutput> output_;
    bool waiting_for_tick_ = false;
    bool finished_ = false;
};

}  // namespace px3
