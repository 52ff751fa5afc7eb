#include "webinfo-service/webinfo_service.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "base/text.h"
#include "webinfo-service/service_reply.h"

namespace px3 {

namespace {

// Posted to the service's target when a connection has ended and can go.
constexpr std::uint32_t kReapMessage = kFirstUserMessage + 1;

// How much of a request that cannot be read its log line shows.
constexpr std::size_t kLoggedUnreadableBytes = 80;

}  // namespace

std::string ServedRequest::Line() const {
    std::string line = request.method + " " + request.target + " -> " + IntToStr(status);
    if (!note.empty()) {
        line += " " + note;
    }
    return line;
}

// One accepted connection: reads a request header, sends the reply piece by piece, then closes.
class WebInfoService::Connection {
  public:
    explicit Connection(WebInfoService& service)
        : service_(service), pause_timer_(service.target_, [this] { SendNextPiece(); }) {}

    bool Accept() {
        socket_ = service_.listener_.Accept(
            service_.target_, [this](const SocketNotice& notice) { OnSocket(notice); });
        return socket_ != nullptr;
    }

    bool Finished() const { return finished_; }

  private:
    void OnSocket(const SocketNotice& notice) {
        switch (notice.event) {
            case SocketEvent::kReadReady:
                ReadRequest();
                break;
            case SocketEvent::kWriteReady:
                Flush();
                break;
            case SocketEvent::kClosed:
            case SocketEvent::kError:
                Finish();
                break;
            case SocketEvent::kConnected:
                break;
        }
    }

    void ReadRequest() {
        char chunk[4096];
        for (IoResult result = socket_->Read(chunk, sizeof chunk); result.status == IoStatus::kOk;
             result = socket_->Read(chunk, sizeof chunk)) {
            if (!answered_) {
                received_.append(chunk, result.bytes);
            }
        }
        if (answered_) {
            return;
        }
        const std::optional<std::size_t> length = RequestHeaderLength(received_);
        if (!length) {
            if (received_.size() > kMaxRequestHeader) {
                Answer(std::nullopt, BadRequestReply("request header too long"));
            }
            return;
        }
        const std::optional<ServiceRequest> request =
            ParseServiceRequest(std::string_view(received_).substr(0, *length));
        if (!request) {
            Answer(std::nullopt, BadRequestReply("request line unreadable"));
            return;
        }
        const LookupAnswer answer =
            CheckLookupRequest(*request, service_.options_, service_.clock_());
        Answer(ServedRequest{*request, answer, 0, {}},
               BuildServiceReply(*request, answer, service_.options_));
    }

    void Answer(std::optional<ServedRequest> served, ServiceReply reply) {
        answered_ = true;
        if (!served) {
            served.emplace();
            served->request.target = received_.substr(
                0, std::min(received_.find_first_of("\r\n"), kLoggedUnreadableBytes));
        }
        served->status = reply.status;
        served->note = reply.note;
        reply_ = std::move(reply);
        service_.Served(*served);
        if (reply_.pause_ms > 0 && reply_.pieces.size() > 1) {
            pause_timer_.Start(reply_.pause_ms);
            SendNextPiece();
        } else {
            while (next_piece_ < reply_.pieces.size()) {
                out_ += reply_.pieces[next_piece_++];
            }
            Flush();
        }
    }

    void SendNextPiece() {
        if (next_piece_ < reply_.pieces.size()) {
            out_ += reply_.pieces[next_piece_++];
        }
        if (next_piece_ == reply_.pieces.size()) {
            pause_timer_.Stop();
        }
        Flush();
    }

    void Flush() {
        while (!out_.empty() && !finished_) {
            const IoResult result = socket_->Write(out_.data(), out_.size());
            if (result.status == IoStatus::kWouldBlock) {
                return;
            }
            if (result.status != IoStatus::kOk) {
                Finish();
                return;
            }
            out_.erase(0, result.bytes);
        }
        if (answered_ && next_piece_ == reply_.pieces.size() && out_.empty() && !reply_.keep_open) {
            Finish();
        }
    }

    void Finish() {
        if (finished_) {
            return;
        }
        finished_ = true;
        pause_timer_.Stop();
        socket_->Close();
        service_.target_.Post(kReapMessage);
    }

    WebInfoService& service_;
    Timer pause_timer_;
    std::unique_ptr<TcpSocket> socket_;
    std::string received_;
    bool answered_ = false;
    ServiceReply reply_;
    std::size_t next_piece_ = 0;
    std::string out_;
    bool finished_ = false;
};

WebInfoService::WebInfoService(EventLoop& loop, ServiceOptions options, ServedHandler on_served,
                               ClockReading clock)
    : options_(std::move(options)),
      on_served_(std::move(on_served)),
      clock_(std::move(clock)),
      target_(loop,
              [this](const LoopMessage& message) {
                  if (message.number == kReapMessage) {
                      Reap();
                  }
              }),
      listener_(target_, [this] { OnAcceptReady(); }) {}

WebInfoService::~WebInfoService() = default;

int WebInfoService::Start() {
    return listener_.Listen(options_.bind_address, options_.port);
}

std::uint16_t WebInfoService::Port() const {
    return listener_.Port();
}

std::string WebInfoService::BaseAddress() const {
    return "http://127.0.0.1:" + IntToStr(Port());
}

void WebInfoService::OnAcceptReady() {
    for (;;) {
        auto connection = std::make_unique<Connection>(*this);
        if (!connection->Accept()) {
            return;
        }
        connections_.push_back(std::move(connection));
    }
}

void WebInfoService::Served(const ServedRequest& served) {
    if (on_served_) {
        on_served_(served);
    }
}

void WebInfoService::Reap() {
    std::erase_if(connections_, [](const std::unique_ptr<Connection>& connection) {
        return connection->Finished();
    });
}

}  // namespace px3
