// The runtime's decimal type: a packed binary-coded decimal that keeps up to
// 64 significant digits exactly, for numbers too long for a 64-bit integer or
// too precise for a binary float.
#pragma once

#include "RtlFormatSettings.h"
#include "RtlString.h"

#include <cstdint>

constexpr int kMaxBcdDigits = 64;
constexpr int kMaxBcdPlaces = 63;

struct TBcd {
    // Number of digits held in Fraction (1 to 64).
    std::uint8_t Precision = 1;
    // Bit 7: negative; bits 0 to 5: how many of the digits follow the decimal point.
    std::uint8_t SignSpecialPlaces = 0;
    // Digit nibbles, most significant first: digit i is in byte i / 2, the high
    // nibble for even i.
    std::uint8_t Fraction[32] = {};

    bool IsNegative() const { return (SignSpecialPlaces & 0x80) != 0; }
    int Places() const { return SignSpecialPlaces & 0x3F; }
    int Digit(int index) const {
        const std::uint8_t b = Fraction[index / 2];
        return index % 2 == 0 ? b >> 4 : b & 0x0F;
    }
};

// Text forms read: blanks around, an optional sign, digits with at most one
// decimal separator, and an optional exponent ("E"/"e", sign, digits). Leading
// zeros of the integer part and trailing zeros of the fraction do not count
// toward the 64 digits. More significant digits, or more than 63 places,
// fail: "'<text>' is not a valid BCD value" (EConvertError).
bool TryStrToBcd(StringView text, TBcd& value, const TFormatSettings& settings = FormatSettings());
TBcd StrToBcd(StringView text, const TFormatSettings& settings = FormatSettings());

// Plain decimal text without exponent: "-" for negatives, the integer digits
// (at least "0"), then the separator and the fraction without trailing zeros.
String BcdToStr(const TBcd& value, const TFormatSettings& settings = FormatSettings());

TBcd IntegerToBcd(std::int64_t value);
// The integer part (fraction truncated); false when it is outside 64 bits.
bool TryBcdToInt64(const TBcd& value, std::int64_t& result);
// The nearest extended float (through the decimal text, so correctly rounded).
long double BcdToFloat(const TBcd& value);
// Up to 18 significant digits of the float; NaN, infinities and magnitudes
// beyond the digit limit raise EConvertError.
TBcd FloatToBcd(long double value);

bool IsBcdZero(const TBcd& value);
// Numeric comparison: <0, 0, >0. 1.50 and 1.5 are equal.
int BcdCompare(const TBcd& a, const TBcd& b);
inline bool operator==(const TBcd& a, const TBcd& b) {
    return BcdCompare(a, b) == 0;
}
