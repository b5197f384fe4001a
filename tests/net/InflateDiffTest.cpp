// Our inflater against zlib's deflate output: every level, memory level and
// strategy, flushes, the three wrappers, preset dictionaries, and random
// input and output splits down to single bytes.
#include "InflateOracle.h"

#include <gtest/gtest.h>

using namespace inflate_oracle;

namespace {

struct Corpus {
    const char* Name;
    Bytes Data;
};

const std::vector<Corpus>& Corpora() {
    static const std::vector<Corpus> corpora = {
        {"json", JsonLikeText(70000, 1)},
        {"runs", RunsAndBytes(50000, 2)},
        {"noise", Noise(40000, 3)},
        {"tiny", Bytes{'a'}},
        {"empty", Bytes{}},
    };
    return corpora;
}

void ExpectRoundTrip(const Bytes& data, const DeflateOptions& o, unsigned seed,
                     std::size_t maxPiece) {
    const Bytes packed = Deflate(data, o);
    if (o.Wrap == Wrapper::Gzip) {
        ASSERT_EQ(GunzipInPieces(packed, seed, maxPiece), data);
        return;
    }
    bool finished = false;
    const Bytes out =
        InflateInPieces(packed, o.Wrap == Wrapper::Raw, seed, maxPiece, o.Dictionary, &finished);
    ASSERT_TRUE(finished);
    ASSERT_EQ(out, data);
}

} // namespace

TEST(InflateDiff, EveryLevelAndMemoryLevel) {
    unsigned seed = 10;
    for (const Corpus& c : Corpora())
        for (int level = 0; level <= 9; ++level)
            for (int mem = 1; mem <= 9; ++mem) {
                SCOPED_TRACE(std::string(c.Name) + " level " + std::to_string(level) + " mem " +
                             std::to_string(mem));
                DeflateOptions o;
                o.Level = level;
                o.MemLevel = mem;
                ExpectRoundTrip(c.Data, o, ++seed, 20000);
            }
}

TEST(InflateDiff, StrategiesAtEveryLevel) {
    const int strategies[] = {Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
    unsigned seed = 100;
    for (const Corpus& c : Corpora())
        for (int strategy : strategies)
            for (int level = 0; level <= 9; ++level) {
                SCOPED_TRACE(std::string(c.Name) + " strategy " + std::to_string(strategy) +
                             " level " + std::to_string(level));
                DeflateOptions o;
                o.Level = level;
                o.Strategy = strategy;
                ExpectRoundTrip(c.Data, o, ++seed, 4096);
            }
}

TEST(InflateDiff, SyncAndFullFlushesInEveryWrapper) {
    unsigned seed = 200;
    for (Wrapper w : {Wrapper::Raw, Wrapper::Zlib, Wrapper::Gzip})
        for (int flush : {Z_SYNC_FLUSH, Z_FULL_FLUSH, Z_PARTIAL_FLUSH, Z_BLOCK})
            for (std::size_t every : {1u, 7u, 1000u}) {
                SCOPED_TRACE("wrapper " + std::to_string(int(w)) + " flush " +
                             std::to_string(flush) + " every " + std::to_string(every));
                DeflateOptions o;
                o.Wrap = w;
                o.FlushMode = flush;
                o.FlushEvery = every;
                const Bytes& data = Corpora()[every == 1 ? 3 : 0].Data;
                ExpectRoundTrip(every == 1 ? JsonLikeText(3000, 5) : data, o, ++seed, 64);
            }
}

TEST(InflateDiff, OneByteAtATimeInEveryWrapper) {
    for (Wrapper w : {Wrapper::Raw, Wrapper::Zlib, Wrapper::Gzip})
        for (const Corpus& c : Corpora()) {
            SCOPED_TRACE(std::string(c.Name) + " wrapper " + std::to_string(int(w)));
            DeflateOptions o;
            o.Wrap = w;
            o.Level = 6;
            ExpectRoundTrip(
                Bytes(c.Data.begin(), c.Data.begin() + std::min<std::size_t>(c.Data.size(), 20000)),
                o, 7, 1);
        }
}

TEST(InflateDiff, PresetDictionary) {
    const Bytes dict = JsonLikeText(40000, 9); // longer than the window: its tail counts
    const Bytes data = JsonLikeText(30000, 9);
    unsigned seed = 300;
    for (int level : {1, 6, 9}) {
        DeflateOptions o;
        o.Wrap = Wrapper::Zlib;
        o.Level = level;
        o.Dictionary = dict;
        ExpectRoundTrip(data, o, ++seed, 300);
    }
}

TEST(InflateDiff, WrongDictionaryIsRefused) {
    DeflateOptions o;
    o.Wrap = Wrapper::Zlib;
    o.Dictionary = JsonLikeText(1000, 1);
    const Bytes packed = Deflate(JsonLikeText(5000, 2), o);
    TclInflater inf;
    inf.SetInput(packed);
    Bytes out(100);
    EXPECT_EQ(inf.Inflate(out), 0);
    ASSERT_TRUE(inf.IsNeedingDictionary());
    const Bytes other = JsonLikeText(999, 1);
    try {
        inf.SetDictionary(other.data(), 0, static_cast<std::int32_t>(other.size()));
        FAIL() << "accepted the wrong dictionary";
    } catch (const EclZLibError& e) {
        EXPECT_EQ(e.ErrorCode(), zeAdlerMismatch);
    }
}

TEST(InflateDiff, ReportsConsumedInputLikeZlib) {
    // Data followed by unrelated bytes: the inflater must stop exactly where
    // zlib does, which is what the gzip trailer parsing relies on.
    DeflateOptions o;
    for (int level : {0, 1, 9}) {
        o.Level = level;
        Bytes packed = Deflate(JsonLikeText(12345, level), o);
        const std::size_t size = packed.size();
        packed.insert(packed.end(), {0xDE, 0xAD, 0xBE, 0xEF, 1, 2, 3, 4, 5, 6, 7, 8});
        TclInflater inf(true);
        inf.SetInput(packed);
        Bytes out(20000);
        std::int32_t n;
        while ((n = inf.Inflate(out)) > 0) {
        }
        ASSERT_TRUE(inf.IsFinished());
        EXPECT_EQ(inf.TotalIn(), static_cast<std::int64_t>(size));
        EXPECT_EQ(inf.RemainingInput(), 12);
    }
}
