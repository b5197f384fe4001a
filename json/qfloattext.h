// The runtime's general float text with 15 significant digits (FloatToStr),
// produced without going through printf for the values a JSON document
// usually holds. The writer formats every float through it, so it must give
// exactly FloatToStr's text: the digits are computed exactly in integers and
// rounded half to even like the C library; magnitudes outside 1E-13..1E15,
// non-finite values and denormals are handed to FloatToStr.
#pragma once

#include <cstddef>

constexpr std::size_t kFloatTextMax = 48;

// Writes the text into `out` and returns its length. The value is taken by
// reference so that its bits are read where it is stored (a node's value):
// reading a just-stored 80-bit temporary back stalls the processor.
// `out` has room for kFloatTextMax characters.
std::size_t FormatFloatGeneral15(const long double& value, char16_t* out);
