// The gzip content decoder of the HTTP client: a write-only stream that takes
// gzip bytes in pieces of any size and writes the decompressed bytes on to a
// destination stream as soon as they are decoded.
#pragma once

#include "RtlStream.h"
#include "clChecksum.h"
#include "clInflate.h"
#include "clZLibBase.h"

#include <cstdint>
#include <memory>

class TclGZipInflateStream : public TStream {
public:
    // The destination is not owned and must outlive the stream.
    explicit TclGZipInflateStream(TStream& ADestination);
    ~TclGZipInflateStream() override;

    // Always takes all of Count. Invalid data raises EclZLibError; the stream
    // is unusable afterwards.
    std::int64_t Write(const void* Buffer, std::int64_t Count) override;
    std::int64_t Read(void* Buffer, std::int64_t Count) override { return 0; }
    // Only the position at the end of what was written is valid.
    std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
    void SetSize(std::int64_t NewSize) override {}

    // Members whose trailer has been verified.
    std::int32_t MembersCompleted() const { return FMembersCompleted; }

private:
    // Where the next byte belongs. The header fields are parsed one byte run
    // at a time, so nothing but the fixed-size parts is ever collected.
    enum TGZipState {
        gsHeader,      // the 10 fixed header bytes
        gsExtraLength, // FEXTRA: its 2-byte length
        gsExtra,       // FEXTRA: the data, skipped
        gsName,        // FNAME: skipped up to its zero byte
        gsComment,     // FCOMMENT: likewise
        gsHeaderCrc,   // FHCRC: 2 bytes, skipped
        gsContent,     // deflate data
        gsTrailer,     // CRC-32 and size, 8 bytes
        gsNextMember,  // after a trailer: another member, or the end
        gsDone,        // what follows the last member is ignored
    };

    // Moves past `AFrom` to the next header field the flags announce.
    void NextHeaderField(TGZipState AFrom);
    // Collects bytes into FRawData until it holds `ANeed`; true when complete.
    bool Collect(const std::uint8_t* ABuffer, std::int64_t& APos, std::int64_t ACount,
                 std::int32_t ANeed);
    void StartContent();
    std::int64_t DecodeContent(const std::uint8_t* ABuffer, std::int64_t APos, std::int64_t ACount);
    void PassOutput();
    void CheckTrailer();

    std::unique_ptr<TclInflater> FInflater;
    TStream& FDestination;
    TclCrc32 FFileCrc;
    std::uint32_t FFileSize = 0; // modulo 2^32, as the trailer stores it
    std::uint8_t FRawData[10] = {};
    std::int32_t FRawDataSize = 0;
    std::uint8_t FFlags = 0;
    std::uint32_t FSkipLeft = 0;
    TGZipState FState = gsHeader;
    std::int64_t FTotalWritten = 0;
    std::int32_t FMembersCompleted = 0;
};
