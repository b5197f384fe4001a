// Invalid deflate and zlib data must be refused with the right code, and the
// degenerate code sets a compressor may legitimately emit must be accepted.
// The streams are built bit by bit.
#include "clInflate.h"
#include "clZLibBase.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Writes deflate bit streams: fields least significant bit first, Huffman
// codes most significant bit first.
class BitWriter {
public:
    void Bits(std::uint32_t value, unsigned n) {
        for (unsigned i = 0; i < n; ++i)
            Bit((value >> i) & 1);
    }
    void Code(std::uint32_t code, unsigned len) {
        for (unsigned i = len; i-- > 0;)
            Bit((code >> i) & 1);
    }
    void FixedLitLen(unsigned sym) {
        if (sym < 144)
            Code(0x30 + sym, 8);
        else if (sym < 256)
            Code(0x190 + sym - 144, 9);
        else if (sym < 280)
            Code(sym - 256, 7);
        else
            Code(0xC0 + sym - 280, 8);
    }
    Bytes Done(std::size_t padding = 0) {
        Bytes b = FBytes;
        if (FCount) b.push_back(FCur);
        b.insert(b.end(), padding, 0);
        return b;
    }

private:
    void Bit(unsigned b) {
        FCur |= static_cast<std::uint8_t>(b << FCount);
        if (++FCount == 8) {
            FBytes.push_back(FCur);
            FCur = 0;
            FCount = 0;
        }
    }
    Bytes FBytes;
    std::uint8_t FCur = 0;
    unsigned FCount = 0;
};

// Canonical codes for a set of lengths.
std::vector<std::uint32_t> CanonicalCodes(const std::vector<unsigned>& lens) {
    unsigned count[16] = {}, next[16] = {};
    for (unsigned l : lens)
        if (l) ++count[l];
    for (unsigned len = 1, code = 0; len < 16; ++len) {
        code = (code + count[len - 1]) << 1;
        next[len] = code;
    }
    std::vector<std::uint32_t> codes(lens.size());
    for (std::size_t s = 0; s < lens.size(); ++s)
        if (lens[s]) codes[s] = next[lens[s]]++;
    return codes;
}

const unsigned kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// A dynamic block header. The code-length code gives lengths 0-15 a 4-bit
// code each unless `clLens` says otherwise; `lengthSymbols` are the
// code-length symbols (with their repeat counts already as extra bits) to
// write after it.
struct DynamicHeader {
    std::vector<unsigned> LitLens; // HLIT + 257 entries
    std::vector<unsigned> DistLens;
    std::vector<unsigned> ClLens = std::vector<unsigned>(19, 0);

    DynamicHeader() {
        for (int s = 0; s < 16; ++s)
            ClLens[s] = 4;
    }

    // The block header up to and including the code-length code.
    void WriteCodeLengthCode(BitWriter& w, bool final) const {
        w.Bits(final ? 1 : 0, 1);
        w.Bits(2, 2);
        w.Bits(static_cast<std::uint32_t>(LitLens.size() - 257), 5);
        w.Bits(static_cast<std::uint32_t>(DistLens.size() - 1), 5);
        w.Bits(15, 4); // all 19 code-length code lengths
        for (unsigned s : kOrder)
            w.Bits(ClLens[s], 3);
    }

    // The whole header, the code lengths written without repeats.
    void Write(BitWriter& w, bool final) const {
        WriteCodeLengthCode(w, final);
        const auto clCodes = CanonicalCodes(ClLens);
        for (const auto* set : {&LitLens, &DistLens})
            for (unsigned l : *set)
                w.Code(clCodes[l], ClLens[l]);
    }
};

std::int32_t ErrorOf(const Bytes& data, bool raw = true) {
    try {
        TclInflater inf(raw);
        inf.SetInput(data);
        Bytes out(1 << 16);
        while (inf.Inflate(out) > 0) {
        }
    } catch (const EclZLibError& e) {
        return e.ErrorCode();
    }
    return 0;
}

std::string Inflated(const Bytes& data) {
    TclInflater inf(true);
    inf.SetInput(data);
    Bytes out(1 << 16);
    const std::int32_t n = inf.Inflate(out);
    EXPECT_TRUE(inf.IsFinished());
    return std::string(out.begin(), out.begin() + n);
}

// A fixed block: the literal 'a', then `sym` with its fields, as the final
// block; padded so that the fast loop also sees it.
Bytes FixedBlockWith(unsigned litlen, int dist, std::size_t padding) {
    BitWriter w;
    w.Bits(1, 1);
    w.Bits(1, 2);
    w.FixedLitLen('a');
    w.FixedLitLen(litlen);
    if (dist >= 0) w.Code(static_cast<std::uint32_t>(dist), 5);
    w.FixedLitLen(256);
    return w.Done(padding);
}

} // namespace

