// Drawing with pens and brushes: rectangles, frames, lines, ellipses,
// regions, pixels, 3-D edges and focus rectangles. Like the original on a
// 32-bit surface, these write the colour bytes and leave alpha 0.
#pragma once

#include "WinGdiConst.h"
#include "WinTypes.h"

// `brush` may also be a system colour index + 1.
int FillRect(HDC hdc, const RECT* rc, HBRUSH brush);
int FrameRect(HDC hdc, const RECT* rc, HBRUSH brush);
BOOL InvertRect(HDC hdc, const RECT* rc);
BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop);
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int ellipseWidth,
               int ellipseHeight);
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
BOOL MoveToEx(HDC hdc, int x, int y, POINT* old);
// Lines leave out their end point.
BOOL LineTo(HDC hdc, int x, int y);
BOOL Polyline(HDC hdc, const POINT* points, int count);
BOOL Polygon(HDC hdc, const POINT* points, int count);
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC hdc, int x, int y);
BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush);
BOOL PaintRgn(HDC hdc, HRGN rgn);
BOOL FrameRgn(HDC hdc, HRGN rgn, HBRUSH brush, int width, int height);
inline constexpr UINT BF_MIDDLE = 0x0800;
BOOL DrawEdge(HDC hdc, RECT* rc, UINT edge, UINT flags);
BOOL DrawFocusRect(HDC hdc, const RECT* rc);
