// The few Unicode helpers the text engine needs. The platform layer sits below
// the runtime, so it cannot use the runtime's string functions.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform::text {

// The code point starting at `i`; `units` receives 1 or 2. An unpaired
// surrogate decodes to U+FFFD so that it still takes one visible place.
char32_t CodePointAt(std::u16string_view text, std::size_t i, std::size_t& units);

// UTF-16 -> UTF-8 (unpaired surrogates become U+FFFD).
std::string ToUtf8(std::u16string_view text);

// Characters between which a line may break without a space: the ideographs,
// kana, Hangul and full-width forms of East Asian text.
bool IsIdeographic(char32_t c);

} // namespace platform::text
