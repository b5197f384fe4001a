// The writer: a TQJson tree as JSON text, with or without line breaks and
// indentation, escaping, comments and the other encode settings.
#include "qjson.h"

#include "qjson_datetime.h"

#include <cmath>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// What an ASCII unit becomes inside a string: 0 = itself, 'u' = a \u00XX
// escape, any other letter = that two-character escape.
struct EscapeTable {
    char16_t v[128] = {};
    constexpr EscapeTable() {
        // Every control character must be escaped for the text to be JSON at
        // all; U+0007, U+000B and U+001F included, and U+0000 does not end the text.
        for (int c = 0; c < 0x20; ++c)
            v[c] = u'u';
        v[0x08] = u'b';
        v[0x09] = u't';
        v[0x0A] = u'n';
        v[0x0C] = u'f';
        v[0x0D] = u'r';
        v[u'"'] = u'"';
        v[u'\\'] = u'\\';
    }
};
constexpr EscapeTable kEscapes;

constexpr char16_t kHex[] = u"0123456789abcdef";

} // namespace

// Writing one tree: the settings and the call's root, and the builder the text goes to.
class TQJsonWriter {
public:
    TQJsonWriter(TQStringCatHelperW& ABuilder, TJsonEncodeSettings ASettings, StringView AIndent,
                 const TQJson* ARoot)
        : FBuilder(ABuilder), FSettings(ASettings), FIndent(AIndent), FRoot(ARoot),
          FDoFormat(ASettings.Contains(jesDoFormat)), FDoEscape(ASettings.Contains(jesDoEscape)),
          FWithComment(ASettings.Contains(jesWithComment)) {}

    void WriteNode(const TQJson* ANode, int ALevel);

private:
    bool IsIgnored(const TQJson* AChild) const;
    bool CommentGoes(const TQJson* ANode, TQJsonCommentStyle AWhere) const;
    void WriteComment(const String& AComment);
    void WriteIndent(int ALevel) { FBuilder.Replicate(FIndent, ALevel); }
    void WriteLineBreak() { FBuilder.Cat(u"\r\n", 2); }
    void WriteArray(const TQJson* ANode, int ALevel);
    void WriteObject(const TQJson* ANode, int ALevel);

    TQStringCatHelperW& FBuilder;
    TJsonEncodeSettings FSettings;
    StringView FIndent;
    const TQJson* FRoot;
    bool FDoFormat, FDoEscape, FWithComment;
};

bool TQJsonWriter::IsIgnored(const TQJson* AChild) const {
    const bool ignoreDefault = FSettings.Contains(jesIgnoreDefault);
    if (!ignoreDefault && !FSettings.Contains(jesIgnoreNull)) return false;
    switch (AChild->FDataType) {
    case jdtNull:
    case jdtUnknown:
        return true;
    case jdtBcd:
        return false;
    default:
        break;
    }
    if (!ignoreDefault) return false;
    switch (AChild->FDataType) {
    case jdtString:
        return AChild->FValue.AsString.empty();
    case jdtInteger:
        return AChild->FValue.AsInt64 == 0;
    case jdtFloat:
        return std::fabs(AChild->FValue.AsFloat) <= 1e-16L;
    case jdtBoolean:
        return !AChild->FValue.AsBoolean;
    case jdtDateTime:
        return std::fabs(AChild->FValue.AsFloat) <= 1e-12L;
    case jdtArray:
    case jdtObject:
        return AChild->Items().empty();
    default:
        return false;
    }
}

bool TQJsonWriter::CommentGoes(const TQJson* ANode, TQJsonCommentStyle AWhere) const {
    if (!FWithComment || ANode->GetComment().empty()) return false;
    return ANode->FCommentStyle == AWhere ||
           (ANode->FCommentStyle == jcsInherited && FRoot->FCommentStyle == AWhere);
}

