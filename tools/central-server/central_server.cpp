#include "central-server/central_server.h"

#include <algorithm>
#include <vector>

namespace px3 {

namespace {

// Posted to the server's target when a connection has ended; it is destroyed later, outside the
// handling of its own events.
constexpr std::uint32_t kForgetFinishedMessage = kFirstUserMessage + 0x10;

}  // namespace

CentralServer::CentralServer(EventLoop& loop, const ServerOptions& options, ServerLog& log)
    : options_(options),
      files_(options.root),
      log_(log),
      target_(loop,
              [this](const LoopMessage& message) {
                  if (message.number == kForgetFinishedMessage) {
                      ForgetFinished();
                  }
              }),
      listener_(target_, [this] { AcceptWaiting(); }),
      ping_timer_(target_, [this] { PingAll(); }) {}

CentralServer::~CentralServer() = default;

int CentralServer::Start() {
    const int error = listener_.Listen(options_.bind_address, options_.port);
    if (error == 0 && options_.ping_seconds > 0) {
        ping_timer_.Start(options_.ping_seconds * 1000);
    }
    return error;
}

size_t CentralServer::ClientCount() const {
    return static_cast<size_t>(std::count_if(connections_.begin(), connections_.end(),
                                             [](const auto& c) { return !c->Finished(); }));
}

void CentralServer::AcceptWaiting() {
    for (;;) {
        auto connection =
            std::make_unique<ClientConnection>(next_number_, options_, files_, target_, log_,
                                               [this] { target_.Post(kForgetFinishedMessage); });
        ClientConnection* events_to = connection.get();
        std::unique_ptr<TcpSocket> socket = listener_.Accept(
            target_, [events_to](const SocketNotice& notice) { events_to->OnSocketEvent(notice); });
        if (!socket) {
            return;
        }
        ++next_number_;
        connection->Attach(std::move(socket));
        connections_.push_back(std::move(connection));
    }
}

void CentralServer::PingAll() {
    for (const auto& connection : connections_) {
        connection->Ping();
    }
}

void CentralServer::ForgetFinished() {
    std::erase_if(connections_, [](const auto& connection) { return connection->Finished(); });
}

}  // namespace px3
