#include <windows.h>

#include "base/exception.h"
#include "platform/profile_writer.h"

namespace px3 {

namespace {

class Win32ProfileWriter : public ProfileWriter {
  public:
    void WriteString(const std::string& path, std::string_view section, std::string_view key,
                     std::string_view value) override {
        // A bare file name would land in the Windows folder; keep it in the current folder.
        const std::string file =
            path.find_first_of("\\/:") == std::string::npos ? ".\\" + path : path;
        if (!WritePrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                                        std::string(value).c_str(), file.c_str())) {
            throw Exception("Unable to write to " + path);
        }
    }
};

}  // namespace

ProfileWriter& SystemProfileWriter() {
    static Win32ProfileWriter writer;
    return writer;
}

}  // namespace px3
