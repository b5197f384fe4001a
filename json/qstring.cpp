#include "qstring.h"

#include "RtlConvert.h"
#include "RtlEncoding.h"
#include "RtlException.h"
#include "RtlFileStream.h"
#include "qfloattext.h"

#include <cstdlib>
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

TQStringCatHelperW& TQStringCatHelperW::Cat(long double v) {
    char16_t buf[kFloatTextMax];
    return Cat(buf, FormatFloatGeneral15(v, buf));
}

TQStringCatHelperW& TQStringCatHelperW::CatCurrency(std::int64_t scaled) {
    const bool negative = scaled < 0;
    const std::uint64_t m =
        negative ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
    if (negative) Cat(u'-');
    CatUInt64(m / 10000);
    std::uint64_t frac = m % 10000;
    if (frac) {
        Cat(FormatSettings().DecimalSeparator);
        int width = 4;
        while (frac % 10 == 0) {
            frac /= 10;
            --width;
        }
        char16_t digits[4];
        for (int i = width - 1; i >= 0; --i, frac /= 10)
            digits[i] = static_cast<char16_t>(u'0' + frac % 10);
        Cat(digits, static_cast<std::size_t>(width));
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
    if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) return Utf8ToString(p + 3, n - 3);
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
    case teAnsi:
        return TEncoding::ANSI()->GetString(p, n);
    default:
        // Text that is not valid UTF-8 is read in the ANSI code page, which
        // on this system is UTF-8 as well: bad sequences become U+FFFD.
        return Utf8ToString(p, n);
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
    TEncoding* encoding;
    switch (AEncoding) {
    case teUTF8:
        encoding = TEncoding::UTF8();
        break;
    case teAnsi:
        encoding = TEncoding::ANSI();
        AWriteBom = false;
        break;
    case teUnicode16LE:
        encoding = TEncoding::Unicode();
        break;
    default:
        encoding = TEncoding::BigEndianUnicode();
        break;
    }
    TBytes out = AWriteBom ? encoding->GetPreamble() : TBytes{};
    const TBytes body = encoding->GetBytes(AText);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

void SaveTextW(TStream& AStream, StringView AText, TTextEncoding AEncoding, bool AWriteBom) {
    AStream.WriteBytes(EncodeText(AText, AEncoding, AWriteBom));
}
