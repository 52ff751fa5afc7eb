#include "params/variant.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "base/text.h"
#include "params/bcd_text.h"
#include "params/date_time_text.h"
#include "params/number_text.h"

namespace px3 {

namespace {

using Kind = Variant::Kind;

constexpr double kTwoTo63 = 9223372036854775808.0;

[[noreturn]] void Fail(const Variant& value, const char* target) {
    throw EVariantTypeCastError("Could not convert variant of type (" +
                                std::string(value.TypeName()) + ") into type (" + target + ")");
}

std::optional<int64_t> RoundToInt64(double value) {
    const double rounded = std::nearbyint(value);
    if (!std::isfinite(rounded) || rounded < -kTwoTo63 || rounded >= kTwoTo63) {
        return std::nullopt;
    }
    return static_cast<int64_t>(rounded);
}

std::optional<Currency> ScaleToCurrency(double value) {
    if (auto scaled = RoundToInt64(value * 10000.0)) {
        return Currency{*scaled};
    }
    return std::nullopt;
}

// Whole units of a currency amount, halves rounding to even.
int64_t CurrencyToWhole(Currency value) {
    int64_t whole = value.Scaled / 10000;
    const int64_t rest = value.Scaled % 10000;
    const int64_t step = rest < 0 ? -1 : 1;
    const int64_t half = rest < 0 ? -rest : rest;
    if (half > 5000 || (half == 5000 && whole % 2 != 0)) {
        whole += step;
    }
    return whole;
}

std::optional<int64_t> TextToWhole(std::string_view text) {
    if (auto whole = TryStrToInt64(text)) {
        return whole;
    }
    if (auto real = TextToFloat(text)) {
        return RoundToInt64(*real);
    }
    return std::nullopt;
}

std::optional<int64_t> WholeNumber(const Variant& v) {
    switch (v.GetKind()) {
        case Kind::Empty:
            return 0;
        case Kind::Text:
            return TextToWhole(*v.Get<std::string>());
        case Kind::Int8:
            return *v.Get<int8_t>();
        case Kind::UInt8:
            return *v.Get<uint8_t>();
        case Kind::Int16:
            return *v.Get<int16_t>();
        case Kind::UInt16:
            return *v.Get<uint16_t>();
        case Kind::Int32:
            return *v.Get<int32_t>();
        case Kind::UInt32:
            return *v.Get<uint32_t>();
        case Kind::Int64:
            return *v.Get<int64_t>();
        case Kind::Boolean:
            return *v.Get<bool>() ? 1 : 0;
        case Kind::Single:
            return RoundToInt64(*v.Get<float>());
        case Kind::Double:
            return RoundToInt64(*v.Get<double>());
        case Kind::Currency:
            return CurrencyToWhole(*v.Get<Currency>());
        case Kind::DateTime:
            return RoundToInt64(v.Get<DateTime>()->Days);
        case Kind::FmtBcd:
            if (auto text = BcdToText(*v.Get<FmtBcd>())) {
                return TextToWhole(*text);
            }
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

std::optional<double> RealNumber(const Variant& v) {
    switch (v.GetKind()) {
        case Kind::Text:
            return TextToFloat(*v.Get<std::string>());
        case Kind::Single:
            return *v.Get<float>();
        case Kind::Double:
            return *v.Get<double>();
        case Kind::Currency:
            return static_cast<double>(v.Get<Currency>()->Scaled) / 10000.0;
        case Kind::DateTime:
            return v.Get<DateTime>()->Days;
        case Kind::SqlTimeStamp:
            return TimeStampToDateTime(*v.Get<SqlTimeStamp>());
        case Kind::FmtBcd:
            if (auto text = BcdToText(*v.Get<FmtBcd>())) {
                return TextToFloat(*text);
            }
            return std::nullopt;
        default:
            if (auto whole = WholeNumber(v)) {
                return static_cast<double>(*whole);
            }
            return std::nullopt;
    }
}

std::optional<Currency> CurrencyValue(const Variant& v) {
    switch (v.GetKind()) {
        case Kind::Text:
            if (auto amount = TextToCurrency(*v.Get<std::string>())) {
                return amount;
            }
            if (auto real = TextToFloat(*v.Get<std::string>())) {
                return ScaleToCurrency(*real);
            }
            return std::nullopt;
        case Kind::Currency:
            return *v.Get<Currency>();
        case Kind::FmtBcd:
            if (auto text = BcdToText(*v.Get<FmtBcd>())) {
                return TextToCurrency(*text);
            }
            return std::nullopt;
        case Kind::Single:
        case Kind::Double:
        case Kind::DateTime:
        case Kind::SqlTimeStamp:
            if (auto real = RealNumber(v)) {
                return ScaleToCurrency(*real);
            }
            return std::nullopt;
        default:
            if (auto whole = WholeNumber(v)) {
                int64_t scaled = 0;
                if (!__builtin_mul_overflow(*whole, int64_t{10000}, &scaled)) {
                    return Currency{scaled};
                }
            }
            return std::nullopt;
    }
}

std::optional<std::string> TextOf(const Variant& v) {
    switch (v.GetKind()) {
        case Kind::Empty:
            return std::string();
        case Kind::Text:
            return *v.Get<std::string>();
        case Kind::Boolean:
            return std::string(*v.Get<bool>() ? "True" : "False");
        case Kind::Single:
            return FloatToText(*v.Get<float>());
        case Kind::Double:
            return FloatToText(*v.Get<double>());
        case Kind::Currency:
            return CurrencyToText(*v.Get<Currency>());
        case Kind::DateTime:
            return DateTimeToText(v.Get<DateTime>()->Days);
        case Kind::SqlTimeStamp:
            return TimeStampToText(*v.Get<SqlTimeStamp>());
        case Kind::FmtBcd:
            return BcdToText(*v.Get<FmtBcd>());
        case Kind::Int8:
        case Kind::UInt8:
        case Kind::Int16:
        case Kind::UInt16:
        case Kind::Int32:
        case Kind::UInt32:
        case Kind::Int64:
            return IntToStr(*WholeNumber(v));
        default:
            return std::nullopt;
    }
}

// Decimal text without exponent for the kinds a BCD number can be made from.
std::optional<std::string> PlainDecimalText(const Variant& v) {
    switch (v.GetKind()) {
        case Kind::Single:
        case Kind::Double: {
            char buffer[400];
            const double real = *RealNumber(v);
            auto [end, error] =
                std::to_chars(buffer, buffer + sizeof buffer, real, std::chars_format::fixed);
            if (error != std::errc()) {
                return std::nullopt;
            }
            return std::string(buffer, end);
        }
        case Kind::Text:
            return *v.Get<std::string>();
        case Kind::Currency:
            return CurrencyToText(*v.Get<Currency>());
        default:
            if (auto whole = WholeNumber(v)) {
                return IntToStr(*whole);
            }
            return std::nullopt;
    }
}

}  // namespace

const char* Variant::TypeName() const {
    static constexpr const char* kNames[] = {
        "Empty", "Null",     "String",        "Int8",         "UInt8",  "Int16",  "UInt16",
        "Int32", "UInt32",   "Int64",         "Boolean",      "Single", "Double", "Currency",
        "Date",  "Dispatch", "Array of Byte", "SqlTimeStamp", "FmtBcd",
    };
    return kNames[value_.index()];
}

int32_t Variant::ToInt32() const {
    auto whole = WholeNumber(*this);
    if (!whole || *whole < std::numeric_limits<int32_t>::min() ||
        *whole > std::numeric_limits<int32_t>::max()) {
        Fail(*this, "Int32");
    }
    return static_cast<int32_t>(*whole);
}

int64_t Variant::ToInt64() const {
    if (auto whole = WholeNumber(*this)) {
        return *whole;
    }
    Fail(*this, "Int64");
}

bool Variant::ToBoolean() const {
    if (const auto* text = Get<std::string>()) {
        if (SameText(Trim(*text), "True")) {
            return true;
        }
        if (SameText(Trim(*text), "False")) {
            return false;
        }
    }
    if (auto real = RealNumber(*this)) {
        return *real != 0;
    }
    Fail(*this, "Boolean");
}

double Variant::ToDouble() const {
    if (auto real = RealNumber(*this)) {
        return *real;
    }
    Fail(*this, "Double");
}

Currency Variant::ToCurrency() const {
    if (auto amount = CurrencyValue(*this)) {
        return *amount;
    }
    Fail(*this, "Currency");
}

double Variant::ToDateTime() const {
    std::optional<double> days =
        GetKind() == Kind::Text ? TextToDateTime(*Get<std::string>()) : RealNumber(*this);
    if (days) {
        return *days;
    }
    Fail(*this, "Date");
}

std::string Variant::ToText() const {
    if (auto text = TextOf(*this)) {
        return *text;
    }
    Fail(*this, "String");
}

SqlTimeStamp Variant::ToSqlTimeStamp() const {
    std::optional<SqlTimeStamp> stamp;
    if (const auto* own = Get<SqlTimeStamp>()) {
        stamp = *own;
    } else if (const auto* text = Get<std::string>()) {
        stamp = TextToTimeStamp(*text);
    } else if (auto days = RealNumber(*this)) {
        stamp = DateTimeToTimeStamp(*days);
    }
    if (stamp) {
        return *stamp;
    }
    Fail(*this, "SqlTimeStamp");
}

FmtBcd Variant::ToFmtBcd() const {
    if (const auto* own = Get<FmtBcd>()) {
        return *own;
    }
    if (auto text = PlainDecimalText(*this)) {
        if (auto bcd = TextToBcd(*text)) {
            return *bcd;
        }
    }
    Fail(*this, "FmtBcd");
}

}  // namespace px3
