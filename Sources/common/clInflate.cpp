#include "clInflate.h"

#include "clZLibBase.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

// Code-length code lengths arrive in this order.
constexpr std::uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                               11, 4,  12, 3, 13, 2, 14, 1, 15};

constexpr std::uint64_t LowMask(unsigned n) {
    return (std::uint64_t(1) << n) - 1;
}

// The code tables of fixed-code blocks, built once for the whole program.
struct TFixedTables {
    TclInflaterHuffmanTree LitLen{THuffmanCodeKind::hkLitLen};
    TclInflaterHuffmanTree Dist{THuffmanCodeKind::hkDistance};

    TFixedTables() {
        std::uint8_t lens[288];
        std::fill(lens, lens + 144, 8);
        std::fill(lens + 144, lens + 256, 9);
        std::fill(lens + 256, lens + 280, 7);
        std::fill(lens + 280, lens + 288, 8);
        if (LitLen.Build(lens, 288) != 0) RaiseZLibError(zeStaticTreeIllegal);
        std::fill(lens, lens + 32, 5);
        if (Dist.Build(lens, 32) != 0) RaiseZLibError(zeStaticTreeIllegal);
    }
};

const TFixedTables& FixedTables() {
    static const TFixedTables tables;
    return tables;
}

std::uint64_t LoadLE64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
    return v;
}

} // namespace

// ---------------------------------------------------------------------------
// Dynamic block header

TclInflaterHeader::TclInflaterHeader() : FBlTree(THuffmanCodeKind::hkCodeLengths) {}

bool TclInflaterHeader::Step(TclInflateBuffer& AInput) {
    for (;;) {
        switch (FMode) {
        case hmCounts: {
            if (!AInput.Need(14)) return false;
            FLnum = static_cast<std::int32_t>(AInput.PeekBits(5)) + 257;
            FDnum = static_cast<std::int32_t>((AInput.PeekBits(10) >> 5)) + 1;
            FBlnum = static_cast<std::int32_t>((AInput.PeekBits(14) >> 10)) + 4;
            AInput.DropBits(14);
            // 286 and 287, 30 and 31 are not symbols of the format.
            if (FLnum > 286 || FDnum > 30) RaiseZLibError(zeTooManyCodes);
            FPtr = 0;
            FMode = hmCodeLengthLens;
            break;
        }
        case hmCodeLengthLens:
            while (FPtr < FBlnum) {
                if (!AInput.Need(3)) return false;
                FBlLens[kCodeLengthOrder[FPtr++]] = static_cast<std::uint8_t>(AInput.PeekBits(3));
                AInput.DropBits(3);
            }
            while (FPtr < 19)
                FBlLens[kCodeLengthOrder[FPtr++]] = 0;
            if (const std::int32_t err = FBlTree.Build(FBlLens, 19)) RaiseZLibError(err);
            FPtr = 0;
            FMode = hmLens;
            break;
        case hmLens: {
            const std::int32_t total = FLnum + FDnum;
            while (FPtr < total) {
                std::uint32_t e;
                unsigned used;
                if (!FBlTree.Peek(AInput, e, used)) return false;
                const unsigned sym = HuffValue(e);
                if (sym < 16) {
                    AInput.DropBits(used);
                    FLitdistLens[FPtr++] = static_cast<std::uint8_t>(sym);
                    continue;
                }
                // A repeat is judged only once its count is there too.
                const unsigned extra = sym == 16 ? 2 : sym == 17 ? 3 : 7;
                if (!AInput.Need(used + extra)) return false;
                AInput.DropBits(used);
                const std::int32_t rep =
                    static_cast<std::int32_t>(AInput.PeekBits(extra)) + (sym == 18 ? 11 : 3);
                AInput.DropBits(extra);
                std::uint8_t value = 0;
                if (sym == 16) {
                    if (FPtr == 0) RaiseZLibError(zeUnknownError);
                    value = FLitdistLens[FPtr - 1];
                }
                if (FPtr + rep > total) RaiseZLibError(zeUnknownError);
                std::fill_n(FLitdistLens + FPtr, rep, value);
                FPtr += rep;
            }
            // A block that cannot end would decode the rest of the input as
            // one endless block.
            if (FLitdistLens[256] == 0) RaiseZLibError(zeMissingEndOfBlock);
            FMode = hmDone;
            return true;
        }
        case hmDone:
            return true;
        }
    }
}

