#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "http/scripted_http_server.h"
#include "platform/event_loop.h"
#include "web/http_client.h"

namespace px3::testing {

// A client on the test's own event loop with a scripted server to talk to. A request that hangs
// is aborted by a watchdog instead of hanging the test.
class HttpClientTest : public ::testing::Test {
  protected:
    HttpClientTest() {
        client.ReceiveStream = &body;
        watchdog.Start(20000);
    }

    // The message and code of the EHttpException that a Get of url raises.
    std::pair<std::string, int> GetFailure(const std::string& url) {
        client.RequestUrl = url;
        try {
            client.Get();
        } catch (const EHttpException& e) {
            return {e.Message(), e.ErrorCode()};
        }
        ADD_FAILURE() << "no EHttpException for " << url;
        return {};
    }

    // Gets url and returns the body received.
    std::string Get(const std::string& url) {
        client.RequestUrl = url;
        client.Get();
        return body;
    }

    EventLoop loop;
    Timer watchdog{loop, [this] { loop.Quit(); }};
    ScriptedHttpServer server{loop};
    std::string body;
    THttpClient client{loop};
};

}  // namespace px3::testing
