#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/exception.h"
#include "web/json.h"

namespace {

// Reads every member of an object document the way callers do; conversion failures are fine.
void ReadMembers(px3::TJson& json) {
    px3::TJsonObject& root = json.RootObject();
    for (int i = 0; i < root.Count(); ++i) {
        px3::TJsonValue& value = root.MemberAt(i).Value();
        try {
            value.AsText();
            value.AsInteger();
        } catch (const px3::Exception&) {
        }
    }
    root.SetAddMissing(false);
    try {
        json.Member("ipaddress").AsText();
    } catch (const px3::Exception&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    px3::TJson json;
    try {
        json.Parse(text);
    } catch (const px3::Exception&) {
        return 0;
    }
    // A parsed document writes a text that parses back to the same document, and so does a copy.
    const std::string written = json.ToText();
    px3::TJson again;
    again.Parse(written);
    if (again.ToText() != written) {
        std::abort();
    }
    px3::TJson copy;
    copy.CopyFrom(&json);
    if (copy.ToText() != written) {
        std::abort();
    }
    if (json.StructType() == px3::jsObject) {
        ReadMembers(json);
    }
    return 0;
}
