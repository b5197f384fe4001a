#include "RtlConvert.h"

#include "RtlException.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

String IntToStr(std::int64_t value) {
    return AsciiToString(std::to_string(value));
}

String UIntToStr(std::uint64_t value) {
    return AsciiToString(std::to_string(value));
}

String IntToHex(std::uint64_t value, int digits) {
    static const char16_t* hex = u"0123456789ABCDEF";
    String out;
    do {
        out.insert(out.begin(), hex[value & 0xF]);
        value >>= 4;
    } while (value);
    while (static_cast<int>(out.size()) < digits)
        out.insert(out.begin(), u'0');
    return out;
}

namespace {

// Parses into a magnitude with a sign; false on syntax error or on a magnitude
// above `limit` (the caller's range for that sign).
bool ParseInteger(StringView s, bool& negative, std::uint64_t& magnitude) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == u' ')
        ++i;
    negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
    int base = 10;
    if (i < s.size() && s[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size()) return false;
    magnitude = 0;
    for (; i < s.size(); ++i) {
        const int d =
            base == 16 ? HexDigitValue(s[i]) : (s[i] >= u'0' && s[i] <= u'9' ? s[i] - u'0' : -1);
        if (d < 0) return false;
        if (magnitude > (std::numeric_limits<std::uint64_t>::max() - d) / base) return false;
        magnitude = magnitude * base + d;
    }
    return true;
}

[[noreturn]] void RaiseInvalidInteger(StringView text) {
    throw EConvertError(u"'" + String(text) + u"' is not a valid integer value");
}

} // namespace

bool TryStrToInt64(StringView text, std::int64_t& value) {
    bool negative;
    std::uint64_t m;
    if (!ParseInteger(text, negative, m)) return false;
    // Hexadecimal text may spell the full 64-bit pattern ("$FFFFFFFFFFFFFFFF" is -1).
    const std::uint64_t limit = negative ? std::uint64_t(1) << 63 : (std::uint64_t(1) << 63) - 1;
    if (m > limit) return false;
    value = negative ? static_cast<std::int64_t>(0 - m) : static_cast<std::int64_t>(m);
    return true;
}

bool TryStrToInt(StringView text, int& value) {
    std::int64_t v;
    if (!TryStrToInt64(text, v) || v < std::numeric_limits<int>::min() ||
        v > std::numeric_limits<int>::max())
        return false;
    value = static_cast<int>(v);
    return true;
}

std::int64_t StrToInt64(StringView text) {
    std::int64_t v;
    if (!TryStrToInt64(text, v)) RaiseInvalidInteger(text);
    return v;
}

int StrToInt(StringView text) {
    int v;
    if (!TryStrToInt(text, v)) RaiseInvalidInteger(text);
    return v;
}

std::int64_t StrToInt64Def(StringView text, std::int64_t fallback) {
    std::int64_t v;
    return TryStrToInt64(text, v) ? v : fallback;
}

int StrToIntDef(StringView text, int fallback) {
    int v;
    return TryStrToInt(text, v) ? v : fallback;
}

bool TryStrToFloat(StringView text, long double& value, const TFormatSettings& settings) {
    const String t = Trim(text);
    std::string ascii;
    ascii.reserve(t.size());
    std::size_t i = 0;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) ascii.push_back(static_cast<char>(t[i++]));
    bool digits = false, separator = false;
    for (; i < t.size(); ++i) {
        if (t[i] >= u'0' && t[i] <= u'9') {
            ascii.push_back(static_cast<char>(t[i]));
            digits = true;
        } else if (t[i] == settings.DecimalSeparator && !separator) {
            ascii.push_back('.');
            separator = true;
        } else {
            break;
        }
    }
    if (!digits) return false;
    if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
        ascii.push_back('e');
        ++i;
        if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
            ascii.push_back(static_cast<char>(t[i++]));
        bool expDigits = false;
        for (; i < t.size() && t[i] >= u'0' && t[i] <= u'9'; ++i) {
            ascii.push_back(static_cast<char>(t[i]));
            expDigits = true;
        }
        if (!expDigits) return false;
    }
    if (i != t.size()) return false;
    char* end = nullptr;
    const long double v = std::strtold(ascii.c_str(), &end);
    if (end != ascii.c_str() + ascii.size() || std::isinf(v)) return false;
    value = v;
    return true;
}

long double StrToFloat(StringView text, const TFormatSettings& settings) {
    long double v;
    if (!TryStrToFloat(text, v, settings))
        throw EConvertError(u"'" + String(text) + u"' is not a valid floating point value");
    return v;
}

String FloatToStrGeneral(long double value, int precision, const TFormatSettings& settings) {
    if (std::isnan(value)) return u"NAN";
    if (std::isinf(value)) return value < 0 ? u"-INF" : u"INF";
    if (precision < 1) precision = 1;
    if (precision > 18) precision = 18;
    if (value == 0) return u"0";

    // Round to `precision` significant digits once, then lay the digits out.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*Le", precision - 1, value);
    // buf: [-]d.ddddde[+-]xx
    std::string s(buf);
    const bool negative = s[0] == '-';
    if (negative) s.erase(0, 1);
    const std::size_t e = s.find('e');
    std::string mantissa = s.substr(0, e);
    const int exponent = std::atoi(s.c_str() + e + 1);
    std::string digits;
    for (char c : mantissa)
        if (c != '.') digits.push_back(c);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out;
    if (negative) out.push_back('-');
    const char sep = '\x01'; // placeholder for the settings' separator
    if (exponent < -4 || exponent >= precision) {
        out.push_back(digits[0]);
        if (digits.size() > 1) {
            out.push_back(sep);
            out.append(digits, 1, std::string::npos);
        }
        out.push_back('E');
        out.append(std::to_string(exponent));
    } else if (exponent < 0) {
        out.append("0");
        out.push_back(sep);
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out.append(digits);
    } else {
        const std::size_t intLen = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= intLen) {
            out.append(digits);
            out.append(intLen - digits.size(), '0');
        } else {
            out.append(digits, 0, intLen);
            out.push_back(sep);
            out.append(digits, intLen, std::string::npos);
        }
    }
    String result = AsciiToString(out);
    for (auto& c : result)
        if (c == u'\x01') c = settings.DecimalSeparator;
    return result;
}

String FloatToStr(long double value, const TFormatSettings& settings) {
    return FloatToStrGeneral(value, 15, settings);
}

String FloatToStrFixed(long double value, int decimals, const TFormatSettings& settings) {
    if (std::isnan(value)) return u"NAN";
    if (std::isinf(value)) return value < 0 ? u"-INF" : u"INF";
    char buf[128];
    std::snprintf(buf, sizeof buf, "%.*Lf",
                  decimals < 0    ? 0
                  : decimals > 18 ? 18
                                  : decimals,
                  value);
    String out = AsciiToString(buf);
    for (auto& c : out)
        if (c == u'.') c = settings.DecimalSeparator;
    return out;
}

String BoolToStr(bool value, bool useBoolStrs) {
    if (useBoolStrs) return value ? u"True" : u"False";
    return value ? u"-1" : u"0";
}

bool TryStrToBool(StringView text, bool& value) {
    if (SameText(text, u"true")) {
        value = true;
        return true;
    }
    if (SameText(text, u"false")) {
        value = false;
        return true;
    }
    long double number;
    if (TryStrToFloat(text, number)) {
        value = number != 0;
        return true;
    }
    return false;
}

bool StrToBool(StringView text) {
    bool v;
    if (!TryStrToBool(text, v))
        throw EConvertError(u"'" + String(text) + u"' is not a valid boolean value");
    return v;
}
