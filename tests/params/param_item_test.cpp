#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "hex.h"
#include "params/param_list.h"
#include "params/stored_forms.h"

namespace px3 {
namespace {

using std::string_literals::operator""s;

std::string ErrorOf(auto&& action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "(no error)";
}

// An item whose stored bytes are given, then re-typed without conversion.
TParamItem& Stored(TParamList& list, std::string_view bytes, TFieldType type) {
    TParamItem& item = list.Add();
    item.SetAsString(bytes);
    item.SetDataType(type);
    return item;
}

TEST(ParamItem, SettersStoreTheFixedForms) {
    TParamList list;
    TParamItem& item = list.Add();
    struct Case {
        std::function<void()> set;
        TFieldType type;
        std::string stored;
    };
    const Case cases[] = {
        {[&] { item.SetAsSmallint(65536 + 5); }, TFieldType::ftSmallint, "5"},
        {[&] { item.SetAsSmallint(-2); }, TFieldType::ftSmallint, "-2"},
        {[&] { item.SetAsWord(-1); }, TFieldType::ftWord, "65535"},
        {[&] { item.SetAsInteger(INT32_MIN); }, TFieldType::ftInteger, "-2147483648"},
        {[&] { item.SetAsLargeInt(INT64_MAX); }, TFieldType::ftLargeint, "9223372036854775807"},
        {[&] { item.SetAsBoolean(false); }, TFieldType::ftBoolean, "False"},
        {[&] { item.SetAsFloat(1.5); }, TFieldType::ftFloat,
         testing::FromHex("05 00 00 00 00 00 00 f8 3f")},
        {[&] { item.SetAsDate(2.0); }, TFieldType::ftDate,
         testing::FromHex("05 00 00 00 00 00 00 00 40")},
        {[&] { item.SetAsTime(0.5); }, TFieldType::ftTime, EncodeFloat(0.5)},
        {[&] { item.SetAsDateTime(2.5); }, TFieldType::ftDateTime, EncodeFloat(2.5)},
        {[&] { item.SetAsCurrency(Currency{-12345}); }, TFieldType::ftCurrency,
         testing::FromHex("08 c7 cf ff ff ff ff ff ff")},
        {[&] { item.SetAsBCD(Currency{10000}); }, TFieldType::ftBCD,
         testing::FromHex("08 10 27 00 00 00 00 00 00")},
        {[&] {
             item.SetAsSQLTimeStamp({2024, 2, 29, 13, 5, 9, 7});
         },
         TFieldType::ftTimeStamp,
         testing::FromHex("09 e8 07 02 00 1d 00 0d 00 05 00 09 00 07 00 00 00")},
        {[&] { item.SetAsMemo("m"); }, TFieldType::ftMemo, "m"},
        {[&] { item.SetAsBlob("\x00\x01"s); }, TFieldType::ftBlob, "\x00\x01"s},
        {[&] { item.SetAsGUID("{01234567-89AB-CDEF-0123-456789ABCDEF}"); }, TFieldType::ftGuid,
         "{01234567-89AB-CDEF-0123-456789ABCDEF}"},
    };
    for (const Case& c : cases) {
        item.Clear();
        c.set();
        EXPECT_EQ(item.DataType(), c.type) << c.stored;
        EXPECT_EQ(item.RawValue(), c.stored);
        EXPECT_FALSE(item.IsNull()) << c.stored;
    }
    FmtBcd bcd;
    bcd.Precision = 3;
    bcd.SignAndPlaces = 0x81;
    bcd.Digits[0] = 0x12;
    bcd.Digits[1] = 0x30;
    item.SetAsFMTBCD(bcd);
    EXPECT_EQ(item.RawValue().size(), 35u);
    EXPECT_EQ(item.RawValue().substr(0, 5), testing::FromHex("07 03 81 12 30"));
    EXPECT_EQ(item.AsFMTBCD(), bcd);
    EXPECT_EQ(item.AsString(), "-12.3");
}

TEST(ParamItem, EmptyTextsAndShortGuidsLeaveTheItemNull) {
    TParamList list;
    TParamItem& item = list.Add();
    item.SetAsGUID("{0123}");
    EXPECT_TRUE(item.IsNull());
    EXPECT_EQ(item.RawValue(), "");
    EXPECT_EQ(item.DataType(), TFieldType::ftGuid);
    EXPECT_EQ(item.AsString(), "{00000000-0000-0000-0000-000000000000}");
    item.SetAsMemo("");
    EXPECT_TRUE(item.IsNull());
    EXPECT_EQ(item.DataType(), TFieldType::ftMemo);
    EXPECT_EQ(item.AsString(), "");
}

TEST(ParamItem, GettersReadStoredFormsAndConvertOtherTypes) {
    TParamList list;
    EXPECT_EQ(Stored(list, "abc", TFieldType::ftInteger).AsInteger(), 0);
    EXPECT_EQ(Stored(list, " $10", TFieldType::ftAutoInc).AsInteger(), 16);
    EXPECT_EQ(Stored(list, "9999999999", TFieldType::ftLargeint).AsInteger(), 0);
    EXPECT_EQ(Stored(list, "9999999999", TFieldType::ftLargeint).AsLargeInt(), 9999999999);
    EXPECT_EQ(Stored(list, "42", TFieldType::ftString).AsInteger(), 42);
    EXPECT_EQ(ErrorOf([&] { Stored(list, "abc", TFieldType::ftString).AsInteger(); }),
              "Could not convert variant of type (String) into type (Int32)");
    EXPECT_EQ(Stored(list, "70000", TFieldType::ftSmallint).AsSmallint(), 4464);
    EXPECT_EQ(Stored(list, "-1", TFieldType::ftWord).AsWord(), 65535);
    EXPECT_TRUE(Stored(list, "tRUE", TFieldType::ftBoolean).AsBoolean());
    EXPECT_FALSE(Stored(list, "yes", TFieldType::ftBoolean).AsBoolean());

    const std::string bare = testing::FromHex("00 00 00 00 00 00 f8 3f");
    EXPECT_EQ(Stored(list, bare, TFieldType::ftFloat).AsFloat(), 1.5);
    EXPECT_EQ(Stored(list, "\x05" + bare.substr(1), TFieldType::ftFloat).AsFloat(), 0.0);
    EXPECT_EQ(Stored(list, EncodeFloat(1.5) + "x", TFieldType::ftFloat).AsFloat(), 0.0);
    EXPECT_EQ(Stored(list, bare, TFieldType::ftCurrency).AsCurrency(),
              Currency{0x3ff8000000000000});
    EXPECT_EQ(Stored(list, "short", TFieldType::ftTimeStamp).AsSQLTimeStamp(), SqlTimeStamp{});
    EXPECT_EQ(Stored(list, "short", TFieldType::ftFMTBcd).AsFMTBCD(), FmtBcd{});

    TParamItem& retyped = list.Add();
    retyped.SetAsFloat(2.25);
    retyped.SetDataType(TFieldType::ftString);
    EXPECT_EQ(retyped.AsString(), EncodeFloat(2.25));

    TParamItem& number = list.Add();
    number.SetAsFloat(2.5);
    EXPECT_EQ(number.AsInteger(), 2);
    EXPECT_EQ(number.AsString(), "2.5");
    EXPECT_EQ(number.AsCurrency(), Currency{25000});

    TParamItem& stamp = list.Add();
    stamp.SetAsSQLTimeStamp({1899, 12, 31, 12, 0, 0, 0});
    EXPECT_EQ(stamp.AsDateTime(), 1.5);
    EXPECT_EQ(stamp.AsString(), "1899-12-31 12:00:00");
}

TEST(ParamItem, NullItemsReadAsZero) {
    TParamList list;
    TParamItem& item = list.AddTypedParam(TFieldType::ftFloat, "x", TParamType::ptInput);
    EXPECT_EQ(item.AsFloat(), 0.0);
    EXPECT_EQ(item.AsInteger(), 0);
    EXPECT_EQ(item.AsString(), "");
    EXPECT_FALSE(item.AsBoolean());
    EXPECT_EQ(item.AsSQLTimeStamp(), SqlTimeStamp{});
    EXPECT_TRUE(item.Value().IsNull());
    item.SetAsInteger(5);
    item.SetIsNull(true);
    EXPECT_EQ(item.RawValue(), "");
    EXPECT_EQ(item.DataType(), TFieldType::ftInteger);
}

TEST(ParamItem, ValueReadsEachTypeAsItsKind) {
    TParamList list;
    using Kind = Variant::Kind;
    struct Case {
        std::function<void(TParamItem&)> set;
        Variant expected;
    };
    const Case cases[] = {
        {[](TParamItem& i) { i.SetAsString("t"); }, Variant("t")},
        {[](TParamItem& i) { i.SetAsBlob("b"); }, Variant("b")},
        {[](TParamItem& i) { i.SetAsSmallint(-3); }, Variant(int16_t{-3})},
        {[](TParamItem& i) { i.SetAsWord(3); }, Variant(uint16_t{3})},
        {[](TParamItem& i) { i.SetAsInteger(3); }, Variant(int32_t{3})},
        {[](TParamItem& i) { i.SetAsLargeInt(3); }, Variant(int64_t{3})},
        {[](TParamItem& i) { i.SetAsBoolean(true); }, Variant(true)},
        {[](TParamItem& i) { i.SetAsFloat(0.25); }, Variant(0.25)},
        {[](TParamItem& i) { i.SetAsCurrency({5}); }, Variant(Currency{5})},
        {[](TParamItem& i) { i.SetAsBCD({5}); }, Variant(Currency{5})},
        {[](TParamItem& i) { i.SetAsTime(0.75); }, Variant(DateTime{0.75})},
        {[](TParamItem& i) { i.SetValue(ByteArray{"\x00\x01"s}); },
         Variant(ByteArray{"\x00\x01"s})},
        {[](TParamItem& i) {
             i.SetAsSQLTimeStamp({1, 2, 3, 4, 5, 6, 7});
         },
         Variant(SqlTimeStamp{1, 2, 3, 4, 5, 6, 7})},
        {[](TParamItem& i) {
             i.SetAsInteger(1);
             i.SetDataType(TFieldType::ftGraphic);
         },
         Variant::Null()},
    };
    for (const Case& c : cases) {
        TParamItem& item = list.Add();
        c.set(item);
        EXPECT_EQ(item.Value(), c.expected) << item.Value().TypeName();
    }
    EXPECT_EQ(list.GetItem(0).Value().GetKind(), Kind::Text);
}

TEST(ParamItem, ValueWriteChoosesTheSetterByKind) {
    TParamList list;
    struct Case {
        Variant value;
        TFieldType before;
        TFieldType after;
        std::string stored;
    };
    const Case cases[] = {
        {Variant(int8_t{-5}), TFieldType::ftUnknown, TFieldType::ftSmallint, "-5"},
        {Variant(uint8_t{200}), TFieldType::ftInteger, TFieldType::ftInteger, "200"},
        {Variant(int16_t{7}), TFieldType::ftString, TFieldType::ftSmallint, "7"},
        {Variant(uint16_t{65535}), TFieldType::ftUnknown, TFieldType::ftWord, "65535"},
        {Variant(uint32_t{4000000000u}), TFieldType::ftUnknown, TFieldType::ftLargeint,
         "4000000000"},
        {Variant(int64_t{-1}), TFieldType::ftUnknown, TFieldType::ftLargeint, "-1"},
        {Variant(1.5f), TFieldType::ftUnknown, TFieldType::ftFloat, EncodeFloat(1.5)},
        {Variant(DateTime{3.0}), TFieldType::ftUnknown, TFieldType::ftDateTime, EncodeFloat(3)},
        {Variant(Currency{1}), TFieldType::ftBCD, TFieldType::ftCurrency, EncodeCurrency({1})},
        {Variant(ByteArray{"ab"}), TFieldType::ftVarBytes, TFieldType::ftVarBytes, "ab"},
        {Variant(ByteArray{"ab"}), TFieldType::ftString, TFieldType::ftBytes, "ab"},
    };
    for (const Case& c : cases) {
        TParamItem& item = list.Add();
        item.SetDataType(c.before);
        item.SetValue(c.value);
        EXPECT_EQ(item.DataType(), c.after) << c.stored;
        EXPECT_EQ(item.RawValue(), c.stored);
        EXPECT_FALSE(item.IsNull());
    }
    TParamItem& item = list.Add();
    item.SetAsInteger(1);
    item.SetValue(Variant());
    EXPECT_EQ(item.DataType(), TFieldType::ftUnknown);
    EXPECT_TRUE(item.IsNull());
    item.SetAsInteger(1);
    item.SetValue(Variant::Null());
    EXPECT_EQ(item.DataType(), TFieldType::ftInteger);
    EXPECT_TRUE(item.IsNull());
}

TEST(ParamItem, DispatchReferenceReadsBackAsItsNumber) {
    TParamList list;
    TParamItem& item = list.Add();
    item.SetValue(DispatchRef{reinterpret_cast<const void*>(uintptr_t{0x1234})});
    EXPECT_EQ(item.DataType(), TFieldType::ftIDispatch);
    EXPECT_EQ(item.RawValue(), "4660");
    EXPECT_EQ(item.AsInteger(), 0x1234);
    EXPECT_EQ(item.Value(), Variant(int32_t{0x1234}));
}

TEST(ParamItem, SetAsTextParsesByType) {
    TParamList list;
    struct Case {
        TFieldType type;
        const char* text;
        TFieldType after;
        std::string stored;
    };
    const Case cases[] = {
        {TFieldType::ftUnknown, "abc", TFieldType::ftString, "abc"},
        {TFieldType::ftGuid, "g", TFieldType::ftString, "g"},
        {TFieldType::ftSmallint, "65537", TFieldType::ftSmallint, "1"},
        {TFieldType::ftAutoInc, "0x10", TFieldType::ftInteger, "16"},
        {TFieldType::ftWord, "-1", TFieldType::ftWord, "65535"},
        {TFieldType::ftLargeint, "-9000000000", TFieldType::ftLargeint, "-9000000000"},
        {TFieldType::ftBoolean, " true ", TFieldType::ftBoolean, "True"},
        {TFieldType::ftBoolean, "yes", TFieldType::ftBoolean, "False"},
        {TFieldType::ftFloat, "1.5", TFieldType::ftFloat, EncodeFloat(1.5)},
        {TFieldType::ftCurrency, "-1.23456", TFieldType::ftCurrency, EncodeCurrency({-12346})},
        {TFieldType::ftDate, "1900-01-01", TFieldType::ftDate, EncodeFloat(2)},
        {TFieldType::ftTime, "18:00", TFieldType::ftTime, EncodeFloat(0.75)},
        {TFieldType::ftDateTime, "1899-12-29 06:00:00", TFieldType::ftDateTime, EncodeFloat(-1.25)},
        {TFieldType::ftOraClob, "c", TFieldType::ftOraClob, "c"},
        {TFieldType::ftOraBlob, "b", TFieldType::ftOraBlob, "b"},
    };
    for (const Case& c : cases) {
        TParamItem& item = list.Add();
        item.SetDataType(c.type);
        item.SetAsText(c.text);
        EXPECT_EQ(item.DataType(), c.after) << c.text;
        EXPECT_EQ(item.RawValue(), c.stored) << c.text;
    }
    TParamItem& other = list.AddTypedParam(TFieldType::ftCursor, "cursor", TParamType::ptInput);
    other.SetAsText("x");
    EXPECT_TRUE(other.IsNull());
}

TEST(ParamItem, SetAsTextFailureLeavesTheItemNull) {
    TParamList list;
    const TFieldType types[] = {TFieldType::ftInteger,  TFieldType::ftFloat,
                                TFieldType::ftDate,     TFieldType::ftTimeStamp,
                                TFieldType::ftCurrency, TFieldType::ftFMTBcd};
    for (TFieldType type : types) {
        TParamItem& item = list.AddTypedParam(type, "Amount", TParamType::ptInput);
        item.SetAsBoolean(true);
        item.SetDataType(type);
        EXPECT_EQ(ErrorOf([&] { item.SetAsText("1,5x"); }), "Unable to call SetAsText for Amount");
        EXPECT_TRUE(item.IsNull());
        EXPECT_EQ(item.RawValue(), "");
    }
    TParamItem& empty = list.Add();
    empty.SetAsText("");
    EXPECT_EQ(empty.DataType(), TFieldType::ftString);
    EXPECT_TRUE(empty.IsNull());
}

TEST(ParamItem, SizeOnlyForSizedTypes) {
    TParamList list;
    TParamItem& item = list.AddTypedParam(TFieldType::ftInteger, "n", TParamType::ptInput);
    item.SetSize(10);
    EXPECT_EQ(item.Size(), 0);
    item.SetDataType(TFieldType::ftString);
    item.SetSize(-1);
    EXPECT_EQ(item.Size(), 0);
    item.SetSize(10);
    EXPECT_EQ(item.Size(), 10);
}

TEST(ParamItem, DirectionFlags) {
    TParamList list;
    TParamItem& item = list.Add();
    const std::pair<TParamType, std::pair<bool, bool>> cases[] = {
        {TParamType::ptUnknown, {false, false}}, {TParamType::ptInput, {true, false}},
        {TParamType::ptOutput, {false, true}},   {TParamType::ptInputOutput, {true, true}},
        {TParamType::ptResult, {false, true}},
    };
    for (const auto& [type, flags] : cases) {
        item.SetParamType(type);
        EXPECT_EQ(item.IsInput(), flags.first);
        EXPECT_EQ(item.IsOutput(), flags.second);
    }
}

class ParamItemFile : public ::testing::Test {
  protected:
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string Path(const char* name) { return (folder_ / name).string(); }
    static std::string Contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

