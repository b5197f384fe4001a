#include "RtlEncoding.h"

#include <cstring>

TEncoding::~TEncoding() = default;

TBytes TUTF8Encoding::GetBytes(StringView text) const { return StringToUtf8Bytes(text); }

String TUTF8Encoding::GetString(const std::uint8_t* data, std::size_t size) const {
    return Utf8ToString(data, size);
}

TBytes TUTF8Encoding::GetPreamble() const {
    return FPreamble ? TBytes{0xEF, 0xBB, 0xBF} : TBytes{};
}

TBytes TUnicodeEncoding::GetBytes(StringView text) const {
    TBytes out(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        out[2 * i] = static_cast<std::uint8_t>(text[i] & 0xFF);
        out[2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
    }
    return out;
}

String TUnicodeEncoding::GetString(const std::uint8_t* data, std::size_t size) const {
    String out(size / 2, u'\0');
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    // A trailing odd byte is not a character; it is dropped like a partial one.
    return out;
}

TBytes TBigEndianUnicodeEncoding::GetBytes(StringView text) const {
    TBytes out(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        out[2 * i] = static_cast<std::uint8_t>(text[i] >> 8);
        out[2 * i + 1] = static_cast<std::uint8_t>(text[i] & 0xFF);
    }
    return out;
}

String TBigEndianUnicodeEncoding::GetString(const std::uint8_t* data, std::size_t size) const {
    String out(size / 2, u'\0');
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char16_t>((data[2 * i] << 8) | data[2 * i + 1]);
    return out;
}

namespace {
TUTF8Encoding gUtf8{true};
TUTF8Encoding gAnsi{false};
TUnicodeEncoding gUnicode;
TBigEndianUnicodeEncoding gBigEndian;

bool StartsWith(const std::uint8_t* data, std::size_t size, const TBytes& prefix) {
    return !prefix.empty() && size >= prefix.size() &&
           std::memcmp(data, prefix.data(), prefix.size()) == 0;
}
} // namespace

TEncoding* TEncoding::UTF8() { return &gUtf8; }
TEncoding* TEncoding::Unicode() { return &gUnicode; }
TEncoding* TEncoding::BigEndianUnicode() { return &gBigEndian; }
TEncoding* TEncoding::ANSI() { return &gAnsi; }

bool TEncoding::IsStandardEncoding(const TEncoding* e) {
    return e == &gUtf8 || e == &gAnsi || e == &gUnicode || e == &gBigEndian;
}

std::size_t TEncoding::GetBufferEncoding(const std::uint8_t* data, std::size_t size,
                                         TEncoding*& encoding) {
    if (encoding) {
        const TBytes preamble = encoding->GetPreamble();
        return StartsWith(data, size, preamble) ? preamble.size() : 0;
    }
    for (TEncoding* candidate : {UTF8(), Unicode(), BigEndianUnicode()}) {
        const TBytes preamble = candidate->GetPreamble();
        if (StartsWith(data, size, preamble)) {
            encoding = candidate;
            return preamble.size();
        }
    }
    encoding = Default();
    return 0;
}
