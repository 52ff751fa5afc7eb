#pragma once

#include <cstdint>
#include <string>

namespace px3 {

// The session's own text for socket errors 10053, 10054, 10061 and 10065; nullptr for others.
const char* SessionSocketErrorText(int code);

// One of those texts completed with where the connection was going: "%s at %s on Port:%d".
std::string SessionSocketErrorMessage(const char* text, const std::string& address, int32_t port);

// "Asynchronous socket error %d": another error reported with an event of the connection.
std::string AsynchronousSocketErrorMessage(int code);

// "Windows socket error: %s (%d), on API '%s'": a call that failed with another error.
std::string SocketCallErrorMessage(int code, const char* api);

}  // namespace px3
