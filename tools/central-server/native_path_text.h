#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace px3 {

// A path as the bytes the system's programs use for it: on Windows in the ANSI code page, elsewhere
// the bytes stored in the file system.
std::string PathToNativeText(const std::filesystem::path& path);

// The path named by such bytes.
std::filesystem::path PathFromNativeText(std::string_view text);

}  // namespace px3
