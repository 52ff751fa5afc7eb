#include "platform/socket_errors.h"

namespace px3 {

namespace {

struct CodeText {
    int code;
    const char* text;
};

constexpr CodeText kCodeTexts[] = {
    {10004, "Interrupted system call"},
    {10009, "Bad file descriptor"},
    {10013, "Permission denied"},
    {10014, "Bad address"},
    {10022, "Invalid argument"},
    {10024, "Too many open files"},
    {kSocketWouldBlock, "Operation would block"},
    {10036, "Operation now in progress"},
    {10037, "Operation already in progress"},
    {10038, "Socket operation on non-socket"},
    {10039, "Destination address required"},
    {10040, "Message too long"},
    {10041, "Protocol wrong type for socket"},
    {10042, "Bad protocol option"},
    {10043, "Protocol not supported"},
    {10045, "Operation not supported"},
    {10047, "Address family not supported by protocol family"},
    {10048, "Address already in use"},
    {kSocketAddressNotAvailable, "Cannot assign requested address"},
    {10050, "Network is down"},
    {kSocketNetworkUnreachable, "Network is unreachable"},
    {10052, "Network dropped connection on reset"},
    {kSocketConnectionAborted, "Software caused connection abort"},
    {kSocketConnectionReset, "Connection reset by peer"},
    {10055, "No buffer space available"},
    {kSocketAlreadyConnected, "Socket is already connected"},
    {kSocketNotConnected, "Socket is not connected"},
    {10058, "Cannot send after socket shutdown"},
    {kSocketTimedOut, "Connection timed out"},
    {kSocketConnectionRefused, "Connection refused"},
    {10064, "Host is down"},
    {kSocketHostUnreachable, "No route to host"},
    {kSocketSystemCallFailed, "System call failure"},
    {kSocketHostNotFound, "Host not found"},
};

}  // namespace

const char* SocketErrorDescription(int code) {
    for (const CodeText& entry : kCodeTexts) {
        if (entry.code == code) {
            return entry.text;
        }
    }
    return nullptr;
}

}  // namespace px3
