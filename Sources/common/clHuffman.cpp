#include "clHuffman.h"

#include "clZLibBase.h"

#include <algorithm>

namespace {

constexpr unsigned kMaxCodeBits = 15;

// Base values and extra bits of the length symbols 257-285 and the distance
// symbols 0-29.
constexpr std::uint16_t kLengthBase[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                           15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                           67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t kDistBase[30] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::uint8_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                         6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// Largest tables any valid code set needs with these root sizes (counted over
// every possible set of code lengths).
constexpr std::size_t kLitLenEnough = 2342; // 288 symbols, 11 root bits
constexpr std::size_t kDistEnough = 402;    // 32 symbols, 8 root bits
constexpr std::size_t kCodeLenEnough = 128; // 19 symbols, 7 root bits

constexpr std::uint32_t MakeEntry(unsigned op, unsigned value, unsigned bits) {
    return std::uint32_t(value) << 16 | std::uint32_t(op) << 8 | bits;
}

unsigned Reverse(unsigned code, unsigned len) {
    unsigned r = 0;
    for (unsigned i = 0; i < len; ++i) {
        r = (r << 1) | (code & 1);
        code >>= 1;
    }
    return r;
}

} // namespace

TclInflaterHuffmanTree::TclInflaterHuffmanTree(THuffmanCodeKind AKind) : FKind(AKind) {
    switch (AKind) {
    case THuffmanCodeKind::hkCodeLengths:
        FRootBits = 7;
        FTree.resize(kCodeLenEnough);
        break;
    case THuffmanCodeKind::hkLitLen:
        FRootBits = 11;
        FTree.resize(kLitLenEnough);
        break;
    case THuffmanCodeKind::hkDistance:
        FRootBits = 8;
        FTree.resize(kDistEnough);
        break;
    }
}

std::uint32_t TclInflaterHuffmanTree::SymbolEntry(unsigned ASymbol, unsigned ABits) const {
    switch (FKind) {
    case THuffmanCodeKind::hkCodeLengths:
        return MakeEntry(hoLiteral, ASymbol, ABits);
    case THuffmanCodeKind::hkLitLen:
        if (ASymbol < 256) return MakeEntry(hoLiteral, ASymbol, ABits);
        if (ASymbol == 256) return MakeEntry(hoEnd, 0, ABits);
        if (ASymbol <= 285)
            return MakeEntry(hoBase | kLengthExtra[ASymbol - 257], kLengthBase[ASymbol - 257],
                             ABits);
        break; // 286 and 287 have codes in the fixed set but mean nothing
    case THuffmanCodeKind::hkDistance:
        if (ASymbol < 30) return MakeEntry(hoBase | kDistExtra[ASymbol], kDistBase[ASymbol], ABits);
        break; // 30 and 31 likewise
    }
    return MakeEntry(hoInvalid, 0, ABits);
}

std::int32_t TclInflaterHuffmanTree::Build(const std::uint8_t* ALens, std::int32_t ACount) {
    unsigned count[kMaxCodeBits + 1] = {};
    for (std::int32_t s = 0; s < ACount; ++s)
        ++count[ALens[s]];
    count[0] = 0;

    unsigned maxLen = 0;
    for (unsigned len = 1; len <= kMaxCodeBits; ++len)
        if (count[len]) maxLen = len;

    // Kraft sum: `left` is the number of unused codes at each length.
    int left = 1;
    for (unsigned len = 1; len <= kMaxCodeBits; ++len) {
        left <<= 1;
        left -= static_cast<int>(count[len]);
        if (left < 0) return zeOversubscribedCodes;
    }
    const std::size_t rootSize = std::size_t(1) << FRootBits;
    if (left > 0) {
        // An incomplete set is only tolerated as the degenerate sets a
        // compressor may legitimately emit: none at all, or one 1-bit code.
        if (FKind == THuffmanCodeKind::hkCodeLengths || maxLen > 1) return zeIncompleteCodes;
        // The missing codes decode as invalid entries one bit long.
        std::fill_n(FTree.begin(), rootSize, MakeEntry(hoInvalid, 0, 1));
    }

    // Canonical codes: the first code of each length.
    unsigned next[kMaxCodeBits + 2] = {};
    unsigned code = 0;
    for (unsigned len = 1; len <= kMaxCodeBits; ++len) {
        code = (code + count[len - 1]) << 1;
        next[len] = code;
    }

    // Second-level table sizes, one per root prefix that has longer codes:
    // enough index bits for the longest code under that prefix.
    std::vector<std::uint8_t> subBits;
    if (maxLen > FRootBits) {
        subBits.assign(rootSize, 0);
        unsigned probe[kMaxCodeBits + 2];
        std::copy(std::begin(next), std::end(next), probe);
        for (std::int32_t s = 0; s < ACount; ++s) {
            const unsigned len = ALens[s];
            if (len <= FRootBits) continue;
            const unsigned prefix = Reverse(probe[len]++, len) & (rootSize - 1);
            subBits[prefix] = std::max<std::uint8_t>(subBits[prefix], len - FRootBits);
        }
        std::size_t used = rootSize;
        for (std::size_t p = 0; p < rootSize; ++p) {
            if (!subBits[p]) continue;
            FTree[p] = MakeEntry(hoLink | subBits[p], static_cast<unsigned>(used), FRootBits);
            used += std::size_t(1) << subBits[p];
        }
        if (used > FTree.size()) RaiseZLibError(zeUnknownError); // cannot happen for a valid set
    }

    for (std::int32_t s = 0; s < ACount; ++s) {
        const unsigned len = ALens[s];
        if (!len) continue;
        const unsigned rev = Reverse(next[len]++, len);
        if (len <= FRootBits) {
            const std::uint32_t e = SymbolEntry(static_cast<unsigned>(s), len);
            for (std::size_t i = rev; i < rootSize; i += std::size_t(1) << len)
                FTree[i] = e;
        } else {
            const std::uint32_t link = FTree[rev & (rootSize - 1)];
            const unsigned sub = HuffOp(link) & 0x0F;
            const std::size_t base = HuffValue(link);
            const std::uint32_t e = SymbolEntry(static_cast<unsigned>(s), len - FRootBits);
            for (std::size_t i = rev >> FRootBits; i < (std::size_t(1) << sub);
                 i += std::size_t(1) << (len - FRootBits))
                FTree[base + i] = e;
        }
    }
    return 0;
}

bool TclInflaterHuffmanTree::Peek(TclInflateBuffer& AInput, std::uint32_t& AEntry,
                                  unsigned& AUsed) const {
    AInput.Need(kMaxCodeBits); // as many as there are; the lookup decides
    const std::uint64_t bits = AInput.PeekAll();
    const unsigned avail = AInput.AvailableBits();
    std::uint32_t e = FTree[bits & ((std::uint64_t(1) << FRootBits) - 1)];
    unsigned used = HuffBits(e);
    if (HuffOp(e) & hoLink) {
        if (avail <= FRootBits) return false;
        const unsigned sub = HuffOp(e) & 0x0F;
        e = FTree[HuffValue(e) + ((bits >> FRootBits) & ((1u << sub) - 1))];
        used = FRootBits + HuffBits(e);
    }
    if (used > avail) return false;
    AEntry = e;
    AUsed = used;
    return true;
}