void TQJsonWriter::WriteComment(const String& AComment) {
    // One line comment per line of the text; CR LF and LF end a line.
    std::size_t from = 0;
    while (from <= AComment.size()) {
        std::size_t lf = AComment.find(u'\n', from);
        if (lf == String::npos) lf = AComment.size();
        std::size_t to = lf;
        if (to > from && AComment[to - 1] == u'\r') --to;
        FBuilder.Cat(u"//", 2).Cat(AComment.data() + from, to - from);
        WriteLineBreak();
        from = lf + 1;
    }
}

void TQJsonWriter::WriteNode(const TQJson* ANode, int ALevel) {
    if (CommentGoes(ANode, jcsBeforeName)) WriteComment(ANode->GetComment());
    if (ANode->FParent && ANode->FParent->FDataType != jdtArray && ANode != FRoot) {
        if (FDoFormat) WriteIndent(ALevel);
        FBuilder.Cat(u'"');
        TQJson::JsonCat(FBuilder, ANode->FName, FDoEscape);
        FBuilder.Cat(u"\":", 2);
    }
    switch (ANode->FDataType) {
    case jdtString:
        FBuilder.Cat(u'"');
        TQJson::JsonCat(FBuilder, ANode->FValue.AsString, FDoEscape);
        FBuilder.Cat(u'"');
        break;
    case jdtInteger:
        FBuilder.CatInt64(ANode->FValue.AsInt64);
        break;
    case jdtFloat:
        FBuilder.Cat(ANode->FValue.AsFloat);
        break;
    case jdtBoolean:
        FBuilder.Cat(ANode->FValue.AsBoolean);
        break;
    case jdtBcd:
        FBuilder.Cat(BcdToStr(*ANode->FValue.AsBcd));
        break;
    case jdtDateTime:
        FBuilder.Cat(u'"');
        FBuilder.Cat(FSettings.Contains(jesJavaDateTime)
                         ? FormatJavaDateTime(ANode->FValue.AsFloat)
                         : FormatJsonDateTime(ANode->FValue.AsFloat));
        FBuilder.Cat(u'"');
        break;
    case jdtArray:
        WriteArray(ANode, ALevel);
        break;
    case jdtObject:
        WriteObject(ANode, ALevel);
        break;
    default:
        if (FSettings.Contains(jesNullAsString))
            FBuilder.Cat(u"\"\"", 2);
        else
            FBuilder.Cat(u"null", 4);
        break;
    }
    if (CommentGoes(ANode, jcsAfterValue)) {
        WriteComment(ANode->GetComment());
        if (FDoFormat) WriteIndent(ALevel);
    }
    FBuilder.Cat(u',');
}

void TQJsonWriter::WriteArray(const TQJson* ANode, int ALevel) {
    FBuilder.Cat(u'[');
    bool any = false, brokeLine = false;
    for (const TQJson* child : ANode->Items()) {
        if (IsIgnored(child)) continue;
        // Containers start on their own line; scalars stay on one line: [1,2,3].
        if (FDoFormat && child->IsContainer()) {
            WriteLineBreak();
            WriteIndent(ALevel + 1);
            brokeLine = true;
        }
        WriteNode(child, ALevel + 1);
        any = true;
    }
    if (any) FBuilder.Back(1);
    if (brokeLine) {
        WriteLineBreak();
        WriteIndent(ALevel);
    }
    FBuilder.Cat(u']');
}

void TQJsonWriter::WriteObject(const TQJson* ANode, int ALevel) {
    FBuilder.Cat(u'{');
    if (FDoFormat) WriteLineBreak();
    bool any = false;
    for (const TQJson* child : ANode->Items()) {
        if (IsIgnored(child)) continue;
        WriteNode(child, ALevel + 1);
        if (FDoFormat) WriteLineBreak();
        any = true;
    }
    if (any) {
        if (FDoFormat) FBuilder.BackIf(u" \t\n\r");
        FBuilder.Back(1);
        if (FDoFormat) {
            WriteLineBreak();
            WriteIndent(ALevel);
        }
    } else {
        FBuilder.BackIf(u" \t\n\r");
    }
    FBuilder.Cat(u'}');
}

