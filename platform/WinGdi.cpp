#include "WinGdi.h"

#include "WinBackend.h"
#include "WinInternal.h"
#include "WinRender.h"
#include "WinStyles.h"
#include "WinSystem.h"

#include <algorithm>
#include <cstring>

using namespace platform::win;

namespace {

std::unordered_map<ULONG_PTR, std::shared_ptr<DcData>>& Dcs() {
    return State().Dcs;
}

HDC NewDc(DcKind kind, HWND hwnd) {
    auto dc = std::make_shared<DcData>();
    dc->Handle = HandleFromInt<HDC>(static_cast<LONG_PTR>(NewHandleValue()));
    dc->Kind = kind;
    dc->Hwnd = hwnd;
    dc->S.Pen = StockObject(BLACK_PEN);
    dc->S.PenData = FindGdi<PenObject>(dc->S.Pen);
    dc->S.Brush = StockObject(WHITE_BRUSH);
    dc->S.BrushData = FindGdi<BrushObject>(dc->S.Brush);
    dc->S.Font = StockObject(SYSTEM_FONT);
    dc->S.FontData = FindGdi<FontObject>(dc->S.Font);
    if (kind == DcKind::Memory) {
        dc->S.Bitmap = StockObject(-1);
        dc->S.BitmapData = FindGdi<BitmapObject>(dc->S.Bitmap);
    }
    Dcs()[HandleToInt(dc->Handle)] = dc;
    return dc->Handle;
}

// The DC's clip region with `rgn` applied by `mode`; without a clip region the
// DC's whole device area stands in for it.
int ApplyClip(DcData& dc, const RegionData* rgn, int mode) {
    if (mode == RGN_COPY) {
        if (rgn)
            dc.S.Clip = *rgn;
        else
            dc.S.Clip.reset();
    } else {
        if (!rgn) return RGN_ERROR;
        const RegionData current = dc.S.Clip ? *dc.S.Clip : DeviceArea(dc);
        dc.S.Clip = RegionData::Combine(current, *rgn, mode);
    }
    const RegionData effective =
        dc.S.Clip ? RegionData::Combine(*dc.S.Clip, DeviceArea(dc), RGN_AND) : DeviceArea(dc);
    return effective.Kind();
}

std::shared_ptr<DcData> Dc(HDC hdc) {
    return FindDc(hdc);
}

} // namespace

