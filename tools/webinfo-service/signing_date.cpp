#include "webinfo-service/signing_date.h"

namespace px3 {

namespace {

// The value of count decimal digits at text[at], or -1.
int Digits(std::string_view text, size_t at, size_t count) {
    int value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return -1;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(int year, int month, int day) {
    const std::int64_t y = month <= 2 ? year - 1 : year;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::int64_t SecondsSinceEpoch(const LocalDateTime& moment) {
    return DaysFromCivil(moment.year, moment.month, moment.day) * 86400 + moment.hour * 3600 +
           moment.minute * 60 + moment.second;
}

}  // namespace

std::optional<LocalDateTime> ParseSigningDate(std::string_view text) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ') {
        return std::nullopt;
    }
    LocalDateTime moment;
    moment.year = Digits(text, 0, 4);
    moment.month = Digits(text, 5, 2);
    moment.day = Digits(text, 8, 2);
    moment.hour = Digits(text, 11, 2);
    moment.minute = Digits(text, 14, 2);
    moment.second = Digits(text, 17, 2);
    if (moment.year < 1 || moment.month < 1 || moment.month > 12 || moment.day < 1 ||
        moment.day > DaysInMonth(moment.year, moment.month) || moment.hour < 0 ||
        moment.hour > 23 || moment.minute < 0 || moment.minute > 59 || moment.second < 0 ||
        moment.second > 59) {
        return std::nullopt;
    }
    return moment;
}

std::int64_t SecondsBetween(const LocalDateTime& a, const LocalDateTime& b) {
    return SecondsSinceEpoch(b) - SecondsSinceEpoch(a);
}

}  // namespace px3
