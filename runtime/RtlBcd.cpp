#include "RtlBcd.h"

#include "RtlConvert.h"
#include "RtlException.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

// Unpacked form: ASCII digits with `places` of them after the decimal point.
// Canonical: no leading zero in the integer part, no trailing zero in the
// fraction, zero is "" with places 0 and positive.
struct Unpacked {
    bool negative = false;
    std::string digits;
    int places = 0;
};

Unpacked Unpack(const TBcd& v) {
    Unpacked u;
    u.negative = v.IsNegative();
    u.places = v.Places();
    for (int i = 0; i < v.Precision && i < kMaxBcdDigits; ++i)
        u.digits.push_back(static_cast<char>('0' + v.Digit(i)));
    // Tolerate hand-made values: normalise what other code may have packed.
    while (u.places > 0 && !u.digits.empty() && u.digits.back() == '0') {
        u.digits.pop_back();
        --u.places;
    }
    std::size_t lead = 0;
    while (lead + u.places < u.digits.size() && u.digits[lead] == '0')
        ++lead;
    u.digits.erase(0, lead);
    if (u.digits.find_first_not_of('0') == std::string::npos) u = Unpacked{};
    return u;
}

TBcd Pack(const Unpacked& u) {
    TBcd v;
    std::string digits = u.digits.empty() ? std::string("0") : u.digits;
    // Keep at least as many digits as places so the point has something to its left.
    if (static_cast<int>(digits.size()) < u.places)
        digits.insert(0, static_cast<std::size_t>(u.places) - digits.size(), '0');
    v.Precision = static_cast<std::uint8_t>(digits.size());
    v.SignSpecialPlaces =
        static_cast<std::uint8_t>((u.negative && !u.digits.empty() ? 0x80 : 0) | u.places);
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const std::uint8_t d = static_cast<std::uint8_t>(digits[i] - '0');
        v.Fraction[i / 2] |= i % 2 == 0 ? static_cast<std::uint8_t>(d << 4) : d;
    }
    return v;
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

bool TryStrToBcd(StringView text, TBcd& value, const TFormatSettings& settings) {
    const String t = Trim(text);
    std::size_t i = 0;
    Unpacked u;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) u.negative = t[i++] == u'-';
    std::string all;
    int pointPos = -1;
    bool any = false;
    for (; i < t.size(); ++i) {
        if (IsDigit(t[i])) {
            all.push_back(static_cast<char>(t[i]));
            any = true;
        } else if (t[i] == settings.DecimalSeparator && pointPos < 0) {
            pointPos = static_cast<int>(all.size());
        } else {
            break;
        }
    }
    if (!any) return false;
    if (pointPos < 0) pointPos = static_cast<int>(all.size());
    long exponent = 0;
    if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        bool negExp = false;
        if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) negExp = t[i++] == u'-';
        bool expDigits = false;
        for (; i < t.size() && IsDigit(t[i]); ++i) {
            if (exponent < 100000) exponent = exponent * 10 + (t[i] - u'0');
            expDigits = true;
        }
        if (!expDigits) return false;
        if (negExp) exponent = -exponent;
    }
    if (i != t.size()) return false;

    // Drop the zeros that carry no digit, then place the point.
    const std::size_t first = all.find_first_not_of('0');
    if (first == std::string::npos) {
        value = TBcd{};
        return true;
    }
    const std::size_t last = all.find_last_not_of('0');
    long point = pointPos + exponent - static_cast<long>(first);
    std::string sig = all.substr(first, last - first + 1);
    if (point > kMaxBcdDigits || point < -kMaxBcdPlaces) return false;
    if (point >= static_cast<long>(sig.size())) {
        sig.append(static_cast<std::size_t>(point) - sig.size(), '0');
        u.places = 0;
    } else {
        u.places = static_cast<int>(static_cast<long>(sig.size()) - point);
        if (point < 0) sig.insert(0, static_cast<std::size_t>(-point), '0');
    }
    const long intDigits = std::max(0L, point);
    if (u.places > kMaxBcdPlaces || intDigits + u.places > kMaxBcdDigits) return false;
    u.digits = sig;
    value = Pack(u);
    return true;
}

