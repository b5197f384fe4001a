// The Unicode helpers the text engine needs beyond the platform's UTF-16
// decoding and UTF-8 output.
#pragma once

#include "PlatformUtf.h"

namespace platform::text {

// Characters between which a line may break without a space: the ideographs,
// kana, Hangul and full-width forms of East Asian text.
bool IsIdeographic(char32_t c);

} // namespace platform::text
