#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace px3 {

// The most header bytes the service takes from one request.
inline constexpr std::size_t kMaxRequestHeader = 16384;

// A request as the service reads it: the request line's parts and the header lines.
struct ServiceRequest {
    std::string method;
    std::string target;                                        // as the request line spells it
    std::string version;                                       // "HTTP/1.0"
    std::vector<std::pair<std::string, std::string>> headers;  // name, value without blanks

    // The value of the first header line of that name (compared ignoring ASCII case).
    const std::string* Header(std::string_view name) const;
    // The target's path and query, also when the target is a whole URL.
    std::string PathAndQuery() const;
};

// The length of the request header in received (up to and including the empty line that ends
// it), or nothing when it has not ended yet.
std::optional<std::size_t> RequestHeaderLength(std::string_view received);

// Reads a request header; nothing when its request line is not "METHOD TARGET VERSION".
std::optional<ServiceRequest> ParseServiceRequest(std::string_view header);

// One "&"-separated parameter of a query: its whole text, the name before the first "=" and the
// value after it.
struct QueryParameter {
    std::string text;
    std::string name;
    std::string value;
};

// The non-empty parameters of the query of a path ("" when it has no "?").
std::vector<QueryParameter> QueryParameters(std::string_view pathAndQuery);

// The value of the first parameter of that name.
const std::string* ParameterValue(const std::vector<QueryParameter>& parameters,
                                  std::string_view name);

}  // namespace px3
