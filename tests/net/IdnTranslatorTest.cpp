#include "clIdnTranslator.h"

#include <punycode.h>

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// The sample strings of RFC 3492 section 7.1 (as carried by Python's codec
// tests), with their Punycode.
struct TPunycodeSample {
    const char16_t* label;
    const char* punycode;
};
const TPunycodeSample kRfcSamples[] = {
    {u"\u0644\u064A\u0647\u0645\u0627\u0628\u062A\u0643\u0644\u0645\u0648\u0634\u0639\u0631\u0628"
     u"\u064A\u061F",
     "egbpdaj6bu4bxfgehfvwxn"},
    {u"\u4ED6\u4EEC\u4E3A\u4EC0\u4E48\u4E0D\u8BF4\u4E2D\u6587", "ihqwcrb4cv8a8dqg056pqjye"},
    {u"\u4ED6\u5011\u7232\u4EC0\u9EBD\u4E0D\u8AAA\u4E2D\u6587", "ihqwctvzc91f659drss3x8bo0yb"},
    {u"\u0050\u0072\u006F\u010D\u0070\u0072\u006F\u0073\u0074\u011B\u006E\u0065\u006D\u006C\u0075"
     u"\u0076\u00ED\u010D\u0065\u0073\u006B\u0079",
     "Proprostnemluvesky-uyb24dma41a"},
    {u"\u05DC\u05DE\u05D4\u05D4\u05DD\u05E4\u05E9\u05D5\u05D8\u05DC\u05D0\u05DE\u05D3\u05D1\u05E8"
     u"\u05D9\u05DD\u05E2\u05D1\u05E8\u05D9\u05EA",
     "4dbcagdahymbxekheh6e0a7fei0b"},
    {u"\u092F\u0939\u0932\u094B\u0917\u0939\u093F\u0928\u094D\u0926\u0940\u0915\u094D\u092F\u094B"
     u"\u0902\u0928\u0939\u0940\u0902\u092C\u094B\u0932\u0938\u0915\u0924\u0947\u0939\u0948\u0902",
     "i1baa7eci9glrd9b2ae1bj0hfcgg6iyaf8o0a1dig0cd"},
    {u"\u306A\u305C\u307F\u3093\u306A\u65E5\u672C\u8A9E\u3092\u8A71\u3057\u3066\u304F\u308C\u306A"
     u"\u3044\u306E\u304B",
     "n8jok5ay5dzabd5bym9f0cm5685rrjetr6pdxa"},
    {u"\uC138\uACC4\uC758\uBAA8\uB4E0\uC0AC\uB78C\uB4E4\uC774\uD55C\uAD6D\uC5B4\uB97C\uC774\uD574"
     u"\uD55C\uB2E4\uBA74\uC5BC\uB9C8\uB098\uC88B\uC744\uAE4C",
     "989aomsvi5e83db1d2a355cv1e0vak1dwrv93d5xbh15a0dt30a5jpsd879ccm6fea98c"},
    {u"\u043F\u043E\u0447\u0435\u043C\u0443\u0436\u0435\u043E\u043D\u0438\u043D\u0435\u0433\u043E"
     u"\u0432\u043E\u0440\u044F\u0442\u043F\u043E\u0440\u0443\u0441\u0441\u043A\u0438",
     "b1abfaaepdrnnbgefbaDotcwatmq2g4l"},
    {u"\u0050\u006F\u0072\u0071\u0075\u00E9\u006E\u006F\u0070\u0075\u0065\u0064\u0065\u006E\u0073"
     u"\u0069\u006D\u0070\u006C\u0065\u006D\u0065\u006E\u0074\u0065\u0068\u0061\u0062\u006C\u0061"
     u"\u0072\u0065\u006E\u0045\u0073\u0070\u0061\u00F1\u006F\u006C",
     "PorqunopuedensimplementehablarenEspaol-fmd56a"},
    {u"\u0054\u1EA1\u0069\u0073\u0061\u006F\u0068\u1ECD\u006B\u0068\u00F4\u006E\u0067\u0074\u0068"
     u"\u1EC3\u0063\u0068\u1EC9\u006E\u00F3\u0069\u0074\u0069\u1EBF\u006E\u0067\u0056\u0069\u1EC7"
     u"\u0074",
     "TisaohkhngthchnitingVit-kjcr8268qyxafd2f1b9g"},
    {u"\u0033\u5E74\u0042\u7D44\u91D1\u516B\u5148\u751F", "3B-ww4c5e180e575a65lsy2b"},
    {u"\u5B89\u5BA4\u5948\u7F8E\u6075\u002D\u0077\u0069\u0074\u0068\u002D\u0053\u0055\u0050\u0045"
     u"\u0052\u002D\u004D\u004F\u004E\u004B\u0045\u0059\u0053",
     "-with-SUPER-MONKEYS-pc58ag80a8qai00g7n9n"},
    {u"\u0048\u0065\u006C\u006C\u006F\u002D\u0041\u006E\u006F\u0074\u0068\u0065\u0072\u002D\u0057"
     u"\u0061\u0079\u002D\u305D\u308C\u305E\u308C\u306E\u5834\u6240",
     "Hello-Another-Way--fc4qua05auwb3674vfr0b"},
    {u"\u3072\u3068\u3064\u5C4B\u6839\u306E\u4E0B\u0032", "2-u9tlzr9756bt3uc0v"},
    {u"\u004D\u0061\u006A\u0069\u3067\u004B\u006F\u0069\u3059\u308B\u0035\u79D2\u524D",
     "MajiKoi5-783gue6qz075azm5e"},
    {u"\u30D1\u30D5\u30A3\u30FC\u0064\u0065\u30EB\u30F3\u30D0", "de-jg4avhby1noc0d"},
    {u"\u305D\u306E\u30B9\u30D4\u30FC\u30C9\u3067", "d9juau41awczczp"},
};

