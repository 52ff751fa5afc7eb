#pragma once

// Chinese texts the integration tests expect (GBK bytes).
namespace px3::expected {

extern const char kServerUser[];
extern const char kRefusedLogin[];
extern const char kRefusedConnection[];

}  // namespace px3::expected
