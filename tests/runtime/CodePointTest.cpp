#include "RtlString.h"

#include <gtest/gtest.h>

#include <vector>

TEST(CodePoint, PairsAreOneCodePointAndUnpairedSurrogatesKeepTheirValue) {
    const String text(u"a\U0001F600\xDC00\xD83Dz\xD800", 7);
    std::vector<char32_t> read;
    for (std::size_t i = 0; i < text.size();)
        read.push_back(ReadCodePoint(text, i));
    EXPECT_EQ(read, (std::vector<char32_t>{U'a', 0x1F600, 0xDC00, 0xD83D, U'z', 0xD800}));
    String back;
    for (char32_t cp : read)
        AppendCodePoint(back, cp);
    EXPECT_EQ(back, text);
}
