#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "params/param_list.h"

// Feeds arbitrary bytes to the wire text reader. Text that reads must survive writing and
// reading again unchanged, and every accessor must either answer or raise its own error.

namespace {

void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

void ExerciseAccessors(const px3::TParamItem& item) {
    auto attempt = [](auto&& read) {
        try {
            read();
        } catch (const px3::Exception&) {
        }
    };
    attempt([&] { item.Value(); });
    attempt([&] { item.AsString(); });
    attempt([&] { item.AsInteger(); });
    attempt([&] { item.AsLargeInt(); });
    attempt([&] { item.AsBoolean(); });
    attempt([&] { item.AsFloat(); });
    attempt([&] { item.AsCurrency(); });
    attempt([&] { item.AsDateTime(); });
    attempt([&] { item.AsSQLTimeStamp(); });
    attempt([&] { item.AsFMTBCD(); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<px3::TParamList> list;
    try {
        list = px3::TParamList::CreateFromWireText(text, 0);
    } catch (const px3::EParamException&) {
        return 0;
    }
    const std::string written = list->GetWireText(false);
    auto reread = px3::TParamList::CreateFromWireText(written, 0);
    Check(reread->Count() == list->Count());
    for (int32_t i = 0; i < list->Count(); ++i) {
        const px3::TParamItem& a = list->GetItem(i);
        const px3::TParamItem& b = reread->GetItem(i);
        Check(a.Name() == b.Name() && a.DataType() == b.DataType() &&
              a.ParamType() == b.ParamType() && a.IsNull() == b.IsNull() &&
              a.RawValue() == b.RawValue() && b.Size() == 0);
        ExerciseAccessors(a);
    }
    Check(reread->GetWireText(false) == written);

    const std::string inputs = list->GetWireText(true);
    auto inputList = px3::TParamList::CreateFromWireText(inputs, 0);
    for (int32_t i = 0; i < inputList->Count(); ++i) {
        Check(inputList->GetItem(i).IsInput());
    }
    return 0;
}
