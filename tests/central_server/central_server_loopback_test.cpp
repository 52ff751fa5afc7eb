#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "central-server/central_server.h"
#include "central_server/server_test_support.h"
#include "messaging/frame.h"
#include "messaging/little_endian.h"
#include "messaging/message_codec.h"
#include "messaging/message_kinds.h"
#include "messaging/message_stack.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/loop_test_support.h"
#include "platform/tcp_socket.h"

namespace px3 {
namespace {

using server_test::FileRequestMessage;
using server_test::LoginMessage;
using server_test::NumberAndTextMessage;
using server_test::RandomBytes;
using server_test::Read;
using server_test::RequestMessage;
using server_test::TempFolder;
using testing::RunUntil;

// A client speaking the protocol by hand: it sends what it is given and keeps every message it
// receives, decoded.
class LoopbackClient {
  public:
    LoopbackClient(EventLoop& loop, std::uint16_t port)
        : loop_(loop),
          target_(loop),
          socket_(target_, [this](const SocketNotice& n) { OnNotice(n); }) {
        codec_.SetCompression(acZLib);
        EXPECT_EQ(socket_.Connect(kLoopbackAddress, port), 0);
        EXPECT_TRUE(RunUntil(loop_, [this] { return connected_; }));
    }

    void Send(std::string packed) {
        codec_.EncodeOutgoing(packed);
        FrameMessage(packed);
        SendRaw(packed);
    }

    void SendRaw(const std::string& bytes) {
        const IoResult result = socket_.Write(bytes.data(), bytes.size());
        EXPECT_EQ(result.status, IoStatus::kOk);
        EXPECT_EQ(result.bytes, bytes.size());
    }

    // Waits for the next message received.
    std::string Next() {
        EXPECT_TRUE(RunUntil(loop_, [this] { return taken_ < messages_.size(); }));
        return taken_ < messages_.size() ? messages_[taken_++] : std::string();
    }

    bool WaitForClose() {
        return RunUntil(loop_, [this] { return closed_; });
    }

    int DataNotices() const { return data_notices_; }

  private:
    void OnNotice(const SocketNotice& notice) {
        if (notice.event == SocketEvent::kConnected) {
            connected_ = true;
        } else if (notice.event == SocketEvent::kClosed || notice.event == SocketEvent::kError) {
            closed_ = true;
        } else if (notice.event == SocketEvent::kReadReady) {
            ++data_notices_;
            char chunk[4096];
            for (IoResult r = socket_.Read(chunk, sizeof chunk); r.status == IoStatus::kOk;
                 r = socket_.Read(chunk, sizeof chunk)) {
                stack_.AppendReceived(std::string_view(chunk, r.bytes));
            }
            while (stack_.HasMessage()) {
                std::string message = stack_.PopMessage();
                codec_.DecodeIncoming(message);
                messages_.push_back(std::move(message));
            }
        }
    }

    EventLoop& loop_;
    NotificationTarget target_;
    TcpSocket socket_;
    TMessageCodec codec_;
    TMessageStack stack_;
    std::vector<std::string> messages_;
    size_t taken_ = 0;
    bool connected_ = false;
    bool closed_ = false;
    int data_notices_ = 0;
};

class CentralServerLoopbackTest : public ::testing::Test {
  protected:
    CentralServerLoopbackTest() {
        options.root = root.Path();
        options.port = 0;
        options.credentials = {"user", "secret", "post"};
    }

    // A started server; it must go before the loop.
    std::unique_ptr<CentralServer> StartServer(EventLoop& loop) {
        auto server = std::make_unique<CentralServer>(loop, options, log);
        EXPECT_EQ(server->Start(), 0);
        EXPECT_NE(server->Port(), 0);
        return server;
    }

    void LogIn(LoopbackClient& client) {
        client.Send(LoginMessage("user", "secret", "post"));
        ASSERT_EQ(Read(client.Next(), 1).fields[0], "1");
    }

