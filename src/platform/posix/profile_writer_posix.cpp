#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "base/exception.h"
#include "platform/posix/ini_text.h"
#include "platform/profile_writer.h"

namespace px3 {

namespace {

// The whole file, an empty text when it does not exist, nothing when it exists but cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return error ? std::nullopt : std::optional<std::string>(std::string());
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return std::nullopt;
    }
    return text;
}

// Writes the new text beside the file and renames it over the file, so that a failed write leaves
// the old file whole.
bool ReplaceFile(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out || !out.write(text.data(), static_cast<std::streamsize>(text.size())) ||
            !out.flush()) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

class PosixProfileWriter : public ProfileWriter {
  public:
    void WriteString(const std::string& path, std::string_view section, std::string_view key,
                     std::string_view value) override {
        const std::optional<std::string> text = ReadWholeFile(path);
        if (!text || !ReplaceFile(path, SetIniValue(*text, section, key, value))) {
            throw Exception("Unable to write to " + path);
        }
    }
};

}  // namespace

ProfileWriter& SystemProfileWriter() {
    static PosixProfileWriter writer;
    return writer;
}

}  // namespace px3
