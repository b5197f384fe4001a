// Painting: update regions, WM_PAINT with BeginPaint/EndPaint, erasing and
// the non-client frame, window device contexts, and window regions. Every
// device context of a window draws into its top-level window's back buffer;
// what changed is handed to the display when the program next waits.
#pragma once

#include "WinStyles.h"
#include "WinTypes.h"

BOOL InvalidateRect(HWND hwnd, const RECT* rc, BOOL erase);
BOOL InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rc);
BOOL ValidateRgn(HWND hwnd, HRGN rgn);
// `rc`/`rgn` in client coordinates; both null: the client area (the whole
// window with RDW_FRAME).
BOOL RedrawWindow(HWND hwnd, const RECT* rc, HRGN rgn, UINT flags);
BOOL UpdateWindow(HWND hwnd);
BOOL GetUpdateRect(HWND hwnd, RECT* rc, BOOL erase);
int GetUpdateRgn(HWND hwnd, HRGN rgn, BOOL erase);

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);

// Null window: the screen (measuring only; drawing goes nowhere).
HDC GetDC(HWND hwnd);
HDC GetWindowDC(HWND hwnd);
HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags);
int ReleaseDC(HWND hwnd, HDC hdc);
HWND WindowFromDC(HDC hdc);

// The window takes over the region (the handle becomes invalid); null removes
// the region. Region coordinates are window coordinates.
int SetWindowRgn(HWND hwnd, HRGN rgn, BOOL redraw);
int GetWindowRgn(HWND hwnd, HRGN rgn);

// Hands what was drawn so far to the display.
BOOL GdiFlush();
