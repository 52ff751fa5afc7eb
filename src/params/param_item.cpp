#include "params/param_item.h"

#include "base/text.h"
#include "params/param_list.h"

namespace px3 {

TParamItem::TParamItem(TParamList& collection, int32_t id)
    : collection_(&collection), id_(id), name_("Param" + IntToStr(collection.NextID())) {}

TParamItem::TParamItem(TParamList& collection, int32_t id, std::string_view name,
                       TFieldType dataType, TParamType paramType, bool isNull,
                       std::string_view value)
    : collection_(&collection),
      id_(id),
      name_(name),
      raw_value_(value),
      param_type_(paramType),
      data_type_(dataType),
      is_null_(isNull) {}

void TParamItem::SetDisplayName(std::string_view newName) {
    if (SameText(newName, name_)) {
        return;
    }
    for (int32_t i = 0; i < collection_->Count(); ++i) {
        const TParamItem& other = collection_->GetItem(i);
        if (&other != this && SameText(other.Name(), newName)) {
            throw Exception("Error: Duplicate Param Name");
        }
    }
    name_ = std::string(newName);
}

void TParamItem::SetIsNull(bool isNull) {
    is_null_ = isNull;
    if (isNull) {
        Clear();
    }
}

void TParamItem::SetSize(int32_t size) {
    if (size < 0 || size == size_) {
        return;
    }
    switch (data_type_) {
        case TFieldType::ftString:
        case TFieldType::ftBytes:
        case TFieldType::ftVarBytes:
        case TFieldType::ftBlob:
        case TFieldType::ftMemo:
        case TFieldType::ftGraphic:
        case TFieldType::ftFixedChar:
        case TFieldType::ftWideString:
        case TFieldType::ftOraBlob:
        case TFieldType::ftOraClob:
        case TFieldType::ftGuid:
            size_ = size;
            break;
        default:
            break;
    }
}

void TParamItem::Clear() {
    is_null_ = true;
    raw_value_.clear();
}

bool TParamItem::IsInput() const {
    return param_type_ == TParamType::ptInput || param_type_ == TParamType::ptInputOutput;
}

bool TParamItem::IsOutput() const {
    return param_type_ == TParamType::ptOutput || param_type_ == TParamType::ptInputOutput ||
           param_type_ == TParamType::ptResult;
}

void TParamItem::Assign(const TParamItem& source) {
    if (&source == this) {
        return;
    }
    name_ = source.name_;
    raw_value_ = source.raw_value_;
    param_type_ = source.param_type_;
    data_type_ = source.data_type_;
    is_null_ = source.is_null_;
    size_ = source.size_;
}

void TParamItem::Store(std::string bytes, TFieldType type) {
    raw_value_ = std::move(bytes);
    data_type_ = type;
    is_null_ = false;
}

void TParamItem::StoreText(std::string_view bytes, TFieldType type) {
    Store(std::string(bytes), type);
    if (bytes.empty()) {
        Clear();
    }
}

}  // namespace px3
