// Regions: rectangles, rounded rectangles and ellipses, combined with the
// RGN_* operations; used for window shapes and device-context clipping.
#pragma once

#include "WinGdiConst.h"
#include "WinTypes.h"

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rc);
// The corner ellipse has the given width and height; like the original, the
// region covers (left, top) to (right - 1, bottom - 1).
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth,
                        int ellipseHeight);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
// dst = a (mode) b; returns NULLREGION, SIMPLEREGION, COMPLEXREGION or RGN_ERROR.
int CombineRgn(HRGN dst, HRGN a, HRGN b, int mode);
BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);
int OffsetRgn(HRGN rgn, int dx, int dy);
int GetRgnBox(HRGN rgn, RECT* rc);
BOOL PtInRegion(HRGN rgn, int x, int y);
BOOL RectInRegion(HRGN rgn, const RECT* rc);
BOOL EqualRgn(HRGN a, HRGN b);

// The rectangles of a region, in their banded order (not the Windows
// RGNDATA layout): at most `capacity` are written; the count is returned.
int GetRegionRects(HRGN rgn, RECT* rects, int capacity);
