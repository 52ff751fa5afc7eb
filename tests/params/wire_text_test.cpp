#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "hex.h"
#include "params/param_list.h"
#include "params/wire_format.h"

namespace px3 {
namespace {

using testing::FromHex;
using testing::Record;
using std::string_literals::operator""s;

std::unique_ptr<TParamList> Read(std::string_view text) {
    return TParamList::CreateFromWireText(text, 0);
}

void ExpectSameItems(const TParamList& a, const TParamList& b) {
    ASSERT_EQ(a.Count(), b.Count());
    for (int32_t i = 0; i < a.Count(); ++i) {
        const TParamItem& x = a.GetItem(i);
        const TParamItem& y = b.GetItem(i);
        EXPECT_EQ(x.Name(), y.Name()) << i;
        EXPECT_EQ(x.DataType(), y.DataType()) << i;
        EXPECT_EQ(x.ParamType(), y.ParamType()) << i;
        EXPECT_EQ(x.IsNull(), y.IsNull()) << i;
        EXPECT_EQ(x.RawValue(), y.RawValue()) << i;
    }
}

TEST(WireText, WritesTheKnownRecordsByteForByte) {
    TParamList list;
    list.FastAdd("FileName", "readme.txt");
    EXPECT_EQ(list.GetWireText(false),
              FromHex("1c 00 00 00 46 69 6c 65 4e 61 6d 65 06 31 06 31 06 30 06 31 30 06 72 65 "
                      "61 64 6d 65 2e 74 78 74"));

    list.FastAdd("FileName", "");
    EXPECT_EQ(list.GetWireText(false),
              FromHex("11 00 00 00 46 69 6c 65 4e 61 6d 65 06 31 06 31 06 31 06 30 06"));

    TParamList flag;
    flag.FastAdd("Flag", true);
    EXPECT_EQ(flag.GetWireText(false),
              FromHex("11 00 00 00 46 6c 61 67 06 35 06 31 06 30 06 34 06 54 72 75 65"));
}

TEST(WireText, WritesNothingForAnEmptyListOrWhenNoItemIsInput) {
    TParamList list;
    EXPECT_EQ(list.GetWireText(false), "");
    list.AddTypedParam(TFieldType::ftString, "a", TParamType::ptOutput).SetAsString("x");
    list.AddTypedParam(TFieldType::ftString, "b", TParamType::ptResult).SetAsString("y");
    list.AddTypedParam(TFieldType::ftString, "c", TParamType::ptUnknown).SetAsString("z");
    EXPECT_EQ(list.GetWireText(true), "");
    EXPECT_EQ(Read("")->Count(), 0);
}

TEST(WireText, InputOnlyKeepsInputAndInputOutputItems) {
    TParamList list;
    list.AddTypedParam(TFieldType::ftString, "in", TParamType::ptInput).SetAsString("1");
    list.AddTypedParam(TFieldType::ftString, "out", TParamType::ptOutput).SetAsString("2");
    list.AddTypedParam(TFieldType::ftString, "both", TParamType::ptInputOutput).SetAsString("3");
    auto read = Read(list.GetWireText(true));
    ASSERT_EQ(read->Count(), 2);
    EXPECT_EQ(read->GetItem(0).Name(), "in");
    EXPECT_EQ(read->GetItem(1).Name(), "both");
    EXPECT_EQ(list.Count(), 3);
}

TEST(WireText, RoundTripKeepsEveryItemAndWritesTheSameBytesAgain) {
    TParamList list;
    list.FastAdd("binary", ByteArray{"a\x06\x00\x06z"s});
    list.FastAdd("big", std::string(5 * 1024 * 1024 + 3, '\x06'));
    list.FastAdd("number", int32_t{-42});
    list.FastAdd("when", DateTime{45000.25});
    list.FastAdd("null", Variant::Null());
    list.AddTypedParam(TFieldType::ftGuid, "typedNull", TParamType::ptOutput);
    list.GetItem(0).SetSize(7);

    const std::string text = list.GetWireText(false);
    auto read = Read(text);
    ExpectSameItems(list, *read);
    EXPECT_EQ(read->GetItem(0).Size(), 0);
    EXPECT_EQ(read->GetItem(0).RawValue(), "a\x06\x00\x06z"s);
    EXPECT_EQ(read->GetWireText(false), text);
}

TEST(WireText, ReadsLooseBodiesAsTheFieldRulesSay) {
    // No separator: only a name; missing fields read as 0.
    auto bare = Read(Record("abc"));
    ASSERT_EQ(bare->Count(), 1);
    EXPECT_EQ(bare->GetItem(0).Name(), "abc");
    EXPECT_EQ(bare->GetItem(0).DataType(), TFieldType::ftUnknown);
    EXPECT_EQ(bare->GetItem(0).ParamType(), TParamType::ptUnknown);
    EXPECT_FALSE(bare->GetItem(0).IsNull());
    EXPECT_EQ(bare->GetItem(0).DataLength(), 0u);

    // Fields that are not numbers read as 0, numbers keep their low 8 bits, bytes after the
    // value are ignored, and a value length of 0 or less gives no value.
    auto loose = Read(Record("n\x06x\x06"
                             "258\x06"
                             "0\x06"
                             "2\x06"
                             "abXYZ") +
                      Record("m\x06"
                             "1\x06"
                             "1\x06"
                             "0\x06"
                             "-3\x06"
                             "abc") +
                      Record("k\x06"
                             "1\x06"
                             "1\x06"
                             "0\x06"
                             "0"));
    ASSERT_EQ(loose->Count(), 3);
    EXPECT_EQ(loose->GetItem(0).DataType(), TFieldType::ftUnknown);
    EXPECT_EQ(loose->GetItem(0).ParamType(), TParamType::ptOutput);
    EXPECT_EQ(loose->GetItem(0).RawValue(), "ab");
    EXPECT_EQ(loose->GetItem(1).RawValue(), "");
    EXPECT_EQ(loose->GetItem(2).RawValue(), "");
    EXPECT_EQ(loose->NextID(), 3);
}

TEST(WireText, NullItemWithBytesKeepsThemThroughReadingAndWriting) {
    const std::string text = Record(
        "FileName\x06"
        "1\x06"
        "1\x06"
        "1\x06"
        "3\x06"
        "abc");
    auto list = Read(text);
    const TParamItem& item = list->GetItem(0);
    EXPECT_TRUE(item.IsNull());
    EXPECT_EQ(item.DataLength(), 3u);
    EXPECT_EQ(item.AsString(), "");
    EXPECT_TRUE(item.Value().IsNull());
    EXPECT_EQ(item.AsStream()->str(), "");
    EXPECT_EQ(list->GetWireText(false), text);
}

TEST(WireText, MalformedTextRaisesInsteadOfLosingItems) {
    const std::string good = Record(
        "a\x06"
        "1\x06"
        "1\x06"
        "0\x06"
        "2\x06"
        "xy");
    struct Case {
        std::string text;
        const char* message;
    };
    const Case cases[] = {
        {good + "\x05\x00"s, "record 2 has an incomplete length prefix"},
        {good + "\xff\xff\xff\xff"s, "record 2 has a negative length"},
        {good + good + good.substr(0, good.size() - 1), "record 3 runs past the end of the text"},
        {Record("a\x06"
                "1\x06"
                "1\x06"
                "0\x06"
                "5\x06"
                "xy"),
         "the value of record 1 runs past the end of the record"},
        {Record("a\x06"
                "1\x06"
                "1\x06"
                "0\x06"
                "2"),
         "record 1 has no separator before its value"},
    };
    for (const Case& c : cases) {
        try {
            Read(c.text);
            ADD_FAILURE() << c.message;
        } catch (const EParamException& e) {
            EXPECT_EQ(e.Message(), std::string("Malformed parameter list: ") + c.message);
        }
    }
}

TEST(WireText, OnlyFormatZeroIsRead) {
    const std::string text = Record("a");
    for (uint8_t format = 1; format <= 6; ++format) {
        EXPECT_THROW(TParamList::CreateFromWireText(text, format), EParamException);
    }
    EXPECT_EQ(TParamList::CreateFromWireText(text, 7)->Count(), 0);
}

TEST(WireText, RefusesANameThatWouldReadBackAsOtherFields) {
    TParamList list;
    list.FastAdd(
        "a\x06"
        "1",
        "x");
    try {
        list.GetWireText(false);
        FAIL();
    } catch (const EParamException& e) {
        EXPECT_EQ(e.Message(),
                  "Parameter name a\x06"
                  "1 holds the byte 0x06, which a parameter list cannot carry");
    }
    list.GetItem(0).SetParamType(TParamType::ptOutput);
    EXPECT_EQ(list.GetWireText(true), "");
}

TEST(WireText, RefusesRecordsTooLongForTheirLengthPrefix) {
    EXPECT_NO_THROW(CheckWireBodyLength(2147483647u, "Big"));
    try {
        CheckWireBodyLength(2147483648u, "Big");
        FAIL();
    } catch (const EParamException& e) {
        EXPECT_EQ(e.Message(),
                  "Parameter Big is too large for a parameter list: its record needs 2147483648 "
                  "bytes");
    }
}

TEST(WireText, BufferGrowsInTheDocumentedSteps) {
    EXPECT_EQ(WireBufferCapacity(0), 256u);
    EXPECT_EQ(WireBufferCapacity(257), 768u);
    EXPECT_EQ(WireBufferCapacity(32768 + 1),
              256u + 512 + 1024 + 2048 + 4096 + 8192 + 16384 + 32768);
    EXPECT_EQ(WireBufferCapacity(65281), 65280u + 32768);
}

}  // namespace
}  // namespace px3
