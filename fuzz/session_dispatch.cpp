// Received messages of every kind through the session's dispatcher: the login reply, coded
// lists and replies, error replies, utility information, server messages and the rest. Redirects
// and reconnect requests are left out: they open connections to wherever the input says.

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/exception.h"
#include "messaging/client_socket.h"
#include "messaging/message_kinds.h"
#include "messaging/session_application.h"
#include "messaging/session_texts.h"
#include "platform/event_loop.h"

// The session's Chinese texts are compiled to GBK, which this compiler cannot do: plain
// stand-ins take their place here.
namespace px3::texts {
const char kLoginRefused[] = "login refused";
const char kConnectionRefused[] = "10061";
const char kHostUnreachable[] = "10065";
}  // namespace px3::texts

namespace {

class QuietApplication : public px3::TSessionApplication {
  public:
    void Terminate() override {}
    bool Terminated() const override { return false; }
    void ShowMessage(const std::string&) override {}
    void HandleException(const std::exception&) override {}
    void ProcessMessages() override {}
    std::string ExeName() const override { return "fuzz"; }
};

class FuzzedSession : public px3::TClientSocket {
  public:
    using TClientSocket::DispatchMessage;
    using TClientSocket::TClientSocket;
};

FuzzedSession& Session() {
    static px3::EventLoop loop;
    static QuietApplication application;
    static FuzzedSession session(loop, application);
    static const bool handlers = [] {
        session.OnLoginParamsAttempt = [](px3::TClientSocket&, bool, px3::TParamList&) {};
        session.OnCodedStream = [](px3::TClientSocket&, int32_t, const std::string&) {};
        session.OnCodedParamList = [](px3::TClientSocket&, int32_t, px3::TParamList&) {};
        session.OnServerUtilityInfoEvent = [](px3::TClientSocket&, int32_t, px3::TParamList&) {};
        return true;
    }();
    static_cast<void>(handlers);
    return session;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0 && (data[0] == px3::mkRedirect || data[0] == px3::mkReconnect)) {
        return 0;
    }
    FuzzedSession& session = Session();
    try {
        session.DispatchMessage(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const px3::Exception&) {
    }
    // Ending a wait posts a wake-up message; it is taken here so that none pile up.
    session.NotificationWindow().Loop().ProcessPending();
    return 0;
}
