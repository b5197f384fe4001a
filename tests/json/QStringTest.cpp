// The text builder and the whole-text byte encodings.
#include "qstring.h"

#include "RtlEncoding.h"

#include <gtest/gtest.h>

#include <random>

TEST(QStringCatHelper, GrowsInBlocksAndKeepsItsText) {
    TQStringCatHelperW b;
    EXPECT_EQ(b.Capacity(), 16384u);
    String expected;
    for (int i = 0; i < 5000; ++i) {
        b.Cat(u"abc").Cat(u'-').CatInt64(-i);
        expected += u"abc-" + (i ? u"-" + AsciiToString(std::to_string(i)) : u"0");
    }
    EXPECT_EQ(b.GetValue(), expected);
    EXPECT_EQ(b.Capacity() % 8192, 0u);
    EXPECT_GT(b.Capacity(), b.GetPosition());
}

TEST(QStringCatHelper, EditingTheEnd) {
    TQStringCatHelperW b(16);
    b.Cat(u"x, \t\r\n");
    b.BackIf(u" \t\r\n");
    EXPECT_EQ(b.GetValue(), u"x,");
    b.Back(100);
    EXPECT_TRUE(b.IsEmpty());
    b.Cat(u"   ");
    b.TrimRight(); // never the first character
    EXPECT_EQ(b.GetValue(), u" ");
    b.Reset();
    b.Cat(u"a\U0001F600\U0001F601");
    b.BackIf(u"\U0001F601"); // a pair goes as one character, and only a whole pair matches
    EXPECT_EQ(b.GetValue(), u"a\U0001F600");
    b.BackIf(u"\xD83D");
    EXPECT_EQ(b.GetValue(), u"a\U0001F600");
    EXPECT_TRUE(b.EndWith(u"A\U0001F600", true));
    EXPECT_FALSE(b.EndWith(u"A\U0001F600", false));
    b.Reset();
    b.CatQuoted(u"it's", u'\'').Replicate(u"ab", 2).Replicate(u"zz", -1);
    EXPECT_EQ(b.GetValue(), u"'it''s'abab");
    b.SetPosition(1);
    EXPECT_EQ(b.GetValue(), u"'");
}

TEST(QStringCatHelper, ValueTexts) {
    TQStringCatHelperW b;
    TGUID g{0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}};
    b.Cat(g).Cat(u' ').CatCurrency(-15000).Cat(u' ').CatCurrency(12345).Cat(u' ');
    b.Cat(0.1).Cat(u' ').Cat(true).Cat(u' ').Cat(std::uint64_t(18446744073709551615ULL));
    b.Cat(u' ').Cat(Variant(std::vector<Variant>{Variant(1), Variant::Null(), Variant(u"s")}));
    EXPECT_EQ(b.GetValue(), u"{12345678-9ABC-DEF0-0102-030405060708} -1.5 1.2345 0.1 true "
                            u"18446744073709551615 1,null,s");
}

TEST(QTextEncoding, MarksOverrideAndDetectionDecides) {
    const String text = u"{\"a\":\"\u4e2d\U0001F600\"}";
    for (TTextEncoding e : {teUTF8, teAnsi, teUnicode16LE, teUnicode16BE}) {
        for (bool bom : {false, true}) {
            const TBytes bytes = EncodeText(text, e, bom);
            // A mark wins over the encoding named; without one, detection finds it.
            EXPECT_EQ(DecodeText(bytes.data(), bytes.size(), bom ? teAnsi : teAuto), text);
            EXPECT_EQ(DecodeText(bytes.data(), bytes.size(), e), text);
        }
    }
    EXPECT_TRUE(EncodeText(text, teAnsi, true) == EncodeText(text, teAnsi, false));
    const std::uint8_t latin[] = {'{', 0xE9, '}'};
    EXPECT_EQ(DetectTextEncoding(latin, 3), teAnsi);
    EXPECT_EQ(DecodeText(latin, 3, teAuto), u"{\uFFFD}");
}

TEST(QTextEncoding, FastConvertersAgreeWithTheRuntime) {
    // Random mixes of ASCII runs and other bytes (valid and broken sequences)
    // and of UTF-16 units (pairs and lone surrogates), at every alignment.
    std::mt19937 rng(5);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        String units;
        const int len = static_cast<int>(rng() % 80);
        for (int i = 0; i < len; ++i) {
            if (rng() % 3) {
                bytes.push_back(static_cast<char>('a' + rng() % 26));
                units.push_back(static_cast<char16_t>(u'a' + rng() % 26));
            } else {
                bytes.push_back(static_cast<char>(0x80 + rng() % 0x80));
                static const char16_t odd[] = {0xE9, 0x4E2D, 0xD83D, 0xDE00, 0x7FF, 0x800, 0xFFFF};
                units.push_back(odd[rng() % 7]);
            }
        }
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        ASSERT_EQ(DecodeUtf8(data, bytes.size()), Utf8ToString(bytes));
        TBytes out;
        AppendUtf8(units, out);
        ASSERT_EQ(std::string(out.begin(), out.end()), StringToUtf8(units));
    }
}
