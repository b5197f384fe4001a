// The lenient parser: what it accepts, what it builds, and where it reports
// failures.
#include "JsonTestUtil.h"

#include "RtlConvert.h"
#include "qjson_number.h"

#include <cmath>
#include <cstdlib>

using namespace json_test;

TEST(JsonParse, LenientFormsBuildTheExpectedTree) {
    EXPECT_EQ(Parsed(u"{\"a\":1}")->ItemByName(u"a")->GetAsInt64(), 1);
    EXPECT_EQ(Parsed(u"[1,2,]")->GetCount(), 2);
    for (const char16_t* text : {u"{'a':'x'}", u"{a : \"x\"}", u"{ a\t:'x'}"}) {
        Doc d = Parsed(text);
        ASSERT_EQ(d->GetCount(), 1) << U8(text);
        EXPECT_EQ(d->GetItems(0)->GetName(), u"a") << U8(text);
        EXPECT_EQ(d->GetItems(0)->GetAsString(), u"x") << U8(text);
    }
    EXPECT_EQ(Parsed(u"[\"a\"\"b\"]")->GetItems(0)->GetAsString(), u"a\"b");
    Doc words = Parsed(u"[True,FALSE,Null,tRuE]");
    EXPECT_TRUE(words->GetItems(0)->GetAsBoolean());
    EXPECT_FALSE(words->GetItems(1)->GetAsBoolean());
    EXPECT_TRUE(words->GetItems(2)->IsNull());
    Doc gaps = Parsed(u"[1,,2]");
    ASSERT_EQ(gaps->GetCount(), 3);
    EXPECT_TRUE(gaps->GetItems(1)->IsNull());
    EXPECT_TRUE(Parsed(u"{\"a\":,\"b\":1}")->ItemByName(u"a")->IsNull());
    // No comma is needed after a container; text after the document is ignored.
    EXPECT_EQ(Parsed(u"{\"a\":{} \"b\":2}")->GetCount(), 2);
    EXPECT_EQ(Parsed(u"[1] trailing {garbage")->GetCount(), 1);
}

TEST(JsonParse, NumbersTakeTheirTypes) {
    Doc d = Parsed(u"[1e3,0x1F,$ff,&10,12345678901234567890123,9223372036854775807,-5,1.5,-0.25]");
    EXPECT_EQ(d->GetItems(0)->GetDataType(), jdtFloat);
    EXPECT_EQ(d->GetItems(0)->GetAsFloat(), 1000);
    EXPECT_EQ(d->GetItems(1)->GetDataType(), jdtInteger);
    EXPECT_EQ(d->GetItems(1)->GetAsInt64(), 31);
    EXPECT_EQ(d->GetItems(2)->GetAsInt64(), 255);
    EXPECT_EQ(d->GetItems(3)->GetAsInt64(), 16);
    EXPECT_EQ(d->GetItems(4)->GetDataType(), jdtBcd);
    EXPECT_EQ(d->GetItems(4)->GetValue(), u"12345678901234567890123");
    EXPECT_EQ(d->GetItems(5)->GetAsInt64(), INT64_MAX);
    EXPECT_EQ(d->GetItems(6)->GetAsInt64(), -5);
    EXPECT_EQ(d->GetItems(7)->GetAsFloat(), 1.5L);
    EXPECT_EQ(d->GetItems(8)->GetAsFloat(), -0.25L);
}

TEST(JsonParse, LongFractionsReadCorrectlyRounded) {
    // More fraction digits than 64 bits hold, and integer parts beyond 64 bits
    // with a fraction or exponent: all are ordinary floats.
    for (const char* text : {"3.14159265358979323846264", "0.000000000000000000000123456789",
                             "123456789012345678901234.5", "1.00000000000000000000000001e-5",
                             "2.718281828459045235360287471352662497757", "1e400", "4.9e-4950",
                             "0.1", "1234.5678", "9007199254740993.0"}) {
        const String s = AsciiToString(text);
        const char16_t* p = s.data();
        long double v;
        bool isFloat;
        ASSERT_TRUE(ReadNumber(p, s.data() + s.size(), v, isFloat)) << text;
        EXPECT_TRUE(isFloat);
        EXPECT_EQ(p, s.data() + s.size()) << text;
        EXPECT_EQ(v, std::strtold(text, nullptr)) << text;
    }
    EXPECT_EQ(ParseCode(u"[3.14159265358979323846264]"), 0);
}

