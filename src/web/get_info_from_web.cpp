#include "web/get_info_from_web.h"

#include "web/http_client.h"
#include "web/info_request_signing.h"
#include "web/web_info_payload.h"

namespace px3 {

namespace {

const WebConstants* installed_constants = nullptr;

constexpr const char kAccept[] = "text/html, application/xhtml+xml, */*";
constexpr const char kAcceptLanguage[] = "zh-CN";
constexpr const char kAgent[] =
    "Mozilla/5.0 (Windows NT 6.1; WOW64; Trident/7.0; rv:11.0) like Gecko";

}  // namespace

void InstallWebInfoConstants(const WebConstants* constants) {
    installed_constants = constants;
}

void GetInfoFromWeb(const std::string& url, std::string& result) noexcept {
    try {
        // Own copies: the wait inside Get runs other handlers, which may change the caller's
        // variables (url may even be result itself) or the installed constants.
        const std::string requestUrl = url;
        result.clear();
        const WebConstants constants = installed_constants ? *installed_constants : WebConstants{};

        std::string received;
        THttpClient client;
        client.Accept = kAccept;
        client.AcceptLanguage = kAcceptLanguage;
        client.Agent = kAgent;
        client.RequestUrl = requestUrl;
        client.ReceiveStream = &received;
        client.OnBeforeHeaderSend = InfoRequestSigning(constants);
        client.Get();
        result = CutWebInfoPayload(received);
    } catch (...) {
        result.clear();
    }
}

}  // namespace px3
