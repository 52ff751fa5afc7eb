#pragma once

#include <string>

namespace px3 {

// Runs a web information request through the function the executable exports, looked up by name
// on every call: the payload text, or the empty text when the request failed or the executable
// exports no such function.
std::string WebInfoRequest(const std::string& url);

}  // namespace px3
