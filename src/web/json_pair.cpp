#include "base/text.h"
#include "web/json.h"
#include "web/json_escape.h"
#include "web/json_split.h"

namespace px3 {

TJsonPair::TJsonPair(TJsonBase* owner, std::string_view name)
    : TJsonBase(owner, false), name_(name), value_(std::make_unique<TJsonValue>(this)) {}

TJsonPair::~TJsonPair() = default;

void TJsonPair::Parse(std::string_view text) {
    text = Trim(text);
    const std::vector<std::string_view> pieces = SplitTopLevel(text, ':');
    if (pieces.size() != 2) {
        RaiseParseError(text);
    }
    const std::string_view quoted_name = pieces[0];
    if (quoted_name.size() < 2 || quoted_name.front() != '"' || quoted_name.back() != '"') {
        RaiseParseError(quoted_name);
    }
    name_ = JsonUnescape(quoted_name.substr(1, quoted_name.size() - 2));
    value_->Parse(pieces[1]);
}

void TJsonPair::WriteText(std::string& out) const {
    out += '"';
    out += JsonEscape(name_);
    out += "\":";
    value_->WriteText(out);
}

void TJsonPair::CopyFrom(const TJsonBase* source) {
    auto* pair = dynamic_cast<const TJsonPair*>(source);
    if (!pair) {
        RaiseAssignError(source);
    }
    std::string name = pair->name_;  // the source may be released by the value's copy
    value_->CopyFrom(pair->value_.get());
    name_ = std::move(name);
}

}  // namespace px3
