#include "clTranslator.h"

#include "PlatformCodePage.h"

#include <algorithm>
#include <limits>

namespace {

constexpr char16_t kBadUtf8Char = 0x20AC;

// Text to bytes with the platform converter; when the converter itself fails
// the text goes out through the built-in codec, which is the ANSI code page.
TBytes Encode(StringView text, StringView charSet) {
    TBytes bytes;
    if (platform::TCodePage(charSet).Encode(text, bytes)) return bytes;
    return TclTranslator::GetUtf8Bytes(text);
}

String Decode(const platform::TCodePage& codePage, const std::uint8_t* data, std::size_t size) {
    String text;
    if (codePage.Decode(data, size, text)) return text;
    return TclTranslator::GetStringFromUtf8(TBytes(data, data + size));
}

// Cuts an (index, count) range to the bytes that exist.
std::pair<std::size_t, std::size_t> ClampRange(std::size_t size, int index, int count) {
    if (count <= 0) return {0, 0};
    const std::size_t from = std::min(static_cast<std::size_t>(std::max(index, 0)), size);
    return {from, std::min(static_cast<std::size_t>(count), size - from)};
}

bool IsContinuation(std::uint8_t b) {
    return b >= 0x80 && b <= 0xBF;
}

bool IsUtf8Range(const std::uint8_t* p, std::size_t n) {
    bool sawHighByte = false;
    std::size_t i = 0;
    while (i < n) {
        const std::uint8_t lead = p[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        sawHighByte = true;
        // The first continuation byte carries the limits that rule out
        // overlong forms and values above U+10FFFF.
        std::size_t trail;
        std::uint8_t low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            trail = 1;
        } else if (lead == 0xE0) {
            trail = 2;
            low = 0xA0;
        } else if (lead >= 0xE1 && lead <= 0xEF) {
            trail = 2;
        } else if (lead == 0xF0) {
            trail = 3;
            low = 0x90;
        } else if (lead >= 0xF1 && lead <= 0xF3) {
            trail = 3;
        } else if (lead == 0xF4) {
            trail = 3;
            high = 0x8F;
        } else {
            return false;
        }
        if (n - i - 1 < trail) return false;
        if (p[i + 1] < low || p[i + 1] > high) return false;
        for (std::size_t k = 2; k <= trail; ++k)
            if (!IsContinuation(p[i + k])) return false;
        i += trail + 1;
    }
    return sawHighByte;
}

void AppendUtf8(TBytes& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<std::uint8_t>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<std::uint8_t>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<std::uint8_t>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<std::uint8_t>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<std::uint8_t>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<std::uint8_t>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<std::uint8_t>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<std::uint8_t>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<std::uint8_t>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<std::uint8_t>(0x80 | (cp & 0x3F)));
    }
}

TBytes WidenedToBytes(StringView text) {
    TBytes bytes;
    bytes.reserve(text.size());
    for (char16_t c : text)
        bytes.push_back(c <= 0xFF ? static_cast<std::uint8_t>(c) : '?');
    return bytes;
}

String BytesToWidened(const TBytes& bytes) {
    return String(bytes.begin(), bytes.end());
}

} // namespace

TBytes TclTranslator::GetBytes(StringView AText, StringView ACharSet) {
    return Encode(AText, ACharSet);
}

TBytes TclTranslator::GetBytes(StringView AText) {
    return Encode(AText, {});
}

int TclTranslator::GetByteCount(StringView AText, StringView ACharSet) {
    const std::size_t size = Encode(AText, ACharSet).size();
    return static_cast<int>(std::min<std::size_t>(size, std::numeric_limits<int>::max()));
}

String TclTranslator::GetString(const TBytes& ABytes, StringView ACharSet) {
    return GetString(ABytes.data(), ABytes.size(), ACharSet);
}

String TclTranslator::GetString(const TBytes& ABytes, int AIndex, int ACount, StringView ACharSet) {
    const auto [from, count] = ClampRange(ABytes.size(), AIndex, ACount);
    return GetString(ABytes.data() + from, count, ACharSet);
}

