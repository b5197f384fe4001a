#include "WinRect.h"

#include <algorithm>

namespace platform::win {

RECT Intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (Empty(r)) return RECT{};
    return r;
}

RECT Union(const RECT& a, const RECT& b) {
    if (Empty(a)) return Empty(b) ? RECT{} : b;
    if (Empty(b)) return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

} // namespace platform::win

using namespace platform::win;

BOOL SetRect(RECT* rc, int left, int top, int right, int bottom) {
    if (!rc) return FALSE;
    *rc = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL SetRectEmpty(RECT* rc) {
    if (!rc) return FALSE;
    *rc = RECT{};
    return TRUE;
}

BOOL CopyRect(RECT* dst, const RECT* src) {
    if (!dst || !src) return FALSE;
    *dst = *src;
    return TRUE;
}

BOOL IsRectEmpty(const RECT* rc) {
    return !rc || Empty(*rc);
}

BOOL EqualRect(const RECT* a, const RECT* b) {
    return a && b && *a == *b;
}

BOOL OffsetRect(RECT* rc, int dx, int dy) {
    if (!rc) return FALSE;
    *rc = Offset(*rc, dx, dy);
    return TRUE;
}

BOOL InflateRect(RECT* rc, int dx, int dy) {
    if (!rc) return FALSE;
    rc->left -= dx;
    rc->right += dx;
    rc->top -= dy;
    rc->bottom += dy;
    return TRUE;
}

BOOL IntersectRect(RECT* dst, const RECT* a, const RECT* b) {
    if (!dst) return FALSE;
    if (!a || !b) {
        *dst = RECT{};
        return FALSE;
    }
    *dst = Intersect(*a, *b);
    return !Empty(*dst);
}

BOOL UnionRect(RECT* dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b) return FALSE;
    *dst = Union(*a, *b);
    return !Empty(*dst);
}

BOOL SubtractRect(RECT* dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b) return FALSE;
    RECT r = *a;
    const RECT cut = Intersect(*a, *b);
    if (!Empty(cut)) {
        // Only a cut spanning a whole side leaves a rectangle behind.
        const bool fullWidth = cut.left == r.left && cut.right == r.right;
        const bool fullHeight = cut.top == r.top && cut.bottom == r.bottom;
        if (fullWidth && cut.top == r.top)
            r.top = cut.bottom;
        else if (fullWidth && cut.bottom == r.bottom)
            r.bottom = cut.top;
        else if (fullHeight && cut.left == r.left)
            r.left = cut.right;
        else if (fullHeight && cut.right == r.right)
            r.right = cut.left;
    }
    *dst = Empty(r) ? RECT{} : r;
    return !Empty(*dst);
}

BOOL PtInRect(const RECT* rc, POINT pt) {
    return rc && Contains(*rc, pt.x, pt.y);
}