    TempFolder root;
    ServerOptions options;
    std::ostringstream output;
    ServerLog log{output};
};

TEST_F(CentralServerLoopbackTest, ServesLargeRepliesToSeveralClientsAtOnce) {
    const std::string large = RandomBytes(3 << 20, 1);
    root.Write("Bin/large.bin", large);
    root.Write("a.txt", "small");
    EventLoop loop;
    const auto server = StartServer(loop);
    LoopbackClient first(loop, server->Port());
    LoopbackClient second(loop, server->Port());
    ASSERT_NO_FATAL_FAILURE(LogIn(first));
    ASSERT_NO_FATAL_FAILURE(LogIn(second));

    first.Send(RequestMessage(5200, TParamList()));
    second.Send(FileRequestMessage("Bin\\large.bin"));
    const auto all = Read(first.Next(), 2).List(1);
    ASSERT_EQ(all->Count(), 2);
    EXPECT_EQ(all->Items(0).Name(), "Bin\\large.bin");
    EXPECT_TRUE(all->Items(0).RawValue() == large);
    EXPECT_TRUE(Read(second.Next(), 2).List(1)->Items(0).RawValue() == large);
    EXPECT_EQ(server->ClientCount(), 2u);
    EXPECT_NE(output.str().find("client 1: request 5200 answered: 2 items"), std::string::npos)
        << output.str();
}

TEST_F(CentralServerLoopbackTest, TricklesAReplyInSmallPieces) {
    const std::string content = RandomBytes(5000, 2);
    root.Write("file.bin", content);
    options.fault = ServerFault::kTrickleReply;
    EventLoop loop;
    const auto server = StartServer(loop);
    LoopbackClient client(loop, server->Port());
    ASSERT_NO_FATAL_FAILURE(LogIn(client));

    const int notices_before = client.DataNotices();
    client.Send(FileRequestMessage("file.bin"));
    EXPECT_EQ(Read(client.Next(), 2).List(1)->Items(0).RawValue(), content);
    EXPECT_GE(client.DataNotices() - notices_before, 3);
}

TEST_F(CentralServerLoopbackTest, BadInputClosesOnlyThatClientsConnection) {
    EventLoop loop;
    const auto server = StartServer(loop);
    std::string short_message = std::string(10, '\x1c');
    TMessageCodec codec;
    codec.SetCompression(acZLib);
    codec.EncodeOutgoing(short_message);
    FrameMessage(short_message);
    std::string not_zlib = "not a zlib stream";
    FrameMessage(not_zlib);
    std::string huge_length(5, '\0');
    WriteInt32LE(huge_length.data(), 104857601);
    std::string negative_length(5, '\0');
    WriteInt32LE(negative_length.data(), -5);

    LoopbackClient bystander(loop, server->Port());
    ASSERT_NO_FATAL_FAILURE(LogIn(bystander));
    for (const std::string& bad : {huge_length, negative_length, not_zlib, short_message}) {
        LoopbackClient client(loop, server->Port());
        client.SendRaw(bad);
        EXPECT_TRUE(client.WaitForClose());
    }
    EXPECT_TRUE(RunUntil(loop, [&] { return server->ClientCount() == 1; }));
    bystander.Send(RequestMessage(7000, TParamList()));
    EXPECT_EQ(Read(bystander.Next(), 1).kind, mkCodedParamList);
    EXPECT_NE(output.str().find("bad input, connection closed: Invalid block size (104857601)!"),
              std::string::npos)
        << output.str();
}

TEST_F(CentralServerLoopbackTest, PingsOnlyLoggedInClientsAtTheInterval) {
    FakeClock clock;
    EventLoop loop(clock);
    options.ping_seconds = 60;
    const auto server = StartServer(loop);
    LoopbackClient anonymous(loop, server->Port());
    LoopbackClient client(loop, server->Port());
    ASSERT_NO_FATAL_FAILURE(LogIn(client));

    clock.Advance(60000);
    const auto ping = Read(client.Next(), 1);
    EXPECT_EQ(ping.kind, mkServerUtilityInfo);
    EXPECT_EQ(ping.fields[0], "19");
    client.Send(NumberAndTextMessage(mkCodedMessage, -99999999, "ping"));
    EXPECT_TRUE(
        RunUntil(loop, [&] { return output.str().find("ping answered") != std::string::npos; }));
    EXPECT_EQ(output.str().find("client 1: ping sent"), std::string::npos) << output.str();
}

}  // namespace
}  // namespace px3
