#include "TextFont.h"

#include <algorithm>
#include <cmath>

namespace platform::text {

namespace {

// Sizes beyond this many pixels are taken as this size: larger requests are
// mistakes, and their glyph images would exhaust memory.
constexpr int kMaxPixelSize = 2048;
// Size used when the logical font leaves the height to the system.
constexpr int kDefaultEmSize = 12;
constexpr std::size_t kMaxCachedChoices = 65536;

int RoundScaled(double units, double scale) {
    return int(std::lround(units * scale));
}

bool IsMono(const LogicalFont& logical) {
    return logical.Quality == NONANTIALIASED_QUALITY;
}

} // namespace

Font::Font(const LogicalFont& logical) : FLogical(logical) {
    FontMatch match = MatchFont(logical);
    const bool mono = IsMono(logical);
    if (match.Found) FPrimary = FaceInstance::Open(match.Primary, mono);
    FFallbacks = std::move(match.Fallbacks);
    // An unreadable chosen face gives way to the first readable fallback.
    for (std::size_t i = 0; !FPrimary && i < FFallbacks.Count(); ++i)
        FPrimary = FaceInstance::Open(FFallbacks.Face(i), mono);
    if (FPrimary) FFamily = FPrimary->Source().Family;
    FOpened.resize(FFallbacks.Count());
    FOpenFailed.resize(FFallbacks.Count());
    ComputeMetrics();
}

Font::~Font() = default;

void Font::ComputeMetrics() {
    FontMetrics& m = FMetrics;
    m.Weight = FLogical.Weight > 0 ? FLogical.Weight : FW_NORMAL;
    m.Italic = FLogical.Italic;
    // Negating the most negative int is undefined; clamp before anything else.
    const int requested = std::clamp(FLogical.Height, -kMaxPixelSize, kMaxPixelSize);

    if (!FPrimary) {
        // No face at all: keep the metrics plausible so layout still works.
        FPpem = requested < 0 ? -requested : requested > 0 ? requested : kDefaultEmSize;
        m.Ascent = (FPpem * 4 + 2) / 5;
        m.Descent = FPpem - m.Ascent;
        m.Height = FPpem;
        m.InternalLeading = m.ExternalLeading = 0;
        m.AveCharWidth = m.MaxCharWidth = (FPpem + 1) / 2;
        FEmpty.Advance = m.AveCharWidth;
        FUnderline = {1, 1};
        FStrikeOut = {-FPpem / 3, 1};
        return;
    }

    FaceInstance& face = *FPrimary;
    if (face.Design().UnitsPerEm == 0) {
        // A bitmap-only face has its fixed strikes; their pixel values rule.
        face.SetPixelSize(requested < 0 ? -requested : requested > 0 ? requested : kDefaultEmSize);
        FPpem = face.PixelSize();
        m.Ascent = face.Design().WinAscent;
        m.Descent = face.Design().WinDescent;
        m.Height = m.Ascent + m.Descent;
    } else {
        const FaceDesign& d = face.Design();
        const int cellUnits = std::max(1, d.WinAscent + d.WinDescent);
        if (requested > 0) {
            // The cell height is given; the em follows from the face's cell.
            m.Height = requested;
            m.Ascent = int(std::lround(double(d.WinAscent) * requested / cellUnits));
            m.Descent = m.Height - m.Ascent;
            FPpem = std::max(1, int(std::lround(double(requested) * d.UnitsPerEm / cellUnits)));
        } else {
            FPpem = requested < 0 ? -requested : kDefaultEmSize;
            const double scale = double(FPpem) / d.UnitsPerEm;
            m.Ascent = RoundScaled(d.WinAscent, scale);
            m.Descent = RoundScaled(d.WinDescent, scale);
            m.Height = m.Ascent + m.Descent;
        }
        face.SetPixelSize(FPpem);
    }

    const FaceDesign& d = face.Design();
    const double scale = double(FPpem) / std::max(1, d.UnitsPerEm);
    m.InternalLeading = std::max(0, m.Height - FPpem);
    // GDI's external leading: the line gap less what the cell already adds
    // over the typographic ascent and descent.
    const int cellUnits = d.WinAscent + d.WinDescent;
    const int typoUnits = d.HheaAscent + d.HheaDescent;
    m.ExternalLeading = std::max(0, RoundScaled(d.LineGap - (cellUnits - typoUnits), scale));
    const int extra = face.BoldExtra();
    m.AveCharWidth =
        d.AveCharWidth > 0 ? RoundScaled(d.AveCharWidth, scale) + extra : Advance(U'x');
    m.MaxCharWidth = std::max(m.AveCharWidth, RoundScaled(d.MaxAdvance, scale) + extra);

    // FreeType gives the underline's centre; we keep its top row.
    const int ulThickness = std::max(1, RoundScaled(d.UnderlineThickness, scale));
    int ulTop = int(std::lround(-d.UnderlinePosition * scale - ulThickness / 2.0));
    ulTop = std::clamp(ulTop, 0, std::max(0, m.Descent - ulThickness));
    FUnderline = {ulTop, ulThickness};

    const int soThickness = std::max(1, RoundScaled(d.StrikeoutSize, scale));
    const int soPosition = d.StrikeoutPosition > 0 ? d.StrikeoutPosition : d.HheaAscent / 3;
    FStrikeOut = {std::max(-m.Ascent, -RoundScaled(soPosition, scale)), soThickness};
}

FaceInstance* Font::Fallback(std::size_t i) const {
    if (FOpened[i]) return FOpened[i].get();
    if (FOpenFailed[i]) return nullptr;
    FOpened[i] = FaceInstance::Open(FFallbacks.Face(i), IsMono(FLogical));
    if (!FOpened[i]) {
        FOpenFailed[i] = true;
        return nullptr;
    }
    FOpened[i]->SetPixelSize(FPpem);
    return FOpened[i].get();
}

std::pair<int, unsigned> Font::Choose(char32_t c) const {
    auto it = FChoices.find(c);
    if (it != FChoices.end()) return it->second;
    std::pair<int, unsigned> choice{-1, 0};
    if (FPrimary) choice.second = FPrimary->GlyphIndex(c);
    for (std::size_t i = 0; choice.second == 0 && i < FFallbacks.Count(); ++i) {
        if (!FFallbacks.HasChar(i, c)) continue;
        FaceInstance* face = Fallback(i);
        const unsigned index = face ? face->GlyphIndex(c) : 0;
        if (index) choice = {int(i), index};
    }
    if (FChoices.size() >= kMaxCachedChoices) FChoices.clear();
    FChoices.emplace(c, choice);
    return choice;
}

const GlyphImage& Font::GlyphFor(char32_t c) const {
    if (!FPrimary) return FEmpty;
    const auto [slot, index] = Choose(c);
    FaceInstance* face = slot < 0 ? FPrimary.get() : Fallback(std::size_t(slot));
    return face->Glyph(index);
}

} // namespace platform::text
