#pragma once

#include "base/exception.h"

namespace px3 {

// A message that cannot be built: too many fields or an unknown field type code.
class EStringLineException : public Exception {
  public:
    using Exception::Exception;
};

// A failure of the codec: compression, decompression, or a compression setting that cannot be
// used.
class ECodecError : public Exception {
  public:
    using Exception::Exception;
};

// A received byte stream or message that breaks the protocol.
class EProtocolError : public Exception {
  public:
    using Exception::Exception;
};

}  // namespace px3