// ---------------------------------------------------------------------------
// Inflater

TclInflater::TclInflater() : TclInflater(false) {}

TclInflater::TclInflater(bool ANoHeader) : FNoHeader(ANoHeader) {
    FixedTables(); // builds the shared tables on first use
    Reset();
}

TclInflater::~TclInflater() = default;

void TclInflater::Reset() {
    FMode = FNoHeader ? imBlockHeader : imHeader;
    FReadAdler = 0;
    FNeededBits = 0;
    FRepLength = 0;
    FRepDist = 0;
    FUncomprLen = 0;
    FIsLastBlock = false;
    FDictionaryIdRead = false;
    FTotalOut = 0;
    FTotalIn = 0;
    FInput.Reset();
    FOutputWindow.Reset();
    FAdler.Reset();
    FLitlenTree = nullptr;
    FDistTree = nullptr;
}

void TclInflater::SetInput(const std::uint8_t* ABuffer, std::int32_t AOffset, std::int32_t ALen) {
    FInput.SetInput(ABuffer, AOffset, ALen);
    FTotalIn += ALen;
}

void TclInflater::SetInput(const TBytes& ABuffer) {
    if (ABuffer.size() > static_cast<std::size_t>(INT32_MAX)) RaiseZLibError(zeArgumentOutOfRange);
    SetInput(ABuffer.data(), 0, static_cast<std::int32_t>(ABuffer.size()));
}

bool TclInflater::IsFinished() const {
    return FMode == imFinished && FOutputWindow.GetAvailable() == 0;
}

std::int32_t TclInflater::Inflate(TBytes& ABuffer) {
    if (ABuffer.size() > static_cast<std::size_t>(INT32_MAX)) RaiseZLibError(zeArgumentOutOfRange);
    return Inflate(ABuffer.data(), 0, static_cast<std::int32_t>(ABuffer.size()));
}

std::int32_t TclInflater::Inflate(std::uint8_t* ABuffer, std::int32_t AOffset, std::int32_t ALen) {
    if (ALen < 0 || AOffset < 0 || (ALen > 0 && !ABuffer)) RaiseZLibError(zeArgumentOutOfRange);
    if (ALen == 0) {
        if (FMode != imFinished) DecodeRun();
        return 0;
    }
    std::int32_t copied = 0;
    for (;;) {
        const bool progressed = DecodeRun();
        const std::int32_t n = std::min(FOutputWindow.GetAvailable(), ALen - copied);
        if (n > 0) {
            std::uint8_t* dest = ABuffer + AOffset + copied;
            FOutputWindow.CopyOutput(dest, n);
            HandOut(dest, n);
            copied += n;
        }
        if (copied == ALen || (!progressed && n == 0)) return copied;
    }
}

std::int32_t TclInflater::InflateInPlace(const std::uint8_t*& AData, std::int32_t AMax) {
    if (AMax < 0) RaiseZLibError(zeArgumentOutOfRange);
    while (FOutputWindow.GetAvailable() < AMax && DecodeRun()) {
    }
    const std::int32_t n = std::min(FOutputWindow.GetAvailable(), AMax);
    AData = FOutputWindow.TakeOutput(n);
    HandOut(AData, n);
    return n;
}

void TclInflater::HandOut(const std::uint8_t* AData, std::int32_t ALen) {
    if (!FNoHeader) FAdler.Update(AData, static_cast<std::size_t>(ALen));
    FTotalOut += ALen;
}

