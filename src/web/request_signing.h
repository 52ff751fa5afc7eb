#pragma once

#include <string>
#include <string_view>

#include "platform/regional_time.h"

namespace px3 {

// The path and query in the form that is signed: the query's non-empty "&"-separated parameter
// texts sorted with the user's case-insensitive collation, each losing one trailing "=", joined
// by "&". A path without "?" is returned unchanged.
std::string CanonicalPathAndQuery(std::string_view path);

// The text a request's signature covers: method, Accept value, two empty lines, date text and
// canonical path and query, separated by LF bytes.
std::string StringToSign(std::string_view method, std::string_view accept,
                         std::string_view dateText, std::string_view canonicalPathAndQuery);

// The Base64 text of the HMAC-SHA256 over the string to sign of a request for url, keyed with the
// first 255 bytes of secret; the path signed is the URL's own, without the client's default "/".
std::string SignRequest(std::string_view method, std::string_view accept, std::string_view url,
                        std::string_view secret, std::string_view dateText);

// The date text of a request, "yyyy-mm-dd hh:nn:ss" with the given time separator for ":".
std::string FormatSigningDate(const LocalDateTime& moment, std::string_view timeSeparator);

// The date text for a request signed now, from the local clock and the regional time separator.
std::string CurrentSigningDate();

}  // namespace px3
