#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "json_test_support.h"
#include "web/json.h"

namespace px3 {
namespace {

TEST(JsonValue, ReadsEveryTypeAsTextAndInteger) {
    struct Case {
        const char* value;
        const char* text;
        int32_t integer;
    };
    const Case cases[] = {
        {"null", "", 0},
        {R"("2.9")", "2.9", 2},
        {R"("-2.9")", "-2.9", -2},
        {R"(" 7 ")", " 7 ", 7},
        {"2.9", "2.9", 2},
        {"-2.9", "-2.9", -2},
        {"1.0", "1", 1},
        {"true", "true", 1},
        {"FALSE", "false", 0},
        {"3000000000", "3000000000", INT32_MAX},
        {"-3e9", "-3000000000", INT32_MIN},
        {"2147483647.9", "2147483647.9", INT32_MAX},
        {"-2147483648.9", "-2147483648.9", INT32_MIN},
        {R"("1e400")", "1e400", INT32_MAX},
    };
    for (const Case& c : cases) {
        TJson json;
        json.Parse(std::string(R"({"v":)") + c.value + "}");
        TJsonValue& value = json.Member("v");
        EXPECT_EQ(value.AsText(), c.text) << c.value;
        EXPECT_EQ(value.AsInteger(), c.integer) << c.value;
    }
}

TEST(JsonValue, TextThatIsNoNumberFailsAsInteger) {
    TJsonValue value(nullptr);
    value.SetText("1,5");
    EXPECT_THROW(value.AsInteger(), EConvertError);
    EXPECT_EQ(JsonErrorOf([&] { value.AsInteger(); }), "'1,5' is not a valid floating point value");
}

TEST(JsonValue, ObjectsAndArraysAreNotTextsOrNumbers) {
    TJson json;
    json.Parse(R"({"data":{"x":1},"list":[1],"s":"t"})");
    EXPECT_EQ(JsonErrorOf([&] { json.Member("data").AsText(); }),
              R"(<TJsonValue>"data" value type error: jvObject to jvString)");
    EXPECT_EQ(JsonErrorOf([&] { json.Member("list").AsInteger(); }),
              R"(<TJsonValue>"list" value type error: jvArray to jvNumber)");
    EXPECT_EQ(JsonErrorOf([&] { json.Member("s").AsObject(); }),
              R"(<TJsonValue>"s" value type error: jvString to jvObject)");
    EXPECT_EQ(JsonErrorOf([&] { json.Member("data").AsArray(); }),
              R"(<TJsonValue>"data" value type error: jvObject to jvArray)");
    EXPECT_EQ(JsonErrorOf([&] { json.Member("data").AsObject().Member("x").AsArray(); }),
              R"(<TJsonValue>"x" value type error: jvNumber to jvArray)");
}

TEST(JsonValue, SettersReplaceTheTypeAndNoneBecomesAContainerOnAccess) {
    TJsonValue value(nullptr);
    EXPECT_EQ(value.ValueType(), jvNone);
    value.AsObject().Put("a", 1);
    EXPECT_EQ(value.ToText(), R"({"a":1})");
    value.SetNumber(2.5);
    EXPECT_EQ(value.ToText(), "2.5");
    value.SetNumber(int64_t{-7});
    EXPECT_EQ(value.ToText(), "-7");
    value.SetBoolean(true);
    EXPECT_EQ(value.ToText(), "true");
    value.SetText("x");
    EXPECT_EQ(value.ToText(), R"("x")");
    EXPECT_EQ(value.ValueType(), jvString);

    TJsonValue list(nullptr);
    list.AsArray().Add().SetText("a");
    list.AsArray().Add();
    EXPECT_EQ(list.ToText(), R"(["a",null])");
}

TEST(JsonObject, LooksNamesUpIgnoringAsciiCase) {
    TJson json;
    json.Parse("{\"A\":1,\"ab\":2,\"a\":3,\"\xC4\xE3\":4}");
    TJsonObject& root = json.RootObject();
    EXPECT_EQ(json.Member("a").AsText(), "1");
    EXPECT_EQ(root.IndexOfName("AB"), 1);
    EXPECT_EQ(root.IndexOfName("\xC4\xE3"), 3);
    EXPECT_EQ(root.IndexOfName("\xE4\xE3"), -1);
    EXPECT_EQ(root.IndexOfName("a "), -1);
    EXPECT_EQ(root.Count(), 4);
}

TEST(JsonObject, MissingMembersAreAddedOrReported) {
    TJson json;
    json.Parse(R"({"ip":"10.1.2.3"})");
    TJsonValue& x = json.Member("x");
    EXPECT_EQ(x.ValueType(), jvNone);
    EXPECT_EQ(x.AsText(), "");
    EXPECT_EQ(x.AsInteger(), 0);
    EXPECT_EQ(json.ToText(), R"({"ip":"10.1.2.3","x":null})");

    json.RootObject().SetAddMissing(false);
    EXPECT_EQ(JsonErrorOf([&] { json.Member("ipaddress"); }), "<TJsonObject>ipaddress not found");
    EXPECT_EQ(json.RootObject().Count(), 2);
}

TEST(JsonDocument, RootObjectIsCreatedForAnEmptyDocumentAndRefusedForAnArray) {
    TJson json;
    EXPECT_EQ(json.StructType(), jsNone);
    EXPECT_EQ(json.ToText(), "");
    json.Put("s", "a/b\"\\\t\xD6\xD0");
    json.Put("n", 1.5);
    json.Put("i", 42);
    json.Put("b", true);
    json.Put("s", std::string("again"));
    EXPECT_EQ(json.StructType(), jsObject);
    EXPECT_EQ(json.ToText(),
              "{\"s\":\"a\\/b\\\"\\\\\\t\xD6\xD0\",\"n\":1.5,\"i\":42,\"b\":true,\"s\":\"again\"}");

    json.Parse("[1]");
    EXPECT_EQ(JsonErrorOf([&] { json.RootObject(); }), "<TJson>json struct type is not jsObject");
    EXPECT_EQ(JsonErrorOf([&] { json.Member("a"); }), "<TJson>json struct type is not jsObject");
}

TEST(JsonDocument, PositionsOutsideTheListAreReported) {
    TJson json;
    json.Parse(R"({"a":[1]})");
    EXPECT_EQ(JsonErrorOf([&] { json.RootObject().MemberAt(1); }),
              "<TJsonObject>list index out of bounds (1)");
    EXPECT_EQ(JsonErrorOf([&] { json.Member("a").AsArray().Element(-1); }),
              "<TJsonArray>list index out of bounds (-1)");
}

}  // namespace
}  // namespace px3