void TclInflater::SetDictionary(const std::uint8_t* ABuffer, std::int32_t AOffset,
                                std::int32_t ALen) {
    if (!IsNeedingDictionary()) RaiseZLibError(zeInvalidOperation);
    if (AOffset < 0 || ALen < 0 || (ALen > 0 && !ABuffer)) RaiseZLibError(zeArgumentOutOfRange);
    const std::uint8_t* dict = ALen ? ABuffer + AOffset : nullptr;
    if (TclAdler32::Compute(1, dict, static_cast<std::size_t>(ALen)) != FReadAdler)
        RaiseZLibError(zeAdlerMismatch);
    FAdler.Reset();
    FOutputWindow.SetDictionary(dict, ALen);
    FMode = imBlockHeader;
}

bool TclInflater::DecodeRun() {
    const TclBitCursor before = FInput.GetCursor();
    const std::int64_t history = FOutputWindow.History();
    const std::int32_t mode = FMode;
    DecodeSteps();
    const TclBitCursor after = FInput.GetCursor();
    return after.Next != before.Next || after.Count != before.Count ||
           FOutputWindow.History() != history || FMode != mode;
}

void TclInflater::UseFixedTables() {
    FLitlenTree = &FixedTables().LitLen;
    FDistTree = &FixedTables().Dist;
}

void TclInflater::BuildDynamicTables() {
    if (!FOwnLitlenTree) {
        FOwnLitlenTree = std::make_unique<TclInflaterHuffmanTree>(THuffmanCodeKind::hkLitLen);
        FOwnDistTree = std::make_unique<TclInflaterHuffmanTree>(THuffmanCodeKind::hkDistance);
    }
    if (const std::int32_t err =
            FOwnLitlenTree->Build(FDynHeader->LitLenLens(), FDynHeader->LitLenCount()))
        RaiseZLibError(err);
    if (const std::int32_t err =
            FOwnDistTree->Build(FDynHeader->DistLens(), FDynHeader->DistCount()))
        RaiseZLibError(err);
    FLitlenTree = FOwnLitlenTree.get();
    FDistTree = FOwnDistTree.get();
}

