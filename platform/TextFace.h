// One FreeType face at one pixel size, with its glyph images cached. Bold and
// italic are synthesised here when the face lacks them.
#pragma once

#include "TextFontMatch.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace platform::text {

// An 8-bit coverage image of one glyph, placed relative to the pen position
// on the baseline: its top-left pixel is (pen + Left, baseline - Top).
struct GlyphImage {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    std::vector<std::uint8_t> Bits; // Width * Height, rows top-down
    int Advance = 0;                // pixels, hinted, including synthesised bold
};

// The face's design values, in font units (UnitsPerEm to the em).
struct FaceDesign {
    int UnitsPerEm = 0;
    int WinAscent = 0, WinDescent = 0; // cell above and below the baseline
    int LineGap = 0, HheaAscent = 0, HheaDescent = 0;
    int AveCharWidth = 0, MaxAdvance = 0;
    int UnderlinePosition = 0, UnderlineThickness = 0; // position: top edge, below baseline < 0
    int StrikeoutPosition = 0, StrikeoutSize = 0;      // position: bottom edge above baseline
};

class FaceInstance {
public:
    // Opens the face; nullptr when the file cannot be read as a font.
    static std::unique_ptr<FaceInstance> Open(const FaceSource& source, bool mono);
    ~FaceInstance();
    FaceInstance(const FaceInstance&) = delete;
    FaceInstance& operator=(const FaceInstance&) = delete;

    const FaceSource& Source() const { return FSource; }
    const FaceDesign& Design() const { return FDesign; }

    // Chooses the em size in pixels; call once before loading glyphs.
    void SetPixelSize(int ppem);
    int PixelSize() const { return FPpem; }
    // Extra advance of every glyph when bold is synthesised.
    int BoldExtra() const;

    // 0 when the face has no glyph for the code point.
    unsigned GlyphIndex(char32_t c) const;
    const GlyphImage& Glyph(unsigned index);

private:
    struct Impl;
    FaceInstance(const FaceSource& source, bool mono, std::unique_ptr<Impl> impl);
    void Render(unsigned index, GlyphImage& out);

    FaceSource FSource;
    bool FMono;
    int FPpem = 0;
    FaceDesign FDesign;
    std::unique_ptr<Impl> P;
    std::unordered_map<unsigned, GlyphImage> FGlyphs;
};

} // namespace platform::text
