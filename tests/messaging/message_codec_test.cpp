#include "messaging/message_codec.h"

#include <gtest/gtest.h>

#include <vector>

#include "hex.h"
#include "messaging/frame.h"
#include "messaging/message_kinds.h"
#include "messaging/messaging_errors.h"
#include "messaging/string_line.h"

namespace px3 {
namespace {

std::string KeepAlive() {
    TStringLine line;
    line.SetKind(mkCodedMessage);
    line.AddField(-1);
    line.AddField("");
    return line.Pack();
}

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ECodecError& e) {
        return e.Message();
    }
    return "(no error)";
}

TEST(MessageCodec, ZlibFrameIsLengthThenLevelOneStream) {
    TMessageCodec codec;
    codec.SetCompression(acZLib);
    std::string bytes = KeepAlive();
    codec.EncodeOutgoing(bytes);
    const std::string payload = bytes;
    FrameMessage(bytes);
    ASSERT_EQ(bytes.size(), payload.size() + 4);
    EXPECT_EQ(bytes.substr(0, 4), test_bytes::LengthWord(static_cast<int32_t>(payload.size())));
    EXPECT_EQ(bytes.substr(4, 2), test_bytes::Hex("78 01"));

    std::string decoded = payload;
    codec.DecodeIncoming(decoded);
    EXPECT_EQ(decoded, KeepAlive());
}

TEST(MessageCodec, CountsAndReportsBytesBeforeEncodingAndAsReceived) {
    TMessageCodec codec;
    codec.SetCompression(acZLib);
    std::vector<std::string> seen;
    std::vector<int64_t> figures;
    auto record = [&](TMessageCodec& sender, const std::string& data, int64_t amount,
                      int64_t total) {
        EXPECT_EQ(&sender, &codec);
        seen.push_back(data);
        figures.insert(figures.end(), {amount, total});
    };
    codec.OnBytesOutEvent = record;
    codec.OnBytesInEvent = record;

    std::string message = KeepAlive();
    codec.EncodeOutgoing(message);
    std::string again = KeepAlive();
    codec.EncodeOutgoing(again);
    const std::string payload = message;
    codec.DecodeIncoming(message);

    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], KeepAlive());
    EXPECT_EQ(seen[2], payload);
    const auto size = static_cast<int64_t>(payload.size());
    EXPECT_EQ(figures, (std::vector<int64_t>{52, 52, 52, 104, size, size}));
    EXPECT_EQ(codec.BytesOutTotal(), 104);
    EXPECT_EQ(codec.BytesInTotal(), size);
    codec.ResetTotals();
    EXPECT_EQ(codec.BytesOutTotal(), 0);
    EXPECT_EQ(codec.BytesInTotal(), 0);
}

TEST(MessageCodec, BrokenZlibPayloadsFailWithZlibText) {
    TMessageCodec codec;
    codec.SetCompression(acZLib);
    std::string valid = KeepAlive();
    codec.EncodeOutgoing(valid);
    const struct {
        std::string payload;
        const char* error;
    } cases[] = {
        {"not a zlib stream", "Decompression error: data error"},
        {test_bytes::Hex("78 01 ff ff ff ff"), "Decompression error: data error"},
        {valid.substr(0, valid.size() - 3), "Decompression error: buffer error"},
        {"", "Decompression error: buffer error"},
    };
    for (const auto& c : cases) {
        std::string bytes = c.payload;
        EXPECT_EQ(ErrorOf([&] { codec.DecodeIncoming(bytes); }), c.error) << c.payload;
    }
}

TEST(MessageCodec, DecompressionStopsAtItsOutputLimit) {
    constexpr size_t kLimit = 1 << 20;
    TMessageCodec codec(kLimit);
    codec.SetCompression(acZLib);
    std::string atLimit(kLimit, 'a');
    codec.EncodeOutgoing(atLimit);
    codec.DecodeIncoming(atLimit);
    EXPECT_EQ(atLimit.size(), kLimit);

    std::string bomb(kLimit * 8, '\0');
    codec.EncodeOutgoing(bomb);
    ASSERT_LT(bomb.size(), 64u * 1024);
    EXPECT_EQ(ErrorOf([&] { codec.DecodeIncoming(bomb); }),
              "Decompression error: output exceeds 1048576 bytes");
}

TEST(MessageCodec, LzhIsRefusedWhenSetAndWhenSending) {
    TMessageCodec codec;
    EXPECT_EQ(ErrorOf([&] { codec.SetCompression(acLzhCompress); }),
              "Lzh compression only supported as Custom Compression\rUse ZLib!");
    EXPECT_EQ(codec.Compression(), acLzhCompress);
    std::string bytes = "packed";
    EXPECT_EQ(ErrorOf([&] { codec.EncodeOutgoing(bytes); }),
              "Use ZLib Compression. LZH compression must be implemetned as userdefined");
    codec.DecodeIncoming(bytes);
    EXPECT_EQ(bytes, "packed");
}

TEST(MessageCodec, UserDefinedCompressionNeedsItsHandlers) {
    TMessageCodec codec;
    codec.SetCompression(acUserDefined);
    std::string bytes = "packed";
    EXPECT_EQ(ErrorOf([&] { codec.EncodeOutgoing(bytes); }),
              "The Application is set for UserDefined Compression, but there is no code assigned "
              "to the OnCompress event handler");
    EXPECT_EQ(ErrorOf([&] { codec.DecodeIncoming(bytes); }),
              "The Application is set for UserDefined Compression, but there is no code assigned "
              "to the OnDecompress event handler.");

    codec.OnCompress = [](TMessageCodec&, std::string& data) { data = "<" + data + ">"; };
    codec.OnDecompress = [](TMessageCodec&, std::string& data) {
        data = data.substr(1, data.size() - 2);
    };
    codec.EncodeOutgoing(bytes);
    EXPECT_EQ(bytes, "<packed>");
    codec.DecodeIncoming(bytes);
    EXPECT_EQ(bytes, "packed");
}

TEST(MessageCodec, NoCompressionPassesBytesThrough) {
    TMessageCodec codec;
    EXPECT_EQ(codec.Compression(), acNoCompression);
    std::string bytes = KeepAlive();
    codec.EncodeOutgoing(bytes);
    codec.DecodeIncoming(bytes);
    EXPECT_EQ(bytes, KeepAlive());
}

}  // namespace
}  // namespace px3
