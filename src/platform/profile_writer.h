#pragma once

#include <string>
#include <string_view>

namespace px3 {

// Writes keys of INI files: creates the file and the section on first use, replaces the value of
// an existing key in place and leaves every other line of the file as it was. Section and key
// names match without regard to letter case.
class ProfileWriter {
  public:
    virtual ~ProfileWriter() = default;

    // Fails with Exception "Unable to write to PATH".
    virtual void WriteString(const std::string& path, std::string_view section,
                             std::string_view key, std::string_view value) = 0;
};

// The system's INI writer.
ProfileWriter& SystemProfileWriter();

}  // namespace px3
