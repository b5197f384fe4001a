// The X11 back-end under a virtual display: what the display shows equals
// the model's picture, shapes follow regions, pointer and keys from the
// display reach the right window procedures, and a caption drag moves the
// window.
#include "WinTestSupport.h"
#include "WinX11.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace wintest;

namespace {

class WinX11Test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(platform::win::InstallX11Backend()) << "no X display";
        // The virtual server now and then refuses a connection it takes a moment later.
        for (int attempt = 0; attempt < 20 && !FDisplay; ++attempt) {
            FDisplay = XOpenDisplay(nullptr);
            if (!FDisplay) usleep(25000);
        }
        ASSERT_NE(FDisplay, nullptr);
        Log().clear();
        Handlers().clear();
        RegisterClasses();
    }
    void TearDown() override {
        Handlers().clear();
        if (FDisplay) XCloseDisplay(FDisplay);
        platform::headless::Install();
    }

    // Runs the message loop until `done` holds or `ms` pass.
    template <class Pred> bool PumpUntil(Pred done, DWORD ms = 5000) {
        const DWORD start = GetTickCount();
        while (!done()) {
            const DWORD elapsed = GetTickCount() - start;
            if (elapsed >= ms) return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(50, ms - elapsed),
                                      QS_ALLINPUT);
            platform::DispatchReadyMessages();
        }
        return true;
    }
    void Settle(DWORD ms = 300) {
        PumpUntil([] { return false; }, ms);
        GdiFlush();
        XSync(FDisplay, False);
    }
    static void Run(const std::string& command) {
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    Display* FDisplay = nullptr;
};

std::optional<LRESULT> PaintScene(HWND hwnd, UINT m, COLORREF fill, const char16_t* text) {
    if (m != WM_PAINT) return std::nullopt;
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    HBRUSH b = CreateSolidBrush(fill);
    FillRect(hdc, &rc, b);
    DeleteObject(b);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, RGB(20, 20, 20));
    DrawTextW(hdc, text, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(hdc, GetStockObject(WHITE_BRUSH));
    Ellipse(hdc, 4, 4, 20, 16);
    EndPaint(hwnd, &ps);
    return 0;
}

// A top-level window with two painted children; returns the top-level.
HWND BuildScene() {
    HWND top = MakeTop(40, 50, 220, 130, WS_POPUP | WS_CLIPCHILDREN);
    HWND a = MakeChild(top, 10, 10, 100, 50);
    HWND b = MakeChild(top, 90, 40, 120, 80);
    Handlers()[top] = [](HWND h, UINT m, WPARAM, LPARAM) {
        return PaintScene(h, m, RGB(230, 230, 250), u"");
    };
    Handlers()[a] = [](HWND h, UINT m, WPARAM, LPARAM) {
        return PaintScene(h, m, RGB(0, 128, 255), u"Hello");
    };
    Handlers()[b] = [](HWND h, UINT m, WPARAM, LPARAM) {
        return PaintScene(h, m, RGB(250, 200, 0), u"你好 world");
    };
    ShowWindow(top, SW_SHOW);
    return top;
}

TEST_F(WinX11Test, DisplayShowsExactlyTheHeadlessPicture) {
    platform::headless::Install();
    RegisterClasses();
    HWND offscreen = BuildScene();
    platform::headless::PumpMessages();
    const auto headless = platform::win::CaptureWindow(offscreen);

    ASSERT_TRUE(platform::win::InstallX11Backend());
    Log().clear();
    Handlers().clear();
    RegisterClasses();
    HWND top = BuildScene();
    Settle();
    const auto model = platform::win::CaptureWindow(top);
    ASSERT_EQ(model.Width, headless.Width);
    EXPECT_EQ(model.Pixels, headless.Pixels);

    const Window xid = platform::win::X11WindowOf(top);
    ASSERT_NE(xid, 0u);
    XImage* img = XGetImage(FDisplay, xid, 0, 0, 220, 130, AllPlanes, ZPixmap);
    ASSERT_NE(img, nullptr);
    int mismatches = 0;
    for (int y = 0; y < 130; ++y)
        for (int x = 0; x < 220; ++x)
            if ((XGetPixel(img, x, y) & 0xFFFFFF) != (model.At(x, y) & 0xFFFFFF)) ++mismatches;
    XDestroyImage(img);
    EXPECT_EQ(mismatches, 0);
    // The window stands where the model says, without decorations.
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(FDisplay, xid, DefaultRootWindow(FDisplay), 0, 0, &x, &y, &child);
    EXPECT_EQ(x, 40);
    EXPECT_EQ(y, 50);
}

