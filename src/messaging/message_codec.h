#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace px3 {

enum TCompression : uint8_t { acNoCompression, acLzhCompress, acUserDefined, acZLib };

// Only the absence of encryption is supported.
enum TEncryption : uint8_t { etNoEncryption };

// The most bytes one received message may inflate to.
inline constexpr size_t kMaxDecompressedSize = size_t{1} << 30;

// Turns packed messages into payloads and back (compression, then encryption, and the reverse)
// and counts the bytes going each way.
class TMessageCodec {
  public:
    // (sender, data, amount, total): the bytes before encoding or as received, their count, and
    // the running total of that direction including them.
    using TBytesEvent = std::function<void(TMessageCodec& sender, const std::string& data,
                                           int64_t amount, int64_t total)>;
    // (sender, bytes): user-defined compression or decompression, replacing the bytes.
    using TTransformEvent = std::function<void(TMessageCodec& sender, std::string& bytes)>;

    explicit TMessageCodec(size_t decompressedLimit = kMaxDecompressedSize)
        : decompressedLimit_(decompressedLimit) {}

    TCompression Compression() const { return compression_; }
    // Stores the value; the Lzh value is then refused with ECodecError.
    void SetCompression(TCompression value);

    TEncryption Encryption = etNoEncryption;

    int64_t BytesOutTotal() const { return bytesOutTotal_; }
    int64_t BytesInTotal() const { return bytesInTotal_; }
    void ResetTotals();

    // Counts and reports the packed bytes, then replaces them with the payload to send.
    void EncodeOutgoing(std::string& bytes);
    // Counts and reports the received payload, then replaces it with the packed message.
    void DecodeIncoming(std::string& bytes);

    TBytesEvent OnBytesOutEvent;
    TBytesEvent OnBytesInEvent;
    TTransformEvent OnCompress;
    TTransformEvent OnDecompress;

  private:
    TCompression compression_ = acNoCompression;
    size_t decompressedLimit_;
    int64_t bytesOutTotal_ = 0;
    int64_t bytesInTotal_ = 0;
};

}  // namespace px3
