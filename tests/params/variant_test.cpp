#include <gtest/gtest.h>

#include "params/bcd_text.h"
#include "params/date_time_text.h"
#include "params/number_text.h"
#include "params/variant.h"

namespace px3 {
namespace {

std::string ErrorOf(auto&& action) {
    try {
        action();
    } catch (const EVariantTypeCastError& e) {
        return e.Message();
    }
    return "(no error)";
}

TEST(Variant, ConvertsBetweenNumbersAndText) {
    EXPECT_EQ(Variant(" 12 ").ToInt32(), 12);
    EXPECT_EQ(Variant("2.5").ToInt32(), 2);
    EXPECT_EQ(Variant(3.5).ToInt32(), 4);
    EXPECT_EQ(Variant(Currency{-25000}).ToInt64(), -2);
    EXPECT_EQ(Variant(Currency{35000}).ToInt64(), 4);
    EXPECT_EQ(Variant(true).ToInt32(), 1);
    EXPECT_EQ(Variant().ToInt32(), 0);
    EXPECT_EQ(Variant(uint32_t{4000000000u}).ToInt64(), 4000000000);
    EXPECT_EQ(Variant("1e3").ToDouble(), 1000.0);
    EXPECT_EQ(Variant(int16_t{-7}).ToText(), "-7");
    EXPECT_EQ(Variant(false).ToText(), "False");
    EXPECT_EQ(Variant(0.1).ToText(), "0.1");
    EXPECT_EQ(Variant(Currency{-1}).ToText(), "-0.0001");
    EXPECT_EQ(Variant(DateTime{1.5}).ToText(), "1899-12-31 12:00:00");
    EXPECT_EQ(Variant("12.34567").ToCurrency(), Currency{123457});
    EXPECT_EQ(Variant(1e-5).ToCurrency(), Currency{0});
    EXPECT_EQ(Variant(int32_t{2}).ToCurrency(), Currency{20000});
    EXPECT_TRUE(Variant(" TRUE").ToBoolean());
    EXPECT_FALSE(Variant("false").ToBoolean());
    EXPECT_TRUE(Variant("2").ToBoolean());
    EXPECT_EQ(Variant("1900-01-01").ToDateTime(), 2.0);
    EXPECT_EQ(Variant(DateTime{2.75}).ToSqlTimeStamp(), (SqlTimeStamp{1900, 1, 1, 18, 0, 0, 0}));
    EXPECT_EQ(BcdToText(Variant(-2.5).ToFmtBcd()), "-2.5");
    EXPECT_EQ(Variant(*TextToBcd("123.45")).ToDouble(), 123.45);
}

TEST(Variant, NamesBothTypesWhenAConversionFails) {
    EXPECT_EQ(ErrorOf([] { Variant::Null().ToText(); }),
              "Could not convert variant of type (Null) into type (String)");
    EXPECT_EQ(ErrorOf([] { Variant(int64_t{1} << 40).ToInt32(); }),
              "Could not convert variant of type (Int64) into type (Int32)");
    EXPECT_EQ(ErrorOf([] { Variant(ByteArray{"x"}).ToInt64(); }),
              "Could not convert variant of type (Array of Byte) into type (Int64)");
    EXPECT_EQ(ErrorOf([] { Variant("maybe").ToBoolean(); }),
              "Could not convert variant of type (String) into type (Boolean)");
    EXPECT_EQ(ErrorOf([] { Variant(1e300).ToCurrency(); }),
              "Could not convert variant of type (Double) into type (Currency)");
    EXPECT_EQ(ErrorOf([] { Variant(DispatchRef{}).ToDouble(); }),
              "Could not convert variant of type (Dispatch) into type (Double)");
    EXPECT_EQ(ErrorOf([] {
                  Variant(SqlTimeStamp{2024, 13, 1, 0, 0, 0, 0}).ToDateTime();
              }),
              "Could not convert variant of type (SqlTimeStamp) into type (Date)");
    EXPECT_EQ(ErrorOf([] { Variant(1e80).ToFmtBcd(); }),
              "Could not convert variant of type (Double) into type (FmtBcd)");
}

TEST(ValueText, NumbersUseAFixedForm) {
    EXPECT_EQ(FloatToText(-0.001), "-0.001");
    EXPECT_EQ(TextToFloat(" +2.5e1 "), 25.0);
    EXPECT_EQ(TextToFloat("1,5"), std::nullopt);
    EXPECT_EQ(TextToFloat("inf"), std::nullopt);
    EXPECT_EQ(CurrencyToText(Currency{INT64_MIN}), "-922337203685477.5808");
    EXPECT_EQ(TextToCurrency("-922337203685477.5808"), Currency{INT64_MIN});
    EXPECT_EQ(TextToCurrency("922337203685477.5808"), std::nullopt);
    EXPECT_EQ(TextToCurrency("."), std::nullopt);
    EXPECT_EQ(TextToCurrency(".5"), Currency{5000});
}

TEST(ValueText, DatesUseAFixedForm) {
    EXPECT_EQ(DateTimeToText(0), "1899-12-30");
    EXPECT_EQ(DateTimeToText(0.5), "12:00:00");
    EXPECT_EQ(DateTimeToText(-1.25), "1899-12-29 06:00:00");
    EXPECT_EQ(DateTimeToText(45351.0 + 1.0 / 86400000), "2024-02-29 00:00:00.001");
    EXPECT_EQ(DateTimeToText(1e10), std::nullopt);
    EXPECT_EQ(TextToDateTime("2024-02-29 00:00:00.001"), 45351.0 + 1.0 / 86400000);
    EXPECT_EQ(TextToDate("2023-02-29"), std::nullopt);
    EXPECT_EQ(TextToDate("12:00"), std::nullopt);
    EXPECT_EQ(TextToTime("24:00"), std::nullopt);
    EXPECT_EQ(TimeStampToText({2024, 2, 29, 1, 2, 3, 40}), "2024-02-29 01:02:03.040");
    EXPECT_EQ(TextToTimeStamp("0001-01-01 23:59:59.999"), (SqlTimeStamp{1, 1, 1, 23, 59, 59, 999}));
    EXPECT_EQ(TimeStampToDateTime({}), 0.0);
}

TEST(ValueText, BcdNumbersRoundTripAsText) {
    for (const char* text : {"0", "-12.5", "0.001", "123456789012345678901234567890"}) {
        auto bcd = TextToBcd(text);
        ASSERT_TRUE(bcd) << text;
        EXPECT_EQ(BcdToText(*bcd), text);
    }
    EXPECT_EQ(TextToBcd("007.50")->Precision, 3);
    EXPECT_EQ(TextToBcd(std::string(65, '1')), std::nullopt);
    FmtBcd bad;
    bad.Precision = 1;
    bad.Digits[0] = 0xA0;
    EXPECT_EQ(BcdToText(bad), std::nullopt);
}

}  // namespace
}  // namespace px3
