// The gzip stream: header fields, trailers, several members, and output that
// reaches the destination as soon as it is decoded, whatever the write sizes.
#include "InflateOracle.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace inflate_oracle;
using testing_support::ReadFileBytes;
using testing_support::RunCommand;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

Bytes ToBytes(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

void PutLE32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// One member with a hand-built header.
Bytes Member(const Bytes& data, std::uint8_t flags, const Bytes& extra = {},
             const std::string& name = {}, const std::string& comment = {}) {
    Bytes m{0x1F, 0x8B, 8, flags, 1, 2, 3, 4, 0, 3};
    if (flags & 0x04) {
        m.push_back(static_cast<std::uint8_t>(extra.size()));
        m.push_back(static_cast<std::uint8_t>(extra.size() >> 8));
        m.insert(m.end(), extra.begin(), extra.end());
    }
    if (flags & 0x08) m.insert(m.end(), name.c_str(), name.c_str() + name.size() + 1);
    if (flags & 0x10) m.insert(m.end(), comment.c_str(), comment.c_str() + comment.size() + 1);
    if (flags & 0x02) {
        const std::uint32_t crc = TclCrc32::Compute(0, m.data(), m.size());
        m.push_back(static_cast<std::uint8_t>(crc));
        m.push_back(static_cast<std::uint8_t>(crc >> 8));
    }
    const Bytes body = Deflate(data, DeflateOptions{});
    m.insert(m.end(), body.begin(), body.end());
    PutLE32(m, TclCrc32::Compute(0, data.data(), data.size()));
    PutLE32(m, static_cast<std::uint32_t>(data.size()));
    return m;
}

std::int32_t ErrorOfWriting(const Bytes& gz, TBytesStream& dest) {
    try {
        TclGZipInflateStream s(dest);
        s.Write(gz.data(), static_cast<std::int64_t>(gz.size()));
    } catch (const EclZLibError& e) {
        return e.ErrorCode();
    }
    return 0;
}

} // namespace

TEST(GZipStream, HeaderFieldsSplitAnywhere) {
    const Bytes data = JsonLikeText(5000, 4);
    const Bytes gz =
        Member(data, 0x02 | 0x04 | 0x08 | 0x10, Bytes(300, 'x'), "weather.json", "a comment");
    // Every split point of the header region, then one byte at a time.
    for (std::size_t cut = 0; cut < 360; ++cut) {
        TBytesStream dest;
        TclGZipInflateStream s(dest);
        s.Write(gz.data(), static_cast<std::int64_t>(cut));
        s.Write(gz.data() + cut, static_cast<std::int64_t>(gz.size() - cut));
        ASSERT_EQ(dest.DataBytes(), data) << "cut at " << cut;
    }
    EXPECT_EQ(GunzipInPieces(gz, 1, 1), data);
    // Each field on its own.
    for (std::uint8_t flags : {0x02, 0x04, 0x08, 0x10, 0x01})
        EXPECT_EQ(GunzipInPieces(Member(data, flags, {1, 2}, "n", "c"), flags, 3), data);
}

TEST(GZipStream, SeveralMembersAreDecodedWhole) {
    const Bytes a = JsonLikeText(70000, 1), b = RunsAndBytes(3000, 2), c = ToBytes("last");
    Bytes gz = Member(a, 0x08, {}, "a");
    const Bytes mb = Member(b, 0), mc = Member(c, 0x10, {}, {}, "x");
    gz.insert(gz.end(), mb.begin(), mb.end());
    gz.insert(gz.end(), mc.begin(), mc.end());
    Bytes all = a;
    all.insert(all.end(), b.begin(), b.end());
    all.insert(all.end(), c.begin(), c.end());
    for (std::size_t piece : {1u, 5u, 4096u, 1u << 20}) {
        TBytesStream dest;
        TclGZipInflateStream s(dest);
        Splitter split(7, piece);
        for (std::size_t pos = 0; pos < gz.size();) {
            const std::size_t n = std::min(split.Next(), gz.size() - pos);
            s.Write(gz.data() + pos, static_cast<std::int64_t>(n));
            pos += n;
        }
        EXPECT_EQ(dest.DataBytes(), all) << piece;
        EXPECT_EQ(s.MembersCompleted(), 3);
    }
}

TEST(GZipStream, MembersMadeByTheUsualTools) {
    TempDir dir;
    const Bytes a = JsonLikeText(100000, 5), b = Noise(5000, 6);
    WriteFileBytes(dir.File("a"), std::string(a.begin(), a.end()));
    WriteFileBytes(dir.File("b"), std::string(b.begin(), b.end()));
    Bytes both = a;
    both.insert(both.end(), b.begin(), b.end());
    const std::string d = "'" + dir.Path() + "'";
    const std::string commands[] = {
        "gzip -c " + d + "/a > " + d + "/out && gzip -9 -c " + d + "/b >> " + d + "/out",
        "pigz -c " + d + "/a > " + d + "/out && pigz -1 -c " + d + "/b >> " + d + "/out",
        // pigz writes a multi-block stream with the -i (independent) option too
        "cat " + d + "/a " + d + "/b | pigz -i -b 32 -c > " + d +
            "/out.one && "
            "cp " +
            d + "/out.one " + d + "/out",
        "python3 -c \"import gzip,sys; d=sys.argv[1]; o=open(d+'/out','wb'); "
        "o.write(gzip.compress(open(d+'/a','rb').read())); "
        "o.write(gzip.compress(open(d+'/b','rb').read(), 1)); o.close()\" " +
            d,
    };
    for (const std::string& cmd : commands) {
        int status = -1;
        RunCommand(cmd, &status);
        ASSERT_EQ(status, 0) << cmd;
        const std::string gz = ReadFileBytes(dir.File("out"));
        EXPECT_EQ(GunzipInPieces(Bytes(gz.begin(), gz.end()), 3, 2000), both) << cmd;
    }
}

