// Reading numbers out of JSON text. The parser, the index form of
// ItemByName and the Value setter share these readers. Both work on a moving
// position bounded by `end` and leave it unchanged when they read nothing.
#pragma once

#include "RtlString.h"

#include <cstdint>

// A signed 64-bit integer: "$", "0x" or "0X" and hexadecimal digits (up to
// the full 64-bit pattern), or an optional "-" or "+" ("+" only when a digit
// follows) and decimal digits. Returns the number of characters read (sign
// included); 0 when there is no digit or the value overflows 64 bits.
int ReadInteger(const char16_t*& p, const char16_t* end, std::int64_t& value);

// A number: "$", "&", "0x" or "0X" and hexadecimal digits (wrapping at 64
// bits, true even without a digit); or an optional "-", an integer part (as
// ReadInteger), an optional "." with decimal digits and an optional "e"/"E"
// followed by a number read the same way. `isFloat` is set when a fraction or
// an exponent was present.
//
// Decimal numbers are rounded correctly to extended precision whatever the
// number of digits. An integer part without fraction or exponent that does not
// fit in 64 bits is not read (the parser keeps such numbers as decimals). A
// result beyond the extended range, or an "e" without a number after it, reads
// nothing.
bool ReadNumber(const char16_t*& p, const char16_t* end, long double& value, bool& isFloat);
