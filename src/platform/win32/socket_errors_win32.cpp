#include <windows.h>

#include "platform/socket_errors.h"

namespace px3 {

std::string SocketErrorText(int code) {
    char buffer[512];
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(code), 0, buffer, sizeof buffer, nullptr);
    std::string text(buffer, length);
    // The system's texts end in a period and a line break.
    while (!text.empty() &&
           (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.')) {
        text.pop_back();
    }
    if (!text.empty()) {
        return text;
    }
    const char* description = SocketErrorDescription(code);
    return description != nullptr ? description : "Unknown socket error " + std::to_string(code);
}

}  // namespace px3
