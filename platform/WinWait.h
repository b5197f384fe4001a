// Waiting: event objects and the wait that also serves the window system
// (the MsgWaitForMultipleObjects equivalent). One poll() covers the caller's
// descriptors, the display connection and the nearest timer deadline; before
// it blocks, what was drawn is handed to the display and pending display
// events are taken in. It never busy-waits: an idle program blocks in poll()
// with no time limit.
#pragma once

#include "WinTypes.h"

#include <span>

inline constexpr DWORD INFINITE = 0xFFFFFFFF;
inline constexpr DWORD WAIT_OBJECT_0 = 0;
inline constexpr DWORD WAIT_ABANDONED_0 = 0x80;
inline constexpr DWORD WAIT_TIMEOUT = 258;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
inline constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;
inline constexpr DWORD MWMO_WAITALL = 0x0001;
inline constexpr DWORD MWMO_ALERTABLE = 0x0002;
inline constexpr DWORD MWMO_INPUTAVAILABLE = 0x0004;

// Event objects (an eventfd each). Names and security attributes are not
// supported; a name gives failure.
HANDLE CreateEventW(LPVOID attributes, BOOL manualReset, BOOL initialState, LPCWSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
BOOL CloseHandle(HANDLE handle);

// Waits on event objects only (no window messages). Waiting for all objects
// at once is not supported (WAIT_FAILED, ERROR_INVALID_PARAMETER).
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);
// WAIT_OBJECT_0 + i: object i is signalled (an auto-reset event is reset);
// WAIT_OBJECT_0 + count: messages of the wake mask are ready (not removed);
// WAIT_TIMEOUT; WAIT_FAILED. Objects come before messages.
DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                DWORD milliseconds, DWORD wakeMask);
DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, DWORD milliseconds,
                                  DWORD wakeMask, DWORD flags);

namespace platform {

// Readiness bits of descriptors. Error and hang-up are reported, never asked.
inline constexpr unsigned WaitReadable = 1;
inline constexpr unsigned WaitWritable = 2;
inline constexpr unsigned WaitError = 4;
inline constexpr unsigned WaitHangup = 8;

// Binds a descriptor to an event object: from now on the event also counts as
// signalled while the descriptor is ready for any of `events` (level
// triggered, checked by each wait). `fd` -1 or `events` 0 unbinds. This is
// how a socket's readiness enters the same wait as the window messages.
BOOL EventSelectDescriptor(HANDLE event, int fd, unsigned events);
// What the bound descriptor was ready for when a wait last returned this event.
unsigned EventDescriptorReady(HANDLE event);

// The wait over plain descriptors.
struct WaitItem {
    int Fd = -1;
    unsigned Events = 0; // WaitReadable | WaitWritable
    unsigned Ready = 0;  // filled in for every item when an object is ready
};
enum class WaitStatus { ObjectReady, MessagesReady, MessagesDispatched, TimedOut, Failed };
struct WaitResult {
    WaitStatus Status = WaitStatus::TimedOut;
    int Index = -1;        // the first ready item with ObjectReady
    bool QuitSeen = false; // a WM_QUIT was met while dispatching (and posted again)
};
// `timeoutMs` INFINITE waits without limit. With `dispatch`, ready messages are
// taken, translated and dispatched until the queue is empty (a WM_QUIT stops
// this and is posted again, so the program's own loop still ends), and the
// result is MessagesDispatched; otherwise MessagesReady leaves them queued.
// A wake mask of 0 ignores messages.
WaitResult WaitForDescriptors(std::span<WaitItem> items, DWORD timeoutMs, UINT wakeMask,
                              bool dispatch);

// Takes, translates and dispatches every message that is ready now. Stops at
// WM_QUIT, which is posted again (returns true then). A window that is still
// invalid after its WM_PAINT ends the pass when it comes up a second time, so
// a pass always ends.
bool DispatchReadyMessages(int* dispatched = nullptr);

} // namespace platform
