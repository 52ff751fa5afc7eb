#pragma once

#include <string>

#include "web/web_constants.h"

namespace px3 {

// The name under which the executable exports its web information request function.
inline constexpr const char kGetInfoFromWebExportName[] = "GetInfoFromWeb_Export";

// The type of that export: (URL, the caller's result variable).
using GetInfoFromWebExportProc = void (*)(const std::string& url, std::string& result) noexcept;

// The constants the web information requests are signed with: those of their owner (the main
// window), installed once deciphered and removed (nullptr) before they go. With none installed
// a request carries the plain AppKey and a signature under an empty secret.
void InstallWebInfoConstants(const WebConstants* constants);

// The body of the exported function: empties result, runs a signed GET of url and stores the
// payload between the page's markers in result. Every failure (name resolution, connection, an
// HTTP status of 400 and above, no opening marker) leaves result empty; nothing is raised.
void GetInfoFromWeb(const std::string& url, std::string& result) noexcept;

}  // namespace px3
