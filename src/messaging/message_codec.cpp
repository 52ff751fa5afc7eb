#include "messaging/message_codec.h"

#include "messaging/messaging_errors.h"
#include "messaging/zlib_stream.h"

namespace px3 {

void TMessageCodec::SetCompression(TCompression value) {
    compression_ = value;
    if (value == acLzhCompress) {
        throw ECodecError("Lzh compression only supported as Custom Compression\rUse ZLib!");
    }
}

void TMessageCodec::ResetTotals() {
    bytesOutTotal_ = 0;
    bytesInTotal_ = 0;
}

void TMessageCodec::EncodeOutgoing(std::string& bytes) {
    const auto amount = static_cast<int64_t>(bytes.size());
    bytesOutTotal_ += amount;
    if (OnBytesOutEvent) {
        OnBytesOutEvent(*this, bytes, amount, bytesOutTotal_);
    }
    switch (compression_) {
        case acNoCompression:
            break;
        case acLzhCompress:
            throw ECodecError(
                "Use ZLib Compression. LZH compression must be implemetned as userdefined");
        case acUserDefined:
            if (!OnCompress) {
                throw ECodecError(
                    "The Application is set for UserDefined Compression, but there is no code "
                    "assigned to the OnCompress event handler");
            }
            OnCompress(*this, bytes);
            break;
        case acZLib:
            bytes = ZlibCompress(bytes);
            break;
    }
}

void TMessageCodec::DecodeIncoming(std::string& bytes) {
    const auto amount = static_cast<int64_t>(bytes.size());
    bytesInTotal_ += amount;
    if (OnBytesInEvent) {
        OnBytesInEvent(*this, bytes, amount, bytesInTotal_);
    }
    switch (compression_) {
        case acNoCompression:
        case acLzhCompress:
            break;
        case acUserDefined:
            if (!OnDecompress) {
                throw ECodecError(
                    "The Application is set for UserDefined Compression, but there is no code "
                    "assigned to the OnDecompress event handler.");
            }
            OnDecompress(*this, bytes);
            break;
        case acZLib:
            bytes = ZlibDecompress(bytes, decompressedLimit_);
            break;
    }
}

}  // namespace px3
