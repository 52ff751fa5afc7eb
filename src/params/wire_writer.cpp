#include <charconv>
#include <cstdint>
#include <string>

#include "params/param_list.h"
#include "params/wire_format.h"

namespace px3 {

namespace {

size_t DigitCount(uint64_t value) {
    size_t count = 1;
    for (; value >= 10; value /= 10) {
        ++count;
    }
    return count;
}

void AppendNumber(std::string& out, uint64_t value) {
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

size_t BodyLength(const TParamItem& item) {
    return item.Name().size() + DigitCount(static_cast<uint8_t>(item.DataType())) +
           DigitCount(static_cast<uint8_t>(item.ParamType())) + 1 +
           DigitCount(item.RawValue().size()) + item.RawValue().size() + 5;
}

// Name, DataType, ParamType, IsNull, the value's byte count (also for a null item that holds
// bytes, so that they survive a round trip) and the value, behind the body's length.
void AppendRecord(std::string& out, const TParamItem& item, size_t bodyLength) {
    const auto length = static_cast<uint32_t>(bodyLength);
    for (size_t i = 0; i < kWireLengthSize; ++i) {
        out += static_cast<char>((length >> (8 * i)) & 0xFF);
    }
    out += item.Name();
    out += kWireSeparator;
    AppendNumber(out, static_cast<uint8_t>(item.DataType()));
    out += kWireSeparator;
    AppendNumber(out, static_cast<uint8_t>(item.ParamType()));
    out += kWireSeparator;
    out += item.IsNull() ? '1' : '0';
    out += kWireSeparator;
    AppendNumber(out, item.RawValue().size());
    out += kWireSeparator;
    out += item.RawValue();
}

}  // namespace

size_t WireBufferCapacity(size_t needed) {
    size_t capacity = 256;
    size_t step = 256;
    constexpr size_t kLargestStep = 32768;
    while (capacity < needed) {
        if (step < kLargestStep) {
            step *= 2;
        }
        capacity += step;
    }
    return capacity;
}

void CheckWireBodyLength(size_t bodyLength, std::string_view name) {
    if (bodyLength > kWireMaxBodyLength) {
        throw EParamException("Parameter " + std::string(name) +
                              " is too large for a parameter list: its record needs " +
                              std::to_string(bodyLength) + " bytes");
    }
}

void CheckWireName(std::string_view name) {
    if (name.find(kWireSeparator) != std::string_view::npos) {
        throw EParamException("Parameter name " + std::string(name) +
                              " holds the byte 0x06, which a parameter list cannot carry");
    }
}

// The text is sized once before anything is copied, so each value is copied exactly once
// however large it is.
std::string TParamList::GetWireText(bool inputOnly) const {
    auto written = [inputOnly](const TParamItem& item) { return !inputOnly || item.IsInput(); };
    size_t total = 0;
    for (const auto& item : items_) {
        if (written(*item)) {
            CheckWireName(item->Name());
            const size_t body = BodyLength(*item);
            CheckWireBodyLength(body, item->Name());
            total += kWireLengthSize + body;
        }
    }
    std::string out;
    if (total == 0) {
        return out;
    }
    out.reserve(WireBufferCapacity(total));
    for (const auto& item : items_) {
        if (written(*item)) {
            AppendRecord(out, *item, BodyLength(*item));
        }
    }
    return out;
}

}  // namespace px3