namespace platform::win {

HDC CreateWindowDc(HWND hwnd, DcKind kind, bool clipChildren) {
    auto w = FindWindowData(hwnd);
    if (w && (w->Class->Info.style & CS_OWNDC) && kind == DcKind::Client) {
        if (!w->OwnDc || !FindDc(w->OwnDc)) w->OwnDc = NewDc(kind, hwnd);
        auto dc = FindDc(w->OwnDc);
        dc->ClipChildren = clipChildren;
        dc->PaintRgn.reset();
        return w->OwnDc;
    }
    HDC h = NewDc(kind, hwnd);
    FindDc(h)->ClipChildren = clipChildren;
    return h;
}

std::shared_ptr<DcData> FindDc(HDC hdc) {
    auto& d = Dcs();
    auto it = d.find(HandleToInt(hdc));
    return it == d.end() ? nullptr : it->second;
}

void DeleteDcData(HDC hdc) {
    auto dc = FindDc(hdc);
    if (!dc) return;
    if (dc->S.BitmapData) --dc->S.BitmapData->Selected;
    Dcs().erase(HandleToInt(hdc));
}

void ForgetWindowDcs(HWND hwnd) {
    std::vector<HDC> gone;
    for (auto& [h, dc] : Dcs())
        if (dc->Hwnd == hwnd) gone.push_back(dc->Handle);
    for (HDC h : gone)
        DeleteDcData(h);
}

void ResetDcs() {
    Dcs().clear();
}

RegionData DeviceArea(const DcData& dc) {
    switch (dc.Kind) {
    case DcKind::Memory: {
        if (!dc.S.BitmapData) return {};
        return RegionData::FromRect(
            RectOfSize(0, 0, dc.S.BitmapData->Width, dc.S.BitmapData->Height));
    }
    case DcKind::Client:
    case DcKind::Window: {
        auto w = FindWindowData(dc.Hwnd);
        if (!w) return {};
        RegionData v = VisibleRegion(*w, dc.Kind == DcKind::Client, dc.ClipChildren);
        if (dc.PaintRgn) v = RegionData::Combine(v, *dc.PaintRgn, RGN_AND);
        return v;
    }
    case DcKind::Screen:
    default:
        return {};
    }
}

bool ResolveTarget(HDC hdc, DrawTarget& t) {
    auto dc = FindDc(hdc);
    if (!dc) return false;
    t = DrawTarget{};
    t.Dc = dc;
    if (dc->Kind == DcKind::Memory) {
        t.Keep = dc->S.BitmapData;
        if (t.Keep) t.Surf = t.Keep->View();
    } else if (dc->Kind != DcKind::Screen) {
        auto w = FindWindowData(dc->Hwnd);
        if (!w) return true; // a DC of a destroyed window draws nothing
        t.Top = TopLevelOf(dc->Hwnd);
        auto top = FindWindowData(t.Top);
        if (top && top->Buffer) {
            t.Keep = top->Buffer;
            t.Surf = t.Keep->View();
            const RECT r = RectInTopLevel(*w);
            t.OriginX = r.left + (dc->Kind == DcKind::Client ? w->Client.left : 0);
            t.OriginY = r.top + (dc->Kind == DcKind::Client ? w->Client.top : 0);
        }
    }
    if (!t.Surf.Valid()) return true;
    RegionData area = DeviceArea(*dc);
    area = area.Intersected(RectOfSize(-t.OriginX, -t.OriginY, t.Surf.Width, t.Surf.Height));
    if (dc->S.Clip) area = RegionData::Combine(area, *dc->S.Clip, RGN_AND);
    t.Clip = std::move(area);
    return true;
}

void FinishDraw(const DrawTarget& t, const RECT& deviceArea) {
    if (!t.Top) return;
    MarkDirty(t.Top, Offset(Intersect(deviceArea, t.Clip.Box()), t.OriginX, t.OriginY));
}

std::uint32_t ReadPixel(const Surface& s, int x, int y) {
    if (s.Bpp == 32) return s.Row32(y)[x];
    const std::uint8_t* p = s.Row(y) + x * 3;
    return p[0] | (p[1] << 8) | (p[2] << 16);
}

void WritePixel(const Surface& s, int x, int y, std::uint32_t pixel) {
    if (s.Bpp == 32) {
        s.Row32(y)[x] = pixel;
        return;
    }
    std::uint8_t* p = s.Row(y) + x * 3;
    p[0] = pixel & 0xFF;
    p[1] = (pixel >> 8) & 0xFF;
    p[2] = (pixel >> 16) & 0xFF;
}

COLORREF BrushColor(const BrushObject& brush) {
    return brush.SysColor >= 0 ? GetSysColor(brush.SysColor) : brush.Color;
}

std::shared_ptr<BrushObject> BrushFromHandle(HBRUSH brush) {
    const ULONG_PTR v = HandleToInt(brush);
    if (v > 0 && v <= 31) return FindGdi<BrushObject>(GetSysColorBrush(static_cast<int>(v) - 1));
    return FindGdi<BrushObject>(brush);
}

void FillDevice(DrawTarget& t, const RECT& r, COLORREF color) {
    if (!t.Surf.Valid()) return;
    const std::uint32_t px = PixelOf(color);
    ForEachClipped(t, r, [&](const RECT& c) {
        for (int y = c.top; y < c.bottom; ++y) {
            const int sy = y + t.OriginY;
            if (t.Surf.Bpp == 32) {
                std::fill_n(t.Surf.Row32(sy) + c.left + t.OriginX, Width(c), px);
            } else {
                for (int x = c.left; x < c.right; ++x)
                    WritePixel(t.Surf, x + t.OriginX, sy, px);
            }
        }
    });
    FinishDraw(t, r);
}

} // namespace platform::win

// ---------------------------------------------------------------- DCs

HDC CreateCompatibleDC(HDC) {
    return NewDc(DcKind::Memory, nullptr);
}

