#include <gtest/gtest.h>

#include <optional>

#include "base/exception.h"
#include "base/text.h"

namespace px3 {
namespace {

TEST(IntegerText, ReadsWholeIntegersInTheAcceptedForms) {
    struct Case {
        const char* text;
        std::optional<int32_t> value;
    };
    const Case cases[] = {
        {"42", 42},
        {"  -17", -17},
        {"+8", 8},
        {"$1F", 31},
        {"0x10", 16},
        {"$FFFFFFFF", -1},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"12 ", std::nullopt},
        {"-", std::nullopt},
        {"1.5", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TryStrToInt(c.text), c.value) << c.text;
    }
    EXPECT_EQ(TryStrToInt64("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(TryStrToInt64("9223372036854775808"), std::nullopt);
}

TEST(IntegerText, StrictConversionNamesTheText) {
    try {
        StrToInt("x1");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'x1' is not a valid integer value");
    }
    EXPECT_EQ(StrToIntDef("x1", 0), 0);
}

TEST(Text, TrimAndCaseRules) {
    EXPECT_EQ(Trim("\t Name \r\n"), "Name");
    EXPECT_TRUE(SameText("FileName", "fILEnAME"));
    EXPECT_FALSE(SameText("FileName", "FileName "));
    EXPECT_FALSE(SameText("\xC4\xE3", "\xE4\xE3"));
}

}  // namespace
}  // namespace px3
