#include "PlatformCodePage.h"

#include <gtest/gtest.h>

using platform::CodePageResolvedName;
using platform::TCodePage;

namespace {

std::vector<std::uint8_t> Bytes(std::string_view s) {
    return {s.begin(), s.end()};
}

std::vector<std::uint8_t> Encoded(std::u16string_view charSet, std::u16string_view text) {
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(TCodePage(charSet).Encode(text, bytes));
    return bytes;
}

std::u16string Decoded(std::u16string_view charSet, std::string_view bytes) {
    std::u16string text;
    const auto data = Bytes(bytes);
    EXPECT_TRUE(TCodePage(charSet).Decode(data.data(), data.size(), text));
    return text;
}

} // namespace

TEST(CodePage, EmptyUnknownAndMalformedNamesMeanUtf8) {
    EXPECT_EQ(CodePageResolvedName(u""), "UTF-8");
    EXPECT_EQ(CodePageResolvedName(u"   "), "UTF-8");
    EXPECT_EQ(CodePageResolvedName(u"no-such-charset"), "UTF-8");
    EXPECT_EQ(CodePageResolvedName(std::u16string(500, u'x')), "UTF-8");
    // Converter options and other punctuation never reach the converter.
    EXPECT_EQ(CodePageResolvedName(u"ibm-943,swaplfnl"), "UTF-8");
    EXPECT_EQ(CodePageResolvedName(u"\"iso-8859-1\""), "ISO-8859-1");
    EXPECT_EQ(CodePageResolvedName(u" Windows-1251\r\n"), CodePageResolvedName(u"cp1251"));
    EXPECT_EQ(Encoded(u"bogus", u"\u00E9"), Bytes("\xC3\xA9"));
}

TEST(CodePage, ChineseNamesGoToGbkAndUtf16IsLittleEndianWithoutMark) {
    const std::string gbk = CodePageResolvedName(u"gbk");
    EXPECT_EQ(CodePageResolvedName(u"GB2312"), gbk);
    EXPECT_EQ(CodePageResolvedName(u"x-gbk"), gbk);
    EXPECT_EQ(CodePageResolvedName(u"chinese"), gbk);
    // U+5586 and the euro sign exist in GBK but not in strict GB 2312.
    EXPECT_EQ(Encoded(u"gb2312", u"\u4E2D\u5586\u20AC"), Bytes("\xD6\xD0\x86\xB4\x80"));

    for (const char16_t* name : {u"utf-16", u"UNICODE"}) {
        TCodePage codePage(name);
        EXPECT_FALSE(codePage.IsByteOriented());
        std::vector<std::uint8_t> bytes;
        ASSERT_TRUE(codePage.Encode(u"A\u4E2D", bytes));
        EXPECT_EQ(bytes, Bytes(std::string("A\0\x2D\x4E", 4)));
        std::u16string text;
        ASSERT_TRUE(codePage.Decode(bytes.data(), bytes.size(), text));
        EXPECT_EQ(text, u"A\u4E2D");
    }
    EXPECT_TRUE(TCodePage(u"utf-8").IsByteOriented());
    EXPECT_TRUE(TCodePage(u"shift_jis").IsByteOriented());
}

TEST(CodePage, MissingCharactersBecomeQuestionMarks) {
    EXPECT_EQ(Encoded(u"us-ascii", u"a\u00E9b"), Bytes("a?b"));
    EXPECT_EQ(Encoded(u"iso-8859-1", u"\u00E9\u4E2D"), Bytes("\xE9?"));
    EXPECT_EQ(Encoded(u"shift_jis", u"x\u0E01"), Bytes("x?"));
    // An unpaired surrogate cannot be written in any Unicode form either.
    EXPECT_EQ(Encoded(u"utf-8", std::u16string(u"a\xD800", 2)), Bytes("a?"));
    EXPECT_EQ(Encoded(u"utf-16", std::u16string(u"\xDC00", 1)), Bytes(std::string("?\0", 2)));
}

TEST(CodePage, StatefulEncodingsAreFlushedAndRestartEachTime) {
    TCodePage codePage(u"iso-2022-jp");
    std::vector<std::uint8_t> first, second;
    ASSERT_TRUE(codePage.Encode(u"\u65E5", first));
    ASSERT_TRUE(codePage.Encode(u"\u65E5", second));
    EXPECT_EQ(first, second);
    EXPECT_EQ(first, Bytes("\x1B$BF|\x1B(B"));
    EXPECT_EQ(Decoded(u"iso-2022-jp", "\x1B$BF|\x1B(B"), u"\u65E5");
}

TEST(CodePage, MalformedInputDecodesToReplacementCharacters) {
    EXPECT_EQ(Decoded(u"utf-8", "a\xFF"
                                "b"),
              u"a\uFFFDb");
    EXPECT_EQ(Decoded(u"utf-8", "a\xE4\xB8"), u"a\uFFFD");
    EXPECT_EQ(Decoded(u"utf-16", "A"), u"\uFFFD");
}
