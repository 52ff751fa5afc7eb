#include "messaging/string_line.h"

#include <gtest/gtest.h>

#include "base/exception.h"
#include "hex.h"
#include "messaging/message_kinds.h"
#include "messaging/messaging_errors.h"

namespace px3 {
namespace {

using test_bytes::Hex;

TEST(StringLine, PacksCodedRequestByteForByte) {
    TStringLine line;
    line.SetKind(mkCodedParamList);
    line.AddField(5200);
    line.AddField("");
    line.AddField(1);
    const std::string expected =
        Hex("1c 00 00 00 00"
            " 06 01 00 00 00 05 00 00 00"
            " 00 05 00 00 00 05 00 00 00"
            " 06 05 00 00 00 06 00 00 00"
            " 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
            " 35 32 30 30 31");
    const std::string packed = line.Pack();
    ASSERT_EQ(packed.size(), 55u);
    EXPECT_EQ(packed, expected);
}

TEST(StringLine, PacksKeepAliveByteForByte) {
    TStringLine line;
    line.SetKind(mkCodedMessage);
    line.AddField(-1);
    line.AddField("");
    const std::string packed = line.Pack();
    ASSERT_EQ(packed.size(), 52u);
    EXPECT_EQ(packed, Hex("0f 00 00 00 00 06 01 00 00 00 03 00 00 00 00 03 00 00 00 03 00 00 00") +
                          std::string(27, '\0') + Hex("2d 31"));
}

TEST(StringLine, PackStartsANewMessageKeepingKindAndId) {
    TStringLine line;
    line.SetKind(mkServerMessage);
    line.SetId(7);
    line.AddField("first");
    line.AddField("second");
    line.Pack();
    line.AddField("only");
    TStringLine reader;
    reader.Unpack(line.Pack());
    EXPECT_EQ(reader.Kind(), mkServerMessage);
    EXPECT_EQ(reader.Id(), 7);
    EXPECT_EQ(reader.NextText(), "only");
    EXPECT_EQ(reader.NextText(), "only");
}

TEST(StringLine, ReadsEveryFieldTypeBack) {
    TStringLine line;
    line.SetKind(mkCodedStream);
    const std::string stream(
        "\0\x01\xff"
        "bytes",
        8);
    line.AddField(-99999999);
    line.AddField(stream, kFieldStream);
    line.AddField("object text", 1);
    line.AddField("-42", kFieldInteger);
    line.AddField("\xce\xac");

    TStringLine reader;
    reader.Unpack(line.Pack());
    EXPECT_EQ(reader.NextInteger(), -99999999);
    EXPECT_EQ(reader.NextStream(), stream);
    EXPECT_EQ(reader.NextText(), "object text");
    EXPECT_EQ(reader.NextInteger(), -42);
    EXPECT_EQ(reader.NextText(), "\xce\xac");
    EXPECT_EQ(reader.NextText(), "-99999999");
}

TEST(StringLine, ReadingPastTheLastFieldStartsAgain) {
    TStringLine line;
    line.AddField("one");
    line.AddField(2);
    TStringLine reader;
    reader.Unpack(line.Pack());
    EXPECT_EQ(reader.NextText(), "one");
    EXPECT_EQ(reader.NextInteger(), 2);
    EXPECT_EQ(reader.NextText(), "one");
    EXPECT_EQ(reader.NextText(), "2");
}

TEST(StringLine, RawMessageIsKind43WithItsMarkerRemoved) {
    TStringLine reader;
    reader.Unpack(Hex("fd ff ff ff 41 42"));
    EXPECT_EQ(reader.Kind(), kRawMessageKind);
    EXPECT_EQ(reader.NextText(), "");
}

TEST(StringLine, RefusesASixthFieldAndUnknownTypeCodes) {
    TStringLine line;
    for (int i = 0; i < kMaxMessageFields; ++i) {
        line.AddField(i);
    }
    try {
        line.AddField(5);
        FAIL() << "a sixth field was accepted";
    } catch (const EStringLineException& e) {
        EXPECT_EQ(e.Message(),
                  "STRINGLINE ERROR: Sending more the MaxFields!  Server & client may need to be "
                  "rebuilt.");
    }
    for (int code : {4, 5, 7, -1}) {
        TStringLine fresh;
        try {
            fresh.AddField("x", code);
            FAIL() << "type code " << code << " was accepted";
        } catch (const EStringLineException& e) {
            EXPECT_EQ(e.Message(), "STRINGLINE ERROR: Bad DataType.");
        }
    }
}

TEST(StringLine, NonNumericIntegerFailsWithConversionText) {
    TStringLine line;
    EXPECT_THROW(line.AddField("abc", kFieldInteger), EConvertError);
    line.AddField("12x");
    TStringLine reader;
    reader.Unpack(line.Pack());
    try {
        reader.NextInteger();
        FAIL() << "a non-numeric field read as an integer";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'12x' is not a valid integer value");
    }
}

TEST(StringLine, FieldRunningPastTheBodyIsMalformed) {
    TStringLine line;
    line.AddField("abc");
    std::string packed = line.Pack();
    packed.pop_back();
    TStringLine reader;
    reader.Unpack(packed);
    try {
        reader.NextText();
        FAIL() << "a field past the body was read";
    } catch (const EProtocolError& e) {
        EXPECT_EQ(e.Message(), "Malformed message: field 1 lies outside the message body");
    }
}

TEST(StringLine, ShortMessageReadsAsEmptyFields) {
    TStringLine reader;
    reader.Unpack(Hex("11 02"));
    EXPECT_EQ(reader.Kind(), mkLogin);
    EXPECT_EQ(reader.Id(), 2);
    EXPECT_EQ(reader.NextText(), "");
}

}  // namespace
}  // namespace px3
