#include "clZLibBuffer.h"

#include "clZLibBase.h"

#include <algorithm>
#include <cstring>

namespace {

// Room for two windows of output before the history has to slide (a larger
// buffer slides less often but is slower: the decoder then sweeps more memory
// than the caches hold), plus slack for the fast loop's word-sized copies that may run a little
// past the end of a match.
constexpr std::int32_t kLinearSize = 3 * TclOutputWindow::WindowSize;
constexpr std::int32_t kSlack = 64;

} // namespace

void TclInflateBuffer::SetInput(const std::uint8_t* ABuffer, std::int32_t AOffset,
                                std::int32_t ALen) {
    if (FWindow_start != FWindow_end) RaiseZLibError(zeOldInputNotProcessed);
    if (AOffset < 0 || ALen < 0 || AOffset > INT32_MAX - ALen) RaiseZLibError(zeArgumentOutOfRange);
    if (ALen > 0 && !ABuffer) RaiseZLibError(zeArgumentOutOfRange);
    FWindow_start = ALen ? ABuffer + AOffset : nullptr;
    FWindow_end = ALen ? FWindow_start + ALen : nullptr;
}

void TclInflateBuffer::Reset() {
    FWindow_start = FWindow_end = nullptr;
    FBuffer = 0;
    FBits_in_buffer = 0;
}

std::int32_t TclInflateBuffer::CopyBytes(std::uint8_t* ADest, std::int32_t ALen) {
    if (FBits_in_buffer & 7) RaiseZLibError(zeNotByteAligned);
    std::int32_t done = 0;
    while (done < ALen && FBits_in_buffer > 0) {
        ADest[done++] = static_cast<std::uint8_t>(FBuffer);
        DropBits(8);
    }
    const std::int32_t n =
        std::min<std::int32_t>(ALen - done, static_cast<std::int32_t>(FWindow_end - FWindow_start));
    if (n > 0) {
        std::memcpy(ADest + done, FWindow_start, static_cast<std::size_t>(n));
        FWindow_start += n;
        done += n;
    }
    return done;
}

TclOutputWindow::TclOutputWindow() : FWindow(new std::uint8_t[kLinearSize + kSlack]()) {}

void TclOutputWindow::Reset() {
    FWindowEnd = 0;
    FWindowFilled = 0;
    FHistory = 0;
}

void TclOutputWindow::Prepare() {
    if (kLinearSize - FWindowEnd >= WindowSize) return;
    // The waiting bytes are the newest ones, so they are within the window
    // that slides.
    std::memmove(FWindow.get(), FWindow.get() + FWindowEnd - WindowSize, WindowSize);
    FWindowEnd = WindowSize;
}

void TclOutputWindow::Write(std::uint8_t AValue) {
    if (FWindowFilled >= WindowSize) RaiseZLibError(zeWindowFull);
    FWindow[static_cast<std::size_t>(FWindowEnd)] = AValue;
    Advance(1);
}

void TclOutputWindow::Repeat(std::int32_t ALen, std::int32_t ADist) {
    if (ADist <= 0 || ADist > FHistory) RaiseZLibError(zeDistanceTooFar);
    if (FWindowFilled + ALen > WindowSize) RaiseZLibError(zeWindowFull);
    std::uint8_t* out = WritePointer();
    const std::uint8_t* from = out - ADist;
    for (std::int32_t i = 0; i < ALen; ++i)
        out[i] = from[i];
    Advance(ALen);
}

std::int32_t TclOutputWindow::CopyStored(TclInflateBuffer& AInput, std::int32_t ALen) {
    const std::int32_t n = AInput.CopyBytes(WritePointer(), std::min(ALen, GetFreeSpace()));
    Advance(n);
    return n;
}

void TclOutputWindow::SetDictionary(const std::uint8_t* ABuffer, std::int32_t ALen) {
    const std::int32_t n = std::min(ALen, WindowSize);
    Prepare();
    if (n > 0) std::memcpy(WritePointer(), ABuffer + (ALen - n), static_cast<std::size_t>(n));
    FWindowEnd += n;
    FHistory += n;
}

std::int32_t TclOutputWindow::CopyOutput(std::uint8_t* ADest, std::int32_t ALen) {
    const std::uint8_t* data = TakeOutput(ALen);
    if (ALen > 0) std::memcpy(ADest, data, static_cast<std::size_t>(ALen));
    return ALen;
}

const std::uint8_t* TclOutputWindow::TakeOutput(std::int32_t ALen) {
    if (ALen < 0 || ALen > FWindowFilled) RaiseZLibError(zeInvalidOperation);
    const std::uint8_t* data = FWindow.get() + (FWindowEnd - FWindowFilled);
    FWindowFilled -= ALen;
    return data;
}
