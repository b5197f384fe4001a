// Robustness target for the gzip stream: arbitrary bytes written in arbitrary
// pieces. Whatever the data, the result must not depend on how it was split:
// the same output, and the same error code if it is rejected.
#include "RtlStream.h"
#include "clZLibStreams.h"

#include <cstdint>
#include <cstdlib>

namespace {

struct Result {
    std::int32_t Error = 0;
    TBytes Out;
    std::int32_t Members = 0;
};

Result Run(const std::uint8_t* data, std::size_t size, std::uint32_t seed) {
    Result r;
    TBytesStream dest;
    TclGZipInflateStream gz(dest);
    std::size_t pos = 0;
    try {
        while (pos < size) {
            std::size_t n = size - pos;
            if (seed) {
                seed = seed * 1103515245u + 12345u;
                n = std::min<std::size_t>(n, 1 + (seed >> 16) % 23);
            }
            if (gz.Write(data + pos, static_cast<std::int64_t>(n)) != static_cast<std::int64_t>(n))
                std::abort();
            pos += n;
        }
        if (gz.GetPosition() != static_cast<std::int64_t>(size)) std::abort();
    } catch (const EclZLibError& e) {
        r.Error = e.ErrorCode();
    }
    r.Out = dest.DataBytes();
    r.Members = gz.MembersCompleted();
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint32_t seed = data[0] | 0x100u;
    const Result whole = Run(data + 1, size - 1, 0);
    const Result split = Run(data + 1, size - 1, seed);
    if (whole.Error != split.Error || whole.Members != split.Members) std::abort();
    // On an error, output still in the window when it was found is lost, and
    // how much that is depends on the split.
    if (!whole.Error && whole.Out != split.Out) std::abort();
    return 0;
}
