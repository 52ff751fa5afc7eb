#include "platform/posix/socket_errors_posix.h"

#include <cerrno>

#include "platform/socket_errors.h"

namespace px3 {

namespace {

struct ErrnoCode {
    int errno_value;
    int code;
};

constexpr ErrnoCode kErrnoCodes[] = {
    {EINTR, 10004},
    {EBADF, 10009},
    {EACCES, 10013},
    {EFAULT, 10014},
    {EINVAL, 10022},
    {EMFILE, 10024},
    {EAGAIN, kSocketWouldBlock},
    {EINPROGRESS, 10036},
    {EALREADY, 10037},
    {ENOTSOCK, 10038},
    {EDESTADDRREQ, 10039},
    {EMSGSIZE, 10040},
    {EPROTOTYPE, 10041},
    {ENOPROTOOPT, 10042},
    {EPROTONOSUPPORT, 10043},
    {EOPNOTSUPP, 10045},
    {EAFNOSUPPORT, 10047},
    {EADDRINUSE, 10048},
    {EADDRNOTAVAIL, kSocketAddressNotAvailable},
    {ENETDOWN, 10050},
    {ENETUNREACH, kSocketNetworkUnreachable},
    {ENETRESET, 10052},
    {ECONNABORTED, kSocketConnectionAborted},
    {ECONNRESET, kSocketConnectionReset},
    // Writing to a connection the peer has reset.
    {EPIPE, kSocketConnectionReset},
    {ENOBUFS, 10055},
    {EISCONN, kSocketAlreadyConnected},
    {ENOTCONN, kSocketNotConnected},
    {ESHUTDOWN, 10058},
    {ETIMEDOUT, kSocketTimedOut},
    {ECONNREFUSED, kSocketConnectionRefused},
    {EHOSTDOWN, 10064},
    {EHOSTUNREACH, kSocketHostUnreachable},
};

}  // namespace

int SocketErrorFromErrno(int errno_value) {
    if (errno_value == EWOULDBLOCK) {
        return kSocketWouldBlock;
    }
    for (const ErrnoCode& entry : kErrnoCodes) {
        if (entry.errno_value == errno_value) {
            return entry.code;
        }
    }
    return kSocketSystemCallFailed;
}

std::string SocketErrorText(int code) {
    const char* text = SocketErrorDescription(code);
    return text != nullptr ? text : "Unknown socket error " + std::to_string(code);
}

}  // namespace px3
