#pragma once

// The session's Chinese texts as the user must see them (GBK bytes), written down apart from the
// session's own text table.
namespace px3::expected {

extern const char kLoginRefused[];
extern const char kConnectionRefused[];
extern const char kHostUnreachable[];
extern const char kMaintenanceUser[];

}  // namespace px3::expected
