#include <gtest/gtest.h>

#include <string>

#include "json_test_support.h"
#include "web/json.h"

namespace px3 {
namespace {

constexpr const char* kSample = R"({"a":1,"o":{"x":"y"},"l":[true,[2]]})";

TEST(JsonCopy, CopiesDeeplyBetweenCompatibleNodes) {
    TJson source;
    source.Parse(kSample);

    TJson document;
    document.CopyFrom(&source);
    EXPECT_EQ(document.ToText(), kSample);
    source.Member("o").AsObject().Put("z", 3);
    EXPECT_EQ(document.ToText(), kSample);

    document.CopyFrom(&source.Member("l"));
    EXPECT_EQ(document.StructType(), jsArray);
    EXPECT_EQ(document.ToText(), "[true,[2]]");
    document.CopyFrom(&source.Member("o").AsObject());
    EXPECT_EQ(document.ToText(), R"({"x":"y","z":3})");
    TJson empty;
    document.CopyFrom(&empty);
    EXPECT_EQ(document.StructType(), jsNone);

    TJsonValue value(nullptr);
    value.CopyFrom(&source.Member("a"));
    EXPECT_EQ(value.ToText(), "1");
    value.CopyFrom(&source.RootObject());
    EXPECT_EQ(value.ValueType(), jvObject);
    EXPECT_EQ(value.AsObject().Owner(), &value);
    value.CopyFrom(&source.Member("l").AsArray());
    EXPECT_EQ(value.ToText(), "[true,[2]]");

    TJsonPair pair(nullptr, "p");
    pair.CopyFrom(&source.RootObject().MemberAt(1));
    EXPECT_EQ(pair.ToText(), R"("o":{"x":"y","z":3})");
}

TEST(JsonCopy, RefusesIncompatibleSources) {
    TJson json;
    json.Parse(kSample);
    TJsonValue value(nullptr);
    TJsonArray array(nullptr);
    TJsonPair& pair = json.RootObject().MemberAt(0);
    EXPECT_EQ(JsonErrorOf([&] { value.CopyFrom(&pair); }),
              "<TJsonValue>assign error: TJsonPair to TJsonValue");
    EXPECT_EQ(JsonErrorOf([&] { array.CopyFrom(nullptr); }),
              "<TJsonArray>assign error: nil to TJsonArray");
    EXPECT_EQ(JsonErrorOf([&] { array.CopyFrom(&json.RootObject()); }),
              "<TJsonArray>assign error: TJsonObject to TJsonArray");
    EXPECT_EQ(JsonErrorOf([&] { json.RootObject().CopyFrom(&json); }),
              "<TJsonObject>assign error: TJson to TJsonObject");
    EXPECT_EQ(JsonErrorOf([&] { pair.CopyFrom(&value); }),
              "<TJsonPair>assign error: TJsonValue to TJsonPair");
    EXPECT_EQ(JsonErrorOf([&] { json.CopyFrom(&json.Member("a")); }),
              "<TJson>assign error: TJsonValue to TJson");
    EXPECT_EQ(json.ToText(), kSample);
}

// A source inside the copied node (or the node itself) is read before the old content goes.
TEST(JsonCopy, SourceMayBeTheNodeItselfOrLieInsideIt) {
    TJson json;
    json.Parse(kSample);
    json.CopyFrom(&json);
    EXPECT_EQ(json.ToText(), kSample);

    TJsonObject& root = json.RootObject();
    root.CopyFrom(&root);
    EXPECT_EQ(json.ToText(), kSample);

    TJsonValue& list = json.Member("l");
    list.AsArray().CopyFrom(&list.AsArray().Element(1).AsArray());
    EXPECT_EQ(json.ToText(), R"({"a":1,"o":{"x":"y"},"l":[2]})");

    TJsonValue& o = json.Member("o");
    o.CopyFrom(&o.AsObject().Member("x"));
    EXPECT_EQ(json.ToText(), R"({"a":1,"o":"y","l":[2]})");

    json.CopyFrom(&json.Member("l"));
    EXPECT_EQ(json.ToText(), "[2]");

    json.Parse(R"({"p":{"q":5}})");
    TJsonPair& p = json.RootObject().MemberAt(0);
    p.CopyFrom(&p.Value().AsObject().MemberAt(0));
    EXPECT_EQ(json.ToText(), R"({"q":5})");
}

}  // namespace
}  // namespace px3
