#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "messaging/message_codec.h"
#include "messaging/message_stack.h"
#include "platform/event_loop.h"
#include "platform/tcp_socket.h"

namespace px3::testing {

// A message as the server received it: its kind and the bytes of its present fields.
struct ReceivedMessage {
    uint8_t kind = 0;
    std::vector<std::string> fields;

    int32_t Integer(size_t index) const;
};

// A field of a message the server sends: a text or an integer.
using Field = std::variant<std::string, int32_t>;

// Packs a message of the given kind and fields.
std::string PackMessage(uint8_t kind, const std::vector<Field>& fields);

// A server for the session's tests, on the loop of the session it serves. Its sockets ride on
// the session's notification target, so that it keeps answering while the session waits for a
// reply. One client at a time; a new connection replaces the previous one.
class FakeServer {
  public:
    explicit FakeServer(NotificationTarget& target);

    uint16_t Port() const { return listener_.Port(); }

    // Called for every message received; the default accepts logins.
    std::function<void(FakeServer& server, const ReceivedMessage& message)> OnMessage;

    // Compresses and frames a packed message and sends it.
    void Send(const std::string& packed);
    void SendMessage(uint8_t kind, const std::vector<Field>& fields);
    // Sends bytes to the stream as they stand.
    void SendRaw(std::string bytes);
    void AcceptLogin(bool accepted);
    // Closes the connection to the client. With unread data from the client pending, the system
    // answers with a reset.
    void CloseClient();
    // Stops reading what the client sends, on this connection and later ones.
    void StopReading() { reading_ = false; }

    bool HasClient() const { return client_ != nullptr; }
    // The messages received, oldest first, and those of one kind.
    const std::vector<ReceivedMessage>& Received() const { return received_; }
    std::vector<ReceivedMessage> ReceivedOfKind(uint8_t kind) const;
    // Every byte received on the current connection.
    const std::string& RawReceived() const { return raw_received_; }
    int Connections() const { return connections_; }
    int ClosesSeen() const { return closes_seen_; }

    TMessageCodec codec;

  private:
    void OnAcceptReady();
    void OnClientNotice(const SocketNotice& notice);
    void ReadAll();
    void Flush();

    NotificationTarget& target_;
    TcpListener listener_;
    std::unique_ptr<TcpSocket> client_;
    TMessageStack stack_;
    std::string outbox_;
    std::string raw_received_;
    std::vector<ReceivedMessage> received_;
    bool reading_ = true;
    int connections_ = 0;
    int closes_seen_ = 0;
};

}  // namespace px3::testing
