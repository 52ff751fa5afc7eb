#pragma once

namespace px3 {

// Starts Windows Sockets once for the whole process (it stays started until the process ends).
void EnsureWinsock();

}  // namespace px3