    std::filesystem::path folder_ = [] {
        auto folder =
            std::filesystem::temp_directory_path() /
            ("px3_params_" +
             std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(folder);
        return folder;
    }();
};

TEST_F(ParamItemFile, SavesExactlyTheItemsBytes) {
    const std::string path = Path("out.bin");
    std::ofstream(path, std::ios::binary) << std::string(100, 'z');
    TParamList list;
    TParamItem& item = list.Add();
    item.SetAsBlob("a\x00\x06"s);
    item.SaveToFile(path);
    EXPECT_EQ(Contents(path), "a\x00\x06"s);
    const std::string gbkPath = Path("\xCE\xC4\xBC\xFE.txt");
    item.SaveToFile(gbkPath);
    EXPECT_EQ(Contents(gbkPath), "a\x00\x06"s);

    auto read = TParamList::CreateFromWireText(testing::Record("f\x06"
                                                               "15\x06"
                                                               "1\x06"
                                                               "1\x06"
                                                               "3\x06"
                                                               "abc"),
                                               0);
    read->GetItem(0).SaveToFile(path);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(Contents(path), "");
}

TEST_F(ParamItemFile, ReportsAFileThatCannotBeCreated) {
    const std::string path = Path("missing/out.bin");
    TParamList list;
    list.FastAdd("x", "y");
    EXPECT_EQ(ErrorOf([&] { list.GetItem(0).SaveToFile(path); }), "Cannot create file " + path);
}

TEST(ParamItem, StreamHoldsACopyAtPositionZero) {
    TParamList list;
    TParamItem& item = list.Add();
    item.SetAsString("data");
    auto stream = item.AsStream();
    item.SetAsString("changed");
    std::string read;
    *stream >> read;
    EXPECT_EQ(read, "data");
}

}  // namespace
}  // namespace px3
