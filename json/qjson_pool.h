// A pool of equal-sized blocks for the nodes of JSON documents. A document is
// made of many small nodes that are created and released together, which the
// general heap handles poorly; the pool hands out blocks carved from large
// chunks and keeps released blocks in a free list for reuse.
//
// Each thread has its own pool, so no locking is needed. A block may be freed
// on another thread than the one that made it: it then joins that thread's
// free list. Chunks are never returned to the system; a process keeps the
// peak number of nodes it had alive.
//
// Under AddressSanitizer the pool passes every request to the general heap,
// so that use after release is still caught.
#pragma once

#include <cstddef>

class TQBlockPool {
public:
    void* Alloc();
    void Free(void* p) noexcept;

    // The calling thread's pool for blocks of BlockSize bytes.
    template <std::size_t BlockSize> static TQBlockPool& ForThread() {
        // Trivially destructible on purpose: nodes alive at thread exit may
        // still be released later.
        static thread_local TQBlockPool pool{BlockSize};
        return pool;
    }

    std::size_t FBlockSize;
    void* FFree = nullptr;
    char* FNext = nullptr;
    char* FEnd = nullptr;

private:
    void NewChunk();
};
