#include "http/scripted_http_server.h"

#include <gtest/gtest.h>

namespace px3::testing {

ScriptedReply Reply(std::string text) {
    return ScriptedReply{{std::move(text)}};
}

// One accepted connection: reads request header blocks and writes the scripted replies.
struct ScriptedHttpServer::Connection {
    Connection(ScriptedHttpServer& server_in, EventLoop& loop)
        : server(server_in), timer(loop, [this] { WriteNextPiece(); }) {}

    void OnNotice(const SocketNotice& notice) {
        if (notice.event == SocketEvent::kReadReady) {
            ReadRequests();
        } else if (notice.event == SocketEvent::kWriteReady) {
            Flush();
        }
    }

    void ReadRequests() {
        char buffer[4096];
        for (IoResult result = socket->Read(buffer, sizeof buffer);
             result.status == IoStatus::kOk && result.bytes > 0;
             result = socket->Read(buffer, sizeof buffer)) {
            received.append(buffer, result.bytes);
        }
        for (std::size_t end = received.find("\r\n\r\n"); end != std::string::npos;
             end = received.find("\r\n\r\n")) {
            server.requests_.push_back(received.substr(0, end + 4));
            received.erase(0, end + 4);
            if (!server.replies_.empty() && !replying) {
                replying = true;
                reply = std::move(server.replies_.front());
                server.replies_.pop_front();
                pieces.assign(reply.pieces.begin(), reply.pieces.end());
                WriteNextPiece();
            }
        }
    }

    void WriteNextPiece() {
        timer.Stop();
        if (pieces.empty()) {
            return;
        }
        output += pieces.front();
        pieces.pop_front();
        Flush();
        if (!pieces.empty()) {
            timer.Start(reply.pieceDelayMs);
        }
    }

    void Flush() {
        while (!output.empty()) {
            const IoResult result = socket->Write(output.data(), output.size());
            if (result.status != IoStatus::kOk) {
                return;
            }
            output.erase(0, result.bytes);
        }
        if (!replying || !pieces.empty()) {
            return;
        }
        replying = false;
        if (reply.close) {
            socket->Close();
        }
    }

    ScriptedHttpServer& server;
    Timer timer;
    std::unique_ptr<TcpSocket> socket;
    std::string received;
    ScriptedReply reply;
    bool replying = false;
    std::deque<std::string> pieces;
    std::string output;
};

ScriptedHttpServer::ScriptedHttpServer(EventLoop& loop)
    : loop_(loop), target_(loop), listener_(target_, [this] { Accept(); }) {
    EXPECT_EQ(listener_.Listen(kLoopbackAddress, 0), 0);
}

ScriptedHttpServer::~ScriptedHttpServer() = default;

void ScriptedHttpServer::Add(ScriptedReply reply) {
    replies_.push_back(std::move(reply));
}

std::string ScriptedHttpServer::Url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(Port()) + std::string(path);
}

void ScriptedHttpServer::Accept() {
    for (;;) {
        auto connection = std::make_unique<Connection>(*this, loop_);
        Connection* raw = connection.get();
        connection->socket =
            listener_.Accept(target_, [raw](const SocketNotice& notice) { raw->OnNotice(notice); });
        if (connection->socket == nullptr) {
            return;
        }
        connections_.push_back(std::move(connection));
    }
}

}  // namespace px3::testing
