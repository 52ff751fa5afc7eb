#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "central-server/client_connection.h"
#include "central-server/client_file_store.h"
#include "central-server/server_log.h"
#include "central-server/server_options.h"
#include "platform/event_loop.h"
#include "platform/tcp_socket.h"

namespace px3 {

// The central server: listens, takes any number of clients on the loop's thread, pings the
// logged-in ones at the set interval, and forgets each client whose connection has ended.
class CentralServer {
  public:
    // Fails with Exception when the root folder is not a folder.
    CentralServer(EventLoop& loop, const ServerOptions& options, ServerLog& log);
    ~CentralServer();
    CentralServer(const CentralServer&) = delete;
    CentralServer& operator=(const CentralServer&) = delete;

    // Starts listening; 0, or the socket error code.
    int Start();
    // The port listened on (the free port picked for port 0).
    std::uint16_t Port() const { return listener_.Port(); }
    // Clients whose connections stand.
    size_t ClientCount() const;

  private:
    void AcceptWaiting();
    void PingAll();
    void ForgetFinished();

    const ServerOptions options_;
    const ClientFileStore files_;
    ServerLog& log_;
    NotificationTarget target_;
    TcpListener listener_;
    Timer ping_timer_;
    std::vector<std::unique_ptr<ClientConnection>> connections_;
    int next_number_ = 1;
};

}  // namespace px3
