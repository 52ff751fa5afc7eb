#include <algorithm>
#include <functional>
#include <string>
#include <utility>

#include "base/exception.h"
#include "messaging/client_socket.h"
#include "messaging/frame.h"
#include "messaging/session_errors.h"
#include "messaging/socket_error_messages.h"

namespace px3 {

namespace {

constexpr uint32_t kBlockingLimitMs = 5000;
// Written in front of the frames of a blocking exchange.
constexpr char kBlockingMarker[] = "\xFF\xFF\xFF\xFF";

// One connection of a blocking exchange: every step waits for its event, dispatching only the
// session's notification target, for at most kBlockingLimitMs.
class BlockingConnection {
  public:
    explicit BlockingConnection(NotificationTarget& target)
        : target_(target),
          socket_(target, [this](const SocketNotice& notice) { OnNotice(notice); }),
          limit_(target, [this] { timed_out_ = true; }) {}

    void Connect(Ipv4Address peer, uint16_t port) {
        if (const int error = socket_.Connect(peer, port); error != 0) {
            throw ESocketError(SocketCallErrorMessage(error, "connect"));
        }
        AwaitEvent([this] { return socket_.State() != SocketState::kConnecting; });
        if (error_ != 0) {
            throw ESocketError(SocketCallErrorMessage(error_, "connect"));
        }
        if (socket_.State() != SocketState::kConnected) {
            throw ESocketError("Blocking Socket Time out");
        }
    }

    void WriteAll(std::string_view bytes) {
        while (!bytes.empty()) {
            const IoResult result =
                socket_.Write(bytes.data(), std::min(bytes.size(), kTransferChunkSize));
            if (result.status == IoStatus::kOk) {
                bytes.remove_prefix(result.bytes);
            } else if (result.status == IoStatus::kWouldBlock) {
                write_ready_ = false;
                AwaitEvent([this] { return write_ready_ || Ended(); });
                if (timed_out_) {
                    throw ESocketError("Blocking Socket Time out");
                }
            } else if (result.status == IoStatus::kError) {
                throw ESocketError(SocketCallErrorMessage(result.error, "send"));
            } else {
                return;
            }
        }
    }

    // Reads what arrives until the peer closes, a complete frame has come, or the limit passes
    // without data; fails when no data came at all.
    void ReadReply(TMessageStack& stack) {
        bool received = false;
        for (;;) {
            read_ready_ = false;
            AwaitEvent([this] { return read_ready_ || Ended(); });
            const std::string bytes = ReadAvailable();
            if (!bytes.empty()) {
                received = true;
                stack.AppendReceived(bytes);
            } else if (timed_out_) {
                if (!received) {
                    throw ESocketError("Blocking Socket Time out");
                }
                return;
            }
            if (Ended() || stack.HasMessage()) {
                return;
            }
        }
    }

  private:
    bool Ended() const { return socket_.State() == SocketState::kEnded; }

    void OnNotice(const SocketNotice& notice) {
        if (notice.event == SocketEvent::kError) {
            error_ = notice.error;
        } else if (notice.event == SocketEvent::kReadReady) {
            read_ready_ = true;
        } else if (notice.event == SocketEvent::kWriteReady) {
            write_ready_ = true;
        }
    }

    void AwaitEvent(const std::function<bool()>& done) {
        timed_out_ = false;
        limit_.Start(kBlockingLimitMs);
        target_.Loop().PumpTargetUntil(target_, [&] { return done() || timed_out_; });
        limit_.Stop();
    }

    std::string ReadAvailable() {
        std::string taken;
        char chunk[kTransferChunkSize];
        for (;;) {
            const IoResult result = socket_.Read(chunk, sizeof chunk);
            if (result.status == IoStatus::kError) {
                throw ESocketError(SocketCallErrorMessage(result.error, "recv"));
            }
            if (result.status != IoStatus::kOk || result.bytes == 0) {
                return taken;
            }
            taken.append(chunk, result.bytes);
        }
    }

    NotificationTarget& target_;
    TcpSocket socket_;
    Timer limit_;
    bool timed_out_ = false;
    bool read_ready_ = false;
    bool write_ready_ = false;
    int error_ = 0;
};

}  // namespace

// Sends every queued frame over a connection of its own, behind the blocking marker, and
// dispatches the frames that come back.
void TClientSocket::BlockingExchange() {
    if (blocking_queue_.empty()) {
        throw Exception("No Data to send!");
    }
    std::string outgoing = kBlockingMarker;
    for (const std::string& frame : blocking_queue_) {
        outgoing += frame;
    }
    blocking_queue_.clear();
    TMessageStack received;
    {
        BlockingConnection connection(target_);
        connection.Connect(ResolvePeer(), static_cast<uint16_t>(port_));
        connection.WriteAll(outgoing);
        connection.ReadReply(received);
    }
    ClearReply();
    pending_replies_ = 1;
    try {
        while (received.HasMessage()) {
            std::string message = received.PopMessage();
            DecodeIncoming(message);
            if (!message.empty()) {
                DispatchMessage(std::move(message));
            }
        }
    } catch (...) {
        pending_replies_ = 0;
        throw;
    }
    pending_replies_ = 0;
}

}  // namespace px3
