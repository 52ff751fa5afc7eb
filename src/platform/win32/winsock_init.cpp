#include "platform/win32/winsock_init.h"

#include <winsock2.h>

#include "base/exception.h"

namespace px3 {

void EnsureWinsock() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    if (!started) {
        throw Exception("Windows Sockets could not be started");
    }
}

}  // namespace px3
