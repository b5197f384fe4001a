// The runtime's general float text with 15 significant digits (FloatToStr),
// produced without going through printf for the values a JSON document
// usually holds. The writer formats every float through it, so it must give
// exactly FloatToStr's text; values it cannot place with certainty are
// handed to FloatToStr.
#pragma once

#include <cstddef>

constexpr std::size_t kFloatTextMax = 48;

// Writes the text into `out` and returns its length.
std::size_t FormatFloatGeneral15(long double value, char16_t (&out)[kFloatTextMax]);
