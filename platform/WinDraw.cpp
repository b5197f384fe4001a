#include "WinDraw.h"

#include "WinGdi.h"
#include "WinInternal.h"
#include "WinRegion.h"
#include "WinRender.h"
#include "WinSystem.h"

#include <algorithm>
#include <cstdlib>

using namespace platform::win;

namespace {

// Applies `op` (old pixel -> new pixel) to every clipped pixel of a device
// rectangle.
template <class Op> void ModifyDevice(DrawTarget& t, const RECT& r, Op op) {
    if (!t.Surf.Valid()) return;
    ForEachClipped(t, r, [&](const RECT& c) {
        for (int y = c.top; y < c.bottom; ++y)
            for (int x = c.left; x < c.right; ++x) {
                const int sx = x + t.OriginX, sy = y + t.OriginY;
                WritePixel(t.Surf, sx, sy, op(ReadPixel(t.Surf, sx, sy)));
            }
    });
    FinishDraw(t, r);
}

void FillDeviceRegion(DrawTarget& t, const RegionData& rgn, COLORREF color) {
    for (const RECT& r : rgn.Rects())
        FillDevice(t, r, color);
}

// The colour a line pixel gets from the binary raster operation.
std::uint32_t Rop2(int rop, std::uint32_t dst, COLORREF pen) {
    const std::uint32_t p = PixelOf(pen);
    switch (rop) {
    case R2_BLACK:
        return 0;
    case R2_WHITE:
        return 0x00FFFFFF;
    case R2_NOT:
        return (~dst) & 0x00FFFFFF;
    case R2_XORPEN:
        return (dst ^ p) & 0x00FFFFFF;
    case R2_NOP:
        return dst;
    default:
        return p;
    }
}

void PlotDevice(DrawTarget& t, int x, int y, int width, COLORREF color) {
    const int half = (width - 1) / 2;
    const RECT r = RectOfSize(x - half, y - half, width, width);
    const int rop = t.Dc->S.Rop2;
    if (rop == R2_COPYPEN) {
        FillDevice(t, r, color);
        return;
    }
    ModifyDevice(t, r, [&](std::uint32_t d) { return Rop2(rop, d, color); });
}

COLORREF PenColor(const DcState& s) {
    if (s.PenData && s.PenData->Stock && s.Pen == GetStockObject(DC_PEN)) return s.DcPenColor;
    return s.PenData ? s.PenData->Color : 0;
}

bool PenVisible(const DcState& s) {
    return s.PenData && s.PenData->Style != PS_NULL;
}

std::shared_ptr<BrushObject> CurrentBrush(const DcState& s, COLORREF& color) {
    if (!s.BrushData || s.BrushData->Style == BS_NULL) return nullptr;
    color = (s.Brush == GetStockObject(DC_BRUSH)) ? s.DcBrushColor : BrushColor(*s.BrushData);
    return s.BrushData;
}

// Bresenham from a to b (device coordinates) without the end point.
void LineDevice(DrawTarget& t, POINT a, POINT b) {
    if (!PenVisible(t.Dc->S)) return;
    const COLORREF color = PenColor(t.Dc->S);
    const int width = std::max(1, t.Dc->S.PenData->Width);
    int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
    const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    int err = dx + dy;
    int x = a.x, y = a.y;
    while (!(x == b.x && y == b.y)) {
        PlotDevice(t, x, y, width, color);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void OutlineRegion(DrawTarget& t, const RegionData& outer, int penWidth) {
    if (!PenVisible(t.Dc->S)) return;
    // The inner shape is the outer one eroded by the pen width on every side.
    RegionData inner = outer;
    for (int dx = -penWidth; dx <= penWidth; dx += penWidth) {
        for (int dy = -penWidth; dy <= penWidth; dy += penWidth) {
            RegionData moved = outer;
            moved.Offset(dx, dy);
            inner = RegionData::Combine(inner, moved, RGN_AND);
        }
    }
    FillDeviceRegion(t, RegionData::Combine(outer, inner, RGN_DIFF), PenColor(t.Dc->S));
}

void FillShape(HDC hdc, const RegionData& logicalShape) {
    DrawTarget t;
    if (!ResolveTarget(hdc, t)) return;
    const POINT o = t.ToDevice(0, 0);
    RegionData shape = logicalShape;
    shape.Offset(o.x, o.y);
    COLORREF color = 0;
    if (CurrentBrush(t.Dc->S, color)) FillDeviceRegion(t, shape, color);
    OutlineRegion(t, shape, std::max(1, t.Dc->S.PenData ? t.Dc->S.PenData->Width : 1));
}

} // namespace

int FillRect(HDC hdc, const RECT* rc, HBRUSH brush) {
    DrawTarget t;
    if (!rc || !ResolveTarget(hdc, t)) return 0;
    auto b = BrushFromHandle(brush);
    if (!b) return 0;
    if (b->Style == BS_NULL) return 1;
    FillDevice(t, t.ToDevice(*rc), BrushColor(*b));
    return 1;
}

int FrameRect(HDC hdc, const RECT* rc, HBRUSH brush) {
    DrawTarget t;
    if (!rc || !ResolveTarget(hdc, t)) return 0;
    auto b = BrushFromHandle(brush);
    if (!b) return 0;
    const RECT r = t.ToDevice(*rc);
    if (Empty(r) || b->Style == BS_NULL) return 1;
    const COLORREF c = BrushColor(*b);
    FillDevice(t, RECT{r.left, r.top, r.right, r.top + 1}, c);
    FillDevice(t, RECT{r.left, r.bottom - 1, r.right, r.bottom}, c);
    FillDevice(t, RECT{r.left, r.top, r.left + 1, r.bottom}, c);
    FillDevice(t, RECT{r.right - 1, r.top, r.right, r.bottom}, c);
    return 1;
}

BOOL InvertRect(HDC hdc, const RECT* rc) {
    DrawTarget t;
    if (!rc || !ResolveTarget(hdc, t)) return FALSE;
    ModifyDevice(t, t.ToDevice(*rc), [](std::uint32_t d) { return (~d) & 0x00FFFFFF; });
    return TRUE;
}

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop) {
    DrawTarget t;
    if (!ResolveTarget(hdc, t)) return FALSE;
    RECT r = t.ToDevice(RECT{x, y, x + width, y + height});
    if (r.right < r.left) std::swap(r.left, r.right);
    if (r.bottom < r.top) std::swap(r.top, r.bottom);
    COLORREF brush = 0;
    const bool hasBrush = CurrentBrush(t.Dc->S, brush) != nullptr;
    switch (rop) {
    case PATCOPY:
        if (hasBrush) FillDevice(t, r, brush);
        return TRUE;
    case PATINVERT:
        if (hasBrush)
            ModifyDevice(t, r, [&](std::uint32_t d) { return (d ^ PixelOf(brush)) & 0x00FFFFFF; });
        return TRUE;
    case DSTINVERT:
        ModifyDevice(t, r, [](std::uint32_t d) { return (~d) & 0x00FFFFFF; });
        return TRUE;
    case BLACKNESS:
        FillDevice(t, r, 0);
        return TRUE;
    case WHITENESS:
        FillDevice(t, r, 0xFFFFFF);
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    DrawTarget t;
    if (!ResolveTarget(hdc, t)) return FALSE;
    RECT r = t.ToDevice(RECT{left, top, right, bottom});
    if (r.right < r.left) std::swap(r.left, r.right);
    if (r.bottom < r.top) std::swap(r.top, r.bottom);
    COLORREF brush = 0;
    const bool hasBrush = CurrentBrush(t.Dc->S, brush) != nullptr;
    if (!PenVisible(t.Dc->S)) {
        // Without a pen the filled area is one pixel smaller on the right and bottom.
        if (hasBrush) FillDevice(t, RECT{r.left, r.top, r.right - 1, r.bottom - 1}, brush);
        return TRUE;
    }
    const int w = std::max(1, t.Dc->S.PenData->Width);
    if (hasBrush) FillDevice(t, RECT{r.left + w, r.top + w, r.right - w, r.bottom - w}, brush);
    const COLORREF pen = PenColor(t.Dc->S);
    FillDevice(t, RECT{r.left, r.top, r.right, r.top + w}, pen);
    FillDevice(t, RECT{r.left, r.bottom - w, r.right, r.bottom}, pen);
    FillDevice(t, RECT{r.left, r.top, r.left + w, r.bottom}, pen);
    FillDevice(t, RECT{r.right - w, r.top, r.right, r.bottom}, pen);
    return TRUE;
}

BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int ellipseWidth,
               int ellipseHeight) {
    if (!FindDc(hdc)) return FALSE;
    FillShape(hdc,
              RegionData::RoundRect(left, top, right + 1, bottom + 1, ellipseWidth, ellipseHeight));
    return TRUE;
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
    if (!FindDc(hdc)) return FALSE;
    FillShape(hdc, RegionData::Ellipse(left, top, right + 1, bottom + 1));
    return TRUE;
}

BOOL MoveToEx(HDC hdc, int x, int y, POINT* old) {
    auto dc = FindDc(hdc);
    if (!dc) return FALSE;
    if (old) *old = dc->S.CurrentPos;
    dc->S.CurrentPos = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
    DrawTarget t;
    if (!ResolveTarget(hdc, t)) return FALSE;
    LineDevice(t, t.ToDevice(t.Dc->S.CurrentPos.x, t.Dc->S.CurrentPos.y), t.ToDevice(x, y));
    t.Dc->S.CurrentPos = POINT{x, y};
    return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* points, int count) {
    DrawTarget t;
    if (!points || count < 2 || !ResolveTarget(hdc, t)) return FALSE;
    for (int i = 1; i < count; ++i)
        LineDevice(t, t.ToDevice(points[i - 1].x, points[i - 1].y),
                   t.ToDevice(points[i].x, points[i].y));
    return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* points, int count) {
    DrawTarget t;
    if (!points || count < 2 || !ResolveTarget(hdc, t)) return FALSE;
    COLORREF brush = 0;
    if (CurrentBrush(t.Dc->S, brush) && count >= 3) {
        // Even-odd scan-line fill at pixel centres.
        int minY = points[0].y, maxY = points[0].y;
        for (int i = 1; i < count; ++i) {
            minY = std::min<int>(minY, points[i].y);
            maxY = std::max<int>(maxY, points[i].y);
        }
        std::vector<RECT> spans;
        for (int y = minY; y < maxY; ++y) {
            const double cy = y + 0.5;
            std::vector<double> xs;
            for (int i = 0; i < count; ++i) {
                const POINT a = points[i], b = points[(i + 1) % count];
                if ((a.y <= cy) == (b.y <= cy)) continue;
                xs.push_back(a.x + (cy - a.y) * (b.x - a.x) / double(b.y - a.y));
            }
            std::sort(xs.begin(), xs.end());
            for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
                const int x0 = static_cast<int>(xs[k] + 0.5),
                          x1 = static_cast<int>(xs[k + 1] + 0.5);
                if (x1 > x0) spans.push_back(RECT{x0, y, x1, y + 1});
            }
        }
        RegionData shape = RegionData::FromRects(spans);
        const POINT o = t.ToDevice(0, 0);
        shape.Offset(o.x, o.y);
        FillDeviceRegion(t, shape, brush);
    }
    for (int i = 0; i < count; ++i)
        LineDevice(t, t.ToDevice(points[i].x, points[i].y),
                   t.ToDevice(points[(i + 1) % count].x, points[(i + 1) % count].y));
    return TRUE;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    DrawTarget t;
    if (!ResolveTarget(hdc, t)) return CLR_INVALID;
    const POINT d = t.ToDevice(x, y);
    if (!t.Clip.Contains(d.x, d.y) || !t.Surf.Valid()) return CLR_INVALID;
    FillDevice(t, RectOfSize(d.x, d.y, 1, 1), color);
    return color & 0xFFFFFF;
}

BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color) {
    return SetPixel(hdc, x, y, color) != CLR_INVALID;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    DrawTarget t;
    if (!ResolveTarget(hdc, t) || !t.Surf.Valid()) return CLR_INVALID;
    const POINT d = t.ToDevice(x, y);
    // A memory DC reads its whole bitmap; a window DC only what is visible.
    const bool readable = t.Dc->Kind == DcKind::Memory
                              ? Contains(RectOfSize(0, 0, t.Surf.Width, t.Surf.Height), d.x, d.y)
                              : t.Clip.Contains(d.x, d.y);
    if (!readable) return CLR_INVALID;
    return ColorOf(ReadPixel(t.Surf, d.x + t.OriginX, d.y + t.OriginY));
}

BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush) {
    DrawTarget t;
    auto r = FindGdi<RegionObject>(rgn);
    auto b = BrushFromHandle(brush);
    if (!r || !b || !ResolveTarget(hdc, t)) return FALSE;
    if (b->Style == BS_NULL) return TRUE;
    RegionData shape = r->Rgn;
    const POINT o = t.ToDevice(0, 0);
    shape.Offset(o.x, o.y);
    FillDeviceRegion(t, shape, BrushColor(*b));
    return TRUE;
}

BOOL PaintRgn(HDC hdc, HRGN rgn) {
    auto dc = FindDc(hdc);
    if (!dc) return FALSE;
    return FillRgn(hdc, rgn, static_cast<HBRUSH>(dc->S.Brush));
}

