// UTF-16 code points and UTF-8 output, shared by the text engine, the window
// system and the runtime's strings, so that every layer turns the same text
// into the same bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The code point starting at `i`; `units` receives 1 or 2. An unpaired
// surrogate decodes to U+FFFD so that it still takes one visible place.
char32_t CodePointAt(std::u16string_view text, std::size_t i, std::size_t& units);

// UTF-16 -> UTF-8. An unpaired surrogate becomes U+FFFD, so the output is
// always valid UTF-8.
std::string Utf16ToUtf8(std::u16string_view text);

} // namespace platform
