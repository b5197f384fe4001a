#include "TextEngine.h"

#include "TextFont.h"
#include "TextFontMatch.h"
#include "TextLayout.h"

#include <map>
#include <tuple>

namespace platform::text {

namespace {

using FontKey = std::tuple<std::u16string, int, int, bool, bool, bool, std::uint8_t, std::uint8_t>;

FontKey KeyOf(const LogicalFont& s) {
    return {s.Face, s.Height, s.Weight, s.Italic, s.Underline, s.StrikeOut, s.CharSet, s.Quality};
}

// Fonts stay cached while callers may create the same font for every paint.
// The cache is bounded; fonts still held by callers live on regardless.
constexpr std::size_t kMaxCachedFonts = 256;

std::map<FontKey, std::shared_ptr<const Font>>& FontCache() {
    static std::map<FontKey, std::shared_ptr<const Font>> cache;
    return cache;
}

} // namespace

std::shared_ptr<const Font> CreateFont(const LogicalFont& logical) {
    auto& cache = FontCache();
    FontKey key = KeyOf(logical);
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    if (cache.size() >= kMaxCachedFonts) cache.clear();
    auto font = std::make_shared<const Font>(logical);
    cache.emplace(std::move(key), font);
    return font;
}

FontMetrics GetMetrics(const Font& font) {
    return font.Metrics();
}

Layout LayoutText(const Font& font, std::u16string_view text, int left, int top, int right,
                  int bottom, unsigned format) {
    LayoutMeasure measure;
    measure.LineHeight = font.Metrics().Height;
    measure.ExternalLeading = font.Metrics().ExternalLeading;
    measure.AveCharWidth = font.Metrics().AveCharWidth;
    measure.Advance = [&font](char32_t c) { return font.Advance(c); };
    return LayoutTextWith(measure, text, left, top, right, bottom, format);
}

// Fonts matched before a registration changed may name the wrong face, so
// the cache starts afresh.
bool AddFontFile(const std::string& utf8Path) {
    if (!RegisterFontFile(utf8Path)) return false;
    FontCache().clear();
    return true;
}

bool RemoveFontFile(const std::string& utf8Path) {
    if (!UnregisterFontFile(utf8Path)) return false;
    FontCache().clear();
    return true;
}

} // namespace platform::text
