#pragma once

#include "base/exception.h"

namespace px3 {

// A failure of the session's connection: refused settings, opening, and socket errors.
class ESocketError : public Exception {
  public:
    using Exception::Exception;
};

// The session is not connected, or lost its connection with nobody handling the close.
class EConnectException : public Exception {
  public:
    using Exception::Exception;
};

}  // namespace px3
