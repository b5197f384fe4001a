#include "qstring.h"

#include "RtlConvert.h"
#include "RtlEncoding.h"
#include "RtlException.h"
#include "RtlFileStream.h"
#include "qfloattext.h"

#include <algorithm>
#include <cstdlib>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <memory>
#include <new>

// --- the builder -------------------------------------------------------------

TQStringCatHelperW::TQStringCatHelperW(std::size_t ABlockSize)
    : FBlockSize(ABlockSize ? ABlockSize : 8192) {
    // Reserve two blocks at once: most texts built here are short.
    Grow(FBlockSize * 2 - 1);
}

TQStringCatHelperW::~TQStringCatHelperW() {
    std::free(FValue);
}

void TQStringCatHelperW::Grow(std::size_t ACount) {
    const std::size_t used = GetPosition();
    const std::size_t needed = used + ACount;
    // The capacity is the smallest multiple of the block size above what is
    // needed, but at least half again the old one: growing by one block at a
    // time would copy a large text over and over.
    std::size_t size = (needed / FBlockSize + 1) * FBlockSize;
    const std::size_t geometric = FSize + FSize / 2;
    if (size < geometric) size = (geometric / FBlockSize + 1) * FBlockSize;
    auto* p = static_cast<char16_t*>(std::realloc(FValue, size * sizeof(char16_t)));
    if (!p) throw std::bad_alloc();
    FValue = FStart = p;
    FDest = p + used;
    FLast = p + size;
    FSize = size;
}

void TQStringCatHelperW::SetCurrent(char16_t* ACurrent) {
    if (ACurrent < FStart) ACurrent = FStart;
    if (ACurrent > FLast) ACurrent = FLast;
    FDest = ACurrent;
}

void TQStringCatHelperW::SetPosition(std::size_t APosition) {
    if (APosition > FSize) Grow(APosition - GetPosition());
    FDest = FStart + APosition;
}

TQStringCatHelperW& TQStringCatHelperW::CatQuoted(StringView s, char16_t AQuoter) {
    IncSize(s.size() + 2);
    Cat(AQuoter);
    for (char16_t c : s) {
        if (c == AQuoter) Cat(c);
        Cat(c);
    }
    return Cat(AQuoter);
}

TQStringCatHelperW& TQStringCatHelperW::CatUInt64(std::uint64_t v) {
    char16_t buf[24];
    char16_t* p = buf + 24;
    do {
        *--p = static_cast<char16_t>(u'0' + v % 10);
        v /= 10;
    } while (v);
    return Cat(p, static_cast<std::size_t>(buf + 24 - p));
}

TQStringCatHelperW& TQStringCatHelperW::CatInt64(std::int64_t v) {
    if (v >= 0) return CatUInt64(static_cast<std::uint64_t>(v));
    Cat(u'-');
    return CatUInt64(0 - static_cast<std::uint64_t>(v));
}

TQStringCatHelperW& TQStringCatHelperW::Cat(const long double& v) {
    IncSize(kFloatTextMax);
    FDest += FormatFloatGeneral15(v, FDest);
    return *this;
}

TQStringCatHelperW& TQStringCatHelperW::CatCurrency(std::int64_t scaled) {
    const bool negative = scaled < 0;
    const std::uint64_t m =
        negative ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
    if (negative) Cat(u'-');
    CatUInt64(m / 10000);
    const std::uint64_t frac = m % 10000;
    if (frac) {
        Cat(FormatSettings().DecimalSeparator);
        const char16_t digits[4] = {static_cast<char16_t>(u'0' + frac / 1000),
                                    static_cast<char16_t>(u'0' + frac / 100 % 10),
                                    static_cast<char16_t>(u'0' + frac / 10 % 10),
                                    static_cast<char16_t>(u'0' + frac % 10)};
        std::size_t width = 4;
        while (digits[width - 1] == u'0')
            --width; // stops at a non-zero digit: frac is not 0
        Cat(digits, width);
    }
    return *this;
}

