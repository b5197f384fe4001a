// Small streams of the HTTP engine: the chunked transfer decoder (a write-only
// filter), a stream that only counts, and a read-only concatenation of streams.
#pragma once

#include "RtlException.h"
#include "RtlStream.h"

#include <cstdint>
#include <memory>
#include <vector>

RTL_EXCEPTION(EclStreamError, Exception);

// Decodes a body sent with the "chunked" transfer coding. The engine writes
// the raw bytes from the connection into it; the payload of every chunk goes
// to the destination. Malformed framing raises EclStreamError ("Invalid chunk
// size") because a decoder that guessed would leave a kept-alive connection
// out of step with the server. Every byte up to and including the empty line
// after the trailer is consumed; bytes after that are ignored.
class TclChunkedStream : public TStream {
public:
    explicit TclChunkedStream(TStream& destination);

    // Always accepts the whole buffer (bytes after completion are dropped).
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    // Reading is not supported.
    std::int64_t Read(void* buffer, std::int64_t count) override;
    // Only "seeks" to the current position succeed; Position and Size both
    // read as the number of bytes written so far.
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    void SetSize(std::int64_t size) override;

    // The last chunk and the trailer's closing empty line have been consumed.
    bool IsCompleted() const { return FState == TState::Done; }
    std::int64_t TotalWritten() const { return FTotalWritten; }

private:
    // One state per place a byte can land in the framing:
    //   4;ext=1\r\n  Wiki\r\n  0\r\n  Trailer: x\r\n  \r\n
    //   ^SizeDigits  ^Data     ^SizeDigits ^Trailer    ^Trailer (empty -> Done)
    //    ^SizeExtension ^DataCR/^DataLF
    enum class TState {
        SizeDigits,    // hexadecimal digits of a size line
        SizeExtension, // after the digits: extension or CR, skipped to the LF
        Data,          // payload bytes of a chunk
        DataCR,        // the CR that must follow the payload
        DataLF,        // the LF that must follow it
        Trailer,       // trailer lines after the last chunk, up to the empty line
        Done,          // completed; further bytes are ignored
        Failed         // malformed framing was seen; every write raises
    };

    std::size_t ReadSizeLine(const std::uint8_t* p, std::size_t n);
    std::size_t PassData(const std::uint8_t* p, std::size_t n);
    std::size_t ReadDataEnd(const std::uint8_t* p, std::size_t n);
    std::size_t ReadTrailer(const std::uint8_t* p, std::size_t n);
    void EndSizeLine();
    [[noreturn]] void Fail();

    TState FState = TState::SizeDigits;
    bool FHasSizeDigits = false;
    std::uint32_t FChunkSize = 0;
    std::uint32_t FChunkWritten = 0;
    bool FTrailerLineEmpty = true; // no byte but CR seen on this trailer line yet
    TStream& FDestination;
    std::int64_t FTotalWritten = 0;
};

// Keeps no bytes: only a size and a position. Serves as an empty request body
// and as a sink for response bodies nobody asked for. Reads yield zero bytes
// rather than leaving the caller's buffer as it was.
class TclNonPersistentStream : public TStream {
public:
    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t GetSize() override { return FSize; }
    void SetSize(std::int64_t size) override;

private:
    std::int64_t FPosition = 0;
    std::int64_t FSize = 0;
};

// Several owned streams read as one, in order, without copying them. The size
// is the sum of the parts' current sizes.
class TclMultiStream : public TStream {
public:
    TclMultiStream();
    ~TclMultiStream() override;
    TclMultiStream(const TclMultiStream&) = delete;
    TclMultiStream& operator=(const TclMultiStream&) = delete;

    void AddStream(std::unique_ptr<TStream> stream);
    std::size_t StreamCount() const { return FList.size(); }

    std::int64_t Read(void* buffer, std::int64_t count) override;
    // Writing is not supported.
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    // The result is clamped to 0 .. Size.
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t GetSize() override;
    void SetSize(std::int64_t size) override;

private:
    std::int64_t FPosition = 0;
    std::vector<std::unique_ptr<TStream>> FList;
};
