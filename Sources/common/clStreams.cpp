#include "clStreams.h"

#include "RtlString.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr std::uint8_t kCR = 13;
constexpr std::uint8_t kLF = 10;
// The size must fit a signed 32-bit number: larger chunks could never be
// passed on, and a connection waiting for one would stall.
constexpr std::uint32_t kMaxChunkSize = 0x7FFFFFFF;

} // namespace

// --- TclChunkedStream -------------------------------------------------------

TclChunkedStream::TclChunkedStream(TStream& destination) : FDestination(destination) {}

void TclChunkedStream::Fail() {
    FState = TState::Failed;
    throw EclStreamError(u"Invalid chunk size");
}

std::int64_t TclChunkedStream::Write(const void* buffer, std::int64_t count) {
    if (count <= 0) return 0;
    FTotalWritten += count;
    if (FState == TState::Failed) Fail();
    const auto* p = static_cast<const std::uint8_t*>(buffer);
    auto left = static_cast<std::size_t>(count);
    while (left > 0 && FState != TState::Done) {
        std::size_t used = 0;
        switch (FState) {
        case TState::SizeDigits:
        case TState::SizeExtension:
            used = ReadSizeLine(p, left);
            break;
        case TState::Data:
            used = PassData(p, left);
            break;
        case TState::DataCR:
        case TState::DataLF:
            used = ReadDataEnd(p, left);
            break;
        case TState::Trailer:
            used = ReadTrailer(p, left);
            break;
        case TState::Done:
        case TState::Failed:
            break;
        }
        p += used;
        left -= used;
    }
    return count;
}

// Size line: hexadecimal digits, then anything (a chunk extension, the CR) up
// to the LF. The digits may arrive split over several writes.
std::size_t TclChunkedStream::ReadSizeLine(const std::uint8_t* p, std::size_t n) {
    std::size_t i = 0;
    while (i < n) {
        const std::uint8_t c = p[i++];
        if (c == kLF) {
            EndSizeLine();
            return i;
        }
        if (FState == TState::SizeExtension) continue;
        const int digit = HexDigitValue(c);
        if (digit < 0) {
            FState = TState::SizeExtension;
            continue;
        }
        if (FChunkSize > (kMaxChunkSize >> 4)) Fail();
        FChunkSize = (FChunkSize << 4) | static_cast<std::uint32_t>(digit);
        FHasSizeDigits = true;
    }
    return i;
}

void TclChunkedStream::EndSizeLine() {
    // A line without digits would otherwise read as the last chunk and end
    // the body early, leaving the rest of it in the connection.
    if (!FHasSizeDigits) Fail();
    FHasSizeDigits = false;
    FChunkWritten = 0;
    if (FChunkSize == 0) {
        FState = TState::Trailer;
        FTrailerLineEmpty = true;
    } else {
        FState = TState::Data;
    }
}

std::size_t TclChunkedStream::PassData(const std::uint8_t* p, std::size_t n) {
    const std::size_t take = std::min<std::size_t>(FChunkSize - FChunkWritten, n);
    FDestination.WriteBuffer(p, static_cast<std::int64_t>(take));
    FChunkWritten += static_cast<std::uint32_t>(take);
    if (FChunkWritten == FChunkSize) FState = TState::DataCR;
    return take;
}

// Exactly CR LF follows the payload; anything else means the size was wrong.
std::size_t TclChunkedStream::ReadDataEnd(const std::uint8_t* p, std::size_t n) {
    std::size_t i = 0;
    if (FState == TState::DataCR && i < n) {
        if (p[i++] != kCR) Fail();
        FState = TState::DataLF;
    }
    if (FState == TState::DataLF && i < n) {
        if (p[i++] != kLF) Fail();
        FState = TState::SizeDigits;
        FChunkSize = 0;
    }
    return i;
}

