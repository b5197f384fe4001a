// TReader: reads the values of a form stream (see RtlFormStreamFormat.h).
//
// Every read is checked against the end of the stream: malformed input (a bad
// signature, an unknown tag, a length or count past the end, nesting deeper
// than kFormStreamMaxDepth, a value of the wrong kind) raises EReadError and
// never reads past the end or allocates more than the remaining bytes can
// justify.
#pragma once

#include "RtlDateTimeFormat.h"
#include "RtlFormStreamFormat.h"
#include "RtlStream.h"
#include "RtlString.h"

#include <cstdint>
#include <vector>

class TReader {
public:
    // Reads from the stream's current position to its end.
    explicit TReader(TStream& stream);
    TReader(const TReader&) = delete;
    TReader& operator=(const TReader&) = delete;

    std::int64_t Position() const { return FPosition; }
    std::int64_t Remaining() const { return FEnd - FPosition; }

    // The "TPF0" signature.
    void ReadSignature();
    // An object record's optional prefix: its filer flags (0 when there is
    // none) and, with ffChildPos, the child position.
    void ReadPrefix(std::uint8_t& flags, std::int32_t& childPos);
    // A short string: a length byte and that many bytes of UTF-8.
    String ReadStr();

    // The next value's tag without consuming it (no check that it is known).
    TValueType NextValue();
    // Reads a tag; an unknown one raises EReadError.
    TValueType ReadValue();
    // Reads a tag that must be `expected`.
    void CheckValue(TValueType expected);

    // Lists and collections: ReadListBegin, values while !EndOfList(), ReadListEnd.
    bool EndOfList() { return NextValue() == vaNull; }
    void ReadListBegin() { CheckValue(vaList); }
    void ReadListEnd() { CheckValue(vaNull); }
    // A collection: ReadCollectionBegin; per item while !EndOfList():
    // ReadCollectionItemBegin, properties while !EndOfList(), ReadListEnd;
    // then ReadListEnd. An item's order number, when stored, goes to `orderType`
    // (vaInt8/16/32) and `order`; otherwise `orderType` is vaNull.
    void ReadCollectionBegin() { CheckValue(vaCollection); }
    void ReadCollectionItemBegin(TValueType& orderType, std::int32_t& order);

    // Typed values. Each accepts the tags named and raises EReadError
    // "Invalid property value" for any other.
    std::int32_t ReadInteger();    // any integer tag that fits 32 bits
    std::int64_t ReadInt64();      // any integer tag
    bool ReadBoolean();            // vaTrue, vaFalse
    String ReadString();           // vaString, vaLString, vaWString, vaUTF8String
    String ReadIdent();            // vaIdent; vaFalse/vaTrue/vaNil/vaNull by name
    long double ReadFloat();       // vaExtended, vaDouble, vaSingle, integers
    float ReadSingle();            // vaSingle, integers
    double ReadDouble();           // vaDouble, vaExtended, vaSingle, integers
    std::int64_t ReadCurrency();   // vaCurrency (in 1/10000), integers (whole units)
    TDateTime ReadDate();          // vaDate, integers (whole days)
    TBytes ReadBinary();           // vaBinary
    std::vector<String> ReadSet(); // vaSet

    // Payload readers for a tag already consumed.
    std::int64_t ReadIntegerPayload(TValueType type);
    String ReadStringPayload(TValueType type);
    long double ReadFloatPayload(TValueType type);

    // Skips one value of any kind, nested ones included.
    void SkipValue();

    // Brackets one level of nesting; deeper than kFormStreamMaxDepth raises.
    // Recursive readers (the object tree, SkipValue) use TNesting.
    void EnterNesting();
    void LeaveNesting() { --FDepth; }
    class TNesting {
    public:
        explicit TNesting(TReader& reader) : FReader(reader) { FReader.EnterNesting(); }
        ~TNesting() { FReader.LeaveNesting(); }
        TNesting(const TNesting&) = delete;
        TNesting& operator=(const TNesting&) = delete;

    private:
        TReader& FReader;
    };

private:
    void Read(void* buffer, std::int64_t count);
    std::uint8_t ReadByte();
    std::uint64_t ReadUnsigned(int size);
    // A 4-byte length for items of `unitSize` bytes, checked against the rest of the data.
    std::int64_t ReadLength(int unitSize);
    [[noreturn]] void PropertyValueError() const;

    TStream& FStream;
    std::int64_t FPosition;
    std::int64_t FEnd;
    int FDepth = 0;
};
