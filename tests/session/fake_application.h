#pragma once

#include <exception>
#include <string>
#include <vector>

#include "messaging/session_application.h"
#include "platform/event_loop.h"

namespace px3::testing {

// An application that records what the session asks of it in one log shared with the test.
class FakeApplication : public TSessionApplication {
  public:
    FakeApplication(EventLoop& loop, std::vector<std::string>& log) : loop_(loop), log_(log) {}

    void Terminate() override {
        ++terminations;
        log_.push_back("terminate");
    }
    bool Terminated() const override { return terminations > 0; }
    void ShowMessage(const std::string& text) override {
        messages.push_back(text);
        log_.push_back("message: " + text);
    }
    void HandleException(const std::exception& error) override {
        errors.push_back(error.what());
        log_.push_back(std::string("error: ") + error.what());
    }
    void ProcessMessages() override {
        ++processed;
        loop_.ProcessPending();
    }
    std::string ExeName() const override { return "C:\\PX3\\Maintain.exe"; }

    int terminations = 0;
    int processed = 0;
    std::vector<std::string> messages;
    std::vector<std::string> errors;

  private:
    EventLoop& loop_;
    std::vector<std::string>& log_;
};

}  // namespace px3::testing
