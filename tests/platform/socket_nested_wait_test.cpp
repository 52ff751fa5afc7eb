#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/event_loop.h"
#include "platform/loop_test_support.h"
#include "platform/tcp_socket.h"

namespace px3 {
namespace {

using testing::ReadAvailable;
using testing::RunUntil;

// A server with a loop of its own on a thread of its own; it answers whatever arrives with "re:"
// and the same bytes.
class AnsweringServer {
  public:
    AnsweringServer() : thread_([this] { Serve(); }) {
        std::unique_lock<std::mutex> lock(mutex_);
        ready_.wait(lock, [&] { return loop_ != nullptr; });
    }

    ~AnsweringServer() {
        loop_->QuitFromAnyThread();
        thread_.join();
    }

    std::uint16_t Port() const { return port_; }

  private:
    void Serve() {
        EventLoop loop;
        NotificationTarget target(loop);
        std::vector<std::unique_ptr<TcpSocket>> peers;
        TcpListener listener(target, [&] {
            while (std::unique_ptr<TcpSocket> peer = listener.Accept(target, {})) {
                TcpSocket* raw = peer.get();
                raw->SetHandler([raw](const SocketNotice& notice) {
                    if (notice.event == SocketEvent::kReadReady) {
                        const std::string answer = "re:" + ReadAvailable(*raw);
                        raw->Write(answer.data(), answer.size());
                    }
                });
                peers.push_back(std::move(peer));
            }
        });
        listener.Listen(kLoopbackAddress, 0);
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            port_ = listener.Port();
            loop_ = &loop;
        }
        ready_.notify_one();
        loop.Run();
    }

    std::mutex mutex_;
    std::condition_variable ready_;
    EventLoop* loop_ = nullptr;
    std::uint16_t port_ = 0;
    std::thread thread_;
};

// The way a session logs in: inside the connect event it sends a request and waits for the
// reply on its own target, while the rest of the application waits.
TEST(SocketNestedWaitTest, AWaitInsideTheConnectEventGetsTheReply) {
    AnsweringServer server;
    EventLoop loop;
    NotificationTarget session(loop);
    NotificationTarget window(loop);
    bool click_handled = false;
    window.SetHandler([&](const LoopMessage&) { click_handled = true; });
    std::string reply;
    std::vector<std::string> seen_after_wait;
    TcpSocket socket(session);
    socket.SetHandler([&](const SocketNotice& notice) {
        if (notice.event == SocketEvent::kConnected) {
            window.Post(0x0500);
            socket.Write("login", 5);
            loop.PumpTargetUntil(session, [&] { return reply == "re:login"; });
            seen_after_wait.push_back(click_handled ? "click" : "no click");
        } else if (notice.event == SocketEvent::kReadReady) {
            reply += ReadAvailable(socket);
        }
    });

    ASSERT_EQ(socket.Connect(kLoopbackAddress, server.Port()), 0);
    ASSERT_TRUE(RunUntil(loop, [&] { return !seen_after_wait.empty(); }));

    EXPECT_EQ(reply, "re:login");
    EXPECT_EQ(seen_after_wait, std::vector<std::string>{"no click"});
    loop.ProcessPending();
    EXPECT_TRUE(click_handled);
}

}  // namespace
}  // namespace px3
