#include "clPercentEncoder.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <vector>

namespace {

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
    }
    return out;
}

std::string Unhex(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

// Runs Node's URLSearchParams over every input: "encode" serialises each as a
// form value, "decode" parses each as one. Inputs and results travel as hex
// of their UTF-8 so that any character survives the pipe.
std::vector<String> NodeFormCodec(const std::string& mode, const std::vector<String>& inputs) {
    testing_support::TempDir dir;
    std::string lines;
    // Every line starts with "x" so that empty texts keep their line.
    for (const String& input : inputs)
        lines += "x" + Hex(StringToUtf8(input)) + "\n";
    testing_support::WriteFileBytes(dir.File("in.txt"), lines);
    const std::string script =
        "const fs=require('fs');"
        "const mode=process.argv[2];"
        "const out=fs.readFileSync(process.argv[3],'utf8').split('\\n').filter(l=>l.length)"
        ".map(l=>{const s=Buffer.from(l.slice(1),'hex').toString('utf8');"
        "const r=mode==='encode'?new URLSearchParams([['',s]]).toString().slice(1)"
        ":new URLSearchParams('='+s).get('');"
        "return 'x'+Buffer.from(r,'utf8').toString('hex');});"
        "process.stdout.write(out.join('\\n')+'\\n');";
    testing_support::WriteFileBytes(dir.File("codec.js"), script);
    int status = -1;
    const std::string output = testing_support::RunCommand(
        "node " + dir.File("codec.js") + " " + mode + " " + dir.File("in.txt"), &status);
    EXPECT_EQ(status, 0) << "node failed";
    std::vector<String> results;
    std::istringstream stream(output);
    for (std::string line; std::getline(stream, line);)
        results.push_back(Utf8ToString(Unhex(line.substr(1))));
    return results;
}

// Random text over ASCII (all punctuation and controls), Latin, CJK and
// supplementary characters; no unpaired surrogates, which UTF-8 cannot carry.
String RandomText(std::mt19937& random) {
    const char32_t ranges[][2] = {{0x01, 0x7F},  {0x20, 0x7E},     {0x20, 0x7E},
                                  {0xA0, 0x17F}, {0x4E00, 0x4FFF}, {0x1F300, 0x1F6FF}};
    String text;
    const int length = static_cast<int>(random() % 24);
    for (int i = 0; i < length; ++i) {
        const auto& range = ranges[random() % std::size(ranges)];
        AppendCodePoint(text, range[0] + random() % (range[1] - range[0] + 1));
    }
    return text;
}

} // namespace

TEST(FormFieldEncoder, EscapesPunctuationAndWritesSpaceAsPlus) {
    EXPECT_EQ(TclFormFieldEncoder::Encode(u"a b&c=d+e", u"utf-8"), u"a+b%26c%3Dd%2Be");
    EXPECT_EQ(TclFormFieldEncoder::Encode(u"*-._~%41", u"utf-8"), u"*-._%7E%2541");
    EXPECT_EQ(TclFormFieldEncoder::Decode(u"a+b%2Bc", u"utf-8"), u"a b+c");
    EXPECT_EQ(TclFormFieldEncoder::Encode(u"\u041C\u0438\u0440 1", u"windows-1251"),
              u"%CC%E8%F0+1");
    EXPECT_EQ(TclFormFieldEncoder::Decode(u"%CC%E8%F0+1", u"windows-1251"),
              u"\u041C\u0438\u0440 1");
}

TEST(FormFieldEncoder, Utf8EncodingMatchesUrlSearchParams) {
    std::mt19937 random(7);
    std::vector<String> inputs = {u"", u" ", u"!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~",
                                  String(u"\x01\x1F\x7F", 3), u"\u00E9\u4E2D\U0001F600"};
    for (int i = 0; i < 300; ++i)
        inputs.push_back(RandomText(random));
    const std::vector<String> expected = NodeFormCodec("encode", inputs);
    ASSERT_EQ(expected.size(), inputs.size());
    for (std::size_t i = 0; i < inputs.size(); ++i)
        EXPECT_EQ(StringToUtf8(TclFormFieldEncoder::Encode(inputs[i], u"utf-8")),
                  StringToUtf8(expected[i]))
            << "input " << StringToUtf8(inputs[i]);
}

TEST(FormFieldEncoder, Utf8DecodingMatchesUrlSearchParams) {
    std::mt19937 random(11);
    // Escapes in either case, "+", raw characters outside ASCII and escapes
    // that are incomplete at the end or broken by a non-digit.
    std::vector<String> inputs = {u"a+b%20c", u"%e4%B8%ad", u"caf\u00E9+%C3%A9",
                                  u"100%",    u"x%4",       u"%zz%41",
                                  u"%4z",     u"%G0",       u"\U0001F600%F0%9F%98%80"};
    for (int i = 0; i < 200; ++i)
        inputs.push_back(TclFormFieldEncoder::Encode(RandomText(random), u"utf-8"));
    const std::vector<String> expected = NodeFormCodec("decode", inputs);
    ASSERT_EQ(expected.size(), inputs.size());
    for (std::size_t i = 0; i < inputs.size(); ++i)
        EXPECT_EQ(StringToUtf8(TclFormFieldEncoder::Decode(inputs[i], u"utf-8")),
                  StringToUtf8(expected[i]))
            << "input " << StringToUtf8(inputs[i]);
}