BOOL FrameRgn(HDC hdc, HRGN rgn, HBRUSH brush, int width, int height) {
    DrawTarget t;
    auto r = FindGdi<RegionObject>(rgn);
    auto b = BrushFromHandle(brush);
    if (!r || !b || !ResolveTarget(hdc, t)) return FALSE;
    RegionData inner = r->Rgn;
    for (int dx : {-width, width}) {
        RegionData moved = r->Rgn;
        moved.Offset(dx, 0);
        inner = RegionData::Combine(inner, moved, RGN_AND);
    }
    for (int dy : {-height, height}) {
        RegionData moved = r->Rgn;
        moved.Offset(0, dy);
        inner = RegionData::Combine(inner, moved, RGN_AND);
    }
    RegionData frame = RegionData::Combine(r->Rgn, inner, RGN_DIFF);
    const POINT o = t.ToDevice(0, 0);
    frame.Offset(o.x, o.y);
    FillDeviceRegion(t, frame, BrushColor(*b));
    return TRUE;
}

BOOL DrawEdge(HDC hdc, RECT* rc, UINT edge, UINT flags) {
    DrawTarget t;
    if (!rc || !ResolveTarget(hdc, t)) return FALSE;
    RECT r = *rc;
    // Outer then inner line: the top/left colour and the bottom/right colour.
    struct Line {
        UINT Bit;
        int TopLeft, BottomRight;
    };
    const Line lines[2][2] = {
        {{BDR_RAISEDOUTER, COLOR_3DLIGHT, COLOR_3DDKSHADOW},
         {BDR_SUNKENOUTER, COLOR_3DSHADOW, COLOR_3DHIGHLIGHT}},
        {{BDR_RAISEDINNER, COLOR_3DHIGHLIGHT, COLOR_3DSHADOW},
         {BDR_SUNKENINNER, COLOR_3DDKSHADOW, COLOR_3DLIGHT}},
    };
    for (const auto& pair : lines) {
        const Line* l = (edge & pair[0].Bit) ? &pair[0] : (edge & pair[1].Bit) ? &pair[1] : nullptr;
        if (!l) continue;
        const RECT d = t.ToDevice(r);
        const COLORREF tl = GetSysColor(l->TopLeft), br = GetSysColor(l->BottomRight);
        if (flags & BF_TOP) FillDevice(t, RECT{d.left, d.top, d.right, d.top + 1}, tl);
        if (flags & BF_LEFT) FillDevice(t, RECT{d.left, d.top, d.left + 1, d.bottom}, tl);
        if (flags & BF_BOTTOM) FillDevice(t, RECT{d.left, d.bottom - 1, d.right, d.bottom}, br);
        if (flags & BF_RIGHT) FillDevice(t, RECT{d.right - 1, d.top, d.right, d.bottom}, br);
        if (flags & BF_LEFT) ++r.left;
        if (flags & BF_TOP) ++r.top;
        if (flags & BF_RIGHT) --r.right;
        if (flags & BF_BOTTOM) --r.bottom;
    }
    if (flags & BF_MIDDLE) FillDevice(t, t.ToDevice(r), GetSysColor(COLOR_BTNFACE));
    if (flags & BF_ADJUST) *rc = r;
    return TRUE;
}

BOOL DrawFocusRect(HDC hdc, const RECT* rc) {
    DrawTarget t;
    if (!rc || !ResolveTarget(hdc, t)) return FALSE;
    const RECT r = t.ToDevice(*rc);
    if (Empty(r) || !t.Surf.Valid()) return TRUE;
    auto dot = [&](int x, int y) {
        if (!t.Clip.Contains(x, y)) return;
        const int sx = x + t.OriginX, sy = y + t.OriginY;
        WritePixel(t.Surf, sx, sy, (ReadPixel(t.Surf, sx, sy) ^ 0x00FFFFFF) & 0x00FFFFFF);
    };
    for (int x = r.left; x < r.right; x += 2) {
        dot(x, r.top);
        dot(x, r.bottom - 1);
    }
    for (int y = r.top + 1; y < r.bottom - 1; y += 2) {
        dot(r.left, y);
        dot(r.right - 1, y);
    }
    FinishDraw(t, r);
    return TRUE;
}
