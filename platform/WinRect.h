// Rectangle and point helpers with the Windows names. A rectangle includes
// its left and top edges and excludes its right and bottom edges.
#pragma once

#include "WinTypes.h"

BOOL SetRect(RECT* rc, int left, int top, int right, int bottom);
BOOL SetRectEmpty(RECT* rc);
BOOL CopyRect(RECT* dst, const RECT* src);
BOOL IsRectEmpty(const RECT* rc);
BOOL EqualRect(const RECT* a, const RECT* b);
BOOL OffsetRect(RECT* rc, int dx, int dy);
BOOL InflateRect(RECT* rc, int dx, int dy);
// The result is emptied (all zero) when the rectangles do not overlap.
BOOL IntersectRect(RECT* dst, const RECT* a, const RECT* b);
// Empty rectangles do not contribute to the union.
BOOL UnionRect(RECT* dst, const RECT* a, const RECT* b);
// `a` minus `b` when the difference is a rectangle; otherwise `a` itself.
BOOL SubtractRect(RECT* dst, const RECT* a, const RECT* b);
BOOL PtInRect(const RECT* rc, POINT pt);

namespace platform::win {

// Value forms used inside the layer.
inline RECT MakeRect(int left, int top, int right, int bottom) {
    return RECT{left, top, right, bottom};
}
inline RECT RectOfSize(int x, int y, int width, int height) {
    return RECT{x, y, x + width, y + height};
}
inline int Width(const RECT& r) {
    return r.right - r.left;
}
inline int Height(const RECT& r) {
    return r.bottom - r.top;
}
inline bool Empty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}
inline bool Contains(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}
RECT Intersect(const RECT& a, const RECT& b); // {0,0,0,0} when disjoint
RECT Union(const RECT& a, const RECT& b);     // ignores empty rectangles
inline RECT Offset(RECT r, int dx, int dy) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
    return r;
}
inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator==(const POINT& a, const POINT& b) {
    return a.x == b.x && a.y == b.y;
}

} // namespace platform::win
