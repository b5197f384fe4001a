// Operations over whole trees: copies, moves, order, comparison and merging.
#include "JsonTestUtil.h"

using namespace json_test;

namespace {
String Text(const TQJson* d) {
    return d->Encode(false);
}
} // namespace

TEST(JsonTree, AssignAndCopyAreDeepAndSafeInsideTheTree) {
    Doc d = Parsed(u"{\"a\":{\"b\":[1,{\"c\":2}]},\"s\":\"x\"}");
    std::unique_ptr<TQJson> copy(d->Copy());
    EXPECT_TRUE(copy->Equals(d.get()));
    d->ItemByPath(u"a.b[1].c")->SetAsInt64(5);
    EXPECT_EQ(copy->ItemByPath(u"a.b[1].c")->GetAsInt64(), 2);
    // Assigning a node's own descendant to it: the descendant is copied first.
    d->Assign(d->ItemByPath(u"a.b"));
    EXPECT_EQ(Text(d.get()), u"[1,{\"c\":5}]");
    d->Assign(d->GetItems(0));
    EXPECT_EQ(Text(d.get()), u"1");
    std::unique_ptr<TQJson> some(copy->CopyIf([](TQJson* n) { return n->GetName() != u"s"; }));
    EXPECT_EQ(Text(some.get()), u"{\"a\":{\"b\":[1,{\"c\":2}]}}");
}

TEST(JsonTree, MovingReplacingAndRemoving) {
    Doc d = Parsed(u"{\"a\":1,\"b\":2,\"c\":3}");
    d->ItemByName(u"c")->MoveTo(d.get(), 0);
    EXPECT_EQ(Text(d.get()), u"{\"c\":3,\"a\":1,\"b\":2}");
    d->ExchangeOrder(0, 2);
    EXPECT_EQ(Text(d.get()), u"{\"b\":2,\"a\":1,\"c\":3}");
    // A nameless replacement keeps the member's name; a sibling moves into its slot.
    d->Replace(0, new TQJson(u"", u"[9]", jdtUnknown));
    EXPECT_EQ(Text(d.get()), u"{\"b\":[9],\"a\":1,\"c\":3}");
    d->Replace(0, d->ItemByName(u"c"));
    EXPECT_EQ(Text(d.get()), u"{\"c\":3,\"a\":1}");
    std::unique_ptr<TQJson> removed(d->Remove(1));
    EXPECT_EQ(removed->GetParent(), nullptr);
    EXPECT_EQ(d->Remove(7), nullptr);
    EXPECT_EQ(d->DeleteIf([](TQJson* n) { return n->GetAsInt64() == 3; }), 1);
    EXPECT_EQ(Text(d.get()), u"{}");
    removed.release()->AttachTo(d.get());
    EXPECT_EQ(Text(d.get()), u"{\"a\":1}");
    d->Reset(false);
    EXPECT_EQ(d->GetDataType(), jdtUnknown);
    EXPECT_EQ(d->GetCount(), 0);
}

TEST(JsonTree, SortingIsStableAndTyped) {
    Doc d = Parsed(u"{\"b\":10,\"a\":9,\"c\":\"x\",\"a\":2}");
    d->Sort(true);
    EXPECT_EQ(Text(d.get()), u"{\"a\":9,\"a\":2,\"b\":10,\"c\":\"x\"}");
    Doc n = Parsed(u"[10,9.5,\"2\",12345678901234567890123,-1]");
    n->Sort(false);
    // Numbers in numeric order; texts sort before numbers (by type).
    EXPECT_EQ(Text(n.get()), u"[\"2\",-1,9.5,10,12345678901234567890123]");
    n->Sort(false, false, jdtFloat);
    EXPECT_EQ(Text(n.get()), u"[-1,\"2\",9.5,10,12345678901234567890123]");
    n->RevertOrder();
    EXPECT_EQ(n->GetItems(0)->GetDataType(), jdtBcd);
    Doc rows = Parsed(u"[{\"k\":{\"v\":3}},{\"k\":{\"v\":1}},{},{\"k\":{\"v\":2}}]");
    rows->Sort(u"k.v", false);
    EXPECT_EQ(Text(rows.get()), u"[{},{\"k\":{\"v\":1}},{\"k\":{\"v\":2}},{\"k\":{\"v\":3}}]");
}

