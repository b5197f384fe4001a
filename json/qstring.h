// Text helpers of the JSON library: the growing UTF-16 text builder shared by
// the parser and the writer, and reading and writing whole texts in the four
// byte encodings the library supports.
#pragma once

#include "RtlStream.h"
#include "RtlString.h"
#include "RtlVariant.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

enum TTextEncoding : std::uint8_t {
    teUnknown,
    teAuto,
    teAnsi,
    teUnicode16LE,
    teUnicode16BE,
    teUTF8
};

struct TGUID {
    std::uint32_t D1 = 0;
    std::uint16_t D2 = 0;
    std::uint16_t D3 = 0;
    std::uint8_t D4[8] = {};
};

// The blanks every reader of the library skips: TAB, LF, CR, space, no-break
// space and the ideographic space.
inline bool IsQBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == 0x00A0 || c == 0x3000;
}

// A UTF-16 text that grows in blocks. Appending is the hot path of the parser
// and the writer, so the common operations are inline and write straight into
// the buffer; the builder never shrinks until it is destroyed.
class TQStringCatHelperW {
public:
    TQStringCatHelperW() : TQStringCatHelperW(8192) {}
    explicit TQStringCatHelperW(std::size_t ABlockSize);
    ~TQStringCatHelperW();
    TQStringCatHelperW(const TQStringCatHelperW&) = delete;
    TQStringCatHelperW& operator=(const TQStringCatHelperW&) = delete;

    String GetValue() const { return String(FStart, FDest); }
    String ToString() const { return GetValue(); }
    StringView View() const { return StringView(FStart, static_cast<std::size_t>(FDest - FStart)); }
    const char16_t* GetStart() const { return FStart; }
    char16_t* GetCurrent() const { return FDest; }
    // Moves the end of the text inside the capacity (to drop or keep what was
    // written directly through GetCurrent()).
    void SetCurrent(char16_t* ACurrent);
    const char16_t* GetLast() const { return FLast; }
    std::size_t GetPosition() const { return static_cast<std::size_t>(FDest - FStart); }
    // Truncates the text, or extends it (the added characters are undefined
    // until written); 0 empties it.
    void SetPosition(std::size_t APosition);
    bool IsEmpty() const { return FDest == FStart; }
    std::size_t Capacity() const { return FSize; }
    std::size_t BlockSize() const { return FBlockSize; }

    // Makes room for `ACount` more characters.
    void IncSize(std::size_t ACount) {
        if (static_cast<std::size_t>(FLast - FDest) < ACount) Grow(ACount);
    }

    TQStringCatHelperW& Cat(const char16_t* p, std::size_t len) {
        IncSize(len);
        if (len <= 8) {
            // Names, numbers and punctuation: cheaper than calling memcpy.
            for (std::size_t i = 0; i < len; ++i)
                FDest[i] = p[i];
        } else {
            std::memcpy(FDest, p, len * sizeof(char16_t));
        }
        FDest += len;
        return *this;
    }
    TQStringCatHelperW& Cat(StringView s) { return Cat(s.data(), s.size()); }
    TQStringCatHelperW& Cat(const String& s) { return Cat(s.data(), s.size()); }
    TQStringCatHelperW& Cat(const char16_t* s) { return Cat(StringView(s)); }
    TQStringCatHelperW& Cat(char16_t c) {
        if (FDest == FLast) Grow(1);
        *FDest++ = c;
        return *this;
    }
    // The text inside the quote character, each quote in it doubled.
    TQStringCatHelperW& CatQuoted(StringView s, char16_t AQuoter);
    template <class T, std::enable_if_t<std::is_integral_v<T> && std::is_signed_v<T>, int> = 0>
    TQStringCatHelperW& Cat(T v) {
        return CatInt64(v);
    }
    template <class T,
              std::enable_if_t<std::is_integral_v<T> && std::is_unsigned_v<T> &&
                                   !std::is_same_v<T, bool> && !std::is_same_v<T, char16_t>,
                               int> = 0>
    TQStringCatHelperW& Cat(T v) {
        return CatUInt64(v);
    }
    TQStringCatHelperW& CatInt64(std::int64_t v);
    TQStringCatHelperW& CatUInt64(std::uint64_t v);
    // The runtime's general float text with 15 significant digits.
    TQStringCatHelperW& Cat(const long double& v);
    TQStringCatHelperW& Cat(double v) { return Cat(static_cast<long double>(v)); }
    TQStringCatHelperW& Cat(bool v) { return Cat(v ? StringView(u"true") : StringView(u"false")); }
    // A currency amount given as the value times 10000: up to four decimals.
    TQStringCatHelperW& CatCurrency(std::int64_t scaled);
    // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
    TQStringCatHelperW& Cat(const TGUID& v);
    // Scalars as their text, null as "null", arrays as their elements joined by ",".
    TQStringCatHelperW& Cat(const Variant& v);

    // `s` repeated `count` times (nothing for count <= 0).
    TQStringCatHelperW& Replicate(StringView s, int count);
    // Drops the last `n` characters (never past the start).
    TQStringCatHelperW& Back(std::size_t n);
    // Drops trailing characters while they occur in `chars`; a surrogate pair is
    // one character and matches only the same pair in `chars`.
    TQStringCatHelperW& BackIf(StringView chars);
    // Drops trailing blanks, but never the first character.
    void TrimRight();
    bool EndWith(StringView s, bool AIgnoreCase) const;
    void Reset() { FDest = FStart; }

    // Replace the content with the text of a file or of the rest of a stream
    // (byte-order mark or detection decides the encoding).
    void LoadFromFile(StringView AFileName);
    void LoadFromStream(TStream& AStream);

private:
    void Grow(std::size_t ACount);

    char16_t* FValue = nullptr;
    char16_t* FStart = nullptr;
    char16_t* FDest = nullptr;
    char16_t* FLast = nullptr;
    std::size_t FBlockSize;
    std::size_t FSize = 0;
};

// UTF-8 to UTF-16 and back, as the runtime converts (invalid input becomes
// U+FFFD), with runs of ASCII copied directly.
String DecodeUtf8(const std::uint8_t* p, std::size_t n);
void AppendUtf8(StringView text, TBytes& out);
// Writes the UTF-8 form of `text` to `out`, which has room for three bytes
// a unit, and returns the number of bytes written.
std::size_t EncodeUtf8To(StringView text, std::uint8_t* out);

// Encoding of a text without byte-order mark: UTF-16 when ASCII characters
// come paired with zero bytes (the side of the zero gives the byte order),
// UTF-8 when every byte above 127 belongs to a valid sequence, else ANSI.
TTextEncoding DetectTextEncoding(const std::uint8_t* p, std::size_t n);
// Decodes bytes. A leading byte-order mark selects its encoding and is
// dropped, whatever AEncoding says; teUnknown and teAuto detect.
String DecodeText(const std::uint8_t* p, std::size_t n, TTextEncoding AEncoding);
// All bytes from the stream's position to its end, decoded.
String LoadTextW(TStream& AStream, TTextEncoding AEncoding = teUnknown);
String LoadTextW(StringView AFileName, TTextEncoding AEncoding = teUnknown);

// The bytes of a text: teUTF8 (mark EF BB BF), teAnsi (the ANSI code page,
// never a mark), teUnicode16LE (FF FE); every other value gives UTF-16
// big-endian (FE FF).
TBytes EncodeText(StringView AText, TTextEncoding AEncoding, bool AWriteBom);
void SaveTextW(TStream& AStream, StringView AText, TTextEncoding AEncoding, bool AWriteBom);
