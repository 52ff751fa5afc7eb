#include "messaging/socket_error_messages.h"

#include "base/text.h"
#include "messaging/session_texts.h"
#include "platform/socket_errors.h"

namespace px3 {

namespace {

constexpr const char kConnectionAbortedText[] =
    "Software caused connection abort.  The server terminated the connection. It is possible "
    "that the server has terminated.";

const std::string& AbortedText(int code) {
    static const std::string aborted = "10053: " + std::string(kConnectionAbortedText);
    static const std::string reset = "10054: " + std::string(kConnectionAbortedText);
    return code == kSocketConnectionAborted ? aborted : reset;
}

}  // namespace

const char* SessionSocketErrorText(int code) {
    switch (code) {
        case kSocketConnectionAborted:
        case kSocketConnectionReset:
            return AbortedText(code).c_str();
        case kSocketConnectionRefused:
            return texts::kConnectionRefused;
        case kSocketHostUnreachable:
            return texts::kHostUnreachable;
        default:
            return nullptr;
    }
}

std::string SessionSocketErrorMessage(const char* text, const std::string& address, int32_t port) {
    return std::string(text) + " at " + address + " on Port:" + IntToStr(port);
}

std::string AsynchronousSocketErrorMessage(int code) {
    return "Asynchronous socket error " + IntToStr(code);
}

std::string SocketCallErrorMessage(int code, const char* api) {
    return "Windows socket error: " + SocketErrorText(code) + " (" + IntToStr(code) +
           "), on API '" + api + "'";
}

}  // namespace px3
