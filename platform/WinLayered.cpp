#include "WinLayered.h"

#include "WinBackend.h"
#include "WinInternal.h"
#include "WinRender.h"
#include "WinSystem.h"
#include "WinWindow.h"

#include <algorithm>

using namespace platform::win;

namespace {

std::shared_ptr<WindowData> LayeredTopLevel(HWND hwnd) {
    auto w = FindWindowData(hwnd);
    if (!w || w->Parent || !(w->ExStyle & WS_EX_LAYERED)) {
        SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return w;
}

std::uint32_t Scale(std::uint32_t c, std::uint32_t a) {
    return (c * a + 127) / 255;
}

} // namespace

BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags) {
    auto w = LayeredTopLevel(hwnd);
    if (!w) return FALSE;
    w->LayeredAttributes = true;
    w->LayeredKey = key & 0xFFFFFF;
    w->LayeredAlpha = alpha;
    w->LayeredFlags = flags & (LWA_ALPHA | LWA_COLORKEY);
    if (w->LayeredContent) {
        // Back to a painted window: it needs painting.
        w->LayeredContent.reset();
        RedrawWindowArea(hwnd, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    if (w->Shown) CurrentBackend().Relayered(hwnd);
    return TRUE;
}

BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags) {
    auto w = LayeredTopLevel(hwnd);
    if (!w || !w->LayeredAttributes) return FALSE;
    if (key) *key = w->LayeredKey;
    if (alpha) *alpha = w->LayeredAlpha;
    if (flags) *flags = w->LayeredFlags;
    return TRUE;
}

BOOL UpdateLayeredWindow(HWND hwnd, HDC, const POINT* pointDst, const SIZE* size, HDC hdcSrc,
                         const POINT* pointSrc, COLORREF, const BLENDFUNCTION* blend, DWORD flags) {
    auto w = LayeredTopLevel(hwnd);
    if (!w || w->LayeredAttributes) return FALSE;
    if (size && (size->cx < 0 || size->cy < 0)) return FALSE;
    const int cx = size ? size->cx : Width(w->Rect), cy = size ? size->cy : Height(w->Rect);
    const int x = pointDst ? pointDst->x : w->Rect.left, y = pointDst ? pointDst->y : w->Rect.top;
    if (x != w->Rect.left || y != w->Rect.top || cx != Width(w->Rect) || cy != Height(w->Rect))
        SetWindowPos(hwnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    w = FindWindowData(hwnd);
    if (!w) return FALSE;
    if (hdcSrc) {
        DrawTarget src;
        if (!ResolveTarget(hdcSrc, src) || !src.Surf.Valid()) return FALSE;
        const POINT from = pointSrc ? *pointSrc : POINT{};
        const POINT d = src.ToDevice(from.x, from.y);
        const int sx = d.x + src.OriginX, sy = d.y + src.OriginY;
        if (sx < 0 || sy < 0 || sx + cx > src.Surf.Width || sy + cy > src.Surf.Height) return FALSE;
        auto content = MakeBitmap(std::max(cx, 1), std::max(cy, 1), 32, true);
        const Surface out = content->View();
        const std::uint32_t sca = (flags & ULW_ALPHA) && blend ? blend->SourceConstantAlpha : 255;
        for (int row = 0; row < cy; ++row)
            for (int col = 0; col < cx; ++col) {
                std::uint32_t p = ReadPixel(src.Surf, sx + col, sy + row);
                if (src.Surf.Bpp == 24 || (flags & ULW_OPAQUE) || !(flags & ULW_ALPHA))
                    p |= 0xFF000000u;
                if (sca != 255) {
                    p = Scale(p & 0xFF, sca) | (Scale((p >> 8) & 0xFF, sca) << 8) |
                        (Scale((p >> 16) & 0xFF, sca) << 16) | (Scale(p >> 24, sca) << 24);
                }
                out.Row32(row)[col] = p;
            }
        w->LayeredContent = content;
        w->Update = RegionData{};
        w->NcPaintPending = w->ErasePending = w->InternalPaint = false;
    }
    if (w->Shown) {
        CurrentBackend().Relayered(hwnd);
        CurrentBackend().Present(hwnd, RectOfSize(0, 0, cx, cy));
    }
    return TRUE;
}
