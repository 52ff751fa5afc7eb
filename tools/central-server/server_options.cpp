#include "central-server/server_options.h"

#include <optional>
#include <string_view>
#include <utility>

#include "base/text.h"
#include "central-server/native_path_text.h"

namespace px3 {

const char kServerUsage[] =
    "usage: central-server --root DIR [--port N] [--bind ADDRESS]\n"
    "                      [--user TEXT | --user-hex HEX] [--password TEXT | --password-hex HEX]\n"
    "                      [--app TEXT | --app-hex HEX] [--ping-seconds S]\n"
    "                      [--fault NAME] [--redirect-to HOST:PORT]\n"
    "faults: none refuse-login error-reply close-instead-of-reply trickle-reply bad-length\n"
    "        not-zlib push-before-reply terminate server-message notice redirect reconnect\n";

namespace {

const std::pair<const char*, ServerFault> kFaultNames[] = {
    {"none", ServerFault::kNone},
    {"refuse-login", ServerFault::kRefuseLogin},
    {"error-reply", ServerFault::kErrorReply},
    {"close-instead-of-reply", ServerFault::kCloseInsteadOfReply},
    {"trickle-reply", ServerFault::kTrickleReply},
    {"bad-length", ServerFault::kBadLengthWord},
    {"not-zlib", ServerFault::kNotZlib},
    {"push-before-reply", ServerFault::kPushBeforeReply},
    {"terminate", ServerFault::kTerminate},
    {"server-message", ServerFault::kServerMessage},
    {"notice", ServerFault::kNotice},
    {"redirect", ServerFault::kRedirect},
    {"reconnect", ServerFault::kReconnect},
};

ServerFault ParseFault(const std::string& name) {
    for (const auto& [fault_name, fault] : kFaultNames) {
        if (name == fault_name) {
            return fault;
        }
    }
    throw EServerOptionError("unknown fault '" + name + "'");
}

int64_t ParseNumber(const std::string& option, const std::string& text, int64_t highest) {
    const std::optional<int64_t> number = TryStrToInt64(text);
    if (!number || *number < 0 || *number > highest) {
        throw EServerOptionError(option + " needs a number from 0 to " + IntToStr(highest) +
                                 ", not '" + text + "'");
    }
    return *number;
}

int HexDigit(char digit) {
    if (digit >= '0' && digit <= '9') {
        return digit - '0';
    }
    if (digit >= 'a' && digit <= 'f') {
        return digit - 'a' + 10;
    }
    if (digit >= 'A' && digit <= 'F') {
        return digit - 'A' + 10;
    }
    return -1;
}

// Bytes written as pairs of hexadecimal digits, for texts a shell cannot pass as they are.
std::string ParseHexBytes(const std::string& option, const std::string& hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size() && HexDigit(hex[i]) >= 0 && HexDigit(hex[i + 1]) >= 0;
         i += 2) {
        bytes += static_cast<char>(HexDigit(hex[i]) * 16 + HexDigit(hex[i + 1]));
    }
    if (bytes.size() * 2 != hex.size()) {
        throw EServerOptionError(option + " needs pairs of hexadecimal digits, not '" + hex + "'");
    }
    return bytes;
}

void CheckRedirectTarget(const std::string& target) {
    const size_t colon = target.find(':');
    if (colon == std::string::npos || colon == 0) {
        throw EServerOptionError("--redirect-to needs HOST:PORT, not '" + target + "'");
    }
    ParseNumber("--redirect-to", target.substr(colon + 1), 65535);
}

}  // namespace

ServerOptions ParseServerOptions(const std::vector<std::string>& args) {
    ServerOptions options;
    bool has_root = false;
    for (size_t i = 0; i < args.size(); i += 2) {
        const std::string& option = args[i];
        if (i + 1 == args.size()) {
            throw EServerOptionError(option.rfind("--", 0) == 0 ? option + " needs a value"
                                                                : "unexpected '" + option + "'");
        }
        const std::string& value = args[i + 1];
        if (option == "--root") {
            options.root = PathFromNativeText(value);
            has_root = true;
        } else if (option == "--port") {
            options.port = static_cast<std::uint16_t>(ParseNumber(option, value, 65535));
        } else if (option == "--bind") {
            const std::optional<Ipv4Address> address = ParseIpv4Address(value);
            if (!address) {
                throw EServerOptionError("--bind needs a dotted IPv4 address, not '" + value + "'");
            }
            options.bind_address = *address;
        } else if (option == "--user") {
            options.credentials.user = value;
        } else if (option == "--user-hex") {
            options.credentials.user = ParseHexBytes(option, value);
        } else if (option == "--password") {
            options.credentials.password = value;
        } else if (option == "--password-hex") {
            options.credentials.password = ParseHexBytes(option, value);
        } else if (option == "--app") {
            options.credentials.application = value;
        } else if (option == "--app-hex") {
            options.credentials.application = ParseHexBytes(option, value);
        } else if (option == "--ping-seconds") {
            options.ping_seconds = static_cast<std::uint32_t>(ParseNumber(option, value, 86400));
        } else if (option == "--fault") {
            options.fault = ParseFault(value);
        } else if (option == "--redirect-to") {
            CheckRedirectTarget(value);
            options.redirect_to = value;
        } else {
            throw EServerOptionError("unknown option '" + option + "'");
        }
    }
    if (!has_root) {
        throw EServerOptionError("--root is required");
    }
    if ((options.fault == ServerFault::kRedirect) != !options.redirect_to.empty()) {
        throw EServerOptionError("--fault redirect and --redirect-to go together");
    }
    return options;
}

}  // namespace px3
