// Device contexts: the clip and origin pattern the skin uses to paint a
// parent into a buffer, DIB sections, the transfers and the alpha rules.
#include "WinTestSupport.h"

using namespace wintest;

namespace {

class WinGdiTest : public WinTest {
protected:
    // A memory DC with a zero-filled top-down 32-bit DIB section.
    struct Dib {
        HDC Dc = nullptr;
        HBITMAP Bitmap = nullptr;
        std::uint32_t* Bits = nullptr;
        int Width = 0;
        std::uint32_t At(int x, int y) const { return Bits[y * Width + x]; }
    };
    static Dib MakeDib(int w, int h, int bpp = 32, bool topDown = true) {
        Dib d;
        BITMAPINFO bmi{};
        bmi.bmiHeader.biWidth = w;
        bmi.bmiHeader.biHeight = topDown ? -h : h;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = static_cast<WORD>(bpp);
        void* bits = nullptr;
        d.Bitmap = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        d.Bits = static_cast<std::uint32_t*>(bits);
        d.Dc = CreateCompatibleDC(nullptr);
        SelectObject(d.Dc, d.Bitmap);
        d.Width = w;
        return d;
    }
    static void Fill(HDC dc, int l, int t, int r, int b, COLORREF c) {
        RECT rc{l, t, r, b};
        HBRUSH brush = CreateSolidBrush(c);
        FillRect(dc, &rc, brush);
        DeleteObject(brush);
    }
};

TEST_F(WinGdiTest, DibSectionIsZeroFilledWritableAndGdiLeavesAlphaZero) {
    Dib d = MakeDib(4, 3);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(d.Bits[i], 0u);
    d.Bits[0] = 0x80112233;
    EXPECT_EQ(GetPixel(d.Dc, 0, 0), RGB(0x11, 0x22, 0x33));
    Fill(d.Dc, 1, 1, 3, 3, RGB(255, 0, 0));
    EXPECT_EQ(d.At(1, 1), 0x00FF0000u); // colour bytes only: alpha 0
    EXPECT_EQ(d.At(0, 0), 0x80112233u);
    DIBSECTION ds;
    ASSERT_EQ(GetObjectW(d.Bitmap, sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmBits, d.Bits);
    EXPECT_EQ(ds.dsBmih.biHeight, -3);
    // A selected bitmap cannot be deleted; after DeleteDC it can.
    EXPECT_FALSE(DeleteObject(d.Bitmap));
    DeleteDC(d.Dc);
    EXPECT_TRUE(DeleteObject(d.Bitmap));
    EXPECT_EQ(GetObjectType(d.Bitmap), 0u);
}

TEST_F(WinGdiTest, PaintingAParentThroughOriginAndClipThenRestoring) {
    // Part of a parent's picture painted into a child-sized buffer: the
    // origin moves to (-Left, -Top) and drawing is clipped to the parent.
    Dib d = MakeDib(10, 10);
    const int saved = SaveDC(d.Dc);
    EXPECT_EQ(saved, 1);
    SetViewportOrgEx(d.Dc, -20, -30, nullptr);
    EXPECT_EQ(IntersectClipRect(d.Dc, 0, 0, 25, 100), SIMPLEREGION);
    Fill(d.Dc, 0, 0, 100, 100, RGB(0, 0, 255));
    EXPECT_EQ(d.At(4, 0), 0x000000FFu);
    EXPECT_EQ(d.At(5, 0), 0u); // parent x 25 is outside the clip
    RECT box;
    GetClipBox(d.Dc, &box);
    EXPECT_EQ(box.left, 20);
    EXPECT_EQ(box.right, 25);
    EXPECT_TRUE(RestoreDC(d.Dc, -1));
    POINT org;
    GetViewportOrgEx(d.Dc, &org);
    EXPECT_EQ(org.x, 0);
    Fill(d.Dc, 0, 0, 10, 10, RGB(0, 255, 0));
    EXPECT_EQ(d.At(9, 9), 0x0000FF00u); // no clip after restoring
    EXPECT_FALSE(RestoreDC(d.Dc, -1));
    DeleteDC(d.Dc);
    DeleteObject(d.Bitmap);
}

TEST_F(WinGdiTest, WindowDcDrawsOnlyIntoItsVisiblePart) {
    HWND top = MakeTop(0, 0, 40, 40, WS_POPUP | WS_VISIBLE);
    HWND over = MakeChild(top, 0, 0, 20, 40);
    HWND child = MakeChild(top, 10, 10, 20, 20, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS);
    SetWindowPos(over, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Pump();
    HDC dc = GetDC(child);
    Fill(dc, 0, 0, 100, 100, RGB(255, 0, 0));
    ReleaseDC(child, dc);
    const auto pic = platform::win::CaptureWindow(top);
    EXPECT_EQ(pic.At(25, 15), 0xFFFF0000u);
    EXPECT_NE(pic.At(15, 15), 0xFFFF0000u); // covered by the sibling above
    EXPECT_NE(pic.At(35, 35), 0xFFFF0000u); // outside the child
    EXPECT_EQ(ReleaseDC(child, dc), 0);     // a released DC is gone
}

TEST_F(WinGdiTest, BlitsCopyStretchMirrorAndReadBottomUpDibs) {
    Dib src = MakeDib(2, 2);
    src.Bits[0] = 0xFF000001;
    src.Bits[1] = 0xFF000002;
    src.Bits[2] = 0xFF000003;
    src.Bits[3] = 0xFF000004;
    Dib dst = MakeDib(4, 4);
    ASSERT_TRUE(BitBlt(dst.Dc, 1, 1, 2, 2, src.Dc, 0, 0, SRCCOPY));
    EXPECT_EQ(dst.At(1, 1), 0xFF000001u); // SRCCOPY keeps the source alpha
    EXPECT_EQ(dst.At(2, 2), 0xFF000004u);
    ASSERT_TRUE(StretchBlt(dst.Dc, 0, 0, 4, 4, src.Dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(dst.At(1, 1), 0xFF000001u);
    EXPECT_EQ(dst.At(3, 0), 0xFF000002u);
    EXPECT_EQ(dst.At(0, 3), 0xFF000003u);
    ASSERT_TRUE(StretchBlt(dst.Dc, 2, 0, -2, 1, src.Dc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(dst.At(0, 0), 0xFF000002u); // mirrored
    EXPECT_EQ(dst.At(1, 0), 0xFF000001u);

    // A bottom-up 24-bit DIB: its first stored row is the bottom one, and the
    // source origin counts from the bottom.
    std::uint8_t bits[2 * 4] = {0x10, 0x20, 0x30, 0, 0x40, 0x50, 0x60, 0};
    BITMAPINFO bmi{};
    bmi.bmiHeader.biWidth = 1;
    bmi.bmiHeader.biHeight = 2;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    EXPECT_EQ(StretchDIBits(dst.Dc, 0, 0, 1, 2, 0, 0, 1, 2, bits, &bmi, DIB_RGB_COLORS, SRCCOPY),
              2);
    EXPECT_EQ(dst.At(0, 0), 0x00605040u);
    EXPECT_EQ(dst.At(0, 1), 0x00302010u);
    EXPECT_EQ(StretchDIBits(dst.Dc, 3, 3, 1, 1, 0, 0, 1, 1, bits, &bmi, DIB_RGB_COLORS, SRCCOPY),
              1);
    EXPECT_EQ(dst.At(3, 3), 0x00302010u);
    // Overlapping copies inside one surface read the pixels as they were.
    for (int i = 0; i < 4; ++i)
        dst.Bits[i] = 0x10u + static_cast<std::uint32_t>(i);
    BitBlt(dst.Dc, 1, 0, 3, 1, dst.Dc, 0, 0, SRCCOPY);
    EXPECT_EQ(dst.At(1, 0), 0x10u);
    EXPECT_EQ(dst.At(3, 0), 0x12u);
}

TEST_F(WinGdiTest, AlphaBlendUsesPremultipliedSourceOver) {
    Dib src = MakeDib(1, 1);
    Dib dst = MakeDib(1, 1);
    src.Bits[0] = 0x80400000; // alpha 128, red 64 (premultiplied)
    dst.Bits[0] = 0xFF0000FF; // opaque blue
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ASSERT_TRUE(AlphaBlend(dst.Dc, 0, 0, 1, 1, src.Dc, 0, 0, 1, 1, bf));
    // d = s + d * (255 - 128) / 255
    EXPECT_EQ(dst.At(0, 0), 0xFF40007Fu);
    // Constant alpha without per-pixel alpha: a plain mix.
    dst.Bits[0] = 0xFF000000;
    src.Bits[0] = 0xFFFFFFFF;
    BLENDFUNCTION half{AC_SRC_OVER, 0, 128, 0};
    ASSERT_TRUE(AlphaBlend(dst.Dc, 0, 0, 1, 1, src.Dc, 0, 0, 1, 1, half));
    EXPECT_EQ(dst.At(0, 0), 0xFF808080u);
    // A source rectangle outside the source bitmap is refused.
    EXPECT_FALSE(AlphaBlend(dst.Dc, 0, 0, 1, 1, src.Dc, 0, 0, 2, 1, bf));
    EXPECT_FALSE(AlphaBlend(dst.Dc, 0, 0, -1, 1, src.Dc, 0, 0, 1, 1, bf));
}

TEST_F(WinGdiTest, GetDibitsAndSetDibitsConvertRowOrder) {
    HBITMAP bmp = CreateCompatibleBitmap(nullptr, 2, 2);
    BITMAPINFO bmi{};
    ASSERT_TRUE(GetDIBits(nullptr, bmp, 0, 0, nullptr, &bmi, DIB_RGB_COLORS));
    EXPECT_EQ(bmi.bmiHeader.biWidth, 2);
    EXPECT_EQ(bmi.bmiHeader.biBitCount, 32);
    std::uint32_t in[4] = {1, 2, 3, 4}; // bottom-up: 1 2 is the bottom row
    bmi.bmiHeader.biHeight = 2;
    EXPECT_EQ(SetDIBits(nullptr, bmp, 0, 2, in, &bmi, DIB_RGB_COLORS), 2);
    std::uint32_t out[4] = {};
    bmi.bmiHeader.biHeight = -2;
    EXPECT_EQ(GetDIBits(nullptr, bmp, 0, 2, out, &bmi, DIB_RGB_COLORS), 2);
    EXPECT_EQ(out[0], 3u);
    EXPECT_EQ(out[3], 2u);
    DeleteObject(bmp);
}

TEST_F(WinGdiTest, ShapesLinesAndEdges) {
    Dib d = MakeDib(10, 10);
    SelectObject(d.Dc, GetStockObject(BLACK_BRUSH));
    HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(d.Dc, red);
    Rectangle(d.Dc, 1, 1, 5, 5);
    EXPECT_EQ(d.At(1, 1), 0x00FF0000u);
    EXPECT_EQ(d.At(4, 4), 0x00FF0000u);
    EXPECT_EQ(d.At(5, 5), 0u); // right and bottom edges left out
    MoveToEx(d.Dc, 0, 8, nullptr);
    LineTo(d.Dc, 5, 8);
    EXPECT_EQ(d.At(4, 8), 0x00FF0000u);
    EXPECT_EQ(d.At(5, 8), 0u); // the end point is left out
    SelectObject(d.Dc, old);
    EXPECT_TRUE(DeleteObject(red));
    SetPixel(d.Dc, 9, 9, RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(d.Dc, 9, 9), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(d.Dc, 10, 10), CLR_INVALID);
    RECT r{6, 0, 10, 4};
    DrawEdge(d.Dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    EXPECT_EQ(r.left, 8);
    EXPECT_EQ(GetPixel(d.Dc, 6, 0), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(GetPixel(d.Dc, 9, 3), GetSysColor(COLOR_3DDKSHADOW));
    DeleteDC(d.Dc);
    DeleteObject(d.Bitmap);
}

TEST_F(WinGdiTest, ClipRegionsCombineInDeviceSpaceAndWindowOriginShifts) {
    Dib d = MakeDib(20, 20);
    HRGN left = CreateRectRgn(0, 0, 10, 20);
    HRGN top = CreateRectRgn(0, 0, 20, 10);
    EXPECT_EQ(SelectClipRgn(d.Dc, left), SIMPLEREGION);
    EXPECT_EQ(ExtSelectClipRgn(d.Dc, top, RGN_OR), COMPLEXREGION);
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(d.Dc, copy), 1);
    EXPECT_TRUE(PtInRegion(copy, 15, 5));
    EXPECT_FALSE(PtInRegion(copy, 15, 15));
    // The region handle stays the caller's: changing it later does not
    // change the DC.
    OffsetRgn(left, 100, 100);
    Fill(d.Dc, 0, 0, 20, 20, RGB(0, 0, 9));
    EXPECT_EQ(d.At(15, 15), 0u);
    EXPECT_EQ(d.At(5, 15), 9u);
    // Window origin: logical (10, 10) is device (0, 0).
    SelectClipRgn(d.Dc, nullptr);
    EXPECT_EQ(GetClipRgn(d.Dc, copy), 0);
    SetWindowOrgEx(d.Dc, 10, 10, nullptr);
    POINT p{10, 10};
    LPtoDP(d.Dc, &p, 1);
    EXPECT_EQ(p.x, 0);
    Fill(d.Dc, 10, 10, 11, 11, RGB(0, 0, 7));
    EXPECT_EQ(d.At(0, 0), 7u);
    RECT box;
    GetClipBox(d.Dc, &box);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.right, 30);
    // Clipping by a rectangle given in logical coordinates.
    IntersectClipRect(d.Dc, 10, 10, 12, 12);
    EXPECT_FALSE(PtVisible(d.Dc, 12, 12));
    EXPECT_TRUE(PtVisible(d.Dc, 11, 11));
    DeleteObject(left);
    DeleteObject(top);
    DeleteObject(copy);
    DeleteDC(d.Dc);
    DeleteObject(d.Bitmap);
}

TEST_F(WinGdiTest, StockObjectsSurviveAndObjectsDescribeThemselves) {
    HGDIOBJ black = GetStockObject(BLACK_BRUSH);
    EXPECT_TRUE(DeleteObject(black));
    EXPECT_EQ(GetObjectType(black), static_cast<DWORD>(OBJ_BRUSH));
    LOGBRUSH lb;
    ASSERT_EQ(GetObjectW(black, sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbColor, RGB(0, 0, 0));
    HPEN pen = CreatePen(PS_DASH, 3, RGB(1, 2, 3));
    LOGPEN lp;
    ASSERT_EQ(GetObjectW(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
    EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_DASH));
    EXPECT_EQ(lp.lopnWidth.x, 3);
    // A pen deleted while selected stays usable by that DC.
    Dib d = MakeDib(4, 4);
    SelectObject(d.Dc, pen);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_EQ(GetObjectType(pen), 0u);
    MoveToEx(d.Dc, 0, 1, nullptr);
    LineTo(d.Dc, 4, 1);
    EXPECT_EQ(d.At(0, 1), 0x00010203u);
    DeleteDC(d.Dc);
    DeleteObject(d.Bitmap);
}

TEST_F(WinGdiTest, PatternAndKeyedTransfers) {
    Dib d = MakeDib(4, 1);
    d.Bits[0] = 0x00FFFFFF;
    PatBlt(d.Dc, 0, 0, 1, 1, DSTINVERT);
    EXPECT_EQ(d.At(0, 0), 0u);
    SelectObject(d.Dc, GetStockObject(WHITE_BRUSH));
    PatBlt(d.Dc, 1, 0, 1, 1, PATCOPY);
    EXPECT_EQ(d.At(1, 0), 0x00FFFFFFu);
    Dib src = MakeDib(2, 1);
    src.Bits[0] = 0x00FF00FF; // the key colour
    src.Bits[1] = 0x00123456;
    d.Bits[2] = d.Bits[3] = 0x00ABCDEF;
    ASSERT_TRUE(TransparentBlt(d.Dc, 2, 0, 2, 1, src.Dc, 0, 0, 2, 1, RGB(255, 0, 255)));
    EXPECT_EQ(d.At(2, 0), 0x00ABCDEFu);
    EXPECT_EQ(d.At(3, 0), 0x00123456u);
    ASSERT_TRUE(BitBlt(d.Dc, 2, 0, 1, 1, src.Dc, 1, 0, SRCINVERT));
    EXPECT_EQ(d.At(2, 0), (0x00ABCDEFu ^ 0x00123456u));
}

} // namespace