TEST(JsonParse, NumberReaderMatchesStrtoldOnRandomDecimals) {
    std::mt19937_64 rng(7);
    for (int i = 0; i < 20000; ++i) {
        std::string text = (rng() % 2 ? "-" : "") + std::to_string(rng() % 100000000000ULL);
        if (rng() % 4) text += "." + std::to_string(rng()) + std::to_string(rng() % 1000);
        if (rng() % 3 == 0) text += "e" + std::to_string(static_cast<int>(rng() % 80) - 40);
        const String s = AsciiToString(text);
        const char16_t* p = s.data();
        long double v;
        bool isFloat;
        ASSERT_TRUE(ReadNumber(p, s.data() + s.size(), v, isFloat)) << text;
        ASSERT_EQ(v, std::strtold(text.c_str(), nullptr)) << text;
    }
}

TEST(JsonParse, NumberReaderEdges) {
    auto read = [](const String& s, long double& v) {
        const char16_t* p = s.data();
        bool isFloat;
        const bool ok = ReadNumber(p, s.data() + s.size(), v, isFloat);
        return ok ? static_cast<int>(p - s.data()) : -1;
    };
    long double v;
    EXPECT_EQ(read(u"1e", v), -1); // an exponent without a number reads nothing
    EXPECT_EQ(read(u"-", v), -1);
    EXPECT_EQ(read(u"0x", v), 2);                   // hexadecimal without digits still counts
    EXPECT_EQ(read(u"1e5000", v), -1);              // beyond the extended range
    EXPECT_EQ(read(u"9223372036854775808", v), -1); // left for the decimal reader
    EXPECT_EQ(read(u"1.", v), 2);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(read(u"1e+2", v), 4);
    EXPECT_EQ(v, 100);

    std::int64_t i;
    const String hex = u"$FFFFFFFFFFFFFFFF";
    const char16_t* p = hex.data();
    EXPECT_EQ(ReadInteger(p, hex.data() + hex.size(), i), 17);
    EXPECT_EQ(i, -1);
    const String plus = u"+x";
    p = plus.data();
    EXPECT_EQ(ReadInteger(p, plus.data() + plus.size(), i), 0);
}

TEST(JsonParse, LongIntegersStayExactAcrossBlanks) {
    // The writer's formatted output puts a line break after a member's value;
    // a long integer there must still read back.
    Doc d = Parsed(u"{\"big\":123456789012345678901234567890\r\n, \"x\":[ 98765432109876543210 ]}");
    EXPECT_EQ(d->ItemByName(u"big")->GetValue(), u"123456789012345678901234567890");
    EXPECT_EQ(d->ItemByName(u"x")->GetItems(0)->GetDataType(), jdtBcd);
    EXPECT_EQ(ParseCode(u"[" + String(70, u'9') + u"]"), 2); // beyond the decimal's digits
}

TEST(JsonParse, FailuresReportTheirCodes) {
    EXPECT_EQ(ParseCode(u"5"), 2);
    EXPECT_EQ(ParseCode(u"\"x\""), 2);
    EXPECT_EQ(ParseCode(u"{\"a\":x}"), 2);
    EXPECT_EQ(ParseCode(u"{\"a\":\"x\" \"b\":2}"), 5);
    EXPECT_EQ(ParseCode(u"{\"a\":1 \"b\":2}"), 2);
    EXPECT_EQ(ParseCode(u"[nullx]"), 5);
    EXPECT_EQ(ParseCode(u"{\"a\" 1}"), 7);
    EXPECT_EQ(ParseCode(u"{\"a"), 8);
    EXPECT_EQ(ParseCode(u"[1,/x]"), 4);
    EXPECT_EQ(ParseCode(u"[1,2,"), 2); // not closed
    EXPECT_EQ(ParseCode(u"[1,2"), 5);  // the last element has no delimiter
    // Nothing where a value must be, and a wrong closing bracket.
    EXPECT_EQ(ParseCode(u"{\"a\":}"), 2);
    EXPECT_EQ(ParseCode(u"[-]"), 2);
    EXPECT_EQ(ParseCode(u"[1}"), 2);
    EXPECT_EQ(ParseCode(u"[\"\\u12G4\"]"), -1); // the escape's own message
}

