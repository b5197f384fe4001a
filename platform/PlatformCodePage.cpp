#include "PlatformCodePage.h"

#include <unicode/ucnv.h>

#include <climits>
#include <utility>

namespace platform {

namespace {

// The ANSI code page of this system.
constexpr const char* kAnsiConverter = "UTF-8";

// Names that the Windows lookup resolves differently from the converter
// library. Strict GB 2312 refuses characters that Windows maps, so the
// Chinese names go to GBK; "utf-16" and "unicode" are little-endian there and
// carry no byte-order mark.
struct TAlias {
    const char* name;
    const char* converter;
};
constexpr TAlias kAliases[] = {
    {"gb2312", "windows-936"}, {"x-gbk", "windows-936"}, {"chinese", "windows-936"},
    {"utf-16", "UTF-16LE"},    {"unicode", "UTF-16LE"},
};

// Longest text the converters are asked to handle in one piece; their
// lengths are 32-bit and the output may be several times the input.
constexpr std::size_t kMaxLength = INT32_MAX / 8;

bool IsNameChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'.' || c == u'_' || c == u':' || c == u'+' || c == u'-';
}

std::string SanitisedName(std::u16string_view charSet) {
    std::string name;
    for (char16_t c : charSet)
        if (IsNameChar(c)) name.push_back(static_cast<char>(c));
    return name;
}

std::string AliasOf(const std::string& name) {
    std::string lower = name;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    for (const TAlias& alias : kAliases)
        if (lower == alias.name) return alias.converter;
    return name;
}

UConverter* OpenConverter(const std::string& name) {
    UErrorCode error = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(name.c_str(), &error);
    if (U_FAILURE(error)) return nullptr;
    // "?" as substitute. Substitute bytes must be a whole character of the
    // target, so encodings with wider units take it as text instead.
    error = U_ZERO_ERROR;
    ucnv_setSubstChars(converter, "?", 1, &error);
    if (U_FAILURE(error)) {
        static const UChar kQuestionMark[] = {u'?'};
        error = U_ZERO_ERROR;
        ucnv_setSubstString(converter, kQuestionMark, 1, &error);
    }
    return converter;
}

// Opens the converter for a charset name, falling back to the ANSI code page
// for an empty or unknown name.
std::pair<UConverter*, std::string> Resolve(std::u16string_view charSet) {
    const std::string name = AliasOf(SanitisedName(charSet));
    if (!name.empty()) {
        if (UConverter* converter = OpenConverter(name)) {
            UErrorCode error = U_ZERO_ERROR;
            const char* canonical = ucnv_getName(converter, &error);
            return {converter, U_SUCCESS(error) ? canonical : name};
        }
    }
    return {OpenConverter(kAnsiConverter), kAnsiConverter};
}

// Runs a whole-string conversion into `out`, which is sized for the usual
// case; when a substitute makes the output longer it is resized to the length
// the converter asks for and run once more. `out` holds exactly the output on
// success and nothing on failure.
template <typename Buffer, typename Convert> bool ConvertInto(Buffer& out, Convert convert) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        UErrorCode error = U_ZERO_ERROR;
        const int32_t written = convert(static_cast<int32_t>(out.size()), &error);
        if (error == U_BUFFER_OVERFLOW_ERROR && written > 0) {
            out.resize(static_cast<std::size_t>(written));
            continue;
        }
        if (U_FAILURE(error)) break;
        out.resize(static_cast<std::size_t>(written));
        return true;
    }
    out.clear();
    return false;
}

} // namespace

std::string CodePageResolvedName(std::u16string_view charSet) {
    return TCodePage(charSet).Name();
}

TCodePage::TCodePage(std::u16string_view charSet) {
    std::tie(FConverter, FName) = Resolve(charSet);
    if (FConverter) FByteOriented = ucnv_getMinCharSize(FConverter) == 1;
}

TCodePage::~TCodePage() {
    if (FConverter) ucnv_close(FConverter);
}

bool TCodePage::Encode(std::u16string_view text, std::vector<std::uint8_t>& bytes) const {
    bytes.clear();
    if (!FConverter || text.size() > kMaxLength) return false;
    if (text.empty()) return true;
    const auto length = static_cast<int32_t>(text.size());
    bytes.resize(UCNV_GET_MAX_BYTES_FOR_STRING(length, ucnv_getMaxCharSize(FConverter)));
    return ConvertInto(bytes, [&](int32_t capacity, UErrorCode* error) {
        return ucnv_fromUChars(FConverter, reinterpret_cast<char*>(bytes.data()), capacity,
                               text.data(), length, error);
    });
}

bool TCodePage::Decode(const std::uint8_t* data, std::size_t size, std::u16string& text) const {
    text.clear();
    if (!FConverter || size > kMaxLength) return false;
    if (size == 0) return true;
    const auto length = static_cast<int32_t>(size);
    text.resize(size * 2 + 16);
    return ConvertInto(text, [&](int32_t capacity, UErrorCode* error) {
        return ucnv_toUChars(FConverter, text.data(), capacity, reinterpret_cast<const char*>(data),
                             length, error);
    });
}

} // namespace platform
