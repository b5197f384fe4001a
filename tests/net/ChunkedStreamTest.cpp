#include "clStreams.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TDecoded {
    std::string Body;
    // Bytes consumed when the decoder reported completion (npos: never).
    std::size_t CompletedAt = std::string::npos;
};

// Writes `wire` in pieces that end at the given cut positions and notes the
// first byte count after which the decoder reports completion.
TDecoded Decode(const std::string& wire, const std::vector<std::size_t>& cuts) {
    TBytesStream body;
    TclChunkedStream chunked(body);
    TDecoded result;
    std::size_t from = 0;
    std::vector<std::size_t> ends = cuts;
    ends.push_back(wire.size());
    for (std::size_t to : ends) {
        if (to < from) continue;
        EXPECT_EQ(chunked.Write(wire.data() + from, static_cast<std::int64_t>(to - from)),
                  static_cast<std::int64_t>(to - from));
        from = to;
    }
    const TBytes bytes = body.DataBytes();
    result.Body.assign(bytes.begin(), bytes.end());
    // Completion position: replay byte by byte (the framing does not depend
    // on how the input was split, so this is the same for every split).
    TBytesStream sink;
    TclChunkedStream single(sink);
    for (std::size_t i = 0; i < wire.size() && !single.IsCompleted(); ++i) {
        single.Write(wire.data() + i, 1);
        if (single.IsCompleted()) result.CompletedAt = i + 1;
    }
    return result;
}

TDecoded DecodeWhole(const std::string& wire) {
    return Decode(wire, {});
}

// Well-formed streams: extensions, upper- and lower-case digits, leading
// zeros, trailers, a bare LF closing the trailer, and bytes of the next
// response behind the body.
const std::vector<std::string>& WellFormed() {
    static const std::vector<std::string> streams = {
        "4\r\nWiki\r\n5\r\npedia\r\n0\r\n\r\n",
        "1a;name=value\r\nabcdefghijklmnopqrstuvwxyz\r\n0\r\n\r\n",
        "A\r\n0123456789\r\na\r\n\r\n\r\n\r\n\r\n\r\n\r\n0;last\r\n\r\n",
        "0004\r\n\r\n\n\r\r\n0000\r\nExpires: never\r\nX-Sum: 42\r\n\r\nHTTP/1.1 200 OK\r\n",
        "3\r\nabc\r\n0\r\nTrailer-Only: yes\r\n\n",
        "0\r\n\r\nleftover",
    };
    return streams;
}

} // namespace

TEST(ChunkedStream, SameBytesUnderEverySplit) {
    for (const std::string& wire : WellFormed()) {
        const TDecoded whole = DecodeWhole(wire);
        ASSERT_NE(whole.CompletedAt, std::string::npos) << wire;
        // Every split into two and three pieces, and byte by byte.
        for (std::size_t a = 0; a <= wire.size(); ++a) {
            for (std::size_t b = a; b <= wire.size(); ++b) {
                const TDecoded split = Decode(wire, {a, b});
                ASSERT_EQ(split.Body, whole.Body) << "cuts " << a << "," << b << " of " << wire;
            }
        }
        std::vector<std::size_t> everyByte;
        for (std::size_t i = 1; i < wire.size(); ++i)
            everyByte.push_back(i);
        EXPECT_EQ(Decode(wire, everyByte).Body, whole.Body);
    }
    EXPECT_EQ(DecodeWhole(WellFormed()[0]).Body, "Wikipedia");
    EXPECT_EQ(DecodeWhole(WellFormed()[1]).Body.size(), 26u);
}

