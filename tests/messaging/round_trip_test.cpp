#include <gtest/gtest.h>

#include <vector>

#include "messaging/frame.h"
#include "messaging/frame_sender.h"
#include "messaging/message_codec.h"
#include "messaging/message_kinds.h"
#include "messaging/message_stack.h"
#include "messaging/received_message.h"
#include "messaging/string_line.h"

namespace px3 {
namespace {

// Sends messages the way the session does and receives them through small, uneven reads.
TEST(MessageRoundTrip, SentMessagesArriveWholeThroughTheCutter) {
    TMessageCodec codec;
    codec.SetCompression(acZLib);
    std::string wire;
    for (int32_t code : {5200, 7000}) {
        TStringLine line;
        line.SetKind(mkCodedParamList);
        line.AddField(code);
        line.AddField(std::string(20000, 'w'));
        line.AddField(1);
        std::string bytes = line.Pack();
        codec.EncodeOutgoing(bytes);
        FrameMessage(bytes);
        SendFrameInChunks(
            bytes,
            [&](std::string_view chunk) {
                wire.append(chunk);
                return static_cast<int64_t>(chunk.size());
            },
            [] {});
    }

    TMessageStack stack;
    std::vector<int32_t> codes;
    for (size_t at = 0, piece = 1; at < wire.size(); at += piece, piece = piece * 3 % 97 + 1) {
        stack.AppendReceived(std::string_view(wire).substr(at, piece));
        while (stack.HasMessage()) {
            std::string message = stack.PopMessage();
            codec.DecodeIncoming(message);
            ASSERT_EQ(ClassifyReceivedMessage(message), TReceivedMessageAction::Dispatch);
            TStringLine reader;
            reader.Unpack(std::move(message));
            EXPECT_EQ(reader.Kind(), mkCodedParamList);
            codes.push_back(reader.NextInteger());
            EXPECT_EQ(reader.NextText(), std::string(20000, 'w'));
            EXPECT_EQ(reader.NextInteger(), 1);
        }
    }
    EXPECT_EQ(codes, (std::vector<int32_t>{5200, 7000}));
}

}  // namespace
}  // namespace px3