TBcd StrToBcd(StringView text, const TFormatSettings& settings) {
    TBcd v;
    if (!TryStrToBcd(text, v, settings))
        throw EConvertError(u"'" + String(text) + u"' is not a valid BCD value");
    return v;
}

String BcdToStr(const TBcd& value, const TFormatSettings& settings) {
    const Unpacked u = Unpack(value);
    if (u.digits.empty()) return u"0";
    String out;
    if (u.negative) out.push_back(u'-');
    const int intLen = static_cast<int>(u.digits.size()) - u.places;
    if (intLen <= 0) {
        out.push_back(u'0');
    } else {
        for (int i = 0; i < intLen; ++i)
            out.push_back(static_cast<char16_t>(u.digits[i]));
    }
    if (u.places > 0) {
        out.push_back(settings.DecimalSeparator);
        for (int i = intLen; i < 0; ++i)
            out.push_back(u'0');
        for (std::size_t i = static_cast<std::size_t>(std::max(0, intLen)); i < u.digits.size();
             ++i)
            out.push_back(static_cast<char16_t>(u.digits[i]));
    }
    return out;
}

TBcd IntegerToBcd(std::int64_t value) {
    Unpacked u;
    u.negative = value < 0;
    const std::uint64_t magnitude =
        u.negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    if (magnitude != 0) u.digits = std::to_string(magnitude);
    return Pack(u);
}

bool TryBcdToInt64(const TBcd& value, std::int64_t& result) {
    const Unpacked u = Unpack(value);
    const int intLen = static_cast<int>(u.digits.size()) - u.places;
    std::uint64_t m = 0;
    for (int i = 0; i < intLen; ++i) {
        const unsigned d = static_cast<unsigned>(u.digits[i] - '0');
        if (m > (UINT64_MAX - d) / 10) return false;
        m = m * 10 + d;
    }
    const std::uint64_t limit = u.negative ? std::uint64_t(1) << 63 : (std::uint64_t(1) << 63) - 1;
    if (m > limit) return false;
    result = u.negative ? static_cast<std::int64_t>(0 - m) : static_cast<std::int64_t>(m);
    return true;
}

long double BcdToFloat(const TBcd& value) {
    const String text = BcdToStr(value);
    // strtold rounds the decimal text correctly; the text is always plain ASCII.
    const std::string ascii = StringToAscii(text);
    return std::strtold(ascii.c_str(), nullptr);
}

TBcd FloatToBcd(long double value) {
    if (std::isnan(value) || std::isinf(value))
        throw EConvertError(u"'" + FloatToStr(value) + u"' is not a valid BCD value");
    return StrToBcd(FloatToStrGeneral(value, 18));
}

bool IsBcdZero(const TBcd& value) {
    return Unpack(value).digits.empty();
}

int BcdCompare(const TBcd& a, const TBcd& b) {
    const Unpacked x = Unpack(a), y = Unpack(b);
    if (x.negative != y.negative) return x.negative ? -1 : 1;
    const int sign = x.negative ? -1 : 1;
    // The digit of weight 10^p, or 0 outside the stored digits.
    auto digitAt = [](const Unpacked& u, int p) {
        const int i = static_cast<int>(u.digits.size()) - u.places - 1 - p;
        return i >= 0 && i < static_cast<int>(u.digits.size()) ? u.digits[i] - '0' : 0;
    };
    const int top = std::max(static_cast<int>(x.digits.size()) - x.places,
                             static_cast<int>(y.digits.size()) - y.places);
    const int bottom = -std::max(x.places, y.places);
    for (int p = top - 1; p >= bottom; --p) {
        const int dx = digitAt(x, p), dy = digitAt(y, p);
        if (dx != dy) return dx > dy ? sign : -sign;
    }
    return 0;
}