TQStringCatHelperW& TQStringCatHelperW::Cat(const TGUID& v) {
    Cat(u'{').Cat(IntToHex(v.D1, 8)).Cat(u'-').Cat(IntToHex(v.D2, 4)).Cat(u'-');
    Cat(IntToHex(v.D3, 4)).Cat(u'-');
    for (int i = 0; i < 8; ++i) {
        if (i == 2) Cat(u'-');
        Cat(IntToHex(v.D4[i], 2));
    }
    return Cat(u'}');
}

TQStringCatHelperW& TQStringCatHelperW::Cat(const Variant& v) {
    if (v.IsArray()) {
        bool first = true;
        for (const Variant& e : v.Elements()) {
            if (!first) Cat(u',');
            first = false;
            Cat(e);
        }
        return *this;
    }
    switch (v.VarType()) {
    case varEmpty:
        return *this;
    case varNull:
        return Cat(u"null");
    case varBoolean:
        return Cat(v.AsBoolean());
    case varShortInt:
    case varSmallint:
    case varInteger:
    case varInt64:
    case varError:
        return CatInt64(v.AsInt64());
    case varByte:
    case varWord:
    case varLongWord:
    case varUInt64:
        return CatUInt64(v.AsUInt64());
    case varSingle:
    case varDouble:
    case varDate:
        return Cat(v.AsDouble());
    case varCurrency:
        return CatCurrency(v.AsInt64());
    case varOleStr:
    case varString:
    case varUString:
        return Cat(v.AsString());
    default:
        if (const TCustomVariantType* custom = v.Custom()) return Cat(custom->ToString());
        return *this;
    }
}

TQStringCatHelperW& TQStringCatHelperW::Replicate(StringView s, int count) {
    if (count > 0) IncSize(s.size() * static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        Cat(s);
    return *this;
}

TQStringCatHelperW& TQStringCatHelperW::Back(std::size_t n) {
    FDest = n >= GetPosition() ? FStart : FDest - n;
    return *this;
}

TQStringCatHelperW& TQStringCatHelperW::BackIf(StringView chars) {
    while (FDest > FStart) {
        const char16_t last = FDest[-1];
        if (IsLowSurrogate(last) && FDest - 1 > FStart && IsHighSurrogate(FDest[-2])) {
            const char16_t pair[2] = {FDest[-2], last};
            if (chars.find(StringView(pair, 2)) == StringView::npos) break;
            FDest -= 2;
        } else {
            if (chars.find(last) == StringView::npos) break;
            --FDest;
        }
    }
    return *this;
}

void TQStringCatHelperW::TrimRight() {
    while (FDest - FStart > 1 && IsQBlank(FDest[-1]))
        --FDest;
}

bool TQStringCatHelperW::EndWith(StringView s, bool AIgnoreCase) const {
    if (s.size() > GetPosition()) return false;
    const StringView tail(FDest - s.size(), s.size());
    return AIgnoreCase ? SameText(tail, s) : tail == s;
}

void TQStringCatHelperW::LoadFromFile(StringView AFileName) {
    const String text = LoadTextW(AFileName);
    Reset();
    Cat(text);
}

void TQStringCatHelperW::LoadFromStream(TStream& AStream) {
    const String text = LoadTextW(AStream);
    Reset();
    Cat(text);
}

// --- whole texts in bytes --------------------------------------------------------

namespace {

bool IsValidUtf8(const std::uint8_t* p, std::size_t n) {
    // The runtime's decoder replaces every invalid sequence, so only valid
    // input survives the way back unchanged.
    if (n == 0) return true;
    const std::string back = StringToUtf8(Utf8ToString(p, n));
    return back.size() == n && std::memcmp(back.data(), p, n) == 0;
}

} // namespace

namespace {

bool IsContinuation(std::uint8_t b) {
    return (b & 0xC0) == 0x80;
}

// The well-formed sequence at p (lead byte >= 0x80) as UTF-16 at d; returns
// its length in bytes, or 0 when it is not well formed (or cut off).
std::size_t WideFromSequence(const std::uint8_t* p, std::size_t left, char16_t*& d) {
    const std::uint8_t b = p[0];
    if (b >= 0xC2 && b <= 0xDF && left >= 2 && IsContinuation(p[1])) {
        *d++ = static_cast<char16_t>((b & 0x1F) << 6 | (p[1] & 0x3F));
        return 2;
    }
    if (b >= 0xE0 && b <= 0xEF && left >= 3 && IsContinuation(p[1]) && IsContinuation(p[2])) {
        const char32_t c = (b & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F);
        if (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF)) return 0; // overlong or a surrogate
        *d++ = static_cast<char16_t>(c);
        return 3;
    }
    if (b >= 0xF0 && b <= 0xF4 && left >= 4 && IsContinuation(p[1]) && IsContinuation(p[2]) &&
        IsContinuation(p[3])) {
        const char32_t c =
            (b & 0x07) << 18 | (p[1] & 0x3F) << 12 | (p[2] & 0x3F) << 6 | (p[3] & 0x3F);
        if (c < 0x10000 || c > 0x10FFFF) return 0;
        *d++ = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        *d++ = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        return 4;
    }
    return 0;
}

} // namespace

