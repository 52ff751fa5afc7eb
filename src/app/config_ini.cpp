#include "app/config_ini.h"

#include "base/exception.h"

namespace px3 {

namespace {

#ifdef _WIN32
constexpr char kPathDelimiter = '\\';
#else
constexpr char kPathDelimiter = '/';
#endif

std::string ConfigIniPath(std::string_view folder) {
    std::string path(folder);
    if (!path.empty() && path.back() != '/' && path.back() != '\\') {
        path += kPathDelimiter;
    }
    return path + "Config.ini";
}

}  // namespace

TConfigIni::TConfigIni(ProfileWriter& writer, std::string_view toolFolder)
    : writer_(writer), path_(ConfigIniPath(toolFolder)) {}

void TConfigIni::WriteReg5(std::string_view encipheredAddress) {
    WriteBase("Reg5", encipheredAddress);
}

void TConfigIni::WriteLastConnectDateTime(std::string_view dateTime) {
    WriteBase("LastConnectDateTime", dateTime);
}

void TConfigIni::WriteBase(std::string_view key, std::string_view value) {
    // A line break would end the line early and smuggle further lines, even sections, into the
    // client's file; a zero byte would cut the value short.
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
        throw Exception("Not written to " + path_ + ": the value of " + std::string(key) +
                        " holds a line break or a zero byte");
    }
    writer_.WriteString(path_, "BASE", key, value);
}

}  // namespace px3
