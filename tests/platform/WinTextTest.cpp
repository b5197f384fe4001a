// Text through device contexts: metrics and measuring agree with DrawTextW,
// drawing respects colour, background mode, clipping and origin, and text
// pixels are left with alpha 0. Checked with DejaVu Sans, not pixel-exact.
#include "WinTestSupport.h"

using namespace wintest;

namespace {

class WinTextTest : public WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        BITMAPINFO bmi{};
        bmi.bmiHeader.biWidth = kW;
        bmi.bmiHeader.biHeight = -kH;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        FBitmap = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        FBits = static_cast<std::uint32_t*>(bits);
        FDc = CreateCompatibleDC(nullptr);
        SelectObject(FDc, FBitmap);
        for (int i = 0; i < kW * kH; ++i)
            FBits[i] = 0xFFFFFFFF;
        FFont = MakeFont(-20);
        SelectObject(FDc, FFont);
    }
    void TearDown() override {
        DeleteDC(FDc);
        DeleteObject(FBitmap);
        DeleteObject(FFont);
        WinTest::TearDown();
    }
    static HFONT MakeFont(int height) {
        LOGFONTW lf;
        lf.lfHeight = height;
        lf.lfWeight = FW_NORMAL;
        const char16_t face[] = u"DejaVu Sans";
        std::copy(std::begin(face), std::end(face), lf.lfFaceName);
        return CreateFontIndirectW(&lf);
    }
    std::uint32_t At(int x, int y) const { return FBits[y * kW + x]; }
    // The bounding box of pixels that differ from white.
    RECT Ink() const {
        RECT r{kW, kH, 0, 0};
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                if ((At(x, y) & 0x00FFFFFF) != 0x00FFFFFF) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1);
                    r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        return r;
    }
    static constexpr int kW = 200, kH = 60;
    HDC FDc = nullptr;
    HBITMAP FBitmap = nullptr;
    HFONT FFont = nullptr;
    std::uint32_t* FBits = nullptr;
};

