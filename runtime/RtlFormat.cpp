#include "RtlFormat.h"

#include "RtlConvert.h"
#include "RtlException.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

[[noreturn]] void RaiseInvalid(StringView format) {
    throw EConvertError(u"Format '" + String(format) + u"' invalid or incompatible with argument");
}

String Pad(String text, int width, bool left) {
    if (width > static_cast<int>(text.size())) {
        const String fill(static_cast<std::size_t>(width) - text.size(), u' ');
        text = left ? text + fill : fill + text;
    }
    return text;
}

// Inserts thousand separators into the integer part of a plain number text.
String GroupThousands(const String& text, char16_t decimal, char16_t thousand) {
    std::size_t start = (!text.empty() && text[0] == u'-') ? 1 : 0;
    std::size_t end = text.find(decimal);
    if (end == String::npos) end = text.size();
    String out = text.substr(0, start);
    const std::size_t n = end - start;
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out.push_back(thousand);
        out.push_back(text[start + i]);
    }
    out.append(text.substr(end));
    return out;
}

String FormatExponent(long double v, int precision, const TFormatSettings& s) {
    // Runtime form: d.ddd...E+ddd with `precision` significant digits (default 15).
    if (precision < 1 || precision > 18) precision = 15;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*LE", precision - 1, v);
    std::string t(buf);
    const std::size_t e = t.find('E');
    std::string exp = t.substr(e + 2);
    while (exp.size() < 3) exp.insert(exp.begin(), '0');
    t = t.substr(0, e + 2) + exp;
    String out = AsciiToString(t);
    for (auto& c : out)
        if (c == u'.') c = s.DecimalSeparator;
    return out;
}

} // namespace

String Format(StringView format, std::initializer_list<TVarRec> argList,
              const TFormatSettings& settings) {
    const std::vector<const TVarRec*> args = [&] {
        std::vector<const TVarRec*> v;
        for (const auto& a : argList) v.push_back(&a);
        return v;
    }();
    String out;
    std::size_t next = 0; // next argument index
    const std::size_t n = format.size();
    std::size_t i = 0;

    auto readNumber = [&](int& value) -> bool {
        if (i < n && format[i] == u'*') {
            ++i;
            if (next >= args.size() || args[next]->GetKind() != TVarRec::Kind::Int) RaiseInvalid(format);
            value = static_cast<int>(args[next++]->AsInt());
            return true;
        }
        bool any = false;
        value = 0;
        while (i < n && format[i] >= u'0' && format[i] <= u'9') {
            value = value * 10 + (format[i++] - u'0');
            if (value > 100000) RaiseInvalid(format);
            any = true;
        }
        return any;
    };

    while (i < n) {
        const char16_t c = format[i++];
        if (c != u'%') {
            out.push_back(c);
            continue;
        }
        if (i < n && format[i] == u'%') {
            out.push_back(u'%');
            ++i;
            continue;
        }
        // [index ":"] ["-"] [width] ["." prec] type
        int number = -1;
        bool left = false;
        int width = -1, precision = -1;
        {
            const std::size_t save = i;
            int v;
            if (readNumber(v) && i < n && format[i] == u':') {
                ++i;
                next = static_cast<std::size_t>(v);
            } else {
                i = save;
            }
        }
        if (i < n && format[i] == u'-') {
            left = true;
            ++i;
        }
        if (int v; readNumber(v)) width = v;
        if (i < n && format[i] == u'.') {
            ++i;
            int v;
            precision = readNumber(v) ? v : 0;
        }
        (void)number;
        if (i >= n) RaiseInvalid(format);
        const char16_t type = AsciiLower(format[i++]);
        if (next >= args.size()) RaiseInvalid(format);
        const TVarRec& a = *args[next++];
        String piece;
        using K = TVarRec::Kind;
        switch (type) {
        case u'd':
        case u'u': {
            if (a.GetKind() == K::Int) {
                std::int64_t v = a.AsInt();
                if (type == u'u' && v < 0) v = static_cast<std::int64_t>(static_cast<std::uint32_t>(v));
                piece = IntToStr(v < 0 ? -v : v);
                if (v == INT64_MIN) piece = u"9223372036854775808";
                while (precision > static_cast<int>(piece.size())) piece.insert(piece.begin(), u'0');
                if (v < 0) piece.insert(piece.begin(), u'-');
            } else if (a.GetKind() == K::UInt) {
                piece = UIntToStr(a.AsUInt());
                while (precision > static_cast<int>(piece.size())) piece.insert(piece.begin(), u'0');
            } else {
                RaiseInvalid(format);
            }
            break;
        }
        case u'x': {
            std::uint64_t v;
            if (a.GetKind() == K::Int) v = static_cast<std::uint64_t>(a.AsInt());
            else if (a.GetKind() == K::UInt) v = a.AsUInt();
            else RaiseInvalid(format);
            piece = IntToHex(v, precision < 0 ? 0 : precision);
            break;
        }
        case u'e':
        case u'f':
        case u'g':
        case u'n':
        case u'm': {
            long double v;
            if (a.GetKind() == K::Float) v = a.AsFloat();
            else RaiseInvalid(format);
            if (type == u'e') {
                piece = FormatExponent(v, precision, settings);
            } else if (type == u'g') {
                piece = FloatToStrGeneral(v, precision < 0 ? 15 : precision, settings);
            } else {
                const int decimals = precision < 0 ? 2 : precision;
                piece = FloatToStrFixed(v, decimals, settings);
                if (type != u'f' && std::isfinite(v))
                    piece = GroupThousands(piece, settings.DecimalSeparator, settings.ThousandSeparator);
            }
            break;
        }
        case u's': {
            if (a.GetKind() != K::Text) RaiseInvalid(format);
            piece = a.AsText();
            if (precision >= 0 && static_cast<std::size_t>(precision) < piece.size())
                piece.resize(static_cast<std::size_t>(precision));
            break;
        }
        case u'p': {
            if (a.GetKind() != K::Pointer) RaiseInvalid(format);
            piece = IntToHex(reinterpret_cast<std::uintptr_t>(a.AsPointer()), 16);
            break;
        }
        default:
            RaiseInvalid(format);
        }
        out += Pad(std::move(piece), width, left);
    }
    return out;
}