// One pass of the state machine. Each state either completes and moves on, or
// returns because the input, the window space or a dictionary is missing; the
// bits it has not consumed stay in the bit reader for the next pass.
void TclInflater::DecodeSteps() {
    FOutputWindow.Prepare();
    for (;;) {
        switch (FMode) {
        case imHeader: {
            if (!FInput.Need(16)) return;
            const std::uint32_t cmf = FInput.PeekBits(8);
            const std::uint32_t flg = FInput.PeekBits(16) >> 8;
            if ((cmf * 256 + flg) % 31 != 0) RaiseZLibError(zeHeaderChecksum);
            if ((cmf & 0x0F) != 8) RaiseZLibError(zeUnknownMethod);
            FInput.DropBits(16);
            FMode = (flg & 0x20) ? imDictionaryId : imBlockHeader;
            break;
        }
        case imDictionaryId:
            if (FDictionaryIdRead || !FInput.Need(32)) return; // waits for SetDictionary
            FReadAdler = __builtin_bswap32(FInput.PeekBits(32));
            FInput.DropBits(32);
            FDictionaryIdRead = true;
            return;
        case imBlockHeader: {
            if (FIsLastBlock) {
                if (FNoHeader) {
                    FMode = imFinished;
                } else {
                    FInput.AlignToByte();
                    FMode = imTrailer;
                }
                break;
            }
            if (!FInput.Need(3)) return;
            const std::uint32_t hdr = FInput.PeekBits(3);
            FInput.DropBits(3);
            FIsLastBlock = (hdr & 1) != 0;
            switch (hdr >> 1) {
            case 0:
                FInput.AlignToByte();
                FMode = imStoredLength;
                break;
            case 1:
                UseFixedTables();
                FMode = imLitLen;
                break;
            case 2:
                if (!FDynHeader) FDynHeader = std::make_unique<TclInflaterHeader>();
                FDynHeader->Start();
                FMode = imDynamicHeader;
                break;
            default:
                RaiseZLibError(zeUnknownBlockType);
            }
            break;
        }
        case imStoredLength:
            if (!FInput.Need(16)) return;
            FUncomprLen = static_cast<std::int32_t>(FInput.PeekBits(16));
            FInput.DropBits(16);
            FMode = imStoredLengthComplement;
            break;
        case imStoredLengthComplement:
            if (!FInput.Need(16)) return;
            if ((FInput.PeekBits(16) ^ 0xFFFF) != static_cast<std::uint32_t>(FUncomprLen))
                RaiseZLibError(zeBrokenStoredBlock);
            FInput.DropBits(16);
            FMode = imStoredData;
            break;
        case imStoredData:
            if (FUncomprLen > 0) {
                const std::int32_t n = FOutputWindow.CopyStored(FInput, FUncomprLen);
                FUncomprLen -= n;
                if (FUncomprLen > 0) return; // input or window space used up
            }
            FMode = imBlockHeader;
            break;
        case imDynamicHeader:
            if (!FDynHeader->Step(FInput)) return;
            BuildDynamicTables();
            FMode = imLitLen;
            break;
        case imLitLen: {
            if (FOutputWindow.GetFreeSpace() < TclOutputWindow::MaxMatch) return;
            DecodeFast();
            if (FMode != imLitLen) break;
            if (FOutputWindow.GetFreeSpace() < TclOutputWindow::MaxMatch) return;
            // Near the end of the input: one symbol at a time.
            std::uint32_t e;
            if (!FLitlenTree->Decode(FInput, e)) return;
            const unsigned op = HuffOp(e);
            if (op & hoLiteral) {
                FOutputWindow.Write(static_cast<std::uint8_t>(HuffValue(e)));
            } else if (op & hoBase) {
                FRepLength = static_cast<std::int32_t>(HuffValue(e));
                FNeededBits = op & 0x0F;
                FMode = imLengthExtra;
            } else if (op & hoEnd) {
                FMode = imBlockHeader;
            } else {
                RaiseZLibError(zeInvalidLitLenCode);
            }
            break;
        }
        case imLengthExtra:
            if (!FInput.Need(FNeededBits)) return;
            FRepLength += static_cast<std::int32_t>(FInput.PeekBits(FNeededBits));
            FInput.DropBits(FNeededBits);
            FMode = imDistance;
            break;
        case imDistance: {
            std::uint32_t e;
            if (!FDistTree->Decode(FInput, e)) return;
            if (!(HuffOp(e) & hoBase)) RaiseZLibError(zeInvalidDistanceCode);
            FRepDist = static_cast<std::int32_t>(HuffValue(e));
            FNeededBits = HuffOp(e) & 0x0F;
            FMode = imDistanceExtra;
            break;
        }
        case imDistanceExtra:
            if (!FInput.Need(FNeededBits)) return;
            FRepDist += static_cast<std::int32_t>(FInput.PeekBits(FNeededBits));
            FInput.DropBits(FNeededBits);
            FOutputWindow.Repeat(FRepLength, FRepDist);
            FMode = imLitLen;
            break;
        case imTrailer: {
            // The checksum covers output that has been handed out, so the
            // check waits until nothing is left in the window.
            if (FOutputWindow.GetAvailable() > 0 || !FInput.Need(32)) return;
            const std::uint32_t stored = __builtin_bswap32(FInput.PeekBits(32));
            if (stored != FAdler.GetValue()) RaiseZLibError(zeAdlerMismatch);
            FInput.DropBits(32);
            FMode = imFinished;
            break;
        }
        case imFinished:
            return;
        default:
            RaiseZLibError(zeUnknownMode);
        }
    }
}

