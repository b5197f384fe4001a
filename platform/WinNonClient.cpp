// The default frame of windows whose procedure leaves the non-client area to
// the system: borders by style, a caption bar, hit testing and painting.
#include "WinDraw.h"
#include "WinGdi.h"
#include "WinInternal.h"
#include "WinPaint.h"
#include "WinRect.h"
#include "WinSystem.h"
#include "WinText.h"
#include "WinWindow.h"

using namespace platform::win;

namespace platform::win {

RECT FrameInsets(DWORD style, DWORD exStyle) {
    int b = 0;
    if (style & WS_THICKFRAME)
        b = GetSystemMetrics(SM_CXFRAME);
    else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        b = GetSystemMetrics(SM_CXDLGFRAME);
    else if (style & WS_BORDER)
        b = GetSystemMetrics(SM_CXBORDER);
    if (exStyle & WS_EX_CLIENTEDGE) b += GetSystemMetrics(SM_CXEDGE);
    if (exStyle & WS_EX_STATICEDGE) b += 1;
    int top = b;
    if ((style & WS_CAPTION) == WS_CAPTION)
        top += GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
    return RECT{b, top, b, b};
}

LRESULT DefaultHitTest(WindowData& w, POINT screen) {
    const POINT o = WindowOriginOnScreen(w);
    const int x = screen.x - o.x, y = screen.y - o.y;
    const int cx = Width(w.Rect), cy = Height(w.Rect);
    if (x < 0 || y < 0 || x >= cx || y >= cy) return HTNOWHERE;
    if (Contains(w.Client, x, y)) return HTCLIENT;
    const RECT in = FrameInsets(w.Style, w.ExStyle);
    const int b = in.left;
    if ((w.Style & WS_THICKFRAME) && !(w.Style & WS_MAXIMIZE)) {
        const int corner = GetSystemMetrics(SM_CXSIZE);
        const bool left = x < b, right = x >= cx - b, top = y < b, bottom = y >= cy - b;
        if (left || right || top || bottom) {
            const bool nearLeft = x < corner, nearRight = x >= cx - corner;
            const bool nearTop = y < corner, nearBottom = y >= cy - corner;
            if ((top && nearLeft) || (left && nearTop)) return HTTOPLEFT;
            if ((top && nearRight) || (right && nearTop)) return HTTOPRIGHT;
            if ((bottom && nearLeft) || (left && nearBottom)) return HTBOTTOMLEFT;
            if ((bottom && nearRight) || (right && nearBottom)) return HTBOTTOMRIGHT;
            if (left) return HTLEFT;
            if (right) return HTRIGHT;
            if (top) return HTTOP;
            return HTBOTTOM;
        }
    }
    if ((w.Style & WS_CAPTION) == WS_CAPTION && y >= b && y < in.top && x >= b && x < cx - b)
        return HTCAPTION;
    return HTBORDER;
}

void DefaultPaintFrame(HWND hwnd) {
    auto w = FindWindowData(hwnd);
    if (!w) return;
    const RECT in = FrameInsets(w->Style, w->ExStyle);
    if (in.left == 0 && in.top == 0) return;
    const int cx = Width(w->Rect), cy = Height(w->Rect);
    const bool active = State().Active == TopLevelOf(hwnd);
    const DWORD style = w->Style, exStyle = w->ExStyle;
    const std::u16string title = w->Text;
    const RECT client = w->Client;

    HDC hdc = GetWindowDC(hwnd);
    ExcludeClipRect(hdc, client.left, client.top, client.right, client.bottom);
    RECT whole = RectOfSize(0, 0, cx, cy);
    if ((style & (WS_THICKFRAME | WS_DLGFRAME)) || (exStyle & WS_EX_DLGMODALFRAME)) {
        FillRect(hdc, &whole, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(hdc, &whole, EDGE_RAISED, BF_RECT);
    } else if (style & WS_BORDER) {
        FrameRect(hdc, &whole, GetSysColorBrush(COLOR_WINDOWFRAME));
    }
    if ((style & WS_CAPTION) == WS_CAPTION) {
        const int b = in.left;
        RECT bar{b, b, cx - b, in.top};
        FillRect(hdc, &bar, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
        if (!title.empty()) {
            NONCLIENTMETRICSW m;
            SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
            HFONT font = CreateFontIndirectW(&m.lfCaptionFont);
            HGDIOBJ old = SelectObject(hdc, font);
            SetBkMode(hdc, TRANSPARENT);
            SetTextColor(hdc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
            RECT text = bar;
            text.left += 6;
            DrawTextW(hdc, title.c_str(), static_cast<int>(title.size()), &text,
                      DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
            SelectObject(hdc, old);
            DeleteObject(font);
        }
    }
    ReleaseDC(hwnd, hdc);
}

} // namespace platform::win
