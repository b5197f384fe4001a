// Conversion between text and bytes in a character set named the way HTTP and
// MIME name them ("utf-8", "us-ascii", "ISO-8859-1", ...). Every place of the
// HTTP client where text meets bytes goes through here.
//
// An empty or unknown name means the ANSI code page (UTF-8). Each conversion
// resolves the name anew; nothing is kept between calls.
#pragma once

#include "RtlStream.h"
#include "RtlString.h"
#include "RtlStrings.h"

#include <cstddef>
#include <cstdint>

class TclTranslator {
public:
    TclTranslator() = delete;

    // Characters that the character set lacks become "?".
    static TBytes GetBytes(StringView AText, StringView ACharSet);
    static TBytes GetBytes(StringView AText);
    static int GetByteCount(StringView AText, StringView ACharSet);

    // A zero byte at the end of the range is taken as a terminator and left
    // out, except in encodings whose units are wider than a byte (there it is
    // half of the last character). A count of 0 or less gives empty text; a
    // range reaching outside the bytes is cut to them.
    static String GetString(const TBytes& ABytes, StringView ACharSet);
    static String GetString(const TBytes& ABytes, int AIndex, int ACount, StringView ACharSet);
    static String GetString(const std::uint8_t* AData, std::size_t ASize, StringView ACharSet);

    // The built-in UTF-8 codec, also used when the platform conversion fails.
    // A surrogate pair is written as one four-byte sequence; an unpaired
    // surrogate as the three-byte form of its own value. Decoding reads one- to
    // four-byte sequences; a malformed character becomes U+20AC, or a space
    // when the byte that broke it was a space; a sequence cut off by the end
    // ends the text.
    static TBytes GetUtf8Bytes(StringView AText);
    static int GetUtf8ByteCount(StringView AText);
    static String GetStringFromUtf8(const TBytes& ABytes);

    // True when the bytes hold at least one byte of 128 or more and all of
    // them form well-formed UTF-8; pure ASCII gives False. The stream form
    // reads from the position to the end and puts the position back.
    static bool IsUtf8(const TBytes& ABytes);
    static bool IsUtf8(const TBytes& ABytes, int AIndex, int ACount);
    static bool IsUtf8(TStream& AStream);

    // Translation between the ANSI code page and a named character set. The
    // string forms carry the character set's bytes one per character (code
    // units 0 to 255); the stream forms read the source from its position to
    // its end and write to the destination at its position.
    static String TranslateTo(StringView ACharSet, StringView ASource);
    static String TranslateFrom(StringView ACharSet, StringView ASource);
    static void TranslateTo(StringView ACharSet, TStream& ASource, TStream& ADestination);
    static void TranslateFrom(StringView ACharSet, TStream& ASource, TStream& ADestination);

    // Clears the list; no character sets are enumerated.
    static void GetSupportedCharSets(TStrings& ACharSets);
};