TEST(GZipStream, WhatFollowsTheLastMemberIsIgnored) {
    const Bytes data = ToBytes("payload");
    for (const Bytes& tail : {Bytes(512, 0), ToBytes("junk"), Bytes{0x1F}, Bytes{0x1F, 0x00, 1}}) {
        Bytes gz = Member(data, 0);
        gz.insert(gz.end(), tail.begin(), tail.end());
        EXPECT_EQ(GunzipInPieces(gz, 1, 3), data);
    }
}

TEST(GZipStream, TrailerMismatchRaisesAfterTheDataIsOut) {
    const Bytes data = JsonLikeText(50000, 8);
    Bytes gz = Member(data, 0);
    Bytes badCrc = gz, badSize = gz;
    badCrc[gz.size() - 8] ^= 1;
    badSize[gz.size() - 1] ^= 1;
    TBytesStream d1, d2;
    EXPECT_EQ(ErrorOfWriting(badCrc, d1), zeInvalidCrc);
    EXPECT_EQ(d1.DataBytes(), data);
    EXPECT_EQ(ErrorOfWriting(badSize, d2), zeInvalidDataSize);
    EXPECT_EQ(d2.DataBytes(), data);
}

TEST(GZipStream, EmptyMemberAndTruncatedBody) {
    // Empty: a final stored block of length 0, CRC 0, size 0.
    const Bytes empty{0x1F, 0x8B, 8,    0, 0, 0, 0, 0, 0, 3, 0x01, 0x00,
                      0x00, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0};
    TBytesStream dest;
    EXPECT_EQ(ErrorOfWriting(empty, dest), 0);
    EXPECT_EQ(dest.GetSize(), 0);
    // A body that ends early raises nothing and keeps what was decoded.
    const Bytes data = JsonLikeText(40000, 3);
    const Bytes gz = Member(data, 0);
    TBytesStream part;
    EXPECT_EQ(ErrorOfWriting(Bytes(gz.begin(), gz.end() - 12), part), 0);
    const Bytes got = part.DataBytes();
    EXPECT_GT(got.size(), 30000u);
    EXPECT_TRUE(std::equal(got.begin(), got.end(), data.begin()));
}

TEST(GZipStream, EveryWritePassesOnAllItsOutput) {
    // Compressed with a sync flush after the first part: once the bytes up
    // to the flush are written, the whole first part must be out, not some of
    // it waiting in the decoder's window.
    const Bytes first = JsonLikeText(30000, 1), second = JsonLikeText(30000, 2);
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY);
    Bytes gz(100000);
    z.next_out = gz.data();
    z.avail_out = static_cast<uInt>(gz.size());
    z.next_in = const_cast<std::uint8_t*>(first.data());
    z.avail_in = static_cast<uInt>(first.size());
    deflate(&z, Z_SYNC_FLUSH);
    const std::size_t flushPoint = z.total_out;
    z.next_in = const_cast<std::uint8_t*>(second.data());
    z.avail_in = static_cast<uInt>(second.size());
    deflate(&z, Z_FINISH);
    gz.resize(z.total_out);
    deflateEnd(&z);

    for (std::size_t piece : {1u, 100u, 100000u}) {
        TBytesStream dest;
        TclGZipInflateStream s(dest);
        for (std::size_t pos = 0; pos < flushPoint; pos += piece)
            s.Write(gz.data() + pos, static_cast<std::int64_t>(std::min(piece, flushPoint - pos)));
        EXPECT_EQ(dest.DataBytes(), first) << piece;
    }
}

TEST(GZipStream, OneByteWritesOfAnEndlessNameCostLinearTime) {
    // Re-parsing collected header bytes on every write would make this
    // quadratic (and keep every byte of the name in memory): four million
    // one-byte writes would then run far past the test's time limit.
    TBytesStream dest;
    TclGZipInflateStream s(dest);
    const Bytes head{0x1F, 0x8B, 8, 0x08, 0, 0, 0, 0, 0, 3};
    s.Write(head.data(), static_cast<std::int64_t>(head.size()));
    const std::uint8_t c = 'n';
    for (int i = 0; i < 4000000; ++i)
        s.Write(&c, 1);
    // The name ends; the member decodes normally.
    const Bytes m = Member(ToBytes("after a long name"), 0);
    const std::uint8_t zero = 0;
    s.Write(&zero, 1);
    s.Write(m.data() + 10, static_cast<std::int64_t>(m.size() - 10));
    EXPECT_EQ(dest.DataBytes(), ToBytes("after a long name"));
}

TEST(GZipStream, PositionIsTheCountWrittenAndCannotMove) {
    TBytesStream dest;
    TclGZipInflateStream s(dest);
    const Bytes gz = Member(ToBytes("abc"), 0);
    s.Write(gz.data(), 7);
    EXPECT_EQ(s.GetPosition(), 7);
    EXPECT_EQ(s.GetSize(), 7);
    EXPECT_EQ(s.Seek(7, TSeekOrigin::soBeginning), 7);
    EXPECT_EQ(s.Seek(0, TSeekOrigin::soEnd), 7);
    try {
        s.Seek(0, TSeekOrigin::soBeginning);
        FAIL();
    } catch (const EclZLibError& e) {
        EXPECT_EQ(e.ErrorCode(), zeInvalidStreamOperation);
        EXPECT_EQ(e.Message(), u"Invalid Stream operation");
    }
    std::uint8_t buf[4];
    EXPECT_EQ(s.Read(buf, 4), 0);
}
