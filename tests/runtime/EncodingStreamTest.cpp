#include "RtlEncoding.h"
#include "RtlException.h"
#include "RtlStream.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(Encoding, PreambleDetectionPicksTheMarkOrTheDefault) {
    struct Case {
        TBytes bytes;
        TEncoding* expected;
        std::size_t length;
    } cases[] = {
        {{0xEF, 0xBB, 0xBF, 'a'}, TEncoding::UTF8(), 3},
        {{0xFF, 0xFE, 'a', 0}, TEncoding::Unicode(), 2},
        {{0xFE, 0xFF, 0, 'a'}, TEncoding::BigEndianUnicode(), 2},
        {{0xEF, 0xBB}, TEncoding::ANSI(), 0}, // a cut-off mark is text
        {{}, TEncoding::ANSI(), 0},
    };
    for (const Case& c : cases) {
        TEncoding* found = nullptr;
        EXPECT_EQ(TEncoding::GetBufferEncoding(c.bytes.data(), c.bytes.size(), found), c.length);
        EXPECT_EQ(found, c.expected);
    }
    // With an encoding given, only its own mark counts.
    TEncoding* given = TEncoding::Unicode();
    const TBytes utf8Mark{0xEF, 0xBB, 0xBF};
    EXPECT_EQ(TEncoding::GetBufferEncoding(utf8Mark.data(), utf8Mark.size(), given), 0u);
    EXPECT_EQ(given, TEncoding::Unicode());
}

TEST(Encoding, ClonesBehaveLikeTheOriginal) {
    for (TEncoding* e : {TEncoding::UTF8(), TEncoding::ANSI(), TEncoding::Unicode(),
                         TEncoding::BigEndianUnicode()}) {
        const auto copy = e->Clone();
        EXPECT_FALSE(TEncoding::IsStandardEncoding(copy.get()));
        EXPECT_EQ(copy->GetPreamble(), e->GetPreamble());
        EXPECT_EQ(copy->GetBytes(u"\u00E9\U0001F600"), e->GetBytes(u"\u00E9\U0001F600"));
        EXPECT_EQ(copy->CodePage(), e->CodePage());
    }
}

TEST(MemoryStream, WritingAtAPositionNearTheLimitFailsCleanly) {
    TMemoryStream stream;
    stream.Seek(INT64_MAX - 1, TSeekOrigin::soBeginning);
    const char data[4] = {1, 2, 3, 4};
    EXPECT_THROW(stream.WriteBuffer(data, 4), EWriteError);
    EXPECT_EQ(stream.GetSize(), 0);
}
