#include "qjson_number.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

bool IsHexPrefix(const char16_t* q, const char16_t* end) {
    return q + 1 < end && q[0] == u'0' && (q[1] == u'x' || q[1] == u'X');
}

// 10^k is exact in the 64-bit mantissa up to k = 27.
constexpr int kExactPowers = 28;
// Digits beyond these cannot change the rounding to 64 bits, except through
// whether any of them is non-zero (kept as one extra "sticky" digit).
constexpr std::size_t kKeptDigits = 40;

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
    std::string digits;
    bool sticky = false;
    std::int64_t dropped = 0;
    auto take = [&](const char16_t* b, const char16_t* e, bool fraction) {
        for (const char16_t* c = b; c < e; ++c) {
            if (fraction) --exp10;
            if (digits.empty() && *c == u'0') continue;
            if (digits.size() < kKeptDigits) {
                digits.push_back(static_cast<char>(*c));
            } else {
                if (*c != u'0') sticky = true;
                ++dropped;
            }
        }
    };
    take(intBegin, intEnd, false);
    if (fracBegin) take(fracBegin, fracEnd, true);
    if (digits.empty()) return 0;
    exp10 += dropped;
    while (!sticky && digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
        ++exp10;
    }
    if (!sticky && digits.size() <= 19 && exp10 > -kExactPowers && exp10 < kExactPowers) {
        // Both operands are exact, so the one operation rounds correctly.
        const unsigned long long m = std::stoull(digits);
        const long double lm = static_cast<long double>(m);
        return exp10 >= 0 ? lm * ExactPower10(static_cast<int>(exp10))
                          : lm / ExactPower10(static_cast<int>(-exp10));
    }
    if (sticky) {
        digits.push_back('1');
        --exp10;
    }
    // With at most 41 digits, exponents this far out give 0 or infinity anyway.
    if (exp10 > 100000) exp10 = 100000;
    if (exp10 < -100000) exp10 = -100000;
    digits += 'e';
    digits += std::to_string(exp10);
    return std::strtold(digits.c_str(), nullptr);
}

} // namespace

int ReadInteger(const char16_t*& p, const char16_t* end, std::int64_t& value) {
    const char16_t* q = p;
    value = 0;
    if (q < end && (*q == u'$' || IsHexPrefix(q, end))) {
        q += *q == u'$' ? 1 : 2;
        const char16_t* digits = q;
        std::uint64_t v = 0;
        for (int d; q < end && (d = HexDigit(*q)) >= 0; ++q) {
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
        for (int d; q < end && (d = HexDigit(*q)) >= 0; ++q)
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
