#include "base/text.h"
#include "web/json.h"
#include "web/json_split.h"

namespace px3 {

TJsonObject::~TJsonObject() = default;

void TJsonObject::Parse(std::string_view text) {
    members_.clear();
    text = Trim(text);
    if (text.size() < 2 || text.front() != '{' || text.back() != '}') {
        RaiseParseError(text);
    }
    for (std::string_view piece : SplitTopLevel(Trim(text.substr(1, text.size() - 2)), ',')) {
        members_.push_back(std::make_unique<TJsonPair>(this, ""));
        members_.back()->Parse(piece);
    }
}

void TJsonObject::WriteText(std::string& out) const {
    out += '{';
    for (size_t i = 0; i < members_.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        members_[i]->WriteText(out);
    }
    out += '}';
}

void TJsonObject::CopyFrom(const TJsonBase* source) {
    auto* object = dynamic_cast<const TJsonObject*>(source);
    if (!object) {
        RaiseAssignError(source);
    }
    std::vector<std::unique_ptr<TJsonPair>> copies;
    copies.reserve(object->members_.size());
    for (const auto& member : object->members_) {
        copies.push_back(std::make_unique<TJsonPair>(this, ""));
        copies.back()->CopyFrom(member.get());
    }
    members_ = std::move(copies);
}

TJsonPair& TJsonObject::MemberAt(int index) const {
    if (index < 0 || index >= Count()) {
        Raise("list index out of bounds (" + std::to_string(index) + ")");
    }
    return *members_[static_cast<size_t>(index)];
}

int TJsonObject::IndexOfName(std::string_view name) const {
    for (size_t i = 0; i < members_.size(); ++i) {
        if (SameText(members_[i]->Name(), name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

TJsonValue& TJsonObject::Member(std::string_view name) {
    const int index = IndexOfName(name);
    if (index >= 0) {
        return members_[static_cast<size_t>(index)]->Value();
    }
    if (!add_missing_) {
        Raise(std::string(name) + " not found");
    }
    return Append(name);
}

TJsonValue& TJsonObject::Append(std::string_view name) {
    members_.push_back(std::make_unique<TJsonPair>(this, name));
    return members_.back()->Value();
}

TJsonValue& TJsonObject::Put(std::string_view name, std::string_view text) {
    TJsonValue& value = Append(name);
    value.SetText(text);
    return value;
}

TJsonValue& TJsonObject::Put(std::string_view name, bool flag) {
    TJsonValue& value = Append(name);
    value.SetBoolean(flag);
    return value;
}

}  // namespace px3
