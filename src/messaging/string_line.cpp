#include "messaging/string_line.h"

#include "base/text.h"
#include "messaging/little_endian.h"
#include "messaging/message_kinds.h"
#include "messaging/messaging_errors.h"

namespace px3 {

namespace {

constexpr size_t kKindOffset = 0;
constexpr size_t kIdOffset = 1;
constexpr size_t kDescriptorsOffset = 5;
constexpr size_t kDescriptorSize = 9;

size_t DescriptorOffset(int field) {
    return kDescriptorsOffset + kDescriptorSize * static_cast<size_t>(field - 1);
}

bool IsAcceptedTypeCode(int typeCode) {
    return typeCode == kFieldText || typeCode == 1 || typeCode == 2 || typeCode == kFieldStream ||
           typeCode == kFieldInteger;
}

}  // namespace

TStringLine::TStringLine() : message_(kMessageHeaderSize, '\0') {}

void TStringLine::AddField(std::string_view bytes, int typeCode) {
    if (typeCode == kFieldInteger) {
        AppendField(IntToStr(StrToInt(bytes)), typeCode);
    } else {
        AppendField(bytes, typeCode);
    }
}

void TStringLine::AddField(int32_t value, int typeCode) {
    AppendField(IntToStr(value), typeCode);
}

void TStringLine::AppendField(std::string_view content, int typeCode) {
    if (cursor_ == 0) {
        message_.assign(kMessageHeaderSize, '\0');
        bodyStart_ = kMessageHeaderSize;
    }
    if (cursor_ + 1 > kMaxMessageFields) {
        throw EStringLineException(
            "STRINGLINE ERROR: Sending more the MaxFields!  Server & client may need to be "
            "rebuilt.");
    }
    if (!IsAcceptedTypeCode(typeCode)) {
        throw EStringLineException("STRINGLINE ERROR: Bad DataType.");
    }
    ++cursor_;
    char* descriptor = message_.data() + DescriptorOffset(cursor_);
    descriptor[0] = static_cast<char>(typeCode);
    WriteInt32LE(descriptor + 1, static_cast<int32_t>(message_.size() - bodyStart_ + 1));
    message_.append(content);
    descriptor = message_.data() + DescriptorOffset(cursor_);
    WriteInt32LE(descriptor + 5, static_cast<int32_t>(message_.size() - bodyStart_ + 1));
}

std::string TStringLine::Pack() {
    if (bodyStart_ != kMessageHeaderSize) {
        message_.replace(0, bodyStart_, kMessageHeaderSize, '\0');
    }
    message_[kKindOffset] = static_cast<char>(kind_);
    WriteInt32LE(message_.data() + kIdOffset, id_);
    std::string packed = std::move(message_);
    message_.assign(kMessageHeaderSize, '\0');
    bodyStart_ = kMessageHeaderSize;
    cursor_ = 0;
    return packed;
}

void TStringLine::Unpack(std::string message) {
    if (message.size() >= 4 && ReadInt32LE(message.data()) == kRawMessageMarker) {
        kind_ = kRawMessageKind;
        bodyStart_ = 4;
    } else {
        // A message shorter than its header is read as if the missing header bytes were zero.
        if (message.size() < kMessageHeaderSize) {
            message.resize(kMessageHeaderSize, '\0');
        }
        kind_ = static_cast<uint8_t>(message[kKindOffset]);
        id_ = ReadInt32LE(message.data() + kIdOffset);
        bodyStart_ = kMessageHeaderSize;
    }
    message_ = std::move(message);
    cursor_ = 0;
}

TStringLine::Descriptor TStringLine::FieldDescriptor(int field) const {
    if (bodyStart_ != kMessageHeaderSize) {
        return {0, 0};
    }
    const char* descriptor = message_.data() + DescriptorOffset(field);
    return {ReadInt32LE(descriptor + 1), ReadInt32LE(descriptor + 5)};
}

std::string_view TStringLine::NextField() {
    ++cursor_;
    const int field = cursor_;
    const Descriptor range = FieldDescriptor(field);
    if (cursor_ == kMaxMessageFields || FieldDescriptor(cursor_ + 1).start == 0) {
        cursor_ = 0;
    }
    if (range.end <= range.start) {
        return {};
    }
    const std::string_view body = std::string_view(message_).substr(bodyStart_);
    if (range.start < 1 || static_cast<size_t>(range.end) - 1 > body.size()) {
        throw EProtocolError("Malformed message: field " + IntToStr(field) +
                             " lies outside the message body");
    }
    return body.substr(static_cast<size_t>(range.start) - 1,
                       static_cast<size_t>(range.end - range.start));
}

std::string TStringLine::NextText() {
    return std::string(NextField());
}

int32_t TStringLine::NextInteger() {
    return StrToInt(NextField());
}

std::string TStringLine::NextStream() {
    return std::string(NextField());
}

}  // namespace px3
