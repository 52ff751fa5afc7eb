#pragma once

#include <string>

#include "platform/regional_time.h"
#include "webinfo-service/service_options.h"
#include "webinfo-service/service_request.h"

namespace px3 {

// The query parameter with which the service numbers the relocations it has sent a request
// through; it is not part of what the client signed.
inline constexpr char kHopParameter[] = "hop";

// How the service answers one request, before a fault shapes the reply.
struct LookupAnswer {
    int status = 200;        // 200 for an accepted lookup; else 400, 403 or 404
    std::string reason;      // why the request was refused
    std::string address;     // the address of an accepted lookup
    std::string signedPath;  // the path and query the client signed (the hop parameter removed)
    std::string canonical;   // their canonical form, which the signature covers
    int hop = 0;             // the relocations the request has come through
};

// Checks a request of the IP lookup: path "/csp/ip/", the key, the date (no farther from now
// than the options allow), the signature over method, Accept, date and the canonical path and
// query, flag 201, and that ippwd is sysid followed by the reversed digits; then finds the
// usual address of sysid, or its spare one when spareip is 1.
LookupAnswer CheckLookupRequest(const ServiceRequest& request, const ServiceOptions& options,
                                const LocalDateTime& now);

}  // namespace px3
