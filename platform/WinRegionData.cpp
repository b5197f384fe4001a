#include "WinRegionData.h"

#include "WinGdiConst.h"
#include "WinRect.h"

#include <algorithm>
#include <cmath>

namespace platform::win {

namespace {

struct Span {
    LONG Left, Right;
    bool operator==(const Span&) const = default;
};

// The spans of `region` that cover the band [y0, y1). Because the band edges
// include every rectangle edge, a rectangle either covers the band or misses it.
std::vector<Span> SpansAt(const std::vector<RECT>& rects, LONG y0, LONG y1) {
    std::vector<Span> spans;
    for (const RECT& r : rects) {
        if (r.top > y0) break; // bands are sorted downwards
        if (r.top <= y0 && r.bottom >= y1) spans.push_back({r.left, r.right});
    }
    return spans;
}

bool Keep(bool inA, bool inB, int mode) {
    switch (mode) {
    case RGN_AND:
        return inA && inB;
    case RGN_OR:
        return inA || inB;
    case RGN_XOR:
        return inA != inB;
    case RGN_DIFF:
        return inA && !inB;
    default:
        return inA;
    }
}

bool Covered(const std::vector<Span>& spans, LONG x0) {
    for (const Span& s : spans)
        if (s.Left <= x0 && x0 < s.Right) return true;
    return false;
}

std::vector<Span> CombineSpans(const std::vector<Span>& a, const std::vector<Span>& b, int mode) {
    std::vector<LONG> xs;
    for (const Span& s : a)
        xs.insert(xs.end(), {s.Left, s.Right});
    for (const Span& s : b)
        xs.insert(xs.end(), {s.Left, s.Right});
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::vector<Span> out;
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
        if (!Keep(Covered(a, xs[i]), Covered(b, xs[i]), mode)) continue;
        if (!out.empty() && out.back().Right == xs[i])
            out.back().Right = xs[i + 1];
        else
            out.push_back({xs[i], xs[i + 1]});
    }
    return out;
}

// Builds the banded rectangle list from per-band spans, merging a band into
// the one above when both have the same spans and touch.
class BandWriter {
public:
    void Add(LONG y0, LONG y1, std::vector<Span> spans) {
        if (spans.empty()) return;
        if (FLastBottom == y0 && spans == FLastSpans) {
            for (std::size_t i = FLastStart; i < FRects.size(); ++i)
                FRects[i].bottom = y1;
        } else {
            FLastStart = FRects.size();
            for (const Span& s : spans)
                FRects.push_back({s.Left, y0, s.Right, y1});
            FLastSpans = std::move(spans);
        }
        FLastBottom = y1;
    }
    std::vector<RECT> Take() { return std::move(FRects); }

private:
    std::vector<RECT> FRects;
    std::vector<Span> FLastSpans;
    std::size_t FLastStart = 0;
    LONG FLastBottom = 0;
    // (FLastBottom = 0 with empty spans never matches a real band.)
};

std::vector<LONG> BandEdges(const std::vector<RECT>& a, const std::vector<RECT>& b) {
    std::vector<LONG> ys;
    for (const RECT& r : a)
        ys.insert(ys.end(), {r.top, r.bottom});
    for (const RECT& r : b)
        ys.insert(ys.end(), {r.top, r.bottom});
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    return ys;
}

// Regions given as one span per row (round shapes).
RegionData FromRowSpans(LONG top, const std::vector<Span>& rows) {
    std::vector<RECT> rects;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].Right > rows[i].Left)
            rects.push_back({rows[i].Left, top + LONG(i), rows[i].Right, top + LONG(i) + 1});
    return RegionData::FromRects(rects);
}

} // namespace

RegionData RegionData::FromRect(const RECT& rc) {
    RegionData r;
    if (!Empty(rc)) r.FRects.push_back(rc);
    return r;
}

