#include <cstdint>
#include <string>

#include "base/text.h"
#include "params/param_list.h"
#include "params/wire_format.h"

namespace px3 {

namespace {

constexpr uint8_t kLastDefinedFormat = 6;

[[noreturn]] void Malformed(const std::string& problem) {
    throw EParamException("Malformed parameter list: " + problem);
}

std::string Record(int32_t number) {
    return "record " + IntToStr(number);
}

// Walks the fields of a record body: each runs to the next separator or to the end of the
// body; after the end every further field is empty.
class FieldCursor {
  public:
    explicit FieldCursor(std::string_view body) : body_(body) {}

    std::string_view Next() {
        const size_t end = body_.find(kWireSeparator, pos_);
        if (end == std::string_view::npos) {
            std::string_view field = body_.substr(pos_);
            pos_ = body_.size();
            separated_ = false;
            return field;
        }
        std::string_view field = body_.substr(pos_, end - pos_);
        pos_ = end + 1;
        separated_ = true;
        return field;
    }

    // Whether the last field ended at a separator rather than at the end of the body.
    bool Separated() const { return separated_; }
    std::string_view Rest() const { return body_.substr(pos_); }

  private:
    std::string_view body_;
    size_t pos_ = 0;
    bool separated_ = false;
};

// A numeric field: a whole 32-bit integer, anything else reads as 0. Plain digits, as the writer
// writes them, are read directly; every other form goes through the full rule.
int32_t Number(std::string_view field) {
    constexpr size_t kSafeDigits = 9;
    if (field.empty() || field.size() > kSafeDigits) {
        return StrToIntDef(field, 0);
    }
    int32_t value = 0;
    for (char c : field) {
        if (c < '0' || c > '9') {
            return StrToIntDef(field, 0);
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

uint8_t LowByte(std::string_view field) {
    return static_cast<uint8_t>(Number(field));
}

int32_t ReadLength(std::string_view text, size_t pos) {
    uint32_t length = 0;
    for (size_t i = 0; i < kWireLengthSize; ++i) {
        length |= uint32_t{static_cast<unsigned char>(text[pos + i])} << (8 * i);
    }
    return static_cast<int32_t>(length);
}

struct RecordFields {
    std::string_view name;
    TFieldType dataType;
    TParamType paramType;
    bool isNull;
    std::string_view value;
};

// Name, DataType, ParamType and IsNull, then ValueLength and the value after it; anything after
// the value is ignored.
RecordFields ReadBody(std::string_view body, int32_t number) {
    FieldCursor fields(body);
    RecordFields record;
    record.name = fields.Next();
    record.dataType = static_cast<TFieldType>(LowByte(fields.Next()));
    record.paramType = static_cast<TParamType>(LowByte(fields.Next()));
    record.isNull = LowByte(fields.Next()) != 0;
    const int32_t valueLength = Number(fields.Next());
    if (valueLength > 0) {
        if (!fields.Separated()) {
            Malformed(Record(number) + " has no separator before its value");
        }
        if (static_cast<size_t>(valueLength) > fields.Rest().size()) {
            Malformed("the value of " + Record(number) + " runs past the end of the record");
        }
        record.value = fields.Rest().substr(0, static_cast<size_t>(valueLength));
    }
    return record;
}

}  // namespace

// Walks the text by its length prefixes twice: first to check that the records fill the text
// exactly, then to read them, copying each value once. Text that is cut short or whose lengths
// disagree raises an error rather than giving a list that lacks items.
void TParamList::ReadWireText(std::string_view text) {
    size_t count = 0;
    for (size_t pos = 0; pos < text.size(); ++count) {
        const int32_t number = static_cast<int32_t>(count) + 1;
        if (text.size() - pos < kWireLengthSize) {
            Malformed(Record(number) + " has an incomplete length prefix");
        }
        const int32_t length = ReadLength(text, pos);
        if (length < 0) {
            Malformed(Record(number) + " has a negative length");
        }
        pos += kWireLengthSize;
        if (static_cast<size_t>(length) > text.size() - pos) {
            Malformed(Record(number) + " runs past the end of the text");
        }
        pos += static_cast<size_t>(length);
    }
    items_.reserve(items_.size() + count);
    size_t pos = 0;
    for (size_t index = 0; index < count; ++index) {
        const auto length = static_cast<size_t>(ReadLength(text, pos));
        const RecordFields record =
            ReadBody(text.substr(pos + kWireLengthSize, length), static_cast<int32_t>(index) + 1);
        pos += kWireLengthSize + length;
        const int32_t id = next_id_++;
        items_.push_back(std::unique_ptr<TParamItem>(
            new TParamItem(*this, id, record.name, record.dataType, record.paramType, record.isNull,
                           record.value)));
    }
}

std::unique_ptr<TParamList> TParamList::CreateFromWireText(std::string_view text, uint8_t format) {
    auto list = std::make_unique<TParamList>();
    if (format == 0) {
        list->ReadWireText(text);
    } else if (format <= kLastDefinedFormat) {
        throw EParamException("Parameter list format " + IntToStr(format) + " is not supported");
    }
    return list;
}

}  // namespace px3
