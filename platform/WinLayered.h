// Layered windows (WS_EX_LAYERED): either a constant opacity and colour key
// over the painted window, or content handed over whole with per-pixel alpha
// (premultiplied, 32 bits) by UpdateLayeredWindow. The two modes exclude each
// other, as in the original.
#pragma once

#include "WinStyles.h"
#include "WinTypes.h"

BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags);
BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags);
// Moves and sizes the window (pointDst, size) and, with a source DC, takes
// `size` pixels from it at `pointSrc`; ULW_ALPHA scales them by the blend's
// constant alpha, ULW_OPAQUE makes them opaque.
BOOL UpdateLayeredWindow(HWND hwnd, HDC hdcDst, const POINT* pointDst, const SIZE* size, HDC hdcSrc,
                         const POINT* pointSrc, COLORREF key, const BLENDFUNCTION* blend,
                         DWORD flags);
