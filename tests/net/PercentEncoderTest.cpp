#include "clPercentEncoder.h"

#include <gtest/gtest.h>

namespace {

TBytes Bytes(std::string_view s) {
    return {s.begin(), s.end()};
}

} // namespace

TEST(PercentEncoder, UrlEncoderEscapesUnsafeAndHighBytesAndKeepsExistingEscapes) {
    EXPECT_EQ(TclUrlEncoder::Encode(u"/a b~c/%41/100%/x%4", u""), u"/a%20b%7Ec/%41/100%25/x%254");
    EXPECT_EQ(TclUrlEncoder::Encode(u"<>\"#{}|\\^[]`", u""),
              u"%3C%3E%22%23%7B%7D%7C%5C%5E%5B%5D%60");
    EXPECT_EQ(TclUrlEncoder::Encode(String(u"\x01\x7F", 2), u""), u"%01%7F");
    EXPECT_EQ(TclUrlEncoder::Encode(u"/caf\u00E9?q=\u4E2D", u"utf-8"), u"/caf%C3%A9?q=%E4%B8%AD");
    EXPECT_EQ(TclUrlEncoder::Encode(u"/caf\u00E9", u"iso-8859-1"), u"/caf%E9");
    EXPECT_EQ(TclUrlEncoder::Encode(u"", u""), u"");
}

TEST(PercentEncoder, EmptyUnsafeSetEscapesNothing) {
    TclPercentEncoder encoder;
    EXPECT_EQ(encoder.EncodeBytes(Bytes("a b\x01\xFF")), String(u"a b\x01\xFF", 5));
    encoder.SetUnsafeChars(u"a");
    EXPECT_EQ(encoder.EncodeBytes(Bytes("a b\x01\xFF")), u"%61 b%01%FF");
    // A new set replaces the cached bytes of the old one.
    encoder.SetUnsafeChars(u"b");
    EXPECT_EQ(encoder.EncodeBytes(Bytes("ab")), u"a%62");
}

TEST(PercentEncoder, DecodingEscapesAndIncompleteEscapes) {
    TclPercentEncoder decoder;
    EXPECT_EQ(decoder.DecodeToBytes(u"a%41b%2f%2F"), Bytes("aAb//"));
    EXPECT_EQ(decoder.DecodeToBytes(u"%zz%41"), Bytes("%zzA"));
    // A digit read before the escape broke is kept, and so is a "%" or "%"
    // with one digit at the end: nothing the text held is lost.
    EXPECT_EQ(decoder.DecodeToBytes(u"%4z"), Bytes("%4z"));
    EXPECT_EQ(decoder.DecodeToBytes(u"%4%41"), Bytes("%4%41"));
    EXPECT_EQ(decoder.DecodeToBytes(u"100%"), Bytes("100%"));
    EXPECT_EQ(decoder.DecodeToBytes(u"x%4"), Bytes("x%4"));
    EXPECT_EQ(decoder.DecodeToBytes(u"%%41"), Bytes("%%41"));
    EXPECT_EQ(TclUrlEncoder::Decode(u"a%00", u""), u"a");
}

TEST(PercentEncoder, RawNonAsciiCharactersDecodeToTheirBytesInTheCharSet) {
    EXPECT_EQ(TclUrlEncoder::Decode(u"caf\u00E9%20%C3%A9", u"utf-8"), u"caf\u00E9 \u00E9");
    EXPECT_EQ(TclUrlEncoder::Decode(u"\u041C\u0438\u0440%20%EC%E8%F0", u"windows-1251"),
              u"\u041C\u0438\u0440 \u043C\u0438\u0440");
    EXPECT_EQ(TclUrlEncoder::Decode(u"\U0001F600%F0%9F%98%80", u""), u"\U0001F600\U0001F600");
    // Also right after a "%" that starts no escape.
    EXPECT_EQ(TclUrlEncoder::Decode(u"%\u00E9%4\u00E9", u"utf-8"), u"%\u00E9%4\u00E9");
    TclPercentEncoder decoder;
    EXPECT_EQ(decoder.DecodeToBytes(u"\u4E2D", u"gbk"), Bytes("\xD6\xD0"));
}

TEST(PercentEncoder, EncodeAndDecodeRoundTripInEachCharSet) {
    const String text = u"Grün, 世界 & more/?#%";
    for (const char16_t* charSet : {u"", u"utf-8", u"gbk", u"utf-16"}) {
        SCOPED_TRACE(StringToUtf8(charSet));
        EXPECT_EQ(TclFormFieldEncoder::Decode(TclFormFieldEncoder::Encode(text, charSet), charSet),
                  text);
    }
    EXPECT_EQ(TclUrlEncoder::Decode(TclUrlEncoder::Encode(u"a b%c", u""), u""), u"a b%c");
}
