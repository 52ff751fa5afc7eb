#include <cmath>
#include <cstdint>
#include <optional>

#include "base/text.h"
#include "web/json.h"
#include "web/json_escape.h"
#include "web/json_number.h"

namespace px3 {

namespace {

// The type a trimmed value text describes, or none when it is not a value. Only the first and
// last characters decide objects, arrays and strings.
std::optional<TJsonValueType> DetectType(std::string_view text) {
    if (text.size() < 2) {
        return TryStrToFloat(text) ? std::optional(jvNumber) : std::nullopt;
    }
    const char first = text.front();
    const char last = text.back();
    if (first == '{' && last == '}') {
        return jvObject;
    }
    if (first == '[' && last == ']') {
        return jvArray;
    }
    if (first == '"' && last == '"') {
        return jvString;
    }
    if (SameText(text, "null")) {
        return jvNull;
    }
    if (SameText(text, "true") || SameText(text, "false")) {
        return jvBoolean;
    }
    if (TryStrToFloat(text)) {
        return jvNumber;
    }
    return std::nullopt;
}

int32_t TruncateToInt32(long double number) {
    if (std::isnan(number)) {
        return 0;
    }
    if (number >= static_cast<long double>(INT32_MAX)) {
        return INT32_MAX;
    }
    if (number <= static_cast<long double>(INT32_MIN)) {
        return INT32_MIN;
    }
    return static_cast<int32_t>(number);
}

}  // namespace

TJsonValue::TJsonValue(TJsonBase* owner) : TJsonBase(owner, false) {}

TJsonValue::~TJsonValue() = default;

void TJsonValue::Release() {
    type_ = jvNone;
    text_.clear();
    number_ = 0;
    boolean_ = false;
    object_.reset();
    array_.reset();
}

void TJsonValue::Parse(std::string_view text) {
    Release();
    text = Trim(text);
    const std::optional<TJsonValueType> type = DetectType(text);
    if (!type) {
        RaiseParseError(text);
    }
    if ((*type == jvObject || *type == jvArray) && NestingDepth() >= kJsonMaxDepth) {
        Raise("\"" + NearestMemberName() + "\" parse error: nesting deeper than " +
              std::to_string(kJsonMaxDepth) + " levels");
    }
    type_ = *type;
    switch (type_) {
        case jvString:
            text_ = JsonUnescape(text.substr(1, text.size() - 2));
            break;
        case jvNumber:
            number_ = StrToFloat(text);
            break;
        case jvBoolean:
            boolean_ = SameText(text, "true");
            break;
        case jvObject:
            object_ = std::make_unique<TJsonObject>(this);
            object_->Parse(text);
            break;
        case jvArray:
            array_ = std::make_unique<TJsonArray>(this);
            array_->Parse(text);
            break;
        default:
            break;
    }
}

void TJsonValue::WriteText(std::string& out) const {
    switch (type_) {
        case jvString:
            out += '"';
            out += JsonEscape(text_);
            out += '"';
            break;
        case jvNumber:
            out += FloatToStr(number_);
            break;
        case jvBoolean:
            out += kJsonBooleanWords[boolean_];
            break;
        case jvObject:
            object_->WriteText(out);
            break;
        case jvArray:
            array_->WriteText(out);
            break;
        default:
            out += "null";
    }
}

void TJsonValue::CopyFrom(const TJsonBase* source) {
    std::unique_ptr<TJsonObject> object;
    std::unique_ptr<TJsonArray> array;
    TJsonValueType type;
    std::string text;
    long double number = 0;
    bool boolean = false;
    if (auto* value = dynamic_cast<const TJsonValue*>(source)) {
        type = value->type_;
        text = value->text_;
        number = value->number_;
        boolean = value->boolean_;
        if (value->object_) {
            object = std::make_unique<TJsonObject>(this);
            object->CopyFrom(value->object_.get());
        }
        if (value->array_) {
            array = std::make_unique<TJsonArray>(this);
            array->CopyFrom(value->array_.get());
        }
    } else if (auto* source_object = dynamic_cast<const TJsonObject*>(source)) {
        type = jvObject;
        object = std::make_unique<TJsonObject>(this);
        object->CopyFrom(source_object);
    } else if (auto* source_array = dynamic_cast<const TJsonArray*>(source)) {
        type = jvArray;
        array = std::make_unique<TJsonArray>(this);
        array->CopyFrom(source_array);
    } else {
        RaiseAssignError(source);
    }
    Release();
    type_ = type;
    text_ = std::move(text);
    number_ = number;
    boolean_ = boolean;
    object_ = std::move(object);
    array_ = std::move(array);
}

void TJsonValue::RaiseValueTypeError(TJsonValueType wanted) const {
    Raise("\"" + NearestMemberName() + "\" value type error: " + kJsonValueTypeNames[type_] +
          " to " + kJsonValueTypeNames[wanted]);
}

std::string TJsonValue::AsText() const {
    switch (type_) {
        case jvString:
            return text_;
        case jvNumber:
            return FloatToStr(number_);
        case jvBoolean:
            return kJsonBooleanWords[boolean_];
        case jvObject:
        case jvArray:
            RaiseValueTypeError(jvString);
        default:
            return "";
    }
}

int32_t TJsonValue::AsInteger() const {
    switch (type_) {
        case jvString:
            return TruncateToInt32(StrToFloat(text_));
        case jvNumber:
            return TruncateToInt32(number_);
        case jvBoolean:
            return boolean_ ? 1 : 0;
        case jvObject:
        case jvArray:
            RaiseValueTypeError(jvNumber);
        default:
            return 0;
    }
}

void TJsonValue::SetText(std::string_view text) {
    std::string copy(text);  // the text may lie inside the content released below
    Release();
    type_ = jvString;
    text_ = std::move(copy);
}

void TJsonValue::StoreNumber(long double number) {
    Release();
    type_ = jvNumber;
    number_ = number;
}

void TJsonValue::SetBoolean(bool value) {
    Release();
    type_ = jvBoolean;
    boolean_ = value;
}

TJsonObject& TJsonValue::AsObject() {
    if (type_ == jvNone) {
        type_ = jvObject;
        object_ = std::make_unique<TJsonObject>(this);
    }
    if (type_ != jvObject) {
        RaiseValueTypeError(jvObject);
    }
    return *object_;
}

TJsonArray& TJsonValue::AsArray() {
    if (type_ == jvNone) {
        type_ = jvArray;
        array_ = std::make_unique<TJsonArray>(this);
    }
    if (type_ != jvArray) {
        RaiseValueTypeError(jvArray);
    }
    return *array_;
}

}  // namespace px3
