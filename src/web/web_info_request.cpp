#include "web/web_info_request.h"

#include "platform/own_export.h"
#include "web/get_info_from_web.h"

namespace px3 {

std::string WebInfoRequest(const std::string& url) {
    std::string result;
    if (const ExportedEntry entry = FindOwnExport(kGetInfoFromWebExportName)) {
        reinterpret_cast<GetInfoFromWebExportProc>(entry)(url, result);
    }
    return result;
}

}  // namespace px3
