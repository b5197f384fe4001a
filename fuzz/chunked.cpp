// Chunked transfer decoding of arbitrary bytes. The first byte seeds the
// sizes of the writes; the decoded body must not depend on them, and the only
// failure allowed is the decoder's own framing error.
#include "clStreams.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

struct TOutcome {
    TBytes Body;
    bool Failed = false;
    bool Completed = false;
};

TOutcome Run(const std::uint8_t* data, std::size_t size, std::uint8_t seed) {
    TOutcome outcome;
    TBytesStream body;
    TclChunkedStream chunked(body);
    std::size_t at = 0;
    std::uint32_t state = seed | 1u;
    try {
        while (at < size) {
            std::size_t step = size - at;
            if (seed != 0) {
                state = state * 1103515245u + 12345u;
                step = std::min<std::size_t>(step, 1 + (state >> 16) % 17);
            }
            if (chunked.Write(data + at, static_cast<std::int64_t>(step)) !=
                static_cast<std::int64_t>(step))
                std::abort();
            at += step;
        }
    } catch (const EclStreamError&) {
        outcome.Failed = true;
    }
    outcome.Completed = chunked.IsCompleted();
    outcome.Body = body.DataBytes();
    return outcome;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t seed = data[0];
    ++data;
    --size;
    const TOutcome whole = Run(data, size, 0);
    const TOutcome split = Run(data, size, seed);
    if (whole.Body.size() > size) std::abort();
    if (whole.Failed != split.Failed || whole.Completed != split.Completed) std::abort();
    // Framing faults are found at the same byte however the input was split,
    // so even a failed decode has passed on the same payload.
    if (whole.Body != split.Body) std::abort();
    return 0;
}
