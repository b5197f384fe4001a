// The font object behind the text interface: the chosen face at its pixel
// size, its GDI-style metrics, and the per-character choice between the face
// and its fallbacks.
#pragma once

#include "TextEngine.h"
#include "TextFace.h"
#include "TextFontMatch.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace platform::text {

class Font {
public:
    explicit Font(const LogicalFont& logical);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    const LogicalFont& Logical() const { return FLogical; }
    const FontMetrics& Metrics() const { return FMetrics; }
    // Family name of the chosen face; empty when no face could be opened.
    const std::string& FaceFamily() const { return FFamily; }
    // The em size in pixels.
    int PixelSize() const { return FPpem; }

    // The image drawn for a code point: the chosen face's glyph, else that of
    // the first fallback face that has one, else the chosen face's
    // missing-character glyph. Valid until the next call.
    const GlyphImage& GlyphFor(char32_t c) const;
    int Advance(char32_t c) const { return GlyphFor(c).Advance; }
    // Whether GlyphFor(c) comes from a fallback face.
    bool UsesFallback(char32_t c) const { return Choose(c).first >= 0; }

    // A horizontal decoration: its top row below the baseline (negative
    // above) and its thickness, in pixels.
    struct Stroke {
        int Top, Thickness;
    };
    Stroke Underline() const { return FUnderline; }
    Stroke StrikeOut() const { return FStrikeOut; }

private:
    // (-1 for the chosen face or the fallback index, glyph index)
    std::pair<int, unsigned> Choose(char32_t c) const;
    FaceInstance* Fallback(std::size_t i) const;
    void ComputeMetrics();

    LogicalFont FLogical;
    FontMetrics FMetrics{};
    std::string FFamily;
    int FPpem = 0;
    Stroke FUnderline{0, 1}, FStrikeOut{0, 1};
    std::unique_ptr<FaceInstance> FPrimary;
    FallbackFaces FFallbacks;
    mutable std::vector<std::unique_ptr<FaceInstance>> FOpened; // by fallback index
    mutable std::vector<bool> FOpenFailed;
    mutable std::unordered_map<char32_t, std::pair<int, unsigned>> FChoices;
    GlyphImage FEmpty;
};

} // namespace platform::text