String DecodeUtf8(const std::uint8_t* p, std::size_t n) {
    // Every sequence gives at most one unit per byte, so n units suffice.
    String out(n, u'\0');
    char16_t* d = out.data();
    std::size_t i = 0;
    while (i < n) {
#ifdef __SSE2__
        // Sixteen ASCII bytes at a time, widened to units.
        while (n - i >= 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            if (_mm_movemask_epi8(v) != 0) break;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d),
                             _mm_unpacklo_epi8(v, _mm_setzero_si128()));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 8),
                             _mm_unpackhi_epi8(v, _mm_setzero_si128()));
            d += 16;
            i += 16;
        }
        if (i == n) break;
#endif
        if (p[i] < 0x80) {
            *d++ = p[i++];
            continue;
        }
        if (const std::size_t len = WideFromSequence(p + i, n - i, d)) {
            i += len;
            continue;
        }
        // Anything not well formed goes to the runtime's decoder, up to the
        // next ASCII byte, so that its replacement rules apply unchanged.
        std::size_t j = i + 1;
        while (j < n && p[j] >= 0x80)
            ++j;
        const String wide = Utf8ToString(p + i, j - i);
        std::memcpy(d, wide.data(), wide.size() * sizeof(char16_t));
        d += wide.size();
        i = j;
    }
    out.resize(static_cast<std::size_t>(d - out.data()));
    return out;
}

std::size_t EncodeUtf8To(StringView text, std::uint8_t* out) {
    std::uint8_t* d = out;
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
#ifdef __SSE2__
        // Eight ASCII units at a time, narrowed to bytes.
        while (n - i >= 8) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
            const __m128i high = _mm_subs_epu16(v, _mm_set1_epi16(0x7F));
            if (_mm_movemask_epi8(_mm_cmpeq_epi16(high, _mm_setzero_si128())) != 0xFFFF) break;
            _mm_storel_epi64(reinterpret_cast<__m128i*>(d), _mm_packus_epi16(v, v));
            d += 8;
            i += 8;
        }
        if (i == n) break;
#endif
        const char32_t c = text[i];
        if (c < 0x80) {
            *d++ = static_cast<std::uint8_t>(c);
        } else if (c < 0x800) {
            *d++ = static_cast<std::uint8_t>(0xC0 | c >> 6);
            *d++ = static_cast<std::uint8_t>(0x80 | (c & 0x3F));
        } else if (!IsHighSurrogate(text[i]) && !IsLowSurrogate(text[i])) {
            *d++ = static_cast<std::uint8_t>(0xE0 | c >> 12);
            *d++ = static_cast<std::uint8_t>(0x80 | (c >> 6 & 0x3F));
            *d++ = static_cast<std::uint8_t>(0x80 | (c & 0x3F));
        } else if (IsHighSurrogate(text[i]) && i + 1 < n && IsLowSurrogate(text[i + 1])) {
            const char32_t cp = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
            *d++ = static_cast<std::uint8_t>(0xF0 | cp >> 18);
            *d++ = static_cast<std::uint8_t>(0x80 | (cp >> 12 & 0x3F));
            *d++ = static_cast<std::uint8_t>(0x80 | (cp >> 6 & 0x3F));
            *d++ = static_cast<std::uint8_t>(0x80 | (cp & 0x3F));
        } else {
            // A lone surrogate: the runtime's replacement.
            const std::string bytes = StringToUtf8(text.substr(i, 1));
            std::memcpy(d, bytes.data(), bytes.size());
            d += bytes.size();
        }
    }
    return static_cast<std::size_t>(d - out);
}

