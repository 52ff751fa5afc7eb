#include "webinfo-service/lookup_check.h"

#include <cstdlib>
#include <optional>

#include "base/text.h"
#include "web/request_signing.h"
#include "web/server_ip_lookup.h"
#include "webinfo-service/signing_date.h"

namespace px3 {

namespace {

constexpr char kLookupPath[] = "/csp/ip/";

LookupAnswer Refuse(LookupAnswer answer, int status, std::string reason) {
    answer.status = status;
    answer.reason = std::move(reason);
    return answer;
}

// The path and query without the service's own hop parameter, as the client signed them.
std::string WithoutHop(const std::string& pathAndQuery) {
    const size_t question = pathAndQuery.find('?');
    if (question == std::string::npos) {
        return pathAndQuery;
    }
    std::string result = pathAndQuery.substr(0, question + 1);
    bool first = true;
    for (const QueryParameter& parameter : QueryParameters(pathAndQuery)) {
        if (parameter.name == kHopParameter) {
            continue;
        }
        result += (first ? "" : "&") + parameter.text;
        first = false;
    }
    return result;
}

}  // namespace

LookupAnswer CheckLookupRequest(const ServiceRequest& request, const ServiceOptions& options,
                                const LocalDateTime& now) {
    LookupAnswer answer;
    const std::string pathAndQuery = request.PathAndQuery();
    const std::vector<QueryParameter> parameters = QueryParameters(pathAndQuery);
    if (const std::string* hop = ParameterValue(parameters, kHopParameter)) {
        answer.hop = StrToIntDef(*hop, 0);
    }
    answer.signedPath = WithoutHop(pathAndQuery);
    answer.canonical = CanonicalPathAndQuery(answer.signedPath);

    if (request.method != "GET") {
        return Refuse(answer, 400, "only GET is served");
    }
    if (pathAndQuery.substr(0, pathAndQuery.find('?')) != kLookupPath) {
        return Refuse(answer, 404, "no such page");
    }

    const std::string* key = request.Header("X-Ca-Key");
    if (key == nullptr || *key != options.key) {
        return Refuse(answer, 403, key == nullptr ? "X-Ca-Key missing" : "X-Ca-Key unknown");
    }
    const std::string* date = request.Header("date");
    const std::optional<LocalDateTime> signedAt = date ? ParseSigningDate(*date) : std::nullopt;
    if (!signedAt) {
        return Refuse(answer, 403, date == nullptr ? "date missing" : "date malformed");
    }
    if (std::llabs(SecondsBetween(*signedAt, now)) > options.date_tolerance_s) {
        return Refuse(answer, 403, "date too far from the service's clock");
    }
    const std::string* signature = request.Header("X-Ca-Signature");
    const std::string* accept = request.Header("Accept");
    const std::string expected =
        SignRequest(request.method, accept ? *accept : "", "http://service" + answer.signedPath,
                    options.secret, *date);
    if (signature == nullptr || *signature != expected) {
        return Refuse(answer, 403,
                      signature == nullptr ? "X-Ca-Signature missing" : "signature mismatch");
    }

    const std::string* flag = ParameterValue(parameters, "flag");
    if (flag == nullptr || *flag != "201") {
        return Refuse(answer, 400, "flag must be 201");
    }
    const std::string* sysid = ParameterValue(parameters, "sysid");
    const std::string* ippwd = ParameterValue(parameters, "ippwd");
    if (sysid == nullptr || ippwd == nullptr || *ippwd != LookupPassword(*sysid, options.digits)) {
        return Refuse(answer, 403, "ippwd does not fit sysid");
    }
    const auto server = options.servers.find(*sysid);
    if (server == options.servers.end()) {
        return Refuse(answer, 404, "unknown sysid");
    }
    const std::string* spareip = ParameterValue(parameters, "spareip");
    answer.address = spareip && *spareip == "1" ? server->second.spare : server->second.usual;
    return answer;
}

}  // namespace px3
