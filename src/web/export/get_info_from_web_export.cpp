#include <string>

#include "web/get_info_from_web.h"

// The web information request function as the executable exports it, by this unadorned name.
// Only code sharing this module's string type can call it; the program reaches it through
// WebInfoRequest.
extern "C" void GetInfoFromWeb_Export(const std::string& url, std::string& result) noexcept {
    px3::GetInfoFromWeb(url, result);
}
