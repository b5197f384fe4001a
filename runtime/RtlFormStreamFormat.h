// The binary form-stream format: the value tags, the object-record prefix
// flags and the limits that the reader (RtlReader.h) and the writer
// (RtlWriter.h) share.
//
// A stream is the signature "TPF0" and one object record. A record is an
// optional prefix byte (high nibble 0xF, filer flags in the low nibble, then
// the child position as an integer value when ffChildPos is set), the class
// name and the object name as short strings (a length byte and that many
// bytes of UTF-8), a property list (entries of a short-string name and a
// value, ended by a 0 byte), the child records, and a 0 byte. All integers
// are little-endian.
#pragma once

#include "RtlString.h"

#include <array>
#include <cstdint>

enum TValueType : std::uint8_t {
    vaNull = 0x00,       // none: the end of a list, property list, set of children or collection
    vaList = 0x01,       // values until vaNull (also the start of a collection item)
    vaInt8 = 0x02,       // 1 byte, signed
    vaInt16 = 0x03,      // 2 bytes, signed
    vaInt32 = 0x04,      // 4 bytes, signed
    vaExtended = 0x05,   // 10 bytes: an 80-bit extended float
    vaString = 0x06,     // a length byte, then 8-bit text (the ANSI code page: UTF-8)
    vaIdent = 0x07,      // a length byte, then an identifier
    vaFalse = 0x08,      // none
    vaTrue = 0x09,       // none
    vaBinary = 0x0A,     // 4-byte length, then that many bytes
    vaSet = 0x0B,        // short strings (member names) until an empty one
    vaLString = 0x0C,    // 4-byte length, then 8-bit text
    vaNil = 0x0D,        // none
    vaCollection = 0x0E, // items until vaNull: [integer order] vaList properties vaNull
    vaSingle = 0x0F,     // 4 bytes: a 32-bit float
    vaCurrency = 0x10,   // 8 bytes: a 64-bit integer in units of 1/10000
    vaDate = 0x11,       // 8 bytes: a 64-bit float holding a TDateTime
    vaWString = 0x12,    // 4-byte count of code units, then UTF-16LE text
    vaInt64 = 0x13,      // 8 bytes, signed
    vaUTF8String = 0x14, // 4-byte byte count, then UTF-8 text
    vaDouble = 0x15,     // 8 bytes: a 64-bit float
};
constexpr std::uint8_t kLastValueType = vaDouble;

// Filer flags of an object record's prefix byte.
constexpr std::uint8_t ffInherited = 0x01;
constexpr std::uint8_t ffChildPos = 0x02;
constexpr std::uint8_t ffInline = 0x04;
constexpr std::uint8_t kPrefixMarker = 0xF0;

constexpr std::array<std::uint8_t, 4> kFormSignature{'T', 'P', 'F', '0'};
// Deepest nesting of objects, lists and collections a reader accepts.
constexpr int kFormStreamMaxDepth = 256;
// Longest short string (class, object, property, identifier and set-member
// names, vaString text), in bytes.
constexpr std::size_t kMaxShortString = 255;

bool IsIntegerValueType(TValueType type);
bool IsStringValueType(TValueType type);
// The smallest integer tag that holds `value`.
TValueType IntegerValueType(std::int64_t value);
// The tag the writer gives a text: vaString for ASCII of up to 255
// characters, vaLString for longer ASCII, otherwise whichever of vaUTF8String
// and vaWString is smaller (vaWString when equal).
TValueType StringValueType(StringView text);

// Identifiers that have their own tags: "False", "True", "nil" and "Null".
// The tag's name, or null for every other tag.
const char16_t* ValueTypeIdent(TValueType type);
// The tag of such an identifier (any case), or vaIdent for any other.
TValueType IdentValueType(StringView ident);

// 80-bit extended floats (sign, 15-bit exponent, 64-bit significand with an
// explicit integer bit), converted without relying on the compiler's long
// double layout. Infinities and NaNs are kept; a NaN's payload is not.
long double ExtendedFromBytes(const std::uint8_t bytes[10]);
void ExtendedToBytes(long double value, std::uint8_t bytes[10]);
