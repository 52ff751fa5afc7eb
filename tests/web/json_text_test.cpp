#include <gtest/gtest.h>

#include <clocale>
#include <optional>
#include <string>
#include <vector>

#include "json_test_support.h"
#include "web/json.h"
#include "web/json_escape.h"
#include "web/json_number.h"
#include "web/json_split.h"

namespace px3 {
namespace {

TEST(JsonNumber, ConvertsOnlyPlainDecimalTexts) {
    struct Case {
        const char* text;
        std::optional<long double> value;
    };
    const Case cases[] = {
        {"0", 0.0L},
        {"-12", -12.0L},
        {"+8", 8.0L},
        {"1.5", 1.5L},
        {"1.", 1.0L},
        {".25", 0.25L},
        {"-0.125e+2", -12.5L},
        {"2E3", 2000.0L},
        {"25e-2", 0.25L},
        {" \t7\r\n", 7.0L},
        {"00012.500", 12.5L},
        {"18446744073709551617", 18446744073709551617.0L},
        {"1e4932", 1e4932L},
        {"0e99999999999999999999", 0.0L},
        {"", std::nullopt},
        {".", std::nullopt},
        {"-", std::nullopt},
        {"e5", std::nullopt},
        {"1e", std::nullopt},
        {"1e+", std::nullopt},
        {"1.2.3", std::nullopt},
        {"1,5", std::nullopt},
        {"1 000", std::nullopt},
        {"--1", std::nullopt},
        {"0x1A", std::nullopt},
        {"$1A", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"1d", std::nullopt},
        {"1e5.5", std::nullopt},
        {"1e4933", std::nullopt},
        {"1e-5000", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TryStrToFloat(c.text), c.value) << c.text;
    }
    // Digits beyond what the format holds are read without loss of magnitude.
    EXPECT_EQ(TryStrToFloat("1" + std::string(300000, '0') + "e-300000"), 1.0L);
    EXPECT_EQ(TryStrToFloat("0." + std::string(300000, '0') + "1e300001"), 1.0L);
}

TEST(JsonNumber, WritesTheGeneralFormat) {
    struct Case {
        long double value;
        const char* text;
    };
    const Case cases[] = {
        {0.0L, "0"},
        {-0.0L, "0"},
        {1.0L, "1"},
        {-2.5L, "-2.5"},
        {0.1L, "0.1"},
        {2.9L, "2.9"},
        {1.0L / 3, "0.333333333333333"},
        {2.0L / 3, "0.666666666666667"},
        {123456789012345.0L, "123456789012345"},
        {999999999999999.0L, "999999999999999"},
        {9999999999999999.0L, "1E16"},
        {1e15L, "1E15"},
        {1234567890123456.0L, "1.23456789012346E15"},
        {0.0001L, "0.0001"},
        {0.00012345L, "0.00012345"},
        {0.00001L, "1E-5"},
        {-1.5e-7L, "-1.5E-7"},
        {1e300L, "1E300"},
        {1e4932L, "1E4932"},
        {100.0L, "100"},
        {10.5L, "10.5"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FloatToStr(c.value), c.text) << c.text;
    }
}

// Restores the C library's locale when the test ends.
class CLocaleGuard {
  public:
    CLocaleGuard() : saved_(std::setlocale(LC_ALL, nullptr)) {}
    ~CLocaleGuard() { std::setlocale(LC_ALL, saved_.c_str()); }

  private:
    std::string saved_;
};

TEST(JsonNumber, IgnoresTheLocaleDecimalSeparator) {
    CLocaleGuard guard;
    const char* comma_locales[] = {"de_DE.UTF-8", "de_DE.utf8", "German_Germany.1252"};
    bool found = false;
    for (const char* name : comma_locales) {
        if (std::setlocale(LC_ALL, name) && std::string(std::localeconv()->decimal_point) == ",") {
            found = true;
            break;
        }
    }
    if (!found) {
        GTEST_SKIP() << "no locale with a comma as decimal separator is installed";
    }
    TJson json;
    json.Parse(R"({"a":1.5,"b":"-2.75"})");
    EXPECT_EQ(json.ToText(), R"({"a":1.5,"b":"-2.75"})");
    EXPECT_EQ(json.Member("b").AsInteger(), -2);
    EXPECT_EQ(FloatToStr(1.5e-7L), "1.5E-7");
    EXPECT_EQ(TryStrToFloat("1,5"), std::nullopt);
}

TEST(JsonEscape, ReadsEscapesAndWritesTheFixedSet) {
    struct Case {
        const char* inside;
        std::string value;
    };
    const Case cases[] = {
        {R"(\b\f\n\r\t)", "\b\f\n\r\t"},
        {R"(\"\\\/)", "\"\\/"},
        {R"(\u4e2d\u4E2D)", std::string("\x2D\x4E\x2D\x4E")},
        {R"(\u0041)", std::string("A\0", 2)},
        {R"(\q\')", "q'"},
        {"\xD6\xD0", "\xD6\xD0"},
        {R"(end\)", "end\\"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JsonUnescape(c.inside), c.value) << c.inside;
    }
    EXPECT_EQ(JsonErrorOf([] { JsonUnescape(R"(\uZZ00)"); }), R"(Illegal four-hex-digits "ZZ00")");
    EXPECT_EQ(JsonEscape(std::string("\b\t\n\f\r\"/\\\x01\xD6\xD0\0", 12)),
              std::string(R"(\b\t\n\f\r\"\/\\)") + std::string("\x01\xD6\xD0\0", 4));
}

TEST(JsonSplit, CutsAtSeparatorsOutsideNestedParts) {
    using Pieces = std::vector<std::string_view>;
    struct Case {
        const char* text;
        char separator;
        Pieces pieces;
    };
    const Case cases[] = {
        {"1,,2", ',', {"1", "", "2"}},
        {"1,2,", ',', {"1", "2"}},
        {" a , b ", ',', {"a", "b"}},
        {",", ',', {""}},
        {"", ',', {}},
        {R"("a,b",[1,2],{"c":[3,4]})", ',', {R"("a,b")", "[1,2]", R"({"c":[3,4]})"}},
        {R"("x\",y",z)", ',', {R"("x\",y")", "z"}},
        {"a],b}", ',', {"a]", "b}"}},
        {"[1,}],2", ',', {"[1,}]", "2"}},
        {"[1,2", ',', {"[1,2"}},
        {"x,\"1,2", ',', {"x", "\"1,2"}},
        {R"("a:b":{"c":1})", ':', {R"("a:b")", R"({"c":1})"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitTopLevel(c.text, c.separator), c.pieces) << c.text;
    }
}

}  // namespace
}  // namespace px3
