#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/event_loop.h"
#include "platform/loop_test_support.h"
#include "platform/socket_errors.h"
#include "platform/tcp_socket.h"

namespace px3 {
namespace {

using testing::ReadAvailable;
using testing::RunUntil;

// One end of a connection that reads whatever arrives and records what it is told.
struct End {
    void OnNotice(const SocketNotice& notice) {
        notices.push_back(notice);
        if (notice.event == SocketEvent::kReadReady) {
            received += ReadAvailable(*socket);
        }
    }
    bool Saw(SocketEvent event) const { return Count(event) > 0; }
    int Count(SocketEvent event) const {
        return static_cast<int>(std::count_if(notices.begin(), notices.end(),
                                              [&](const auto& n) { return n.event == event; }));
    }

    TcpSocket* socket = nullptr;
    std::vector<SocketNotice> notices;
    std::string received;
};

class SocketTcpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        client.socket = &client_socket;
        ASSERT_EQ(listener.Listen(kLoopbackAddress, 0), 0);
        ASSERT_NE(listener.Port(), 0);
    }

    void Connect() {
        ASSERT_EQ(client_socket.Connect(kLoopbackAddress, listener.Port()), 0);
        AwaitConnection();
    }

    void AwaitConnection() {
        ASSERT_TRUE(RunUntil(loop, [&] { return client.Saw(SocketEvent::kConnected); }));
        ASSERT_TRUE(RunUntil(loop, [&] { return accept_ready; }));
        peer_socket =
            listener.Accept(server_target, [&](const SocketNotice& n) { peer.OnNotice(n); });
        ASSERT_NE(peer_socket, nullptr);
        peer.socket = peer_socket.get();
    }

    // Writes all of data, waiting for write-ready whenever the system takes no more; returns
    // how many writes would have blocked.
    int WriteAll(End& end, const std::string& data) {
        int blocked = 0;
        std::size_t offset = 0;
        while (offset < data.size()) {
            const IoResult result = end.socket->Write(data.data() + offset, data.size() - offset);
            if (result.status == IoStatus::kOk) {
                offset += result.bytes;
            } else if (result.status == IoStatus::kWouldBlock) {
                ++blocked;
                const int seen = end.Count(SocketEvent::kWriteReady);
                if (!RunUntil(loop, [&] { return end.Count(SocketEvent::kWriteReady) > seen; })) {
                    ADD_FAILURE() << "no write-ready after a blocked write";
                    break;
                }
            } else {
                ADD_FAILURE() << "write failed with " << result.error;
                break;
            }
        }
        return blocked;
    }

    EventLoop loop;
    NotificationTarget server_target{loop};
    NotificationTarget client_target{loop};
    bool accept_ready = false;
    TcpListener listener{server_target, [this] { accept_ready = true; }};
    End client;
    End peer;
    TcpSocket client_socket{client_target, [this](const SocketNotice& n) { client.OnNotice(n); }};
    std::unique_ptr<TcpSocket> peer_socket;
};

TEST_F(SocketTcpTest, ConnectsThroughTheLoopAndCarriesDataBothWays) {
    ASSERT_EQ(client_socket.Connect(kLoopbackAddress, listener.Port()), 0);
    EXPECT_EQ(client_socket.State(), SocketState::kConnecting);
    EXPECT_TRUE(client.notices.empty());
    ASSERT_NO_FATAL_FAILURE(AwaitConnection());
    ASSERT_GE(client.notices.size(), 2u);
    EXPECT_EQ(client.notices[0].event, SocketEvent::kConnected);
    EXPECT_EQ(client.notices[1].event, SocketEvent::kWriteReady);
    EXPECT_EQ(client_socket.State(), SocketState::kConnected);

    const std::string request = "hello from the client";
    const IoResult written = client_socket.Write(request.data(), request.size());
    EXPECT_EQ(written.status, IoStatus::kOk);
    EXPECT_EQ(written.bytes, request.size());
    ASSERT_TRUE(RunUntil(loop, [&] { return peer.received.size() == request.size(); }));
    EXPECT_EQ(peer.received, request);

    std::string reply(100000, '\0');
    for (std::size_t i = 0; i < reply.size(); ++i) {
        reply[i] = static_cast<char>(i * 7 + i / 256);
    }
    WriteAll(peer, reply);
    ASSERT_TRUE(RunUntil(loop, [&] { return client.received.size() == reply.size(); }));
    EXPECT_EQ(client.received, reply);

    char byte;
    EXPECT_EQ(client_socket.Read(&byte, 1).status, IoStatus::kWouldBlock);
}

TEST_F(SocketTcpTest, ABlockedWriterIsToldWhenItCanGoOn) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    std::string data(16 * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<char>(i % 251);
    }

    EXPECT_GT(WriteAll(client, data), 0);

    ASSERT_TRUE(RunUntil(loop, [&] { return peer.received.size() == data.size(); }));
    EXPECT_TRUE(peer.received == data);
}