// Python's client decodes the same streams; both must produce the same body
// and stop reading at the same byte, so a kept-alive connection stays in step.
TEST(ChunkedStream, MatchesPythonHttpClient) {
    testing_support::TempDir dir;
    const std::string script = dir.File("decode.py");
    testing_support::WriteFileBytes(script, R"(import http.client, io, sys
class Keep(io.BytesIO):
    def close(self): pass
class Sock:
    def __init__(self, data): self.fp = Keep(data)
    def makefile(self, *a, **k): return self.fp
head = b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
for name in sys.argv[1:]:
    sock = Sock(head + open(name, "rb").read())
    r = http.client.HTTPResponse(sock)
    r.begin()
    print(r.read().hex(), sock.fp.tell() - len(head))
)");
    std::string command = "python3 " + script;
    std::string expected;
    for (std::size_t i = 0; i < WellFormed().size(); ++i) {
        const std::string& wire = WellFormed()[i];
        const std::string input = dir.File("wire" + std::to_string(i));
        testing_support::WriteFileBytes(input, wire);
        command += " " + input;
        const TDecoded ours = DecodeWhole(wire);
        for (unsigned char c : ours.Body) {
            static const char* digits = "0123456789abcdef";
            expected += digits[c >> 4];
            expected += digits[c & 15];
        }
        expected += " " + std::to_string(ours.CompletedAt) + "\n";
    }
    int status = -1;
    const std::string out = testing_support::RunCommand(command, &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_EQ(out, expected);
}

// Completion comes right after the empty line that closes the trailer, never
// before it, so the next response on the connection is read from its start.
TEST(ChunkedStream, ConsumesTrailerLinesThroughTheEmptyLine) {
    for (const std::string wire : {"3\r\nabc\r\n0\r\nExpires: never\r\nX-Sum: 42\r\n\r\nNEXT",
                                   "0;ext\r\nA: 1\n\nNEXT", "0\r\n\r\nNEXT"}) {
        EXPECT_EQ(DecodeWhole(wire).CompletedAt, wire.find("NEXT")) << wire;
        // Cut off before the closing empty line: not complete yet.
        EXPECT_EQ(DecodeWhole(wire.substr(0, wire.find("NEXT") - 1)).CompletedAt, std::string::npos)
            << wire;
    }
}

TEST(ChunkedStream, MalformedFramingRaises) {
    const std::vector<std::string> bad = {
        "\r\nabc",                      // size line without digits
        ";ext\r\n",                     // extension without a size
        "80000000\r\n",                 // does not fit the chunk size
        "1000000000000004\r\nWiki\r\n", // overflows 64 bits as well
        "4\r\nWikiXY0\r\n\r\n",         // size too small for the data
        "4\r\nWiki\n0\r\n\r\n",         // bare LF after the data
        "4\r\nWik\r\n\r\n0\r\n\r\n",    // size too large for the data
    };
    for (const std::string& wire : bad) {
        for (std::size_t cut = 0; cut <= wire.size(); ++cut) {
            TBytesStream body;
            TclChunkedStream chunked(body);
            try {
                chunked.Write(wire.data(), static_cast<std::int64_t>(cut));
                chunked.Write(wire.data() + cut, static_cast<std::int64_t>(wire.size() - cut));
                ADD_FAILURE() << "accepted " << wire;
            } catch (const EclStreamError& e) {
                EXPECT_EQ(e.Message(), u"Invalid chunk size");
            }
            EXPECT_FALSE(chunked.IsCompleted());
            // The decoder stays failed rather than resynchronising on garbage.
            EXPECT_THROW(chunked.Write("0\r\n\r\n", 5), EclStreamError);
        }
    }
    // The largest representable size and leading zeros are fine.
    TBytesStream body;
    TclChunkedStream chunked(body);
    EXPECT_NO_THROW(chunked.Write("0007fffffff\r\nab", 15));
    EXPECT_EQ(body.GetSize(), 2);
}

TEST(ChunkedStream, IgnoresBytesAfterCompletionAndOnlySeeksInPlace) {
    TBytesStream body;
    TclChunkedStream chunked(body);
    const std::string wire = "2\r\nok\r\n0\r\n\r\n";
    EXPECT_EQ(chunked.Write(wire.data(), static_cast<std::int64_t>(wire.size())),
              static_cast<std::int64_t>(wire.size()));
    EXPECT_TRUE(chunked.IsCompleted());
    EXPECT_EQ(chunked.Write("5\r\nhello\r\n", 10), 10);
    EXPECT_EQ(body.GetSize(), 2);

    const std::int64_t total = static_cast<std::int64_t>(wire.size()) + 10;
    EXPECT_EQ(chunked.GetPosition(), total);
    EXPECT_EQ(chunked.GetSize(), total);
    EXPECT_EQ(chunked.Seek(total, TSeekOrigin::soBeginning), total);
    EXPECT_EQ(chunked.Seek(0, TSeekOrigin::soEnd), total);
    try {
        chunked.Seek(0, TSeekOrigin::soBeginning);
        ADD_FAILURE() << "seek back succeeded";
    } catch (const EclStreamError& e) {
        EXPECT_EQ(e.Message(), u"Invalid Stream operation");
    }
    EXPECT_THROW(chunked.Seek(1, TSeekOrigin::soCurrent), EclStreamError);
    char c;
    EXPECT_EQ(chunked.Read(&c, 1), 0);
}
