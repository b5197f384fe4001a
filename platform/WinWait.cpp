#include "WinWait.h"

#include "WinBackend.h"
#include "WinInternal.h"
#include "WinMessage.h"
#include "WinSystem.h"

#include <algorithm>
#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

using namespace platform;
using namespace platform::win;

namespace {

struct EventObject {
    int Fd = -1;
    bool Manual = false;
    int BoundFd = -1;
    unsigned BoundEvents = 0;
    unsigned BoundReady = 0;
};

std::unordered_map<ULONG_PTR, EventObject>& Events() {
    static std::unordered_map<ULONG_PTR, EventObject> events;
    return events;
}

EventObject* FindEvent(HANDLE h) {
    auto& e = Events();
    auto it = e.find(reinterpret_cast<ULONG_PTR>(h));
    return it == e.end() ? nullptr : &it->second;
}

void Drain(int fd) {
    std::uint64_t v;
    while (read(fd, &v, sizeof v) == sizeof v) {
    }
}

// Each event becomes one poll item for its eventfd and, when a descriptor is
// bound, a second one for that descriptor.
struct EventItems {
    std::vector<PollItem> Items;
    std::vector<int> Owner; // event index of each item
};

bool BuildItems(DWORD count, const HANDLE* handles, EventItems& out) {
    for (DWORD i = 0; i < count; ++i) {
        EventObject* e = FindEvent(handles[i]);
        if (!e) return false;
        out.Items.push_back(PollItem{e->Fd, WaitReadable, 0});
        out.Owner.push_back(static_cast<int>(i));
        if (e->BoundFd >= 0 && e->BoundEvents) {
            out.Items.push_back(PollItem{e->BoundFd, e->BoundEvents, 0});
            out.Owner.push_back(static_cast<int>(i));
        }
    }
    return true;
}

// Records the bound descriptor's readiness and resets an auto-reset event.
void Consume(DWORD count, const HANDLE* handles, const EventItems& items, int eventIndex) {
    for (DWORD i = 0; i < count; ++i) {
        if (EventObject* e = FindEvent(handles[i])) e->BoundReady = 0;
    }
    EventObject* e = FindEvent(handles[eventIndex]);
    if (!e) return;
    for (std::size_t k = 0; k < items.Items.size(); ++k)
        if (items.Owner[k] == eventIndex && items.Items[k].Fd == e->BoundFd && e->BoundFd >= 0)
            e->BoundReady = items.Items[k].Ready;
    if (!e->Manual) Drain(e->Fd);
}

int FirstReady(const std::vector<PollItem>& items) {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].Ready) return static_cast<int>(i);
    return -1;
}

// The one wait. Objects are checked first, then messages, then it blocks.
WaitResult CoreWait(std::vector<PollItem>& items, DWORD timeoutMs, UINT wakeMask, bool dispatch) {
    Backend& b = CurrentBackend();
    const std::uint64_t start = b.Now();
    WaitResult result;
    for (;;) {
        const int immediate = items.empty() ? 0 : b.Poll(items, 0);
        if (immediate < 0) return WaitResult{WaitStatus::Failed, -1, false};
        if (immediate > 0) return WaitResult{WaitStatus::ObjectReady, FirstReady(items), false};
        if (wakeMask) {
            b.ProcessEvents();
            if (MessagesReady(wakeMask)) {
                if (!dispatch) return WaitResult{WaitStatus::MessagesReady, -1, false};
                result.Status = WaitStatus::MessagesDispatched;
                result.QuitSeen = DispatchReadyMessages();
                return result;
            }
        }
        int limit = -1;
        if (timeoutMs != INFINITE) {
            const std::uint64_t elapsed = b.Now() - start;
            if (elapsed >= timeoutMs) return WaitResult{WaitStatus::TimedOut, -1, false};
            limit = static_cast<int>(std::min<std::uint64_t>(timeoutMs - elapsed, 0x7FFFFFFF));
        }
        if (wakeMask & QS_TIMER) {
            const int t = MillisecondsToNextTimer();
            if (t >= 0 && (limit < 0 || t < limit)) limit = t;
        }
        if (wakeMask) {
            PresentAll();
            b.Flush();
        }
        const int n = b.Poll(items, limit, wakeMask != 0);
        if (n < 0) return WaitResult{WaitStatus::Failed, -1, false};
        if (n > 0) return WaitResult{WaitStatus::ObjectReady, FirstReady(items), false};
    }
}