void AppendUtf8(StringView text, TBytes& out) {
    const std::size_t start = out.size();
    out.resize(start + text.size() * 3);
    out.resize(start + EncodeUtf8To(text, out.data() + start));
}

TTextEncoding DetectTextEncoding(const std::uint8_t* p, std::size_t n) {
    std::size_t le = 0, be = 0;
    for (std::size_t i = 0; i + 1 < n; i += 2) {
        if (p[i] != 0 && p[i] < 0x80 && p[i + 1] == 0) ++le;
        if (p[i] == 0 && p[i + 1] != 0 && p[i + 1] < 0x80) ++be;
    }
    if (le || be) return le >= be ? teUnicode16LE : teUnicode16BE;
    return IsValidUtf8(p, n) ? teUTF8 : teAnsi;
}

String DecodeText(const std::uint8_t* p, std::size_t n, TTextEncoding AEncoding) {
    if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) return DecodeUtf8(p + 3, n - 3);
    if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE)
        return TEncoding::Unicode()->GetString(p + 2, n - 2);
    if (n >= 2 && p[0] == 0xFE && p[1] == 0xFF)
        return TEncoding::BigEndianUnicode()->GetString(p + 2, n - 2);
    if (AEncoding == teUnknown || AEncoding == teAuto) AEncoding = DetectTextEncoding(p, n);
    switch (AEncoding) {
    case teUnicode16LE:
        return TEncoding::Unicode()->GetString(p, n);
    case teUnicode16BE:
        return TEncoding::BigEndianUnicode()->GetString(p, n);
    default:
        // The ANSI code page is UTF-8 on this system, so text that is not
        // valid UTF-8 reads the same way: bad sequences become U+FFFD.
        static_assert(kAnsiCodePage == CP_UTF8, "teAnsi is decoded as UTF-8");
        return DecodeUtf8(p, n);
    }
}

String LoadTextW(TStream& AStream, TTextEncoding AEncoding) {
    const TBytes bytes = AStream.ReadAll();
    return DecodeText(bytes.data(), bytes.size(), AEncoding);
}

String LoadTextW(StringView AFileName, TTextEncoding AEncoding) {
    TFileStream stream(AFileName, fmOpenRead | fmShareDenyWrite);
    return LoadTextW(stream, AEncoding);
}

TBytes EncodeText(StringView AText, TTextEncoding AEncoding, bool AWriteBom) {
    TBytesStream stream;
    SaveTextW(stream, AText, AEncoding, AWriteBom);
    return stream.DataBytes();
}

void SaveTextW(TStream& AStream, StringView AText, TTextEncoding AEncoding, bool AWriteBom) {
    // The ANSI code page is UTF-8 here; only teUTF8 writes a mark for it.
    static_assert(kAnsiCodePage == CP_UTF8, "teAnsi is encoded as UTF-8");
    const bool utf8 = AEncoding == teUTF8 || AEncoding == teAnsi;
    TEncoding* const wide =
        AEncoding == teUnicode16LE ? TEncoding::Unicode() : TEncoding::BigEndianUnicode();
    if (AWriteBom && AEncoding != teAnsi)
        AStream.WriteBytes(utf8 ? TBytes{0xEF, 0xBB, 0xBF} : wide->GetPreamble());
    // Piece by piece through one buffer, so that a long text is never held
    // twice more in bytes; a piece never ends inside a surrogate pair.
    constexpr std::size_t kPiece = 64 * 1024;
    const std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[kPiece * 3]);
    for (std::size_t i = 0; i < AText.size();) {
        std::size_t n = std::min(kPiece, AText.size() - i);
        if (i + n < AText.size() && IsHighSurrogate(AText[i + n - 1])) --n;
        const StringView piece = AText.substr(i, n);
        if (utf8) {
            AStream.WriteBuffer(buffer.get(),
                                static_cast<std::int64_t>(EncodeUtf8To(piece, buffer.get())));
        } else {
            const TBytes bytes = wide->GetBytes(piece);
            AStream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
        }
        i += n;
    }
}
