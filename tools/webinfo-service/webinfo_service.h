#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/event_loop.h"
#include "platform/regional_time.h"
#include "platform/tcp_socket.h"
#include "webinfo-service/lookup_check.h"
#include "webinfo-service/service_options.h"
#include "webinfo-service/service_request.h"

namespace px3 {

// One request the service has answered.
struct ServedRequest {
    ServiceRequest request;
    LookupAnswer answer;
    int status = 0;    // of the reply sent
    std::string note;  // what the reply was
    // The log line: request line, status and note.
    std::string Line() const;
};

// The web information service's IP lookup as an HTTP/1.0 server on an event loop: every
// connection carries one request, answered as the options say; the connection is closed after
// the reply (but for a keep-alive fault, which waits for the client to close).
class WebInfoService {
  public:
    using ServedHandler = std::function<void(const ServedRequest&)>;
    using ClockReading = std::function<LocalDateTime()>;

    WebInfoService(EventLoop& loop, ServiceOptions options, ServedHandler on_served = {},
                   ClockReading clock = CurrentLocalDateTime);
    ~WebInfoService();
    WebInfoService(const WebInfoService&) = delete;
    WebInfoService& operator=(const WebInfoService&) = delete;

    // Listens on the options' address and port; 0 or the socket error code.
    int Start();
    std::uint16_t Port() const;
    // "http://127.0.0.1:PORT", the base address of the running service.
    std::string BaseAddress() const;

    ServiceOptions& Options() { return options_; }

  private:
    class Connection;

    void OnAcceptReady();
    void Served(const ServedRequest& served);
    void Reap();

    ServiceOptions options_;
    ServedHandler on_served_;
    ClockReading clock_;
    NotificationTarget target_;
    TcpListener listener_;
    std::vector<std::unique_ptr<Connection>> connections_;
};

}  // namespace px3
