#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "params/value_types.h"

namespace px3 {

// Date-time values (days since 30 December 1899) and SQL timestamps, converted between each
// other and to and from one fixed text form: "YYYY-MM-DD", "HH:MM:SS" or "YYYY-MM-DD HH:MM:SS",
// with ".mmm" after the seconds when there are milliseconds. Years run from 1 to 9999.

// A date-time as text: the date alone at midnight, the time alone on day 0 (30 December 1899,
// unless midnight), both otherwise. Nothing for values outside the year range.
std::optional<std::string> DateTimeToText(double days);

// Readers of the text form, each accepting blanks around it: a date "Y-M-D", a time
// "H:M[:S[.f]]", or either or both (date first, blanks between).
std::optional<double> TextToDate(std::string_view text);
std::optional<double> TextToTime(std::string_view text);
std::optional<double> TextToDateTime(std::string_view text);

// The all-zero record converts to 0; a record naming no valid date and time gives nothing.
std::optional<double> TimeStampToDateTime(const SqlTimeStamp& stamp);
std::optional<SqlTimeStamp> DateTimeToTimeStamp(double days);

// Always "YYYY-MM-DD HH:MM:SS" with ".mmm" when Fractions is not 0; fields are not checked.
std::string TimeStampToText(const SqlTimeStamp& stamp);
std::optional<SqlTimeStamp> TextToTimeStamp(std::string_view text);

}  // namespace px3
