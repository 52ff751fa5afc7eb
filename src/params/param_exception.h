#pragma once

#include "base/exception.h"

namespace px3 {

// Failures of parameter lists: an index out of bounds, a missing name, malformed wire text.
class EParamException : public Exception {
  public:
    using Exception::Exception;
};

}  // namespace px3
