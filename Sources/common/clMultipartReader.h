// Splits a multipart body into its parts while the body arrives in pieces of
// any size. The reader knows only the framing: delimiter lines, part header
// blocks and part data; what a part means is up to its events.
#pragma once

#include "RtlString.h"

#include <cstdint>
#include <functional>
#include <string>

class TclMultipartReader {
public:
    // The boundary as bytes, without the leading "--".
    explicit TclMultipartReader(std::string ABoundary);

    void Write(const std::uint8_t* AData, std::size_t ACount);
    // The body ended: a part still open ends with the bytes it has.
    void Finish();
    // The closing delimiter ("--boundary--") was seen.
    bool IsCompleted() const { return FClosed; }

    // A part starts; its header lines without the empty line after them.
    std::function<void(const std::string& AHeader)> OnPartBegin;
    // Bytes of the current part's data, in order.
    std::function<void(const std::uint8_t* AData, std::size_t ACount)> OnPartData;
    std::function<void()> OnPartEnd;

private:
    //   (CR LF)--boundary  padding CR LF  header lines CR LF CR LF  data  CR LF--boundary--
    //   ^Preamble          ^DelimiterEnd  ^Header                   ^Data            ^Done
    //                        ^Padding
    enum class TState {
        Preamble,     // before the first delimiter; bytes are dropped
        DelimiterEnd, // right after a delimiter: "--" closes the body
        Padding,      // the rest of the delimiter line, up to its LF
        Header,       // the part's header lines, up to the empty line
        Data,         // the part's data, up to the next delimiter
        Done          // after the closing delimiter; the epilogue is dropped
    };

    // Each step consumes what it can from FPending and reports whether it
    // moved on; false means it needs more bytes.
    bool Step();
    bool ScanForDelimiter(bool AInPart);

    std::string FDelimiter; // CR LF "--" boundary
    std::string FPending;   // bytes received but not yet consumed
    std::string FHeader;    // CR LF and the header bytes of the current part so far
    std::size_t FHeaderScanned = 0;
    TState FState = TState::Preamble;
    bool FClosed = false;
};
