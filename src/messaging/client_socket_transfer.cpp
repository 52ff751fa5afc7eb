#include <thread>

#include "messaging/client_socket.h"
#include "messaging/frame.h"
#include "messaging/frame_sender.h"
#include "messaging/messaging_errors.h"

namespace px3 {

void TClientSocket::SendLine(TStringLine& line, bool awaitReply) {
    if (wait_.Waiting()) {
        return;
    }
    std::string bytes = line.Pack();
    EncodeOutgoing(bytes);
    FrameMessage(bytes);
    if (client_type_ == ctBlocking && !active_) {
        blocking_queue_.push_back(std::move(bytes));
        return;
    }
    SendBytes(bytes);
    if (awaitReply) {
        ++pending_replies_;
        wait_.Wait();
        // The wait may also have ended because the application is quitting; no reply is
        // outstanding after it either way.
        pending_replies_ = 0;
    }
}

void TClientSocket::EndWait(bool force) {
    end_wait_called_ = true;
    if (pending_replies_ > 0) {
        --pending_replies_;
    }
    if (force || pending_replies_ == 0) {
        wait_.StopWait();
    }
}

void TClientSocket::EncodeOutgoing(std::string& bytes) {
    codec_.EncodeOutgoing(bytes);
}

void TClientSocket::DecodeIncoming(std::string& bytes) {
    codec_.DecodeIncoming(bytes);
}

void TClientSocket::FrameMessage(std::string& payload) {
    px3::FrameMessage(payload);
}

void TClientSocket::ReportProgress(int32_t expected, int32_t received) {
    if (ProgressBar && OnReadProgress) {
        OnReadProgress(*this, expected, received);
    }
}

TReadProgress::TReport TClientSocket::ProgressReport() {
    return [this](int32_t expected, int32_t received) { ReportProgress(expected, received); };
}

void TClientSocket::SendBytes(const std::string& frame) {
    const TChunkWriter write = [this](std::string_view chunk) -> int64_t {
        const IoResult result = socket_.Write(chunk.data(), chunk.size());
        switch (result.status) {
            case IoStatus::kOk:
                return static_cast<int64_t>(result.bytes);
            case IoStatus::kWouldBlock:
                return kWriteWouldBlock;
            case IoStatus::kNotOpen:
                return 0;
            case IoStatus::kError:
                break;
        }
        HandleSocketError(SocketOperation::kWrite, result.error, "send");
        return 0;
    };
    TSendProgress progress;
    if (ProgressBar && OnReadProgress) {
        progress = [this](int64_t expected, int64_t sent) {
            ReportProgress(static_cast<int32_t>(expected), static_cast<int32_t>(sent));
        };
    }
    SendFrameInChunks(
        frame, write, [] { std::this_thread::yield(); }, progress);
}

void TClientSocket::ReadAvailable() {
    ReadChunks([](std::string_view) {});
}

void TClientSocket::ReadWithProgress() {
    const TReadProgress::TReport report = ProgressReport();
    try {
        ReadChunks([&](std::string_view chunk) { read_progress_.Chunk(chunk, report); });
    } catch (...) {
        read_progress_.EndOfNotification();
        throw;
    }
    read_progress_.EndOfNotification();
}

// Each chunk goes to the cutter as it is read, so a large frame is gathered in the cutter's
// buffer alone.
void TClientSocket::ReadChunks(const std::function<void(std::string_view chunk)>& seen) {
    char chunk[kTransferChunkSize];
    for (;;) {
        const IoResult result = socket_.Read(chunk, sizeof chunk);
        if (result.status == IoStatus::kError) {
            HandleSocketError(SocketOperation::kRead, result.error, "recv");
        }
        if (result.status != IoStatus::kOk || result.bytes == 0) {
            return;
        }
        const std::string_view bytes(chunk, result.bytes);
        seen(bytes);
        stack_.AppendReceived(bytes);
    }
}

// A length word the cutter refuses leaves the stream without a way back into step, so the
// connection is closed.
void TClientSocket::ReceiveAvailable() {
    try {
        if (ProgressBar) {
            ReadWithProgress();
        } else {
            ReadAvailable();
        }
    } catch (const EProtocolError&) {
        CloseConnection();
        throw;
    }
    DispatchReceived();
}

// Decodes and dispatches every complete frame. A failure while decoding or dispatching ends an
// awaited reply at once: the reply may be the message that was lost.
void TClientSocket::DispatchReceived() {
    try {
        while (stack_.HasMessage()) {
            std::string message = stack_.PopMessage();
            read_progress_.FrameComplete(ProgressReport());
            try {
                DecodeIncoming(message);
                if (!message.empty()) {
                    DispatchMessage(std::move(message));
                }
            } catch (const std::exception&) {
                if (wait_.Waiting()) {
                    EndWait(true);
                }
                throw;
            }
        }
    } catch (const EProtocolError&) {
        throw;
    } catch (const Exception& error) {
        throw EProtocolError(error.Message());
    }
}

}  // namespace px3
