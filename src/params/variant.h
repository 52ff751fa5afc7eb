#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "base/exception.h"
#include "params/value_types.h"

namespace px3 {

// A variant value that cannot be converted into the type asked for.
class EVariantTypeCastError : public Exception {
  public:
    using Exception::Exception;
};

// A tagged value: empty, null, text, a whole number of one of several widths, a boolean, a
// floating-point, currency or date-time value, a dispatch reference, a byte array, an SQL
// timestamp or a BCD number. Parameter items are read and written as a whole through it.
class Variant {
  public:
    // In the order of the alternatives held.
    enum class Kind : uint8_t {
        Empty,
        Null,
        Text,
        Int8,
        UInt8,
        Int16,
        UInt16,
        Int32,
        UInt32,
        Int64,
        Boolean,
        Single,
        Double,
        Currency,
        DateTime,
        Dispatch,
        ByteArray,
        SqlTimeStamp,
        FmtBcd,
    };

    struct NullValue {
        bool operator==(const NullValue&) const = default;
    };

    Variant() = default;
    static Variant Null() { return Variant(NullValue{}); }

    Variant(NullValue value) : value_(value) {}
    Variant(std::string value) : value_(std::move(value)) {}
    Variant(std::string_view value) : value_(std::string(value)) {}
    Variant(const char* value) : value_(std::string(value)) {}
    Variant(int8_t value) : value_(value) {}
    Variant(uint8_t value) : value_(value) {}
    Variant(int16_t value) : value_(value) {}
    Variant(uint16_t value) : value_(value) {}
    Variant(int32_t value) : value_(value) {}
    Variant(uint32_t value) : value_(value) {}
    Variant(int64_t value) : value_(value) {}
    Variant(bool value) : value_(value) {}
    Variant(float value) : value_(value) {}
    Variant(double value) : value_(value) {}
    Variant(px3::Currency value) : value_(value) {}
    Variant(px3::DateTime value) : value_(value) {}
    Variant(DispatchRef value) : value_(value) {}
    Variant(px3::ByteArray value) : value_(std::move(value)) {}
    Variant(SqlTimeStamp value) : value_(value) {}
    Variant(FmtBcd value) : value_(value) {}

    Kind GetKind() const { return static_cast<Kind>(value_.index()); }
    bool IsEmpty() const { return GetKind() == Kind::Empty; }
    bool IsNull() const { return GetKind() == Kind::Null; }

    // The name of the kind held, as conversion errors show it.
    const char* TypeName() const;

    // The value held when it is of type T, else nullptr.
    template <typename T>
    const T* Get() const {
        return std::get_if<T>(&value_);
    }

    // Conversions; each raises EVariantTypeCastError
    // "Could not convert variant of type (KIND) into type (TARGET)" when it cannot be made.
    // Empty converts to zero, false or empty text; null converts to nothing. Fractions round to
    // the nearest whole number, halves to even; true converts to 1.
    int32_t ToInt32() const;
    int64_t ToInt64() const;
    bool ToBoolean() const;
    double ToDouble() const;
    px3::Currency ToCurrency() const;
    double ToDateTime() const;
    std::string ToText() const;
    SqlTimeStamp ToSqlTimeStamp() const;
    FmtBcd ToFmtBcd() const;

    bool operator==(const Variant&) const = default;

  private:
    std::variant<std::monostate, NullValue, std::string, int8_t, uint8_t, int16_t, uint16_t,
                 int32_t, uint32_t, int64_t, bool, float, double, px3::Currency, px3::DateTime,
                 DispatchRef, px3::ByteArray, SqlTimeStamp, FmtBcd>
        value_;
};

}  // namespace px3
