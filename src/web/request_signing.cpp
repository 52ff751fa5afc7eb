#include "web/request_signing.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/collation.h"
#include "platform/crypto.h"
#include "web/url.h"

namespace px3 {

namespace {

// Only this many bytes of the secret key the signature.
constexpr size_t kSecretLimit = 255;

std::vector<std::string_view> SplitParameters(std::string_view query) {
    std::vector<std::string_view> parameters;
    size_t begin = 0;
    while (begin <= query.size()) {
        const size_t end = std::min(query.find('&', begin), query.size());
        if (end > begin) {
            parameters.push_back(query.substr(begin, end - begin));
        }
        begin = end + 1;
    }
    return parameters;
}

std::string TwoDigits(int value) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02d", value);
    return digits;
}

}  // namespace

std::string CanonicalPathAndQuery(std::string_view path) {
    const size_t question = path.find('?');
    if (question == std::string_view::npos) {
        return std::string(path);
    }
    std::vector<std::string_view> parameters = SplitParameters(path.substr(question + 1));
    std::stable_sort(
        parameters.begin(), parameters.end(),
        [](std::string_view a, std::string_view b) { return CompareTextIgnoreCase(a, b) < 0; });

    std::string result(path.substr(0, question + 1));
    bool first = true;
    for (std::string_view parameter : parameters) {
        if (parameter.back() == '=') {
            parameter.remove_suffix(1);
        }
        if (parameter.empty()) {
            continue;
        }
        if (!first) {
            result += '&';
        }
        result += parameter;
        first = false;
    }
    return result;
}

std::string StringToSign(std::string_view method, std::string_view accept,
                         std::string_view dateText, std::string_view canonicalPathAndQuery) {
    std::string text;
    text.reserve(method.size() + accept.size() + dateText.size() + canonicalPathAndQuery.size() +
                 5);
    text.append(method).append("\n");
    text.append(accept).append("\n\n\n");
    text.append(dateText).append("\n");
    text.append(canonicalPathAndQuery);
    return text;
}

std::string SignRequest(std::string_view method, std::string_view accept, std::string_view url,
                        std::string_view secret, std::string_view dateText) {
    const std::string canonical = CanonicalPathAndQuery(ParseUrl(url).path);
    const std::string text = StringToSign(method, accept, dateText, canonical);
    return Base64Encode(HmacSha256(secret.substr(0, kSecretLimit), text));
}

std::string FormatSigningDate(const LocalDateTime& moment, std::string_view timeSeparator) {
    char year[16];
    std::snprintf(year, sizeof year, "%04d", moment.year);
    std::string text = year;
    text += "-" + TwoDigits(moment.month) + "-" + TwoDigits(moment.day) + " ";
    text += TwoDigits(moment.hour);
    text.append(timeSeparator).append(TwoDigits(moment.minute));
    text.append(timeSeparator).append(TwoDigits(moment.second));
    return text;
}

std::string CurrentSigningDate() {
    return FormatSigningDate(CurrentLocalDateTime(), RegionalTimeSeparator());
}

}  // namespace px3
