// The variant: kinds keep their type codes and their values.
#include "RtlVariant.h"

#include "RtlException.h"

#include <gtest/gtest.h>

TEST(Variant, KindsAndValues) {
    EXPECT_EQ(Variant().VarType(), varEmpty);
    EXPECT_EQ(Variant::Null().VarType(), varNull);
    EXPECT_EQ(Variant(std::int8_t(-1)).AsInt64(), -1);
    EXPECT_EQ(Variant(std::int16_t(2)).VarType(), varSmallint);
    EXPECT_EQ(Variant(3).VarType(), varInteger);
    EXPECT_EQ(Variant(std::uint64_t(5)).AsUInt64(), 5u);
    EXPECT_EQ(Variant(1.5f).VarType(), varSingle);
    EXPECT_EQ(Variant(u"s").AsString(), u"s");
    EXPECT_TRUE(Variant(true).AsBoolean());
    EXPECT_EQ(Variant::FromCurrency(15000).AsInt64(), 15000);
    EXPECT_EQ(Variant::FromDate(2.5).AsDouble(), 2.5);
    const Variant array(std::vector<Variant>{Variant(1), Variant(u"x")});
    EXPECT_TRUE(array.IsArray());
    EXPECT_EQ(array.VarType(), varArray | varVariant);
    EXPECT_EQ(array.Elements()[1].AsString(), u"x");
    EXPECT_THROW(Variant(1).AsString(), EConvertError);
    EXPECT_THROW(Variant(u"1").AsInt64(), EConvertError);
}