BOOL DeleteDC(HDC hdc) {
    auto dc = Dc(hdc);
    if (!dc) return FALSE;
    if (auto w = FindWindowData(dc->Hwnd); w && w->OwnDc == hdc) w->OwnDc = nullptr;
    DeleteDcData(hdc);
    return TRUE;
}

HGDIOBJ GetStockObject(int index) {
    return index < 0 ? nullptr : StockObject(index);
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
    auto dc = Dc(hdc);
    auto obj = FindGdiObject(object);
    if (!dc || !obj) return nullptr;
    DcState& s = dc->S;
    switch (obj->Type) {
    case OBJ_PEN: {
        HGDIOBJ old = s.Pen;
        s.Pen = object;
        s.PenData = std::static_pointer_cast<PenObject>(obj);
        return old;
    }
    case OBJ_BRUSH: {
        HGDIOBJ old = s.Brush;
        s.Brush = object;
        s.BrushData = std::static_pointer_cast<BrushObject>(obj);
        return old;
    }
    case OBJ_FONT: {
        HGDIOBJ old = s.Font;
        s.Font = object;
        s.FontData = std::static_pointer_cast<FontObject>(obj);
        return old;
    }
    case OBJ_BITMAP: {
        if (dc->Kind != DcKind::Memory) return nullptr;
        auto bmp = std::static_pointer_cast<BitmapObject>(obj);
        if (bmp == s.BitmapData) return object;
        // A bitmap lives in one DC at a time.
        if (bmp->Selected > 0 && !bmp->Stock) return nullptr;
        HGDIOBJ old = s.Bitmap;
        if (s.BitmapData) --s.BitmapData->Selected;
        s.Bitmap = object;
        s.BitmapData = bmp;
        ++bmp->Selected;
        // A new surface starts without a clip region.
        s.Clip.reset();
        return old;
    }
    case OBJ_REGION: {
        const int kind = SelectClipRgn(hdc, static_cast<HRGN>(object));
        return reinterpret_cast<HGDIOBJ>(static_cast<ULONG_PTR>(kind));
    }
    default:
        return nullptr;
    }
}

BOOL DeleteObject(HGDIOBJ object) {
    auto obj = FindGdiObject(object);
    if (!obj) return FALSE;
    if (obj->Stock) return TRUE;
    if (obj->Type == OBJ_BITMAP && obj->Selected > 0) return FALSE;
    RemoveGdiObject(object);
    return TRUE;
}

int GetObjectW(HGDIOBJ object, int size, LPVOID buffer) {
    auto obj = FindGdiObject(object);
    if (!obj) return 0;
    auto give = [&](const void* data, int bytes) {
        if (!buffer) return bytes;
        const int n = std::min(size, bytes);
        if (n > 0) std::memcpy(buffer, data, static_cast<std::size_t>(n));
        return n > 0 ? n : 0;
    };
    switch (obj->Type) {
    case OBJ_PEN: {
        auto p = std::static_pointer_cast<PenObject>(obj);
        LOGPEN lp{static_cast<UINT>(p->Style), POINT{p->Width, 0}, p->Color};
        return give(&lp, sizeof lp);
    }
    case OBJ_BRUSH: {
        auto b = std::static_pointer_cast<BrushObject>(obj);
        LOGBRUSH lb{b->Style, BrushColor(*b), 0};
        return give(&lb, sizeof lb);
    }
    case OBJ_FONT: {
        auto f = std::static_pointer_cast<FontObject>(obj);
        return give(&f->Log, sizeof f->Log);
    }
    case OBJ_BITMAP: {
        auto b = std::static_pointer_cast<BitmapObject>(obj);
        DIBSECTION ds;
        ds.dsBm.bmType = 0;
        ds.dsBm.bmWidth = b->Width;
        ds.dsBm.bmHeight = b->Height;
        ds.dsBm.bmWidthBytes = static_cast<LONG>(b->RowBytes);
        ds.dsBm.bmPlanes = 1;
        ds.dsBm.bmBitsPixel = static_cast<WORD>(b->Bpp);
        ds.dsBm.bmBits = b->Dib ? b->Bits.get() : nullptr;
        if (b->Dib && (size >= static_cast<int>(sizeof(DIBSECTION)) || !buffer)) {
            ds.dsBmih.biWidth = b->Width;
            ds.dsBmih.biHeight = b->TopDown ? -b->Height : b->Height;
            ds.dsBmih.biBitCount = static_cast<WORD>(b->Bpp);
            ds.dsBmih.biSizeImage = static_cast<DWORD>(b->RowBytes * b->Height);
            return give(&ds, sizeof ds);
        }
        return give(&ds.dsBm, sizeof ds.dsBm);
    }
    default:
        return 0;
    }
}

