#include "base/exception.h"
#include "web/json.h"

namespace px3 {

std::string TJsonBase::ToText() const {
    std::string out;
    WriteText(out);
    return out;
}

void TJsonBase::Raise(const std::string& detail) const {
    throw Exception("<" + std::string(ClassName()) + ">" + detail);
}

void TJsonBase::RaiseParseError(std::string_view text) const {
    Raise("\"" + NearestMemberName() + "\" parse error: " + std::string(text));
}

void TJsonBase::RaiseAssignError(const TJsonBase* source) const {
    Raise("assign error: " + std::string(source ? source->ClassName() : "nil") + " to " +
          ClassName());
}

std::string TJsonBase::NearestMemberName() const {
    for (const TJsonBase* node = owner_; node; node = node->owner_) {
        if (auto* pair = dynamic_cast<const TJsonPair*>(node)) {
            return pair->Name();
        }
    }
    return "";
}

}  // namespace px3
