#include "web/info_request_signing.h"

#include "web/request_signing.h"

namespace px3 {

void HttpGetInfoFromWebBeforeHeaderSend(const WebConstants& constants,
                                        const SigningDateSource& dateSource, THttpClient& Sender,
                                        const std::string& Method,
                                        std::vector<std::string>& Headers) {
    const std::string date = dateSource();
    const std::string signature =
        SignRequest(Method, Sender.Accept, Sender.RequestUrl, constants.SigningSecret, date);
    Headers.push_back("date:" + date);
    Headers.push_back("X-Ca-Key:" + constants.AppKey);
    Headers.push_back("X-Ca-Signature:" + signature);
}

TBeforeHeaderSendEvent InfoRequestSigning(const WebConstants& constants,
                                          SigningDateSource dateSource) {
    return [&constants, dateSource = std::move(dateSource)](
               THttpClient& Sender, const std::string& Method, std::vector<std::string>& Headers) {
        HttpGetInfoFromWebBeforeHeaderSend(constants, dateSource, Sender, Method, Headers);
    };
}

}  // namespace px3
