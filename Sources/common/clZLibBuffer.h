// The two buffers of the inflater: the bit reader over the caller's
// compressed bytes and the output window that holds the recent history.
#pragma once

#include "RtlString.h"

#include <cstdint>
#include <memory>

// The position of the bit reader, handed to the inflater's fast loop so it can
// keep everything in registers and hand it back when it stops.
struct TclBitCursor {
    const std::uint8_t* Next; // next unread input byte
    const std::uint8_t* End;  // one past the last input byte
    std::uint64_t Bits;       // accumulator, least significant bit first
    unsigned Count;           // valid bits in Bits; higher bits are zero
};

// Bit reader over the caller's buffer (never copied). Bits are consumed least
// significant bit first. Bytes are loaded one at a time and only when a read
// needs them, so a read that waits for more input has only ever taken bits it
// is going to consume; those leftover bits are the only ones that can outlive
// the buffer they came from.
class TclInflateBuffer {
public:
    // Hands over the next input. The previous input must have been used up.
    void SetInput(const std::uint8_t* ABuffer, std::int32_t AOffset, std::int32_t ALen);
    void Reset();

    bool IsNeedingInput() const { return FWindow_start == FWindow_end; }
    // Input bytes not consumed yet; whole bytes still in the accumulator count.
    std::int32_t RemainingInput() const {
        return static_cast<std::int32_t>(FWindow_end - FWindow_start) +
               static_cast<std::int32_t>(FBits_in_buffer / 8);
    }
    unsigned AvailableBits() const { return FBits_in_buffer; }

    // Loads whole bytes until `n` bits (at most 56) are held or the input is
    // used up; true when `n` bits are available.
    bool Need(unsigned n) {
        while (FBits_in_buffer < n) {
            if (FWindow_start == FWindow_end) return false;
            FBuffer |= std::uint64_t(*FWindow_start++) << FBits_in_buffer;
            FBits_in_buffer += 8;
        }
        return true;
    }
    // The next `n` bits (n <= 32), which must be available (Need); missing
    // high bits read as zero.
    std::uint32_t PeekBits(unsigned n) const {
        return static_cast<std::uint32_t>(FBuffer & ((std::uint64_t(1) << n) - 1));
    }
    // Bits already loaded, without loading more: for table lookups near the
    // end of the input.
    std::uint64_t PeekAll() const { return FBuffer; }
    void DropBits(unsigned n) {
        FBuffer >>= n;
        FBits_in_buffer -= n;
    }
    void AlignToByte() { DropBits(FBits_in_buffer & 7); }

    // Copies up to `ALen` byte-aligned bytes (stored block data): first those
    // still in the accumulator, then from the input. Returns the count copied.
    std::int32_t CopyBytes(std::uint8_t* ADest, std::int32_t ALen);

    TclBitCursor GetCursor() const {
        return {FWindow_start, FWindow_end, FBuffer, FBits_in_buffer};
    }
    void SetCursor(const TclBitCursor& c) {
        FWindow_start = c.Next;
        FWindow_end = c.End;
        FBuffer = c.Bits;
        FBits_in_buffer = c.Count;
    }

private:
    const std::uint8_t* FWindow_start = nullptr;
    const std::uint8_t* FWindow_end = nullptr;
    std::uint64_t FBuffer = 0;
    unsigned FBits_in_buffer = 0;
};

// The decoder's output history. Logically a 32768-byte window of which
// `FWindowFilled` bytes are produced but not yet copied out; physically a
// longer linear buffer so that a decoding run always writes to contiguous
// memory. When the write position nears the end, the last 32768 bytes slide
// to the front.
class TclOutputWindow {
public:
    static constexpr std::int32_t WindowSize = 32768;
    // The longest output of one deflate symbol.
    static constexpr std::int32_t MaxMatch = 258;

    TclOutputWindow();
    void Reset();

    // Makes the whole free space contiguous; call before a decoding run.
    void Prepare();

    std::int32_t GetFreeSpace() const { return WindowSize - FWindowFilled; }
    std::int32_t GetAvailable() const { return FWindowFilled; }

    void Write(std::uint8_t AValue);
    // Appends `ALen` bytes copied from `ADist` bytes back; overlapping copies
    // repeat the pattern. A distance reaching before the history raises.
    void Repeat(std::int32_t ALen, std::int32_t ADist);
    // Stored block data straight from the input; returns the count copied.
    std::int32_t CopyStored(TclInflateBuffer& AInput, std::int32_t ALen);
    // Places history without producing output (a preset dictionary).
    void SetDictionary(const std::uint8_t* ABuffer, std::int32_t ALen);

    // Hands out up to `ALen` waiting bytes, oldest first.
    std::int32_t CopyOutput(std::uint8_t* ADest, std::int32_t ALen);
    // Hands out `ALen` waiting bytes where they lie; the pointer stays valid
    // until the window is written again.
    const std::uint8_t* TakeOutput(std::int32_t ALen);

    // Raw access for the fast loop: the write pointer, the pointer that the
    // loop must stay below, and how far back a distance may reach.
    std::uint8_t* WritePointer() { return FWindow.get() + FWindowEnd; }
    std::uint8_t* WriteLimit() { return WritePointer() + GetFreeSpace(); }
    std::int64_t History() const { return FHistory; }
    void Advance(std::int32_t n) {
        FWindowEnd += n;
        FWindowFilled += n;
        FHistory += n;
    }

private:
    std::unique_ptr<std::uint8_t[]> FWindow;
    std::int32_t FWindowEnd = 0;    // next write index in the linear buffer
    std::int32_t FWindowFilled = 0; // produced, not yet copied out
    std::int64_t FHistory = 0;      // bytes a distance may reach (dictionary included)
};
