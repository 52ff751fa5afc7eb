#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/event_loop.h"
#include "platform/ipv4_address.h"

namespace px3 {

// Resolves a host name to its first IPv4 address, blocking; a dotted address is taken as it
// stands. No value when the name cannot be resolved (or is empty).
std::optional<Ipv4Address> ResolveHostName(const std::string& name);

// Resolves host names without blocking: the lookup runs on a helper thread and its result
// arrives as an event of the target, never inside Start (a dotted address too).
class HostResolver {
  public:
    using Handler = std::function<void(std::optional<Ipv4Address>)>;

    HostResolver(NotificationTarget& target, Handler on_resolved);
    // A lookup still running is abandoned: its result is dropped.
    ~HostResolver();
    HostResolver(const HostResolver&) = delete;
    HostResolver& operator=(const HostResolver&) = delete;

    // Starts a lookup, abandoning one still running.
    void Start(const std::string& name);
    void Cancel();
    bool Busy() const;

    class Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace px3
