#pragma once

#include <cstdint>

namespace px3 {

// ctBlocking runs each coded request over a connection of its own.
enum TClientType : uint8_t { ctNonBlocking, ctBlocking };

// How the session logs in once connected; the value is sent as the login's first field.
enum TLoginType : uint8_t { ltNoChallenge, ltLoginNoDlg, ltLoginDlg };

// Flags of SQLErrorHandling.
enum TSQLErrorHandling : uint8_t {
    seAsExceptions = 1,
    seNoExceptionOnDisconnect = 2,
    seSocketErrorNoException = 4,
    seRouteCookieErrorsToLogin = 8,
};

}  // namespace px3
