#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include <memory>
#include <string>
#include <vector>

#include "messaging/client_socket.h"
#include "messaging/message_kinds.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/loop_test_support.h"
#include "session/expected_texts.h"
#include "session/fake_application.h"
#include "session/fake_server.h"

namespace px3::testing {

// A session whose connection events and frames a test can also feed in directly.
class TestSession : public TClientSocket {
  public:
    using TClientSocket::HandleSocketEvent;
    using TClientSocket::SendBytes;
    using TClientSocket::TClientSocket;
};

// A session set up as the tool sets it up, with a fake server on its loop and a clock that moves
// only when told.
class SessionTest : public ::testing::Test {
  protected:
    SessionTest() {
        session->SetAddress("127.0.0.1");
        session->SetPort(server->Port());
        session->UserName = expected::kMaintenanceUser;
        session->Password = "secret";
        session->ApplicationName = "Post 1";
        session->ApplicationVersion = "6";
        session->AutoLoginDlg = ltLoginNoDlg;
        session->SetCompression(acZLib);
        session->OnConnect = [this](TClientSocket&) { log.push_back("connect"); };
        session->OnDisconnect = [this](TClientSocket&) { log.push_back("disconnect"); };
    }

    ~SessionTest() override {
        server.reset();
        session.reset();
    }

    // Runs the loop until done() holds (at most ten real seconds).
    bool RunUntil(const std::function<bool()>& done) { return testing::RunUntil(loop, done); }

    // Runs the loop for a short while, for things that must not happen.
    void Settle() {
        for (int pass = 0; pass < 5; ++pass) {
            loop.WaitAndProcess(20);
        }
    }

    // Opens the session and waits until the server has seen the login and the utility request.
    void Connect() {
        const size_t before = server->ReceivedOfKind(mkServerUtilityInfo).size();
        session->SetActive(true);
        ASSERT_TRUE(
            RunUntil([&] { return server->ReceivedOfKind(mkServerUtilityInfo).size() > before; }));
        ASSERT_TRUE(session->Active());
    }

    FakeClock clock;
    EventLoop loop{clock};
    std::vector<std::string> log;
    FakeApplication app{loop, log};
    std::unique_ptr<TestSession> session = std::make_unique<TestSession>(loop, app);
    std::unique_ptr<FakeServer> server =
        std::make_unique<FakeServer>(session->NotificationWindow());
};

}  // namespace px3::testing
