// The node model: values and their conversions, names and lookup, adding
// and releasing children.
#include "JsonTestUtil.h"

#include "RtlConvert.h"

#include <cmath>
#include <limits>

using namespace json_test;

TEST(JsonNode, TextOfEveryType) {
    Doc d = Parsed(u"{\"n\":null,\"i\":12345,\"b\":true,\"f\":0.5,\"s\":\"x\",\"big\":-0.000012}");
    EXPECT_EQ(d->ItemByName(u"n")->GetAsString(), u"");
    EXPECT_EQ(d->ItemByName(u"n")->GetValue(), u"null");
    EXPECT_EQ(d->ItemByName(u"i")->GetAsString(), u"12345");
    EXPECT_EQ(d->ItemByName(u"b")->GetAsString(), u"true");
    EXPECT_EQ(d->ItemByName(u"f")->GetAsString(), u"0.5");
    EXPECT_EQ(d->ItemByName(u"big")->GetAsString(), u"-1.2E-5");
    TQJson f;
    f.SetAsFloat(1e15L);
    EXPECT_EQ(f.GetValue(), u"1E15");
    f.SetAsFloat(0.0001L);
    EXPECT_EQ(f.GetValue(), u"0.0001");
    TQJson t;
    t.SetAsDateTime(0);
    EXPECT_EQ(t.GetValue(), u"1899-12-30");
    EXPECT_THROW(t.SetDataType(static_cast<TQJsonDataType>(12)), QException);
}

TEST(JsonNode, TypedReadsConvertAcrossTypes) {
    Doc d = Parsed(u"{\"f\":2.9,\"s\":\" 42 \",\"t\":\"true\",\"n\":null,\"h\":\"0x10\","
                   u"\"bcd\":12345678901234567890123,\"o\":{},\"x\":\"abc\",\"d\":\"2020-01-02\"}");
    EXPECT_EQ(d->ItemByName(u"f")->GetAsInt64(), 2);
    EXPECT_EQ(d->ItemByName(u"s")->GetAsInt64(), 42);
    EXPECT_EQ(d->ItemByName(u"h")->GetAsInt64(), 16);
    EXPECT_EQ(d->ItemByName(u"n")->GetAsInt64(), 0);
    EXPECT_TRUE(d->ItemByName(u"t")->GetAsBoolean());
    EXPECT_TRUE(d->ItemByName(u"f")->GetAsBoolean());
    EXPECT_TRUE(d->ItemByName(u"bcd")->GetAsBoolean());
    EXPECT_EQ(d->ItemByName(u"bcd")->GetAsFloat(), 12345678901234567890123.0L);
    EXPECT_EQ(d->ItemByName(u"d")->GetAsDateTime(), EncodeDate(2020, 1, 2));
    EXPECT_TRUE(d->ItemByName(u"d")->IsDateTime());
    // No conversion: the type's name and the target in the message.
    try {
        d->ItemByName(u"o")->GetAsInt64();
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"Object 不是一个有效的 Numeric 类型的值。");
    }
    EXPECT_THROW(d->ItemByName(u"x")->GetAsFloat(), Exception);
    EXPECT_THROW(d->ItemByName(u"bcd")->GetAsInt64(), Exception); // beyond 64 bits
    TQJson huge;
    huge.SetAsFloat(1e30L);
    EXPECT_THROW(huge.GetAsInt64(), Exception); // not a wrapped value
}

TEST(JsonNode, ValueSetterFollowsTheType) {
    TQJson n;
    n.SetValue(u"[1,2]");
    EXPECT_TRUE(n.IsArray());
    n.SetDataType(jdtNull);
    n.SetValue(u"truex");
    EXPECT_EQ(n.GetAsString(), u"truex"); // not one value: kept as text
    TQJson i(u"", u"7", jdtInteger);
    i.SetValue(u"1e3");
    EXPECT_EQ(i.GetDataType(), jdtInteger);
    EXPECT_EQ(i.GetAsInt64(), 1000);
    i.SetValue(u"2.5");
    EXPECT_EQ(i.GetDataType(), jdtFloat);
    try {
        i.SetValue(u"zz");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"\"zz\"不是有效的数值。");
    }
    TQJson dt(u"", u"2000-01-01", jdtDateTime);
    dt.SetValue(u"2021-05-06T07:08:09.5");
    EXPECT_EQ(dt.GetAsDateTime(), EncodeDateTime(2021, 5, 6, 7, 8, 9, 500));
    EXPECT_THROW(dt.SetValue(u"2021-13-01"), Exception);
    // A float that is no JSON number is refused and the value stays.
    TQJson f;
    f.SetAsFloat(1.5L);
    try {
        f.SetAsFloat(std::numeric_limits<long double>::quiet_NaN());
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"NaN/+∞/-∞不受JSON规范支持。");
    }
    EXPECT_EQ(f.GetAsFloat(), 1.5L);
}

