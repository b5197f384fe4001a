#include "qjson_number.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool IsHexPrefix(const char16_t* q, const char16_t* end) {
    return q + 1 < end && q[0] == u'0' && (q[1] == u'x' || q[1] == u'X');
}

// 10^k is exact in the 64-bit mantissa up to k = 27.
constexpr int kExactPowers = 28;

long double ExactPower10(int k) {
    static const auto table = [] {
        struct Table {
            long double v[kExactPowers];
        } t{};
        long double p = 1;
        for (int i = 0; i < kExactPowers; ++i, p *= 10)
            t.v[i] = p;
        return t;
    }();
    return table.v[k];
}

// The value of the digits [intBegin, intEnd) "." [fracBegin, fracEnd) times
// 10^exp10, rounded once to extended precision.
long double DecimalToFloat(const char16_t* intBegin, const char16_t* intEnd,
                           const char16_t* fracBegin, const char16_t* fracEnd, std::int64_t exp10) {
    const std::int64_t originalExp10 = exp10;
    // The first 19 significant digits go into an integer; of the rest only
    // their count (integer part) and whether any is non-zero matter.
    std::uint64_t m = 0;
    std::size_t count = 0;
    bool sticky = false;
    auto take = [&](const char16_t* b, const char16_t* e, bool fraction) {
        for (const char16_t* c = b; c < e; ++c) {
            const unsigned d = static_cast<unsigned>(*c - u'0');
            if (count < 19) {
                if (fraction) --exp10;
                if (count || d) {
                    m = m * 10 + d;
                    ++count;
                }
            } else {
                if (!fraction) ++exp10;
                sticky = sticky || d != 0;
            }
        }
    };
    take(intBegin, intEnd, false);
    if (fracBegin) take(fracBegin, fracEnd, true);
    if (m == 0 && !sticky) return 0;
    while (!sticky && m % 10 == 0 && m) {
        m /= 10;
        ++exp10;
    }
    if (!sticky && exp10 > -kExactPowers && exp10 < kExactPowers) {
        // Both operands are exact, so the one operation rounds correctly.
        const long double lm = static_cast<long double>(m);
        return exp10 >= 0 ? lm * ExactPower10(static_cast<int>(exp10))
                          : lm / ExactPower10(static_cast<int>(-exp10));
    }
    // The rare rest (more than 19 significant digits, or a far exponent):
    // the C library rounds the complete decimal text correctly.
    std::string text;
    text.reserve(static_cast<std::size_t>(intEnd - intBegin) +
                 (fracBegin ? static_cast<std::size_t>(fracEnd - fracBegin) : 0) + 24);
    for (const char16_t* c = intBegin; c < intEnd; ++c)
        text.push_back(static_cast<char>(*c));
    text.push_back('.');
    if (fracBegin)
        for (const char16_t* c = fracBegin; c < fracEnd; ++c)
            text.push_back(static_cast<char>(*c));
    text += 'e';
    text += std::to_string(originalExp10);
    return std::strtold(text.c_str(), nullptr);
}

} // namespace

int ReadInteger(const char16_t*& p, const char16_t* end, std::int64_t& value) {
    const char16_t* q = p;
    value = 0;
    if (q < end && (*q == u'$' || IsHexPrefix(q, end))) {
        q += *q == u'$' ? 1 : 2;
        const char16_t* digits = q;
        std::uint64_t v = 0;
        for (int d; q < end && (d = HexDigitValue(*q)) >= 0; ++q) {
            if (q - digits >= 16) return 0; // beyond 64 bits
            v = v * 16 + static_cast<unsigned>(d);
        }
        if (q == digits) return 0;
        value = static_cast<std::int64_t>(v);
    } else {
        bool negative = false;
        if (q < end && *q == u'-') {
            negative = true;
            ++q;
        } else if (q < end && *q == u'+') {
            if (q + 1 >= end || !IsDigit(q[1])) return 0;
            ++q;
        }
        const char16_t* digits = q;
        std::int64_t v = 0;
        for (; q < end && IsDigit(*q); ++q) {
            const int d = *q - u'0';
            if (v > (std::numeric_limits<std::int64_t>::max() - d) / 10) return 0;
            v = v * 10 + d;
        }
        if (q == digits) return 0;
        value = negative ? -v : v;
    }
    const int count = static_cast<int>(q - p);
    p = q;
    return count;
}

