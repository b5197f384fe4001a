// Window geometry and data: the non-client size decides the client area,
// positioning messages can change the outcome, windows minimize, maximize and
// restore, styles and window data change through the window longs, and the
// z-order keeps topmost windows above.
#include "WinTestSupport.h"

using namespace wintest;

namespace {

class WinWindowTest : public WinTest {};

// A procedure that takes over the frame like a skinned form: 2-pixel frame,
// 27-pixel title band.
std::optional<LRESULT> SkinnedFrame(HWND, UINT m, WPARAM w, LPARAM l) {
    if (m != WM_NCCALCSIZE) return std::nullopt;
    RECT* r = w ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(l)->rgrc[0] : reinterpret_cast<RECT*>(l);
    r->left += 2;
    r->top += 27;
    r->right -= 2;
    r->bottom -= 2;
    return 0;
}

TEST_F(WinWindowTest, NonClientSizeDecidesTheClientArea) {
    HWND form = CreateWindowExW(0, kClass, u"form", WS_POPUP, 100, 50, 649, 378, nullptr, nullptr,
                                nullptr, nullptr);
    Handlers()[form] = SkinnedFrame;
    SetWindowPos(form, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    RECT client;
    GetClientRect(form, &client);
    EXPECT_EQ(client.right, 645);
    EXPECT_EQ(client.bottom, 349);
    POINT origin{0, 0};
    ClientToScreen(form, &origin);
    EXPECT_EQ(origin.x, 102);
    EXPECT_EQ(origin.y, 77);
    HWND button = MakeChild(form, 34, 242, 88, 84);
    RECT rc;
    GetWindowRect(button, &rc);
    EXPECT_EQ(rc.left, 136);
    EXPECT_EQ(rc.top, 319);
    POINT p{0, 0};
    MapWindowPoints(button, form, &p, 1);
    EXPECT_EQ(p.x, 34);
    EXPECT_EQ(p.y, 242);
    // Resizing asks again and reports the new client size.
    Log().clear();
    SetWindowPos(form, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_EQ(CountOf(form, WM_SIZE), 1);
    EXPECT_EQ(LOWORD(static_cast<DWORD_PTR>(SeenBy(form, WM_SIZE)[0].LParam)), 396);
    EXPECT_EQ(HIWORD(static_cast<DWORD_PTR>(SeenBy(form, WM_SIZE)[0].LParam)), 271);
    EXPECT_EQ(CountOf(form, WM_MOVE), 0); // the client did not move
}

TEST_F(WinWindowTest, PositionChangingMayAdjustTheRequest) {
    HWND w = MakeTop(0, 0, 100, 100);
    Handlers()[w] = [](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
        if (m != WM_WINDOWPOSCHANGING) return std::nullopt;
        auto* wp = reinterpret_cast<WINDOWPOS*>(l);
        wp->cx = std::min(wp->cx, 150); // a maximum width
        return 0;
    };
    MoveWindow(w, 10, 20, 300, 80, TRUE);
    RECT rc;
    GetWindowRect(w, &rc);
    EXPECT_EQ(rc.left, 10);
    EXPECT_EQ(rc.right, 160);
    EXPECT_EQ(rc.bottom, 100);
    const auto changed = SeenBy(w, WM_WINDOWPOSCHANGED);
    ASSERT_FALSE(changed.empty());
}

TEST_F(WinWindowTest, MinimizeMaximizeAndRestore) {
    HWND w = MakeTop(30, 40, 200, 100, WS_POPUP | WS_VISIBLE | WS_THICKFRAME);
    Pump();
    ShowWindow(w, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(w));
    RECT rc;
    GetWindowRect(w, &rc);
    EXPECT_LT(rc.left, 0); // the frame lies outside the work area
    EXPECT_GT(rc.right, 1280);
    EXPECT_EQ(SeenBy(w, WM_SIZE).back().WParam, static_cast<WPARAM>(SIZE_MAXIMIZED));
    ShowWindow(w, SW_RESTORE);
    EXPECT_FALSE(IsZoomed(w));
    GetWindowRect(w, &rc);
    EXPECT_EQ(rc.left, 30);
    EXPECT_EQ(rc.right, 230);
    ShowWindow(w, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(w));
    EXPECT_EQ(SeenBy(w, WM_SIZE).back().WParam, static_cast<WPARAM>(SIZE_MINIMIZED));
    // A minimized window is neither painted nor hit.
    InvalidateRect(w, nullptr, TRUE);
    Log().clear();
    Pump();
    EXPECT_EQ(CountOf(w, WM_PAINT), 0);
    EXPECT_EQ(WindowFromPoint(POINT{50, 50}), nullptr);
    SendMessageW(w, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsIconic(w));
    GetWindowRect(w, &rc);
    EXPECT_EQ(rc.top, 40);
}

TEST_F(WinWindowTest, StylesAndWindowDataChangeThroughTheLongs) {
    WNDCLASSW wc;
    wc.lpfnWndProc = RecordingProc;
    wc.cbWndExtra = 16;
    wc.lpszClassName = u"WithExtra";
    ASSERT_TRUE(RegisterClassW(&wc));
    EXPECT_FALSE(RegisterClassW(&wc)); // the name is taken
    HWND w = CreateWindowExW(0, u"withextra", u"title", WS_POPUP | WS_VISIBLE | WS_BORDER, 0, 0, 50,
                             50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr); // class names ignore case
    SetWindowLongPtrW(w, 8, 0x1234);
    EXPECT_EQ(GetWindowLongPtrW(w, 8), 0x1234);
    EXPECT_EQ(GetWindowLongPtrW(w, 16), 0); // beyond the extra bytes
    EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);
    SetWindowLongPtrW(w, GWLP_USERDATA, 77);
    EXPECT_EQ(GetWindowLongPtrW(w, GWLP_USERDATA), 77);

    Log().clear();
    const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
    SetWindowLongPtrW(w, GWL_STYLE, (style & ~WS_BORDER & ~WS_VISIBLE) | WS_CLIPCHILDREN);
    EXPECT_EQ(CountOf(w, WM_STYLECHANGING), 1);
    EXPECT_EQ(CountOf(w, WM_STYLECHANGED), 1);
    EXPECT_TRUE(IsWindowVisible(w)); // visibility changes only by showing and hiding
    EXPECT_TRUE(GetWindowLongPtrW(w, GWL_STYLE) & WS_CLIPCHILDREN);
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 48); // the frame stays until the frame change is applied
    SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 50);