TEST(JsonParse, StrictModeRefusesTheLenientForms) {
    StrictJson = true;
    EXPECT_EQ(ParseCode(u"{'a':1}"), 6);
    EXPECT_EQ(ParseCode(u"[\"a\",'b']"), 1);
    EXPECT_EQ(ParseCode(u"[1,]"), 5);
    EXPECT_EQ(ParseCode(u"[1,/*c*/2]"), 2);
    EXPECT_EQ(ParseCode(u"[\"\\q\"]"), -1);
    EXPECT_EQ(ParseCode(u"[\"\\/\\u0041\"]"), 0); // standard escapes stay valid
    StrictJson = false;
}

TEST(JsonParse, EscapesAndComments) {
    Doc d = Parsed(u"[\"\\a\\b\\t\\n\\v\\f\\r\\\\\\'\\\"\\/\\u00e9\\uD83D\\uDE00\\q\"]");
    EXPECT_EQ(d->GetItems(0)->GetAsString(),
              String(u"\a\b\t\n\v\f\r\\'\"/\u00e9") + u"\U0001F600" + u"q");
    Doc c = Parsed(u"/* head */\r\n// second\r\n{\"a\":1 // after a\r\n,\"b\":2}");
    EXPECT_EQ(c->GetComment(), u" head \r\n second");
    EXPECT_EQ(c->ItemByName(u"a")->GetComment(), u" after a");
    EXPECT_EQ(ParseCode(u"[1 /* unclosed"), 5); // the comment takes the closing bracket
}

TEST(JsonParse, ErrorPositionsCountLinesColumnsAndPairs) {
    auto failAt = [](const String& text, int& row, int& col) {
        try {
            TQJson d;
            d.Parse(text);
        } catch (const EJsonError& e) {
            row = e.Row();
            col = e.Col();
            return e.Message();
        }
        ADD_FAILURE() << "no error";
        return String();
    };
    int row, col;
    String msg = failAt(u"{\r\n\"a\":1,\r\n\"b\":x1}", row, col);
    EXPECT_EQ(row, 3);
    EXPECT_EQ(col, 5);
    EXPECT_EQ(msg, u"第3行第5列:当前内容不是有效的JSON字符串。 \r\n\"b\":x1}");
    // First and last character of the text.
    failAt(u"x", row, col);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(col, 1);
    failAt(u"[1,2", row, col);
    EXPECT_EQ(col, 5);
    // A surrogate pair is one column.
    failAt(u"[\"\U0001F600\" x]", row, col);
    EXPECT_EQ(col, 6);

    // A long line is cut to a window with a caret under the error character;
    // the pair before it counts as one character there too.
    const String emoji = u"\U0001F600";
    msg =
        failAt(u"[\"" + emoji + String(1000, u'a') + u"\",x" + String(100, u' ') + u"]", row, col);
    EXPECT_EQ(col, 1006);
    const String window = msg.substr(msg.find(u"\r\n") + 2);
    EXPECT_EQ(window,
              String(22, u'a') + u"\",x" + String(25, u' ') + u"\r\n" + String(24, u'0') + u"^");
    // Near the end of a long line the window is its last 50 characters.
    msg = failAt(u"[\"" + String(1100, u'a') + emoji + u"\"x]", row, col);
    EXPECT_EQ(col, 1105);
    const String tail = msg.substr(msg.find(u"\r\n") + 2);
    EXPECT_EQ(tail, String(46, u'a') + emoji + u"\"x]\r\n" + String(48, u'0') + u"^");
}

TEST(JsonParse, ExistingTreeAndEmptyText) {
    Doc d = Parsed(u"{\"a\":1}");
    d->Parse(u"");
    EXPECT_EQ(d->GetCount(), 1); // empty text leaves the tree as it was
    d->Parse(u"{\"b\":2,\"c\":3}");
    EXPECT_EQ(d->GetCount(), 2);
    EXPECT_EQ(d->IndexOf(u"a"), -1);
    EXPECT_FALSE(d->TryParse(u""));
    EXPECT_FALSE(d->TryParse(u"[1,"));
    EXPECT_TRUE(d->TryParse(u"[1]"));

    TQJson multi;
    multi.ParseMultiBlock(u"{\"a\":1} [2,3]\r\n{}");
    ASSERT_EQ(multi.GetCount(), 3);
    EXPECT_EQ(multi.GetItems(1)->GetCount(), 2);
}

TEST(JsonParse, DeepNestingIsBoundedNotACrash) {
    const int ok = TQJsonParser::kMaxDepth;
    EXPECT_EQ(ParseCode(String(ok, u'[') + String(ok, u']')), 0);
    EXPECT_EQ(ParseCode(String(200000, u'[')), 2);
}
