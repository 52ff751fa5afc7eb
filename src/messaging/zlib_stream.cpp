#include "messaging/zlib_stream.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <memory>

#include "base/text.h"
#include "messaging/messaging_errors.h"

namespace px3 {

namespace {

constexpr size_t kMaxZlibChunk = std::numeric_limits<uInt>::max();
constexpr size_t kSmallestReserve = 4096;
// Room is opened to zlib in steps of at most this size, each cleared just before zlib writes it.
constexpr size_t kRoomStep = size_t{1} << 20;

// The output, gathered in one string: its capacity is reserved ahead (untouched until written,
// and doubled when it runs out) and opened to zlib a step at a time, so no byte is copied again
// once written.
class OutputBuffer {
  public:
    OutputBuffer(size_t reserve, size_t limit) : limit_(limit) {
        output_.reserve(std::min(reserve, limit));
    }

    // Points the stream at fresh room; false when the limit leaves no room.
    bool ProvideRoom(z_stream& stream) {
        const size_t size = output_.size();
        if (size == output_.capacity()) {
            output_.reserve(std::min(std::max(size * 2, kSmallestReserve), limit_));
        }
        const size_t room = std::min({kRoomStep, output_.capacity() - size, limit_ - size});
        if (room == 0) {
            return false;
        }
        output_.resize(size + room);
        stream.next_out = reinterpret_cast<Bytef*>(output_.data() + size);
        stream.avail_out = static_cast<uInt>(room);
        return true;
    }

    size_t Produced(const z_stream& stream) const { return output_.size() - stream.avail_out; }

    std::string Take(const z_stream& stream) {
        output_.resize(Produced(stream));
        return std::move(output_);
    }

  private:
    std::string output_;
    size_t limit_;
};

// Hands the stream the next slice of input (zlib counts input in 32-bit units); returns true
// once the last slice has been handed over.
bool FeedInput(z_stream& stream, std::string_view input, size_t& consumed) {
    if (stream.avail_in == 0 && consumed < input.size()) {
        const size_t slice = std::min(input.size() - consumed, kMaxZlibChunk);
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data() + consumed));
        stream.avail_in = static_cast<uInt>(slice);
        consumed += slice;
    }
    return consumed == input.size();
}

std::string ZlibFailure(const char* prefix, int code) {
    return std::string(prefix) + zError(code);
}

}  // namespace

std::string ZlibCompress(std::string_view bytes) {
    constexpr const char* kPrefix = "Compression error: ";
    z_stream stream{};
    int code = deflateInit2(&stream, 1, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY);
    if (code != Z_OK) {
        throw ECodecError(ZlibFailure(kPrefix, code));
    }
    std::unique_ptr<z_stream, int (*)(z_streamp)> guard(&stream, deflateEnd);
    // Enough for zlib's worst case, so the room never has to grow.
    OutputBuffer output(bytes.size() + bytes.size() / 64 + kSmallestReserve,
                        std::numeric_limits<size_t>::max());
    size_t consumed = 0;
    do {
        const bool lastInput = FeedInput(stream, bytes, consumed);
        if (stream.avail_out == 0) {
            output.ProvideRoom(stream);
        }
        code = deflate(&stream, lastInput ? Z_FINISH : Z_NO_FLUSH);
        if (code != Z_OK && code != Z_STREAM_END &&
            !(code == Z_BUF_ERROR && stream.avail_out == 0)) {
            throw ECodecError(ZlibFailure(kPrefix, code));
        }
    } while (code != Z_STREAM_END);
    return output.Take(stream);
}

std::string ZlibDecompress(std::string_view compressed, size_t outputLimit) {
    constexpr const char* kPrefix = "Decompression error: ";
    z_stream stream{};
    int code = inflateInit(&stream);
    if (code != Z_OK) {
        throw ECodecError(ZlibFailure(kPrefix, code));
    }
    std::unique_ptr<z_stream, int (*)(z_streamp)> guard(&stream, inflateEnd);
    // One byte of room beyond the limit tells a stream of exactly the limit from a longer one.
    const size_t room =
        outputLimit == std::numeric_limits<size_t>::max() ? outputLimit : outputLimit + 1;
    OutputBuffer output(std::max(kSmallestReserve, compressed.size() * 4), room);
    size_t consumed = 0;
    do {
        FeedInput(stream, compressed, consumed);
        if (stream.avail_out == 0 && !output.ProvideRoom(stream)) {
            break;
        }
        code = inflate(&stream, Z_NO_FLUSH);
        if (code != Z_OK && code != Z_STREAM_END &&
            !(code == Z_BUF_ERROR && stream.avail_out == 0)) {
            throw ECodecError(ZlibFailure(kPrefix, code));
        }
    } while (code != Z_STREAM_END);
    if (code != Z_STREAM_END || output.Produced(stream) > outputLimit) {
        throw ECodecError(std::string(kPrefix) + "output exceeds " +
                          IntToStr(static_cast<int64_t>(outputLimit)) + " bytes");
    }
    return output.Take(stream);
}

}  // namespace px3
