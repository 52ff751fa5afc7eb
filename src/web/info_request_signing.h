#pragma once

#include <functional>
#include <string>
#include <vector>

#include "web/http_client.h"
#include "web/request_signing.h"
#include "web/web_constants.h"

namespace px3 {

// Gives the date text of a request about to be signed ("yyyy-mm-dd hh:nn:ss").
using SigningDateSource = std::function<std::string()>;

// The OnBeforeHeaderSend handler of the web information requests: appends "date:", "X-Ca-Key:"
// and "X-Ca-Signature:" lines. The date is taken once, for the line and the signature alike;
// the signature covers Sender's Accept and its RequestUrl (the caller's URL, also when a
// relocated request is sent).
void HttpGetInfoFromWebBeforeHeaderSend(const WebConstants& constants,
                                        const SigningDateSource& dateSource, THttpClient& Sender,
                                        const std::string& Method,
                                        std::vector<std::string>& Headers);

// The handler above bound to constants (which must outlive the client) and a date source.
TBeforeHeaderSendEvent InfoRequestSigning(const WebConstants& constants,
                                          SigningDateSource dateSource = CurrentSigningDate);

}  // namespace px3
