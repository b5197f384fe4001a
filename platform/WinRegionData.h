// A region as a set of disjoint rectangles in y-x bands: rectangles of one
// band share their top and bottom, bands are sorted downwards and rectangles
// within a band left to right, with touching rectangles merged. Equal sets of
// pixels therefore have equal rectangle lists.
#pragma once

#include "WinTypes.h"

#include <vector>

namespace platform::win {

class RegionData {
public:
    RegionData() = default;
    static RegionData FromRect(const RECT& rc);
    // The shape CreateRoundRectRgn gives: the box loses its right column and
    // bottom row, and each corner is cut along a quarter ellipse of the given
    // diameters, a pixel staying inside when its centre lies in the ellipse
    // through the centres of the edge pixels.
    static RegionData RoundRect(int left, int top, int right, int bottom, int ellipseWidth,
                                int ellipseHeight);
    static RegionData Ellipse(int left, int top, int right, int bottom);
    // From rectangles that may overlap, in any order.
    static RegionData FromRects(const std::vector<RECT>& rects);

    // Windows region combination (RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF).
    static RegionData Combine(const RegionData& a, const RegionData& b, int mode);

    bool IsEmpty() const { return FRects.empty(); }
    RECT Box() const;
    bool Contains(int x, int y) const;
    bool Intersects(const RECT& rc) const;
    void Offset(int dx, int dy);
    RegionData Intersected(const RECT& rc) const;
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int Kind() const;
    const std::vector<RECT>& Rects() const { return FRects; }
    bool operator==(const RegionData& other) const;

private:
    std::vector<RECT> FRects;
};

} // namespace platform::win
