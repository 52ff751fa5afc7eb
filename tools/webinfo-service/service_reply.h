#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "webinfo-service/lookup_check.h"
#include "webinfo-service/service_options.h"
#include "webinfo-service/service_request.h"

namespace px3 {

// The bytes the service sends for one request.
struct ServiceReply {
    int status = 0;                   // the status it carries (0 without a status line)
    std::string note;                 // what the log line says about it
    std::vector<std::string> pieces;  // sent one after another
    std::uint32_t pause_ms = 0;       // between two pieces
    bool keep_open = false;  // the connection stays open after the reply until the client closes
};

// The reply to a request checked as answer, shaped by the fault of the options. Refused
// requests get their status with the reason as page and in an "X-Ca-Error-Message" line.
ServiceReply BuildServiceReply(const ServiceRequest& request, const LookupAnswer& answer,
                               const ServiceOptions& options);

// A reply to a request that cannot be read.
ServiceReply BadRequestReply(const std::string& reason);

}  // namespace px3
