// TWriter: writes the values of a form stream (see RtlFormStreamFormat.h),
// the mirror of TReader.
//
// What cannot be stored faithfully raises EWriteError instead of being cut or
// misread later: a short string over 255 bytes, an empty name where an empty
// one would end a list, an integer that does not fit the tag asked for.
#pragma once

#include "RtlDateTimeFormat.h"
#include "RtlFormStreamFormat.h"
#include "RtlStream.h"
#include "RtlString.h"

#include <cstdint>
#include <string>
#include <vector>

class TWriter {
public:
    explicit TWriter(TStream& stream);
    TWriter(const TWriter&) = delete;
    TWriter& operator=(const TWriter&) = delete;

    void WriteSignature();
    // An object record's prefix byte (and the child position with ffChildPos).
    void WritePrefix(std::uint8_t flags, std::int32_t childPos);
    // A short string: a length byte and the UTF-8 bytes (at most 255).
    void WriteStr(StringView text);
    // A name that must not be empty (an empty one would read as an end marker).
    void WriteName(StringView name);
    void WriteValue(TValueType type);

    void WriteListBegin() { WriteValue(vaList); }
    void WriteListEnd() { WriteValue(vaNull); }
    // A collection: WriteCollectionBegin; per item WriteCollectionItemBegin,
    // properties, WriteListEnd; then WriteListEnd. `orderType` vaNull writes
    // no order number.
    void WriteCollectionBegin() { WriteValue(vaCollection); }
    void WriteCollectionItemBegin(TValueType orderType = vaNull, std::int32_t order = 0);

    // Typed values; the tag is chosen as the runtime does unless given.
    void WriteInteger(std::int64_t value); // smallest integer tag
    void WriteInteger(std::int64_t value, TValueType type);
    void WriteBoolean(bool value);
    void WriteString(StringView text); // tag by StringValueType
    // With a given tag: a string tag, or vaIdent for an identifier kept as one.
    void WriteString(StringView text, TValueType type);
    // "False", "True", "nil" and "Null" (any case) become their own tags.
    void WriteIdent(StringView ident);
    void WriteFloat(long double value); // vaExtended
    void WriteSingle(float value);
    void WriteDouble(double value);
    void WriteCurrency(std::int64_t value); // in 1/10000
    void WriteDate(TDateTime value);
    void WriteBinary(const std::uint8_t* data, std::size_t size);
    void WriteBinary(const TBytes& bytes) { WriteBinary(bytes.data(), bytes.size()); }
    void WriteSet(const std::vector<String>& members);

private:
    void Write(const void* buffer, std::size_t count);
    void WriteUnsigned(std::uint64_t value, int size);
    void WriteLength(std::size_t length);
    static std::string ShortStringBytes(StringView text);
    void WriteShortBytes(const std::string& bytes);

    TStream& FStream;
};
