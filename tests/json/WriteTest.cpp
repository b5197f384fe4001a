// The writer: exact text for the documented shapes, valid JSON for every
// string (checked against Python's json module), and trees that survive a
// write and a re-read.
#include "JsonTestUtil.h"

#include "RtlConvert.h"
#include "TestSupport.h"
#include "qfloattext.h"

#include <cmath>
#include <fstream>

using namespace json_test;

TEST(JsonWrite, ShapesWithAndWithoutFormatting) {
    for (bool format : {false, true}) {
        EXPECT_EQ(Parsed(u"{}")->Encode(format), u"{}");
        EXPECT_EQ(Parsed(u"[]")->Encode(format), u"[]");
        EXPECT_EQ(Parsed(u"[1,\"a\",true,null]")->Encode(format), u"[1,\"a\",true,null]");
    }
    EXPECT_EQ(Parsed(u"{\"a\":[{\"b\":1}]}")->Encode(true),
              u"{\r\n  \"a\":[\r\n    {\r\n      \"b\":1\r\n    }\r\n  ]\r\n}");
    EXPECT_EQ(Parsed(u"{ \"a\" : 0.5 , \"b\" : { } }")->Encode(false), u"{\"a\":0.5,\"b\":{}}");
    // Value and AsString of a container are its formatted text; AsJson too.
    Doc d = Parsed(u"{\"a\":[1,2]}");
    EXPECT_EQ(d->GetValue(), u"{\r\n  \"a\":[1,2]\r\n}");
    EXPECT_EQ(d->GetAsString(), d->GetAsJson());
}

TEST(JsonWrite, StringEscapes) {
    auto text = [](const String& s, bool escape) {
        TQJson d;
        d.Add(u"s", s, jdtString);
        return d.Encode(false, escape);
    };
    EXPECT_EQ(text(u"a\t\"b", false), u"{\"s\":\"a\\t\\\"b\"}");
    EXPECT_EQ(text(u"\x01/\\", false), u"{\"s\":\"\\u0001/\\\\\"}");
    EXPECT_EQ(text(u"\u00e9", false), u"{\"s\":\"\u00e9\"}");
    EXPECT_EQ(text(u"\u00e9\U0001F600", true), u"{\"s\":\"\\u00e9\\ud83d\\ude00\"}");
    // Every control character is escaped so that the output is JSON:
    // U+0000 no longer ends the string, U+0007, U+000B and U+001F are \u escapes.
    EXPECT_EQ(text(String(u"a") + u'\0' + u"b", false), u"{\"s\":\"a\\u0000b\"}");
    EXPECT_EQ(text(u"\x07\x0B\x1F\x7F", false), u"{\"s\":\"\\u0007\\u000b\\u001f\x7F\"}");
    EXPECT_EQ(text(u"\x7F", true), u"{\"s\":\"\\u007f\"}");
    EXPECT_EQ(TQJson::JsonEscape(u"a:\"b\"\n", true), u"a:\\\"b\\\"\\n");
    // Unescaping undoes escaping, with or without quotes around the text.
    const String sample = String(u"x:y,\"z\"\t\u00e9\U0001F600") + u'\0' + u"\x1F";
    EXPECT_EQ(TQJson::JsonUnescape(TQJson::JsonEscape(sample, true)), sample);
    EXPECT_EQ(TQJson::JsonUnescape(u"\"" + TQJson::JsonEscape(sample, false) + u"\""), sample);
}

TEST(JsonWrite, EscapesAtEveryPositionOfALongString) {
    // Long strings go eight units at a time; an escape may fall anywhere.
    const char16_t specials[] = {u'"', u'\\', 0x01, 0x1F, 0x7F, 0xE9, u'\n'};
    for (char16_t special : specials)
        for (bool escape : {false, true})
            for (std::size_t at = 0; at < 40; ++at) {
                String s(40, u'x');
                s[at] = special;
                String expected;
                for (char16_t c : s)
                    expected += TQJson::JsonEscape(String(1, c), escape);
                ASSERT_EQ(TQJson::JsonEscape(s, escape), expected) << at;
            }
}

TEST(JsonWrite, EncodeSettings) {
    Doc d = Parsed(u"{\"n\":null,\"e\":\"\",\"z\":0,\"f\":0.0,\"b\":false,\"o\":{},\"a\":[],"
                   u"\"d\":12345678901234567890123,\"k\":1}");
    d->ItemByName(u"d")->SetAsBcd(StrToBcd(u"0"));
    EXPECT_EQ(d->Encode(TJsonEncodeSettings(jesIgnoreNull)),
              u"{\"e\":\"\",\"z\":0,\"f\":0,\"b\":false,\"o\":{},\"a\":[],\"d\":0,\"k\":1}");
    EXPECT_EQ(d->Encode(TJsonEncodeSettings(jesIgnoreDefault)), u"{\"d\":0,\"k\":1}");
    EXPECT_EQ(Parsed(u"[null]")->Encode(TJsonEncodeSettings(jesNullAsString)), u"[\"\"]");

    TQJson t;
    t.AddDateTime(u"d", EncodeDate(2020, 3, 1));
    t.AddDateTime(u"t", EncodeTime(13, 4, 5, 6));
    t.AddDateTime(u"dt", EncodeDateTime(2020, 3, 1, 13, 4, 5, 6));
    EXPECT_EQ(t.Encode(false),
              u"{\"d\":\"2020-03-01\",\"t\":\"13:04:05.006\",\"dt\":\"2020-03-01T13:04:05.006\"}");
    EXPECT_EQ(t.ItemByName(u"d")->Encode(TJsonEncodeSettings(jesJavaDateTime)),
              u"\"/DATE(1583020800000)/\"");
    JavaTimeZone = 8;
    JavaTimeInSeconds = true;
    EXPECT_EQ(t.ItemByName(u"d")->Encode(TJsonEncodeSettings(jesJavaDateTime)),
              u"\"/DATE(1582992000+8)/\"");
    TDateTime back;
    TQJson probe(u"", u"/DATE(1582992000+8)/", jdtString);
    back = probe.GetAsDateTime();
    EXPECT_EQ(back, EncodeDate(2020, 3, 1));
    JavaTimeZone = -128;
    JavaTimeInSeconds = false;
}