String TclTranslator::GetString(const std::uint8_t* AData, std::size_t ASize, StringView ACharSet) {
    const platform::TCodePage codePage(ACharSet);
    if (ASize > 0 && AData[ASize - 1] == 0 && codePage.IsByteOriented()) --ASize;
    if (ASize == 0) return {};
    String text = Decode(codePage, AData, ASize);
    if (text.empty()) text = Decode(platform::TCodePage(u"us-ascii"), AData, ASize);
    return text;
}

TBytes TclTranslator::GetUtf8Bytes(StringView AText) {
    TBytes out;
    out.reserve(AText.size());
    for (std::size_t i = 0; i < AText.size();)
        AppendUtf8(out, ReadCodePoint(AText, i));
    return out;
}

int TclTranslator::GetUtf8ByteCount(StringView AText) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < AText.size();) {
        const char32_t cp = ReadCodePoint(AText, i);
        count += cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
    }
    return static_cast<int>(std::min<std::size_t>(count, std::numeric_limits<int>::max()));
}

String TclTranslator::GetStringFromUtf8(const TBytes& ABytes) {
    String out;
    out.reserve(ABytes.size());
    const std::size_t n = ABytes.size();
    std::size_t i = 0;
    while (i < n) {
        const std::uint8_t lead = ABytes[i];
        std::size_t trail;
        char32_t cp;
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        } else if (lead >= 0xC0 && lead <= 0xDF) {
            trail = 1;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trail = 2;
            cp = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF7) {
            trail = 3;
            cp = lead & 0x07;
        } else {
            // A continuation byte without a lead, or no lead byte at all.
            out.push_back(kBadUtf8Char);
            ++i;
            continue;
        }
        if (n - i - 1 < trail) break;
        std::size_t k = 1;
        for (; k <= trail && IsContinuation(ABytes[i + k]); ++k)
            cp = (cp << 6) | (ABytes[i + k] & 0x3F);
        if (k <= trail) {
            // The byte that broke the sequence is consumed with it.
            out.push_back(ABytes[i + k] == ' ' ? u' ' : kBadUtf8Char);
            i += k + 1;
            continue;
        }
        AppendCodePoint(out, cp);
        i += trail + 1;
    }
    return out;
}

bool TclTranslator::IsUtf8(const TBytes& ABytes) {
    return IsUtf8Range(ABytes.data(), ABytes.size());
}

bool TclTranslator::IsUtf8(const TBytes& ABytes, int AIndex, int ACount) {
    const auto [from, count] = ClampRange(ABytes.size(), AIndex, ACount);
    return IsUtf8Range(ABytes.data() + from, count);
}

bool TclTranslator::IsUtf8(TStream& AStream) {
    const std::int64_t position = AStream.GetPosition();
    const TBytes bytes = AStream.ReadAll();
    AStream.SetPosition(position);
    return IsUtf8(bytes);
}

String TclTranslator::TranslateTo(StringView ACharSet, StringView ASource) {
    return BytesToWidened(Encode(ASource, ACharSet));
}

String TclTranslator::TranslateFrom(StringView ACharSet, StringView ASource) {
    const TBytes bytes = WidenedToBytes(ASource);
    return Decode(platform::TCodePage(ACharSet), bytes.data(), bytes.size());
}

void TclTranslator::TranslateTo(StringView ACharSet, TStream& ASource, TStream& ADestination) {
    const TBytes ansi = ASource.ReadAll();
    const String text = Decode(platform::TCodePage({}), ansi.data(), ansi.size());
    ADestination.WriteBytes(Encode(text, ACharSet));
}

void TclTranslator::TranslateFrom(StringView ACharSet, TStream& ASource, TStream& ADestination) {
    const TBytes bytes = ASource.ReadAll();
    const String text = Decode(platform::TCodePage(ACharSet), bytes.data(), bytes.size());
    ADestination.WriteBytes(Encode(text, {}));
}

void TclTranslator::GetSupportedCharSets(TStrings& ACharSets) {
    ACharSets.Clear();
}
