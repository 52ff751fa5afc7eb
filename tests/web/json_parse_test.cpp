#include <gtest/gtest.h>

#include <string>

#include "json_test_support.h"
#include "web/json.h"

namespace px3 {
namespace {

std::string Rewritten(const std::string& text) {
    TJson json;
    json.Parse(text);
    return json.ToText();
}

TEST(JsonParse, WritesDocumentsBackCompactAndNormalised) {
    struct Case {
        const char* text;
        const char* written;
    };
    const Case cases[] = {
        {R"({"a":1,"b":[true,null,"x"]})", R"({"a":1,"b":[true,null,"x"]})"},
        {"{ }", "{}"},
        {" [ ] ", "[]"},
        {"[1,2,]", "[1,2]"},
        {"\r\n{ \"a\" :\t[ 1 , { \"b\" : \" x y \" } ] }\n", R"({"a":[1,{"b":" x y "}]})"},
        {R"({"a":Null,"b":TRUE,"c":False})", R"({"a":null,"b":true,"c":false})"},
        {R"({"n":1.0,"m":-0.50,"e":2E3})", R"({"n":1,"m":-0.5,"e":2000})"},
        {R"({"s":"a/b"})", R"({"s":"a\/b"})"},
        {R"({"s":"\"\\\b\f\n\r\t\/\q"})", R"({"s":"\"\\\b\f\n\r\t\/q"})"},
        // Only the outer characters decide a string; an inner quote is kept and escaped.
        {R"({"s":"x"y"})", R"({"s":"x\"y"})"},
        {R"(["[,]","{:}",[{}]])", R"(["[,]","{:}",[{}]])"},
        {"{\"\xD6\xD0\":\"\xCE\xC4\"}", "{\"\xD6\xD0\":\"\xCE\xC4\"}"},
        {R"({"a":1,"A":2})", R"({"a":1,"A":2})"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Rewritten(c.text), c.written) << c.text;
    }
}

TEST(JsonParse, RejectsMalformedTextsNamingTheNearestMember) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"abc", R"(<TJson>"" parse error: abc)"},
        {"  ", R"(<TJson>"" parse error: )"},
        {R"("x")", R"(<TJson>"" parse error: "x")"},
        {"1", R"(<TJson>"" parse error: 1)"},
        {"[1,2", R"(<TJson>"" parse error: [1,2)"},
        {"[1,,2]", R"(<TJsonValue>"" parse error: )"},
        {R"({"a":})", R"(<TJsonPair>"" parse error: "a":)"},
        {R"({"a":1:2})", R"(<TJsonPair>"" parse error: "a":1:2)"},
        {R"({a:1})", R"(<TJsonPair>"" parse error: a)"},
        {R"({,})", R"(<TJsonPair>"" parse error: )"},
        {R"({"a":1}})", R"(<TJsonValue>"a" parse error: 1})"},
        {R"({"a":tru})", R"(<TJsonValue>"a" parse error: tru)"},
        {R"({"o":{"b":[1,x]}})", R"(<TJsonValue>"b" parse error: x)"},
        {R"({"o":{"b":{x}}})", R"(<TJsonPair>"b" parse error: x)"},
        {R"(["a,b])", R"(<TJsonValue>"" parse error: "a,b)"},
        {R"({"a":"\u12G4"})", R"(Illegal four-hex-digits "12G4")"},
        {R"({"a":"\u12"})", R"(Illegal four-hex-digits "12")"},
        {R"({"\u004":1})", R"(Illegal four-hex-digits "004")"},
        {"[0x10]", R"(<TJsonValue>"" parse error: 0x10)"},
        {"[inf]", R"(<TJsonValue>"" parse error: inf)"},
        {"[1.5.2]", R"(<TJsonValue>"" parse error: 1.5.2)"},
    };
    for (const Case& c : cases) {
        TJson json;
        EXPECT_EQ(JsonErrorOf([&] { json.Parse(c.text); }), c.message) << c.text;
    }
}

TEST(JsonParse, KeepsWhatWasBuiltBeforeAFailureAndReplacesItOnTheNextParse) {
    TJson json;
    EXPECT_NE(JsonErrorOf([&] { json.Parse(R"({"a":1,"b":x,"c":2})"); }), "(no error)");
    EXPECT_EQ(json.ToText(), R"({"a":1,"b":null})");
    json.Parse("[true]");
    EXPECT_EQ(json.StructType(), jsArray);
    EXPECT_EQ(json.ToText(), "[true]");
}

std::string Nested(int depth) {
    return std::string(static_cast<size_t>(depth), '[') +
           std::string(static_cast<size_t>(depth), ']');
}

TEST(JsonParse, LimitsTheNestingDepth) {
    EXPECT_EQ(Rewritten(Nested(kJsonMaxDepth)), Nested(kJsonMaxDepth));
    TJson json;
    EXPECT_EQ(JsonErrorOf([&] { json.Parse(Nested(kJsonMaxDepth + 1)); }),
              R"(<TJsonValue>"" parse error: nesting deeper than 256 levels)");
    const std::string objects =
        R"({"a":)" + std::string(300, '[') + "1" + std::string(300, ']') + "}";
    EXPECT_EQ(JsonErrorOf([&] { json.Parse(objects); }),
              R"(<TJsonValue>"a" parse error: nesting deeper than 256 levels)");
}

TEST(JsonParse, ReadsLargeDocumentsAtTheDepthLimit) {
    // Every level rescans what it contains: the cost is the length times the depth, bounded by
    // the limit rather than growing with the square of the length.
    std::string wide = "[";
    for (int i = 0; i < 1000; ++i) {
        wide += R"({"k":"v","n":[1,2]},)";
    }
    wide += "0]";
    const size_t outer = kJsonMaxDepth - 3;  // the wide part nests three levels itself
    const std::string deep = std::string(outer, '[') + wide + std::string(outer, ']');
    TJson json;
    json.Parse(deep);
    EXPECT_EQ(json.ToText(), deep);
}

TEST(JsonParse, LinksEveryNodeToItsOwner) {
    TJson json;
    json.Parse(R"({"a":[{"b":1}]})");
    TJsonObject& root = json.RootObject();
    EXPECT_EQ(json.Owner(), nullptr);
    EXPECT_EQ(root.Owner(), &json);
    TJsonPair& a = root.MemberAt(0);
    EXPECT_EQ(a.Owner(), &root);
    EXPECT_EQ(a.Value().Owner(), &a);
    TJsonArray& array = a.Value().AsArray();
    EXPECT_EQ(array.Owner(), &a.Value());
    TJsonValue& element = array.Element(0);
    EXPECT_EQ(element.Owner(), &array);
    EXPECT_EQ(element.AsObject().Owner(), &element);
    EXPECT_EQ(element.AsObject().MemberAt(0).Owner(), &element.AsObject());
}

}  // namespace
}  // namespace px3
