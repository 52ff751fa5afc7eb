#pragma once

#include <exception>
#include <string>

namespace px3 {

// What the session asks of the application it runs in.
class TSessionApplication {
  public:
    virtual ~TSessionApplication() = default;

    // Asks the application to end (it leaves its event loop).
    virtual void Terminate() = 0;
    // True once the application has been asked to end.
    virtual bool Terminated() const = 0;
    // Shows the text in a modal message box.
    virtual void ShowMessage(const std::string& text) = 0;
    // The application's error display, for failures raised while the session handles an event
    // of its connection or a timer tick; they never reach the code that called the session.
    virtual void HandleException(const std::exception& error) = 0;
    // Dispatches whatever is pending in the application's event loop, once.
    virtual void ProcessMessages() = 0;
    // The full path of the running executable.
    virtual std::string ExeName() const = 0;
};

}  // namespace px3
