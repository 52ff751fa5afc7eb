#include <windows.h>

#include "platform/collation.h"

namespace px3 {

int CompareTextIgnoreCase(std::string_view a, std::string_view b) {
    const int result =
        CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                       b.data(), static_cast<int>(b.size()));
    return result - CSTR_EQUAL;
}

}  // namespace px3