TEST_F(WinX11Test, ShapeSpansMatchTheWindowRegion) {
    HWND w = MakeTop(300, 300, 120, 90);
    HRGN shape = CreateRoundRectRgn(0, 0, 121, 91, 30, 30);
    HRGN band = CreateRectRgn(0, 80, 121, 91);
    CombineRgn(shape, shape, band, RGN_OR);
    DeleteObject(band);
    SetWindowRgn(w, shape, TRUE);
    Settle();
    const Window xid = platform::win::X11WindowOf(w);
    int count = 0, ordering = 0;
    XRectangle* rects = XShapeGetRectangles(FDisplay, xid, ShapeBounding, &count, &ordering);
    ASSERT_NE(rects, nullptr);
    HRGN expected = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(w, expected), COMPLEXREGION);
    int mismatches = 0;
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 120; ++x) {
            bool inShape = false;
            for (int i = 0; i < count && !inShape; ++i)
                inShape = x >= rects[i].x && x < rects[i].x + rects[i].width && y >= rects[i].y &&
                          y < rects[i].y + rects[i].height;
            if (inShape != static_cast<bool>(PtInRegion(expected, x, y))) ++mismatches;
        }
    XFree(rects);
    EXPECT_EQ(mismatches, 0);
    EXPECT_FALSE(PtInRegion(expected, 0, 0));
}

TEST_F(WinX11Test, PointerClickReachesTheWindowUnderIt) {
    HWND top = MakeTop(100, 100, 300, 200);
    HWND left = MakeChild(top, 0, 0, 150, 200);
    HWND right = MakeChild(top, 150, 0, 150, 200);
    Settle();
    Run("xdotool mousemove 330 200 click 1");
    EXPECT_TRUE(PumpUntil([&] { return CountOf(right, WM_LBUTTONUP) > 0; }));
    EXPECT_EQ(CountOf(right, WM_LBUTTONDOWN), 1);
    EXPECT_EQ(CountOf(left, WM_LBUTTONDOWN), 0);
    const auto down = SeenBy(right, WM_LBUTTONDOWN);
    ASSERT_FALSE(down.empty());
    EXPECT_EQ(GET_X_LPARAM(down[0].LParam), 80); // client coordinates of the child
    EXPECT_EQ(GET_Y_LPARAM(down[0].LParam), 100);
}

HWND gBoxOwner = nullptr;
Display* gProbeDisplay = nullptr;
bool gBoxViewable = false;
void WatchForBox(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = FindWindowW(kMessageBoxClass, nullptr);
    const Window xid = platform::win::X11WindowOf(box);
    if (!xid) return;
    XWindowAttributes attrs;
    XSync(gProbeDisplay, False);
    if (!XGetWindowAttributes(gProbeDisplay, xid, &attrs) || attrs.map_state != IsViewable) return;
    gBoxViewable = true;
    KillTimer(nullptr, id);
    // The key comes through the display like a user's.
    std::system("xdotool key Return");
}

TEST_F(WinX11Test, MessageBoxAppearsAndAKeyDismissesIt) {
    gBoxOwner = MakeTop(200, 200, 300, 200);
    Settle();
    gProbeDisplay = FDisplay;
    gBoxViewable = false;
    SetTimer(nullptr, 0, 100, WatchForBox);
    const int r = MessageBoxW(gBoxOwner, u"The box text", u"Box", MB_ICONINFORMATION);
    EXPECT_TRUE(gBoxViewable);
    EXPECT_EQ(r, IDOK);
    EXPECT_TRUE(IsWindowEnabled(gBoxOwner));
}

TEST_F(WinX11Test, CloseRequestFromTheDisplayBecomesWmClose) {
    HWND w = MakeTop(10, 10, 100, 100);
    Settle();
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = platform::win::X11WindowOf(w);
    e.xclient.message_type = XInternAtom(FDisplay, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(FDisplay, "WM_DELETE_WINDOW", False));
    XSendEvent(FDisplay, e.xclient.window, False, NoEventMask, &e);
    XFlush(FDisplay);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(w); }));
    EXPECT_EQ(CountOf(w, WM_CLOSE), 1);
}

TEST_F(WinX11Test, CaptionDragMovesTheXWindow) {
    HWND w = MakeTop(400, 400, 200, 100);
    Handlers()[w] = CaptionBand(20);
    Settle();
    Run("xdotool mousemove 450 405 mousedown 1 mousemove 480 430 mousemove 500 445 mouseup 1");
    EXPECT_TRUE(PumpUntil([&] { return CountOf(w, WM_EXITSIZEMOVE) > 0; }));
    RECT rc;
    GetWindowRect(w, &rc);
    EXPECT_EQ(rc.left, 450);
    EXPECT_EQ(rc.top, 440);
    Settle();
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(FDisplay, platform::win::X11WindowOf(w), DefaultRootWindow(FDisplay), 0,
                          0, &x, &y, &child);
    EXPECT_EQ(x, 450);
    EXPECT_EQ(y, 440);
}

} // namespace
