#include "WinSystem.h"

#include "WinBackend.h"
#include "WinGdiConst.h"
#include "WinInternal.h"
#include "WinMessages.h"
#include "WinObjects.h"
#include "WinRect.h"
#include "WinStyles.h"

#include <algorithm>
#include <cstring>

using namespace platform::win;

namespace {

DWORD gLastError = 0;

// The colour scheme: the classic light theme.
constexpr COLORREF kSysColors[31] = {
    RGB(200, 200, 200), // COLOR_SCROLLBAR
    RGB(0, 0, 0),       // COLOR_BACKGROUND
    RGB(153, 180, 209), // COLOR_ACTIVECAPTION
    RGB(191, 205, 219), // COLOR_INACTIVECAPTION
    RGB(240, 240, 240), // COLOR_MENU
    RGB(255, 255, 255), // COLOR_WINDOW
    RGB(100, 100, 100), // COLOR_WINDOWFRAME
    RGB(0, 0, 0),       // COLOR_MENUTEXT
    RGB(0, 0, 0),       // COLOR_WINDOWTEXT
    RGB(0, 0, 0),       // COLOR_CAPTIONTEXT
    RGB(180, 180, 180), // COLOR_ACTIVEBORDER
    RGB(244, 247, 252), // COLOR_INACTIVEBORDER
    RGB(171, 171, 171), // COLOR_APPWORKSPACE
    RGB(51, 153, 255),  // COLOR_HIGHLIGHT
    RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
    RGB(240, 240, 240), // COLOR_BTNFACE
    RGB(160, 160, 160), // COLOR_BTNSHADOW
    RGB(109, 109, 109), // COLOR_GRAYTEXT
    RGB(0, 0, 0),       // COLOR_BTNTEXT
    RGB(67, 78, 84),    // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
    RGB(105, 105, 105), // COLOR_3DDKSHADOW
    RGB(227, 227, 227), // COLOR_3DLIGHT
    RGB(0, 0, 0),       // COLOR_INFOTEXT
    RGB(255, 255, 225), // COLOR_INFOBK
    RGB(0, 0, 0),       // (unused)
    RGB(0, 102, 204),   // COLOR_HOTLIGHT
    RGB(185, 209, 234), // COLOR_GRADIENTACTIVECAPTION
    RGB(215, 228, 242), // COLOR_GRADIENTINACTIVECAPTION
    RGB(51, 153, 255),  // COLOR_MENUHILIGHT
    RGB(240, 240, 240), // COLOR_MENUBAR
};

struct Settings {
    BOOL SelectionFade = TRUE;
    BOOL MenuFade = TRUE;
    BOOL MenuAnimation = TRUE;
    BOOL DragFullWindows = TRUE;
    BOOL KeyboardCues = FALSE;
    UINT DoubleClickTime = 500;
    int CursorCount = 0;
};

Settings& Table() {
    static Settings s;
    return s;
}

void DefaultLogFont(LOGFONTW& lf, int height, int weight) {
    lf = LOGFONTW{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    const char16_t face[] = u"Tahoma";
    std::copy(std::begin(face), std::end(face), lf.lfFaceName);
}

// Answers a "get" action: the value goes where pvParam points.
template <class T> BOOL Give(LPVOID pv, T value) {
    if (!pv) return FALSE;
    *static_cast<T*>(pv) = value;
    return TRUE;
}

BOOL SetBool(BOOL& field, LPVOID pv) {
    field = pv ? TRUE : FALSE;
    return TRUE;
}

// Cursor handles are the identifiers themselves above the handle base.
constexpr LONG_PTR kCursorBase = 0x10000;

} // namespace

namespace platform::win {
void SetLastErrorCode(DWORD code) {
    gLastError = code;
}
} // namespace platform::win

DWORD GetLastError() {
    return gLastError;
}
void SetLastError(DWORD code) {
    gLastError = code;
}

int GetSystemMetrics(int index) {
    const RECT screen = CurrentBackend().ScreenRect();
    const RECT work = CurrentBackend().WorkArea();
    switch (index) {
    case SM_CXSCREEN:
    case SM_CXVIRTUALSCREEN:
        return Width(screen);
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN:
        return Height(screen);
    case SM_XVIRTUALSCREEN:
        return screen.left;
    case SM_YVIRTUALSCREEN:
        return screen.top;
    case SM_CXFULLSCREEN:
        return Width(work);
    case SM_CYFULLSCREEN:
        return Height(work) - 22;
    case SM_CXMAXIMIZED:
        return Width(work) + 8;
    case SM_CYMAXIMIZED:
        return Height(work) + 8;
    case SM_CXMAXTRACK:
        return Width(screen) + 12;
    case SM_CYMAXTRACK:
        return Height(screen) + 12;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
        return 17;
    case SM_CYCAPTION:
        return 22;
    case SM_CYSMCAPTION:
        return 18;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return 4;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    case SM_CYMENU:
        return 19;
    case SM_CXMIN:
        return 112;
    case SM_CYMIN:
        return 27;
    case SM_CXSIZE:
    case SM_CYSIZE:
        return 18;
    case SM_CXMINTRACK:
        return 112;
    case SM_CYMINTRACK:
        return 27;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return 4;
    case SM_CXDRAG:
    case SM_CYDRAG:
        return 4;
    case SM_MOUSEPRESENT:
        return 1;
    case SM_CMOUSEBUTTONS:
        return 3;
    case SM_SWAPBUTTON:
        return 0;
    case SM_CMONITORS:
        return 1;
    case SM_CXPADDEDBORDER:
        return 0;
    default:
        return 0;
    }
}

DWORD GetSysColor(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kSysColors))) return 0;
    return kSysColors[index];
}

