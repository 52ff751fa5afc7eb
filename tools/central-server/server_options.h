#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/exception.h"
#include "platform/ipv4_address.h"

namespace px3 {

// A misbehaviour the server shows on purpose, so that tests can meet every kind of server.
enum class ServerFault {
    kNone,
    kRefuseLogin,          // every login is refused
    kErrorReply,           // every coded request is answered with an error of two texts
    kCloseInsteadOfReply,  // a coded request closes the connection instead of being answered
    kTrickleReply,         // replies to coded requests go out in small pieces, one at a time
    kBadLengthWord,        // replies to coded requests carry a length word above the limit
    kNotZlib,              // replies to coded requests are not compressed
    kPushBeforeReply,      // a list with flag 0 goes out before each reply to a coded request
    kTerminate,            // the session is terminated after the login
    kServerMessage,        // a server message follows the login
    kNotice,               // a server notice follows the login
    kRedirect,             // the client is sent to another server after the login
    kReconnect,            // the first client is told to reconnect after its login
};

struct ServerCredentials {
    std::string user;
    std::string password;
    std::string application;
};

struct ServerOptions {
    std::filesystem::path root;
    Ipv4Address bind_address = kLoopbackAddress;
    std::uint16_t port = 6000;
    ServerCredentials credentials;
    std::uint32_t ping_seconds = 0;
    ServerFault fault = ServerFault::kNone;
    // "HOST:PORT", the target of the redirect fault.
    std::string redirect_to;
};

class EServerOptionError : public Exception {
  public:
    using Exception::Exception;
};

// Reads the command line (without the program name); a wrong one fails with EServerOptionError.
ServerOptions ParseServerOptions(const std::vector<std::string>& args);

// The usage text, ending with a line break.
extern const char kServerUsage[];

}  // namespace px3
