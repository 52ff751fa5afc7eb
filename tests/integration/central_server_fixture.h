#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "integration/integration_texts.h"
#include "messaging/client_socket.h"
#include "messaging/message_kinds.h"
#include "platform/clock.h"
#include "platform/event_loop.h"
#include "platform/loop_test_support.h"
#include "session/fake_application.h"

namespace px3::testing {

inline constexpr int32_t kFileList = 7000;
inline constexpr int32_t kWholeClient = 5200;
inline constexpr int32_t kOneFile = 5202;

// The port of one of the central servers the launcher started (PX3_CENTRAL_SERVER_<NAME>).
inline uint16_t CentralServerPort(const std::string& name) {
    const char* port = std::getenv(("PX3_CENTRAL_SERVER_" + name).c_str());
    if (port == nullptr) {
        ADD_FAILURE() << "PX3_CENTRAL_SERVER_" << name
                      << " is not set: run the tests through with_central_servers";
        return 0;
    }
    return static_cast<uint16_t>(std::atoi(port));
}

// A session set up as the tool sets it up, meeting our central server processes on loopback.
// Its loop runs on a clock that moves only when told; the servers keep real time.
class CentralServerTest : public ::testing::Test {
  protected:
    CentralServerTest() {
        session.SetAddress("127.0.0.1");
        session.UserName = expected::kServerUser;
        session.Password = "secret";
        session.ApplicationName = "Counter 1";
        session.ApplicationVersion = "6";
        session.AutoLoginDlg = ltLoginNoDlg;
        session.SetCompression(acZLib);
        session.OnConnect = [this](TClientSocket&) { log.push_back("connect"); };
        session.OnDisconnect = [this](TClientSocket&) { log.push_back("disconnect"); };
        session.OnServerUtilityInfoEvent = [this](TClientSocket&, int32_t kind, TParamList&) {
            if (kind == 6) {
                ++infoAnswers;
            }
        };
    }

    bool RunUntil(const std::function<bool()>& done) { return testing::RunUntil(loop, done); }

    // Runs the loop for the given real time.
    void RunFor(int milliseconds) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        while (std::chrono::steady_clock::now() < end) {
            loop.WaitAndProcess(20);
        }
    }

    // Opens the session to the named server and waits for the answer to the utility request
    // that follows an accepted login.
    void ConnectTo(const std::string& name) {
        const int before = infoAnswers;
        session.SetPort(CentralServerPort(name));
        session.SetActive(true);
        ASSERT_TRUE(RunUntil([&] { return infoAnswers > before; })) << "no login at " << name;
        ASSERT_TRUE(session.Active());
    }

    std::unique_ptr<TParamList> Request(int32_t code, const TParamList& list = TParamList()) {
        return session.RequestCodedParamList(code, &list);
    }

    FakeClock clock;
    EventLoop loop{clock};
    std::vector<std::string> log;
    FakeApplication app{loop, log};
    TClientSocket session{loop, app};
    int infoAnswers = 0;
};

}  // namespace px3::testing
