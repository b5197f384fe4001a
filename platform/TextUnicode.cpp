#include "TextUnicode.h"

namespace platform::text {

bool IsIdeographic(char32_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || // CJK radicals, punctuation, kana, ideographs
           (c >= 0xAC00 && c <= 0xD7AF) || // Hangul syllables
           (c >= 0xF900 && c <= 0xFAFF) || // compatibility ideographs
           (c >= 0xFF00 && c <= 0xFFEF) || // full-width forms
           (c >= 0x20000 && c <= 0x3FFFF); // supplementary ideographs
}

} // namespace platform::text
