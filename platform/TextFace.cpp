#include "TextFace.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace platform::text {

namespace {

// The FreeType library of this process. Like the font configuration it is
// never torn down, so that faces owned by static objects can still be closed
// safely while the process exits.
FT_Library Library() {
    static FT_Library const library = [] {
        FT_Library lib = nullptr;
        return FT_Init_FreeType(&lib) == 0 ? lib : nullptr;
    }();
    return library;
}

// Shear of a synthesised italic: about 12 degrees, the slant of common
// oblique faces (0x0366A / 0x10000 = 0.2126).
constexpr FT_Fixed kItalicShear = 0x0366A;

// A face's glyph cache is bounded; text walks only ever hold one image at a
// time, so dropping the cache between glyphs is safe.
constexpr std::size_t kMaxCachedGlyphs = 4096;

void CopyToCoverage(const FT_Bitmap& source, GlyphImage& out) {
    FT_Bitmap converted;
    FT_Bitmap_Init(&converted);
    const FT_Bitmap* bitmap = &source;
    int levels = 256;
    if (source.pixel_mode == FT_PIXEL_MODE_MONO) {
        levels = 2;
    } else if (source.pixel_mode != FT_PIXEL_MODE_GRAY) {
        if (FT_Bitmap_Convert(Library(), &source, &converted, 1) != 0) return;
        bitmap = &converted;
        levels = std::max(2, int(converted.num_grays));
    } else {
        levels = std::max(2, int(source.num_grays));
    }
    out.Width = int(bitmap->width);
    out.Height = int(bitmap->rows);
    out.Bits.assign(std::size_t(out.Width) * std::size_t(out.Height), 0);
    const int pitch = std::abs(bitmap->pitch);
    for (int row = 0; row < out.Height; ++row) {
        // A negative pitch stores the rows bottom-up.
        const int sourceRow = bitmap->pitch < 0 ? out.Height - 1 - row : row;
        const unsigned char* in = bitmap->buffer + std::size_t(sourceRow) * std::size_t(pitch);
        std::uint8_t* line = out.Bits.data() + std::size_t(row) * std::size_t(out.Width);
        for (int x = 0; x < out.Width; ++x) {
            unsigned value;
            if (bitmap->pixel_mode == FT_PIXEL_MODE_MONO)
                value = (in[x >> 3] >> (7 - (x & 7))) & 1;
            else
                value = in[x];
            line[x] = std::uint8_t(std::min(255u, value * 255u / unsigned(levels - 1)));
        }
    }
    FT_Bitmap_Done(Library(), &converted);
}

} // namespace

struct FaceInstance::Impl {
    FT_Face Face = nullptr;
    ~Impl() {
        if (Face) FT_Done_Face(Face);
    }
};

FaceInstance::FaceInstance(const FaceSource& source, bool mono, std::unique_ptr<Impl> impl)
    : FSource(source), FMono(mono), P(std::move(impl)) {}

FaceInstance::~FaceInstance() = default;

std::unique_ptr<FaceInstance> FaceInstance::Open(const FaceSource& source, bool mono) {
    if (!Library()) return nullptr;
    auto impl = std::make_unique<Impl>();
    if (FT_New_Face(Library(), source.File.c_str(), source.Index, &impl->Face) != 0) {
        impl->Face = nullptr;
        return nullptr;
    }
    FT_Face face = impl->Face;
    if (!face->charmap) FT_Select_Charmap(face, FT_ENCODING_MS_SYMBOL);
    std::unique_ptr<FaceInstance> result(new FaceInstance(source, mono, std::move(impl)));

    FaceDesign& d = result->FDesign;
    d.UnitsPerEm = face->units_per_EM;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    if (os2 && os2->version == 0xFFFF) os2 = nullptr;
    d.HheaAscent = hhea ? hhea->Ascender : face->ascender;
    d.HheaDescent = hhea ? -hhea->Descender : -face->descender;
    d.LineGap = hhea ? hhea->Line_Gap : std::max(0, face->height - d.HheaAscent - d.HheaDescent);
    if (os2 && (os2->usWinAscent || os2->usWinDescent)) {
        d.WinAscent = os2->usWinAscent;
        d.WinDescent = os2->usWinDescent;
    } else {
        d.WinAscent = d.HheaAscent;
        d.WinDescent = d.HheaDescent;
    }
    d.AveCharWidth = os2 ? os2->xAvgCharWidth : 0;
    d.MaxAdvance = face->max_advance_width;
    d.UnderlinePosition = face->underline_position;
    d.UnderlineThickness = face->underline_thickness;
    d.StrikeoutPosition = os2 ? os2->yStrikeoutPosition : 0;
    d.StrikeoutSize = os2 ? os2->yStrikeoutSize : 0;
    return result;
}

