#include "clStreams.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::unique_ptr<TStream> Part(const std::string& text) {
    return std::make_unique<TBytesStream>(TBytes(text.begin(), text.end()));
}

std::string ReadInSteps(TStream& stream, std::int64_t step) {
    std::string out;
    char buffer[64];
    for (;;) {
        const std::int64_t n = stream.Read(buffer, step);
        if (n <= 0) break;
        out.append(buffer, static_cast<std::size_t>(n));
    }
    return out;
}

} // namespace

TEST(MultiStream, ReadsPartsInOrderWhateverTheReadSize) {
    for (std::int64_t step = 1; step <= 10; ++step) {
        TclMultiStream multi;
        multi.AddStream(Part("abc"));
        multi.AddStream(Part(""));
        multi.AddStream(Part("defgh"));
        EXPECT_EQ(multi.GetSize(), 8);
        EXPECT_EQ(ReadInSteps(multi, step), "abcdefgh") << "step " << step;
        EXPECT_EQ(multi.GetPosition(), 8);
    }
}

TEST(MultiStream, SeeksAreClampedAndReadsResumeAnywhere) {
    TclMultiStream multi;
    multi.AddStream(Part("abc"));
    multi.AddStream(Part("defgh"));
    EXPECT_EQ(multi.Seek(100, TSeekOrigin::soBeginning), 8);
    EXPECT_EQ(multi.Seek(-100, TSeekOrigin::soCurrent), 0);
    EXPECT_EQ(multi.Seek(-4, TSeekOrigin::soEnd), 4);
    EXPECT_EQ(ReadInSteps(multi, 3), "efgh");
    for (std::int64_t from = 0; from <= 8; ++from) {
        multi.SetPosition(from);
        EXPECT_EQ(ReadInSteps(multi, 64), std::string("abcdefgh").substr(from));
    }
    EXPECT_EQ(multi.Write("x", 1), 0);
    multi.SetSize(0);
    EXPECT_EQ(multi.GetSize(), 8);
}

TEST(NonPersistentStream, CountsWithoutKeepingAndReadsZeros) {
    TclNonPersistentStream stream;
    EXPECT_EQ(stream.Write("hello", 5), 5);
    EXPECT_EQ(stream.GetSize(), 5);
    EXPECT_EQ(stream.GetPosition(), 5);
    EXPECT_EQ(stream.Write("x", -1), 0);

    stream.SetPosition(1);
    char buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), '?');
    EXPECT_EQ(stream.Read(buffer, 8), 4);
    EXPECT_EQ(std::string(buffer, 4), std::string(4, '\0'));
    EXPECT_EQ(buffer[4], '?');
    EXPECT_EQ(stream.Read(buffer, 8), 0);

    // Seeking is unchecked; reads from outside the data deliver nothing.
    EXPECT_EQ(stream.Seek(-10, TSeekOrigin::soEnd), -5);
    EXPECT_EQ(stream.Read(buffer, 8), 0);
    EXPECT_EQ(stream.Write("x", 1), 0);

    stream.SetPosition(5);
    stream.SetSize(2);
    EXPECT_EQ(stream.GetPosition(), 2);
    EXPECT_EQ(stream.GetSize(), 2);
}
