#include "WinRegion.h"

#include "WinInternal.h"
#include "WinObjects.h"
#include "WinRect.h"

#include <memory>

using namespace platform::win;

namespace {

HRGN AddRegion(RegionData data) {
    auto r = std::make_shared<RegionObject>();
    r->Rgn = std::move(data);
    return static_cast<HRGN>(AddGdiObject(r));
}

} // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    return AddRegion(RegionData::FromRect(RECT{left, top, right, bottom}));
}

HRGN CreateRectRgnIndirect(const RECT* rc) {
    return rc ? CreateRectRgn(rc->left, rc->top, rc->right, rc->bottom) : nullptr;
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseWidth,
                        int ellipseHeight) {
    return AddRegion(RegionData::RoundRect(left, top, right, bottom, ellipseWidth, ellipseHeight));
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
    return AddRegion(RegionData::Ellipse(left, top, right, bottom));
}

int CombineRgn(HRGN dst, HRGN a, HRGN b, int mode) {
    auto d = FindGdi<RegionObject>(dst);
    auto ra = FindGdi<RegionObject>(a);
    if (!d || !ra || mode < RGN_AND || mode > RGN_COPY) return RGN_ERROR;
    if (mode == RGN_COPY) {
        d->Rgn = ra->Rgn;
        return d->Rgn.Kind();
    }
    auto rb = FindGdi<RegionObject>(b);
    if (!rb) return RGN_ERROR;
    d->Rgn = RegionData::Combine(ra->Rgn, rb->Rgn, mode);
    return d->Rgn.Kind();
}

BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom) {
    auto r = FindGdi<RegionObject>(rgn);
    if (!r) return FALSE;
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    r->Rgn = RegionData::FromRect(RECT{left, top, right, bottom});
    return TRUE;
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
    auto r = FindGdi<RegionObject>(rgn);
    if (!r) return RGN_ERROR;
    r->Rgn.Offset(dx, dy);
    return r->Rgn.Kind();
}

int GetRgnBox(HRGN rgn, RECT* rc) {
    auto r = FindGdi<RegionObject>(rgn);
    if (!r || !rc) return RGN_ERROR;
    *rc = r->Rgn.Box();
    return r->Rgn.Kind();
}

BOOL PtInRegion(HRGN rgn, int x, int y) {
    auto r = FindGdi<RegionObject>(rgn);
    return r && r->Rgn.Contains(x, y);
}

BOOL RectInRegion(HRGN rgn, const RECT* rc) {
    auto r = FindGdi<RegionObject>(rgn);
    return r && rc && r->Rgn.Intersects(*rc);
}

BOOL EqualRgn(HRGN a, HRGN b) {
    auto ra = FindGdi<RegionObject>(a);
    auto rb = FindGdi<RegionObject>(b);
    if (!ra || !rb) return RGN_ERROR;
    return ra->Rgn == rb->Rgn;
}

int GetRegionRects(HRGN rgn, RECT* rects, int capacity) {
    auto r = FindGdi<RegionObject>(rgn);
    if (!r) return 0;
    const auto& list = r->Rgn.Rects();
    for (int i = 0; rects && i < capacity && i < static_cast<int>(list.size()); ++i)
        rects[i] = list[i];
    return static_cast<int>(list.size());
}
