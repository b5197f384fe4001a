#include "qfloattext.h"

#include "RtlConvert.h"

#include <cstdint>
#include <cstring>
#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64,
              "the value is read in the x87 80-bit format");

namespace {

constexpr int kDigits = 15;

std::size_t Fallback(long double value, char16_t* out) {
    const String text = FloatToStr(value);
    const std::size_t n = text.size() < kFloatTextMax ? text.size() : kFloatTextMax;
    std::memcpy(out, text.data(), n * sizeof(char16_t));
    return n;
}

// 5^k for the exact scaling below; 5^27 still fits in 63 bits.
constexpr int kMaxPower = 27;
constexpr std::uint64_t Pow5(int k) {
    return k == 0 ? 1 : 5 * Pow5(k - 1);
}
constexpr std::uint64_t kPow5[kMaxPower + 1] = {
    Pow5(0),  Pow5(1),  Pow5(2),  Pow5(3),  Pow5(4),  Pow5(5),  Pow5(6),
    Pow5(7),  Pow5(8),  Pow5(9),  Pow5(10), Pow5(11), Pow5(12), Pow5(13),
    Pow5(14), Pow5(15), Pow5(16), Pow5(17), Pow5(18), Pow5(19), Pow5(20),
    Pow5(21), Pow5(22), Pow5(23), Pow5(24), Pow5(25), Pow5(26), Pow5(27)};

} // namespace

std::size_t FormatFloatGeneral15(const long double& value, char16_t* out) {
    // The 80-bit format read where the value is stored: a 64-bit mantissa M
    // with its integer bit, then sign and biased exponent, so value = M * 2^E.
    std::uint64_t mantissa;
    std::uint16_t signAndExponent;
    std::memcpy(&mantissa, &value, 8);
    std::memcpy(&signAndExponent, reinterpret_cast<const unsigned char*>(&value) + 8, 2);
    const int biased = signAndExponent & 0x7FFF;
    const bool negative = (signAndExponent & 0x8000) != 0;
    if (mantissa == 0 && biased == 0) {
        out[0] = u'0';
        return 1;
    }
    // Infinities, NaNs, denormals and invalid encodings take the slow path.
    if (biased == 0 || biased == 0x7FFF || !(mantissa >> 63)) return Fallback(value, out);
    const int E = biased - 16383 - 63;
    // floor((e2 - 1) * log10(2)) with value in [2^(e2-1), 2^e2) is the
    // decimal exponent or one less.
    const int e2 = biased - 16382;
    int e = ((e2 - 1) * 78913) >> 18;
    // The fifteen digits are round(value * 10^k) with k = 14 - e, computed
    // exactly: value * 10^k = M * 5^k * 2^(E + k), a 128-bit product shifted
    // right. Ties round to even, as the C library's conversion does.
    std::uint64_t digits = 0;
    for (int attempt = 0;; ++attempt) {
        const int k = kDigits - 1 - e;
        const int shift = -(E + k);
        if (k < 0 || k > kMaxPower || shift <= 0 || shift >= 128 || attempt > 1)
            return Fallback(value, out); // beyond 1E15 or below 1E-13: rare in documents
        const unsigned __int128 product = static_cast<unsigned __int128>(mantissa) * kPow5[k];
        const unsigned __int128 whole = product >> shift;
        if (whole >= 1000000000000000ULL) {
            ++e; // the estimate was one too low
            continue;
        }
        digits = static_cast<std::uint64_t>(whole);
        const unsigned __int128 rest = product - (whole << shift);
        const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
        if (rest > half || (rest == half && (digits & 1))) ++digits;
        break;
    }
    if (digits == 1000000000000000ULL) {
        digits = 100000000000000ULL;
        ++e;
    }
    // Trailing zeros go first, in big steps, then the digits come out two at
    // a time: most values have far fewer than fifteen significant digits.
    int count = kDigits;
    // Constant divisors, so that the compiler multiplies instead of dividing.
    while (count > 8 && digits % 100000000 == 0) {
        digits /= 100000000;
        count -= 8;
    }
    while (count > 4 && digits % 10000 == 0) {
        digits /= 10000;
        count -= 4;
    }
    while (count > 2 && digits % 100 == 0) {
        digits /= 100;
        count -= 2;
    }
    while (count > 1 && digits % 10 == 0) {
        digits /= 10;
        --count;
    }
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    char d[kDigits];
    int i = count;
    while (i >= 2) {
        const std::size_t pair = static_cast<std::size_t>(digits % 100) * 2;
        digits /= 100;
        d[--i] = kPairs[pair + 1];
        d[--i] = kPairs[pair];
    }
    if (i == 1) d[0] = static_cast<char>('0' + digits);

    static const TFormatSettings& settings = FormatSettings(); // fixed for the process
    const char16_t sep = settings.DecimalSeparator;
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
