#include "clTranslator.h"

#include "RtlStream.h"

#include <gtest/gtest.h>

namespace {

TBytes Bytes(std::string_view s) {
    return {s.begin(), s.end()};
}

// Expected bytes from Python's codecs (uconv for the euro sign in GBK, which
// Python's codec lacks but the Windows code page has).
struct TCharSetSample {
    const char16_t* charSet;
    const char16_t* text;
    const char* bytes;
};
const TCharSetSample kSamples[] = {
    {u"windows-1251", u"Привет, мир!", "\xCF\xF0\xE8\xE2\xE5\xF2\x2C\x20\xEC\xE8\xF0\x21"},
    {u"koi8-u", u"Їжак ґанок і є", "\xB7\xD6\xC1\xCB\x20\xAD\xC1\xCE\xCF\xCB\x20\xA6\x20\xA4"},
    {u"ibm866", u"Ёжик №5 ░", "\xF0\xA6\xA8\xAA\x20\xFC\x35\x20\xB0"},
    {u"gbk", u"中文测试喆€", "\xD6\xD0\xCE\xC4\xB2\xE2\xCA\xD4\x86\xB4\x80"},
    {u"big5", u"繁體中文測試", "\xC1\x63\xC5\xE9\xA4\xA4\xA4\xE5\xB4\xFA\xB8\xD5"},
    {u"shift_jis", u"日本語テキストｱ",
     "\x93\xFA\x96\x7B\x8C\xEA\x83\x65\x83\x4C\x83\x58\x83\x67\xB1"},
};

} // namespace

TEST(Translator, NamedCharSetsMatchReferenceBytesBothWays) {
    for (const auto& sample : kSamples) {
        SCOPED_TRACE(StringToUtf8(sample.charSet));
        EXPECT_EQ(TclTranslator::GetBytes(sample.text, sample.charSet), Bytes(sample.bytes));
        EXPECT_EQ(TclTranslator::GetByteCount(sample.text, sample.charSet),
                  static_cast<int>(std::string_view(sample.bytes).size()));
        EXPECT_EQ(TclTranslator::GetString(Bytes(sample.bytes), sample.charSet), sample.text);
    }
    // Without a name: the ANSI code page, UTF-8.
    EXPECT_EQ(TclTranslator::GetBytes(u"\u00E9"), Bytes("\xC3\xA9"));
    EXPECT_EQ(TclTranslator::GetBytes(u"GET /\u00E9", u"us-ascii"), Bytes("GET /?"));
}

TEST(Translator, TrailingZeroIsATerminatorOnlyInByteCharSets) {
    EXPECT_EQ(TclTranslator::GetString(Bytes(std::string("abc\0", 4)), u"utf-8"), u"abc");
    EXPECT_EQ(TclTranslator::GetString(Bytes(std::string("\0", 1)), u""), u"");
    // Only one zero is dropped; the one before it is text.
    EXPECT_EQ(TclTranslator::GetString(Bytes(std::string("a\0\0", 3)), u""), String(u"a\0", 2));
    // In UTF-16 the zero is the high half of the last character: "{}" ends 7D 00.
    EXPECT_EQ(TclTranslator::GetString(Bytes(std::string("{\0}\0", 4)), u"utf-16"), u"{}");
    EXPECT_EQ(TclTranslator::GetString(Bytes(std::string("{\0}\0", 4)), u"unicode"), u"{}");
}

TEST(Translator, RangesAreCutToTheBytes) {
    const TBytes bytes = Bytes("hello");
    EXPECT_EQ(TclTranslator::GetString(bytes, 1, 3, u""), u"ell");
    EXPECT_EQ(TclTranslator::GetString(bytes, 3, 100, u""), u"lo");
    EXPECT_EQ(TclTranslator::GetString(bytes, 9, 2, u""), u"");
    EXPECT_EQ(TclTranslator::GetString(bytes, -4, 2, u""), u"he");
    EXPECT_EQ(TclTranslator::GetString(bytes, 0, 0, u""), u"");
    EXPECT_EQ(TclTranslator::GetString(bytes, 0, -1, u""), u"");
}