HBRUSH GetSysColorBrush(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kSysColors))) return nullptr;
    static std::vector<std::pair<ULONG_PTR, HGDIOBJ>> brushes;
    // Brushes outlive a reset of the drawing objects only while their handle
    // still resolves; otherwise a new one is made.
    for (auto& [i, h] : brushes)
        if (i == static_cast<ULONG_PTR>(index) && FindGdiObject(h)) return static_cast<HBRUSH>(h);
    auto brush = std::make_shared<BrushObject>();
    brush->Style = 0;
    brush->Color = kSysColors[index];
    brush->SysColor = index;
    brush->Stock = true;
    HGDIOBJ h = AddGdiObject(brush);
    brushes.emplace_back(static_cast<ULONG_PTR>(index), h);
    return static_cast<HBRUSH>(h);
}

BOOL SystemParametersInfoW(UINT action, UINT uiParam, LPVOID pvParam, UINT) {
    Settings& t = Table();
    switch (action) {
    case SPI_GETSELECTIONFADE:
        return Give<BOOL>(pvParam, t.SelectionFade);
    case SPI_SETSELECTIONFADE:
        return SetBool(t.SelectionFade, pvParam);
    case SPI_GETMENUFADE:
        return Give<BOOL>(pvParam, t.MenuFade);
    case SPI_SETMENUFADE:
        return SetBool(t.MenuFade, pvParam);
    case SPI_GETMENUANIMATION:
        return Give<BOOL>(pvParam, t.MenuAnimation);
    case SPI_SETMENUANIMATION:
        return SetBool(t.MenuAnimation, pvParam);
    case SPI_GETDRAGFULLWINDOWS:
        return Give<BOOL>(pvParam, t.DragFullWindows);
    case SPI_SETDRAGFULLWINDOWS:
        t.DragFullWindows = uiParam ? TRUE : FALSE;
        return TRUE;
    case SPI_GETKEYBOARDCUES:
        return Give<BOOL>(pvParam, t.KeyboardCues);
    case SPI_SETKEYBOARDCUES:
        return SetBool(t.KeyboardCues, pvParam);
    case SPI_SETDOUBLECLICKTIME:
        t.DoubleClickTime = uiParam ? uiParam : 500;
        return TRUE;
    case SPI_GETBEEP:
    case SPI_GETHOTTRACKING:
    case SPI_GETGRADIENTCAPTIONS:
    case SPI_GETCOMBOBOXANIMATION:
    case SPI_GETTOOLTIPANIMATION:
    case SPI_GETTOOLTIPFADE:
    case SPI_GETCURSORSHADOW:
    case SPI_GETDROPSHADOW:
    case SPI_GETUIEFFECTS:
    case SPI_GETCLIENTAREAANIMATION:
    case SPI_GETFONTSMOOTHING:
        return Give<BOOL>(pvParam, TRUE);
    case SPI_GETFLATMENU:
        return Give<BOOL>(pvParam, FALSE);
    case SPI_GETBORDER:
        return Give<int>(pvParam, 1);
    case SPI_GETFOCUSBORDERWIDTH:
        return Give<UINT>(pvParam, 1);
    case SPI_GETWHEELSCROLLLINES:
        return Give<UINT>(pvParam, 3);
    case SPI_GETKEYBOARDDELAY:
        return Give<int>(pvParam, 1);
    case SPI_GETKEYBOARDSPEED:
        return Give<DWORD>(pvParam, 31);
    case SPI_GETMENUSHOWDELAY:
        return Give<int>(pvParam, 400);
    case SPI_GETWORKAREA:
        return Give<RECT>(pvParam, CurrentBackend().WorkArea());
    case SPI_GETICONTITLELOGFONT:
        if (!pvParam) return FALSE;
        DefaultLogFont(*static_cast<LOGFONTW*>(pvParam), -11, 400);
        return TRUE;
    case SPI_GETNONCLIENTMETRICS: {
        auto* m = static_cast<NONCLIENTMETRICSW*>(pvParam);
        if (!m) return FALSE;
        const UINT size = m->cbSize;
        *m = NONCLIENTMETRICSW{};
        m->cbSize = size;
        m->iBorderWidth = 1;
        m->iScrollWidth = m->iScrollHeight = 17;
        m->iCaptionWidth = m->iCaptionHeight = GetSystemMetrics(SM_CYCAPTION);
        m->iSmCaptionWidth = m->iSmCaptionHeight = GetSystemMetrics(SM_CYSMCAPTION);
        m->iMenuWidth = m->iMenuHeight = GetSystemMetrics(SM_CYMENU);
        DefaultLogFont(m->lfCaptionFont, -11, 700);
        DefaultLogFont(m->lfSmCaptionFont, -11, 700);
        DefaultLogFont(m->lfMenuFont, -11, 400);
        DefaultLogFont(m->lfStatusFont, -11, 400);
        DefaultLogFont(m->lfMessageFont, -11, 400);
        return TRUE;
    }
    default:
        SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
}

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
    if (instance || !IS_INTRESOURCE(name)) return nullptr;
    const int id = static_cast<int>(reinterpret_cast<ULONG_PTR>(name));
    if (id < 32512 || id > 32651) return nullptr;
    return HandleFromInt<HCURSOR>(kCursorBase + id);
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
    if (instance || !IS_INTRESOURCE(name)) return nullptr;
    const int id = static_cast<int>(reinterpret_cast<ULONG_PTR>(name));
    return HandleFromInt<HICON>(kCursorBase + id);
}