TEST(JsonWrite, CommentsAsLineComments) {
    Doc d = Parsed(u"/*top*/{\"a\":1 /* two\r\nlines */,\"b\":[2]}");
    d->SetCommentStyle(jcsBeforeName);
    const String text = d->Encode(jesWithComment | jesDoFormat);
    EXPECT_EQ(text, u"//top\r\n{\r\n// two\r\n//lines \r\n  \"a\":1,\r\n  \"b\":[2]\r\n}");
    Doc again = Parsed(text);
    EXPECT_EQ(again->ItemByName(u"a")->GetComment(), u" two\r\nlines ");
    d->SetCommentStyle(jcsAfterValue);
    EXPECT_TRUE(Parsed(d->Encode(TJsonEncodeSettings(jesWithComment)))->Equals(d.get()));
}

TEST(JsonWrite, FastFloatTextEqualsTheRuntimeText) {
    std::mt19937_64 rng(11);
    auto check = [](long double v) {
        char16_t buf[kFloatTextMax];
        const String fast(buf, FormatFloatGeneral15(v, buf));
        ASSERT_EQ(U8(fast), U8(FloatToStr(v)));
    };
    for (long double v :
         {0.5L, 0.0001L, 0.00001L, 1e15L, 1e14L, 999999999999999.5L, 123456789012345.5L, -0.0L,
          1e-300L, 1e300L, 0.1L, 2.5L, 1e4000L, 1234567890123456789.0L})
        check(v);
    for (int i = 0; i < 200000; ++i) {
        const long double mantissa = static_cast<long double>(rng()) / 18446744073709551616.0L;
        const int exp10 = static_cast<int>(rng() % 60) - 30;
        long double v = mantissa * std::pow(10.0L, exp10);
        if (rng() % 5 == 0) v = std::round(v * 1000) / 1000; // short decimals near ties
        check(rng() % 2 ? v : -v);
    }
}

namespace {

// Random documents whose object members have distinct names, so that a
// reader that keeps the last of equal names reads the same values.
Doc RandomDocument(RandomTree& gen, int depth) {
    Doc d(new TQJson());
    gen.Fill(d.get(), depth);
    if (!d->IsContainer()) {
        Doc wrap(new TQJson());
        wrap->Add(u"v", d.release());
        d = std::move(wrap);
    }
    d->ForEach(
        [](TQJson* n) {
            if (n->GetParent()->IsObject())
                n->SetName(n->GetName() + u"#" + IntToStr(n->GetItemIndex()));
            return true;
        },
        true);
    return d;
}

} // namespace

TEST(JsonWrite, RandomTreesSurviveWriteAndReread) {
    RandomTree gen(2024);
    for (int i = 0; i < 400; ++i) {
        Doc d = RandomDocument(gen, i % 40 == 0 ? 60 : 5);
        for (bool format : {false, true})
            for (bool escape : {false, true}) {
                const String text = d->Encode(format, escape);
                Doc back = Parsed(text);
                ASSERT_TRUE(back->Equals(d.get())) << U8(text);
            }
    }
}

TEST(JsonWrite, PythonReadsWhatTheWriterWrites) {
    testing_support::TempDir dir;
    RandomTree gen(77);
    std::vector<Doc> docs;
    const int count = 150;
    for (int i = 0; i < count; ++i) {
        docs.push_back(RandomDocument(gen, 4));
        const Doc& d = docs.back();
        testing_support::WriteFileBytes(dir.File("plain" + std::to_string(i)),
                                        U8(d->Encode(i % 2 == 0, false)));
        testing_support::WriteFileBytes(dir.File("esc" + std::to_string(i)),
                                        U8(d->Encode(i % 2 == 1, true)));
    }
    // Python reads every file strictly (raw control characters are refused)
    // and writes what it read back, ASCII only.
    const std::string script = "import json,sys\n"
                               "d=sys.argv[1]\n"
                               "for i in range(" +
                               std::to_string(count) +
                               "):\n"
                               "  for k in ('plain','esc'):\n"
                               "    v=json.load(open(d+'/'+k+str(i),encoding='utf-8'))\n"
                               "    open(d+'/'+k+str(i)+'.py','w').write(json.dumps(v))\n";
    testing_support::WriteFileBytes(dir.File("check.py"), script);
    int status = -1;
    const std::string out = testing_support::RunCommand(
        "/usr/bin/python3 " + dir.File("check.py") + " " + dir.Path() + " 2>&1", &status);
    ASSERT_EQ(status, 0) << out;
    for (int i = 0; i < count; ++i)
        for (const char* kind : {"plain", "esc"}) {
            const std::string back =
                testing_support::ReadFileBytes(dir.File(kind + std::to_string(i) + ".py"));
            Doc d = Parsed(Utf8ToString(back));
            ASSERT_TRUE(d->Equals(docs[i].get())) << kind << i << ": " << back;
        }
}