// --- TQJson ----------------------------------------------------------------------

void TQJson::JsonCat(TQStringCatHelperW& ABuilder, StringView S, bool ADoEscape) {
    // The text goes in pieces, each with room for its worst case (six
    // characters a unit, \uXXXX) reserved up front, so the inner loop needs
    // no capacity checks and a long text does not reserve six times its size.
    constexpr std::size_t kPiece = 4096;
    const char16_t* p = S.data();
    const char16_t* const end = p + S.size();
    while (p < end) {
        const char16_t* const pieceEnd =
            end - p > static_cast<std::ptrdiff_t>(kPiece) ? p + kPiece : end;
        ABuilder.IncSize(static_cast<std::size_t>(pieceEnd - p) * 6);
        char16_t* d = ABuilder.GetCurrent();
        while (p < pieceEnd) {
#ifdef __SSE2__
            // Eight units at a time while none of them needs an escape.
            const __m128i quote = _mm_set1_epi16(u'"'), backslash = _mm_set1_epi16(u'\\');
            const __m128i space = _mm_set1_epi16(0x20), tilde = _mm_set1_epi16(0x7E);
            while (pieceEnd - p >= 8) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
                __m128i special = _mm_or_si128(
                    _mm_subs_epu16(space, v), // below U+0020
                    _mm_or_si128(_mm_cmpeq_epi16(v, quote), _mm_cmpeq_epi16(v, backslash)));
                if (ADoEscape) special = _mm_or_si128(special, _mm_subs_epu16(v, tilde));
                if (_mm_movemask_epi8(_mm_cmpeq_epi16(special, _mm_setzero_si128())) != 0xFFFF)
                    break;
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d), v);
                p += 8;
                d += 8;
            }
            if (p == pieceEnd) break;
#endif
            const char16_t c = *p++;
            if (c < 0x80) {
                const char16_t e = kEscapes.v[c];
                if (e == 0 && !(ADoEscape && c == 0x7F)) {
                    *d++ = c;
                    continue;
                }
                if (e != 0 && e != u'u') {
                    *d++ = u'\\';
                    *d++ = e;
                    continue;
                }
            } else if (!ADoEscape) {
                *d++ = c;
                continue;
            }
            *d++ = u'\\';
            *d++ = u'u';
            *d++ = kHex[c >> 12];
            *d++ = kHex[(c >> 8) & 0xF];
            *d++ = kHex[(c >> 4) & 0xF];
            *d++ = kHex[c & 0xF];
        }
        ABuilder.SetCurrent(d);
    }
}

String TQJson::JsonCat(StringView S, bool ADoEscape) {
    TQStringCatHelperW builder(S.size() + 16);
    JsonCat(builder, S, ADoEscape);
    return builder.GetValue();
}

String TQJson::JsonEscape(StringView S, bool ADoEscape) {
    return JsonCat(S, ADoEscape);
}

String TQJson::Encode(bool ADoFormat, bool ADoEscape, const String& AIndent) const {
    TJsonEncodeSettings settings;
    if (ADoFormat) settings = settings | jesDoFormat;
    if (ADoEscape) settings = settings | jesDoEscape;
    return Encode(settings, AIndent);
}

void TQJson::EncodeTo(TQStringCatHelperW& ABuilder, TJsonEncodeSettings ASettings,
                      const String& AIndent) const {
    TQJsonWriter(ABuilder, ASettings, AIndent, this).WriteNode(this, 0);
    ABuilder.Back(1); // the "," every node ends with
}

String TQJson::Encode(TJsonEncodeSettings ASettings, const String& AIndent) const {
    TQStringCatHelperW builder;
    EncodeTo(builder, ASettings, AIndent);
    return builder.GetValue();
}
