#include "WinPaint.h"

#include "WinBackend.h"
#include "WinGdiConst.h"
#include "WinInternal.h"
#include "WinMessage.h"
#include "WinRect.h"
#include "WinRegion.h"
#include "WinWindow.h"

#include <algorithm>
#include <cstring>

using namespace platform::win;

namespace {

RECT WholeWindow(const WindowData& w) {
    return RectOfSize(0, 0, Width(w.Rect), Height(w.Rect));
}

bool NeedsPaint(const WindowData& w) {
    return !w.Update.IsEmpty() || w.NcPaintPending || w.InternalPaint;
}

bool Paintable(const WindowData& w) {
    if (w.MessageOnly || !w.Redraw) return false;
    if (w.Style & WS_MINIMIZE) return false;
    // Windows whose content comes from UpdateLayeredWindow are never painted.
    if (!w.Parent && w.LayeredContent) return false;
    return IsReallyVisible(w);
}

HWND FindInTree(HWND hwnd, HWND filter) {
    auto w = FindWindowData(hwnd);
    if (!w || !Paintable(*w)) return nullptr;
    if (NeedsPaint(*w) && FilterMatches(filter, hwnd)) return hwnd;
    for (HWND c : w->Children)
        if (HWND found = FindInTree(c, filter)) return found;
    return nullptr;
}

// Region of a rectangle or region handle given in client coordinates,
// converted to window coordinates.
std::optional<RegionData> ClientArea(const WindowData& w, const RECT* rc, HRGN rgn) {
    if (rgn) {
        auto r = FindGdi<RegionObject>(rgn);
        if (!r) return std::nullopt;
        RegionData d = r->Rgn;
        d.Offset(w.Client.left, w.Client.top);
        return d;
    }
    if (rc) return RegionData::FromRect(Offset(*rc, w.Client.left, w.Client.top));
    return std::nullopt;
}

void SendEraseNow(HWND hwnd) {
    auto w = FindWindowData(hwnd);
    if (!w) return;
    if (w->NcPaintPending) {
        w->NcPaintPending = false;
        SendSystemMessage(hwnd, WM_NCPAINT, 1, 0);
        w = FindWindowData(hwnd);
        if (!w) return;
    }
    if (w->ErasePending) {
        w->ErasePending = false;
        RegionData clientUpdate = w->Update.Intersected(w->Client);
        clientUpdate.Offset(-w->Client.left, -w->Client.top);
        HDC hdc = CreateWindowDc(hwnd, DcKind::Client, true);
        if (auto dc = FindDc(hdc)) dc->PaintRgn = clientUpdate;
        SendSystemMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
        DeleteDcData(hdc);
    }
}

void UpdateNow(HWND hwnd, bool children, bool paint) {
    auto w = FindWindowData(hwnd);
    if (!w || !Paintable(*w)) return;
    if (NeedsPaint(*w)) {
        if (paint)
            SendSystemMessage(hwnd, WM_PAINT, 0, 0);
        else
            SendEraseNow(hwnd);
    }
    if (!children) return;
    w = FindWindowData(hwnd);
    if (!w) return;
    const std::vector<HWND> kids = w->Children;
    for (HWND c : kids)
        UpdateNow(c, true, paint);
}

} // namespace

