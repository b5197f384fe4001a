// The back-end of the window system: what differs between drawing into
// memory for tests and showing windows on a display. The model (windows,
// messages, painting) calls these operations for top-level windows only;
// child windows live entirely in the model. Back-ends feed input into the
// model through the Queue* functions below.
#pragma once

#include "WinRegionData.h"
#include "WinTypes.h"

#include <cstdint>
#include <vector>

namespace platform::win {

// A descriptor to watch; Events and Ready use the WaitReadable/WaitWritable/
// WaitError bits of WinWait.h.
struct PollItem {
    int Fd = -1;
    unsigned Events = 0;
    unsigned Ready = 0;
};

class Backend {
public:
    virtual ~Backend() = default;

    // Milliseconds on a monotonic clock (the tick count).
    virtual std::uint64_t Now() = 0;
    // Blocks until an item is ready, the display has input (when
    // `withDisplay`), or `timeoutMs` passes (-1: no limit). Returns the number
    // of ready items, 0 on time-out or display input, -1 on failure.
    virtual int Poll(std::vector<PollItem>& items, int timeoutMs, bool withDisplay = false) = 0;
    // Moves events that have arrived from the display into the model without
    // blocking; true when there were any.
    virtual bool ProcessEvents() { return false; }
    // Sends buffered requests to the display.
    virtual void Flush() {}

    virtual RECT ScreenRect() = 0;
    virtual RECT WorkArea() { return ScreenRect(); }

    // Top-level windows. `Show` is called with true the first time a window
    // becomes visible, so hidden helper windows never reach the display.
    virtual void Show(HWND hwnd, bool visible) {}
    virtual void Destroyed(HWND hwnd) {}
    virtual void Moved(HWND hwnd, const RECT& screenRect) {}
    virtual void Retitled(HWND hwnd) {}
    virtual void Restacked(HWND hwnd) {}
    virtual void Reshaped(HWND hwnd) {}     // window region changed
    virtual void Relayered(HWND hwnd) {}    // layered attributes or content changed
    virtual void StyleChanged(HWND hwnd) {} // fixed size, task-bar, topmost
    virtual void Activate(HWND hwnd) {}
    virtual void Minimize(HWND hwnd, bool minimized) {}
    // The buffer of the top-level window changed inside `area` (window coordinates).
    virtual void Present(HWND hwnd, const RECT& area) {}

    virtual void SetCursorShape(int cursorId) {}
    virtual void GrabPointer(HWND topLevel) {}
    virtual void UngrabPointer() {}
    // Moving a window by its caption: true when the display's window manager
    // took over the move; otherwise the model runs its own move loop.
    virtual bool SystemMove(HWND hwnd, POINT screenPoint) { return false; }
    // The physical state of a mouse button (0 left, 1 right, 2 middle), used by
    // the model's own move loop to see a release it has not been told about.
    virtual bool ButtonDown(int button) = 0;
    virtual void Beep() {}
};

// Input from the back-ends. Times are tick counts.
void QueuePointerMove(POINT screen, DWORD time);
void QueuePointerButton(int button, bool down, POINT screen, DWORD time);
void QueuePointerWheel(int delta, POINT screen, DWORD time);
// `ch` is the text the key produces (0 for none); it becomes WM_CHAR through
// TranslateMessage.
void QueueKey(UINT vk, bool down, char32_t ch, DWORD time);
// The pointer left every window of the program.
void PointerLeftDisplay();
// The display moved or resized a top-level window (window manager, user).
void DisplayMovedWindow(HWND hwnd, const RECT& screenRect);
// The display asks to close a top-level window.
void DisplayCloseRequest(HWND hwnd);
// The display gave or took the keyboard focus of a top-level window.
void DisplayActivated(HWND hwnd, bool active);

} // namespace platform::win
