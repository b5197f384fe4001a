#include "qfloattext.h"

#include "RtlConvert.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kDigits = 15;
// 10^k is exact in the 64-bit mantissa for k <= 27, so one multiplication or
// division by it rounds only once.
constexpr int kMaxExactPower = 27;

long double ExactPower10(int k) {
    static const auto table = [] {
        struct Table {
            long double v[kMaxExactPower + 1];
        } t{};
        long double p = 1;
        for (int i = 0; i <= kMaxExactPower; ++i, p *= 10)
            t.v[i] = p;
        return t;
    }();
    return table.v[k];
}

std::size_t Fallback(long double value, char16_t (&out)[kFloatTextMax]) {
    const String text = FloatToStr(value);
    const std::size_t n = text.size() < kFloatTextMax ? text.size() : kFloatTextMax;
    std::memcpy(out, text.data(), n * sizeof(char16_t));
    return n;
}

// a * 10^(kDigits - 1 - e), rounded once; false when the power is not exact.
bool Scale(long double a, int e, long double& scaled) {
    const int k = kDigits - 1 - e;
    if (k > kMaxExactPower || -k > kMaxExactPower) return false;
    scaled = k >= 0 ? a * ExactPower10(k) : a / ExactPower10(-k);
    return true;
}

} // namespace

std::size_t FormatFloatGeneral15(long double value, char16_t (&out)[kFloatTextMax]) {
    if (!std::isfinite(value)) return Fallback(value, out);
    if (value == 0) {
        out[0] = u'0';
        return 1;
    }
    const bool negative = value < 0;
    const long double a = negative ? -value : value;
    int e2 = 0;
    std::frexp(a, &e2);
    // log10(a) lies in [(e2-1)*log10(2), e2*log10(2)); start low and correct.
    int e = static_cast<int>(std::floor((e2 - 1) * 0.30102999566398119521L));
    long double scaled;
    const long double lo = 1e14L, hi = 1e15L;
    if (!Scale(a, e, scaled)) return Fallback(value, out);
    if (scaled >= hi) {
        ++e;
        if (!Scale(a, e, scaled)) return Fallback(value, out);
    }
    if (scaled < lo || scaled >= hi) return Fallback(value, out);
    // The scaled value carries at most half an ulp (2^-14 here) of error, so
    // only a fraction close to one half could round either way.
    const long double whole = std::floor(scaled);
    const long double frac = scaled - whole;
    if (frac > 0.499L && frac < 0.501L) return Fallback(value, out);
    std::uint64_t digits = static_cast<std::uint64_t>(whole) + (frac > 0.5L ? 1 : 0);
    if (digits == 1000000000000000ULL) {
        digits = 100000000000000ULL;
        ++e;
    }
    char d[kDigits];
    for (int i = kDigits - 1; i >= 0; --i) {
        d[i] = static_cast<char>('0' + digits % 10);
        digits /= 10;
    }
    int count = kDigits;
    while (count > 1 && d[count - 1] == '0')
        --count;

    const char16_t sep = FormatSettings().DecimalSeparator;
    std::size_t n = 0;
    if (negative) out[n++] = u'-';
    if (e < -4 || e >= kDigits) {
        out[n++] = static_cast<char16_t>(d[0]);
        if (count > 1) {
            out[n++] = sep;
            for (int i = 1; i < count; ++i)
                out[n++] = static_cast<char16_t>(d[i]);
        }
        out[n++] = u'E';
        int x = e;
        if (x < 0) {
            out[n++] = u'-';
            x = -x;
        }
        char buf[8];
        int len = 0;
        do {
            buf[len++] = static_cast<char>('0' + x % 10);
            x /= 10;
        } while (x);
        while (len)
            out[n++] = static_cast<char16_t>(buf[--len]);
    } else if (e < 0) {
        out[n++] = u'0';
        out[n++] = sep;
        for (int i = 0; i < -e - 1; ++i)
            out[n++] = u'0';
        for (int i = 0; i < count; ++i)
            out[n++] = static_cast<char16_t>(d[i]);
    } else {
        for (int i = 0; i <= e; ++i)
            out[n++] = static_cast<char16_t>(i < count ? d[i] : '0');
        if (count > e + 1) {
            out[n++] = sep;
            for (int i = e + 1; i < count; ++i)
                out[n++] = static_cast<char16_t>(d[i]);
        }
    }
    return n;
}
