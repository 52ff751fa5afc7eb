#pragma once

#include <string>

#include "base/exception.h"

namespace px3 {

// A failed HTTP request: the reason phrase as message, the status code as error code (or the
// client's own code for a request it refused to start).
class EHttpException : public Exception {
  public:
    EHttpException(std::string message, int errorCode)
        : Exception(std::move(message)), errorCode_(errorCode) {}

    int ErrorCode() const noexcept { return errorCode_; }

  private:
    int errorCode_;
};

}  // namespace px3
