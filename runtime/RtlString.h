// Text of the runtime: UTF-16 strings, conversion to and from UTF-8, and the
// small ASCII-only helpers (case folding, trimming, comparison) that the
// libraries use for protocol text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Every text is a sequence of UTF-16 code units; lengths and positions count
// code units.
using String = std::u16string;
using StringView = std::u16string_view;
using TBytes = std::vector<std::uint8_t>;

// UTF-8 -> UTF-16. Valid input converts losslessly; each maximal invalid
// subsequence (stray continuation byte, overlong form, surrogate code point,
// value above U+10FFFF, truncated sequence) becomes one U+FFFD.
String Utf8ToString(std::string_view utf8);
String Utf8ToString(const std::uint8_t* data, std::size_t size);

// UTF-16 -> UTF-8. A surrogate pair becomes one four-byte sequence; an unpaired
// surrogate becomes U+FFFD, so the output is always valid UTF-8.
std::string StringToUtf8(StringView text);
TBytes StringToUtf8Bytes(StringView text);

// Latin-1/ASCII bytes widened one to one (each byte becomes the code unit of
// the same value). For literals and protocol text that is known to be ASCII.
String AsciiToString(std::string_view ascii);
// Code units narrowed one to one; units above 0xFF become '?'.
std::string StringToAscii(StringView text);

// ASCII case folding: only 'a'..'z' and 'A'..'Z' change.
char16_t AsciiUpper(char16_t c);
char16_t AsciiLower(char16_t c);
String UpperCase(StringView text);
String LowerCase(StringView text);

// Ordinal comparisons; the *Text forms ignore ASCII case. Results are <0, 0, >0.
int CompareStr(StringView a, StringView b);
int CompareText(StringView a, StringView b);
bool SameStr(StringView a, StringView b);
bool SameText(StringView a, StringView b);
bool StartsText(StringView prefix, StringView text);
bool EndsText(StringView suffix, StringView text);

// Remove characters <= U+0020 (control characters and the blank) from the ends.
String Trim(StringView text);
String TrimLeft(StringView text);
String TrimRight(StringView text);

// Position helpers with std::u16string semantics (npos when absent).
std::size_t PosText(StringView needle, StringView haystack, std::size_t from = 0);
String StringReplaceAll(StringView text, StringView from, StringView to);

// Splits at every occurrence of `separator` (empty pieces kept).
std::vector<String> SplitString(StringView text, char16_t separator);

// Code-point helpers for code that must walk text by characters.
inline bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
inline bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The value of a hexadecimal digit (either case), -1 for any other character.
inline constexpr int HexDigitValue(char32_t c) {
    if (c >= U'0' && c <= U'9') return static_cast<int>(c - U'0');
    if (c >= U'a' && c <= U'f') return static_cast<int>(c - U'a') + 10;
    if (c >= U'A' && c <= U'F') return static_cast<int>(c - U'A') + 10;
    return -1;
}
// Appends the UTF-16 form of a code point (values above U+10FFFF become U+FFFD).
void AppendCodePoint(String& out, char32_t cp);
// Reads the code point at `index` and moves `index` past it: a surrogate pair
// is one code point, an unpaired surrogate stands for its own value.
char32_t ReadCodePoint(StringView text, std::size_t& index);