TEST(Translator, BuiltInUtf8WritesPairsAsOneSequenceAndReadsThemBack) {
    const String text = u"a\u00E9\u4E2D\U0001F600";
    const TBytes expected = Bytes("a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80");
    EXPECT_EQ(TclTranslator::GetUtf8Bytes(text), expected);
    EXPECT_EQ(TclTranslator::GetUtf8ByteCount(text), 10);
    EXPECT_EQ(TclTranslator::GetStringFromUtf8(expected), text);
    // An unpaired surrogate keeps its value in three bytes and comes back.
    const String lone(u"x\xDC01", 2);
    EXPECT_EQ(TclTranslator::GetUtf8Bytes(lone), Bytes("x\xED\xB0\x81"));
    EXPECT_EQ(TclTranslator::GetUtf8ByteCount(lone), 4);
    EXPECT_EQ(TclTranslator::GetStringFromUtf8(Bytes("x\xED\xB0\x81")), lone);
}

TEST(Translator, BuiltInUtf8DecodesMalformedInputAsItsFallbackCharacters) {
    EXPECT_EQ(TclTranslator::GetStringFromUtf8(Bytes("\xC3 b")), u" b");
    EXPECT_EQ(TclTranslator::GetStringFromUtf8(Bytes("\xC3xb")), u"\u20ACb");
    EXPECT_EQ(TclTranslator::GetStringFromUtf8(Bytes("\xE4\xB8xb")), u"\u20ACb");
    EXPECT_EQ(TclTranslator::GetStringFromUtf8(Bytes("a\x80"
                                                     "b")),
              u"a\u20ACb");
    EXPECT_EQ(TclTranslator::GetStringFromUtf8(Bytes("ab\xE4\xB8")), u"ab");
}

TEST(Translator, IsUtf8NeedsHighBytesAndWellFormedSequences) {
    EXPECT_FALSE(TclTranslator::IsUtf8(Bytes("plain ascii")));
    EXPECT_FALSE(TclTranslator::IsUtf8(TBytes{}));
    EXPECT_TRUE(TclTranslator::IsUtf8(Bytes("\xC3\xA9")));
    EXPECT_TRUE(TclTranslator::IsUtf8(Bytes("a\xF0\x9F\x98\x80z\xF4\x8F\xBF\xBF")));
    for (const char* bad :
         {"\xC0\x80", "\xC1\xBF", "\xE0\x9F\x80", "\xF0\x8F\x80\x80", "\xF4\x90\x80\x80",
          "\xF5\x80\x80\x80", "\x80", "\xC3", "\xE4\xB8", "\xE4\x41\x80", "\xC3\xA9\xFF"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(TclTranslator::IsUtf8(Bytes(bad)));
    }
    const TBytes mixed = Bytes("ab\xC3\xA9\xFF");
    EXPECT_TRUE(TclTranslator::IsUtf8(mixed, 2, 2));
    EXPECT_FALSE(TclTranslator::IsUtf8(mixed, 0, 2));
    EXPECT_FALSE(TclTranslator::IsUtf8(mixed, 2, 3));

    TBytesStream stream(Bytes("\xFFxy\xC3\xA9"));
    stream.SetPosition(1);
    EXPECT_TRUE(TclTranslator::IsUtf8(stream));
    EXPECT_EQ(stream.GetPosition(), 1);
}

TEST(Translator, TranslateMovesBetweenTheAnsiCodePageAndACharSet) {
    EXPECT_EQ(TclTranslator::TranslateTo(u"koi8-r", u"Мир"), u"\u00ED\u00C9\u00D2");
    EXPECT_EQ(TclTranslator::TranslateFrom(u"koi8-r", u"\u00ED\u00C9\u00D2"), u"Мир");

    TBytesStream ansi(TclTranslator::GetBytes(u"Мир"));
    TBytesStream koi;
    TclTranslator::TranslateTo(u"koi8-r", ansi, koi);
    EXPECT_EQ(koi.DataBytes(), Bytes("\xED\xC9\xD2"));
    koi.SetPosition(0);
    TBytesStream back;
    TclTranslator::TranslateFrom(u"koi8-r", koi, back);
    EXPECT_EQ(back.DataBytes(), TclTranslator::GetBytes(u"Мир"));
}
