#include "qjson_pool.h"

#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define QJSON_POOL_BYPASS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QJSON_POOL_BYPASS 1
#endif
#endif

namespace {
constexpr std::size_t kChunkSize = 64 * 1024;
}

void TQBlockPool::NewChunk() {
    // Chunks stay for the life of the process (see the header).
    FNext = static_cast<char*>(::operator new(kChunkSize));
    FEnd = FNext + (kChunkSize / FBlockSize) * FBlockSize;
}

void* TQBlockPool::Alloc() {
#ifdef QJSON_POOL_BYPASS
    return ::operator new(FBlockSize);
#else
    if (FFree) {
        void* p = FFree;
        FFree = *static_cast<void**>(p);
        return p;
    }
    if (FNext == FEnd) NewChunk();
    void* p = FNext;
    FNext += FBlockSize;
    return p;
#endif
}

void TQBlockPool::Free(void* p) noexcept {
#ifdef QJSON_POOL_BYPASS
    ::operator delete(p);
#else
    if (!p) return;
    *static_cast<void**>(p) = FFree;
    FFree = p;
#endif
}
