#include "base/text.h"
#include "params/bcd_text.h"
#include "params/date_time_text.h"
#include "params/number_text.h"
#include "params/param_item.h"

// Reading and writing an item as a whole: through Variant, and from text.

namespace px3 {

Variant TParamItem::Value() const {
    if (is_null_) {
        return Variant::Null();
    }
    switch (data_type_) {
        case TFieldType::ftString:
        case TFieldType::ftFixedChar:
        case TFieldType::ftWideString:
        case TFieldType::ftGuid:
        case TFieldType::ftBlob:
        case TFieldType::ftMemo:
        case TFieldType::ftOraBlob:
        case TFieldType::ftOraClob:
            return AsString();
        case TFieldType::ftSmallint:
            return AsSmallint();
        case TFieldType::ftInteger:
        case TFieldType::ftAutoInc:
        case TFieldType::ftIDispatch:
            return AsInteger();
        case TFieldType::ftWord:
            return AsWord();
        case TFieldType::ftBoolean:
            return AsBoolean();
        case TFieldType::ftFloat:
            return AsFloat();
        case TFieldType::ftCurrency:
            return AsCurrency();
        case TFieldType::ftBCD:
            return AsBCD();
        case TFieldType::ftDate:
        case TFieldType::ftTime:
        case TFieldType::ftDateTime:
            return DateTime{AsDateTime()};
        case TFieldType::ftBytes:
        case TFieldType::ftVarBytes:
            return ByteArray{raw_value_};
        case TFieldType::ftLargeint:
            return AsLargeInt();
        case TFieldType::ftTimeStamp:
            return AsSQLTimeStamp();
        case TFieldType::ftFMTBcd:
            return AsFMTBCD();
        default:
            return Variant::Null();
    }
}

void TParamItem::SetValue(const Variant& value) {
    using Kind = Variant::Kind;
    switch (value.GetKind()) {
        case Kind::Null:
            Clear();
            break;
        case Kind::Int8:
        case Kind::UInt8:
        case Kind::Int16:
            if (data_type_ == TFieldType::ftInteger) {
                SetAsInteger(value.ToInt32());
            } else {
                SetAsSmallint(value.ToInt32());
            }
            break;
        case Kind::Int32:
            SetAsInteger(*value.Get<int32_t>());
            break;
        case Kind::Single:
        case Kind::Double:
            SetAsFloat(value.ToDouble());
            break;
        case Kind::Currency:
            SetAsCurrency(*value.Get<Currency>());
            break;
        case Kind::DateTime:
            SetAsDateTime(value.Get<DateTime>()->Days);
            break;
        case Kind::Text:
            SetAsString(*value.Get<std::string>());
            break;
        case Kind::Dispatch:
            SetAsIDispatch(value.Get<DispatchRef>()->Address);
            break;
        case Kind::Boolean:
            SetAsBoolean(*value.Get<bool>());
            break;
        case Kind::UInt16:
            SetAsWord(*value.Get<uint16_t>());
            break;
        case Kind::UInt32:
        case Kind::Int64:
            SetAsLargeInt(value.ToInt64());
            break;
        case Kind::FmtBcd:
            SetAsFMTBCD(*value.Get<FmtBcd>());
            break;
        case Kind::SqlTimeStamp:
            SetAsSQLTimeStamp(*value.Get<SqlTimeStamp>());
            break;
        case Kind::ByteArray:
            raw_value_ = value.Get<ByteArray>()->Bytes;
            if (data_type_ != TFieldType::ftBytes && data_type_ != TFieldType::ftVarBytes) {
                data_type_ = TFieldType::ftBytes;
            }
            is_null_ = false;
            break;
        default:
            data_type_ = TFieldType::ftUnknown;
            Clear();
            break;
    }
}

void TParamItem::SetAsText(std::string_view text) {
    if (data_type_ == TFieldType::ftUnknown) {
        data_type_ = TFieldType::ftString;
    }
    Clear();
    if (text.empty()) {
        return;
    }
    // Stores the parsed value, or fails when the text did not parse.
    auto store = [this](const auto& parsed, auto setter) {
        if (!parsed) {
            throw Exception("Unable to call SetAsText for " + name_);
        }
        setter(*parsed);
    };
    switch (data_type_) {
        case TFieldType::ftString:
        case TFieldType::ftBytes:
        case TFieldType::ftVarBytes:
        case TFieldType::ftFixedChar:
        case TFieldType::ftWideString:
        case TFieldType::ftGuid:
            SetAsString(text);
            break;
        case TFieldType::ftSmallint:
            store(TryStrToInt(text), [this](int32_t v) { SetAsSmallint(v); });
            break;
        case TFieldType::ftInteger:
        case TFieldType::ftAutoInc:
            store(TryStrToInt(text), [this](int32_t v) { SetAsInteger(v); });
            break;
        case TFieldType::ftWord:
            store(TryStrToInt(text), [this](int32_t v) { SetAsWord(v); });
            break;
        case TFieldType::ftLargeint:
            store(TryStrToInt64(text), [this](int64_t v) { SetAsLargeInt(v); });
            break;
        case TFieldType::ftBoolean:
            SetAsBoolean(UpperCaseAscii(Trim(text)) == "TRUE");
            break;
        case TFieldType::ftFloat:
            store(TextToFloat(text), [this](double v) { SetAsFloat(v); });
            break;
        case TFieldType::ftCurrency:
            store(TextToCurrency(text), [this](Currency v) { SetAsCurrency(v); });
            break;
        case TFieldType::ftBCD:
            store(TextToCurrency(text), [this](Currency v) { SetAsBCD(v); });
            break;
        case TFieldType::ftDate:
            store(TextToDate(text), [this](double v) { SetAsDate(v); });
            break;
        case TFieldType::ftTime:
            store(TextToTime(text), [this](double v) { SetAsTime(v); });
            break;
        case TFieldType::ftDateTime:
            store(TextToDateTime(text), [this](double v) { SetAsDateTime(v); });
            break;
        case TFieldType::ftBlob:
            SetAsBlob(text);
            break;
        case TFieldType::ftMemo:
            SetAsMemo(text);
            break;
        case TFieldType::ftOraBlob:
            SetAsBlob(text);
            data_type_ = TFieldType::ftOraBlob;
            break;
        case TFieldType::ftOraClob:
            SetAsMemo(text);
            data_type_ = TFieldType::ftOraClob;
            break;
        case TFieldType::ftTimeStamp:
            store(TextToTimeStamp(text), [this](const SqlTimeStamp& v) { SetAsSQLTimeStamp(v); });
            break;
        case TFieldType::ftFMTBcd:
            store(TextToBcd(text), [this](const FmtBcd& v) { SetAsFMTBCD(v); });
            break;
        default:
            break;
    }
}

}  // namespace px3
