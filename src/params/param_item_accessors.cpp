#include <cstdint>

#include "base/text.h"
#include "params/param_item.h"
#include "params/stored_forms.h"

// The typed getters and setters of TParamItem. A getter gives the zero of its type for a null
// item, reads RawValue directly for the types stored in its own form, and converts Value for
// every other type.

namespace px3 {

namespace {

constexpr size_t kGuidTextLength = 38;
constexpr const char* kZeroGuid = "{00000000-0000-0000-0000-000000000000}";

// The numeric text rule: a whole 32-bit integer, anything else reads as 0.
int32_t NumericText(const std::string& text) {
    return StrToIntDef(text, 0);
}

}  // namespace

std::string TParamItem::AsString() const {
    if (is_null_) {
        return data_type_ == TFieldType::ftGuid ? kZeroGuid : "";
    }
    switch (data_type_) {
        case TFieldType::ftString:
        case TFieldType::ftBytes:
        case TFieldType::ftVarBytes:
        case TFieldType::ftBlob:
        case TFieldType::ftMemo:
        case TFieldType::ftFixedChar:
        case TFieldType::ftWideString:
        case TFieldType::ftOraBlob:
        case TFieldType::ftOraClob:
        case TFieldType::ftGuid:
            return raw_value_;
        default:
            return Value().ToText();
    }
}

void TParamItem::SetAsString(std::string_view text) {
    StoreText(text, TFieldType::ftString);
}

void TParamItem::SetAsMemo(std::string_view text) {
    StoreText(text, TFieldType::ftMemo);
}

void TParamItem::SetAsBlob(std::string_view bytes) {
    StoreText(bytes, TFieldType::ftBlob);
}

void TParamItem::SetAsGUID(std::string_view text) {
    Store(std::string(text), TFieldType::ftGuid);
    if (text.size() != kGuidTextLength) {
        Clear();
    }
}

bool TParamItem::AsBoolean() const {
    if (is_null_) {
        return false;
    }
    if (data_type_ == TFieldType::ftBoolean) {
        return SameText(raw_value_, "True");
    }
    return Value().ToBoolean();
}

void TParamItem::SetAsBoolean(bool value) {
    Store(value ? "True" : "False", TFieldType::ftBoolean);
}

int16_t TParamItem::AsSmallint() const {
    if (is_null_) {
        return 0;
    }
    if (data_type_ == TFieldType::ftSmallint) {
        return static_cast<int16_t>(NumericText(raw_value_));
    }
    return static_cast<int16_t>(Value().ToInt32());
}

void TParamItem::SetAsSmallint(int32_t value) {
    Store(IntToStr(static_cast<int16_t>(value)), TFieldType::ftSmallint);
}

uint16_t TParamItem::AsWord() const {
    if (is_null_) {
        return 0;
    }
    if (data_type_ == TFieldType::ftWord) {
        return static_cast<uint16_t>(NumericText(raw_value_));
    }
    return static_cast<uint16_t>(Value().ToInt32());
}

void TParamItem::SetAsWord(int32_t value) {
    Store(IntToStr(static_cast<uint16_t>(value)), TFieldType::ftWord);
}

int32_t TParamItem::AsInteger() const {
    if (is_null_) {
        return 0;
    }
    switch (data_type_) {
        case TFieldType::ftInteger:
        case TFieldType::ftAutoInc:
        case TFieldType::ftLargeint:
        // Read directly too: its Value is AsInteger, so converting Value would never end.
        case TFieldType::ftIDispatch:
            return NumericText(raw_value_);
        default:
            return Value().ToInt32();
    }
}

void TParamItem::SetAsInteger(int32_t value) {
    Store(IntToStr(value), TFieldType::ftInteger);
}

int64_t TParamItem::AsLargeInt() const {
    if (is_null_) {
        return 0;
    }
    if (data_type_ == TFieldType::ftLargeint) {
        return TryStrToInt64(raw_value_).value_or(0);
    }
    return Value().ToInt64();
}

void TParamItem::SetAsLargeInt(int64_t value) {
    Store(IntToStr(value), TFieldType::ftLargeint);
}

double TParamItem::AsFloat() const {
    if (is_null_) {
        return 0;
    }
    if (data_type_ == TFieldType::ftFloat) {
        return DecodeFloat(raw_value_);
    }
    return Value().ToDouble();
}

void TParamItem::SetAsFloat(double value) {
    Store(EncodeFloat(value), TFieldType::ftFloat);
}

double TParamItem::AsDateTime() const {
    if (is_null_) {
        return 0;
    }
    switch (data_type_) {
        case TFieldType::ftDate:
        case TFieldType::ftTime:
        case TFieldType::ftDateTime:
            return DecodeFloat(raw_value_);
        case TFieldType::ftTimeStamp:
            return Variant(AsSQLTimeStamp()).ToDateTime();
        default:
            return Value().ToDateTime();
    }
}

void TParamItem::SetAsDate(double days) {
    Store(EncodeFloat(days), TFieldType::ftDate);
}

void TParamItem::SetAsTime(double days) {
    Store(EncodeFloat(days), TFieldType::ftTime);
}

void TParamItem::SetAsDateTime(double days) {
    Store(EncodeFloat(days), TFieldType::ftDateTime);
}

Currency TParamItem::AsCurrency() const {
    if (is_null_) {
        return {};
    }
    if (data_type_ == TFieldType::ftCurrency) {
        return DecodeCurrency(raw_value_);
    }
    return Value().ToCurrency();
}

void TParamItem::SetAsCurrency(Currency value) {
    Store(EncodeCurrency(value), TFieldType::ftCurrency);
}

Currency TParamItem::AsBCD() const {
    if (is_null_) {
        return {};
    }
    if (data_type_ == TFieldType::ftBCD) {
        return DecodeCurrency(raw_value_);
    }
    return Value().ToCurrency();
}

void TParamItem::SetAsBCD(Currency value) {
    Store(EncodeCurrency(value), TFieldType::ftBCD);
}

SqlTimeStamp TParamItem::AsSQLTimeStamp() const {
    if (is_null_) {
        return {};
    }
    if (data_type_ == TFieldType::ftTimeStamp) {
        return DecodeTimeStamp(raw_value_);
    }
    return Value().ToSqlTimeStamp();
}

void TParamItem::SetAsSQLTimeStamp(const SqlTimeStamp& value) {
    Store(EncodeTimeStamp(value), TFieldType::ftTimeStamp);
}

FmtBcd TParamItem::AsFMTBCD() const {
    if (is_null_) {
        return {};
    }
    if (data_type_ == TFieldType::ftFMTBcd) {
        return DecodeFmtBcd(raw_value_);
    }
    return Value().ToFmtBcd();
}

void TParamItem::SetAsFMTBCD(const FmtBcd& value) {
    Store(EncodeFmtBcd(value), TFieldType::ftFMTBcd);
}

void TParamItem::SetAsIDispatch(const void* reference) {
    SetAsInteger(static_cast<int32_t>(reinterpret_cast<uintptr_t>(reference)));
    data_type_ = TFieldType::ftIDispatch;
}

}  // namespace px3
