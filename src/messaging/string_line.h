#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace px3 {

// Type codes written into a field's descriptor. Codes 1 and 2 carry an object's own text form;
// every other code is refused.
inline constexpr int kFieldText = 0;
inline constexpr int kFieldStream = 3;
inline constexpr int kFieldInteger = 6;

inline constexpr size_t kMessageHeaderSize = 50;
inline constexpr int kMaxMessageFields = 5;

// Builds and reads packed messages: a 50-byte header (kind, id and five field descriptors)
// followed by the body holding the fields' bytes back to back.
class TStringLine {
  public:
    TStringLine();

    void SetKind(uint8_t kind) { kind_ = kind; }
    void SetId(int32_t id) { id_ = id; }
    uint8_t Kind() const { return kind_; }
    int32_t Id() const { return id_; }

    // Appends a field holding the bytes unchanged (a text, a stream's content or an object's text
    // form); under type 6 the bytes must be an integer, written as its decimal text.
    void AddField(std::string_view bytes, int typeCode = kFieldText);
    // Appends a field holding the decimal text of value.
    void AddField(int32_t value, int typeCode = kFieldInteger);

    // Returns the header followed by the body and starts a new, empty message.
    std::string Pack();

    // Takes a received message for reading; the read operations then start at its first field.
    void Unpack(std::string message);

    // Each read returns the next field; a read past the last field starts again at the first.
    std::string NextText();
    // As NextText without copying; the view lasts until the message is changed or destroyed.
    std::string_view NextTextView() { return NextField(); }
    int32_t NextInteger();
    std::string NextStream();

  private:
    struct Descriptor {
        int32_t start;
        int32_t end;
    };

    void AppendField(std::string_view content, int typeCode);
    Descriptor FieldDescriptor(int field) const;
    std::string_view NextField();

    uint8_t kind_ = 0;
    int32_t id_ = 0;
    // Header block followed by the body; a raw received message keeps its 4-byte marker instead
    // of the header block.
    std::string message_;
    size_t bodyStart_ = kMessageHeaderSize;
    int cursor_ = 0;
};

}  // namespace px3
