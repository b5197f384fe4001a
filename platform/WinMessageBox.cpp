#include "WinMessageBox.h"

#include "WinDraw.h"
#include "WinGdi.h"
#include "WinInput.h"
#include "WinMessage.h"
#include "WinPaint.h"
#include "WinRect.h"
#include "WinSystem.h"
#include "WinText.h"
#include "WinWindow.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace platform::win;

namespace {

constexpr int kMargin = 24;
constexpr int kIconSize = 32;
constexpr int kBandHeight = 42;
constexpr int kButtonWidth = 75, kButtonHeight = 23, kButtonGap = 8;
constexpr int kMaxTextWidth = 420;

struct BoxState {
    std::u16string Text;
    UINT Type = 0;
    std::vector<int> Buttons;
    std::vector<RECT> ButtonRects;
    int Default = 0;
    int Pressed = -1;
    int Result = 0;
    bool Done = false;
    HFONT Font = nullptr;
    HFONT SymbolFont = nullptr;
    RECT TextRect;
    int BandTop = 0;
};

const char16_t* ButtonText(int id) {
    switch (id) {
    case IDOK:
        return u"OK";
    case IDCANCEL:
        return u"Cancel";
    case IDABORT:
        return u"Abort";
    case IDRETRY:
        return u"Retry";
    case IDIGNORE:
        return u"Ignore";
    case IDYES:
        return u"Yes";
    case IDNO:
        return u"No";
    default:
        return u"";
    }
}

std::vector<int> ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    default:
        return {IDOK};
    }
}

// What Escape and the close box answer; 0 when the box cannot be cancelled.
int CancelResult(const BoxState& s) {
    if (std::find(s.Buttons.begin(), s.Buttons.end(), IDCANCEL) != s.Buttons.end()) return IDCANCEL;
    if (s.Buttons.size() == 1 && s.Buttons[0] == IDOK) return IDOK;
    return 0;
}

