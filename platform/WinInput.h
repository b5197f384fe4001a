// Input: the pointer and keyboard routed to windows. Each pointer event asks
// the window under the pointer for its hit-test code (WM_NCHITTEST), sends
// WM_SETCURSOR and becomes a client or non-client mouse message; capture
// redirects it, WM_MOUSELEAVE ends a TrackMouseEvent, and double-clicks are
// made for classes with CS_DBLCLKS. Keys go to the focus window.
#pragma once

#include "WinMessages.h"
#include "WinTypes.h"

HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();

HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND hwnd);

// TME_LEAVE (with TME_NONCLIENT for the frame), TME_CANCEL and TME_QUERY.
// Hover tracking is accepted but produces no WM_MOUSEHOVER.
BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme);

// The visible, enabled window under a screen point (a window answering
// HTTRANSPARENT lets the search go on below it).
HWND WindowFromPoint(POINT pt);
inline constexpr UINT CWP_ALL = 0, CWP_SKIPINVISIBLE = 1, CWP_SKIPDISABLED = 2,
                      CWP_SKIPTRANSPARENT = 4;
// `pt` in the parent's client coordinates; the parent itself when no child
// contains it, null when the parent does not.
HWND ChildWindowFromPointEx(HWND parent, POINT pt, UINT flags);
HWND ChildWindowFromPoint(HWND parent, POINT pt);

// High bit: down; low bit: toggled. GetKeyState follows the messages taken
// so far, GetAsyncKeyState the devices.
SHORT GetKeyState(int vk);
SHORT GetAsyncKeyState(int vk);
BOOL GetKeyboardState(BYTE* state);
