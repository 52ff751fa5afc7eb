#include "params/stored_forms.h"

#include <bit>

namespace px3 {

namespace {

constexpr size_t kTimeStampSize = 16;
constexpr size_t kBcdSize = 34;

void PutLittleEndian(std::string& out, uint64_t value, size_t width) {
    for (size_t i = 0; i < width; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

uint64_t GetLittleEndian(std::string_view in, size_t offset, size_t width) {
    uint64_t value = 0;
    for (size_t i = 0; i < width; ++i) {
        value |= uint64_t{static_cast<unsigned char>(in[offset + i])} << (8 * i);
    }
    return value;
}

// The record of a tagged form: the bytes after the tag when the text starts with it and has the
// full length, the whole text when it is the bare record, else nothing.
std::string_view Record(std::string_view stored, char tag, size_t recordSize) {
    if (!stored.empty() && stored[0] == tag) {
        return stored.size() == recordSize + 1 ? stored.substr(1) : std::string_view();
    }
    return stored.size() == recordSize ? stored : std::string_view();
}

uint64_t Decode64(std::string_view stored, char tag) {
    std::string_view record = Record(stored, tag, 8);
    return record.empty() ? 0 : GetLittleEndian(record, 0, 8);
}

}  // namespace

std::string EncodeFloat(double value) {
    std::string out(1, kFloatTag);
    PutLittleEndian(out, std::bit_cast<uint64_t>(value), 8);
    return out;
}

std::string EncodeCurrency(Currency value) {
    std::string out(1, kCurrencyTag);
    PutLittleEndian(out, static_cast<uint64_t>(value.Scaled), 8);
    return out;
}

std::string EncodeTimeStamp(const SqlTimeStamp& value) {
    std::string out(1, kTimeStampTag);
    PutLittleEndian(out, static_cast<uint16_t>(value.Year), 2);
    for (uint16_t field : {value.Month, value.Day, value.Hour, value.Minute, value.Second}) {
        PutLittleEndian(out, field, 2);
    }
    PutLittleEndian(out, value.Fractions, 4);
    return out;
}

std::string EncodeFmtBcd(const FmtBcd& value) {
    std::string out(1, kBcdTag);
    out += static_cast<char>(value.Precision);
    out += static_cast<char>(value.SignAndPlaces);
    out.append(reinterpret_cast<const char*>(value.Digits.data()), value.Digits.size());
    return out;
}

double DecodeFloat(std::string_view stored) {
    return std::bit_cast<double>(Decode64(stored, kFloatTag));
}

Currency DecodeCurrency(std::string_view stored) {
    return Currency{static_cast<int64_t>(Decode64(stored, kCurrencyTag))};
}

SqlTimeStamp DecodeTimeStamp(std::string_view stored) {
    std::string_view record = Record(stored, kTimeStampTag, kTimeStampSize);
    SqlTimeStamp value;
    if (record.empty()) {
        return value;
    }
    value.Year = static_cast<int16_t>(GetLittleEndian(record, 0, 2));
    value.Month = static_cast<uint16_t>(GetLittleEndian(record, 2, 2));
    value.Day = static_cast<uint16_t>(GetLittleEndian(record, 4, 2));
    value.Hour = static_cast<uint16_t>(GetLittleEndian(record, 6, 2));
    value.Minute = static_cast<uint16_t>(GetLittleEndian(record, 8, 2));
    value.Second = static_cast<uint16_t>(GetLittleEndian(record, 10, 2));
    value.Fractions = static_cast<uint32_t>(GetLittleEndian(record, 12, 4));
    return value;
}

FmtBcd DecodeFmtBcd(std::string_view stored) {
    std::string_view record = Record(stored, kBcdTag, kBcdSize);
    FmtBcd value;
    if (record.empty()) {
        return value;
    }
    value.Precision = static_cast<uint8_t>(record[0]);
    value.SignAndPlaces = static_cast<uint8_t>(record[1]);
    for (size_t i = 0; i < value.Digits.size(); ++i) {
        value.Digits[i] = static_cast<uint8_t>(record[2 + i]);
    }
    return value;
}

}  // namespace px3