namespace platform::win {

void RedrawWindowArea(HWND hwnd, const RegionData* windowRgn, UINT flags) {
    auto w = FindWindowData(hwnd);
    if (!w || w->MessageOnly) return;
    if (IsReallyVisible(*w)) {
        const RECT whole = WholeWindow(*w);
        RegionData area;
        if (windowRgn)
            area = windowRgn->Intersected(whole);
        else
            area = RegionData::FromRect((flags & RDW_FRAME) ? whole : w->Client);
        const bool touchesFrame =
            !RegionData::Combine(area, RegionData::FromRect(w->Client), RGN_DIFF).IsEmpty();

        if (flags & RDW_INVALIDATE) {
            if (!area.IsEmpty()) {
                w->Update = RegionData::Combine(w->Update, area, RGN_OR);
                if (flags & RDW_ERASE) w->ErasePending = true;
                if ((flags & RDW_FRAME) && touchesFrame) w->NcPaintPending = true;
            }
        } else if (flags & RDW_VALIDATE) {
            w->Update = RegionData::Combine(w->Update, area, RGN_DIFF);
            if (w->Update.IsEmpty() || (flags & RDW_NOERASE)) w->ErasePending = false;
            if ((flags & RDW_NOFRAME) || w->Update.IsEmpty()) w->NcPaintPending = false;
        }
        // Internal paint asks for WM_PAINT without any area being invalid.
        if (flags & RDW_INTERNALPAINT) w->InternalPaint = true;
        if (flags & RDW_NOINTERNALPAINT) w->InternalPaint = false;

        const bool children = (flags & RDW_ALLCHILDREN) ||
                              (!(flags & RDW_NOCHILDREN) && !(w->Style & WS_CLIPCHILDREN));
        if (children && (flags & (RDW_INVALIDATE | RDW_VALIDATE))) {
            const std::vector<HWND> kids = w->Children;
            for (HWND c : kids) {
                auto cw = FindWindowData(c);
                if (!cw) continue;
                // The child's part of the area, in the child's window coordinates.
                RegionData part = area;
                part.Offset(-(w->Client.left + cw->Rect.left), -(w->Client.top + cw->Rect.top));
                part = part.Intersected(WholeWindow(*cw));
                if (part.IsEmpty()) continue;
                RedrawWindowArea(c, &part, flags | RDW_FRAME);
            }
        }
    }
    if (flags & RDW_UPDATENOW)
        UpdateNow(hwnd, flags & RDW_ALLCHILDREN, true);
    else if (flags & RDW_ERASENOW)
        UpdateNow(hwnd, flags & RDW_ALLCHILDREN, false);
}

void ExposeParentArea(const WindowData& w, const RECT& rectInParent) {
    auto parent = FindWindowData(w.Parent);
    if (!parent) return;
    const RegionData area =
        RegionData::FromRect(Offset(rectInParent, parent->Client.left, parent->Client.top));
    RedrawWindowArea(w.Parent, &area, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

HWND FindWindowToPaint(HWND filter) {
    for (HWND top : std::vector<HWND>(State().TopLevels))
        if (HWND h = FindInTree(top, filter)) return h;
    return nullptr;
}

RegionData VisibleRegion(const WindowData& w, bool clientOnly, bool clipChildren) {
    if (!IsReallyVisible(w)) return {};
    const RECT own = clientOnly ? w.Client : WholeWindow(w);
    RegionData rgn = RegionData::FromRect(own);
    if (w.WindowRgn) rgn = RegionData::Combine(rgn, *w.WindowRgn, RGN_AND);
    const RECT inTop = RectInTopLevel(w);
    rgn.Offset(inTop.left, inTop.top);

    if (clipChildren) {
        for (HWND c : w.Children) {
            auto cw = FindWindowData(c);
            if (!cw || !(cw->Style & WS_VISIBLE)) continue;
            RegionData cut = RegionData::FromRect(RectInTopLevel(*cw));
            rgn = RegionData::Combine(rgn, cut, RGN_DIFF);
        }
    }
    const WindowData* cur = &w;
    std::shared_ptr<WindowData> hold;
    while (cur->Parent) {
        auto parent = FindWindowData(cur->Parent);
        if (!parent) break;
        const RECT pTop = RectInTopLevel(*parent);
        rgn = rgn.Intersected(Offset(parent->Client, pTop.left, pTop.top));
        if (parent->WindowRgn) {
            RegionData pr = *parent->WindowRgn;
            pr.Offset(pTop.left, pTop.top);
            rgn = RegionData::Combine(rgn, pr, RGN_AND);
        }
        if (cur->Style & WS_CLIPSIBLINGS) {
            for (HWND s : parent->Children) {
                if (s == cur->Handle) break;
                auto sw = FindWindowData(s);
                if (!sw || !(sw->Style & WS_VISIBLE)) continue;
                rgn = RegionData::Combine(rgn, RegionData::FromRect(RectInTopLevel(*sw)), RGN_DIFF);
            }
        }
        hold = parent;
        cur = hold.get();
    }
    rgn.Offset(-(inTop.left + (clientOnly ? w.Client.left : 0)),
               -(inTop.top + (clientOnly ? w.Client.top : 0)));
    return rgn;
}

void MarkDirty(HWND topLevel, const RECT& area) {
    auto w = FindWindowData(topLevel);
    if (!w || !w->Buffer) return;
    const RECT clipped = Intersect(area, RectOfSize(0, 0, w->Buffer->Width, w->Buffer->Height));
    w->Dirty = Union(w->Dirty, clipped);
}

void PresentAll() {
    Backend& b = CurrentBackend();
    for (HWND h : std::vector<HWND>(State().TopLevels)) {
        auto w = FindWindowData(h);
        if (!w || Empty(w->Dirty)) continue;
        const RECT area = w->Dirty;
        w->Dirty = RECT{};
        if (w->Shown) b.Present(h, area);
    }
}

void ResizeBuffer(WindowData& top) {
    const int cx = Width(top.Rect), cy = Height(top.Rect);
    if (top.Buffer && top.Buffer->Width == cx && top.Buffer->Height == cy) return;
    auto fresh = MakeBitmap(std::max(cx, 1), std::max(cy, 1), 32, true);
    if (top.Buffer) {
        const Surface from = top.Buffer->View(), to = fresh->View();
        const int w = std::min(from.Width, to.Width), h = std::min(from.Height, to.Height);
        for (int y = 0; y < h; ++y)
            std::memcpy(to.Row(y), from.Row(y), static_cast<std::size_t>(w) * 4);
    }
    top.Buffer = fresh;
    top.Dirty = RectOfSize(0, 0, fresh->Width, fresh->Height);
}

} // namespace platform::win

BOOL RedrawWindow(HWND hwnd, const RECT* rc, HRGN rgn, UINT flags) {
    if (!hwnd) return FALSE;
    auto w = FindWindowData(hwnd);
    if (!w) return FALSE;
    if (rgn && !FindGdi<RegionObject>(rgn)) return FALSE;
    const auto area = ClientArea(*w, rc, rgn);
    RedrawWindowArea(hwnd, area ? &*area : nullptr, flags);
    return TRUE;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rc, BOOL erase) {
    if (!hwnd) return FALSE;
    return RedrawWindow(hwnd, rc, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase) {
    return RedrawWindow(hwnd, nullptr, rgn, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND hwnd, const RECT* rc) {
    return RedrawWindow(hwnd, rc, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL ValidateRgn(HWND hwnd, HRGN rgn) {
    return RedrawWindow(hwnd, nullptr, rgn, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL UpdateWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) return FALSE;
    RedrawWindowArea(hwnd, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, RECT* rc, BOOL erase) {
    auto w = FindWindowData(hwnd);
    if (!w) return FALSE;
    RegionData clientUpdate = w->Update.Intersected(w->Client);
    clientUpdate.Offset(-w->Client.left, -w->Client.top);
    if (rc) *rc = clientUpdate.Box();
    if (erase && !clientUpdate.IsEmpty()) SendEraseNow(hwnd);
    return clientUpdate.IsEmpty() ? FALSE : TRUE;
}

int GetUpdateRgn(HWND hwnd, HRGN rgn, BOOL erase) {
    auto w = FindWindowData(hwnd);
    auto r = FindGdi<RegionObject>(rgn);
    if (!w || !r) return RGN_ERROR;
    RegionData clientUpdate = w->Update.Intersected(w->Client);
    clientUpdate.Offset(-w->Client.left, -w->Client.top);
    r->Rgn = clientUpdate;
    if (erase && !clientUpdate.IsEmpty()) SendEraseNow(hwnd);
    return clientUpdate.Kind();
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    auto w = FindWindowData(hwnd);
    if (!w || !ps) return nullptr;
    if (w->NcPaintPending) {
        w->NcPaintPending = false;
        SendSystemMessage(hwnd, WM_NCPAINT, 1, 0);
        w = FindWindowData(hwnd);
        if (!w) return nullptr;
    }
    RegionData clientUpdate = w->Update.Intersected(w->Client);
    clientUpdate.Offset(-w->Client.left, -w->Client.top);
    w->Update = RegionData{};
    w->InternalPaint = false;
    const bool erase = w->ErasePending;
    w->ErasePending = false;

    HDC hdc = CreateWindowDc(hwnd, DcKind::Client, w->Style & WS_CLIPCHILDREN);
    if (auto dc = FindDc(hdc)) dc->PaintRgn = clientUpdate;
    *ps = PAINTSTRUCT{};
    ps->hdc = hdc;
    ps->rcPaint = clientUpdate.Box();
    ps->fErase = TRUE;
    if (erase) {
        const LRESULT erased =
            SendSystemMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
        ps->fErase = erased ? FALSE : TRUE;
    }
    return hdc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    if (!ps) return FALSE;
    ReleaseDC(hwnd, ps->hdc);
    return TRUE;
}

HDC GetDC(HWND hwnd) {
    if (!hwnd || hwnd == GetDesktopWindow()) return CreateWindowDc(nullptr, DcKind::Screen, false);
    auto w = FindWindowData(hwnd);
    if (!w) return nullptr;
    return CreateWindowDc(hwnd, DcKind::Client, w->Style & WS_CLIPCHILDREN);
}

HDC GetWindowDC(HWND hwnd) {
    if (!hwnd || hwnd == GetDesktopWindow()) return CreateWindowDc(nullptr, DcKind::Screen, false);
    auto w = FindWindowData(hwnd);
    if (!w) return nullptr;
    return CreateWindowDc(hwnd, DcKind::Window, w->Style & WS_CLIPCHILDREN);
}

HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags) {
    if (!hwnd || hwnd == GetDesktopWindow()) return CreateWindowDc(nullptr, DcKind::Screen, false);
    auto w = FindWindowData(hwnd);
    if (!w) return nullptr;
    const bool clipChildren = (flags & DCX_CLIPCHILDREN) || (w->Style & WS_CLIPCHILDREN);
    HDC hdc =
        CreateWindowDc(hwnd, (flags & DCX_WINDOW) ? DcKind::Window : DcKind::Client, clipChildren);
    if (clip && (flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) {
        auto r = FindGdi<RegionObject>(clip);
        auto dc = FindDc(hdc);
        if (r && dc) {
            // The region is in screen coordinates.
            RegionData rgn = r->Rgn;
            const POINT o =
                (flags & DCX_WINDOW) ? WindowOriginOnScreen(*w) : ClientOriginOnScreen(*w);
            rgn.Offset(-o.x, -o.y);
            if (flags & DCX_INTERSECTRGN) {
                dc->PaintRgn = rgn;
            } else {
                const RECT all = RectOfSize(-0x4000, -0x4000, 0x8000, 0x8000);
                dc->PaintRgn = RegionData::Combine(RegionData::FromRect(all), rgn, RGN_DIFF);
            }
        }
    }
    return hdc;
}

int ReleaseDC(HWND, HDC hdc) {
    auto dc = FindDc(hdc);
    if (!dc || dc->Kind == DcKind::Memory) return 0;
    if (auto w = FindWindowData(dc->Hwnd); w && w->OwnDc == hdc) {
        dc->PaintRgn.reset();
        return 1;
    }
    DeleteDcData(hdc);
    return 1;
}

HWND WindowFromDC(HDC hdc) {
    auto dc = FindDc(hdc);
    return dc ? dc->Hwnd : nullptr;
}

int SetWindowRgn(HWND hwnd, HRGN rgn, BOOL redraw) {
    auto w = FindWindowData(hwnd);
    if (!w) return 0;
    std::optional<RegionData> data;
    if (rgn) {
        auto r = FindGdi<RegionObject>(rgn);
        if (!r) return 0;
        data = r->Rgn;
        // The window owns the region now; the handle is used up.
        RemoveGdiObject(rgn);
    }
    const RECT old = w->Rect;
    w->WindowRgn = data;
    if (redraw) {
        if (w->Parent) ExposeParentArea(*w, old);
        RedrawWindowArea(hwnd, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    if (!w->Parent && w->Shown) CurrentBackend().Reshaped(hwnd);
    return 1;
}

int GetWindowRgn(HWND hwnd, HRGN rgn) {
    auto w = FindWindowData(hwnd);
    auto r = FindGdi<RegionObject>(rgn);
    if (!w || !r || !w->WindowRgn) return RGN_ERROR;
    r->Rgn = *w->WindowRgn;
    return r->Rgn.Kind();
}

BOOL GdiFlush() {
    PresentAll();
    CurrentBackend().Flush();
    return TRUE;
}