void FaceInstance::SetPixelSize(int ppem) {
    FT_Face face = P->Face;
    FPpem = std::max(1, ppem);
    FGlyphs.clear();
    if (FT_IS_SCALABLE(face)) {
        FT_Set_Pixel_Sizes(face, 0, FT_UInt(FPpem));
        return;
    }
    // A bitmap-only face: take the strike nearest to the size and describe it
    // in pixels.
    if (face->num_fixed_sizes <= 0) return;
    int best = 0;
    for (int i = 1; i < face->num_fixed_sizes; ++i)
        if (std::abs(face->available_sizes[i].height - FPpem) <
            std::abs(face->available_sizes[best].height - FPpem))
            best = i;
    FT_Select_Size(face, best);
    const FT_Size_Metrics& m = face->size->metrics;
    FDesign.UnitsPerEm = FPpem;
    FDesign.WinAscent = FDesign.HheaAscent = int((m.ascender + 63) >> 6);
    FDesign.WinDescent = FDesign.HheaDescent = int((-m.descender + 63) >> 6);
    FDesign.LineGap = std::max(0, int(m.height >> 6) - FDesign.WinAscent - FDesign.WinDescent);
    FDesign.MaxAdvance = int(m.max_advance >> 6);
}

int FaceInstance::BoldExtra() const {
    // One pixel per 24 pixels of em, at least one, as strong as the usual
    // synthetic emboldening but kept to whole pixels so advances stay integral.
    return FSource.SynthBold ? std::max(1, (FPpem + 12) / 24) : 0;
}

unsigned FaceInstance::GlyphIndex(char32_t c) const {
    FT_Face face = P->Face;
    unsigned index = FT_Get_Char_Index(face, c);
    // Symbol fonts map their characters into the private area at U+F0xx.
    if (!index && c < 0x100 && face->charmap && face->charmap->encoding == FT_ENCODING_MS_SYMBOL)
        index = FT_Get_Char_Index(face, 0xF000 + c);
    return index;
}

const GlyphImage& FaceInstance::Glyph(unsigned index) {
    auto it = FGlyphs.find(index);
    if (it != FGlyphs.end()) return it->second;
    if (FGlyphs.size() >= kMaxCachedGlyphs) FGlyphs.clear();
    GlyphImage& image = FGlyphs[index];
    Render(index, image);
    return image;
}

void FaceInstance::Render(unsigned index, GlyphImage& out) {
    FT_Face face = P->Face;
    const bool synth = FSource.SynthBold || FSource.SynthItalic;
    FT_Int32 flags = FT_LOAD_DEFAULT | (FMono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    // Embedded bitmaps cannot be slanted or thickened cleanly; use outlines.
    if (synth && FT_IS_SCALABLE(face)) flags |= FT_LOAD_NO_BITMAP;
    if (FT_Load_Glyph(face, index, flags) != 0) return;
    FT_GlyphSlot slot = face->glyph;
    const int extra = BoldExtra();
    out.Advance = int((slot->advance.x + 32) >> 6) + extra;

    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        if (FSource.SynthBold) FT_Outline_EmboldenXY(&slot->outline, extra * 64, 0);
        if (FSource.SynthItalic) {
            FT_Matrix shear = {0x10000, kItalicShear, 0, 0x10000};
            FT_Outline_Transform(&slot->outline, &shear);
        }
    } else if (slot->format == FT_GLYPH_FORMAT_BITMAP && FSource.SynthBold) {
        if (FT_GlyphSlot_Own_Bitmap(slot) == 0)
            FT_Bitmap_Embolden(Library(), &slot->bitmap, extra * 64, 0);
    }
    if (slot->format != FT_GLYPH_FORMAT_BITMAP &&
        FT_Render_Glyph(slot, FMono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
        return;
    out.Left = slot->bitmap_left;
    out.Top = slot->bitmap_top;
    CopyToCoverage(slot->bitmap, out);
}

} // namespace platform::text
