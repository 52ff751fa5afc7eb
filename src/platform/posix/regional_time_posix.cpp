#include <time.h>

#include "platform/regional_time.h"

namespace px3 {

LocalDateTime CurrentLocalDateTime() {
    const time_t now = time(nullptr);
    struct tm parts {};
    localtime_r(&now, &parts);
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
            parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

std::string RegionalTimeSeparator() {
    return ":";
}

}  // namespace px3
