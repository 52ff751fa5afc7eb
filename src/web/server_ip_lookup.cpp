#include "web/server_ip_lookup.h"

#include "web/json.h"
#include "web/web_info_request.h"

namespace px3 {

std::string LookupPassword(std::string_view serverName, std::string_view passwordDigits) {
    std::string password(serverName);
    password.append(passwordDigits.rbegin(), passwordDigits.rend());
    return password;
}

std::string ServerIpLookupUrl(std::string_view baseAddress, const ServerIpLookupInput& input,
                              std::string_view passwordDigits, bool spare) {
    std::string url(baseAddress);
    url += "/csp/ip/?flag=201&sysid=" + input.ServerName;
    url += "&ippwd=" + LookupPassword(input.ServerName, passwordDigits);
    url += "&devicesn=" + input.DeviceSerial;
    if (spare) {
        url += "&spareip=1";
    }
    return url;
}

std::optional<std::string> LookupAddressOf(std::string_view payload) {
    if (payload.empty()) {
        return std::nullopt;
    }
    try {
        TJson document;
        document.Parse(payload);
        document.RootObject().SetAddMissing(false);
        return document.Member("ipaddress").AsText();
    } catch (...) {
        return std::nullopt;
    }
}

ServerIpLookupResult ServerIpLookup(const ServerIpLookupInput& input,
                                    std::string_view serviceBaseAddress,
                                    std::string_view passwordDigits,
                                    SpareAddressSwitch& spareSwitch) {
    ServerIpLookupResult result;
    try {
        if (input.NetType == kNetTypeLocal) {
            result.Server = input.ServerName;
            result.IsHostName = true;
            result.Succeeded = true;
            return result;
        }
        const bool spare = spareSwitch.Advance();
        const std::optional<std::string> address = LookupAddressOf(
            WebInfoRequest(ServerIpLookupUrl(serviceBaseAddress, input, passwordDigits, spare)));
        if (address) {
            result.Server = *address;
            result.Succeeded = true;
        }
    } catch (...) {
        result = ServerIpLookupResult{};
    }
    return result;
}

}  // namespace px3