DWORD EventWait(DWORD count, const HANDLE* handles, DWORD milliseconds, DWORD wakeMask) {
    if (count > MAXIMUM_WAIT_OBJECTS || (count && !handles)) {
        SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    EventItems items;
    if (!BuildItems(count, handles, items)) {
        SetLastErrorCode(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    const WaitResult r = CoreWait(items.Items, milliseconds, wakeMask, false);
    switch (r.Status) {
    case WaitStatus::ObjectReady: {
        const int ev = items.Owner[static_cast<std::size_t>(r.Index)];
        Consume(count, handles, items, ev);
        return WAIT_OBJECT_0 + static_cast<DWORD>(ev);
    }
    case WaitStatus::MessagesReady:
    case WaitStatus::MessagesDispatched:
        return WAIT_OBJECT_0 + count;
    case WaitStatus::TimedOut:
        return WAIT_TIMEOUT;
    default:
        return WAIT_FAILED;
    }
}

} // namespace

HANDLE CreateEventW(LPVOID, BOOL manualReset, BOOL initialState, LPCWSTR name) {
    if (name) {
        SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const int fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (fd < 0) {
        SetLastErrorCode(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    EventObject e;
    e.Fd = fd;
    e.Manual = manualReset;
    const ULONG_PTR h = NewHandleValue();
    Events()[h] = e;
    if (initialState) SetEvent(reinterpret_cast<HANDLE>(h));
    return reinterpret_cast<HANDLE>(h);
}

BOOL SetEvent(HANDLE event) {
    EventObject* e = FindEvent(event);
    if (!e) {
        SetLastErrorCode(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // Keep the counter at one: signalling twice is still one signal.
    Drain(e->Fd);
    const std::uint64_t one = 1;
    return write(e->Fd, &one, sizeof one) == sizeof one ? TRUE : FALSE;
}

BOOL ResetEvent(HANDLE event) {
    EventObject* e = FindEvent(event);
    if (!e) {
        SetLastErrorCode(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Drain(e->Fd);
    return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
    auto& events = Events();
    auto it = events.find(reinterpret_cast<ULONG_PTR>(handle));
    if (it == events.end()) {
        SetLastErrorCode(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    close(it->second.Fd);
    events.erase(it);
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    return EventWait(1, &handle, milliseconds, 0);
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
    if (waitAll) {
        SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    return EventWait(count, handles, milliseconds, 0);
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                DWORD milliseconds, DWORD wakeMask) {
    if (waitAll) {
        SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    return EventWait(count, handles, milliseconds, wakeMask);
}

DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, DWORD milliseconds,
                                  DWORD wakeMask, DWORD flags) {
    return MsgWaitForMultipleObjects(count, handles, (flags & MWMO_WAITALL) ? TRUE : FALSE,
                                     milliseconds, wakeMask);
}

namespace platform {

BOOL EventSelectDescriptor(HANDLE event, int fd, unsigned events) {
    EventObject* e = FindEvent(event);
    if (!e) {
        SetLastErrorCode(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    e->BoundFd = events ? fd : -1;
    e->BoundEvents = fd >= 0 ? (events & (WaitReadable | WaitWritable)) : 0;
    e->BoundReady = 0;
    return TRUE;
}

unsigned EventDescriptorReady(HANDLE event) {
    EventObject* e = FindEvent(event);
    return e ? e->BoundReady : 0;
}

WaitResult WaitForDescriptors(std::span<WaitItem> items, DWORD timeoutMs, UINT wakeMask,
                              bool dispatch) {
    std::vector<PollItem> poll;
    poll.reserve(items.size());
    for (const WaitItem& i : items)
        poll.push_back(PollItem{i.Fd, i.Events, 0});
    const WaitResult r = CoreWait(poll, timeoutMs, wakeMask, dispatch);
    for (std::size_t i = 0; i < items.size(); ++i)
        items[i].Ready = poll[i].Ready;
    return r;
}

bool DispatchReadyMessages(int* dispatched) {
    std::vector<HWND> painted;
    int count = 0;
    MSG msg;
    bool quit = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            quit = true;
            break;
        }
        if (msg.message == WM_PAINT) {
            // A window that is invalid again after painting ends the pass;
            // the next pass paints it again.
            if (std::find(painted.begin(), painted.end(), msg.hwnd) != painted.end()) break;
            painted.push_back(msg.hwnd);
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        ++count;
    }
    if (dispatched) *dispatched = count;
    return quit;
}

} // namespace platform
