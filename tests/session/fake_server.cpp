#include "session/fake_server.h"

#include "base/text.h"
#include "messaging/frame.h"
#include "messaging/little_endian.h"
#include "messaging/message_kinds.h"
#include "messaging/string_line.h"

namespace px3::testing {

namespace {

constexpr size_t kDescriptorsOffset = 5;
constexpr size_t kDescriptorSize = 9;

// The fields of a packed message, read from its descriptors.
ReceivedMessage Parse(const std::string& packed) {
    ReceivedMessage message;
    if (packed.size() < kMessageHeaderSize) {
        return message;
    }
    message.kind = static_cast<uint8_t>(packed[0]);
    const std::string body = packed.substr(kMessageHeaderSize);
    for (int field = 0; field < kMaxMessageFields; ++field) {
        const char* descriptor = packed.data() + kDescriptorsOffset + kDescriptorSize * field;
        const int32_t start = ReadInt32LE(descriptor + 1);
        const int32_t end = ReadInt32LE(descriptor + 5);
        if (start == 0) {
            break;
        }
        message.fields.push_back(body.substr(start - 1, end - start));
    }
    return message;
}

}  // namespace

int32_t ReceivedMessage::Integer(size_t index) const {
    return index < fields.size() ? StrToInt(fields[index]) : 0;
}

std::string PackMessage(uint8_t kind, const std::vector<Field>& fields) {
    TStringLine line;
    line.SetKind(kind);
    for (const Field& field : fields) {
        if (const auto* text = std::get_if<std::string>(&field)) {
            line.AddField(*text);
        } else {
            line.AddField(std::get<int32_t>(field));
        }
    }
    return line.Pack();
}

FakeServer::FakeServer(NotificationTarget& target)
    : target_(target), listener_(target, [this] { OnAcceptReady(); }) {
    codec.SetCompression(acZLib);
    listener_.Listen(kLoopbackAddress, 0);
    OnMessage = [](FakeServer& server, const ReceivedMessage& message) {
        if (message.kind == mkLogin) {
            server.AcceptLogin(true);
        }
    };
}

void FakeServer::OnAcceptReady() {
    while (auto accepted = listener_.Accept(
               target_, [this](const SocketNotice& notice) { OnClientNotice(notice); })) {
        client_ = std::move(accepted);
        stack_ = TMessageStack();
        outbox_.clear();
        raw_received_.clear();
        ++connections_;
    }
}

void FakeServer::OnClientNotice(const SocketNotice& notice) {
    switch (notice.event) {
        case SocketEvent::kReadReady:
            if (reading_) {
                ReadAll();
            }
            break;
        case SocketEvent::kWriteReady:
            Flush();
            break;
        case SocketEvent::kClosed:
        case SocketEvent::kError:
            ++closes_seen_;
            client_.reset();
            break;
        case SocketEvent::kConnected:
            break;
    }
}

void FakeServer::ReadAll() {
    std::string bytes;
    char chunk[kTransferChunkSize];
    for (IoResult result = client_->Read(chunk, sizeof chunk);
         result.status == IoStatus::kOk && result.bytes > 0;
         result = client_->Read(chunk, sizeof chunk)) {
        bytes.append(chunk, result.bytes);
    }
    raw_received_ += bytes;
    stack_.AppendReceived(bytes);
    while (stack_.HasMessage()) {
        std::string packed = stack_.PopMessage();
        codec.DecodeIncoming(packed);
        received_.push_back(Parse(packed));
        const ReceivedMessage message = received_.back();
        if (OnMessage) {
            OnMessage(*this, message);
        }
        if (!client_) {
            return;
        }
    }
}

void FakeServer::Send(const std::string& packed) {
    std::string payload = packed;
    codec.EncodeOutgoing(payload);
    FrameMessage(payload);
    SendRaw(std::move(payload));
}

void FakeServer::SendMessage(uint8_t kind, const std::vector<Field>& fields) {
    Send(PackMessage(kind, fields));
}

void FakeServer::SendRaw(std::string bytes) {
    outbox_ += bytes;
    Flush();
}

void FakeServer::AcceptLogin(bool accepted) {
    SendMessage(mkLogin, {accepted ? 1 : 0, std::string()});
}

void FakeServer::CloseClient() {
    client_.reset();
}

void FakeServer::Flush() {
    while (client_ && !outbox_.empty()) {
        const IoResult result = client_->Write(outbox_.data(), outbox_.size());
        if (result.status != IoStatus::kOk) {
            return;
        }
        outbox_.erase(0, result.bytes);
    }
}

std::vector<ReceivedMessage> FakeServer::ReceivedOfKind(uint8_t kind) const {
    std::vector<ReceivedMessage> found;
    for (const ReceivedMessage& message : received_) {
        if (message.kind == kind) {
            found.push_back(message);
        }
    }
    return found;
}

}  // namespace px3::testing
