#include <gtest/gtest.h>

#include "params/param_list.h"

namespace px3 {
namespace {

std::string ErrorOf(auto&& action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "(no error)";
}

TEST(ParamList, NamesNewItemsAfterTheNextIdWhichNeverShrinks) {
    TParamList list;
    EXPECT_EQ(list.Add().Name(), "Param1");
    list.Add();
    list.Add();
    EXPECT_EQ(list.GetItem(2).ID(), 2);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    TParamItem& fourth = list.Add();
    EXPECT_EQ(fourth.Name(), "Param4");
    EXPECT_EQ(fourth.ID(), 3);
    EXPECT_EQ(fourth.ParamType(), TParamType::ptInput);
    EXPECT_EQ(fourth.DataType(), TFieldType::ftUnknown);
    EXPECT_TRUE(fourth.IsNull());
    EXPECT_EQ(fourth.Collection(), &list);
}

TEST(ParamList, FastAddFindsOrAppends) {
    TParamList list;
    list.Add().SetName(" FileName\t");
    list.FastAdd("filename", "a.txt");
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.GetItem(0).Name(), " FileName\t");
    EXPECT_EQ(list.GetItem(0).AsString(), "a.txt");

    list.Add();
    list.FastAdd(int32_t{7});
    EXPECT_EQ(list.GetItem(2).Name(), "FastAdd2");
    EXPECT_EQ(list.GetItem(2).AsInteger(), 7);

    TParamList empty;
    empty.FastAdd("FileName", "");
    const TParamItem& item = empty.GetItem(0);
    EXPECT_EQ(item.DataType(), TFieldType::ftString);
    EXPECT_TRUE(item.IsNull());
    EXPECT_EQ(item.DataLength(), 0u);
    EXPECT_EQ(item.AsString(), "");
}

TEST(ParamList, LookupsTrimStoredNamesOnly) {
    TParamList list;
    list.Add().SetName(" Code ");
    EXPECT_NE(list.FindParam("CODE"), nullptr);
    EXPECT_EQ(list.FindParam(" Code "), nullptr);
    EXPECT_EQ(&list.ParamByName("code"), &list.GetItem(0));
}

TEST(ParamList, ReportsMissingItems) {
    TParamList list;
    list.Add();
    EXPECT_EQ(ErrorOf([&] { list.GetItem(1); }), "Index 1 Out of bounds");
    EXPECT_EQ(ErrorOf([&] { list.GetItem(-1); }), "Index -1 Out of bounds");
    EXPECT_THROW(list.GetItem(1), EParamException);
    EXPECT_EQ(ErrorOf([&] { list.ParamByName("Nope"); }), "Parameter Not Found: Nope");
    EXPECT_THROW(list.Param("Nope"), EParamException);
    EXPECT_EQ(list.GetParamVariant("Nope"), Variant(""));
    EXPECT_FALSE(list.DeleteParam("Nope"));
    EXPECT_EQ(list.Count(), 1);
}

TEST(ParamList, DeleteParamRemovesTheFirstMatch) {
    TParamList list;
    list.FastAdd("a", int32_t{1});
    list.AddTypedParam(TFieldType::ftString, "b", TParamType::ptInput);
    list.AddTypedParam(TFieldType::ftString, "B", TParamType::ptInput);
    EXPECT_TRUE(list.DeleteParam("b"));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.GetItem(1).Name(), "B");
    EXPECT_EQ(list.GetParamVariant("a"), Variant(int32_t{1}));
}

TEST(ParamList, CopiesAndClonesEveryItem) {
    TParamList source;
    source.FastAdd("a", "text");
    source.AddTypedParam(TFieldType::ftInteger, "b", TParamType::ptOutput).SetSize(3);
    TParamList dest;
    dest.FastAdd("old", "x");
    source.CopyParamsTo(dest, true);
    ASSERT_EQ(dest.Count(), 2);
    EXPECT_EQ(dest.GetItem(0).AsString(), "text");
    EXPECT_EQ(dest.GetItem(1).ParamType(), TParamType::ptOutput);
    EXPECT_EQ(dest.GetItem(1).ID(), 2);

    auto clone = source.Clone();
    EXPECT_EQ(clone->GetWireText(false), source.GetWireText(false));

    source.CopyParamsTo(source, false);
    ASSERT_EQ(source.Count(), 4);
    EXPECT_EQ(source.GetItem(2).Name(), "a");

    TParamItem& target = dest.GetItem(0);
    const int32_t id = target.ID();
    dest.SetItem(0, source.GetItem(1));
    EXPECT_EQ(target.Name(), "b");
    EXPECT_EQ(target.ID(), id);
}

TEST(ParamList, DisplayNameRefusesANameAnotherItemBears) {
    TParamList list;
    list.Add().SetName("One");
    TParamItem& second = list.Add();
    second.SetName("Two");
    EXPECT_EQ(ErrorOf([&] { second.SetDisplayName("ONE"); }), "Error: Duplicate Param Name");
    EXPECT_EQ(second.GetDisplayName(), "Two");
    second.SetDisplayName("tWO");
    EXPECT_EQ(second.Name(), "Two");
    second.SetDisplayName("Three");
    EXPECT_EQ(second.Name(), "Three");
}

}  // namespace
}  // namespace px3
