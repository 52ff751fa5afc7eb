#include "messaging/message_stack.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "hex.h"
#include "messaging/messaging_errors.h"

namespace px3 {
namespace {

using test_bytes::LengthWord;

std::string Frame(const std::string& payload) {
    return LengthWord(static_cast<int32_t>(payload.size())) + payload;
}

std::string BlockSizeError(TMessageStack& stack, const std::string& bytes) {
    try {
        stack.AppendReceived(bytes);
    } catch (const EProtocolError& e) {
        return e.Message();
    }
    return "(no error)";
}

TEST(MessageStack, FrameSplitOverThreeReadsIsCutOnceAfterTheThird) {
    TMessageStack stack;
    const std::string frame = Frame("a payload of some length");
    stack.AppendReceived(frame.substr(0, 2));
    EXPECT_FALSE(stack.HasMessage());
    stack.AppendReceived(frame.substr(2, 10));
    EXPECT_FALSE(stack.HasMessage());
    stack.AppendReceived(frame.substr(12));
    ASSERT_TRUE(stack.HasMessage());
    EXPECT_EQ(stack.PopMessage(), "a payload of some length");
    EXPECT_FALSE(stack.HasMessage());
    EXPECT_EQ(stack.BufferedSize(), 0u);
}

TEST(MessageStack, TwoFramesInOneReadComeOutInOrder) {
    TMessageStack stack;
    stack.AppendReceived(Frame("first") + Frame("") + Frame("second") + "\x03");
    EXPECT_EQ(stack.PopMessage(), "first");
    EXPECT_EQ(stack.PopMessage(), "");
    EXPECT_EQ(stack.PopMessage(), "second");
    EXPECT_FALSE(stack.HasMessage());
    EXPECT_EQ(stack.PopMessage(), "");
    EXPECT_EQ(stack.BufferedSize(), 1u);
}

TEST(MessageStack, LengthWordAloneIsNotExaminedUntilAFifthByte) {
    TMessageStack stack;
    stack.AppendReceived(LengthWord(-5));
    EXPECT_EQ(BlockSizeError(stack, "x"), "Invalid block size (-5)!");
}

TEST(MessageStack, LengthOutsideTheLimitIsRefusedAndKeptInTheBuffer) {
    for (int32_t length : {-5, -2, 104857601, INT32_MIN}) {
        TMessageStack stack;
        const std::string bad = LengthWord(length) + "data";
        const std::string expected = "Invalid block size (" + std::to_string(length) + ")!";
        EXPECT_EQ(BlockSizeError(stack, Frame("before") + bad), expected);
        EXPECT_EQ(stack.BufferedSize(), bad.size());
        EXPECT_EQ(BlockSizeError(stack, Frame("after")), expected);
        EXPECT_EQ(stack.PopMessage(), "before");
        EXPECT_FALSE(stack.HasMessage());
    }
}

TEST(MessageStack, LengthAtTheLimitWaitsForItsDataWithoutReservingIt) {
    TMessageStack stack;
    stack.AppendReceived(LengthWord(104857600) + "x");
    EXPECT_FALSE(stack.HasMessage());
    EXPECT_EQ(stack.BufferCapacity(), 4096u);
}

TEST(MessageStack, BlockingModeMarkerBeforeFramesIsSkipped) {
    TMessageStack stack;
    stack.AppendReceived(LengthWord(-1) + Frame("request") + LengthWord(-1));
    EXPECT_EQ(stack.PopMessage(), "request");
    EXPECT_EQ(BlockSizeError(stack, LengthWord(-2) + "x"), "Invalid block size (-2)!");
}

TEST(MessageStack, LargeFrameInSmallReadsKeepsCapacityInWholeUnits) {
    TMessageStack stack;
    std::string payload(300000, '\0');
    for (size_t i = 0; i < payload.size(); ++i) {
        payload[i] = static_cast<char>(i % 251);
    }
    const std::string frames = Frame("small") + Frame(payload) + Frame("tail");
    for (size_t at = 0; at < frames.size(); at += 1000) {
        stack.AppendReceived(std::string_view(frames).substr(at, 1000));
        EXPECT_EQ(stack.BufferCapacity() % 4096, 0u);
        EXPECT_LE(stack.BufferedSize(), stack.BufferCapacity());
    }
    EXPECT_EQ(stack.PopMessage(), "small");
    EXPECT_EQ(stack.PopMessage(), payload);
    EXPECT_EQ(stack.PopMessage(), "tail");
}

}  // namespace
}  // namespace px3