bool ReadNumber(const char16_t*& p, const char16_t* end, long double& value, bool& isFloat) {
    const char16_t* const start = p;
    const char16_t* q = p;
    isFloat = false;

    // Hexadecimal: "$", "&", "0x"; the value wraps at 64 bits like a register.
    if (q < end && (*q == u'$' || *q == u'&' || IsHexPrefix(q, end))) {
        q += *q == u'0' ? 2 : 1;
        std::uint64_t v = 0;
        for (int d; q < end && (d = HexDigitValue(*q)) >= 0; ++q)
            v = v * 16 + static_cast<unsigned>(d);
        value = static_cast<long double>(static_cast<std::int64_t>(v));
        p = q;
        return true;
    }

    const bool minus = q < end && *q == u'-';
    if (minus) ++q;
    // The usual form is plain digits; a second sign or a hexadecimal integer
    // part after "-" goes through the integer reader.
    const char16_t* const intBegin = q;
    bool plain = q < end && IsDigit(*q) && !IsHexPrefix(q, end);
    long double intValue = 0;
    if (plain) {
        while (q < end && IsDigit(*q))
            ++q;
    } else {
        std::int64_t iv;
        if (ReadInteger(q, end, iv) == 0) {
            p = start;
            return false;
        }
        intValue = minus ? -static_cast<long double>(iv) : static_cast<long double>(iv);
    }
    const char16_t* const intEnd = q;

    const char16_t* fracBegin = nullptr;
    const char16_t* fracEnd = nullptr;
    if (q < end && *q == u'.') {
        isFloat = true;
        fracBegin = ++q;
        while (q < end && IsDigit(*q))
            ++q;
        fracEnd = q;
    }

    bool hasExponent = false, simpleExponent = false;
    std::int64_t exp10 = 0;
    long double expValue = 0;
    if (q < end && (*q == u'e' || *q == u'E')) {
        isFloat = hasExponent = true;
        const char16_t* e = q + 1;
        // The usual exponent: a sign and decimal digits, nothing number-like after.
        const char16_t* s = e;
        const bool negExp = s < end && *s == u'-';
        if (s < end && (*s == u'+' || *s == u'-')) ++s;
        if (s < end && IsDigit(*s) && !IsHexPrefix(s, end)) {
            const char16_t* digits = s;
            std::int64_t v = 0;
            bool overflow = false;
            for (; s < end && IsDigit(*s); ++s) {
                if (v > (std::numeric_limits<std::int64_t>::max() - 9) / 10) overflow = true;
                if (!overflow) v = v * 10 + (*s - u'0');
            }
            const bool more = s < end && (*s == u'.' || *s == u'e' || *s == u'E');
            if (!more && s > digits) {
                if (overflow) {
                    p = start;
                    return false;
                }
                simpleExponent = true;
                exp10 = negExp ? -v : v;
                q = s;
            }
        }
        if (!simpleExponent) {
            bool expIsFloat;
            if (!ReadNumber(e, end, expValue, expIsFloat)) {
                p = start;
                return false;
            }
            q = e;
        }
    }

    if (plain && !isFloat) {
        // A plain integer: exact, and only within 64 bits.
        std::int64_t v = 0;
        for (const char16_t* c = intBegin; c < intEnd; ++c) {
            const int d = *c - u'0';
            if (v > (std::numeric_limits<std::int64_t>::max() - d) / 10) {
                p = start;
                return false;
            }
            v = v * 10 + d;
        }
        value = minus ? -static_cast<long double>(v) : static_cast<long double>(v);
        p = q;
        return true;
    }

    long double result;
    if (plain) {
        result = DecimalToFloat(intBegin, intEnd, fracBegin, fracEnd, simpleExponent ? exp10 : 0);
        if (minus) result = -result;
    } else {
        // Odd forms keep the plain arithmetic: the fraction moves the value away from zero
        // when either sign was negative.
        result = intValue;
        if (fracBegin && fracEnd > fracBegin) {
            const long double f = DecimalToFloat(fracBegin, fracBegin, fracBegin, fracEnd, 0);
            result = (result < 0 || minus) ? result - f : result + f;
        }
        if (simpleExponent) expValue = static_cast<long double>(exp10);
    }
    if (hasExponent && !(plain && simpleExponent)) result *= std::pow(10.0L, expValue);
    if (!std::isfinite(result)) {
        p = start;
        return false;
    }
    value = result;
    p = q;
    return true;
}