TEST_F(SocketTcpTest, ThePeerSeesTheCloseAfterTheLastData) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    client_socket.Write("last words", 10);
    client_socket.Close();
    EXPECT_EQ(client_socket.State(), SocketState::kClosed);

    ASSERT_TRUE(RunUntil(loop, [&] { return peer.Saw(SocketEvent::kClosed); }));
    EXPECT_EQ(peer.received, "last words");
    EXPECT_EQ(peer.notices.back().event, SocketEvent::kClosed);
    EXPECT_EQ(peer.notices.back().error, 0);
    EXPECT_EQ(peer_socket->State(), SocketState::kEnded);
    char byte;
    EXPECT_EQ(peer_socket->Read(&byte, 1).status, IoStatus::kNotOpen);
    EXPECT_EQ(peer_socket->Write("x", 1).status, IoStatus::kNotOpen);
}

TEST_F(SocketTcpTest, NothingIsReportedAfterClose) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    peer_socket->Write("unread", 6);
    peer_socket->Close();
    ASSERT_TRUE(RunUntil(loop, [&] { return client.Saw(SocketEvent::kClosed); }));
    EXPECT_EQ(client.received, "unread");

    const std::size_t seen = client.notices.size();
    client_socket.Close();
    loop.WaitAndProcess(50);
    EXPECT_EQ(client.notices.size(), seen);
    EXPECT_EQ(client_socket.Write("x", 1).status, IoStatus::kNotOpen);
}

TEST_F(SocketTcpTest, ARefusedConnectReportsConnectionRefused) {
    const std::uint16_t port = listener.Port();
    listener.Close();

    ASSERT_EQ(client_socket.Connect(kLoopbackAddress, port), 0);
    ASSERT_TRUE(RunUntil(loop, [&] { return client.Saw(SocketEvent::kError); }));

    ASSERT_EQ(client.notices.size(), 1u);
    EXPECT_EQ(client.notices[0].error, kSocketConnectionRefused);
    EXPECT_EQ(client.notices[0].error, 10061);
    EXPECT_EQ(client.notices[0].operation, SocketOperation::kConnect);
    EXPECT_EQ(client_socket.State(), SocketState::kEnded);
    EXPECT_EQ(client_socket.Write("x", 1).status, IoStatus::kNotOpen);
}

TEST(SocketErrorTextTest, DescribesTheCodes) {
    EXPECT_STREQ(SocketErrorDescription(kSocketConnectionRefused), "Connection refused");
    EXPECT_STREQ(SocketErrorDescription(kSocketTimedOut), "Connection timed out");
    EXPECT_STREQ(SocketErrorDescription(kSocketNetworkUnreachable), "Network is unreachable");
    EXPECT_STREQ(SocketErrorDescription(kSocketHostNotFound), "Host not found");
    EXPECT_EQ(SocketErrorDescription(4242), nullptr);
    // The system's own text, in the system's language.
    const std::string text = SocketErrorText(kSocketConnectionRefused);
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text.back(), '.');
    EXPECT_EQ(text.find("Unknown"), std::string::npos);
}

TEST_F(SocketTcpTest, ConnectRefusesWhatCannotBeTriedAtAll) {
    EXPECT_EQ(client_socket.Connect(kAnyAddress, listener.Port()), kSocketAddressNotAvailable);
    EXPECT_EQ(client_socket.State(), SocketState::kClosed);

    ASSERT_EQ(client_socket.Connect(kLoopbackAddress, listener.Port()), 0);
    EXPECT_EQ(client_socket.Connect(kLoopbackAddress, listener.Port()), kSocketAlreadyConnected);
    ASSERT_TRUE(RunUntil(loop, [&] { return client.Saw(SocketEvent::kConnected); }));
    EXPECT_EQ(client.Count(SocketEvent::kConnected), 1);
}

TEST_F(SocketTcpTest, AFilteredWaitConnectsWhileTheServerSideStaysQueued) {
    ASSERT_EQ(client_socket.Connect(kLoopbackAddress, listener.Port()), 0);

    loop.PumpTargetUntil(client_target, [&] { return client.Saw(SocketEvent::kConnected); });
    EXPECT_FALSE(accept_ready);

    ASSERT_TRUE(RunUntil(loop, [&] { return accept_ready; }));
}

TEST_F(SocketTcpTest, AHandlerMayDestroyItsSocket) {
    auto doomed = std::make_unique<TcpSocket>(client_target);
    doomed->SetHandler([&](const SocketNotice&) { doomed.reset(); });
    ASSERT_EQ(doomed->Connect(kLoopbackAddress, listener.Port()), 0);

    ASSERT_TRUE(RunUntil(loop, [&] { return doomed == nullptr; }));
    loop.WaitAndProcess(50);
}

TEST_F(SocketTcpTest, ReconnectingAfterCloseReportsOnlyTheNewConnection) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    peer_socket->Close();
    client_socket.Close();
    client.notices.clear();
    accept_ready = false;

    ASSERT_EQ(client_socket.Connect(kLoopbackAddress, listener.Port()), 0);
    ASSERT_TRUE(RunUntil(loop, [&] { return client.Saw(SocketEvent::kConnected); }));
    loop.WaitAndProcess(50);

    EXPECT_FALSE(client.Saw(SocketEvent::kClosed));
    EXPECT_EQ(client_socket.State(), SocketState::kConnected);
}

}  // namespace
}  // namespace px3
