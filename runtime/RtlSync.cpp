#include "RtlSync.h"

TCriticalSection::TCriticalSection() = default;

TCriticalSection::~TCriticalSection() = default;

void TCriticalSection::Enter() {
    FMutex.lock();
}

void TCriticalSection::Leave() {
    FMutex.unlock();
}

bool TCriticalSection::TryEnter() {
    return FMutex.try_lock();
}