TEST(JsonTree, EqualityMatchIntersectionAndDifference) {
    Doc a = Parsed(u"{\"x\":1,\"y\":[1,2],\"z\":{\"p\":1,\"q\":2},\"d\":1,\"d\":2}");
    Doc b = Parsed(u"{\"d\":1,\"z\":{\"q\":2,\"p\":1},\"y\":[1,2],\"x\":1.0,\"d\":2}");
    EXPECT_TRUE(a->Equals(b.get())); // order of members and kind of number do not matter
    EXPECT_FALSE(a->Equals(Parsed(u"{\"x\":1,\"y\":[2,1],\"z\":{},\"d\":1,\"d\":2}").get()));
    EXPECT_FALSE(
        a->Equals(Parsed(u"{\"x\":1,\"y\":[1,2],\"z\":{\"p\":1,\"q\":2},\"d\":2,\"d\":1}").get()));
    EXPECT_TRUE(a->Match(Parsed(u"{\"z\":{\"q\":2},\"y\":[2]}").get()));
    EXPECT_FALSE(a->Match(Parsed(u"{\"z\":{\"q\":3}}").get()));

    Doc c = Parsed(u"{\"x\":1,\"y\":[1,3],\"z\":{\"p\":1,\"q\":5},\"w\":0}");
    std::unique_ptr<TQJson> common(a->Intersect(c.get()));
    EXPECT_EQ(Text(common.get()), u"{\"x\":1,\"z\":{\"p\":1}}");
    std::unique_ptr<TQJson> delta(a->Diff(c.get()));
    EXPECT_EQ(Text(delta.get()), u"{\"y\":[1,2],\"z\":{\"q\":2},\"d\":1,\"d\":2}");
    std::unique_ptr<TQJson> arr(Parsed(u"[1,1,2,3]")->Diff(Parsed(u"[1,3]").get()));
    EXPECT_EQ(Text(arr.get()), u"[1,2]");
}

TEST(JsonTree, MergeMethods) {
    const String base = u"{\"a\":1,\"o\":{\"p\":1,\"q\":1}}";
    const String source = u"{\"a\":2,\"b\":3,\"o\":{\"q\":2,\"r\":2}}";
    auto merged = [&](TQJsonMergeMethod m) {
        Doc d = Parsed(base);
        d->Merge(Parsed(source).get(), m);
        return Text(d.get());
    };
    EXPECT_EQ(merged(jmmIgnore), u"{\"a\":1,\"o\":{\"p\":1,\"q\":1},\"b\":3}");
    EXPECT_EQ(merged(jmmReplace), u"{\"a\":2,\"o\":{\"q\":2,\"r\":2},\"b\":3}");
    EXPECT_EQ(merged(jmmAsSource), u"{\"a\":2,\"o\":{\"p\":1,\"q\":2,\"r\":2},\"b\":3}");
    EXPECT_EQ(merged(jmmAppend),
              u"{\"a\":1,\"o\":{\"p\":1,\"q\":1},\"a\":2,\"b\":3,\"o\":{\"q\":2,\"r\":2}}");
    Doc self = Parsed(u"[1,2]");
    self->Merge(self.get(), jmmAppend);
    EXPECT_EQ(Text(self.get()), u"[1,2,1,2]");
    self->Merge(Parsed(u"[2,5]").get(), jmmIgnore);
    EXPECT_EQ(Text(self.get()), u"[1,2,1,2,5]");
}

TEST(JsonTree, SearchesAndIteration) {
    Doc d = Parsed(u"{\"a\":1,\"b\":{\"a\":\"1\",\"c\":[{\"a\":true}]},\"name2\":\"x\"}");
    TQJsonItemList all;
    EXPECT_EQ(d->ItemByName(u"a", all, true), 3);
    TQJsonItemList named;
    EXPECT_EQ(d->ItemByRegex(u"^name[0-9]$", named), 1);
    EXPECT_EQ(d->IndexOfValue(u"1"), 0);
    EXPECT_EQ(d->ItemByName(u"b")->IndexOfValue(u"1", true), 0);
    EXPECT_EQ(d->IndexOfValue(u"1", true), -1);
    EXPECT_TRUE(d->ContainsValue(u"true", true));
    EXPECT_TRUE(d->ContainsName(u"c", true));
    EXPECT_EQ(d->FindIf([](TQJson* n) { return n->IsBool(); }, true)->GetPath(), u"b\\c\\[0]\\a");
    int visited = 0;
    d->ForEach([&](TQJson*) { return ++visited < 4; }, true);
    EXPECT_EQ(visited, 4);
    int children = 0;
    for (TQJson* child : *d)
        children += child != nullptr;
    EXPECT_EQ(children, 3);
    EXPECT_THROW(d->ItemByRegex(u"(", all), EArgumentException);
}
