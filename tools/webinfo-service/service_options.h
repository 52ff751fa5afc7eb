#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/exception.h"
#include "platform/ipv4_address.h"

namespace px3 {

// A misbehaviour the service shows on purpose, so that tests can meet every kind of reply.
enum class ServiceFault {
    kNone,
    kNoMarkers,           // the payload stands in the page without its markers
    kNoClosingMarker,     // the payload's closing marker is missing
    kStatus404,           // the page comes with status 404
    kStatus500,           // the page comes with status 500
    kRedirect,            // relocations to an absolute URL, with a body of known length
    kRedirectRooted,      // relocations to a path on the same host, with a body
    kRedirectRelative,    // relocations to a target relative to the path, with a body
    kRedirectNoBody,      // relocations to an absolute URL without a body
    kRedirectUntilClose,  // relocations whose body runs until the service closes
    kRedirectKeepAlive,   // one relocation without a body on a connection kept alive
    kChunked,             // the page in the chunked coding, with an extension and a trailer
    kHeaderless,          // the page alone, beginning "<HTML>", without a status line
    kUntilClose,          // the page without a length, ended by closing the connection
    kSlow,                // the reply goes out in small pieces with pauses between them
};

// The two addresses the service knows for one server.
struct ServerAddresses {
    std::string usual;
    std::string spare;
};

struct ServiceOptions {
    Ipv4Address bind_address = kLoopbackAddress;
    std::uint16_t port = 0;  // 0: a free port
    std::string key;         // the X-Ca-Key a request must carry
    std::string secret;      // the signing secret
    std::string digits;      // the eight digits of the lookup password, as the tool keeps them
    std::map<std::string, ServerAddresses> servers;  // by sysid
    ServiceFault fault = ServiceFault::kNone;
    int relocations = 1;  // how many relocations a redirect fault sends before the page
    bool has_payload = false;
    std::string payload;                  // when set, the text between the markers
    std::int64_t date_tolerance_s = 300;  // how far a request's date may be from the clock
};

class EServiceOptionError : public Exception {
  public:
    using Exception::Exception;
};

extern const char kServiceUsage[];

// Reads the command line (without the program name). The defaults of key, secret and digits are
// the tool's own constants.
ServiceOptions ParseServiceOptions(const std::vector<std::string>& args);

// The fault's name as the command line spells it.
const char* ServiceFaultName(ServiceFault fault);

bool IsRelocationChain(ServiceFault fault);

}  // namespace px3
