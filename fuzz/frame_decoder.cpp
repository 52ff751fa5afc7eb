// Received bytes, split into pieces of random sizes, through the cutter, the codec and the
// message reader.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/exception.h"
#include "messaging/message_codec.h"
#include "messaging/message_stack.h"
#include "messaging/received_message.h"
#include "messaging/string_line.h"

namespace {

// Small enough that inflating streams stay cheap, large enough to reach the limit's edge.
constexpr size_t kDecompressedLimit = size_t{16} << 20;

void ReadMessage(std::string message) {
    if (px3::ClassifyReceivedMessage(message) == px3::TReceivedMessageAction::Ignore) {
        return;
    }
    px3::TStringLine line;
    line.Unpack(std::move(message));
    for (int read = 0; read < px3::kMaxMessageFields + 1; ++read) {
        try {
            line.NextInteger();
        } catch (const px3::Exception&) {
        }
        line.NextText();
        line.NextStream();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider provider(data, size);
    px3::TMessageCodec codec(kDecompressedLimit);
    codec.SetCompression(provider.ConsumeBool() ? px3::acZLib : px3::acNoCompression);
    px3::TMessageStack stack;
    while (provider.remaining_bytes() > 0) {
        const std::string piece =
            provider.ConsumeBytesAsString(provider.ConsumeIntegralInRange<size_t>(1, 300));
        try {
            stack.AppendReceived(piece);
        } catch (const px3::Exception&) {
            // The stream cannot be resynchronised after a bad length word.
            return 0;
        }
        while (stack.HasMessage()) {
            std::string message = stack.PopMessage();
            try {
                codec.DecodeIncoming(message);
                if (!message.empty()) {
                    ReadMessage(std::move(message));
                }
            } catch (const px3::Exception&) {
            }
        }
    }
    return 0;
}
