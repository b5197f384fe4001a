// The text engine: logical fonts matched to installed faces, GDI-style
// metrics, glyph coverage for drawing, DrawTextW-style layout, and font files
// registered for this process only. The window system draws with it; nothing
// here knows about device contexts or colours.
#pragma once

#include "TextFlags.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform::text {

struct LogicalFont {
    std::u16string Face;
    // < 0: the em size in pixels; > 0: the cell height (ascent + descent) in
    // pixels; 0: a default size.
    int Height = 0;
    int Weight = 400; // FW_*; 0 means normal
    bool Italic = false, Underline = false, StrikeOut = false;
    std::uint8_t CharSet = DEFAULT_CHARSET;
    std::uint8_t Quality = DEFAULT_QUALITY; // NONANTIALIASED_QUALITY gives 0/255 coverage
};

// An immutable font: the chosen face at its pixel size plus the faces it
// falls back to for characters the chosen face lacks.
class Font;

// Fonts are cached: equal logical fonts give the same object until a font
// file is added or removed. Never fails; a missing face is replaced by the
// closest installed one.
std::shared_ptr<const Font> CreateFont(const LogicalFont& logical);

struct FontMetrics {
    int Height, Ascent, Descent, InternalLeading, ExternalLeading, AveCharWidth, MaxCharWidth,
        Weight;
    bool Italic;
};
// Height = Ascent + Descent; InternalLeading = Height - em size.
FontMetrics GetMetrics(const Font& font);

// Advance width of the text in pixels (the sum of the hinted glyph advances).
int MeasureWidth(const Font& font, std::u16string_view text);

// 8-bit coverage (0 = none, 255 = full) of one glyph or decoration rectangle,
// in the caller's pixel coordinates. Mask is valid only during the callback.
struct Coverage {
    int X, Y, Width, Height, Stride;
    const std::uint8_t* Mask;
};
// Draws `text` with the cell's top-left corner at (x, y): the baseline lies at
// y + Ascent. Each glyph, then the underline and the strike-out line (when the
// font has them), is handed to `sink`; blank glyphs are skipped.
void Rasterize(const Font& font, std::u16string_view text, int x, int y,
               const std::function<void(const Coverage&)>& sink);

// One run of text to draw with Rasterize at (X, Y). Runs with the same Y form
// one visual line (a line splits into several runs only at expanded tabs).
// UnderlineFrom/UnderlineTo are code-unit indexes into Text, [From, To), of
// the character that an "&" prefix marks; -1 when there is none. With
// DT_PREFIXONLY the caller draws only that underline, with DT_HIDEPREFIX it is
// never set. Clipping to the rectangle (unless DT_NOCLIP) is the caller's.
struct LayoutLine {
    std::u16string Text;
    int X, Y;
    int UnderlineFrom = -1, UnderlineTo = -1;
};
// Left/Top/Right/Bottom: the rectangle, as DT_CALCRECT leaves it (with
// DT_CALCRECT the lines are still produced, but the caller draws nothing).
// Height: DrawTextW's result, the text height, or with DT_VCENTER/DT_BOTTOM
// the offset from Top to the bottom of the text.
struct Layout {
    std::vector<LayoutLine> Lines;
    int Left, Top, Right, Bottom;
    int Height;
};
Layout LayoutText(const Font& font, std::u16string_view text, int left, int top, int right,
                  int bottom, unsigned format);

// Register or unregister a font file (TrueType/OpenType, collections too) for
// this process. Registered faces are matched by family name before any
// installed face. Registering the same path again counts; it stays available
// until removed as often as it was added. AddFontFile fails for a file with
// no usable face, RemoveFontFile for a path that is not registered.
bool AddFontFile(const std::string& utf8Path);
bool RemoveFontFile(const std::string& utf8Path);

} // namespace platform::text
