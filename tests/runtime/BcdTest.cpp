// The decimal type: exact digits through text, comparisons and conversions.
#include "RtlBcd.h"

#include "RtlException.h"

#include <gtest/gtest.h>

TEST(Bcd, TextRoundTripsUpToSixtyFourDigits) {
    const String digits64 = u"1234567890123456789012345678901234567890123456789012345678901234";
    for (const String& text : {String(u"0"), String(u"-1"), String(u"0.05"), String(u"-123.456"),
                               digits64, u"-" + digits64.substr(0, 30) + u"." + digits64.substr(30),
                               u"0." + String(62, u'0') + u"1"}) {
        EXPECT_EQ(BcdToStr(StrToBcd(text)), text);
    }
    // Zeros that carry no digit are dropped; exponents move the point.
    EXPECT_EQ(BcdToStr(StrToBcd(u" 000120.500 ")), u"120.5");
    EXPECT_EQ(BcdToStr(StrToBcd(u"1.5E3")), u"1500");
    EXPECT_EQ(BcdToStr(StrToBcd(u"15e-4")), u"0.0015");
    EXPECT_EQ(BcdToStr(StrToBcd(u"-0.000")), u"0");
    TBcd v;
    EXPECT_FALSE(TryStrToBcd(digits64 + u"5", v));
    EXPECT_FALSE(TryStrToBcd(u"0." + String(63, u'0') + u"1", v));
    EXPECT_FALSE(TryStrToBcd(u"1e99999999", v));
    EXPECT_FALSE(TryStrToBcd(u"1.2.3", v));
    EXPECT_FALSE(TryStrToBcd(u"", v));
    EXPECT_THROW(StrToBcd(u"x"), EConvertError);
}

TEST(Bcd, ComparesAndConvertsNumerically) {
    EXPECT_EQ(BcdCompare(StrToBcd(u"1.50"), StrToBcd(u"1.5")), 0);
    EXPECT_LT(BcdCompare(StrToBcd(u"-2"), StrToBcd(u"-1.99")), 0);
    EXPECT_GT(BcdCompare(StrToBcd(u"10"), StrToBcd(u"9.999")), 0);
    EXPECT_LT(BcdCompare(StrToBcd(u"0.001"), StrToBcd(u"0.01")), 0);
    EXPECT_TRUE(IsBcdZero(StrToBcd(u"-0.0")));
    std::int64_t i;
    EXPECT_TRUE(TryBcdToInt64(StrToBcd(u"-9223372036854775808.9"), i));
    EXPECT_EQ(i, INT64_MIN);
    EXPECT_FALSE(TryBcdToInt64(StrToBcd(u"9223372036854775808"), i));
    EXPECT_EQ(BcdToStr(IntegerToBcd(INT64_MIN)), u"-9223372036854775808");
    EXPECT_EQ(BcdToFloat(StrToBcd(u"0.1")), 0.1L);
    EXPECT_EQ(BcdToStr(FloatToBcd(-2.5L)), u"-2.5");
    EXPECT_THROW(FloatToBcd(1e300L), EConvertError);
}