TEST(InflateErrors, SymbolsOutsideTheFormatAreRefused) {
    for (std::size_t pad : {0u, 16u}) {
        SCOPED_TRACE(pad);
        EXPECT_EQ(ErrorOf(FixedBlockWith(286, -1, pad)), zeInvalidLitLenCode);
        EXPECT_EQ(ErrorOf(FixedBlockWith(287, -1, pad)), zeInvalidLitLenCode);
        EXPECT_EQ(ErrorOf(FixedBlockWith(257, 30, pad)), zeInvalidDistanceCode);
        EXPECT_EQ(ErrorOf(FixedBlockWith(257, 31, pad)), zeInvalidDistanceCode);
    }
    DynamicHeader h;
    h.LitLens.assign(287, 0); // HLIT 30: one more than there are symbols
    h.LitLens[256] = 1;
    h.LitLens['a'] = 1;
    h.DistLens.assign(1, 1);
    BitWriter w;
    h.Write(w, true);
    EXPECT_EQ(ErrorOf(w.Done()), zeTooManyCodes);
}

TEST(InflateErrors, DistanceBeforeTheFirstByteIsRefused) {
    for (std::size_t pad : {0u, 16u}) {
        // 'a', then a copy of 3 from distance 2 (code 1): one byte too far.
        EXPECT_EQ(ErrorOf(FixedBlockWith(257, 1, pad)), zeDistanceTooFar);
        // Distance 1 is fine: "aaaa".
        if (pad == 0) {
            EXPECT_EQ(Inflated(FixedBlockWith(257, 0, pad)), "aaaa");
        }
    }
}

TEST(InflateErrors, InvalidCodeSetsAreRefused) {
    auto header = [] {
        DynamicHeader h;
        h.LitLens.assign(257, 0);
        h.LitLens['a'] = 1;
        h.LitLens[256] = 1;
        h.DistLens.assign(1, 1);
        return h;
    };
    auto errorOf = [](const DynamicHeader& h) {
        BitWriter w;
        h.Write(w, true);
        return ErrorOf(w.Done(8));
    };
    DynamicHeader over = header();
    over.LitLens['b'] = 1; // three 1-bit codes
    EXPECT_EQ(errorOf(over), zeOversubscribedCodes);

    DynamicHeader incomplete = header();
    incomplete.LitLens['a'] = 2; // 2 + 1 bits: half a code space unused
    incomplete.LitLens[256] = 2;
    EXPECT_EQ(errorOf(incomplete), zeIncompleteCodes);

    DynamicHeader distOver = header();
    distOver.DistLens.assign(3, 1);
    EXPECT_EQ(errorOf(distOver), zeOversubscribedCodes);

    DynamicHeader noEnd = header();
    noEnd.LitLens[256] = 0;
    noEnd.LitLens['b'] = 1;
    EXPECT_EQ(errorOf(noEnd), zeMissingEndOfBlock);

    DynamicHeader clOver = header();
    clOver.ClLens[16] = 4; // seventeen 4-bit codes
    EXPECT_EQ(errorOf(clOver), zeOversubscribedCodes);

    DynamicHeader clIncomplete = header();
    clIncomplete.ClLens.assign(19, 0);
    clIncomplete.ClLens[0] = 1;
    clIncomplete.ClLens[1] = 2;
    EXPECT_EQ(errorOf(clIncomplete), zeIncompleteCodes);
}

TEST(InflateErrors, DegenerateCodeSetsAreAccepted) {
    // One 1-bit literal/length code is impossible (end of block plus at least
    // one more symbol are needed for data), but a single 1-bit distance code
    // and an empty distance set are what compressors write for blocks with
    // one or no distances.
    DynamicHeader h;
    h.LitLens.assign(258, 0);
    h.LitLens['a'] = 1;
    h.LitLens[256] = 2;
    h.LitLens[257] = 2;
    h.DistLens.assign(1, 1);
    {
        BitWriter w;
        h.Write(w, true);
        const auto codes = CanonicalCodes(h.LitLens);
        w.Code(codes['a'], 1);
        w.Code(codes[257], 2); // length 3
        w.Code(0, 1);          // distance 1
        w.Code(codes[256], 2);
        EXPECT_EQ(Inflated(w.Done()), "aaaa");
    }
    {
        // The missing second distance code is refused when it is used.
        BitWriter w;
        h.Write(w, true);
        const auto codes = CanonicalCodes(h.LitLens);
        w.Code(codes['a'], 1);
        w.Code(codes[257], 2);
        w.Code(1, 1);
        w.Code(codes[256], 2);
        EXPECT_EQ(ErrorOf(w.Done()), zeInvalidDistanceCode);
    }
    {
        DynamicHeader none = h;
        none.LitLens[257] = 0;
        none.LitLens[256] = 1;
        none.DistLens.assign(1, 0);
        BitWriter w;
        none.Write(w, true);
        w.Code(0, 1); // 'a'
        w.Code(1, 1); // end
        EXPECT_EQ(Inflated(w.Done()), "a");
    }
}

