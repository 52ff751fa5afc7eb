#pragma once

#include <string>
#include <string_view>

#include "platform/profile_writer.h"

namespace px3 {

// The client's local configuration file Config.ini in the tool's folder. The tool only writes the
// keys of section BASE that record the server another program last reached. A value holding a
// line break or a zero byte is refused with Exception, the file left as it was.
class TConfigIni {
  public:
    TConfigIni(ProfileWriter& writer, std::string_view toolFolder);

    const std::string& Path() const { return path_; }

    // The enciphered address of the server last reached.
    void WriteReg5(std::string_view encipheredAddress);

    // The time of that connection, as the reporting program sent it.
    void WriteLastConnectDateTime(std::string_view dateTime);

  private:
    void WriteBase(std::string_view key, std::string_view value);

    ProfileWriter& writer_;
    std::string path_;
};

}  // namespace px3
