#include "params/param_list.h"

#include <algorithm>
#include <utility>

#include "base/text.h"

namespace px3 {

TParamItem& TParamList::GetItem(int32_t index) {
    return const_cast<TParamItem&>(std::as_const(*this).GetItem(index));
}

const TParamItem& TParamList::GetItem(int32_t index) const {
    if (index < 0 || index >= Count()) {
        throw EParamException("Index " + IntToStr(index) + " Out of bounds");
    }
    return *items_[static_cast<size_t>(index)];
}

void TParamList::SetItem(int32_t index, const TParamItem& source) {
    GetItem(index).Assign(source);
}

TParamItem& TParamList::Add() {
    const int32_t id = next_id_++;
    items_.push_back(std::unique_ptr<TParamItem>(new TParamItem(*this, id)));
    TParamItem& item = *items_.back();
    item.SetParamType(TParamType::ptInput);
    return item;
}

TParamItem& TParamList::AddTypedParam(TFieldType dataType, std::string_view name,
                                      TParamType paramType) {
    TParamItem& item = Add();
    item.SetName(std::string(name));
    item.SetDataType(dataType);
    item.SetParamType(paramType);
    return item;
}

void TParamList::FastAdd(std::string_view name, const Variant& value) {
    if (TParamItem* found = FindParam(name)) {
        found->SetValue(value);
        return;
    }
    TParamItem& item = Add();
    item.SetName(std::string(name));
    item.SetValue(value);
    item.SetParamType(TParamType::ptInput);
}

void TParamList::FastAdd(const Variant& value) {
    TParamItem& item = Add();
    item.SetName("FastAdd" + IntToStr(Count() - 1));
    item.SetValue(value);
    item.SetParamType(TParamType::ptInput);
}

TParamItem* TParamList::FindParam(std::string_view name) {
    return const_cast<TParamItem*>(std::as_const(*this).FindParam(name));
}

const TParamItem* TParamList::FindParam(std::string_view name) const {
    auto found = std::find_if(items_.begin(), items_.end(), [name](const auto& item) {
        return SameText(Trim(item->Name()), name);
    });
    return found == items_.end() ? nullptr : found->get();
}

TParamItem& TParamList::ParamByName(std::string_view name) {
    return const_cast<TParamItem&>(std::as_const(*this).ParamByName(name));
}

const TParamItem& TParamList::ParamByName(std::string_view name) const {
    if (const TParamItem* found = FindParam(name)) {
        return *found;
    }
    throw EParamException("Parameter Not Found: " + std::string(name));
}

Variant TParamList::GetParamVariant(std::string_view name) const {
    const TParamItem* found = FindParam(name);
    return found ? found->Value() : Variant(std::string());
}

bool TParamList::DeleteParam(std::string_view name) {
    const TParamItem* found = FindParam(name);
    if (!found) {
        return false;
    }
    std::erase_if(items_, [found](const auto& item) { return item.get() == found; });
    return true;
}

void TParamList::CopyParamsTo(TParamList& dest, bool clearFirst) const {
    if (clearFirst) {
        dest.Clear();
    }
    // By index over the count at the start, so that copying a list onto its own end is safe.
    const size_t count = items_.size();
    for (size_t i = 0; i < count; ++i) {
        dest.Add().Assign(*items_[i]);
    }
}

std::unique_ptr<TParamList> TParamList::Clone() const {
    auto copy = std::make_unique<TParamList>();
    CopyParamsTo(*copy, false);
    return copy;
}

}  // namespace px3
