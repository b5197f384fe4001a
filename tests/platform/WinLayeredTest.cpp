// Layered windows: constant opacity over the painted window, or content with
// per-pixel alpha handed over whole; the two modes exclude each other.
#include "WinTestSupport.h"

using namespace wintest;

namespace {

class WinLayeredTest : public WinTest {};

TEST_F(WinLayeredTest, ConstantAlphaShowsInTheCapture) {
    HWND w = MakeTop(0, 0, 10, 10, WS_POPUP | WS_VISIBLE, WS_EX_LAYERED);
    ASSERT_TRUE(SetLayeredWindowAttributes(w, 0, 0, LWA_ALPHA));
    Pump();
    EXPECT_EQ(platform::win::CaptureWindow(w).At(5, 5) >> 24, 0u);
    // Fully transparent windows are not hit.
    EXPECT_EQ(WindowFromPoint(POINT{5, 5}), nullptr);
    SetLayeredWindowAttributes(w, 0, 255, LWA_ALPHA);
    EXPECT_EQ(platform::win::CaptureWindow(w).At(5, 5), 0xFFFFFFFFu);
    EXPECT_EQ(WindowFromPoint(POINT{5, 5}), w);
    BYTE alpha = 0;
    DWORD flags = 0;
    EXPECT_TRUE(GetLayeredWindowAttributes(w, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 255);
    EXPECT_EQ(flags, LWA_ALPHA);
    // The attribute mode refuses UpdateLayeredWindow; leaving the layered
    // style forgets the attributes.
    EXPECT_FALSE(
        UpdateLayeredWindow(w, nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr, 0));
    SetWindowLongPtrW(w, GWL_EXSTYLE, 0);
    EXPECT_FALSE(SetLayeredWindowAttributes(w, 0, 10, LWA_ALPHA));
}

TEST_F(WinLayeredTest, UpdateLayeredWindowMovesAndTakesPremultipliedPixels) {
    HWND w = MakeTop(0, 0, 10, 10, WS_POPUP | WS_VISIBLE, WS_EX_LAYERED | WS_EX_TOOLWINDOW);
    Pump();
    BITMAPINFO bmi{};
    bmi.bmiHeader.biWidth = 4;
    bmi.bmiHeader.biHeight = -2;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* px = static_cast<std::uint32_t*>(bits);
    for (int i = 0; i < 8; ++i)
        px[i] = 0x80400000; // half-transparent red, premultiplied
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bmp);
    POINT dst{50, 60}, src{0, 0};
    SIZE size{4, 2};
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ASSERT_TRUE(UpdateLayeredWindow(w, nullptr, &dst, &size, dc, &src, 0, &bf, ULW_ALPHA));
    RECT rc;
    GetWindowRect(w, &rc);
    EXPECT_EQ(rc.left, 50);
    EXPECT_EQ(rc.right, 54);
    const auto pic = platform::win::CaptureWindow(w);
    ASSERT_EQ(pic.Width, 4);
    EXPECT_EQ(pic.At(3, 1), 0x80400000u);
    // Windows with handed-over content are never asked to paint.
    InvalidateRect(w, nullptr, TRUE);
    Log().clear();
    Pump();
    EXPECT_EQ(CountOf(w, WM_PAINT), 0);
    // A source rectangle beyond the source bitmap is refused.
    SIZE big{8, 2};
    EXPECT_FALSE(UpdateLayeredWindow(w, nullptr, nullptr, &big, dc, &src, 0, &bf, ULW_ALPHA));
    DeleteDC(dc);
    DeleteObject(bmp);
}

} // namespace
