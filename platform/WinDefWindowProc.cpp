// The default window procedure: what the system does with a message that a
// window procedure passes on.
#include "WinBackend.h"
#include "WinDraw.h"
#include "WinGdi.h"
#include "WinInput.h"
#include "WinInternal.h"
#include "WinMessage.h"
#include "WinPaint.h"
#include "WinRect.h"
#include "WinSystem.h"
#include "WinWindow.h"

#include <algorithm>

using namespace platform::win;

namespace {

bool IsButtonDown(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
           message == WM_NCLBUTTONDOWN || message == WM_NCRBUTTONDOWN ||
           message == WM_NCMBUTTONDOWN;
}

LRESULT SetCursorDefault(WindowData& w, WPARAM wParam, LPARAM lParam) {
    const int hit = static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lParam)));
    if ((w.Style & WS_CHILD) && w.Parent &&
        SendSystemMessage(w.Parent, WM_SETCURSOR, wParam, lParam))
        return TRUE;
    switch (hit) {
    case HTERROR:
        if (IsButtonDown(HIWORD(static_cast<DWORD_PTR>(lParam)))) MessageBeep(0);
        return FALSE;
    case HTCLIENT:
        if (w.Class->Info.hCursor) {
            SetCursor(w.Class->Info.hCursor);
            return TRUE;
        }
        return FALSE;
    case HTLEFT:
    case HTRIGHT:
        SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
        return TRUE;
    case HTTOP:
    case HTBOTTOM:
        SetCursor(LoadCursorW(nullptr, IDC_SIZENS));
        return TRUE;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        SetCursor(LoadCursorW(nullptr, IDC_SIZENWSE));
        return TRUE;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        SetCursor(LoadCursorW(nullptr, IDC_SIZENESW));
        return TRUE;
    default:
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        return TRUE;
    }
}

void ShrinkByFrame(const WindowData& w, RECT& r) {
    const RECT in = FrameInsets(w.Style, w.ExStyle);
    r.left += in.left;
    r.top += in.top;
    r.right -= in.right;
    r.bottom -= in.bottom;
    r.right = std::max(r.right, r.left);
    r.bottom = std::max(r.bottom, r.top);
}

} // namespace

