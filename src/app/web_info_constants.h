#pragma once

#include <string_view>

#include "web/web_constants.h"

namespace px3 {

// The key under which the web information constants are stored enciphered.
inline constexpr std::string_view kWebConstantsCipherKey = "LAMP";

// The web information service's base address and the request signing secret of this
// deployment, as stored: enciphered with CipherText under kWebConstantsCipherKey.
inline constexpr std::string_view kStoredServiceBaseAddress =
    "5A8E42FB3C3A281ADA1F130DD476994EEC1FCFB046F215CF1030D44EE11DCB";
inline constexpr std::string_view kStoredSigningSecret =
    "C374EA718E8CA351DA6B9A8385BCB540EA50D30F1511C5B5A958CC5E9589A34A";

// The eight digits that, in reverse order after the server name, make the IP lookup password.
inline constexpr std::string_view kLookupPasswordDigits = "20481379";

// The plain web information constants: the stored texts deciphered, and the application key.
WebConstants DecipherWebConstants();

}  // namespace px3
