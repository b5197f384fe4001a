// Regions: combination checked pixel by pixel against plain boolean masks,
// the rounded-rectangle shape the skinned form uses, and window regions in
// hit testing.
#include "WinTestSupport.h"

#include <random>

using namespace wintest;

namespace {

class WinRegionTest : public WinTest {};

constexpr int kSpan = 24;

std::vector<bool> Mask(HRGN rgn) {
    std::vector<bool> m(kSpan * kSpan);
    for (int y = 0; y < kSpan; ++y)
        for (int x = 0; x < kSpan; ++x)
            m[y * kSpan + x] = PtInRegion(rgn, x, y);
    return m;
}

HRGN RandomRegion(std::mt19937& rng) {
    std::uniform_int_distribution<int> coord(0, kSpan);
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    for (int i = 0; i < 4; ++i) {
        HRGN piece = CreateRectRgn(coord(rng), coord(rng), coord(rng), coord(rng));
        CombineRgn(r, r, piece, (i % 2) ? RGN_XOR : RGN_OR);
        DeleteObject(piece);
    }
    return r;
}

TEST_F(WinRegionTest, CombinationMatchesBooleanMasks) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        HRGN a = RandomRegion(rng), b = RandomRegion(rng);
        const auto ma = Mask(a), mb = Mask(b);
        for (int mode : {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF}) {
            HRGN out = CreateRectRgn(0, 0, 0, 0);
            const int kind = CombineRgn(out, a, b, mode);
            const auto mo = Mask(out);
            bool any = false;
            for (int i = 0; i < kSpan * kSpan; ++i) {
                bool want = false;
                switch (mode) {
                case RGN_AND:
                    want = ma[i] && mb[i];
                    break;
                case RGN_OR:
                    want = ma[i] || mb[i];
                    break;
                case RGN_XOR:
                    want = ma[i] != mb[i];
                    break;
                default:
                    want = ma[i] && !mb[i];
                    break;
                }
                ASSERT_EQ(mo[i], want) << "round " << round << " mode " << mode << " pixel " << i;
                any = any || want;
            }
            EXPECT_EQ(kind == NULLREGION, !any);
            // Equal pixel sets have equal rectangle lists.
            HRGN again = CreateRectRgn(0, 0, 0, 0);
            CombineRgn(again, out, out, RGN_OR);
            EXPECT_TRUE(EqualRgn(out, again));
            DeleteObject(again);
            DeleteObject(out);
        }
        DeleteObject(a);
        DeleteObject(b);
    }
}

TEST_F(WinRegionTest, RoundRectCutsTwoPixelsThenOneAtEachCorner) {
    // The skinned form's window shape: (0, 0, W + 1, H + 1) with a 4 x 4 ellipse.
    HRGN r = CreateRoundRectRgn(0, 0, 11, 9, 4, 4);
    RECT box;
    EXPECT_EQ(GetRgnBox(r, &box), COMPLEXREGION);
    EXPECT_EQ(box.right, 10);
    EXPECT_EQ(box.bottom, 8);
    EXPECT_FALSE(PtInRegion(r, 0, 0));
    EXPECT_FALSE(PtInRegion(r, 1, 0));
    EXPECT_FALSE(PtInRegion(r, 0, 1));
    EXPECT_TRUE(PtInRegion(r, 1, 1));
    EXPECT_TRUE(PtInRegion(r, 2, 0));
    EXPECT_FALSE(PtInRegion(r, 9, 0));
    EXPECT_FALSE(PtInRegion(r, 8, 0));
    EXPECT_TRUE(PtInRegion(r, 8, 1));
    EXPECT_FALSE(PtInRegion(r, 0, 7));
    EXPECT_FALSE(PtInRegion(r, 9, 6));
    EXPECT_TRUE(PtInRegion(r, 0, 4));
    // The "rounded at the top only" form.
    HRGN bottom = CreateRectRgn(0, 8 - 10 + 10, 11, 9);
    CombineRgn(r, r, bottom, RGN_OR);
    EXPECT_FALSE(PtInRegion(r, 0, 0));
    EXPECT_TRUE(PtInRegion(r, 0, 8));
}

TEST_F(WinRegionTest, OffsetAndQueriesOnDeadHandles) {
    HRGN r = CreateRectRgn(0, 0, 10, 10);
    EXPECT_EQ(OffsetRgn(r, 5, 5), SIMPLEREGION);
    EXPECT_TRUE(PtInRegion(r, 14, 14));
    EXPECT_FALSE(PtInRegion(r, 4, 4));
    RECT inside{12, 12, 13, 13};
    EXPECT_TRUE(RectInRegion(r, &inside));
    DeleteObject(r);
    EXPECT_FALSE(PtInRegion(r, 14, 14));
    RECT box;
    EXPECT_EQ(GetRgnBox(r, &box), RGN_ERROR);
    EXPECT_EQ(CombineRgn(r, r, r, RGN_OR), RGN_ERROR);
}

TEST_F(WinRegionTest, WindowRegionLimitsHitTestingAndIsOwnedByTheWindow) {
    HWND back = MakeTop(0, 0, 100, 100);
    HWND front = MakeTop(0, 0, 100, 100);
    Pump();
    HRGN shape = CreateRoundRectRgn(0, 0, 101, 101, 40, 40);
    ASSERT_TRUE(SetWindowRgn(front, shape, TRUE));
    // The window took the region: the handle is used up.
    RECT box;
    EXPECT_EQ(GetRgnBox(shape, &box), RGN_ERROR);
    EXPECT_EQ(WindowFromPoint(POINT{50, 50}), front);
    EXPECT_EQ(WindowFromPoint(POINT{1, 1}), back);
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(front, copy), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(copy, 1, 1));
    SetWindowRgn(front, nullptr, TRUE);
    EXPECT_EQ(WindowFromPoint(POINT{1, 1}), front);
    EXPECT_EQ(GetWindowRgn(front, copy), RGN_ERROR);
}

} // namespace
