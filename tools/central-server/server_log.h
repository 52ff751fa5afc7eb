#pragma once

#include <ostream>
#include <string_view>

namespace px3 {

// The server's report: one line per event, flushed at once so that a program reading the
// server's output sees each line as it happens.
class ServerLog {
  public:
    explicit ServerLog(std::ostream& out) : out_(out) {}

    void Line(std::string_view text) { out_ << text << std::endl; }

  private:
    std::ostream& out_;
};

}  // namespace px3
