#include "RtlConvert.h"
#include "RtlException.h"
#include "RtlFormat.h"
#include "RtlString.h"

#include <gtest/gtest.h>

TEST(Utf8, RoundTripsValidText) {
    const std::string text = "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80z"; // a é 中 😀 z
    const String s = Utf8ToString(text);
    EXPECT_EQ(s, u"a\u00E9\u4E2D\U0001F600z");
    EXPECT_EQ(StringToUtf8(s), text);
}

TEST(Utf8, InvalidInputBecomesReplacementCharacters) {
    // stray continuation, overlong "/", encoded surrogate, above U+10FFFF, truncated
    EXPECT_EQ(Utf8ToString("\x80"), u"\uFFFD");
    EXPECT_EQ(Utf8ToString("\xC0\xAF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToString("\xED\xA0\x80x"), u"\uFFFD\uFFFD\uFFFDx");
    EXPECT_EQ(Utf8ToString("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToString("a\xE4\xB8"), u"a\uFFFD");
    // An unpaired surrogate never produces invalid UTF-8.
    EXPECT_EQ(StringToUtf8(String(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(Text, CaseAndTrimAreAsciiOnly) {
    EXPECT_EQ(UpperCase(u"abz\u00E9"), u"ABZ\u00E9");
    EXPECT_TRUE(SameText(u"Content-Type", u"content-type"));
    EXPECT_EQ(Trim(u"\t\r\n x y \x01"), u"x y");
    EXPECT_EQ(Trim(u"\u00A0x"), u"\u00A0x");
}

TEST(Convert, IntegersAcceptDecimalAndHexAndRejectTheRest) {
    EXPECT_EQ(StrToInt(u" -42"), -42);
    EXPECT_EQ(StrToInt(u"$1F"), 31);
    EXPECT_EQ(StrToInt64(u"0x7FFFFFFFFFFFFFFF"), INT64_MAX);
    EXPECT_EQ(StrToInt64(u"-9223372036854775808"), INT64_MIN);
    EXPECT_THROW(StrToInt64(u"9223372036854775808"), EConvertError);
    EXPECT_THROW(StrToInt(u"2147483648"), EConvertError);
    EXPECT_THROW(StrToInt(u"12a"), EConvertError);
    EXPECT_THROW(StrToInt(u""), EConvertError);
    try {
        StrToInt(u"x");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"'x' is not a valid integer value");
    }
}

TEST(Convert, GeneralFloatFormUsesFifteenDigitsAndExponentLimits) {
    EXPECT_EQ(FloatToStr(0.0001), u"0.0001");
    EXPECT_EQ(FloatToStr(0.00001), u"1E-5");
    EXPECT_EQ(FloatToStr(1e15), u"1E15");
    EXPECT_EQ(FloatToStr(999999999999999.0), u"999999999999999");
    EXPECT_EQ(FloatToStr(-1.5e-7), u"-1.5E-7");
    EXPECT_EQ(FloatToStr(0.1 + 0.2), u"0.3");
    EXPECT_EQ(FloatToStr(3.14159265358979), u"3.14159265358979");
    EXPECT_EQ(FloatToStr(123.0), u"123");
    EXPECT_EQ(FloatToStr(0.0), u"0");
    EXPECT_EQ(FloatToStr(9.9999999999999999e14L), u"1E15"); // rounding carries into the exponent
    EXPECT_EQ(StrToFloat(u" 2.5e3 "), 2500.0L);
    EXPECT_THROW(StrToFloat(u"1.2.3"), EConvertError);
    EXPECT_THROW(StrToFloat(u"1e"), EConvertError);
}

TEST(Format, DirectivesWidthsAndErrors) {
    EXPECT_EQ(Format(u"%d-%s-%x", {42, u"ab", 255}), u"42-ab-FF");
    EXPECT_EQ(Format(u"[%5d][%-5s][%.3d]", {7, u"x", 5}), u"[    7][x    ][005]");
    EXPECT_EQ(Format(u"%1:s %0:s", {u"a", u"b"}), u"b a");
    EXPECT_EQ(Format(u"%.2f %n", {1.126L, 1234567.0}), u"1.13 1,234,567.00");
    EXPECT_EQ(Format(u"%s 不是一个有效的 %s 类型的值。", {u"12", u"DataType"}),
              u"12 不是一个有效的 DataType 类型的值。");
    EXPECT_EQ(Format(u"100%%", {}), u"100%");
    EXPECT_THROW(Format(u"%d", {u"x"}), EConvertError);
    EXPECT_THROW(Format(u"%s %s", {u"x"}), EConvertError);
}
