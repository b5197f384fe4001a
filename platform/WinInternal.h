// Inside the window system: what the units of the layer ask of each other.
// Not part of the public interface.
#pragma once

#include "WinRegionData.h"
#include "WinState.h"
#include "WinTypes.h"

namespace platform::win {

class Backend;

// Forgets every window, class, timer, hook, message and drawing object and
// installs `backend` (test isolation).
void ResetWindowSystem(std::unique_ptr<Backend> backend);

// ---- WinWindow ----
// Applies a new position, size, z-order or visibility; `fromDisplay` when the
// display reported the change (it is then not echoed back).
BOOL SetWindowPosInternal(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags,
                          bool fromDisplay);
// The window of the class with this name or atom.
std::shared_ptr<WindowClass> FindClass(LPCWSTR name);
// The windows of the tree under `hwnd` (itself first), in z-order.
std::vector<HWND> WindowAndDescendants(HWND hwnd);
// The window's place in its sibling list (z-order): after `insertAfter`
// (HWND_TOP, HWND_BOTTOM, HWND_TOPMOST, HWND_NOTOPMOST or a sibling).
void LinkWindow(WindowData& w, HWND insertAfter);
void UnlinkWindow(WindowData& w);
// SIZE_MINIMIZED, SIZE_MAXIMIZED or SIZE_RESTORED for WM_SIZE.
WPARAM SizeKind(const WindowData& w);
// Windows the system lets the user size (and asks WM_GETMINMAXINFO about).
bool IsResizable(const WindowData& w);
// Fills MINMAXINFO with the defaults and lets the window change it.
void SendGetMinMaxInfo(WindowData& w, MINMAXINFO& mmi);
// Forget everything (test isolation).
void ResetWindows();

// ---- WinNonClient: the default frame ----
// Frame thickness on each side (top includes the caption) for a style.
RECT FrameInsets(DWORD style, DWORD exStyle);
LRESULT DefaultHitTest(WindowData& w, POINT screen);
void DefaultPaintFrame(HWND hwnd);

// ---- WinMessage ----
// The filter of PeekMessageW: null, (HWND)-1 for thread messages, or a window
// with its descendants.
bool FilterMatches(HWND filter, HWND hwnd);
void RemoveMessagesFor(HWND hwnd);
void ResetMessages();
// Whether a message of the wake mask is ready (posted, input, paint, timer).
bool MessagesReady(UINT wakeMask);

// ---- WinTimer ----
void KillTimersFor(HWND hwnd);
// The due timer that matches the filter; reschedules it when `remove`.
bool TakeDueTimer(HWND filter, MSG& msg, bool remove);
// Milliseconds until the next timer is due (0 when one is due, -1 when none).
int MillisecondsToNextTimer();

// ---- WinPaint ----
// RedrawWindow on a region in window coordinates (null: the whole window).
void RedrawWindowArea(HWND hwnd, const RegionData* windowRgn, UINT flags);
// Makes the part of the parent (or the screen) under `rectInParent` repaint.
void ExposeParentArea(const WindowData& w, const RECT& rectInParent);
// A window that needs WM_PAINT, parents before children, matching the filter.
HWND FindWindowToPaint(HWND filter);
// The visible part of the window (client or whole) in device coordinates of
// its DC: clipped by ancestors, siblings and children as the styles ask.
RegionData VisibleRegion(const WindowData& w, bool clientOnly, bool clipChildren);
// The buffer of a top-level window changed inside `area` (window coordinates).
void MarkDirty(HWND topLevel, const RECT& area);
// Hands dirty areas of every top-level buffer to the back-end.
void PresentAll();
void ResizeBuffer(WindowData& top);

// ---- WinInput ----
void ForgetWindowInput(HWND hwnd);
// Pointer input: the window under a screen point and its hit-test code.
HWND HitTestPoint(POINT screen, LRESULT* hit, bool sendHitTest);
// Turns the next raw input event into a message; false when none is ready.
bool TakeInputMessage(HWND filter, UINT minMsg, UINT maxMsg, MSG& msg, bool remove);
void ActivateTopLevel(HWND hwnd, WPARAM how);
// Runs the move loop for a caption drag started at `screen`.
void RunMoveLoop(HWND hwnd, POINT screen);
void ResetInput();

// ---- WinHook ----
LRESULT CallWndProcHooks(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool sentByThread);
void CallWndProcRetHooks(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT result,
                         bool sentByThread);
// Calls the newest hook of the kind (which passes the call on with
// CallNextHookEx); 0 when there is none.
LRESULT CallHookChain(int kind, int code, WPARAM wParam, LPARAM lParam);
void ResetHooks();

// ---- WinGdi ----
HDC CreateWindowDc(HWND hwnd, DcKind kind, bool clipChildren);
std::shared_ptr<DcData> FindDc(HDC hdc);
void DeleteDcData(HDC hdc);
void ForgetWindowDcs(HWND hwnd);
void ResetDcs();

// ---- WinSystem ----
void SetLastErrorCode(DWORD code);

} // namespace platform::win