// libidn's encoder over the same code points; empty when it refuses.
bool OracleEncode(const std::vector<char32_t>& cps, std::string& out) {
    std::vector<punycode_uint> input(cps.begin(), cps.end());
    std::vector<char> buffer(cps.size() * 8 + 64);
    size_t length = buffer.size();
    const int rc = punycode_encode(input.size(), input.data(), nullptr, &length, buffer.data());
    if (rc != PUNYCODE_SUCCESS) return false;
    out.assign(buffer.data(), length);
    return true;
}

String ToUtf16(const std::vector<char32_t>& cps) {
    String s;
    for (char32_t cp : cps)
        AppendCodePoint(s, cp);
    return s;
}

std::string Ascii(const String& s) {
    return StringToUtf8(s);
}

} // namespace

TEST(IdnTranslator, RfcSamplesEncodeToTheirPunycode) {
    for (const auto& sample : kRfcSamples) {
        const std::string expected = "xn--" + Ascii(LowerCase(Utf8ToString(sample.punycode)));
        EXPECT_EQ(Ascii(LowerCase(TclIdnTranslator::GetAsciiText(sample.label))), expected);
    }
    // Basic characters keep their case.
    EXPECT_EQ(TclIdnTranslator::GetAsciiText(kRfcSamples[3].label),
              u"xn--Proprostnemluvesky-uyb24dma41a");
}

TEST(IdnTranslator, HostNamesTranslateLabelByLabel) {
    EXPECT_EQ(TclIdnTranslator::GetAsciiText(u"bücher"), u"xn--bcher-kva");
    EXPECT_EQ(TclIdnTranslator::GetAscii(u"www.bücher.example"), u"www.xn--bcher-kva.example");
    EXPECT_EQ(TclIdnTranslator::GetAscii(u"Example.COM"), u"Example.COM");
    EXPECT_EQ(TclIdnTranslator::GetAscii(u"中文.."), u"xn--fiq228c..");
    EXPECT_EQ(TclIdnTranslator::GetAsciiText(u"-> $1.00 <-"), u"-> $1.00 <-");
    EXPECT_TRUE(TclIdnTranslator::IsBasic(u""));
    EXPECT_TRUE(TclIdnTranslator::IsBasic(u"a\x7F"));
    EXPECT_FALSE(TclIdnTranslator::IsBasic(u"a\u0080"));
}

TEST(IdnTranslator, SupplementaryCharactersAreOneCodePoint) {
    // U+1F600 is one character, not two surrogate halves.
    std::string oracle;
    ASSERT_TRUE(OracleEncode({U'a', 0x1F600}, oracle));
    EXPECT_EQ(Ascii(TclIdnTranslator::GetAsciiText(u"a\U0001F600")), "xn--" + oracle);
    EXPECT_EQ(TclIdnTranslator::GetAsciiText(u"\U0001F600"), u"xn--e28h");
    // An unpaired surrogate is encoded as its own value (libidn refuses
    // those; the expected texts come from Python's codec).
    EXPECT_EQ(TclIdnTranslator::GetAsciiText(String(u"x\xD83Dy", 3)), u"xn--xy-7i9k");
    EXPECT_EQ(TclIdnTranslator::GetAsciiText(String(u"\xD83D\U0001F600a", 4)), u"xn--a-7f4gp924e");
}

TEST(IdnTranslator, RandomLabelsMatchTheReferenceEncoder) {
    std::mt19937 random(20240501);
    const char32_t ranges[][2] = {{0x20, 0x7E},       {0xA0, 0x2FF},    {0x400, 0x4FF},
                                  {0x4E00, 0x9FFF},   {0xE000, 0xFFFF}, {0x10000, 0x1FFFF},
                                  {0xF0000, 0x10FFFF}};
    for (int round = 0; round < 2000; ++round) {
        std::vector<char32_t> cps(1 + random() % 40);
        for (char32_t& cp : cps) {
            const auto& range = ranges[random() % std::size(ranges)];
            cp = range[0] + random() % (range[1] - range[0] + 1);
        }
        const String label = ToUtf16(cps);
        if (TclIdnTranslator::IsBasic(label)) continue;
        std::string oracle;
        ASSERT_TRUE(OracleEncode(cps, oracle));
        ASSERT_EQ(Ascii(TclIdnTranslator::GetAsciiText(label)), "xn--" + oracle)
            << "round " << round;
    }
}

TEST(IdnTranslator, DeltasPastTheSigned32BitLimitRaise) {
    // The first delta is (0x10FFFF - 128) * (basic + 1); it passes 2^31 - 1
    // from 1927 basic characters on, and the reference's unsigned limit from
    // 3855 on.
    const auto label = [](std::size_t basic) {
        std::vector<char32_t> cps(basic, U'a');
        cps.push_back(0x10FFFF);
        return cps;
    };
    std::string oracle;
    ASSERT_TRUE(OracleEncode(label(1926), oracle));
    EXPECT_EQ(Ascii(TclIdnTranslator::GetAsciiText(ToUtf16(label(1926)))), "xn--" + oracle);

    ASSERT_TRUE(OracleEncode(label(1927), oracle));
    try {
        TclIdnTranslator::GetAsciiText(ToUtf16(label(1927)));
        FAIL() << "no error";
    } catch (const EclIdnError& e) {
        EXPECT_EQ(e.Message(), u"Input value needs wider integers to translate");
    }
    EXPECT_FALSE(OracleEncode(label(3855), oracle));
    EXPECT_THROW(TclIdnTranslator::GetAscii(u"x." + ToUtf16(label(3855))), EclIdnError);
}
