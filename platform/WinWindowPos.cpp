// Window geometry: positions, sizes, z-order, showing, minimizing and
// maximizing, and coordinate conversion.
#include "WinBackend.h"
#include "WinInput.h"
#include "WinInternal.h"
#include "WinMessage.h"
#include "WinRect.h"
#include "WinSystem.h"
#include "WinWindow.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

using namespace platform::win;

namespace platform::win {

bool IsResizable(const WindowData& w) {
    return (w.Style & WS_THICKFRAME) || !(w.Style & (WS_POPUP | WS_CHILD));
}

void SendGetMinMaxInfo(WindowData& w, MINMAXINFO& mmi) {
    const RECT work = CurrentBackend().WorkArea();
    const RECT insets = FrameInsets(w.Style, w.ExStyle);
    mmi.ptMaxSize = {Width(work) + insets.left + insets.right,
                     Height(work) + insets.top + insets.bottom};
    mmi.ptMaxPosition = {work.left - insets.left, work.top - insets.top};
    mmi.ptMinTrackSize = {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    mmi.ptMaxTrackSize = {GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    SendSystemMessage(w.Handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
}

BOOL SetWindowPosInternal(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags,
                          bool fromDisplay) {
    auto w = FindWindowData(hwnd);
    if (!w) return FALSE;
    WINDOWPOS wp{hwnd, insertAfter, x, y, cx, cy, flags};
    if ((wp.flags & SWP_SHOWWINDOW) && (w->Style & WS_VISIBLE)) wp.flags &= ~SWP_SHOWWINDOW;
    if ((wp.flags & SWP_HIDEWINDOW) && !(w->Style & WS_VISIBLE)) wp.flags &= ~SWP_HIDEWINDOW;
    if (wp.flags & SWP_NOMOVE) {
        wp.x = w->Rect.left;
        wp.y = w->Rect.top;
    }
    if (wp.flags & SWP_NOSIZE) {
        wp.cx = Width(w->Rect);
        wp.cy = Height(w->Rect);
    }
    if (!(wp.flags & SWP_NOSENDCHANGING))
        SendSystemMessage(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
    w = FindWindowData(hwnd);
    if (!w) return FALSE;
    wp.cx = std::max(wp.cx, 0);
    wp.cy = std::max(wp.cy, 0);

    const RECT oldRect = w->Rect;
    const RECT oldClient = w->Client;
    const bool wasVisible = IsReallyVisible(*w);
    const RECT newRect = RectOfSize(wp.x, wp.y, wp.cx, wp.cy);
    const bool sized = Width(newRect) != Width(oldRect) || Height(newRect) != Height(oldRect);
    const bool moved = newRect.left != oldRect.left || newRect.top != oldRect.top;

    RECT newClient = oldClient;
    if (sized || (wp.flags & SWP_FRAMECHANGED)) {
        NCCALCSIZE_PARAMS params;
        params.rgrc[0] = newRect;
        params.rgrc[1] = oldRect;
        params.rgrc[2] = Offset(oldClient, oldRect.left, oldRect.top);
        params.lppos = &wp;
        SendSystemMessage(hwnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
        w = FindWindowData(hwnd);
        if (!w) return FALSE;
        newClient = Offset(params.rgrc[0], -newRect.left, -newRect.top);
        newClient.right = std::max(newClient.right, newClient.left);
        newClient.bottom = std::max(newClient.bottom, newClient.top);
    }
    w->Rect = newRect;
    w->Client = newClient;
    if (!(wp.flags & SWP_NOZORDER)) LinkWindow(*w, wp.hwndInsertAfter);
    if (wp.flags & SWP_SHOWWINDOW) w->Style |= WS_VISIBLE;
    if (wp.flags & SWP_HIDEWINDOW) w->Style &= ~WS_VISIBLE;
    if (!w->Parent && !w->MessageOnly && sized) ResizeBuffer(*w);

    const bool nowVisible = IsReallyVisible(*w);
    const bool clientChanged = !(oldClient == newClient);
    if (!(wp.flags & SWP_NOREDRAW)) {
        if (w->Parent && wasVisible &&
            (moved || sized || !nowVisible || !(wp.flags & SWP_NOZORDER)))
            ExposeParentArea(*w, oldRect);
        if (nowVisible &&
            (!wasVisible || sized || moved || clientChanged || (wp.flags & SWP_FRAMECHANGED) ||
             (w->Parent && !(wp.flags & SWP_NOZORDER))))
            RedrawWindowArea(hwnd, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    } else if (wp.flags & SWP_FRAMECHANGED) {
        w->NcPaintPending = true;
    }
    if (w->Parent && !nowVisible && wasVisible) {
        // Hiding a window that holds the capture or focus hands them back.
        ForgetWindowInput(hwnd);
    }

    if (!w->Parent && !w->MessageOnly && !fromDisplay) {
        Backend& b = CurrentBackend();
        if (nowVisible && !w->Shown) {
            w->Shown = true;
            b.Show(hwnd, true);
        } else if (w->Shown) {
            if (moved || sized) b.Moved(hwnd, w->Rect);
            if (nowVisible != wasVisible) b.Show(hwnd, nowVisible);
            if (!(wp.flags & SWP_NOZORDER)) b.Restacked(hwnd);
        }
    }

    if (!w->Parent && (wp.flags & SWP_HIDEWINDOW) && State().Active == hwnd) {
        ActivateTopLevel(nullptr, WA_INACTIVE);
    }
    if (!w->Parent && (wp.flags & SWP_SHOWWINDOW) && !(wp.flags & SWP_NOACTIVATE) &&
        !(w->ExStyle & WS_EX_NOACTIVATE))
        ActivateTopLevel(hwnd, WA_ACTIVE);

    WINDOWPOS changed = wp;
    changed.x = w->Rect.left;
    changed.y = w->Rect.top;
    changed.cx = Width(w->Rect);
    changed.cy = Height(w->Rect);
    if (Width(oldClient) == Width(newClient) && Height(oldClient) == Height(newClient) && !sized)
        changed.flags |= SWP_NOCLIENTSIZE;
    if (!moved && oldClient.left == newClient.left && oldClient.top == newClient.top)
        changed.flags |= SWP_NOCLIENTMOVE;
    SendSystemMessage(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&changed));
    return TRUE;
}

} // namespace platform::win

// ---------------------------------------------------------------- geometry

BOOL ShowWindow(HWND hwnd, int command) {
    auto w = FindWindowData(hwnd);
    if (!w) return FALSE;
    const BOOL wasVisible = (w->Style & WS_VISIBLE) ? TRUE : FALSE;
    UINT flags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER;
    const bool child = w->Parent != nullptr;
    auto sendShow = [&](bool show) {
        if (bool(wasVisible) != show) SendSystemMessage(hwnd, WM_SHOWWINDOW, show, 0);
    };
    switch (command) {
    case SW_HIDE:
        if (!wasVisible) return FALSE;
        sendShow(false);
        SetWindowPosInternal(hwnd, nullptr, 0, 0, 0, 0, flags | SWP_HIDEWINDOW | SWP_NOACTIVATE,
                             false);
        return wasVisible;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE: {
        sendShow(true);
        w = FindWindowData(hwnd);
        if (!w) return wasVisible;
        const bool already = w->Style & WS_MINIMIZE;
        if (!(w->Style & (WS_MINIMIZE | WS_MAXIMIZE))) w->NormalRect = w->Rect;
        w->Style = (w->Style | WS_MINIMIZE) & ~WS_MAXIMIZE;
        // The flags of the original's minimize, which skinned forms recognise.
        SetWindowPosInternal(
            hwnd, nullptr, 0, 0, 0, 0,
            flags | SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOCOPYBITS, false);
        w = FindWindowData(hwnd);
        if (w && !child && !already) {
            if (w->Shown) CurrentBackend().Minimize(hwnd, true);
            SendSystemMessage(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
            if (State().Active == hwnd) ActivateTopLevel(nullptr, WA_INACTIVE);
        }
        return wasVisible;
    }
    case SW_SHOWMAXIMIZED: {
        sendShow(true);
        w = FindWindowData(hwnd);
        if (!w) return wasVisible;
        if (!(w->Style & (WS_MINIMIZE | WS_MAXIMIZE))) w->NormalRect = w->Rect;
        const bool wasMin = w->Style & WS_MINIMIZE;
        w->Style = (w->Style | WS_MAXIMIZE) & ~WS_MINIMIZE;
        MINMAXINFO mmi;
        SendGetMinMaxInfo(*w, mmi);
        if (wasMin && w->Shown) CurrentBackend().Minimize(hwnd, false);
        SetWindowPosInternal(hwnd, HWND_TOP, mmi.ptMaxPosition.x, mmi.ptMaxPosition.y,
                             mmi.ptMaxSize.x, mmi.ptMaxSize.y, SWP_SHOWWINDOW | SWP_FRAMECHANGED,
                             false);
        return wasVisible;
    }
    case SW_RESTORE:
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT:
        if (w->Style & (WS_MINIMIZE | WS_MAXIMIZE)) {
            sendShow(true);
            w = FindWindowData(hwnd);
            if (!w) return wasVisible;
            const bool wasMin = w->Style & WS_MINIMIZE;
            w->Style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
            if (wasMin && w->Shown) CurrentBackend().Minimize(hwnd, false);
            const RECT r = w->NormalRect;
            SetWindowPosInternal(hwnd, HWND_TOP, r.left, r.top, Width(r), Height(r),
                                 SWP_SHOWWINDOW | SWP_FRAMECHANGED, false);
            w = FindWindowData(hwnd);
            if (w && wasMin)
                SendSystemMessage(hwnd, WM_SIZE, SIZE_RESTORED,
                                  MAKELPARAM(Width(w->Client), Height(w->Client)));
            return wasVisible;
        }
        [[fallthrough]];
    case SW_SHOW:
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
    default:
        sendShow(true);
        if (command == SW_SHOWNA || command == SW_SHOWNOACTIVATE) flags |= SWP_NOACTIVATE;
        SetWindowPosInternal(hwnd, nullptr, 0, 0, 0, 0, flags | SWP_SHOWWINDOW, false);
        return wasVisible;
    }
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return SetWindowPosInternal(hwnd, insertAfter, x, y, cx, cy, flags, false);
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hwnd) {
    return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

BOOL GetWindowRect(HWND hwnd, RECT* rc) {
    if (!rc) return FALSE;
    if (hwnd && hwnd == GetDesktopWindow()) {
        *rc = CurrentBackend().ScreenRect();
        return TRUE;
    }
    auto w = FindWindowData(hwnd);
    if (!w) return FALSE;
    const POINT o = WindowOriginOnScreen(*w);
    *rc = RectOfSize(o.x, o.y, Width(w->Rect), Height(w->Rect));
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rc) {
    if (!rc) return FALSE;
    if (hwnd && hwnd == GetDesktopWindow()) {
        const RECT s = CurrentBackend().ScreenRect();
        *rc = RectOfSize(0, 0, Width(s), Height(s));
        return TRUE;
    }
    auto w = FindWindowData(hwnd);
    if (!w) return FALSE;
    *rc = RectOfSize(0, 0, Width(w->Client), Height(w->Client));
    return TRUE;
}

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement) {
    auto w = FindWindowData(hwnd);
    if (!w || !placement) return FALSE;
    placement->flags = 0;
    placement->showCmd = (w->Style & WS_MINIMIZE)   ? SW_SHOWMINIMIZED
                         : (w->Style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED
                                                    : SW_SHOWNORMAL;
    placement->rcNormalPosition =
        (w->Style & (WS_MINIMIZE | WS_MAXIMIZE)) ? w->NormalRect : w->Rect;
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* pt) {
    if (!pt) return FALSE;
    if (hwnd && hwnd == GetDesktopWindow()) return TRUE;
    auto w = FindWindowData(hwnd);
    if (!w) return FALSE;
    const POINT o = ClientOriginOnScreen(*w);
    pt->x += o.x;
    pt->y += o.y;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* pt) {
    if (!pt) return FALSE;
    if (hwnd && hwnd == GetDesktopWindow()) return TRUE;
    auto w = FindWindowData(hwnd);
    if (!w) return FALSE;
    const POINT o = ClientOriginOnScreen(*w);
    pt->x -= o.x;
    pt->y -= o.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
    POINT a{}, b{};
    if (from && from != GetDesktopWindow()) {
        auto w = FindWindowData(from);
        if (!w) return 0;
        a = ClientOriginOnScreen(*w);
    }
    if (to && to != GetDesktopWindow()) {
        auto w = FindWindowData(to);
        if (!w) return 0;
        b = ClientOriginOnScreen(*w);
    }
    const int dx = a.x - b.x, dy = a.y - b.y;
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

BOOL AdjustWindowRectEx(RECT* rc, DWORD style, BOOL, DWORD exStyle) {
    if (!rc) return FALSE;
    const RECT insets = FrameInsets(style, exStyle);
    rc->left -= insets.left;
    rc->top -= insets.top;
    rc->right += insets.right;
    rc->bottom += insets.bottom;
    return TRUE;
}

// Deferred positioning: the changes are collected and applied together.
namespace {
std::unordered_map<ULONG_PTR, std::vector<WINDOWPOS>>& Deferred() {
    static std::unordered_map<ULONG_PTR, std::vector<WINDOWPOS>> sets;
    return sets;
}
} // namespace

HDWP BeginDeferWindowPos(int count) {
    if (count < 0) return nullptr;
    const ULONG_PTR h = NewHandleValue();
    Deferred()[h].reserve(static_cast<std::size_t>(count));
    return reinterpret_cast<HDWP>(h);
}

HDWP DeferWindowPos(HDWP set, HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy,
                    UINT flags) {
    auto it = Deferred().find(reinterpret_cast<ULONG_PTR>(set));
    if (it == Deferred().end() || !IsWindow(hwnd)) return nullptr;
    it->second.push_back(WINDOWPOS{hwnd, insertAfter, x, y, cx, cy, flags});
    return set;
}

BOOL EndDeferWindowPos(HDWP set) {
    auto it = Deferred().find(reinterpret_cast<ULONG_PTR>(set));
    if (it == Deferred().end()) return FALSE;
    const std::vector<WINDOWPOS> list = std::move(it->second);
    Deferred().erase(it);
    for (const WINDOWPOS& p : list)
        SetWindowPos(p.hwnd, p.hwndInsertAfter, p.x, p.y, p.cx, p.cy, p.flags);
    return TRUE;
}
