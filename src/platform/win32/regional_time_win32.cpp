#include <windows.h>

#include "platform/regional_time.h"

namespace px3 {

LocalDateTime CurrentLocalDateTime() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::string RegionalTimeSeparator() {
    char separator[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIME, separator, sizeof separator) < 2) {
        return ":";
    }
    return std::string(1, separator[0]);
}

}  // namespace px3