TEST(JsonNode, LookupByNameHashAndIndex) {
    Doc d = Parsed(u"{\"data\":1,\"a\":2,\"a\":3,\"[0]\":4}");
    EXPECT_EQ(d->ItemByName(u"Data"), nullptr); // case-sensitive by default
    EXPECT_EQ(d->ItemByName(u"a")->GetAsInt64(), 2);
    EXPECT_EQ(d->IndexOf(u"a"), 1);
    EXPECT_EQ(d->ItemByName(u"[0]")->GetAsInt64(), 1); // the index form wins
    EXPECT_EQ(d->ItemByName(u"[ 3 ]")->GetAsInt64(), 4);
    Doc arr = Parsed(u"[10,20,30]");
    EXPECT_EQ(arr->ItemByName(u"[1]")->GetAsInt64(), 20);
    EXPECT_EQ(arr->ItemByName(u"[3]"), nullptr);
    EXPECT_EQ(arr->ItemByName(u"[-1]"), nullptr);
    EXPECT_EQ(arr->ItemByName(u" [1]"), nullptr);
    EXPECT_EQ(arr->IndexOf(u""), 0);
    // Folding applies to the whole tree and to the cached hashes.
    d->SetIgnoreCase(true);
    EXPECT_EQ(d->ItemByName(u"DATA")->GetAsInt64(), 1);
    EXPECT_EQ(TQJson::HashName(u"ab", true), TQJson::HashName(u"AB", false));
    EXPECT_EQ(TQJson::HashName(u"\u4e2d", false), 0x2Du * 131u + 0x4Eu);
    EXPECT_LT(TQJson::CompareNames(u"a", u"ab", false), 0);
    // Renaming refuses a name a sibling holds.
    try {
        d->ItemByName(u"data")->SetName(u"A");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"指定的父结点下已经存在名为 A 的子结点。");
    }
}

TEST(JsonNode, AddingChildren) {
    TQJson s(u"", u"text", jdtString);
    TQJson* x = s.Add(u"x");
    EXPECT_TRUE(s.IsObject()); // the string is gone
    EXPECT_EQ(s.GetCount(), 1);
    EXPECT_EQ(x->GetParent(), &s);
    // Adding a node that belongs elsewhere moves it; adding it again changes nothing.
    TQJson other;
    TQJson* moved = other.Add(u"m", std::int64_t(7));
    EXPECT_EQ(s.Add(moved), 1);
    EXPECT_EQ(other.GetCount(), 0);
    EXPECT_EQ(s.Add(moved), 1);
    EXPECT_THROW(x->Add(&s), EInvalidOperation); // a cycle
    TQJson* v = s.AddVariant(u"updateTime", Variant(u"2020-01-01 00:00:00"));
    EXPECT_EQ(v->GetDataType(), jdtString);
    s.Add(u"list", {Variant(1), Variant(u"a"), Variant(true), Variant::Null()});
    EXPECT_EQ(s.ItemByName(u"list")->Encode(false), u"[1,\"a\",true,null]");
    s.Add(u"typed", u"12", jdtString);
    EXPECT_EQ(s.ItemByName(u"typed")->GetDataType(), jdtString);
    s.Add(u"guess", u"12");
    EXPECT_EQ(s.ItemByName(u"guess")->GetDataType(), jdtInteger);
    s.Insert(0, u"first", true);
    EXPECT_EQ(s.GetItems(0)->GetName(), u"first");
    // A failed add leaves no half-made child behind.
    const int count = s.GetCount();
    EXPECT_THROW(s.AddVariant(u"bad", Variant::FromError(5)), Exception);
    EXPECT_THROW(s.Add(u"nan", std::nan("")), Exception);
    EXPECT_EQ(s.GetCount(), count);
}

