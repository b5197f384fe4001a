// windemo: one undecorated window drawn by the program itself. The caption
// band drags the window, the button counts clicks and lights up under the
// pointer, a timer updates the seconds, Escape or the close box quits.
#include "Windows.h"

#include <string>

namespace {

constexpr int kWidth = 420, kHeight = 260, kCaption = 30;
const RECT kButton{140, 170, 280, 214};
const RECT kClose{kWidth - 34, 4, kWidth - 8, 26};

struct Demo {
    int Clicks = 0;
    int Seconds = 0;
    bool Hot = false;
    bool Pressed = false;
    HFONT Title = nullptr, Body = nullptr;
} gDemo;

HFONT Font(int height, int weight, const char16_t* face) {
    LOGFONTW lf;
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    for (int i = 0; face[i] && i < LF_FACESIZE - 1; ++i)
        lf.lfFaceName[i] = face[i];
    return CreateFontIndirectW(&lf);
}

void Fill(HDC dc, const RECT& r, COLORREF c) {
    HBRUSH b = CreateSolidBrush(c);
    FillRect(dc, &r, b);
    DeleteObject(b);
}

void Text(HDC dc, const std::u16string& s, RECT r, UINT flags, COLORREF color) {
    SetTextColor(dc, color);
    DrawTextW(dc, s.c_str(), static_cast<int>(s.size()), &r, flags);
}

void Paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    SetBkMode(dc, TRANSPARENT);
    Fill(dc, RECT{0, 0, kWidth, kHeight}, RGB(246, 244, 238));
    Fill(dc, RECT{0, 0, kWidth, kCaption}, RGB(52, 84, 140));
    SelectObject(dc, gDemo.Title);
    Text(dc, u"Window system demo", RECT{12, 0, kWidth, kCaption},
         DT_LEFT | DT_VCENTER | DT_SINGLELINE, RGB(255, 255, 255));
    Fill(dc, kClose, RGB(200, 70, 60));
    Text(dc, u"×", kClose, DT_CENTER | DT_VCENTER | DT_SINGLELINE, RGB(255, 255, 255));

    SelectObject(dc, gDemo.Body);
    Text(dc, u"今天天气 多云转小雨 — text through the layer's own engine",
         RECT{20, 44, kWidth - 20, 100}, DT_LEFT | DT_WORDBREAK, RGB(30, 30, 30));
    const std::string seconds = std::to_string(gDemo.Seconds);
    Text(dc, u"Running for " + std::u16string(seconds.begin(), seconds.end()) + u" s",
         RECT{20, 104, kWidth - 20, 130}, DT_LEFT | DT_SINGLELINE, RGB(90, 90, 90));
    const std::string clicks = std::to_string(gDemo.Clicks);
    Text(dc, u"Clicks: " + std::u16string(clicks.begin(), clicks.end()),
         RECT{20, 132, kWidth - 20, 160}, DT_LEFT | DT_SINGLELINE, RGB(90, 90, 90));

    const COLORREF face = gDemo.Pressed ? RGB(40, 110, 60)
                          : gDemo.Hot   ? RGB(70, 170, 95)
                                        : RGB(60, 140, 80);
    HBRUSH brush = CreateSolidBrush(face);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    RoundRect(dc, kButton.left, kButton.top, kButton.right, kButton.bottom, 12, 12);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
    RECT label = kButton;
    if (gDemo.Pressed) OffsetRect(&label, 1, 1);
    Text(dc, u"Click me", label, DT_CENTER | DT_VCENTER | DT_SINGLELINE, RGB(255, 255, 255));
    EndPaint(hwnd, &ps);
}

POINT ClientPoint(LPARAM l) {
    return POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
}

LRESULT DemoProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        SetTimer(hwnd, 1, 1000, nullptr);
        return 0;
    case WM_TIMER:
        ++gDemo.Seconds;
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case WM_NCHITTEST: {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(hwnd, &p);
        if (p.y < kCaption && !PtInRect(&kClose, p)) return HTCAPTION;
        return HTCLIENT;
    }
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, gDemo.Hot ? IDC_HAND : IDC_ARROW));
        return TRUE;
    case WM_MOUSEMOVE: {
        const POINT p = ClientPoint(lParam);
        const bool hot = PtInRect(&kButton, p);
        if (hot != gDemo.Hot) {
            gDemo.Hot = hot;
            InvalidateRect(hwnd, &kButton, FALSE);
            TRACKMOUSEEVENT tme;
            tme.dwFlags = TME_LEAVE;
            tme.hwndTrack = hwnd;
            TrackMouseEvent(&tme);
        }
        return 0;
    }
    case WM_MOUSELEAVE:
        gDemo.Hot = gDemo.Pressed = false;
        InvalidateRect(hwnd, &kButton, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const POINT p = ClientPoint(lParam);
        if (PtInRect(&kClose, p)) {
            PostMessageW(hwnd, WM_CLOSE, 0, 0);
        } else if (PtInRect(&kButton, p)) {
            gDemo.Pressed = true;
            SetCapture(hwnd);
            InvalidateRect(hwnd, &kButton, FALSE);
        }
        return 0;
    }
    case WM_LBUTTONUP:
        if (gDemo.Pressed) {
            gDemo.Pressed = false;
            ReleaseCapture();
            if (PtInRect(&kButton, ClientPoint(lParam))) ++gDemo.Clicks;
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) PostMessageW(hwnd, WM_CLOSE, 0, 0);
        return 0;
    case WM_PAINT:
        Paint(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

} // namespace

int main() {
    WNDCLASSW wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = DemoProc;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = u"WinDemo";
    RegisterClassW(&wc);
    gDemo.Title = Font(-15, FW_BOLD, u"DejaVu Sans");
    gDemo.Body = Font(-16, FW_NORMAL, u"DejaVu Sans");

    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    HWND hwnd = CreateWindowExW(0, u"WinDemo", u"Window system demo", WS_POPUP,
                                work.left + (work.right - work.left - kWidth) / 2,
                                work.top + (work.bottom - work.top - kHeight) / 2, kWidth, kHeight,
                                nullptr, nullptr, nullptr, nullptr);
    SetWindowRgn(hwnd, CreateRoundRectRgn(0, 0, kWidth + 1, kHeight + 1, 16, 16), FALSE);
    ShowWindow(hwnd, SW_SHOW);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    DeleteObject(gDemo.Title);
    DeleteObject(gDemo.Body);
    return static_cast<int>(msg.wParam);
}