BoxState* StateOf(HWND hwnd) {
    return reinterpret_cast<BoxState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void Finish(BoxState& s, int result) {
    if (s.Done) return;
    s.Result = result;
    s.Done = true;
}

void DrawIcon(HDC hdc, UINT icon, const BoxState& s) {
    if (!icon) return;
    const RECT r = RectOfSize(kMargin, kMargin, kIconSize, kIconSize);
    HGDIOBJ oldPen = SelectObject(hdc, GetStockObject(NULL_PEN));
    const char16_t* symbol = u"";
    COLORREF fill = RGB(30, 100, 200);
    if (icon == MB_ICONERROR) {
        fill = RGB(210, 40, 40);
        symbol = u"\u00D7";
    } else if (icon == MB_ICONQUESTION) {
        symbol = u"?";
    } else if (icon == MB_ICONINFORMATION) {
        symbol = u"i";
    } else {
        fill = RGB(245, 190, 0);
        symbol = u"!";
    }
    HBRUSH brush = CreateSolidBrush(fill);
    HGDIOBJ oldBrush = SelectObject(hdc, brush);
    if (icon == MB_ICONWARNING) {
        const POINT tri[3] = {
            {r.left + kIconSize / 2, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
        Polygon(hdc, tri, 3);
    } else {
        Ellipse(hdc, r.left, r.top, r.right, r.bottom);
    }
    SelectObject(hdc, oldBrush);
    SelectObject(hdc, oldPen);
    DeleteObject(brush);
    HGDIOBJ oldFont = SelectObject(hdc, s.SymbolFont);
    SetTextColor(hdc, icon == MB_ICONWARNING ? RGB(0, 0, 0) : RGB(255, 255, 255));
    RECT tr = r;
    if (icon == MB_ICONWARNING) tr.top += 6;
    DrawTextW(hdc, symbol, -1, &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(hdc, oldFont);
}

void Paint(HWND hwnd, BoxState& s) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    RECT upper{0, 0, client.right, s.BandTop};
    RECT band{0, s.BandTop, client.right, client.bottom};
    FillRect(hdc, &upper, GetSysColorBrush(COLOR_WINDOW));
    FillRect(hdc, &band, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(hdc, TRANSPARENT);
    DrawIcon(hdc, s.Type & MB_ICONMASK, s);
    HGDIOBJ oldFont = SelectObject(hdc, s.Font);
    SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
    RECT tr = s.TextRect;
    DrawTextW(hdc, s.Text.c_str(), static_cast<int>(s.Text.size()), &tr,
              DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    for (std::size_t i = 0; i < s.Buttons.size(); ++i) {
        RECT b = s.ButtonRects[i];
        FillRect(hdc, &b, GetSysColorBrush(COLOR_BTNFACE));
        const bool pressed = s.Pressed == static_cast<int>(i);
        if (static_cast<int>(i) == s.Default) {
            FrameRect(hdc, &b, GetSysColorBrush(COLOR_HIGHLIGHT));
            InflateRect(&b, -1, -1);
        }
        RECT edge = b;
        DrawEdge(hdc, &edge, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        RECT label = b;
        if (pressed) OffsetRect(&label, 1, 1);
        SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
        DrawTextW(hdc, ButtonText(s.Buttons[i]), -1, &label,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    SelectObject(hdc, oldFont);
    EndPaint(hwnd, &ps);
}

int ButtonAt(const BoxState& s, LPARAM lParam) {
    const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    for (std::size_t i = 0; i < s.ButtonRects.size(); ++i)
        if (PtInRect(&s.ButtonRects[i], p)) return static_cast<int>(i);
    return -1;
}

LRESULT BoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    BoxState* s = StateOf(hwnd);
    if (!s) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        Paint(hwnd, *s);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        s->Pressed = ButtonAt(*s, lParam);
        if (s->Pressed >= 0) {
            SetCapture(hwnd);
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    case WM_LBUTTONUP: {
        const int pressed = s->Pressed;
        s->Pressed = -1;
        if (GetCapture() == hwnd) ReleaseCapture();
        InvalidateRect(hwnd, nullptr, FALSE);
        if (pressed >= 0 && ButtonAt(*s, lParam) == pressed)
            Finish(*s, s->Buttons[static_cast<std::size_t>(pressed)]);
        return 0;
    }
    case WM_KEYDOWN:
        switch (wParam) {
        case VK_RETURN:
        case VK_SPACE:
            Finish(*s, s->Buttons[static_cast<std::size_t>(s->Default)]);
            return 0;
        case VK_ESCAPE:
            if (int c = CancelResult(*s)) Finish(*s, c);
            return 0;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_TAB: {
            const int n = static_cast<int>(s->Buttons.size());
            const bool back =
                wParam == VK_LEFT || (wParam == VK_TAB && (GetKeyState(VK_SHIFT) & 0x8000));
            s->Default = (s->Default + (back ? n - 1 : 1)) % n;
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        }
        default:
            return 0;
        }
    case WM_CLOSE:
        if (int c = CancelResult(*s)) Finish(*s, c);
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void EnsureClass() {
    WNDCLASSW probe;
    if (GetClassInfoW(nullptr, kMessageBoxClass, &probe)) return;
    WNDCLASSW wc;
    wc.style = CS_DBLCLKS | CS_SAVEBITS;
    wc.lpfnWndProc = BoxProc;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kMessageBoxClass;
    RegisterClassW(&wc);
}

HFONT MessageFont(int height, int weight) {
    NONCLIENTMETRICSW m;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
    m.lfMessageFont.lfHeight = height;
    m.lfMessageFont.lfWeight = weight;
    return CreateFontIndirectW(&m.lfMessageFont);
}

// Lays the box out and returns its client size.
SIZE Layout(BoxState& s, const std::u16string& caption) {
    HDC hdc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(hdc, s.Font);
    RECT measure{0, 0, kMaxTextWidth, 0};
    DrawTextW(hdc, s.Text.c_str(), static_cast<int>(s.Text.size()), &measure,
              DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SIZE captionSize{};
    GetTextExtentPoint32W(hdc, caption.c_str(), static_cast<int>(caption.size()), &captionSize);
    SelectObject(hdc, old);
    ReleaseDC(nullptr, hdc);

    const bool icon = (s.Type & MB_ICONMASK) != 0;
    const int textLeft = icon ? kMargin + kIconSize + 16 : kMargin;
    const int textHeight = Height(measure);
    int textTop = kMargin;
    if (icon && textHeight < kIconSize) textTop += (kIconSize - textHeight) / 2;
    s.TextRect = RectOfSize(textLeft, textTop, Width(measure), textHeight);
    s.BandTop = std::max(s.TextRect.bottom, icon ? kMargin + kIconSize : 0) + kMargin;

    const int count = static_cast<int>(s.Buttons.size());
    const int buttonsWidth = count * kButtonWidth + (count - 1) * kButtonGap;
    const int width = std::max({s.TextRect.right + kMargin, buttonsWidth + 2 * 12,
                                static_cast<int>(captionSize.cx) + 60, 180});
    int x = width - 12 - buttonsWidth;
    const int y = s.BandTop + (kBandHeight - kButtonHeight) / 2;
    for (int i = 0; i < count; ++i) {
        s.ButtonRects.push_back(RectOfSize(x, y, kButtonWidth, kButtonHeight));
        x += kButtonWidth + kButtonGap;
    }
    return SIZE{width, s.BandTop + kBandHeight};
}

} // namespace

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    EnsureClass();
    BoxState s;
    s.Text = text ? text : u"";
    s.Type = type;
    s.Buttons = ButtonsOf(type);
    s.Default = std::min<int>(static_cast<int>((type & MB_DEFMASK) >> 8),
                              static_cast<int>(s.Buttons.size()) - 1);
    s.Font = MessageFont(-12, FW_NORMAL);
    s.SymbolFont = MessageFont(-22, FW_BOLD);
    const std::u16string title = caption ? caption : u"Error";

    if (owner) owner = GetAncestor(owner, GA_ROOT);
    const SIZE client = Layout(s, title);
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    DWORD exStyle = WS_EX_DLGMODALFRAME;
    if (type & (MB_TOPMOST | MB_SYSTEMMODAL)) exStyle |= WS_EX_TOPMOST;
    RECT frame = RectOfSize(0, 0, client.cx, client.cy);
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    RECT around;
    if (!owner || !GetWindowRect(owner, &around) || IsIconic(owner))
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
    const int x = around.left + (Width(around) - Width(frame)) / 2;
    const int y = around.top + (Height(around) - Height(frame)) / 2;

    HWND box = CreateWindowExW(exStyle, kMessageBoxClass, title.c_str(), style, x, y, Width(frame),
                               Height(frame), owner, nullptr, nullptr, nullptr);
    if (!box) {
        DeleteObject(s.Font);
        DeleteObject(s.SymbolFont);
        return 0;
    }
    SetWindowLongPtrW(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&s));
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    ShowWindow(box, SW_SHOW);
    SetActiveWindow(box);

    MSG msg;
    while (!s.Done && IsWindow(box)) {
        const BOOL r = GetMessageW(&msg, nullptr, 0, 0);
        if (r == 0) {
            // The program is ending: close the box and let the outer loop see the quit.
            PostQuitMessage(static_cast<int>(msg.wParam));
            Finish(s, CancelResult(s) ? CancelResult(s) : s.Buttons.front());
            break;
        }
        if (r < 0) break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (!s.Done) Finish(s, CancelResult(s) ? CancelResult(s) : s.Buttons.front());

    if (ownerWasEnabled && IsWindow(owner)) EnableWindow(owner, TRUE);
    if (IsWindow(box)) {
        SetWindowLongPtrW(box, GWLP_USERDATA, 0);
        DestroyWindow(box);
    }
    if (owner && IsWindow(owner)) SetActiveWindow(owner);
    DeleteObject(s.Font);
    DeleteObject(s.SymbolFont);
    return s.Result;
}
