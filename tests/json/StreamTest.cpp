// Documents in streams and files, in every encoding, compared byte for byte
// with iconv.
#include "JsonTestUtil.h"

#include "RtlFileStream.h"
#include "TestSupport.h"

#include <sys/stat.h>

using namespace json_test;
using testing_support::ReadFileBytes;
using testing_support::RunCommand;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

std::string Bytes(const TBytesStream& s) {
    const TBytes b = s.DataBytes();
    return std::string(b.begin(), b.end());
}

// The text's UTF-16LE code units as bytes, written out without any library
// conversion: the input iconv converts from.
std::string RawUtf16Le(const String& text) {
    std::string out;
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    return out;
}

ino_t Inode(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

} // namespace

TEST(JsonStream, EveryEncodingMatchesIconv) {
    TempDir dir;
    Doc d = Parsed(u"{\"名\":\"\u00e9\U0001F600\",\"a\":[1,2.5,true],\"s\":\"\\t\\u0001\"}");
    const String text = d->Encode(true, false, u"  ");
    WriteFileBytes(dir.File("in.utf16le"), RawUtf16Le(text));
    struct Case {
        TTextEncoding encoding;
        const char* iconvName;
        std::string bom;
    };
    const Case cases[] = {{teUTF8, "UTF-8", "\xEF\xBB\xBF"},
                          {teAnsi, "UTF-8", ""}, // the ANSI code page is UTF-8, never a mark
                          {teUnicode16LE, "UTF-16LE", "\xFF\xFE"},
                          {teUnicode16BE, "UTF-16BE", "\xFE\xFF"},
                          {teUnknown, "UTF-16BE", "\xFE\xFF"}};
    for (const Case& c : cases) {
        int status = -1;
        const std::string body = RunCommand(std::string("iconv -f UTF-16LE -t ") + c.iconvName +
                                                " " + dir.File("in.utf16le"),
                                            &status);
        ASSERT_EQ(status, 0);
        for (bool bom : {false, true}) {
            TBytesStream out;
            d->SaveToStream(out, c.encoding, bom, true);
            const std::string expected = (bom ? c.bom : std::string()) + body;
            ASSERT_EQ(Bytes(out), expected) << c.iconvName << " bom=" << bom;
            // Read back: with the mark, whatever encoding is named; without,
            // with the right one named and by detection.
            for (TTextEncoding named : {c.encoding, teAuto}) {
                TBytesStream in(TBytes(expected.begin(), expected.end()));
                TQJson back;
                back.LoadFromStream(in, bom ? teAnsi : named);
                EXPECT_TRUE(back.Equals(d.get())) << c.iconvName << " bom=" << bom;
            }
        }
    }
}

TEST(JsonStream, WhatSaveToStreamWrites) {
    TBytesStream s;
    TQJson named(u"n", u"5", jdtInteger);
    named.SaveToStream(s, teUTF8, false, true);
    EXPECT_EQ(Bytes(s), "{\"n\":5}");
    TQJson nul;
    TBytesStream empty;
    nul.SetDataType(jdtNull);
    nul.SaveToStream(empty, teUTF8, true, true);
    EXPECT_EQ(Bytes(empty), "\xEF\xBB\xBF");
    TBytesStream untouched;
    TQJson scalar(u"", u"x", jdtString);
    EXPECT_THROW(scalar.SaveToStream(untouched, teUTF8, true, true), Exception);
    EXPECT_EQ(untouched.GetSize(), 0);
}

TEST(JsonStream, LoadFromStreamEdges) {
    TQJson d;
    d.Parse(u"[1]");
    TBytesStream none;
    d.LoadFromStream(none);
    EXPECT_TRUE(d.IsNull());
    TBytesStream one(TBytes{'x'});
    try {
        d.LoadFromStream(one);
        FAIL();
    } catch (const EJsonError& e) {
        EXPECT_EQ(e.Message(), u"当前内容不是有效的JSON字符串。");
    }
    // Without a mark, UTF-16 is told by its zero bytes.
    const std::string le = RawUtf16Le(u"{\"a\":\"\u4e2d\"}");
    TBytesStream in(TBytes(le.begin(), le.end()));
    d.LoadFromStream(in, teAuto);
    EXPECT_EQ(d.ItemByName(u"a")->GetAsString(), u"\u4e2d");
}

TEST(JsonStream, SaveToFileReplacesTheFileWhole) {
    TempDir dir;
    const std::string path = dir.File("V.Json");
    TQJson d;
    d.Parse(u"{\"data\":{\"statistics\":{\"confirmedCount\":12345}}}");
    d.AddVariant(u"updateTime", Variant(u"2020-02-03 04:05:06"));
    d.SaveToFile(Utf8ToString(path), teUTF8, true, true);
    EXPECT_EQ(ReadFileBytes(path), "\xEF\xBB\xBF{\r\n  \"data\":{\r\n    \"statistics\":{\r\n"
                                   "      \"confirmedCount\":12345\r\n    }\r\n  },\r\n"
                                   "  \"updateTime\":\"2020-02-03 04:05:06\"\r\n}");
    // A new file takes the old one's place in one step (a new inode), and
    // nothing is left beside it.
    const ino_t before = Inode(path);
    d.SaveToFile(Utf8ToString(path), teUTF8, false, false);
    EXPECT_NE(Inode(path), before);
    EXPECT_EQ(ReadFileBytes(path).substr(0, 9), "{\"data\":{");
    EXPECT_EQ(RunCommand("ls -A " + dir.Path()), "V.Json\n");
    // When encoding fails, the file is not touched.
    const std::string old = ReadFileBytes(path);
    TQJson scalar(u"", u"1", jdtInteger);
    EXPECT_THROW(scalar.SaveToFile(Utf8ToString(path)), Exception);
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_EQ(RunCommand("ls -A " + dir.Path()), "V.Json\n");
    EXPECT_THROW(d.SaveToFile(Utf8ToString(dir.File("missing/x.json"))), EFCreateError);
    // And it reads back.
    TQJson back;
    back.LoadFromFile(Utf8ToString(path));
    EXPECT_TRUE(back.Equals(&d));
}

TEST(JsonStream, ParseBlockReadsOneBraceBlock) {
    const std::string bytes = "  {\"a\":{\"b\":\"\xe4\xb8\xad\"}} {\"c\":2}";
    TBytesStream s(TBytes(bytes.begin(), bytes.end()));
    TQJson d;
    d.ParseBlock(s, teUTF8);
    EXPECT_EQ(d.ItemByPath(u"a.b")->GetAsString(), u"\u4e2d");
    EXPECT_EQ(s.GetPosition(), 19);
    d.ParseBlock(s, teUTF8);
    EXPECT_EQ(d.ItemByName(u"c")->GetAsInt64(), 2);
    EXPECT_THROW(d.ParseBlock(s, teAuto), Exception);
}
