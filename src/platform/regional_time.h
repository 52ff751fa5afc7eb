#pragma once

#include <string>

namespace px3 {

// A moment on the computer's clock in its own time zone.
struct LocalDateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

LocalDateTime CurrentLocalDateTime();

// The time separator of the user's regional settings (":" where none is set).
std::string RegionalTimeSeparator();

}  // namespace px3
