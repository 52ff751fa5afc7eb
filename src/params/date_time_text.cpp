#include "params/date_time_text.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "base/text.h"

namespace px3 {

namespace {

constexpr int64_t kMillisecondsPerDay = 86'400'000;
// Days from 1 January 1970 back to 30 December 1899, the day numbered 0.
constexpr int64_t kEpochOffset = 25'569;

struct Parts {
    int Year = 1899;
    int Month = 12;
    int Day = 30;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0;
};

// Day number of a date in the proleptic Gregorian calendar, 0 on 30 December 1899.
int64_t DayNumber(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468 + kEpochOffset;
}

void SetDate(int64_t dayNumber, Parts& parts) {
    const int64_t z = dayNumber - kEpochOffset + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    parts.Day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    parts.Month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    parts.Year = static_cast<int>(yearOfEra + era * 400 + (parts.Month <= 2 ? 1 : 0));
}

bool IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

bool IsValidDate(int year, int month, int day) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) {
        return false;
    }
    return day <= kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool IsValidTime(const Parts& p) {
    return p.Hour >= 0 && p.Hour < 24 && p.Minute >= 0 && p.Minute < 60 && p.Second >= 0 &&
           p.Second < 60 && p.Millisecond >= 0 && p.Millisecond < 1000;
}

// Splits a date-time value. For days before day 0 the fraction still counts forward from
// midnight: -1.25 is 29 December 1899, 06:00.
std::optional<Parts> Split(double days) {
    if (!std::isfinite(days) || days < -693594.0 || days >= 2958466.0) {
        return std::nullopt;
    }
    int64_t day = static_cast<int64_t>(std::trunc(days));
    int64_t ms = std::llround(std::fabs(days - static_cast<double>(day)) * kMillisecondsPerDay);
    if (ms >= kMillisecondsPerDay) {
        ms -= kMillisecondsPerDay;
        ++day;
    }
    Parts parts;
    SetDate(day, parts);
    if (parts.Year < 1 || parts.Year > 9999) {
        return std::nullopt;
    }
    parts.Hour = static_cast<int>(ms / 3'600'000);
    parts.Minute = static_cast<int>(ms / 60'000 % 60);
    parts.Second = static_cast<int>(ms / 1000 % 60);
    parts.Millisecond = static_cast<int>(ms % 1000);
    return parts;
}

double Join(const Parts& p) {
    const int64_t day = DayNumber(p.Year, p.Month, p.Day);
    const double time =
        static_cast<double>(((p.Hour * 60 + p.Minute) * 60 + p.Second) * 1000 + p.Millisecond) /
        kMillisecondsPerDay;
    return day < 0 ? static_cast<double>(day) - time : static_cast<double>(day) + time;
}

// Reads 1 to maxDigits decimal digits at pos.
bool ReadNumber(std::string_view text, size_t& pos, size_t maxDigits, int& value) {
    size_t count = 0;
    value = 0;
    while (pos < text.size() && count < maxDigits && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++count;
    }
    return count > 0;
}

bool Expect(std::string_view text, size_t& pos, char c) {
    if (pos < text.size() && text[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

bool ReadDate(std::string_view text, size_t& pos, Parts& p) {
    return ReadNumber(text, pos, 4, p.Year) && Expect(text, pos, '-') &&
           ReadNumber(text, pos, 2, p.Month) && Expect(text, pos, '-') &&
           ReadNumber(text, pos, 2, p.Day) && IsValidDate(p.Year, p.Month, p.Day);
}

bool ReadTime(std::string_view text, size_t& pos, Parts& p) {
    if (!ReadNumber(text, pos, 2, p.Hour) || !Expect(text, pos, ':') ||
        !ReadNumber(text, pos, 2, p.Minute)) {
        return false;
    }
    if (Expect(text, pos, ':')) {
        if (!ReadNumber(text, pos, 2, p.Second)) {
            return false;
        }
        if (Expect(text, pos, '.')) {
            const size_t start = pos;
            if (!ReadNumber(text, pos, 3, p.Millisecond)) {
                return false;
            }
            for (size_t digits = pos - start; digits < 3; ++digits) {
                p.Millisecond *= 10;
            }
        }
    }
    return IsValidTime(p);
}

enum class Form { Date, Time, Any };

// Reads the whole text in the given form; a bare date or time leaves the other half at day 0
// or midnight.
std::optional<Parts> ReadParts(std::string_view text, Form form) {
    text = Trim(text);
    Parts parts;
    size_t pos = 0;
    const bool looksLikeTime =
        text.find(':') != std::string_view::npos && text.find('-') == std::string_view::npos;
    bool ok = false;
    if (form == Form::Time || (form == Form::Any && looksLikeTime)) {
        ok = ReadTime(text, pos, parts);
    } else {
        ok = ReadDate(text, pos, parts);
        if (ok && form == Form::Any && pos < text.size()) {
            const size_t dateEnd = pos;
            while (pos < text.size() && text[pos] == ' ') {
                ++pos;
            }
            ok = pos > dateEnd && ReadTime(text, pos, parts);
        }
    }
    if (!ok || pos != text.size()) {
        return std::nullopt;
    }
    return parts;
}

std::optional<double> ReadDateTime(std::string_view text, Form form) {
    if (auto parts = ReadParts(text, form)) {
        return Join(*parts);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> DateTimeToText(double days) {
    auto p = Split(days);
    if (!p) {
        return std::nullopt;
    }
    char buffer[48];
    std::string text;
    const bool midnight = p->Hour == 0 && p->Minute == 0 && p->Second == 0 && p->Millisecond == 0;
    const bool dayZero = p->Year == 1899 && p->Month == 12 && p->Day == 30;
    if (midnight || !dayZero) {
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", p->Year, p->Month, p->Day);
        text = buffer;
    }
    if (!midnight) {
        std::snprintf(buffer, sizeof buffer, "%s%02d:%02d:%02d", text.empty() ? "" : " ", p->Hour,
                      p->Minute, p->Second);
        text += buffer;
        if (p->Millisecond != 0) {
            std::snprintf(buffer, sizeof buffer, ".%03d", p->Millisecond);
            text += buffer;
        }
    }
    return text;
}

std::optional<double> TextToDate(std::string_view text) {
    return ReadDateTime(text, Form::Date);
}

std::optional<double> TextToTime(std::string_view text) {
    return ReadDateTime(text, Form::Time);
}

std::optional<double> TextToDateTime(std::string_view text) {
    return ReadDateTime(text, Form::Any);
}

std::optional<double> TimeStampToDateTime(const SqlTimeStamp& stamp) {
    if (stamp == SqlTimeStamp{}) {
        return 0.0;
    }
    Parts p{stamp.Year, stamp.Month, stamp.Day, stamp.Hour, stamp.Minute, stamp.Second, 0};
    if (stamp.Fractions >= 1000 || !IsValidDate(p.Year, p.Month, p.Day) || !IsValidTime(p)) {
        return std::nullopt;
    }
    p.Millisecond = static_cast<int>(stamp.Fractions);
    return Join(p);
}

std::optional<SqlTimeStamp> DateTimeToTimeStamp(double days) {
    auto p = Split(days);
    if (!p) {
        return std::nullopt;
    }
    return SqlTimeStamp{static_cast<int16_t>(p->Year),        static_cast<uint16_t>(p->Month),
                        static_cast<uint16_t>(p->Day),        static_cast<uint16_t>(p->Hour),
                        static_cast<uint16_t>(p->Minute),     static_cast<uint16_t>(p->Second),
                        static_cast<uint32_t>(p->Millisecond)};
}

std::string TimeStampToText(const SqlTimeStamp& stamp) {
    char buffer[80];
    std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u %02u:%02u:%02u", stamp.Year, stamp.Month,
                  stamp.Day, stamp.Hour, stamp.Minute, stamp.Second);
    std::string text = buffer;
    if (stamp.Fractions != 0) {
        std::snprintf(buffer, sizeof buffer, ".%03u", static_cast<unsigned>(stamp.Fractions));
        text += buffer;
    }
    return text;
}

std::optional<SqlTimeStamp> TextToTimeStamp(std::string_view text) {
    auto p = ReadParts(text, Form::Any);
    if (!p) {
        return std::nullopt;
    }
    return SqlTimeStamp{static_cast<int16_t>(p->Year),        static_cast<uint16_t>(p->Month),
                        static_cast<uint16_t>(p->Day),        static_cast<uint16_t>(p->Hour),
                        static_cast<uint16_t>(p->Minute),     static_cast<uint16_t>(p->Second),
                        static_cast<uint32_t>(p->Millisecond)};
}

}  // namespace px3
