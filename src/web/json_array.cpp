#include "base/text.h"
#include "web/json.h"
#include "web/json_split.h"

namespace px3 {

TJsonArray::~TJsonArray() = default;

void TJsonArray::Parse(std::string_view text) {
    elements_.clear();
    text = Trim(text);
    if (text.size() < 2 || text.front() != '[' || text.back() != ']') {
        RaiseParseError(text);
    }
    for (std::string_view piece : SplitTopLevel(Trim(text.substr(1, text.size() - 2)), ',')) {
        elements_.push_back(std::make_unique<TJsonValue>(this));
        elements_.back()->Parse(piece);
    }
}

void TJsonArray::WriteText(std::string& out) const {
    out += '[';
    for (size_t i = 0; i < elements_.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        elements_[i]->WriteText(out);
    }
    out += ']';
}

void TJsonArray::CopyFrom(const TJsonBase* source) {
    auto* array = dynamic_cast<const TJsonArray*>(source);
    if (!array) {
        RaiseAssignError(source);
    }
    std::vector<std::unique_ptr<TJsonValue>> copies;
    copies.reserve(array->elements_.size());
    for (const auto& element : array->elements_) {
        copies.push_back(std::make_unique<TJsonValue>(this));
        copies.back()->CopyFrom(element.get());
    }
    elements_ = std::move(copies);
}

TJsonValue& TJsonArray::Element(int index) const {
    if (index < 0 || index >= Count()) {
        Raise("list index out of bounds (" + std::to_string(index) + ")");
    }
    return *elements_[static_cast<size_t>(index)];
}

TJsonValue& TJsonArray::Add() {
    elements_.push_back(std::make_unique<TJsonValue>(this));
    return *elements_.back();
}

}  // namespace px3
