// Helpers shared by the JSON library's tests.
#pragma once

#include "RtlConvert.h"
#include "qjson.h"
#include "qjson_parse.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

namespace json_test {

using Doc = std::unique_ptr<TQJson>;

inline Doc Parsed(const String& text) {
    Doc d(new TQJson());
    d->Parse(text);
    return d;
}

inline std::string U8(const String& s) {
    return StringToUtf8(s);
}

// The error code a parse fails with, found by matching the message text; 0
// when the text parses.
inline int ParseCode(const String& text) {
    TQJson d;
    try {
        d.Parse(text);
    } catch (const EJsonError& e) {
        for (int code = 1; code <= 8; ++code)
            if (e.Message().find(JsonErrorMessage(code)) != String::npos)
                return code == 3 ? 4 : code;
        return -1;
    }
    return 0;
}

// A random tree of every value type: names with quotes, backslashes,
// control characters and characters beyond the BMP, nesting up to `depth`.
class RandomTree {
public:
    explicit RandomTree(unsigned seed) : FRng(seed) {}

    String Text(int maxLen) {
        static const char16_t pool[] = {u'a',   u'Z',   u'"',  u'\\', u'/', u'\t', 0x01,
                                        0x07,   0x0B,   0x1F,  0x00,  u' ', 0x7F,  0xE9,
                                        0x4E2D, 0xFEFF, u'\'', u':',  u','};
        String s;
        const int len = Pick(maxLen + 1);
        for (int i = 0; i < len; ++i) {
            if (Pick(12) == 0) {
                AppendCodePoint(s, 0x1F600 + Pick(40)); // a surrogate pair
            } else {
                s.push_back(pool[Pick(sizeof(pool) / sizeof(pool[0]))]);
            }
        }
        return s;
    }

    // A float that is the nearest extended value of a decimal with at most 15
    // digits, so its text form reads back to the same value.
    long double Float() {
        const String text = IntToStr(Pick(1000000) + 1) + u"." + IntToStr(Pick(999999) + 1) + u"E" +
                            IntToStr(Pick(40) - 20);
        TQJson probe;
        probe.Parse(u"[" + text + u"]");
        return probe.GetItems(0)->GetAsFloat();
    }

    void Fill(TQJson* node, int depth) {
        const int kind = depth <= 0 ? Pick(8) : Pick(10);
        switch (kind) {
        case 0:
            node->SetDataType(jdtNull);
            break;
        case 1:
            node->SetAsString(Text(12));
            break;
        case 2:
            node->SetAsInt64(static_cast<std::int64_t>(FRng()) - (std::int64_t(1) << 62));
            break;
        case 3:
            node->SetAsFloat(Float());
            break;
        case 4:
            node->SetAsBoolean(Pick(2) == 1);
            break;
        case 5:
            node->SetAsBcd(StrToBcd(u"-123456789012345678901234567890" + IntToStr(Pick(1000))));
            break;
        case 6:
            node->SetAsInt64(Pick(10));
            break;
        case 7:
            node->SetAsString(String());
            break;
        case 8:
        case 9: {
            node->SetDataType(kind == 8 ? jdtArray : jdtObject);
            const int n = Pick(5);
            for (int i = 0; i < n; ++i)
                Fill(kind == 8 ? node->Add() : node->Add(Text(6)), depth - 1);
            break;
        }
        }
    }

    int Pick(int n) { return static_cast<int>(FRng() % static_cast<unsigned>(n)); }

private:
    std::mt19937 FRng;
};

} // namespace json_test
