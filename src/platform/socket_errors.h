#pragma once

#include <string>

namespace px3 {

// Socket error codes as the sockets report them on every platform (Windows Sockets numbers).
inline constexpr int kSocketWouldBlock = 10035;
inline constexpr int kSocketAddressNotAvailable = 10049;
inline constexpr int kSocketNetworkUnreachable = 10051;
inline constexpr int kSocketConnectionAborted = 10053;
inline constexpr int kSocketConnectionReset = 10054;
inline constexpr int kSocketAlreadyConnected = 10056;
inline constexpr int kSocketNotConnected = 10057;
inline constexpr int kSocketTimedOut = 10060;
inline constexpr int kSocketConnectionRefused = 10061;
inline constexpr int kSocketHostUnreachable = 10065;
inline constexpr int kSocketSystemCallFailed = 10107;
inline constexpr int kSocketHostNotFound = 11001;

// The system's description of a socket error code, without a trailing period or line break:
// on Windows the system's message text in its language (SocketErrorDescription where the system
// has none), elsewhere SocketErrorDescription; "Unknown socket error N" for unknown codes.
std::string SocketErrorText(int code);

// A short English description of a socket error code, the same on every platform ("Connection
// refused", "Connection timed out", "Network is unreachable", "Host not found", ...); nullptr
// for codes outside the table.
const char* SocketErrorDescription(int code);

}  // namespace px3
