#include "clZLibStreams.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::int32_t kOutputPiece = 16384;
// The inflater takes 32-bit lengths; larger writes are fed in slices.
constexpr std::int64_t kMaxSlice = std::int64_t(1) << 30;

enum : std::uint8_t {
    gfHeaderCrc = 0x02,
    gfExtra = 0x04,
    gfName = 0x08,
    gfComment = 0x10,
};

constexpr std::uint8_t kGZipId1 = 0x1F;
constexpr std::uint8_t kGZipId2 = 0x8B;

std::uint32_t LoadLE32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

} // namespace

TclGZipInflateStream::TclGZipInflateStream(TStream& ADestination)
    : FInflater(std::make_unique<TclInflater>(true)), FDestination(ADestination) {}

TclGZipInflateStream::~TclGZipInflateStream() = default;

std::int64_t TclGZipInflateStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
    const std::int64_t target =
        Origin == TSeekOrigin::soBeginning ? Offset : Offset + FTotalWritten;
    if (target != FTotalWritten) RaiseZLibError(zeInvalidStreamOperation);
    return target;
}

bool TclGZipInflateStream::Collect(const std::uint8_t* ABuffer, std::int64_t& APos,
                                   std::int64_t ACount, std::int32_t ANeed) {
    const std::int64_t n = std::min<std::int64_t>(ANeed - FRawDataSize, ACount - APos);
    std::memcpy(FRawData + FRawDataSize, ABuffer + APos, static_cast<std::size_t>(n));
    FRawDataSize += static_cast<std::int32_t>(n);
    APos += n;
    return FRawDataSize == ANeed;
}

void TclGZipInflateStream::NextHeaderField(TGZipState AFrom) {
    // The fields follow each other in this order; absent ones are passed over.
    static constexpr struct {
        TGZipState State;
        std::uint8_t Flag;
    } kFields[] = {{gsExtraLength, gfExtra},
                   {gsName, gfName},
                   {gsComment, gfComment},
                   {gsHeaderCrc, gfHeaderCrc}};
    std::size_t i = 0;
    while (i < std::size(kFields) && kFields[i].State <= AFrom)
        ++i;
    for (; i < std::size(kFields); ++i) {
        if (FFlags & kFields[i].Flag) {
            FState = kFields[i].State;
            FRawDataSize = 0;
            return;
        }
    }
    StartContent();
}

void TclGZipInflateStream::StartContent() {
    FInflater->Reset();
    FFileCrc.Reset();
    FFileSize = 0;
    FRawDataSize = 0;
    FState = gsContent;
}

std::int64_t TclGZipInflateStream::Write(const void* Buffer, std::int64_t Count) {
    if (Count <= 0) return 0;
    FTotalWritten += Count;
    const auto* buf = static_cast<const std::uint8_t*>(Buffer);
    std::int64_t p = 0;
    while (p < Count) {
        switch (FState) {
        case gsHeader:
            // ID1, ID2, CM, FLG, MTIME, XFL, OS. The first member is taken as
            // gzip whatever its identification bytes say.
            if (!Collect(buf, p, Count, 10)) break;
            FFlags = FRawData[3];
            NextHeaderField(gsHeader);
            break;
        case gsExtraLength:
            if (!Collect(buf, p, Count, 2)) break;
            FSkipLeft = std::uint32_t(FRawData[0]) | std::uint32_t(FRawData[1]) << 8;
            FState = gsExtra;
            [[fallthrough]];
        case gsExtra: {
            const std::int64_t n = std::min<std::int64_t>(FSkipLeft, Count - p);
            FSkipLeft -= static_cast<std::uint32_t>(n);
            p += n;
            if (FSkipLeft == 0) NextHeaderField(gsExtraLength);
            break;
        }
        case gsName:
        case gsComment: {
            const void* zero = std::memchr(buf + p, 0, static_cast<std::size_t>(Count - p));
            if (!zero) {
                p = Count;
                break;
            }
            p = static_cast<const std::uint8_t*>(zero) - buf + 1;
            NextHeaderField(FState);
            break;
        }
        case gsHeaderCrc:
            if (!Collect(buf, p, Count, 2)) break;
            StartContent();
            break;
        case gsContent:
            p = DecodeContent(buf, p, Count);
            break;
        case gsTrailer:
            if (!Collect(buf, p, Count, 8)) break;
            CheckTrailer();
            FRawDataSize = 0;
            FState = gsNextMember;
            break;
        case gsNextMember:
            // Another member follows only if it starts like one; anything else
            // after a complete member (padding, junk) is ignored.
            FRawData[FRawDataSize++] = buf[p++];
            if (FRawData[FRawDataSize - 1] != (FRawDataSize == 1 ? kGZipId1 : kGZipId2)) {
                FState = gsDone;
            } else if (FRawDataSize == 2) {
                FState = gsHeader;
            }
            break;
        case gsDone:
            p = Count;
            break;
        }
    }
    return Count;
}

std::int64_t TclGZipInflateStream::DecodeContent(const std::uint8_t* ABuffer, std::int64_t APos,
                                                 std::int64_t ACount) {
    while (APos < ACount) {
        const auto len = static_cast<std::int32_t>(std::min(ACount - APos, kMaxSlice));
        FInflater->SetInput(ABuffer + APos, 0, len);
        PassOutput();
        if (FInflater->IsFinished()) {
            const std::int32_t rest = FInflater->RemainingInput();
            // Unread bytes can only be bytes of this input.
            if (rest > len) RaiseZLibError(zeUnknownError);
            FRawDataSize = 0;
            FState = gsTrailer;
            return APos + len - rest;
        }
        APos += len;
    }
    return APos;
}

// Hands every byte the inflater can produce from its input to the destination,
// so nothing decoded waits for a later write.
void TclGZipInflateStream::PassOutput() {
    for (;;) {
        const std::uint8_t* data = nullptr;
        const std::int32_t n = FInflater->InflateInPlace(data, kOutputPiece);
        if (n > 0) {
            FDestination.WriteBuffer(data, n);
            FFileCrc.Update(data, static_cast<std::size_t>(n));
            FFileSize += static_cast<std::uint32_t>(n);
        }
        if (FInflater->IsNeedingDictionary()) RaiseZLibError(zeNeedDictionary);
        if (n < kOutputPiece) return;
    }
}

void TclGZipInflateStream::CheckTrailer() {
    if (LoadLE32(FRawData) != FFileCrc.GetValue()) RaiseZLibError(zeInvalidCrc);
    if (LoadLE32(FRawData + 4) != FFileSize) RaiseZLibError(zeInvalidDataSize);
    ++FMembersCompleted;
}
