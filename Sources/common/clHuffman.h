// Decoding tables for canonical Huffman codes (deflate's literal/length,
// distance and code-length codes).
#pragma once

#include "clZLibBuffer.h"

#include <cstdint>
#include <vector>

// One table entry, 32 bits:
//   bits 0-7   bits to consume (a link entry: the root bits; an entry of a
//              second-level table: the bits after the root bits)
//   bits 8-15  what the entry is (hoLiteral, hoEnd, hoLink, hoBase, or 0 =
//              a code that the set does not contain)
//   bits 16-31 value: the literal or code-length symbol, the base of a length
//              or distance, or the offset of a second-level table
enum : std::uint32_t {
    hoInvalid = 0x00,
    hoBase = 0x10, // low 4 bits: extra bits that follow the code
    hoLink = 0x20, // low 4 bits: index bits of the second-level table
    hoEnd = 0x40,
    hoLiteral = 0x80,
};

inline unsigned HuffBits(std::uint32_t e) {
    return e & 0xFF;
}
inline unsigned HuffOp(std::uint32_t e) {
    return (e >> 8) & 0xFF;
}
inline unsigned HuffValue(std::uint32_t e) {
    return e >> 16;
}

enum class THuffmanCodeKind {
    hkCodeLengths, // the code-length code of a dynamic block header
    hkLitLen,      // literals, end of block and lengths
    hkDistance,
};

class TclInflaterHuffmanTree {
public:
    explicit TclInflaterHuffmanTree(THuffmanCodeKind AKind);

    // Builds the table for `ACount` code lengths (0-15). Returns 0, or
    // zeOversubscribedCodes / zeIncompleteCodes for a set that is not a valid
    // prefix code. A literal/length or distance set may be empty or a single
    // one-bit code; using one of its missing codes is reported when decoded.
    std::int32_t Build(const std::uint8_t* ALens, std::int32_t ACount);

    const std::uint32_t* Table() const { return FTree.data(); }
    unsigned RootBits() const { return FRootBits; }

    // Finds the entry for the next code without consuming it. False when the
    // input ends before the code does.
    bool Peek(TclInflateBuffer& AInput, std::uint32_t& AEntry, unsigned& AUsed) const;
    // Same, and consumes the code.
    bool Decode(TclInflateBuffer& AInput, std::uint32_t& AEntry) const {
        unsigned used;
        if (!Peek(AInput, AEntry, used)) return false;
        AInput.DropBits(used);
        return true;
    }

private:
    std::uint32_t SymbolEntry(unsigned ASymbol, unsigned ABits) const;

    THuffmanCodeKind FKind;
    unsigned FRootBits;
    std::vector<std::uint32_t> FTree;
};
