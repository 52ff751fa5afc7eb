#include "central-server/native_path_text.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace px3 {

#ifdef _WIN32

std::string PathToNativeText(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    if (wide.empty()) {
        return {};
    }
    const int wide_length = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wide_length, text.data(), length, nullptr, nullptr);
    return text;
}

std::filesystem::path PathFromNativeText(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int text_length = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), text_length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), text_length, wide.data(), length);
    return std::filesystem::path(wide);
}

#else

std::string PathToNativeText(const std::filesystem::path& path) {
    return path.native();
}

std::filesystem::path PathFromNativeText(std::string_view text) {
    return std::filesystem::path(std::string(text));
}

#endif

}  // namespace px3