BOOL DestroyCursor(HCURSOR) {
    return TRUE;
}
BOOL DestroyIcon(HICON) {
    return TRUE;
}

int CursorShapeId(HCURSOR cursor) {
    const LONG_PTR v = static_cast<LONG_PTR>(HandleToInt(cursor));
    return v > kCursorBase && v <= kCursorBase + 0xFFFF ? static_cast<int>(v - kCursorBase) : 0;
}

HCURSOR SetCursor(HCURSOR cursor) {
    WinState& s = State();
    const HCURSOR old = s.Cursor;
    if (old != cursor) {
        s.Cursor = cursor;
        CurrentBackend().SetCursorShape(Table().CursorCount >= 0 ? CursorShapeId(cursor) : 0);
    }
    return old;
}

HCURSOR GetCursor() {
    return State().Cursor;
}

int ShowCursor(BOOL show) {
    Settings& t = Table();
    t.CursorCount += show ? 1 : -1;
    CurrentBackend().SetCursorShape(t.CursorCount >= 0 ? CursorShapeId(State().Cursor) : 0);
    return t.CursorCount;
}

BOOL GetCursorPos(POINT* pt) {
    if (!pt) return FALSE;
    *pt = State().CursorPos;
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    QueuePointerMove(POINT{x, y}, GetTickCount());
    return TRUE;
}

namespace {
HMONITOR TheMonitor() {
    return HandleFromInt<HMONITOR>(0x1000);
}
} // namespace

HMONITOR MonitorFromWindow(HWND, DWORD) {
    return TheMonitor();
}
HMONITOR MonitorFromPoint(POINT pt, DWORD flags) {
    const bool inside = Contains(CurrentBackend().ScreenRect(), pt.x, pt.y);
    return inside || flags != MONITOR_DEFAULTTONULL ? TheMonitor() : nullptr;
}
HMONITOR MonitorFromRect(const RECT* rc, DWORD flags) {
    if (!rc) return nullptr;
    const bool inside = !Empty(Intersect(*rc, CurrentBackend().ScreenRect()));
    return inside || flags != MONITOR_DEFAULTTONULL ? TheMonitor() : nullptr;
}

BOOL GetMonitorInfoW(HMONITOR monitor, MONITORINFO* info) {
    if (monitor != TheMonitor() || !info) return FALSE;
    info->rcMonitor = CurrentBackend().ScreenRect();
    info->rcWork = CurrentBackend().WorkArea();
    info->dwFlags = 1;
    return TRUE;
}

DWORD GetTickCount() {
    return static_cast<DWORD>(CurrentBackend().Now());
}
unsigned long long GetTickCount64() {
    return CurrentBackend().Now();
}

UINT GetDoubleClickTime() {
    return Table().DoubleClickTime;
}
BOOL SetDoubleClickTime(UINT ms) {
    Table().DoubleClickTime = ms ? ms : 500;
    return TRUE;
}

BOOL MessageBeep(UINT) {
    CurrentBackend().Beep();
    return TRUE;
}