DWORD GetObjectType(HGDIOBJ object) {
    if (auto obj = FindGdiObject(object)) return obj->Type;
    if (auto dc = FindDc(static_cast<HDC>(object)))
        return dc->Kind == DcKind::Memory ? OBJ_MEMDC : OBJ_DC;
    return 0;
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
    auto dc = Dc(hdc);
    if (!dc) return nullptr;
    switch (type) {
    case OBJ_PEN:
        return dc->S.Pen;
    case OBJ_BRUSH:
        return dc->S.Brush;
    case OBJ_FONT:
        return dc->S.Font;
    case OBJ_BITMAP:
        return dc->S.Bitmap;
    default:
        return nullptr;
    }
}

HBRUSH CreateSolidBrush(COLORREF color) {
    auto b = std::make_shared<BrushObject>();
    b->Style = BS_SOLID;
    b->Color = color & 0xFFFFFF;
    return static_cast<HBRUSH>(AddGdiObject(b));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush) {
    if (!brush) return nullptr;
    auto b = std::make_shared<BrushObject>();
    // Hatched brushes paint solid in their colour.
    b->Style = brush->lbStyle == BS_NULL ? BS_NULL : BS_SOLID;
    b->Color = brush->lbColor & 0xFFFFFF;
    return static_cast<HBRUSH>(AddGdiObject(b));
}

HPEN CreatePen(int style, int width, COLORREF color) {
    auto p = std::make_shared<PenObject>();
    p->Style = style & 0xF;
    p->Width = std::max(width, 1);
    p->Color = color & 0xFFFFFF;
    return static_cast<HPEN>(AddGdiObject(p));
}

HPEN CreatePenIndirect(const LOGPEN* pen) {
    return pen ? CreatePen(static_cast<int>(pen->lopnStyle), pen->lopnWidth.x, pen->lopnColor)
               : nullptr;
}

// ---------------------------------------------------------------- states

int SaveDC(HDC hdc) {
    auto dc = Dc(hdc);
    if (!dc) return 0;
    dc->Saved.push_back(dc->S);
    return static_cast<int>(dc->Saved.size());
}

BOOL RestoreDC(HDC hdc, int level) {
    auto dc = Dc(hdc);
    if (!dc || level == 0) return FALSE;
    const int count = static_cast<int>(dc->Saved.size());
    const int index = level < 0 ? count + level : level - 1;
    if (index < 0 || index >= count) return FALSE;
    DcState restored = dc->Saved[static_cast<std::size_t>(index)];
    if (restored.BitmapData != dc->S.BitmapData) {
        if (dc->S.BitmapData) --dc->S.BitmapData->Selected;
        if (restored.BitmapData) ++restored.BitmapData->Selected;
    }
    dc->S = std::move(restored);
    dc->Saved.resize(static_cast<std::size_t>(index));
    return TRUE;
}

namespace {
BOOL SetPoint(HDC hdc, POINT DcState::*field, int x, int y, POINT* old, bool relative) {
    auto dc = Dc(hdc);
    if (!dc) return FALSE;
    POINT& p = dc->S.*field;
    if (old) *old = p;
    if (relative)
        p = POINT{p.x + x, p.y + y};
    else
        p = POINT{x, y};
    return TRUE;
}
BOOL GetPoint(HDC hdc, POINT DcState::*field, POINT* pt) {
    auto dc = Dc(hdc);
    if (!dc || !pt) return FALSE;
    *pt = dc->S.*field;
    return TRUE;
}
} // namespace

BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old) {
    return SetPoint(hdc, &DcState::ViewportOrg, x, y, old, false);
}
BOOL GetViewportOrgEx(HDC hdc, POINT* pt) {
    return GetPoint(hdc, &DcState::ViewportOrg, pt);
}
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, POINT* old) {
    return SetPoint(hdc, &DcState::ViewportOrg, dx, dy, old, true);
}
BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* old) {
    return SetPoint(hdc, &DcState::WindowOrg, x, y, old, false);
}
BOOL GetWindowOrgEx(HDC hdc, POINT* pt) {
    return GetPoint(hdc, &DcState::WindowOrg, pt);
}
BOOL SetBrushOrgEx(HDC hdc, int x, int y, POINT* old) {
    return SetPoint(hdc, &DcState::BrushOrg, x, y, old, false);
}
BOOL GetBrushOrgEx(HDC hdc, POINT* pt) {
    return GetPoint(hdc, &DcState::BrushOrg, pt);
}

BOOL LPtoDP(HDC hdc, POINT* points, int count) {
    auto dc = Dc(hdc);
    if (!dc || (!points && count)) return FALSE;
    for (int i = 0; i < count; ++i) {
        points[i].x += dc->S.ViewportOrg.x - dc->S.WindowOrg.x;
        points[i].y += dc->S.ViewportOrg.y - dc->S.WindowOrg.y;
    }
    return TRUE;
}

BOOL DPtoLP(HDC hdc, POINT* points, int count) {
    auto dc = Dc(hdc);
    if (!dc || (!points && count)) return FALSE;
    for (int i = 0; i < count; ++i) {
        points[i].x -= dc->S.ViewportOrg.x - dc->S.WindowOrg.x;
        points[i].y -= dc->S.ViewportOrg.y - dc->S.WindowOrg.y;
    }
    return TRUE;
}

int SetMapMode(HDC hdc, int mode) {
    auto dc = Dc(hdc);
    if (!dc || mode != MM_TEXT) return 0;
    return MM_TEXT;
}
int GetMapMode(HDC hdc) {
    return Dc(hdc) ? MM_TEXT : 0;
}

// ---------------------------------------------------------------- clipping

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
    auto dc = Dc(hdc);
    if (!dc) return RGN_ERROR;
    DrawTarget t;
    ResolveTarget(hdc, t);
    const RegionData r = RegionData::FromRect(t.ToDevice(RECT{left, top, right, bottom}));
    return ApplyClip(*dc, &r, RGN_AND);
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
    auto dc = Dc(hdc);
    if (!dc) return RGN_ERROR;
    DrawTarget t;
    ResolveTarget(hdc, t);
    const RegionData r = RegionData::FromRect(t.ToDevice(RECT{left, top, right, bottom}));
    return ApplyClip(*dc, &r, RGN_DIFF);
}

int SelectClipRgn(HDC hdc, HRGN rgn) {
    return ExtSelectClipRgn(hdc, rgn, RGN_COPY);
}

int ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode) {
    auto dc = Dc(hdc);
    if (!dc || mode < RGN_AND || mode > RGN_COPY) return RGN_ERROR;
    if (!rgn) {
        if (mode != RGN_COPY) return RGN_ERROR;
        return ApplyClip(*dc, nullptr, RGN_COPY);
    }
    auto r = FindGdi<RegionObject>(rgn);
    if (!r) return RGN_ERROR;
    return ApplyClip(*dc, &r->Rgn, mode);
}

int OffsetClipRgn(HDC hdc, int dx, int dy) {
    auto dc = Dc(hdc);
    if (!dc) return RGN_ERROR;
    if (dc->S.Clip) dc->S.Clip->Offset(dx, dy);
    return dc->S.Clip ? dc->S.Clip->Kind() : SIMPLEREGION;
}

int GetClipRgn(HDC hdc, HRGN rgn) {
    auto dc = Dc(hdc);
    auto r = FindGdi<RegionObject>(rgn);
    if (!dc || !r) return -1;
    if (!dc->S.Clip) return 0;
    r->Rgn = *dc->S.Clip;
    return 1;
}