RegionData RegionData::FromRects(const std::vector<RECT>& rects) {
    // Union one band structure at a time: each rectangle is already banded.
    std::vector<RECT> input;
    for (const RECT& r : rects)
        if (!Empty(r)) input.push_back(r);
    std::sort(input.begin(), input.end(), [](const RECT& a, const RECT& b) {
        return a.top != b.top ? a.top < b.top : a.left < b.left;
    });
    std::vector<LONG> ys = BandEdges(input, {});
    BandWriter writer;
    for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
        std::vector<Span> spans;
        for (const RECT& r : input)
            if (r.top <= ys[i] && r.bottom >= ys[i + 1]) spans.push_back({r.left, r.right});
        writer.Add(ys[i], ys[i + 1], CombineSpans(spans, {}, RGN_OR));
    }
    RegionData out;
    out.FRects = writer.Take();
    return out;
}

RegionData RegionData::RoundRect(int left, int top, int right, int bottom, int ellipseWidth,
                                 int ellipseHeight) {
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    const int w = right - left - 1, h = bottom - top - 1;
    if (w <= 0 || h <= 0) return {};
    const double rx = std::min(std::abs(ellipseWidth), w) / 2.0;
    const double ry = std::min(std::abs(ellipseHeight), h) / 2.0;
    std::vector<Span> rows(h);
    for (int y = 0; y < h; ++y) {
        int inset = 0;
        // Distance of this row's centre from the corner ellipse's centre row.
        const double cy = ry - 0.5;
        double dy = -1;
        if (y < ry)
            dy = cy - y;
        else if (y >= h - ry)
            dy = y - (h - 1 - cy);
        if (dy > 0 && rx >= 1 && ry >= 1) {
            const double ax = rx - 0.5, ay = ry - 0.5;
            // Leftmost pixel x (< rx) whose centre lies inside the ellipse.
            while (inset < rx) {
                const double dx = ax - inset;
                if ((dx * dx) / (ax * ax) + (dy * dy) / (ay * ay) <= 1.0) break;
                ++inset;
            }
        }
        rows[y] = {left + inset, left + w - inset};
    }
    return FromRowSpans(top, rows);
}

RegionData RegionData::Ellipse(int left, int top, int right, int bottom) {
    return RoundRect(left, top, right, bottom, right - left, bottom - top);
}

RegionData RegionData::Combine(const RegionData& a, const RegionData& b, int mode) {
    if (mode == RGN_COPY) return a;
    const std::vector<LONG> ys = BandEdges(a.FRects, b.FRects);
    BandWriter writer;
    for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
        writer.Add(ys[i], ys[i + 1],
                   CombineSpans(SpansAt(a.FRects, ys[i], ys[i + 1]),
                                SpansAt(b.FRects, ys[i], ys[i + 1]), mode));
    }
    RegionData out;
    out.FRects = writer.Take();
    return out;
}

RECT RegionData::Box() const {
    RECT box{};
    for (const RECT& r : FRects)
        box = Union(box, r);
    return box;
}

bool RegionData::Contains(int x, int y) const {
    for (const RECT& r : FRects) {
        if (r.top > y) break;
        if (platform::win::Contains(r, x, y)) return true;
    }
    return false;
}

bool RegionData::Intersects(const RECT& rc) const {
    for (const RECT& r : FRects)
        if (!Empty(Intersect(r, rc))) return true;
    return false;
}

void RegionData::Offset(int dx, int dy) {
    for (RECT& r : FRects)
        r = platform::win::Offset(r, dx, dy);
}

RegionData RegionData::Intersected(const RECT& rc) const {
    RegionData out;
    for (const RECT& r : FRects) {
        const RECT c = Intersect(r, rc);
        if (!Empty(c)) out.FRects.push_back(c);
    }
    // Clipping can only remove whole bands or narrow spans; re-merge bands
    // whose spans became equal.
    return FromRects(out.FRects);
}

int RegionData::Kind() const {
    if (FRects.empty()) return NULLREGION;
    return FRects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool RegionData::operator==(const RegionData& other) const {
    if (FRects.size() != other.FRects.size()) return false;
    for (std::size_t i = 0; i < FRects.size(); ++i)
        if (!(FRects[i] == other.FRects[i])) return false;
    return true;
}

} // namespace platform::win
