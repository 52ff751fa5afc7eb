#include "webinfo-service/service_options.h"

#include <optional>
#include <string_view>
#include <utility>

#include "app/web_info_constants.h"
#include "base/text.h"

namespace px3 {

const char kServiceUsage[] =
    "usage: webinfo-service [--port N] [--bind ADDRESS] [--key TEXT] [--secret TEXT]\n"
    "                       [--digits DIGITS] [--map SYSID=USUAL[,SPARE]]...\n"
    "                       [--fault NAME[:COUNT]] [--payload TEXT] [--date-tolerance SECONDS]\n"
    "faults: none no-markers no-closing-marker status-404 status-500 redirect redirect-rooted\n"
    "        redirect-relative redirect-no-body redirect-until-close redirect-keep-alive\n"
    "        chunked headerless until-close slow\n";

namespace {

const std::pair<const char*, ServiceFault> kFaultNames[] = {
    {"none", ServiceFault::kNone},
    {"no-markers", ServiceFault::kNoMarkers},
    {"no-closing-marker", ServiceFault::kNoClosingMarker},
    {"status-404", ServiceFault::kStatus404},
    {"status-500", ServiceFault::kStatus500},
    {"redirect", ServiceFault::kRedirect},
    {"redirect-rooted", ServiceFault::kRedirectRooted},
    {"redirect-relative", ServiceFault::kRedirectRelative},
    {"redirect-no-body", ServiceFault::kRedirectNoBody},
    {"redirect-until-close", ServiceFault::kRedirectUntilClose},
    {"redirect-keep-alive", ServiceFault::kRedirectKeepAlive},
    {"chunked", ServiceFault::kChunked},
    {"headerless", ServiceFault::kHeaderless},
    {"until-close", ServiceFault::kUntilClose},
    {"slow", ServiceFault::kSlow},
};

int64_t ParseNumber(const std::string& option, const std::string& text, int64_t lowest,
                    int64_t highest) {
    const std::optional<int64_t> number = TryStrToInt64(text);
    if (!number || *number < lowest || *number > highest) {
        throw EServiceOptionError(option + " needs a number from " + IntToStr(lowest) + " to " +
                                  IntToStr(highest) + ", not '" + text + "'");
    }
    return *number;
}

// "NAME" or "NAME:COUNT", COUNT the number of relocations of a redirect fault.
void ParseFault(const std::string& text, ServiceOptions& options) {
    const size_t colon = text.find(':');
    const std::string name = text.substr(0, colon);
    bool known = false;
    for (const auto& [fault_name, fault] : kFaultNames) {
        if (name == fault_name) {
            options.fault = fault;
            known = true;
        }
    }
    if (!known) {
        throw EServiceOptionError("unknown fault '" + name + "'");
    }
    if (colon != std::string::npos) {
        if (!IsRelocationChain(options.fault) &&
            options.fault != ServiceFault::kRedirectKeepAlive) {
            throw EServiceOptionError("only the redirect faults take a count, not '" + text + "'");
        }
        options.relocations =
            static_cast<int>(ParseNumber("--fault", text.substr(colon + 1), 0, 100));
    }
}

// "SYSID=USUAL" or "SYSID=USUAL,SPARE"; without a spare address the usual one is given for both.
void ParseMap(const std::string& text, ServiceOptions& options) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0) {
        throw EServiceOptionError("--map needs SYSID=USUAL[,SPARE], not '" + text + "'");
    }
    const std::string addresses = text.substr(equals + 1);
    const size_t comma = addresses.find(',');
    ServerAddresses& server = options.servers[text.substr(0, equals)];
    server.usual = addresses.substr(0, comma);
    server.spare = comma == std::string::npos ? server.usual : addresses.substr(comma + 1);
}

}  // namespace

const char* ServiceFaultName(ServiceFault fault) {
    for (const auto& [fault_name, known] : kFaultNames) {
        if (fault == known) {
            return fault_name;
        }
    }
    return "none";
}

bool IsRelocationChain(ServiceFault fault) {
    return fault == ServiceFault::kRedirect || fault == ServiceFault::kRedirectRooted ||
           fault == ServiceFault::kRedirectRelative || fault == ServiceFault::kRedirectNoBody ||
           fault == ServiceFault::kRedirectUntilClose;
}

ServiceOptions ParseServiceOptions(const std::vector<std::string>& args) {
    ServiceOptions options;
    const WebConstants constants = DecipherWebConstants();
    options.key = constants.AppKey;
    options.secret = constants.SigningSecret;
    options.digits = std::string(kLookupPasswordDigits);
    for (size_t i = 0; i < args.size(); i += 2) {
        const std::string& option = args[i];
        if (i + 1 == args.size()) {
            throw EServiceOptionError(option.rfind("--", 0) == 0 ? option + " needs a value"
                                                                 : "unexpected '" + option + "'");
        }
        const std::string& value = args[i + 1];
        if (option == "--port") {
            options.port = static_cast<std::uint16_t>(ParseNumber(option, value, 0, 65535));
        } else if (option == "--bind") {
            const std::optional<Ipv4Address> address = ParseIpv4Address(value);
            if (!address) {
                throw EServiceOptionError("--bind needs a dotted IPv4 address, not '" + value +
                                          "'");
            }
            options.bind_address = *address;
        } else if (option == "--key") {
            options.key = value;
        } else if (option == "--secret") {
            options.secret = value;
        } else if (option == "--digits") {
            options.digits = value;
        } else if (option == "--map") {
            ParseMap(value, options);
        } else if (option == "--fault") {
            ParseFault(value, options);
        } else if (option == "--payload") {
            options.has_payload = true;
            options.payload = value;
        } else if (option == "--date-tolerance") {
            options.date_tolerance_s = ParseNumber(option, value, 0, 366LL * 24 * 3600);
        } else {
            throw EServiceOptionError("unknown option '" + option + "'");
        }
    }
    return options;
}

}  // namespace px3
