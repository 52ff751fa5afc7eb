#include "webinfo-service/service_request.h"

#include "base/text.h"
#include "web/url.h"

namespace px3 {

namespace {

// The lines of a text split at LF, each without a CR before its LF.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(begin, end - begin);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        begin = end + 1;
    }
    return lines;
}

}  // namespace

const std::string* ServiceRequest::Header(std::string_view name) const {
    for (const auto& [header_name, value] : headers) {
        if (SameText(header_name, name)) {
            return &value;
        }
    }
    return nullptr;
}

std::string ServiceRequest::PathAndQuery() const {
    if (target.find("://") != std::string::npos) {
        return ParseUrl(target).path;
    }
    return target;
}

std::optional<std::size_t> RequestHeaderLength(std::string_view received) {
    for (size_t end = received.find('\n'); end != std::string_view::npos;
         end = received.find('\n', end + 1)) {
        if (end + 1 < received.size() && received[end + 1] == '\n') {
            return end + 2;
        }
        if (end + 2 < received.size() && received[end + 1] == '\r' && received[end + 2] == '\n') {
            return end + 3;
        }
    }
    return std::nullopt;
}

std::optional<ServiceRequest> ParseServiceRequest(std::string_view header) {
    const std::vector<std::string_view> lines = Lines(header);
    if (lines.empty()) {
        return std::nullopt;
    }
    const std::string_view requestLine = lines[0];
    const size_t first = requestLine.find(' ');
    const size_t last = requestLine.rfind(' ');
    if (first == std::string_view::npos || first == last || first == 0 ||
        last + 1 == requestLine.size()) {
        return std::nullopt;
    }
    ServiceRequest request;
    request.method = requestLine.substr(0, first);
    request.target = requestLine.substr(first + 1, last - first - 1);
    request.version = requestLine.substr(last + 1);
    for (size_t i = 1; i < lines.size(); ++i) {
        const size_t colon = lines[i].find(':');
        if (colon == std::string_view::npos) {
            continue;
        }
        std::string_view value = lines[i].substr(colon + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) {
            value.remove_prefix(1);
        }
        request.headers.emplace_back(lines[i].substr(0, colon), value);
    }
    return request;
}

std::vector<QueryParameter> QueryParameters(std::string_view pathAndQuery) {
    std::vector<QueryParameter> parameters;
    const size_t question = pathAndQuery.find('?');
    if (question == std::string_view::npos) {
        return parameters;
    }
    const std::string_view query = pathAndQuery.substr(question + 1);
    size_t begin = 0;
    while (begin <= query.size()) {
        size_t end = query.find('&', begin);
        if (end == std::string_view::npos) {
            end = query.size();
        }
        const std::string_view text = query.substr(begin, end - begin);
        if (!text.empty()) {
            const size_t equals = text.find('=');
            QueryParameter parameter;
            parameter.text = text;
            parameter.name = text.substr(0, equals);
            if (equals != std::string_view::npos) {
                parameter.value = text.substr(equals + 1);
            }
            parameters.push_back(std::move(parameter));
        }
        begin = end + 1;
    }
    return parameters;
}

const std::string* ParameterValue(const std::vector<QueryParameter>& parameters,
                                  std::string_view name) {
    for (const QueryParameter& parameter : parameters) {
        if (parameter.name == name) {
            return &parameter.value;
        }
    }
    return nullptr;
}

}  // namespace px3