TEST(JsonNode, VariantsBothWays) {
    TQJson n;
    n.SetAsVariant(Variant(std::uint64_t(18446744073709551615ULL)));
    EXPECT_EQ(n.GetValue(), u"18446744073709551615"); // kept exact, not wrapped
    n.SetAsVariant(Variant::FromCurrency(15000));
    EXPECT_EQ(n.GetAsFloat(), 1.5L);
    n.SetAsVariant(Variant(std::vector<Variant>{Variant(1), Variant(2.5)}));
    EXPECT_EQ(n.Encode(false), u"[1,2.5]");
    EXPECT_EQ(n.GetAsVariant().Elements().size(), 2u);
    try {
        n.SetAsVariant(Variant::FromError(1));
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"不支持的变体类型 10 。");
    }
    struct Custom : TCustomVariantType {
        TVarType VarType() const override { return varFirstCustom; }
        bool TryToDouble(double&) const override { return false; }
        String ToString() const override { return u"custom"; }
    };
    n.SetAsVariant(Variant::FromCustom(std::make_shared<Custom>()));
    EXPECT_EQ(n.GetAsString(), u"custom");
}

TEST(JsonNode, ReleaseUnlinksAndFreesEveryNode) {
    // Releasing a child that is still linked takes it out of its parent first.
    Doc d = Parsed(u"{\"a\":1,\"b\":[1,2,{\"c\":3}]}");
    delete d->ItemByName(u"a");
    EXPECT_EQ(d->GetCount(), 1);
    EXPECT_EQ(d->Encode(false), u"{\"b\":[1,2,{\"c\":3}]}");
    d->ItemByPath(u"b[2]")->Delete();
    EXPECT_EQ(d->Encode(false), u"{\"b\":[1,2]}");

    // Every node of a tree of any depth is released once, through OnNodeFree.
    int made = 0, freed = 0;
    OnNodeCreate = [&](TQJson*) {
        ++made;
        return new TQJson();
    };
    OnNodeFree = [&](TQJson* node) {
        EXPECT_EQ(node->GetParent(), nullptr);
        ++freed;
        delete node;
    };
    {
        TQJson root;
        root.Parse(String(500, u'[') + u"1,{\"x\":[2,3]}" + String(500, u']'));
        EXPECT_GT(made, 500);
    }
    OnNodeCreate = nullptr;
    OnNodeFree = nullptr;
    EXPECT_EQ(made, freed);
}

TEST(JsonNode, BytesAndPaths) {
    TQJson n;
    const TBytes bytes{0x00, 0xFF, 0x10, 0x7A};
    n.SetAsBytes(bytes);
    EXPECT_EQ(n.GetAsString(), u"00FF107A");
    EXPECT_EQ(n.GetAsBytes(), bytes);
    for (std::size_t len = 0; len < 6; ++len) {
        const TBytes part(bytes.begin(), bytes.begin() + std::min<std::size_t>(len, 4));
        n.SetAsBase64Bytes(part);
        EXPECT_EQ(n.GetAsBase64Bytes(), part);
    }
    n.SetAsBase64Bytes({'M', 'a', 'n', 'y'});
    EXPECT_EQ(n.GetAsString(), u"TWFueQ==");
    n.SetAsString(u"XYZ");
    EXPECT_THROW(n.GetAsBytes(), Exception);

    Doc d = Parsed(u"{\"a\":{\"b\":[1,[2,{\"c\":\"deep\"}]]}}");
    TQJson* deep = d->ItemByPath(u"a/b[1][1].c");
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(deep->GetPath(), u"a\\b\\[1]\\[1]\\c");
    EXPECT_EQ(d->ItemByPath(deep->GetPath()), deep);
    EXPECT_EQ(deep->GetRelPath(d->ItemByName(u"a"), u'/'), u"b/[1]/[1]/c");
    EXPECT_EQ(d->ValueByPath(u"a.b[5]", u"none"), u"none");
    EXPECT_EQ(d->IntByPath(u"a.b[0]", 0), 1);
    TQJson* forced = d->ForcePath(u"x.y[2].z");
    forced->SetAsInt64(9);
    EXPECT_EQ(d->ItemByName(u"x")->Encode(false), u"{\"y\":[null,null,{\"z\":9}]}");
}
