#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace px3 {

// The NetType values of the connection settings.
inline constexpr int kNetTypeLocal = 0;
inline constexpr int kNetTypeInternet = 1;

// Alternates the IP lookups over the Internet between the server's usual and its spare address.
// Its owner keeps it for the program's life; it starts at -1 and is never reset.
class SpareAddressSwitch {
  public:
    // Moves on to the next lookup: true when that one asks for the spare address.
    bool Advance() {
        value_ = (value_ + 1) % 2;
        return value_ == 1;
    }
    int Value() const { return value_; }

  private:
    int value_ = -1;
};

// What the lookup is asked for: the connection settings' net type and server name, and the
// machine's device serial.
struct ServerIpLookupInput {
    int NetType = kNetTypeLocal;
    std::string ServerName;
    std::string DeviceSerial;
};

struct ServerIpLookupResult {
    bool Succeeded = false;
    // On a local network Server is the server name, the host name to connect to; over the
    // Internet it is the address the web information service gave (possibly empty).
    bool IsHostName = false;
    std::string Server;
};

// The IP lookup password: the server name followed by the digits in reverse order.
std::string LookupPassword(std::string_view serverName, std::string_view passwordDigits);

// The URL that asks the service at baseAddress for the server's address; values are inserted
// as they are, without percent-encoding.
std::string ServerIpLookupUrl(std::string_view baseAddress, const ServerIpLookupInput& input,
                              std::string_view passwordDigits, bool spare);

// The server address a lookup's payload gives: AsText of the member "ipaddress" (its name compared
// ignoring ASCII case) of a JSON object. Nothing for an empty payload, one that is not a JSON
// object, one without that member or with an object or array in it. Never raises.
std::optional<std::string> LookupAddressOf(std::string_view payload);

// Finds the server to connect to. A local network (NetType 0) needs no request: the server name
// is the host name. Any other net type asks the web information service through WebInfoRequest,
// advancing spareSwitch first, and takes LookupAddressOf its payload; without one the lookup
// fails. Never raises.
ServerIpLookupResult ServerIpLookup(const ServerIpLookupInput& input,
                                    std::string_view serviceBaseAddress,
                                    std::string_view passwordDigits,
                                    SpareAddressSwitch& spareSwitch);

}  // namespace px3
