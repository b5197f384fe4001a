#include "WinBitmap.h"

#include "WinDraw.h"
#include "WinInternal.h"
#include "WinRender.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace platform::win;

namespace {

// A source to read from: a surface and the surface position of the source
// DC's device (0, 0).
struct Source {
    Surface Surf;
    int OriginX = 0, OriginY = 0;
    std::shared_ptr<BitmapObject> Keep;
    std::vector<std::uint8_t> Copy; // when source and destination share memory
};

bool ResolveSource(HDC hdc, Source& s, POINT& logicalToDevice) {
    DrawTarget t;
    if (!ResolveTarget(hdc, t)) return false;
    s.Surf = t.Surf;
    s.Keep = t.Keep;
    s.OriginX = t.OriginX;
    s.OriginY = t.OriginY;
    logicalToDevice = t.ToDevice(0, 0);
    return true;
}

// Detaches the source from the destination's memory so that overlapping
// copies read the pixels as they were before the copy.
void Detach(Source& s, const Surface& dst) {
    if (s.Surf.Row0 != dst.Row0 || !s.Surf.Valid()) return;
    const std::ptrdiff_t rowBytes = static_cast<std::ptrdiff_t>(s.Surf.Width) * (s.Surf.Bpp / 8);
    s.Copy.resize(static_cast<std::size_t>(rowBytes * s.Surf.Height));
    for (int y = 0; y < s.Surf.Height; ++y)
        std::memcpy(s.Copy.data() + y * rowBytes, s.Surf.Row(y),
                    static_cast<std::size_t>(rowBytes));
    s.Surf.Row0 = s.Copy.data();
    s.Surf.Stride = rowBytes;
}

// Calls f(destination surface x, y, source pixel) for every clipped pixel of
// the destination rectangle, mapping it to the source by nearest neighbour.
// Sizes may be negative to mirror. Pixels that map outside the source are
// left alone.
template <class F>
void StretchMap(DrawTarget& t, int dx, int dy, int dw, int dh, const Source& src, int sx, int sy,
                int sw, int sh, F&& f) {
    if (!t.Surf.Valid() || !src.Surf.Valid() || !dw || !dh || !sw || !sh) return;
    bool mirrorX = false, mirrorY = false;
    if (dw < 0) {
        dx += dw;
        dw = -dw;
        mirrorX = !mirrorX;
    }
    if (dh < 0) {
        dy += dh;
        dh = -dh;
        mirrorY = !mirrorY;
    }
    if (sw < 0) {
        sx += sw;
        sw = -sw;
        mirrorX = !mirrorX;
    }
    if (sh < 0) {
        sy += sh;
        sh = -sh;
        mirrorY = !mirrorY;
    }
    const RECT area = RectOfSize(dx, dy, dw, dh);
    ForEachClipped(t, area, [&](const RECT& c) {
        for (int y = c.top; y < c.bottom; ++y) {
            std::int64_t j = (static_cast<std::int64_t>(y - dy) * sh) / dh;
            if (mirrorY) j = sh - 1 - j;
            const int srcY = sy + static_cast<int>(j) + src.OriginY;
            if (srcY < 0 || srcY >= src.Surf.Height) continue;
            for (int x = c.left; x < c.right; ++x) {
                std::int64_t i = (static_cast<std::int64_t>(x - dx) * sw) / dw;
                if (mirrorX) i = sw - 1 - i;
                const int srcX = sx + static_cast<int>(i) + src.OriginX;
                if (srcX < 0 || srcX >= src.Surf.Width) continue;
                f(x + t.OriginX, y + t.OriginY, ReadPixel(src.Surf, srcX, srcY));
            }
        }
    });
    FinishDraw(t, area);
}

bool UsesSource(DWORD rop) {
    return rop == SRCCOPY || rop == SRCPAINT || rop == SRCAND || rop == SRCINVERT ||
           rop == SRCERASE || rop == NOTSRCCOPY || rop == NOTSRCERASE || rop == MERGEPAINT;
}

// The raster operation on a destination and a source pixel. A plain copy
// keeps the source's alpha byte; the logical operations leave alpha 0.
std::uint32_t ApplyRop(DWORD rop, std::uint32_t d, std::uint32_t s) {
    switch (rop) {
    case SRCCOPY:
        return s;
    case SRCPAINT:
        return (d | s) & 0x00FFFFFF;
    case SRCAND:
        return (d & s) & 0x00FFFFFF;
    case SRCINVERT:
        return (d ^ s) & 0x00FFFFFF;
    case SRCERASE:
        return (s & ~d) & 0x00FFFFFF;
    case NOTSRCCOPY:
        return (~s) & 0x00FFFFFF;
    case NOTSRCERASE:
        return (~(d | s)) & 0x00FFFFFF;
    case MERGEPAINT:
        return (~s | d) & 0x00FFFFFF;
    default:
        return d;
    }
}

BOOL Transfer(HDC dst, int x, int y, int width, int height, Source& src, int sx, int sy, int sw,
              int sh, DWORD rop) {
    rop &= ~(CAPTUREBLT | NOMIRRORBITMAP);
    if (!UsesSource(rop)) return PatBlt(dst, x, y, width, height, rop);
    DrawTarget t;
    if (!ResolveTarget(dst, t)) return FALSE;
    const POINT d = t.ToDevice(x, y);
    Detach(src, t.Surf);
    StretchMap(t, d.x, d.y, width, height, src, sx, sy, sw, sh,
               [&](int px, int py, std::uint32_t s) {
                   if (src.Surf.Bpp == 24) s &= 0x00FFFFFF;
                   const std::uint32_t old = rop == SRCCOPY ? 0 : ReadPixel(t.Surf, px, py);
                   WritePixel(t.Surf, px, py, ApplyRop(rop, old, s));
               });
    return TRUE;
}

std::uint32_t Div255(std::uint32_t v) {
    return (v + 128 + ((v + 128) >> 8)) >> 8;
}

} // namespace

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop) {
    return StretchBlt(dst, x, y, width, height, src, srcX, srcY, width, height, rop);
}

BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                int srcWidth, int srcHeight, DWORD rop) {
    if (!UsesSource(rop & ~(CAPTUREBLT | NOMIRRORBITMAP)))
        return PatBlt(dst, x, y, width, height, rop);
    Source s;
    POINT o;
    if (!ResolveSource(src, s, o)) return FALSE;
    return Transfer(dst, x, y, width, height, s, srcX + o.x, srcY + o.y, srcWidth, srcHeight, rop);
}

int StretchDIBits(HDC dst, int x, int y, int width, int height, int srcX, int srcY, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT, DWORD rop) {
    Source s;
    if (!DibView(info, bits, s.Surf)) return 0;
    // For bottom-up DIBs the source origin is the lower-left corner.
    int top = srcY;
    if (info->bmiHeader.biHeight > 0) top = s.Surf.Height - srcY - srcHeight;
    if (!Transfer(dst, x, y, width, height, s, srcX, top, srcWidth, srcHeight, rop)) return 0;
    return srcHeight < 0 ? -srcHeight : srcHeight;
}

int SetDIBitsToDevice(HDC dst, int x, int y, DWORD width, DWORD height, int srcX, int srcY,
                      UINT startScan, UINT lines, const void* bits, const BITMAPINFO* info,
                      UINT usage) {
    if (startScan != 0 || !info) return 0;
    const int h = static_cast<int>(std::min<DWORD>(height, lines));
    return StretchDIBits(dst, x, y, static_cast<int>(width), h, srcX, srcY, static_cast<int>(width),
                         h, bits, info, usage, SRCCOPY);
}

BOOL TransparentBlt(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                    int srcWidth, int srcHeight, UINT transparent) {
    if (width < 0 || height < 0 || srcWidth < 0 || srcHeight < 0) return FALSE;
    DrawTarget t;
    Source s;
    POINT o;
    if (!ResolveTarget(dst, t) || !ResolveSource(src, s, o)) return FALSE;
    Detach(s, t.Surf);
    const std::uint32_t key = PixelOf(transparent) & 0x00FFFFFF;
    const POINT d = t.ToDevice(x, y);
    StretchMap(t, d.x, d.y, width, height, s, srcX + o.x, srcY + o.y, srcWidth, srcHeight,
               [&](int px, int py, std::uint32_t p) {
                   if ((p & 0x00FFFFFF) != key) WritePixel(t.Surf, px, py, p & 0x00FFFFFF);
               });
    return TRUE;
}

BOOL AlphaBlend(HDC dst, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                int srcWidth, int srcHeight, BLENDFUNCTION blend) {
    if (width < 0 || height < 0 || srcWidth < 0 || srcHeight < 0 || blend.BlendOp != AC_SRC_OVER)
        return FALSE;
    DrawTarget t;
    Source s;
    POINT o;
    if (!ResolveTarget(dst, t) || !ResolveSource(src, s, o)) return FALSE;
    const int sx = srcX + o.x, sy = srcY + o.y;
    if (s.Surf.Valid()) {
        const RECT bounds = RectOfSize(-s.OriginX, -s.OriginY, s.Surf.Width, s.Surf.Height);
        if (sx < bounds.left || sy < bounds.top || sx + srcWidth > bounds.right ||
            sy + srcHeight > bounds.bottom)
            return FALSE;
    } else {
        return FALSE;
    }
    Detach(s, t.Surf);
    const std::uint32_t sca = blend.SourceConstantAlpha;
    const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) && s.Surf.Bpp == 32;
    const POINT d = t.ToDevice(x, y);
    StretchMap(t, d.x, d.y, width, height, s, sx, sy, srcWidth, srcHeight,
               [&](int px, int py, std::uint32_t p) {
                   const std::uint32_t q = ReadPixel(t.Surf, px, py);
                   std::uint32_t out = 0;
                   if (perPixel) {
                       // Premultiplied source scaled by the constant alpha, then "over".
                       const std::uint32_t sa = Div255(((p >> 24) & 0xFF) * sca);
                       for (int shift = 0; shift < 32; shift += 8) {
                           const std::uint32_t sc = Div255(((p >> shift) & 0xFF) * sca);
                           const std::uint32_t dc = (q >> shift) & 0xFF;
                           const std::uint32_t v =
                               std::min<std::uint32_t>(255, sc + Div255(dc * (255 - sa)));
                           out |= v << shift;
                       }
                   } else {
                       for (int shift = 0; shift < 32; shift += 8) {
                           const std::uint32_t sc = (p >> shift) & 0xFF, dc = (q >> shift) & 0xFF;
                           out |= Div255(sc * sca + dc * (255 - sca)) << shift;
                       }
                   }
                   WritePixel(t.Surf, px, py, out);
               });
    return TRUE;
}
