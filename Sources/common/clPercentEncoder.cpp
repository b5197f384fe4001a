#include "clPercentEncoder.h"

#include "clTranslator.h"

#include <algorithm>

namespace {

const char16_t kHexDigits[] = u"0123456789ABCDEF";

void AppendBytes(TBytes& out, const TBytes& bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// Length of the run of characters outside ASCII starting at `from`; such a
// run is converted as one piece so that surrogate pairs stay together.
std::size_t NonAsciiRun(StringView text, std::size_t from) {
    std::size_t end = from;
    while (end < text.size() && text[end] >= 0x80)
        ++end;
    return end - from;
}

// One character appended as it stands: an ASCII character as its byte, any
// other (with the second half of a surrogate pair) as its bytes in the
// character set. Returns the number of code units used.
std::size_t AppendLiteral(TBytes& out, StringView text, std::size_t at, StringView charSet) {
    const char16_t c = text[at];
    if (c < 0x80) {
        out.push_back(static_cast<std::uint8_t>(c));
        return 1;
    }
    const std::size_t length =
        IsHighSurrogate(c) && at + 1 < text.size() && IsLowSurrogate(text[at + 1]) ? 2 : 1;
    AppendBytes(out, TclTranslator::GetBytes(text.substr(at, length), charSet));
    return length;
}

} // namespace

TclPercentEncoder::~TclPercentEncoder() = default;

void TclPercentEncoder::SetUnsafeChars(const String& Value) {
    if (FUnsafeChars == Value) return;
    FUnsafeChars = Value;
    FUnsafeCharBytes.clear();
}

void TclPercentEncoder::SetSkipEncoded(bool Value) {
    FSkipEncoded = Value;
}

const TBytes& TclPercentEncoder::UnsafeCharBytes() const {
    if (FUnsafeCharBytes.empty())
        FUnsafeCharBytes = TclTranslator::GetBytes(FUnsafeChars, u"us-ascii");
    return FUnsafeCharBytes;
}

bool TclPercentEncoder::IsUnsafeChar(std::uint8_t AChar) const {
    if (FUnsafeChars.empty()) return false;
    if (AChar < 32 || AChar >= 127) return true;
    const TBytes& unsafe = UnsafeCharBytes();
    return std::find(unsafe.begin(), unsafe.end(), AChar) != unsafe.end();
}

std::uint8_t TclPercentEncoder::DecodeChar(char16_t AChar) const {
    return static_cast<std::uint8_t>(AChar & 0xFF);
}

char16_t TclPercentEncoder::EncodeChar(std::uint8_t AChar) const {
    return AChar;
}

TBytes TclPercentEncoder::DecodeToBytes(StringView AValue, StringView ACharSet) const {
    TBytes out;
    out.reserve(AValue.size());
    const std::size_t n = AValue.size();
    std::size_t i = 0;
    while (i < n) {
        const char16_t c = AValue[i];
        if (c >= 0x80) {
            const std::size_t run = NonAsciiRun(AValue, i);
            AppendBytes(out, TclTranslator::GetBytes(AValue.substr(i, run), ACharSet));
            i += run;
            continue;
        }
        if (c != u'%') {
            out.push_back(DecodeChar(c));
            ++i;
            continue;
        }
        const int high = i + 1 < n ? HexDigitValue(AValue[i + 1]) : -1;
        const int low = i + 2 < n ? HexDigitValue(AValue[i + 2]) : -1;
        if (high >= 0 && low >= 0) {
            out.push_back(static_cast<std::uint8_t>(high * 16 + low));
            i += 3;
            continue;
        }
        // Not an escape: the "%", a digit read after it and the character
        // that ended it all stay as written.
        out.push_back('%');
        ++i;
        if (high >= 0) out.push_back(static_cast<std::uint8_t>(AValue[i++]));
        if (i < n) i += AppendLiteral(out, AValue, i, ACharSet);
    }
    return out;
}

String TclPercentEncoder::EncodeBytes(const TBytes& ABytes) const {
    String out;
    out.reserve(ABytes.size());
    const std::size_t n = ABytes.size();
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t b = ABytes[i];
        if (FSkipEncoded && b == '%' && i + 2 < n && HexDigitValue(ABytes[i + 1]) >= 0 &&
            HexDigitValue(ABytes[i + 2]) >= 0) {
            out.append({u'%', ABytes[i + 1], ABytes[i + 2]});
            i += 2;
        } else if (IsUnsafeChar(b)) {
            out.append({u'%', kHexDigits[b >> 4], kHexDigits[b & 0x0F]});
        } else {
            out.push_back(EncodeChar(b));
        }
    }
    return out;
}

String TclPercentEncoder::EncodeString(StringView AValue, StringView ACharSet) const {
    const TBytes bytes = TclTranslator::GetBytes(AValue, ACharSet);
    return bytes.empty() ? String() : EncodeBytes(bytes);
}

String TclPercentEncoder::DecodeString(StringView AValue, StringView ACharSet) const {
    const TBytes bytes = DecodeToBytes(AValue, ACharSet);
    return bytes.empty() ? String() : TclTranslator::GetString(bytes, ACharSet);
}

TclUrlEncoder::TclUrlEncoder() {
    SetUnsafeChars(u" <>\"#%{}|\\^~[]`");
    SetSkipEncoded(true);
}

String TclUrlEncoder::EncodeString(StringView AValue, StringView ACharSet) const {
    String result = TclPercentEncoder::EncodeString(AValue, ACharSet);
    if (!AValue.empty() && result.empty()) result = StringReplaceAll(Trim(AValue), u" ", u"%20");
    return result;
}

String TclUrlEncoder::Encode(StringView AValue, StringView ACharSet) {
    return TclUrlEncoder().EncodeString(AValue, ACharSet);
}

String TclUrlEncoder::Decode(StringView AValue, StringView ACharSet) {
    return TclUrlEncoder().DecodeString(AValue, ACharSet);
}

TclFormFieldEncoder::TclFormFieldEncoder() {
    SetUnsafeChars(u"!\"#$%&'()+,/:;<=>?@[\\]^`{|}~");
}

std::uint8_t TclFormFieldEncoder::DecodeChar(char16_t AChar) const {
    return AChar == u'+' ? ' ' : TclPercentEncoder::DecodeChar(AChar);
}

char16_t TclFormFieldEncoder::EncodeChar(std::uint8_t AChar) const {
    return AChar == ' ' ? u'+' : TclPercentEncoder::EncodeChar(AChar);
}

String TclFormFieldEncoder::Encode(StringView AValue, StringView ACharSet) {
    return TclFormFieldEncoder().EncodeString(AValue, ACharSet);
}

String TclFormFieldEncoder::Decode(StringView AValue, StringView ACharSet) {
    return TclFormFieldEncoder().DecodeString(AValue, ACharSet);
}
