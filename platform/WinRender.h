// Inside the window system: where a device context draws. A target is the
// pixel surface, the surface position of device (0, 0) and the device-space
// region that may be touched (visible area, paint region and clip region,
// all intersected). Drawing operations work in device coordinates.
#pragma once

#include "WinObjects.h"
#include "WinRect.h"
#include "WinRegionData.h"
#include "WinState.h"

#include <cstdint>

namespace platform::win {

struct DrawTarget {
    std::shared_ptr<DcData> Dc;
    Surface Surf;
    std::shared_ptr<BitmapObject> Keep; // keeps the surface alive while drawing
    int OriginX = 0, OriginY = 0;
    RegionData Clip; // device coordinates
    HWND Top = nullptr;

    POINT ToDevice(int x, int y) const {
        return POINT{x - Dc->S.WindowOrg.x + Dc->S.ViewportOrg.x,
                     y - Dc->S.WindowOrg.y + Dc->S.ViewportOrg.y};
    }
    RECT ToDevice(const RECT& r) const {
        const POINT a = ToDevice(r.left, r.top), b = ToDevice(r.right, r.bottom);
        return RECT{a.x, a.y, b.x, b.y};
    }
};

// False for an unknown DC.
bool ResolveTarget(HDC hdc, DrawTarget& target);
// The DC's visible area without its clip region (device coordinates).
RegionData DeviceArea(const DcData& dc);
// After drawing inside `deviceArea`: a window buffer is marked for display.
void FinishDraw(const DrawTarget& target, const RECT& deviceArea);

// A COLORREF (0x00BBGGRR) as a pixel (0xAARRGGBB in memory order B, G, R, A).
inline std::uint32_t PixelOf(COLORREF c, std::uint32_t alpha = 0) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF) | (alpha << 24);
}
inline COLORREF ColorOf(std::uint32_t pixel) {
    return ((pixel >> 16) & 0xFF) | (pixel & 0xFF00) | ((pixel & 0xFF) << 16);
}
std::uint32_t ReadPixel(const Surface& s, int x, int y);
void WritePixel(const Surface& s, int x, int y, std::uint32_t pixel);

// A view of caller-owned DIB bits (32 or 24 bits per pixel); false for other
// formats.
bool DibView(const BITMAPINFO* info, const void* bits, Surface& out);

// The colour a brush paints with (system colour brushes follow the table).
COLORREF BrushColor(const BrushObject& brush);
// A brush argument: a handle or a system colour index + 1.
std::shared_ptr<BrushObject> BrushFromHandle(HBRUSH brush);

// Fills device rectangle `r` (clipped) with a colour; GDI leaves alpha 0.
void FillDevice(DrawTarget& t, const RECT& r, COLORREF color);

template <class F> void ForEachClipped(const DrawTarget& t, const RECT& area, F&& f) {
    for (const RECT& c : t.Clip.Rects()) {
        const RECT r = Intersect(c, area);
        if (!Empty(r)) f(r);
    }
}

} // namespace platform::win
