#pragma once

#include <string>

namespace px3 {

// The constants of the web information service, deciphered before the first request.
struct WebConstants {
    std::string AppKey = "51740968";  // sent in the "X-Ca-Key:" line
    std::string ServiceBaseAddress;   // "http://host[:port]" without a trailing "/"
    std::string SigningSecret;        // the HMAC key of the request signatures
};

}  // namespace px3
