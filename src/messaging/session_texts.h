#pragma once

// User-visible Chinese texts of the server session, as GBK bytes.
namespace px3::texts {

// Shown when the server refuses the login.
extern const char kLoginRefused[];
// Socket errors 10061 and 10065, completed with the address and port where they are shown.
extern const char kConnectionRefused[];
extern const char kHostUnreachable[];

}  // namespace px3::texts
