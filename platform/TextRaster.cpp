// Glyph coverage and advance widths of a run of text.
#include "TextEngine.h"

#include "TextFont.h"
#include "TextUnicode.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace platform::text {

namespace {

// Pen positions beyond this are not drawn: nothing that far is visible, and
// the coordinates must stay within int.
constexpr long long kMaxPen = INT_MAX / 2;

// A decoration as filled rectangles, in pieces of bounded width so that a
// very long run needs no mask of its whole width.
void EmitStroke(int x, int width, int top, int thickness,
                const std::function<void(const Coverage&)>& sink) {
    if (width <= 0 || thickness <= 0) return;
    constexpr int kPiece = 1024;
    const int pieceWidth = std::min(width, kPiece);
    const std::vector<std::uint8_t> mask(std::size_t(pieceWidth) * std::size_t(thickness), 255);
    for (int done = 0; done < width; done += pieceWidth) {
        const int w = std::min(pieceWidth, width - done);
        sink(Coverage{x + done, top, w, thickness, pieceWidth, mask.data()});
    }
}

} // namespace

int MeasureWidth(const Font& font, std::u16string_view text) {
    long long width = 0;
    for (std::size_t i = 0; i < text.size() && width < INT_MAX;) {
        std::size_t units;
        width += font.Advance(CodePointAt(text, i, units));
        i += units;
    }
    return int(std::min<long long>(width, INT_MAX));
}

void Rasterize(const Font& font, std::u16string_view text, int x, int y,
               const std::function<void(const Coverage&)>& sink) {
    const FontMetrics& m = font.Metrics();
    const long long baseline = (long long)y + m.Ascent;
    long long pen = x;
    for (std::size_t i = 0; i < text.size() && pen < kMaxPen;) {
        std::size_t units;
        const GlyphImage& glyph = font.GlyphFor(CodePointAt(text, i, units));
        i += units;
        if (glyph.Width > 0 && glyph.Height > 0) {
            sink(Coverage{int(pen + glyph.Left), int(baseline - glyph.Top), glyph.Width,
                          glyph.Height, glyph.Width, glyph.Bits.data()});
        }
        pen += glyph.Advance;
    }
    const int width = int(std::min<long long>(pen - x, INT_MAX));
    if (font.Logical().Underline)
        EmitStroke(x, width, int(baseline + font.Underline().Top), font.Underline().Thickness,
                   sink);
    if (font.Logical().StrikeOut)
        EmitStroke(x, width, int(baseline + font.StrikeOut().Top), font.StrikeOut().Thickness,
                   sink);
}

} // namespace platform::text
