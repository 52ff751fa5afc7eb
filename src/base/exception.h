#pragma once

#include <exception>
#include <string>

namespace px3 {

// The general exception of the system: it carries its message text (GBK bytes), which the
// application's error display shows as it stands.
class Exception : public std::exception {
  public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const std::string& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

  private:
    std::string message_;
};

// A text that does not convert to the number asked for.
class EConvertError : public Exception {
  public:
    using Exception::Exception;
};

}  // namespace px3
