// DrawTextW's layout, apart from any font: prefixes, line breaks, word
// wrapping, tab expansion, ellipses and alignment, all measured through a
// per-character advance.
#pragma once

#include "TextEngine.h"

#include <functional>
#include <string_view>

namespace platform::text {

struct LayoutMeasure {
    int LineHeight = 0;      // the font's cell height
    int ExternalLeading = 0; // added to each line with DT_EXTERNALLEADING
    int AveCharWidth = 0;    // tab stops lie every eight of these
    std::function<int(char32_t)> Advance;
};

Layout LayoutTextWith(const LayoutMeasure& measure, std::u16string_view text, int left, int top,
                      int right, int bottom, unsigned format);

} // namespace platform::text
