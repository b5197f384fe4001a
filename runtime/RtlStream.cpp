#include "RtlStream.h"

#include "RtlException.h"
#include "RtlFileStream.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

TStream::~TStream() = default;

std::int64_t TStream::GetSize() {
    const std::int64_t position = Seek(0, TSeekOrigin::soCurrent);
    const std::int64_t size = Seek(0, TSeekOrigin::soEnd);
    Seek(position, TSeekOrigin::soBeginning);
    return size;
}

void TStream::SetSize(std::int64_t) { throw EStreamError(u"Stream size cannot be changed"); }

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
    if (count <= 0) return;
    std::int64_t done = 0;
    auto* p = static_cast<std::uint8_t*>(buffer);
    while (done < count) {
        const std::int64_t n = Read(p + done, count - done);
        if (n <= 0) throw EReadError(u"Stream read error");
        done += n;
    }
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
    if (count <= 0) return;
    std::int64_t done = 0;
    const auto* p = static_cast<const std::uint8_t*>(buffer);
    while (done < count) {
        const std::int64_t n = Write(p + done, count - done);
        if (n <= 0) throw EWriteError(u"Stream write error");
        done += n;
    }
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.GetSize();
    }
    constexpr std::int64_t kChunk = 64 * 1024;
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min(count, kChunk)) + 1);
    std::int64_t left = count;
    while (left > 0) {
        const std::int64_t n = std::min(left, kChunk);
        source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        left -= n;
    }
    return count;
}

TBytes TStream::ReadAll() {
    TBytes out;
    std::uint8_t buffer[16384];
    for (;;) {
        const std::int64_t n = Read(buffer, sizeof buffer);
        if (n <= 0) break;
        out.insert(out.end(), buffer, buffer + n);
    }
    return out;
}

// --- memory streams --------------------------------------------------------

void TCustomMemoryStream::SetPointer(std::uint8_t* memory, std::int64_t size) {
    FMemory = memory;
    FSize = size;
}

std::int64_t TCustomMemoryStream::Read(void* buffer, std::int64_t count) {
    if (FPosition < 0 || count <= 0) return 0;
    const std::int64_t n = std::min(count, FSize - FPosition);
    if (n <= 0) return 0;
    std::memcpy(buffer, FMemory + FPosition, static_cast<std::size_t>(n));
    FPosition += n;
    return n;
}

std::int64_t TCustomMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    switch (origin) {
    case TSeekOrigin::soBeginning: FPosition = offset; break;
    case TSeekOrigin::soCurrent: FPosition += offset; break;
    case TSeekOrigin::soEnd: FPosition = FSize + offset; break;
    }
    return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream& stream) { stream.WriteBuffer(FMemory, FSize); }

void TCustomMemoryStream::SaveToFile(StringView fileName) {
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}

TMemoryStream::~TMemoryStream() { std::free(FMemory); }

std::uint8_t* TMemoryStream::Realloc(std::int64_t& capacity) {
    // Grow in 8 KiB steps so that appending byte by byte stays linear.
    if (capacity > 0 && capacity != FSize) capacity = (capacity + 0x1FFF) & ~std::int64_t(0x1FFF);
    if (capacity == FCapacity) return FMemory;
    if (capacity == 0) {
        std::free(FMemory);
        return nullptr;
    }
    auto* p = static_cast<std::uint8_t*>(std::realloc(FMemory, static_cast<std::size_t>(capacity)));
    if (!p) throw EStreamError(u"Out of memory while expanding memory stream");
    return p;
}

void TMemoryStream::SetCapacity(std::int64_t capacity) {
    std::uint8_t* p = Realloc(capacity);
    FMemory = p;
    FCapacity = capacity;
}

void TMemoryStream::SetSize(std::int64_t size) {
    if (size < 0) throw EStreamError(u"Invalid stream size");
    const std::int64_t old = FSize;
    if (size > FCapacity) SetCapacity(size);
    FSize = size;
    if (size > old) std::memset(FMemory + old, 0, static_cast<std::size_t>(size - old));
    if (FPosition > size) FPosition = size;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
    // A position sought far past the end must not overflow the end offset.
    if (FPosition < 0 || count <= 0 || count > INT64_MAX - FPosition) return 0;
    const std::int64_t end = FPosition + count;
    if (end > FSize) {
        if (end > FCapacity) {
            // Geometric growth keeps many small writes linear overall.
            SetCapacity(std::max(end, FCapacity + FCapacity / 2));
        }
        if (FPosition > FSize) std::memset(FMemory + FSize, 0, static_cast<std::size_t>(FPosition - FSize));
        FSize = end;
    }
    std::memcpy(FMemory + FPosition, buffer, static_cast<std::size_t>(count));
    FPosition = end;
    return count;
}

void TMemoryStream::Clear() {
    SetCapacity(0);
    FSize = 0;
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
    stream.SetPosition(0);
    const std::int64_t count = stream.GetSize();
    SetSize(count);
    if (count) stream.ReadBuffer(FMemory, count);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(StringView fileName) {
    TFileStream file(fileName, fmOpenRead);
    LoadFromStream(file);
}

TBytesStream::TBytesStream(TBytes bytes) : FBytes(std::move(bytes)) {
    FMemory = FBytes.data();
    FSize = FCapacity = static_cast<std::int64_t>(FBytes.size());
}

TBytesStream::~TBytesStream() { FMemory = nullptr; } // the vector frees the storage

std::uint8_t* TBytesStream::Realloc(std::int64_t& capacity) {
    if (capacity > 0 && capacity != FSize) capacity = (capacity + 0x1FFF) & ~std::int64_t(0x1FFF);
    FBytes.resize(static_cast<std::size_t>(capacity));
    return FBytes.data();
}

TBytes TBytesStream::DataBytes() const {
    return TBytes(FBytes.begin(), FBytes.begin() + static_cast<std::ptrdiff_t>(FSize));
}

TStringStream::TStringStream() : TStringStream(u"", nullptr, false) {}

TStringStream::TStringStream(StringView text, TEncoding* encoding, bool ownsEncoding)
    : TBytesStream((encoding ? encoding : TEncoding::Default())->GetBytes(text)),
      FEncoding(encoding ? encoding : TEncoding::Default()),
      FOwnsEncoding(encoding && ownsEncoding) {}

TStringStream::TStringStream(TEncoding* encoding, bool ownsEncoding)
    : TStringStream(u"", encoding, ownsEncoding) {}

TStringStream::~TStringStream() {
    if (FOwnsEncoding && !TEncoding::IsStandardEncoding(FEncoding)) delete FEncoding;
}

String TStringStream::DataString() const {
    return FEncoding->GetString(Memory(), static_cast<std::size_t>(FSize));
}

String TStringStream::ReadString(std::int64_t count) {
    const std::int64_t n = std::max<std::int64_t>(0, std::min(count, FSize - FPosition));
    String s = FEncoding->GetString(Memory() + FPosition, static_cast<std::size_t>(n));
    FPosition += n;
    return s;
}

void TStringStream::WriteString(StringView text) { WriteBytes(FEncoding->GetBytes(text)); }
