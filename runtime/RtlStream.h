// Byte streams: the abstract seekable TStream and the in-memory streams.
#pragma once

#include "RtlEncoding.h"
#include "RtlString.h"

#include <cstdint>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
    virtual ~TStream();

    // Transfer up to `count` bytes; the result is the count actually moved
    // (0 at the end of the data).
    virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
    virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
    // Moves the position and returns the new one.
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

    std::int64_t GetPosition() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(std::int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
    virtual std::int64_t GetSize();
    // Streams that cannot change their size raise EStreamError.
    virtual void SetSize(std::int64_t size);

    // Exact transfers: a short read raises EReadError ("Stream read error"), a
    // short write EWriteError ("Stream write error").
    void ReadBuffer(void* buffer, std::int64_t count);
    void WriteBuffer(const void* buffer, std::int64_t count);
    void WriteBytes(const TBytes& bytes) { WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size())); }

    // Copies `count` bytes from the source's position. A count of 0 copies the
    // whole source from its start. Returns the number of bytes copied; a short
    // source raises EReadError.
    std::int64_t CopyFrom(TStream& source, std::int64_t count);

    // Reads everything from the current position to the end.
    TBytes ReadAll();
};

// A stream over one contiguous block of memory.
class TCustomMemoryStream : public TStream {
public:
    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t GetSize() override { return FSize; }

    std::uint8_t* Memory() { return FMemory; }
    const std::uint8_t* Memory() const { return FMemory; }

    void SaveToStream(TStream& stream);
    void SaveToFile(StringView fileName);

protected:
    void SetPointer(std::uint8_t* memory, std::int64_t size);
    std::uint8_t* FMemory = nullptr;
    std::int64_t FSize = 0;
    std::int64_t FPosition = 0;
};

// A growable memory stream; writing past the end extends it.
class TMemoryStream : public TCustomMemoryStream {
public:
    TMemoryStream() = default;
    ~TMemoryStream() override;
    TMemoryStream(const TMemoryStream&) = delete;
    TMemoryStream& operator=(const TMemoryStream&) = delete;

    std::int64_t Write(const void* buffer, std::int64_t count) override;
    void SetSize(std::int64_t size) override;
    void Clear();
    void LoadFromStream(TStream& stream);
    void LoadFromFile(StringView fileName);

protected:
    virtual std::uint8_t* Realloc(std::int64_t& capacity);
    std::int64_t FCapacity = 0;

private:
    void SetCapacity(std::int64_t capacity);
};

// A memory stream whose storage is a byte vector.
class TBytesStream : public TMemoryStream {
public:
    explicit TBytesStream(TBytes bytes = {});
    ~TBytesStream() override;
    // The stored bytes; the vector may be longer than Size (capacity slack).
    const TBytes& Bytes() const { return FBytes; }
    // The stored bytes cut to Size.
    TBytes DataBytes() const;

protected:
    std::uint8_t* Realloc(std::int64_t& capacity) override;

private:
    TBytes FBytes;
};

// A byte stream with a text encoding: text written is encoded, DataString
// decodes all bytes. The encoding defaults to the ANSI code page; a caller may
// hand over ownership of an encoding it created.
class TStringStream : public TBytesStream {
public:
    TStringStream();
    explicit TStringStream(StringView text, TEncoding* encoding = nullptr, bool ownsEncoding = false);
    TStringStream(TEncoding* encoding, bool ownsEncoding);
    ~TStringStream() override;

    TEncoding* Encoding() const { return FEncoding; }
    String DataString() const;
    // Reads `count` bytes from the position and decodes them.
    String ReadString(std::int64_t count);
    void WriteString(StringView text);

private:
    TEncoding* FEncoding;
    bool FOwnsEncoding;
};