// Trailer lines are consumed through the empty line (CR LF or a bare LF) so
// that the next response on the connection starts where the reader expects.
std::size_t TclChunkedStream::ReadTrailer(const std::uint8_t* p, std::size_t n) {
    std::size_t i = 0;
    while (i < n) {
        const std::uint8_t c = p[i++];
        if (c == kLF) {
            if (FTrailerLineEmpty) {
                FState = TState::Done;
                return i;
            }
            FTrailerLineEmpty = true;
        } else if (c != kCR) {
            FTrailerLineEmpty = false;
        }
    }
    return i;
}

std::int64_t TclChunkedStream::Read(void*, std::int64_t) {
    return 0;
}

std::int64_t TclChunkedStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    std::int64_t target = offset;
    if (origin != TSeekOrigin::soBeginning) target = offset + FTotalWritten;
    if (target != FTotalWritten) throw EclStreamError(u"Invalid Stream operation");
    return target;
}

void TclChunkedStream::SetSize(std::int64_t) {}

// --- TclNonPersistentStream -------------------------------------------------

std::int64_t TclNonPersistentStream::Read(void* buffer, std::int64_t count) {
    if (FPosition < 0 || count <= 0 || FPosition >= FSize) return 0;
    const std::int64_t n = std::min(count, FSize - FPosition);
    std::memset(buffer, 0, static_cast<std::size_t>(n));
    FPosition += n;
    return n;
}

std::int64_t TclNonPersistentStream::Write(const void*, std::int64_t count) {
    if (FPosition < 0 || count < 0) return 0;
    if (count > std::numeric_limits<std::int64_t>::max() - FPosition) return 0;
    const std::int64_t position = FPosition + count;
    if (position <= 0) return 0;
    FSize = std::max(FSize, position);
    FPosition = position;
    return count;
}

std::int64_t TclNonPersistentStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    switch (origin) {
    case TSeekOrigin::soBeginning:
        FPosition = offset;
        break;
    case TSeekOrigin::soCurrent:
        FPosition += offset;
        break;
    case TSeekOrigin::soEnd:
        FPosition = FSize + offset;
        break;
    }
    return FPosition;
}

void TclNonPersistentStream::SetSize(std::int64_t size) {
    if (size == FSize) return;
    FSize = size;
    if (FPosition > FSize) FPosition = FSize;
}

// --- TclMultiStream ---------------------------------------------------------

TclMultiStream::TclMultiStream() = default;
TclMultiStream::~TclMultiStream() = default;

void TclMultiStream::AddStream(std::unique_ptr<TStream> stream) {
    if (stream) FList.push_back(std::move(stream));
}

std::int64_t TclMultiStream::GetSize() {
    std::int64_t size = 0;
    for (auto& stream : FList)
        size += stream->GetSize();
    return size;
}

std::int64_t TclMultiStream::Read(void* buffer, std::int64_t count) {
    if (count <= 0 || FPosition < 0) return 0;
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::int64_t done = 0;
    std::int64_t start = 0;
    for (auto& stream : FList) {
        if (done == count) break;
        const std::int64_t size = stream->GetSize();
        if (FPosition >= start + size) {
            start += size;
            continue;
        }
        stream->Seek(FPosition - start, TSeekOrigin::soBeginning);
        while (done < count && FPosition < start + size) {
            const std::int64_t n =
                stream->Read(out + done, std::min(count - done, start + size - FPosition));
            // A part that delivers less than its size announced (a file cut
            // short meanwhile) ends the read: skipping ahead would shift every
            // later byte.
            if (n <= 0) return done;
            done += n;
            FPosition += n;
        }
        start += size;
    }
    return done;
}

std::int64_t TclMultiStream::Write(const void*, std::int64_t) {
    return 0;
}

std::int64_t TclMultiStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    const std::int64_t size = GetSize();
    std::int64_t position = offset;
    if (origin == TSeekOrigin::soCurrent) position = FPosition + offset;
    if (origin == TSeekOrigin::soEnd) position = size + offset;
    FPosition = std::clamp<std::int64_t>(position, 0, size);
    return FPosition;
}

void TclMultiStream::SetSize(std::int64_t) {}