int GetClipBox(HDC hdc, RECT* rc) {
    DrawTarget t;
    if (!rc || !ResolveTarget(hdc, t)) return RGN_ERROR;
    if (t.Dc->Kind == DcKind::Screen) {
        const RECT s = CurrentBackend().ScreenRect();
        *rc = RectOfSize(0, 0, Width(s), Height(s));
        return SIMPLEREGION;
    }
    const RECT box = t.Clip.Box();
    const POINT o{t.Dc->S.ViewportOrg.x - t.Dc->S.WindowOrg.x,
                  t.Dc->S.ViewportOrg.y - t.Dc->S.WindowOrg.y};
    *rc = Empty(box) ? RECT{} : Offset(box, -o.x, -o.y);
    return t.Clip.Kind();
}

BOOL PtVisible(HDC hdc, int x, int y) {
    DrawTarget t;
    if (!ResolveTarget(hdc, t)) return FALSE;
    const POINT d = t.ToDevice(x, y);
    return t.Clip.Contains(d.x, d.y);
}

BOOL RectVisible(HDC hdc, const RECT* rc) {
    DrawTarget t;
    if (!rc || !ResolveTarget(hdc, t)) return FALSE;
    return t.Clip.Intersects(t.ToDevice(*rc));
}

// ---------------------------------------------------------------- attributes

namespace {
template <class T> T Exchange(HDC hdc, T DcState::*field, T value, T failure) {
    auto dc = Dc(hdc);
    if (!dc) return failure;
    T old = dc->S.*field;
    dc->S.*field = value;
    return old;
}
template <class T> T Read(HDC hdc, T DcState::*field, T failure) {
    auto dc = Dc(hdc);
    return dc ? dc->S.*field : failure;
}
} // namespace

COLORREF SetTextColor(HDC hdc, COLORREF color) {
    return Exchange(hdc, &DcState::TextColor, color & 0xFFFFFF, CLR_INVALID);
}
COLORREF GetTextColor(HDC hdc) {
    return Read(hdc, &DcState::TextColor, CLR_INVALID);
}
COLORREF SetBkColor(HDC hdc, COLORREF color) {
    return Exchange(hdc, &DcState::BkColor, color & 0xFFFFFF, CLR_INVALID);
}
COLORREF GetBkColor(HDC hdc) {
    return Read(hdc, &DcState::BkColor, CLR_INVALID);
}
int SetBkMode(HDC hdc, int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) return 0;
    return Exchange(hdc, &DcState::BkMode, mode, 0);
}
int GetBkMode(HDC hdc) {
    return Read(hdc, &DcState::BkMode, 0);
}
UINT SetTextAlign(HDC hdc, UINT align) {
    return Exchange(hdc, &DcState::TextAlign, align, static_cast<UINT>(-1));
}
UINT GetTextAlign(HDC hdc) {
    return Read(hdc, &DcState::TextAlign, static_cast<UINT>(-1));
}
int SetROP2(HDC hdc, int rop) {
    return Exchange(hdc, &DcState::Rop2, rop, 0);
}
int GetROP2(HDC hdc) {
    return Read(hdc, &DcState::Rop2, 0);
}
int SetStretchBltMode(HDC hdc, int mode) {
    return Exchange(hdc, &DcState::StretchMode, mode, 0);
}
int GetStretchBltMode(HDC hdc) {
    return Read(hdc, &DcState::StretchMode, 0);
}
COLORREF SetDCBrushColor(HDC hdc, COLORREF color) {
    return Exchange(hdc, &DcState::DcBrushColor, color & 0xFFFFFF, CLR_INVALID);
}
COLORREF SetDCPenColor(HDC hdc, COLORREF color) {
    return Exchange(hdc, &DcState::DcPenColor, color & 0xFFFFFF, CLR_INVALID);
}

int GetDeviceCaps(HDC hdc, int index) {
    if (!Dc(hdc)) return 0;
    const RECT s = CurrentBackend().ScreenRect();
    switch (index) {
    case HORZRES:
        return Width(s);
    case VERTRES:
        return Height(s);
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return -1;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    case RASTERCAPS:
        return 0x0001 | 0x0008 | 0x0080 | 0x0200 |
               0x0800; // BITBLT, BITMAP64, DI_BITMAP, DIBTODEV, STRETCHBLT
    default:
        return 0;
    }
}
