// Locks. The system runs on one thread; the locks that some objects keep
// (cookie store, authorization registry, ...) are recursive so that nested
// calls on that thread never block.
#pragma once

#include <mutex>

class TCriticalSection {
public:
    TCriticalSection();
    ~TCriticalSection();
    TCriticalSection(const TCriticalSection&) = delete;
    TCriticalSection& operator=(const TCriticalSection&) = delete;

    void Enter();
    void Leave();
    bool TryEnter();
    void Acquire() { Enter(); }
    void Release() { Leave(); }

private:
    std::recursive_mutex FMutex;
};

// Holds a critical section for the lifetime of the guard.
class TCriticalSectionGuard {
public:
    explicit TCriticalSectionGuard(TCriticalSection& section) : FSection(section) {
        FSection.Enter();
    }
    ~TCriticalSectionGuard() { FSection.Leave(); }
    TCriticalSectionGuard(const TCriticalSectionGuard&) = delete;
    TCriticalSectionGuard& operator=(const TCriticalSectionGuard&) = delete;

private:
    TCriticalSection& FSection;
};