TEST_F(WinTextTest, MetricsMeasuringAndCalcRectAgree) {
    TEXTMETRICW tm;
    ASSERT_TRUE(GetTextMetricsW(FDc, &tm));
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 20); // negative height: the em size
    SIZE size;
    ASSERT_TRUE(GetTextExtentPoint32W(FDc, u"Hello", 5, &size));
    EXPECT_GT(size.cx, 30);
    EXPECT_EQ(size.cy, tm.tmHeight);
    RECT rc{0, 0, 0, 0};
    const int h = DrawTextW(FDc, u"Hello", -1, &rc, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(h, tm.tmHeight);
    EXPECT_EQ(rc.right, size.cx);
    EXPECT_EQ(rc.bottom, tm.tmHeight);
    // Nothing was drawn while measuring.
    EXPECT_EQ(Ink().right, 0);
    // A longer text is wider; word breaking makes it taller in a narrow box.
    RECT narrow{0, 0, 60, 0};
    DrawTextW(FDc, u"one two three", -1, &narrow, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_GE(narrow.bottom, 2 * tm.tmHeight);
    EXPECT_LE(narrow.right, 60);
}

TEST_F(WinTextTest, TextTakesTheColourAndLeavesAlphaZero) {
    SetBkMode(FDc, TRANSPARENT);
    SetTextColor(FDc, RGB(255, 0, 0));
    TextOutW(FDc, 10, 10, u"H", 1);
    const RECT ink = Ink();
    ASSERT_LT(ink.left, ink.right);
    bool fullRed = false;
    for (int y = ink.top; y < ink.bottom; ++y)
        for (int x = ink.left; x < ink.right; ++x) {
            const std::uint32_t p = At(x, y);
            if ((p & 0x00FFFFFF) == 0x00FFFFFF) {
                EXPECT_EQ(p >> 24, 0xFFu); // untouched pixels keep their alpha
                continue;
            }
            EXPECT_EQ(p >> 24, 0u);
            EXPECT_EQ((p >> 16) & 0xFF, 0xFFu); // red stays full, green and blue fall
            if ((p & 0x00FFFFFF) == 0x00FF0000) fullRed = true;
        }
    EXPECT_TRUE(fullRed);
    EXPECT_GE(ink.left, 10);
    EXPECT_GE(ink.top, 10);
}

TEST_F(WinTextTest, OpaqueModeFillsTheTextBox) {
    SetBkMode(FDc, OPAQUE);
    SetBkColor(FDc, RGB(0, 0, 255));
    SIZE size;
    GetTextExtentPoint32W(FDc, u"ab", 2, &size);
    TextOutW(FDc, 5, 5, u"ab", 2);
    EXPECT_EQ(At(5, 5), 0x000000FFu);
    EXPECT_EQ(At(5 + size.cx - 1, 5 + size.cy - 1), 0x000000FFu);
    EXPECT_EQ(At(5 + size.cx, 5), 0xFFFFFFFFu);
}

TEST_F(WinTextTest, DrawTextClipsAndFollowsTheOrigin) {
    SetBkMode(FDc, TRANSPARENT);
    RECT box{20, 0, 40, 60};
    DrawTextW(FDc, u"WWWWWWWWWW", -1, &box, DT_LEFT | DT_SINGLELINE);
    RECT ink = Ink();
    EXPECT_GE(ink.left, 20);
    EXPECT_LE(ink.right, 40);
    for (int i = 0; i < kW * kH; ++i)
        FBits[i] = 0xFFFFFFFF;
    SetViewportOrgEx(FDc, 100, 0, nullptr);
    DrawTextW(FDc, u"WWWWWWWWWW", -1, &box, DT_LEFT | DT_SINGLELINE | DT_NOCLIP);
    ink = Ink();
    EXPECT_GE(ink.left, 120);
    EXPECT_GT(ink.right, 140);
}

TEST_F(WinTextTest, CentredSingleLineSitsInTheMiddle) {
    SetBkMode(FDc, TRANSPARENT);
    RECT box{0, 0, kW, kH};
    DrawTextW(FDc, u"MMM", -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    const RECT ink = Ink();
    const int left = ink.left, right = kW - ink.right;
    EXPECT_LE(std::abs(left - right), 3);
    EXPECT_LE(std::abs(static_cast<int>(ink.top) - static_cast<int>(kH - ink.bottom)), 8);
}

TEST_F(WinTextTest, PrefixUnderlinesTheMarkedCharacter) {
    SetBkMode(FDc, TRANSPARENT);
    TEXTMETRICW tm;
    GetTextMetricsW(FDc, &tm);
    RECT box{0, 0, kW, kH};
    DrawTextW(FDc, u"&File", -1, &box, DT_LEFT | DT_SINGLELINE);
    // One row below the baseline holds the underline of "F".
    bool underline = false;
    for (int x = 0; x < 8; ++x)
        underline = underline || (At(x, tm.tmAscent + 1) & 0x00FFFFFF) == 0;
    EXPECT_TRUE(underline);
    SIZE withAmp, without;
    GetTextExtentPoint32W(FDc, u"&File", 5, &withAmp);
    RECT measured{0, 0, 0, 0};
    DrawTextW(FDc, u"&File", -1, &measured, DT_CALCRECT | DT_SINGLELINE);
    GetTextExtentPoint32W(FDc, u"File", 4, &without);
    EXPECT_EQ(measured.right, without.cx);
    RECT literal{0, 0, 0, 0};
    DrawTextW(FDc, u"&File", -1, &literal, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(literal.right, withAmp.cx);
}

TEST_F(WinTextTest, FontFilesThatDoNotExistAreRefused) {
    EXPECT_EQ(AddFontResourceW(u"/nonexistent/font.ttf"), 0);
    EXPECT_FALSE(RemoveFontResourceW(u"/nonexistent/font.ttf"));
    LOGFONTW lf;
    ASSERT_EQ(GetObjectW(FFont, sizeof lf, &lf), static_cast<int>(sizeof lf));
    EXPECT_EQ(lf.lfHeight, -20);
    EXPECT_EQ(std::u16string(lf.lfFaceName), u"DejaVu Sans");
}

} // namespace
