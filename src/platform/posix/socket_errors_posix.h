#pragma once

namespace px3 {

// The socket error code (socket_errors.h) that stands for a POSIX errno value.
int SocketErrorFromErrno(int errno_value);

}  // namespace px3
