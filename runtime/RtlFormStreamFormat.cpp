#include "RtlFormStreamFormat.h"

#include <cmath>
#include <limits>

namespace {

constexpr int kExtendedBias = 16383;
constexpr int kExtendedMaxExponent = 0x7FFF;

// True when every surrogate of the text is part of a pair, so that UTF-8 can
// carry it without loss.
bool SurrogatesPaired(StringView text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]))
            ++i;
        else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i]))
            return false;
    }
    return true;
}

} // namespace

bool IsIntegerValueType(TValueType type) {
    return type == vaInt8 || type == vaInt16 || type == vaInt32 || type == vaInt64;
}

bool IsStringValueType(TValueType type) {
    return type == vaString || type == vaLString || type == vaWString || type == vaUTF8String;
}

TValueType IntegerValueType(std::int64_t value) {
    if (value >= INT8_MIN && value <= INT8_MAX) return vaInt8;
    if (value >= INT16_MIN && value <= INT16_MAX) return vaInt16;
    if (value >= INT32_MIN && value <= INT32_MAX) return vaInt32;
    return vaInt64;
}

TValueType StringValueType(StringView text) {
    bool ascii = true;
    for (const char16_t c : text)
        ascii = ascii && c < 0x80;
    if (ascii) return text.size() <= kMaxShortString ? vaString : vaLString;
    // UTF-8 would replace an unpaired surrogate; UTF-16 keeps it.
    if (!SurrogatesPaired(text)) return vaWString;
    return StringToUtf8(text).size() < text.size() * 2 ? vaUTF8String : vaWString;
}

namespace {

struct TNamedTag {
    TValueType Type;
    const char16_t* Name;
};
constexpr TNamedTag kNamedTags[] = {
    {vaFalse, u"False"}, {vaTrue, u"True"}, {vaNil, u"nil"}, {vaNull, u"Null"}};

} // namespace

const char16_t* ValueTypeIdent(TValueType type) {
    for (const TNamedTag& tag : kNamedTags)
        if (tag.Type == type) return tag.Name;
    return nullptr;
}

TValueType IdentValueType(StringView ident) {
    for (const TNamedTag& tag : kNamedTags)
        if (SameText(ident, tag.Name)) return tag.Type;
    return vaIdent;
}

long double ExtendedFromBytes(const std::uint8_t bytes[10]) {
    std::uint64_t significand = 0;
    for (int i = 7; i >= 0; --i)
        significand = (significand << 8) | bytes[i];
    const unsigned signAndExponent = bytes[8] | (bytes[9] << 8);
    const bool negative = (signAndExponent & 0x8000) != 0;
    const int exponent = static_cast<int>(signAndExponent & 0x7FFF);
    long double value;
    if (exponent == kExtendedMaxExponent) {
        // The integer bit is ignored: all-zero fraction bits mean infinity.
        value = (significand << 1) == 0 ? std::numeric_limits<long double>::infinity()
                                        : std::numeric_limits<long double>::quiet_NaN();
    } else {
        // Denormals (exponent 0) use the smallest exponent, 1 - bias.
        const int scale = (exponent == 0 ? 1 : exponent) - kExtendedBias - 63;
        value = std::ldexp(static_cast<long double>(significand), scale);
    }
    return negative ? -value : value;
}

void ExtendedToBytes(long double value, std::uint8_t bytes[10]) {
    std::uint64_t significand = 0;
    unsigned signAndExponent = std::signbit(value) ? 0x8000 : 0;
    if (std::isnan(value)) {
        signAndExponent |= kExtendedMaxExponent;
        significand = 0xC000000000000000ull;
    } else if (std::isinf(value)) {
        signAndExponent |= kExtendedMaxExponent;
        significand = 0x8000000000000000ull;
    } else if (value != 0) {
        int exponent = 0;
        const long double fraction = std::frexp(std::fabs(value), &exponent); // [0.5, 1)
        significand = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
        int biased = exponent - 1 + kExtendedBias;
        if (biased >= kExtendedMaxExponent) {
            biased = kExtendedMaxExponent;
            significand = 0x8000000000000000ull;
        } else if (biased <= 0) {
            const int shift = 1 - biased;
            significand = shift >= 64 ? 0 : significand >> shift;
            biased = 0;
        }
        signAndExponent |= static_cast<unsigned>(biased);
    }
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<std::uint8_t>(significand >> (8 * i));
    bytes[8] = static_cast<std::uint8_t>(signAndExponent & 0xFF);
    bytes[9] = static_cast<std::uint8_t>(signAndExponent >> 8);
}
