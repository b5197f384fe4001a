// Painting: lazy WM_PAINT, the order of non-client paint, erase and paint,
// child windows drawing into their top-level window's buffer, and the
// pixels a capture returns.
#include "WinTestSupport.h"

using namespace wintest;

namespace {

class WinPaintTest : public WinTest {};

std::optional<LRESULT> FillClient(HWND hwnd, UINT m, COLORREF color) {
    if (m != WM_PAINT) return std::nullopt;
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    HBRUSH b = CreateSolidBrush(color);
    RECT rc;
    GetClientRect(hwnd, &rc);
    FillRect(hdc, &rc, b);
    DeleteObject(b);
    EndPaint(hwnd, &ps);
    return 0;
}

TEST_F(WinPaintTest, PaintIsMadeLazilyAndOnlyWhileInvalid) {
    HWND w = MakeTop(0, 0, 40, 30);
    Pump();
    EXPECT_EQ(CountOf(w, WM_PAINT), 1); // shown: painted once
    Pump();
    EXPECT_EQ(CountOf(w, WM_PAINT), 1);
    InvalidateRect(w, nullptr, FALSE);
    InvalidateRect(w, nullptr, FALSE);
    EXPECT_EQ(CountOf(w, WM_PAINT), 1);
    Pump();
    EXPECT_EQ(CountOf(w, WM_PAINT), 2); // two invalidations, one paint
    // A window that validates itself before the loop looks gets no paint.
    InvalidateRect(w, nullptr, FALSE);
    ValidateRect(w, nullptr);
    Pump();
    EXPECT_EQ(CountOf(w, WM_PAINT), 2);
    // Hidden windows are not painted.
    ShowWindow(w, SW_HIDE);
    InvalidateRect(w, nullptr, TRUE);
    Pump();
    EXPECT_EQ(CountOf(w, WM_PAINT), 2);
}

TEST_F(WinPaintTest, BeginPaintSendsFrameThenEraseAndReportsTheUpdateArea) {
    HWND w = MakeTop(0, 0, 100, 80, WS_POPUP | WS_VISIBLE | WS_BORDER);
    Pump();
    Log().clear();
    RECT part{10, 10, 20, 20};
    RedrawWindow(w, &part, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    RECT seen{};
    Handlers()[w] = [&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m != WM_PAINT) return std::nullopt;
        PAINTSTRUCT ps;
        BeginPaint(h, &ps);
        seen = ps.rcPaint;
        EndPaint(h, &ps);
        return 0;
    };
    Pump();
    const std::vector<UINT> want{WM_PAINT, WM_ERASEBKGND};
    EXPECT_EQ(Sequence(w, {WM_PAINT, WM_NCPAINT, WM_ERASEBKGND}), want);
    EXPECT_EQ(seen.left, 10);
    EXPECT_EQ(seen.bottom, 20);

    Log().clear();
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    Pump();
    const std::vector<UINT> withFrame{WM_PAINT, WM_NCPAINT, WM_ERASEBKGND};
    EXPECT_EQ(Sequence(w, {WM_PAINT, WM_NCPAINT, WM_ERASEBKGND}), withFrame);
}

TEST_F(WinPaintTest, UpdateWindowPaintsAtOnceParentsBeforeChildren) {
    HWND top = MakeTop(0, 0, 100, 100);
    HWND child = MakeChild(top, 10, 10, 20, 20);
    Pump();
    Log().clear();
    InvalidateRect(top, nullptr, TRUE); // no WS_CLIPCHILDREN: the child is included
    UpdateWindow(top);
    std::vector<HWND> order;
    for (const Seen& s : Log())
        if (s.Message == WM_PAINT) order.push_back(s.Hwnd);
    const std::vector<HWND> want{top, child};
    EXPECT_EQ(order, want);
    Log().clear();
    SetWindowLongPtrW(top, GWL_STYLE, GetWindowLongPtrW(top, GWL_STYLE) | WS_CLIPCHILDREN);
    InvalidateRect(top, nullptr, TRUE);
    UpdateWindow(top);
    EXPECT_EQ(CountOf(child, WM_PAINT), 0);
}

TEST_F(WinPaintTest, ChildrenDrawIntoTheTopLevelBufferClippedToTheParent) {
    HWND top = MakeTop(0, 0, 60, 40, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
    HWND child = MakeChild(top, 50, 10, 30, 10); // sticks out on the right
    Handlers()[top] = [](HWND h, UINT m, WPARAM, LPARAM) {
        return FillClient(h, m, RGB(0, 0, 255));
    };
    Handlers()[child] = [](HWND h, UINT m, WPARAM, LPARAM) {
        return FillClient(h, m, RGB(255, 0, 0));
    };
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    Pump();
    const auto pic = platform::win::CaptureWindow(top);
    ASSERT_EQ(pic.Width, 60);
    EXPECT_EQ(pic.At(5, 5), 0xFF0000FFu);
    EXPECT_EQ(pic.At(55, 15), 0xFFFF0000u);
    EXPECT_EQ(pic.At(49, 15), 0xFF0000FFu);
    const auto part = platform::win::CaptureWindow(child);
    EXPECT_EQ(part.Width, 30);
    EXPECT_EQ(part.At(0, 0), 0xFFFF0000u);
    // Moving the child uncovers the parent, which repaints that part.
    SetWindowPos(child, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Pump();
    const auto after = platform::win::CaptureWindow(top);
    EXPECT_EQ(after.At(55, 15), 0xFF0000FFu);
    EXPECT_EQ(after.At(5, 5), 0xFFFF0000u);
}

TEST_F(WinPaintTest, EraseUsesTheClassBrushAndFrameFollowsTheStyle) {
    HWND w = MakeTop(10, 10, 50, 50, WS_POPUP | WS_VISIBLE | WS_BORDER);
    Pump();
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 48);
    const auto pic = platform::win::CaptureWindow(w);
    EXPECT_EQ(pic.At(20, 20), 0xFFFFFFFFu); // class brush: white
    EXPECT_EQ(pic.At(0, 20), 0xFF646464u);  // the one-pixel frame
}

TEST_F(WinPaintTest, WindowRegionMasksTheCaptureAndDrawing) {
    HWND w = MakeTop(0, 0, 20, 20);
    Handlers()[w] = [](HWND h, UINT m, WPARAM, LPARAM) { return FillClient(h, m, RGB(0, 255, 0)); };
    SetWindowRgn(w, CreateRectRgn(5, 5, 15, 15), TRUE);
    Pump();
    const auto pic = platform::win::CaptureWindow(w);
    EXPECT_EQ(pic.At(10, 10), 0xFF00FF00u);
    EXPECT_EQ(pic.At(2, 2), 0u);
}

TEST_F(WinPaintTest, UpdateAreaQueriesAndRedrawFlags) {
    HWND w = MakeTop(0, 0, 50, 50);
    Pump();
    RECT r{5, 5, 10, 10};
    InvalidateRect(w, &r, FALSE);
    RECT u;
    EXPECT_TRUE(GetUpdateRect(w, &u, FALSE));
    EXPECT_EQ(u.left, 5);
    EXPECT_EQ(u.right, 10);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetUpdateRgn(w, rgn, FALSE), SIMPLEREGION);
    ValidateRect(w, nullptr);
    EXPECT_FALSE(GetUpdateRect(w, &u, FALSE));
    // An internal paint asks for WM_PAINT without any update area.
    RedrawWindow(w, nullptr, nullptr, RDW_INTERNALPAINT);
    Log().clear();
    Pump();
    EXPECT_EQ(CountOf(w, WM_PAINT), 1);
    // With redrawing switched off the window is not painted.
    SendMessageW(w, WM_SETREDRAW, FALSE, 0);
    InvalidateRect(w, nullptr, TRUE);
    Pump();
    EXPECT_EQ(CountOf(w, WM_PAINT), 1);
    SendMessageW(w, WM_SETREDRAW, TRUE, 0);
    Pump();
    EXPECT_EQ(CountOf(w, WM_PAINT), 2);
    DeleteObject(rgn);
}

TEST_F(WinPaintTest, EraseResultReachesThePaintStruct) {
    HWND w = MakeTop(0, 0, 20, 20);
    Pump();
    BOOL erasedFlag = TRUE;
    // Paints once and keeps what BeginPaint reported; with `refuseErase` the
    // window answers WM_ERASEBKGND with "not erased".
    const auto paintRecordingErase = [&](bool refuseErase) {
        Handlers()[w] = [&, refuseErase](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (m == WM_ERASEBKGND && refuseErase) return 0;
            if (m != WM_PAINT) return std::nullopt;
            PAINTSTRUCT ps;
            BeginPaint(h, &ps);
            erasedFlag = ps.fErase;
            EndPaint(h, &ps);
            return 0;
        };
        InvalidateRect(w, nullptr, TRUE);
        Pump();
    };
    paintRecordingErase(true);
    EXPECT_TRUE(erasedFlag); // the window must erase itself
    paintRecordingErase(false);
    EXPECT_FALSE(erasedFlag); // the class brush erased it
}

} // namespace