// The inner loop for the common case: at least 8 input bytes and a full match
// of window space are free, so one 64-bit refill per symbol provides every
// bit a length/distance pair can need (15 + 5 + 15 + 13) and no bounds are
// checked per symbol. Leaves at the end of the block, or when either margin
// runs out, with the unused whole bytes given back to the input.
void TclInflater::DecodeFast() {
    TclBitCursor c = FInput.GetCursor();
    if (c.End - c.Next < 8) return;
    const std::uint8_t* const entryNext = c.Next;
    const std::uint8_t* const inLimit = c.End - 8;
    std::uint8_t* const outStart = FOutputWindow.WritePointer();
    std::uint8_t* const outLimit = FOutputWindow.WriteLimit() - TclOutputWindow::MaxMatch;
    std::uint8_t* out = outStart;
    const std::int64_t historyBefore = FOutputWindow.History();
    const std::uint32_t* const lt = FLitlenTree->Table();
    const std::uint32_t* const dt = FDistTree->Table();
    const unsigned lroot = FLitlenTree->RootBits();
    const unsigned droot = FDistTree->RootBits();
    const std::uint64_t lmask = LowMask(lroot);
    const std::uint64_t dmask = LowMask(droot);
    const std::uint8_t* next = c.Next;
    std::uint64_t bits = c.Bits;
    unsigned count = c.Count;
    std::int32_t error = 0;

    while (next <= inLimit && out <= outLimit) {
        // Branch-free refill to 56..63 bits; bits above `count` are already
        // the right data, so OR-ing them again changes nothing.
        bits |= LoadLE64(next) << count;
        next += (63 - count) >> 3;
        count |= 56;

        std::uint32_t e = lt[bits & lmask];
        if (HuffOp(e) & hoLink) {
            bits >>= lroot;
            count -= lroot;
            e = lt[HuffValue(e) + (bits & LowMask(HuffOp(e) & 0x0F))];
        }
        bits >>= HuffBits(e);
        count -= HuffBits(e);
        unsigned op = HuffOp(e);
        if (op & hoLiteral) {
            *out++ = static_cast<std::uint8_t>(HuffValue(e));
            // A second literal fits in the bits left (at least 41).
            e = lt[bits & lmask];
            if (HuffOp(e) == hoLiteral) {
                bits >>= HuffBits(e);
                count -= HuffBits(e);
                *out++ = static_cast<std::uint8_t>(HuffValue(e));
            }
            continue;
        }
        if (!(op & hoBase)) {
            if (op & hoEnd)
                FMode = imBlockHeader;
            else
                error = zeInvalidLitLenCode;
            break;
        }
        unsigned extra = op & 0x0F;
        const std::uint32_t length =
            HuffValue(e) + static_cast<std::uint32_t>(bits & LowMask(extra));
        bits >>= extra;
        count -= extra;

        e = dt[bits & dmask];
        if (HuffOp(e) & hoLink) {
            bits >>= droot;
            count -= droot;
            e = dt[HuffValue(e) + (bits & LowMask(HuffOp(e) & 0x0F))];
        }
        bits >>= HuffBits(e);
        count -= HuffBits(e);
        op = HuffOp(e);
        if (!(op & hoBase)) {
            error = zeInvalidDistanceCode;
            break;
        }
        extra = op & 0x0F;
        const std::uint32_t dist = HuffValue(e) + static_cast<std::uint32_t>(bits & LowMask(extra));
        bits >>= extra;
        count -= extra;
        if (static_cast<std::int64_t>(dist) > historyBefore + (out - outStart)) {
            error = zeDistanceTooFar;
            break;
        }

        const std::uint8_t* from = out - dist;
        std::uint8_t* const end = out + length;
        if (dist >= 8) {
            // Eight bytes at a time; may write up to 7 bytes past the match,
            // into window space that is free and covered by the slack.
            do {
                std::memcpy(out, from, 8);
                out += 8;
                from += 8;
            } while (out < end);
        } else if (dist == 1) {
            std::memset(out, *from, length);
        } else {
            do {
                *out++ = *from++;
            } while (out < end);
        }
        out = end;
    }

    // Give back the whole bytes read ahead, but only those of this input:
    // older bits stay in the accumulator.
    const unsigned giveBack =
        std::min<unsigned>(count >> 3, static_cast<unsigned>(next - entryNext));
    next -= giveBack;
    count -= giveBack * 8;
    bits &= LowMask(count);
    FInput.SetCursor({next, c.End, bits, count});
    FOutputWindow.Advance(static_cast<std::int32_t>(out - outStart));
    if (error) RaiseZLibError(error);
}