    WCHAR buffer[16];
    EXPECT_EQ(GetWindowTextW(w, buffer, 16), 5);
    EXPECT_EQ(std::u16string(buffer), u"title");
    EXPECT_EQ(GetWindowTextW(w, buffer, 3), 2); // cut to the buffer
    SetWindowTextW(w, u"new");
    EXPECT_EQ(GetWindowTextLengthW(w), 3);
    EXPECT_TRUE(SetPropW(w, u"Key", reinterpret_cast<HANDLE>(5)));
    EXPECT_EQ(GetPropW(w, u"Key"), reinterpret_cast<HANDLE>(5));
    EXPECT_EQ(RemovePropW(w, u"Key"), reinterpret_cast<HANDLE>(5));
    EXPECT_EQ(GetPropW(w, u"Key"), nullptr);

    // Class data shared by the windows of the class.
    SetClassLongPtrW(w, GCL_STYLE,
                     static_cast<LONG_PTR>(GetClassLongPtrW(w, GCL_STYLE) | CS_DBLCLKS));
    WNDCLASSW info;
    ASSERT_TRUE(GetClassInfoW(nullptr, u"WithExtra", &info));
    EXPECT_TRUE(info.style & CS_DBLCLKS);
    EXPECT_FALSE(UnregisterClassW(u"WithExtra", nullptr)); // a window still uses it
    DestroyWindow(w);
    EXPECT_TRUE(UnregisterClassW(u"WithExtra", nullptr));
}