LRESULT DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto w = FindWindowData(hwnd);
    if (!w) return 0;
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_NCCALCSIZE: {
        if (!lParam) return 0;
        RECT* r = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                         : reinterpret_cast<RECT*>(lParam);
        ShrinkByFrame(*w, *r);
        return 0;
    }
    case WM_NCHITTEST:
        return DefaultHitTest(*w, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCPAINT:
        DefaultPaintFrame(hwnd);
        return 0;
    case WM_NCACTIVATE:
        if (IsReallyVisible(*w)) DefaultPaintFrame(hwnd);
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        HBRUSH brush = w->Class->Info.hbrBackground;
        if (!brush) return 0;
        RECT rc;
        HDC hdc = reinterpret_cast<HDC>(wParam);
        GetClipBox(hdc, &rc);
        FillRect(hdc, &rc, brush);
        return 1;
    }
    case WM_SETCURSOR:
        return SetCursorDefault(*w, wParam, lParam);
    case WM_MOUSEACTIVATE:
        if ((w->Style & WS_CHILD) && w->Parent) {
            if (LRESULT r = SendSystemMessage(w->Parent, WM_MOUSEACTIVATE, wParam, lParam))
                return r;
        }
        return MA_ACTIVATE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !(w->Style & WS_MINIMIZE)) SetFocus(hwnd);
        return 0;
    case WM_NCLBUTTONDOWN:
        if (wParam == static_cast<WPARAM>(HTCAPTION))
            SendSystemMessage(hwnd, WM_SYSCOMMAND, SC_MOVE + HTCAPTION, lParam);
        else if (wParam >= static_cast<WPARAM>(HTLEFT) &&
                 wParam <= static_cast<WPARAM>(HTBOTTOMRIGHT))
            SendSystemMessage(hwnd, WM_SYSCOMMAND, SC_SIZE + (wParam - HTLEFT + 1), lParam);
        return 0;
    case WM_NCLBUTTONDBLCLK:
        if (wParam == static_cast<WPARAM>(HTCAPTION) && (w->Style & WS_MAXIMIZEBOX))
            SendSystemMessage(hwnd, WM_SYSCOMMAND,
                              (w->Style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE, lParam);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_MOVE: {
            // Only a caption press (SC_MOVE + HTCAPTION) carries its point; other
            // forms (0xF011 from a program) start where the message being
            // handled put the pointer.
            POINT start = State().MessagePos;
            if ((wParam & 0xF) == static_cast<WPARAM>(HTCAPTION))
                start = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (!(w->Style & WS_MAXIMIZE)) RunMoveLoop(hwnd, start);
            return 0;
        }
        case SC_MINIMIZE:
            ShowWindow(hwnd, SW_MINIMIZE);
            return 0;
        case SC_MAXIMIZE:
            ShowWindow(hwnd, SW_MAXIMIZE);
            return 0;
        case SC_RESTORE:
            ShowWindow(hwnd, SW_RESTORE);
            return 0;
        case SC_CLOSE:
            SendSystemMessage(hwnd, WM_CLOSE, 0, 0);
            return 0;
        default:
            return 0;
        }
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (lParam & (1 << 29)))
            SendSystemMessage(GetAncestor(hwnd, GA_ROOT), WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_WINDOWPOSCHANGING: {
        auto* wp = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!wp || w->Parent || (wp->flags & SWP_NOSIZE) ||
            (w->Style & (WS_MINIMIZE | WS_MAXIMIZE)))
            return 0;
        if ((w->Style & WS_THICKFRAME) || !(w->Style & (WS_POPUP | WS_CHILD))) {
            MINMAXINFO mmi;
            SendGetMinMaxInfo(*w, mmi);
            wp->cx = std::clamp<int>(wp->cx, mmi.ptMinTrackSize.x,
                                     std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x));
            wp->cy = std::clamp<int>(wp->cy, mmi.ptMinTrackSize.y,
                                     std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y));
        }
        return 0;
    }
    case WM_WINDOWPOSCHANGED: {
        const auto* wp = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!wp) return 0;
        if (!(wp->flags & SWP_NOCLIENTMOVE))
            SendSystemMessage(
                hwnd, WM_MOVE, 0,
                MAKELPARAM(w->Rect.left + w->Client.left, w->Rect.top + w->Client.top));
        w = FindWindowData(hwnd);
        if (w && !(wp->flags & SWP_NOCLIENTSIZE)) {
            SendSystemMessage(hwnd, WM_SIZE, SizeKind(*w),
                              MAKELPARAM(Width(w->Client), Height(w->Client)));
        }
        return 0;
    }
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<WCHAR*>(lParam);
        if (!buffer || wParam == 0) return 0;
        const std::size_t n = std::min<std::size_t>(w->Text.size(), wParam - 1);
        std::copy_n(w->Text.begin(), n, buffer);
        buffer[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(w->Text.size());
    case WM_SETTEXT: {
        const auto* text = reinterpret_cast<const WCHAR*>(lParam);
        w->Text = text ? std::u16string(text) : std::u16string();
        if (!w->Parent && w->Shown) CurrentBackend().Retitled(hwnd);
        if ((w->Style & WS_CAPTION) == WS_CAPTION && IsReallyVisible(*w)) DefaultPaintFrame(hwnd);
        return TRUE;
    }
    case WM_SETREDRAW:
        w->Redraw = wParam != 0;
        return 0;
    case WM_CANCELMODE:
        if (GetCapture() == hwnd) ReleaseCapture();
        return 0;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        if ((w->Style & WS_CHILD) && w->Parent)
            return SendSystemMessage(w->Parent, message, wParam, lParam);
        return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
        HDC hdc = reinterpret_cast<HDC>(wParam);
        SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(hdc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR: {
        HDC hdc = reinterpret_cast<HDC>(wParam);
        SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(hdc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    default:
        return 0;
    }
}
