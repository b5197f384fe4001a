#include "RtlString.h"

#include "PlatformUtf.h"

#include <algorithm>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Length of a well-formed UTF-8 sequence starting at s[i], or 0 with the
// number of bytes that form the maximal invalid subsequence in `skip`.
std::size_t DecodeUtf8At(const std::uint8_t* s, std::size_t n, std::size_t i, char32_t& cp,
                         std::size_t& skip) {
    const std::uint8_t b0 = s[i];
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    std::size_t len;
    char32_t min;
    std::uint8_t lo = 0x80, hi = 0xBF; // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2, min = 0x80, cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3, min = 0x800, cp = b0 & 0x0F;
        if (b0 == 0xE0) lo = 0xA0;
        if (b0 == 0xED) hi = 0x9F; // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4, min = 0x10000, cp = b0 & 0x07;
        if (b0 == 0xF0) lo = 0x90;
        if (b0 == 0xF4) hi = 0x8F; // nothing above U+10FFFF
    } else {
        skip = 1;
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        if (i + k >= n) {
            skip = k;
            return 0;
        }
        const std::uint8_t b = s[i + k];
        const std::uint8_t l = k == 1 ? lo : 0x80, h = k == 1 ? hi : 0xBF;
        if (b < l || b > h) {
            skip = k;
            return 0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    (void)min;
    return len;
}

} // namespace

void AppendCodePoint(String& out, char32_t cp) {
    if (cp > 0x10FFFF) cp = kReplacement;
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

char32_t ReadCodePoint(StringView text, std::size_t& index) {
    char32_t cp = text[index++];
    if (IsHighSurrogate(text[index - 1]) && index < text.size() && IsLowSurrogate(text[index]))
        cp = 0x10000 + ((cp - 0xD800) << 10) + (text[index++] - 0xDC00);
    return cp;
}

String Utf8ToString(const std::uint8_t* s, std::size_t n) {
    String out;
    out.reserve(n);
    std::size_t i = 0;
    while (i < n) {
        // Fast path for runs of ASCII.
        if (s[i] < 0x80) {
            out.push_back(s[i++]);
            continue;
        }
        char32_t cp = 0;
        std::size_t skip = 0;
        const std::size_t len = DecodeUtf8At(s, n, i, cp, skip);
        if (len) {
            AppendCodePoint(out, cp);
            i += len;
        } else {
            out.push_back(static_cast<char16_t>(kReplacement));
            i += skip;
        }
    }
    return out;
}

String Utf8ToString(std::string_view utf8) {
    return Utf8ToString(reinterpret_cast<const std::uint8_t*>(utf8.data()), utf8.size());
}

std::string StringToUtf8(StringView text) {
    return platform::Utf16ToUtf8(text);
}

TBytes StringToUtf8Bytes(StringView text) {
    const std::string utf8 = platform::Utf16ToUtf8(text);
    return TBytes(utf8.begin(), utf8.end());
}

String AsciiToString(std::string_view ascii) {
    String out(ascii.size(), u'\0');
    for (std::size_t i = 0; i < ascii.size(); ++i)
        out[i] = static_cast<unsigned char>(ascii[i]);
    return out;
}

std::string StringToAscii(StringView text) {
    std::string out(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        out[i] = text[i] <= 0xFF ? static_cast<char>(text[i]) : '?';
    return out;
}

char16_t AsciiUpper(char16_t c) {
    return c >= u'a' && c <= u'z' ? c - 32 : c;
}
char16_t AsciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? c + 32 : c;
}

String UpperCase(StringView text) {
    String out(text);
    for (auto& c : out)
        c = AsciiUpper(c);
    return out;
}

String LowerCase(StringView text) {
    String out(text);
    for (auto& c : out)
        c = AsciiLower(c);
    return out;
}

int CompareStr(StringView a, StringView b) {
    const int r = a.compare(b);
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

int CompareText(StringView a, StringView b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t x = AsciiUpper(a[i]), y = AsciiUpper(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool SameStr(StringView a, StringView b) {
    return a == b;
}

bool SameText(StringView a, StringView b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

bool StartsText(StringView prefix, StringView text) {
    return text.size() >= prefix.size() && SameText(prefix, text.substr(0, prefix.size()));
}

bool EndsText(StringView suffix, StringView text) {
    return text.size() >= suffix.size() &&
           SameText(suffix, text.substr(text.size() - suffix.size()));
}

String TrimLeft(StringView text) {
    std::size_t b = 0;
    while (b < text.size() && text[b] <= u' ')
        ++b;
    return String(text.substr(b));
}

String TrimRight(StringView text) {
    std::size_t e = text.size();
    while (e > 0 && text[e - 1] <= u' ')
        --e;
    return String(text.substr(0, e));
}

String Trim(StringView text) {
    std::size_t b = 0, e = text.size();
    while (b < e && text[b] <= u' ')
        ++b;
    while (e > b && text[e - 1] <= u' ')
        --e;
    return String(text.substr(b, e - b));
}

std::size_t PosText(StringView needle, StringView haystack, std::size_t from) {
    if (needle.empty()) return from <= haystack.size() ? from : String::npos;
    if (haystack.size() < needle.size()) return String::npos;
    for (std::size_t i = from; i + needle.size() <= haystack.size(); ++i)
        if (SameText(needle, haystack.substr(i, needle.size()))) return i;
    return String::npos;
}

String StringReplaceAll(StringView text, StringView from, StringView to) {
    if (from.empty()) return String(text);
    String out;
    std::size_t i = 0;
    for (;;) {
        const std::size_t p = text.find(from, i);
        if (p == StringView::npos) break;
        out.append(text.substr(i, p - i));
        out.append(to);
        i = p + from.size();
    }
    out.append(text.substr(i));
    return out;
}

std::vector<String> SplitString(StringView text, char16_t separator) {
    std::vector<String> parts;
    std::size_t i = 0;
    for (;;) {
        const std::size_t p = text.find(separator, i);
        if (p == StringView::npos) break;
        parts.emplace_back(text.substr(i, p - i));
        i = p + 1;
    }
    parts.emplace_back(text.substr(i));
    return parts;
}