TEST(InflateErrors, BadRepeatsInTheHeaderAreRefused) {
    DynamicHeader h;
    h.ClLens.assign(19, 0);
    for (int s = 0; s < 14; ++s)
        h.ClLens[s] = 4;
    h.ClLens[16] = 3; // 14 * 1/16 + 2/16: complete
    h.LitLens.assign(257, 0);
    h.DistLens.assign(1, 0);
    const auto clCodes = CanonicalCodes(h.ClLens);
    {
        // A repeat of the previous length with no previous length.
        BitWriter w;
        h.WriteCodeLengthCode(w, true);
        w.Code(clCodes[16], 3);
        w.Bits(0, 2);
        EXPECT_EQ(ErrorOf(w.Done(4)), zeUnknownError);
    }
    {
        // A repeat that runs past the announced number of lengths.
        BitWriter w;
        h.WriteCodeLengthCode(w, true);
        for (int i = 0; i < 257; ++i)
            w.Code(clCodes[1], 4);
        w.Code(clCodes[16], 3);
        w.Bits(0, 2); // three more, only one left
        EXPECT_EQ(ErrorOf(w.Done(4)), zeUnknownError);
    }
}

TEST(InflateErrors, BlockFramingErrors) {
    EXPECT_EQ(ErrorOf(Bytes{0x07}), zeUnknownBlockType);
    EXPECT_EQ(ErrorOf(Bytes{0x01, 0x03, 0x00, 0xFC, 0xFE, 'a', 'b', 'c'}), zeBrokenStoredBlock);
    EXPECT_EQ(ErrorOf(Bytes{0x01, 0x03, 0x00, 0xFC, 0xFF, 'a', 'b', 'c'}), 0);
    // An empty final stored block is a valid, empty stream.
    TclInflater inf(true);
    const Bytes empty{0x01, 0x00, 0x00, 0xFF, 0xFF};
    inf.SetInput(empty);
    Bytes out(10);
    EXPECT_EQ(inf.Inflate(out), 0);
    EXPECT_TRUE(inf.IsFinished());
}

TEST(InflateErrors, ZlibWrapperErrors) {
    EXPECT_EQ(ErrorOf(Bytes{0x78, 0x9D, 0x03, 0x00}, false), zeHeaderChecksum);
    EXPECT_EQ(ErrorOf(Bytes{0x79, 0x18, 0x03, 0x00}, false), zeUnknownMethod);
    // Empty data (fixed block with only the end code) and a wrong Adler-32.
    EXPECT_EQ(ErrorOf(Bytes{0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x02}, false),
              zeAdlerMismatch);
    EXPECT_EQ(ErrorOf(Bytes{0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01}, false), 0);
}

TEST(InflateErrors, CallerMistakes) {
    TclInflater inf(true);
    const Bytes data{0x01, 0x03, 0x00, 0xFC, 0xFF, 'a', 'b', 'c'};
    inf.SetInput(data);
    auto codeOf = [](auto f) {
        try {
            f();
        } catch (const EclZLibError& e) {
            return e.ErrorCode();
        }
        return 0;
    };
    EXPECT_EQ(codeOf([&] { inf.SetInput(data); }), zeOldInputNotProcessed);
    EXPECT_EQ(codeOf([&] { inf.SetInput(data.data(), -1, 2); }), zeOldInputNotProcessed);
    Bytes out(8);
    EXPECT_EQ(codeOf([&] { inf.Inflate(out.data(), 0, -1); }), zeArgumentOutOfRange);
    EXPECT_EQ(codeOf([&] { inf.SetDictionary(data.data(), 0, 1); }), zeInvalidOperation);
    EXPECT_EQ(inf.Inflate(out), 3);
    EXPECT_EQ(codeOf([&] { inf.SetInput(data.data(), -1, 2); }), zeArgumentOutOfRange);
    EXPECT_EQ(ZLibErrorMessage(zeUnknownBlockType), u"Unknown block type ");
}