TEST_F(WinWindowTest, ZOrderKeepsTopmostWindowsAbove) {
    HWND a = MakeTop(0, 0, 10, 10);
    HWND topmost = MakeTop(0, 0, 10, 10, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
    HWND b = MakeTop(0, 0, 10, 10);
    EXPECT_EQ(GetTopWindow(nullptr), topmost);
    EXPECT_EQ(GetWindow(topmost, GW_HWNDNEXT), b);
    BringWindowToTop(a);
    EXPECT_EQ(GetWindow(topmost, GW_HWNDNEXT), a);
    SetWindowPos(a, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), a);
    SetWindowPos(b, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(GetTopWindow(nullptr), b);
    EXPECT_TRUE(GetWindowLongPtrW(b, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(WinWindowTest, TreeQueriesAndReparenting) {
    HWND one = MakeTop(0, 0, 100, 100);
    HWND two = MakeTop(200, 0, 100, 100);
    HWND child = MakeChild(one, 10, 10, 20, 20);
    HWND grandchild = MakeChild(child, 1, 1, 5, 5);
    EXPECT_EQ(GetParent(child), one);
    EXPECT_EQ(GetAncestor(grandchild, GA_ROOT), one);
    EXPECT_TRUE(IsChild(one, grandchild));
    int count = 0;
    EnumChildWindows(
        one, [](HWND, LPARAM p) { return ++*reinterpret_cast<int*>(p), TRUE; },
        reinterpret_cast<LPARAM>(&count));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(SetParent(child, two), one);
    EXPECT_TRUE(IsChild(two, grandchild));
    RECT rc;
    GetWindowRect(grandchild, &rc);
    EXPECT_EQ(rc.left, 211);
    EXPECT_EQ(SetParent(two, grandchild), nullptr); // no cycles
    // An owned window goes with its owner.
    HWND popup =
        CreateWindowExW(0, kClass, u"", WS_POPUP, 0, 0, 10, 10, one, nullptr, nullptr, nullptr);
    EXPECT_EQ(GetWindow(popup, GW_OWNER), one);
    EXPECT_EQ(GetParent(popup), one);
    DestroyWindow(one);
    EXPECT_FALSE(IsWindow(popup));
}

TEST_F(WinWindowTest, SystemSettingsLiveInThisProcess) {
    BOOL fade = FALSE;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETSELECTIONFADE, 0, &fade, 0));
    EXPECT_TRUE(fade);
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETSELECTIONFADE, 0, nullptr, SPIF_SENDCHANGE));
    SystemParametersInfoW(SPI_GETSELECTIONFADE, 0, &fade, 0);
    EXPECT_FALSE(fade);
    SystemParametersInfoW(SPI_SETSELECTIONFADE, 0, reinterpret_cast<LPVOID>(TRUE), 0);
    SystemParametersInfoW(SPI_GETSELECTIONFADE, 0, &fade, 0);
    EXPECT_TRUE(fade);
    EXPECT_FALSE(SystemParametersInfoW(0xFFFF, 0, nullptr, 0));
    RECT work;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(work.right, GetSystemMetrics(SM_CXSCREEN));
    // A system colour brush given as index + 1 paints that colour.
    BITMAPINFO bmi{};
    bmi.bmiHeader.biWidth = 1;
    bmi.bmiHeader.biHeight = 1;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bmp);
    RECT r{0, 0, 1, 1};
    FillRect(dc, &r, HandleFromInt<HBRUSH>(COLOR_BTNFACE + 1));
    EXPECT_EQ(GetPixel(dc, 0, 0), GetSysColor(COLOR_BTNFACE));
    EXPECT_TRUE(DeleteObject(GetSysColorBrush(COLOR_BTNFACE))); // stock: stays usable
    FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
    EXPECT_EQ(GetPixel(dc, 0, 0), GetSysColor(COLOR_WINDOW));
    DeleteDC(dc);
    DeleteObject(bmp);
}

TEST_F(WinWindowTest, DeferredPositionsApplyTogether) {
    HWND a = MakeTop(0, 0, 10, 10);
    HWND b = MakeTop(0, 0, 10, 10);
    HDWP set = BeginDeferWindowPos(2);
    set = DeferWindowPos(set, a, nullptr, 5, 6, 20, 30, SWP_NOZORDER | SWP_NOACTIVATE);
    set = DeferWindowPos(set, b, nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_NE(set, nullptr);
    RECT rc;
    GetWindowRect(a, &rc);
    EXPECT_EQ(rc.left, 0); // nothing moves before the set is applied
    EXPECT_TRUE(EndDeferWindowPos(set));
    GetWindowRect(a, &rc);
    EXPECT_EQ(rc.right, 25);
    GetWindowRect(b, &rc);
    EXPECT_EQ(rc.top, 60);
    EXPECT_FALSE(EndDeferWindowPos(set));
    EXPECT_EQ(DeferWindowPos(set, a, nullptr, 0, 0, 0, 0, 0), nullptr);
}

} // namespace
