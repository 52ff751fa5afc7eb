#include "central-server/client_connection.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "base/text.h"
#include "messaging/frame.h"
#include "messaging/little_endian.h"
#include "platform/socket_errors.h"

namespace px3 {

namespace {

constexpr size_t kReadSize = 64 * 1024;

}  // namespace

ClientConnection::ClientConnection(int number, const ServerOptions& options,
                                   const ClientFileStore& files, NotificationTarget& target,
                                   ServerLog& log, FinishedHandler on_finished)
    : number_(number),
      conversation_(options, files, number == 1),
      log_(log),
      on_finished_(std::move(on_finished)),
      trickle_timer_(target, [this] { OnTrickleTick(); }) {
    codec_.SetCompression(acZLib);
}

ClientConnection::~ClientConnection() = default;

void ClientConnection::Attach(std::unique_ptr<TcpSocket> socket) {
    socket_ = std::move(socket);
    Log("connected");
}

void ClientConnection::OnSocketEvent(const SocketNotice& notice) {
    if (finished_) {
        return;
    }
    switch (notice.event) {
        case SocketEvent::kReadReady:
            Receive();
            break;
        case SocketEvent::kWriteReady:
            Flush();
            break;
        case SocketEvent::kClosed:
            Finish("closed by the client");
            break;
        case SocketEvent::kError:
            Finish("connection failed: " + SocketErrorText(notice.error));
            break;
        case SocketEvent::kConnected:
            break;
    }
}

void ClientConnection::Ping() {
    if (finished_) {
        return;
    }
    std::optional<OutgoingMessage> ping = conversation_.Ping();
    if (!ping) {
        return;
    }
    ConversationStep step;
    step.messages.push_back(std::move(*ping));
    step.note = "ping sent";
    try {
        Serve(std::move(step));
    } catch (const std::exception& error) {
        Finish(std::string("ping failed, connection closed: ") + error.what());
    }
}

void ClientConnection::Receive() {
    try {
        std::string buffer(kReadSize, '\0');
        for (;;) {
            const IoResult result = socket_->Read(buffer.data(), buffer.size());
            if (result.status == IoStatus::kError) {
                Finish("receive failed: " + SocketErrorText(result.error));
                return;
            }
            if (result.status != IoStatus::kOk || result.bytes == 0) {
                break;
            }
            stack_.AppendReceived(std::string_view(buffer.data(), result.bytes));
        }
        while (!finished_ && stack_.HasMessage()) {
            std::string message = stack_.PopMessage();
            codec_.DecodeIncoming(message);
            Serve(conversation_.Handle(std::move(message)));
        }
    } catch (const std::exception& error) {
        Finish(std::string("bad input, connection closed: ") + error.what());
    }
}

void ClientConnection::Serve(ConversationStep step) {
    if (!step.note.empty()) {
        Log(step.note);
    }
    for (OutgoingMessage& message : step.messages) {
        Enqueue(std::move(message));
    }
    if (step.close) {
        PendingOutput close_marker;
        close_marker.close_marker = true;
        output_.push_back(std::move(close_marker));
    }
    Flush();
}

void ClientConnection::Enqueue(OutgoingMessage message) {
    PendingOutput pending;
    pending.bytes = std::move(message.packed);
    pending.trickled = message.delivery == Delivery::kTrickled;
    if (message.delivery != Delivery::kNotZlib) {
        codec_.EncodeOutgoing(pending.bytes);
        if (pending.bytes.size() > static_cast<size_t>(kMaxFrameLength)) {
            // The client would refuse the frame and lose the connection; it is told instead.
            const std::string text = "The reply of " +
                                     IntToStr(static_cast<int64_t>(pending.bytes.size())) +
                                     " bytes is larger than a frame may be";
            Log(text);
            pending.bytes = PackErrorMessage({text}, 0);
            codec_.EncodeOutgoing(pending.bytes);
        }
    }
    FrameMessage(pending.bytes);
    if (message.delivery == Delivery::kBadLengthWord) {
        WriteInt32LE(pending.bytes.data(), kMaxFrameLength + 1);
    }
    output_.push_back(std::move(pending));
}

void ClientConnection::Flush() {
    while (!finished_ && !output_.empty()) {
        PendingOutput& front = output_.front();
        if (front.close_marker) {
            Finish("closed by the server");
            return;
        }
        if (front.trickled && waiting_for_tick_) {
            return;
        }
        size_t size = front.bytes.size() - front.sent;
        if (front.trickled) {
            size = std::min(size, kTricklePieceSize);
        }
        const IoResult result = socket_->Write(front.bytes.data() + front.sent, size);
        if (result.status == IoStatus::kWouldBlock) {
            return;
        }
        if (result.status != IoStatus::kOk) {
            Finish(result.status == IoStatus::kError
                       ? "send failed: " + SocketErrorText(result.error)
                       : std::string("send failed: the connection is gone"));
            return;
        }
        front.sent += result.bytes;
        if (front.sent < front.bytes.size() && front.trickled) {
            waiting_for_tick_ = true;
            trickle_timer_.Start(kTrickleIntervalMs);
            return;
        }
        if (front.sent == front.bytes.size()) {
            output_.pop_front();
        }
    }
}

void ClientConnection::OnTrickleTick() {
    trickle_timer_.Stop();
    waiting_for_tick_ = false;
    Flush();
}

void ClientConnection::Finish(std::string_view reason) {
    if (finished_) {
        return;
    }
    finished_ = true;
    Log(reason);
    trickle_timer_.Stop();
    output_.clear();
    if (socket_) {
        socket_->Close();
    }
    on_finished_();
}

void ClientConnection::Log(std::string_view text) {
    log_.Line("client " + IntToStr(number_) + ": " + std::string(text));
}

}  // namespace px3
