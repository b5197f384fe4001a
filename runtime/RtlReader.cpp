#include "RtlReader.h"

#include "RtlConvert.h"
#include "RtlEncoding.h"
#include "RtlException.h"

#include <algorithm>
#include <bit>

namespace {

[[noreturn]] void FormatError(StringView detail) {
    throw EReadError(u"Invalid stream format: " + String(detail));
}

} // namespace

TReader::TReader(TStream& stream)
    : FStream(stream), FPosition(stream.GetPosition()), FEnd(stream.GetSize()) {
    FEnd = std::max(FEnd, FPosition);
}

void TReader::PropertyValueError() const {
    throw EReadError(u"Invalid property value");
}

void TReader::Read(void* buffer, std::int64_t count) {
    if (count > Remaining()) FormatError(u"unexpected end of data at offset " + IntToStr(FEnd));
    FStream.ReadBuffer(buffer, count);
    FPosition += count;
}

std::uint8_t TReader::ReadByte() {
    std::uint8_t b;
    Read(&b, 1);
    return b;
}

std::uint64_t TReader::ReadUnsigned(int size) {
    std::uint8_t bytes[8];
    Read(bytes, size);
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

std::int64_t TReader::ReadLength(int unitSize) {
    const auto length = static_cast<std::int32_t>(ReadUnsigned(4));
    if (length < 0) FormatError(u"negative length " + IntToStr(length));
    if (static_cast<std::int64_t>(length) * unitSize > Remaining())
        FormatError(u"a length of " + IntToStr(static_cast<std::int64_t>(length) * unitSize) +
                    u" bytes runs past the end of the data");
    return length;
}

void TReader::EnterNesting() {
    if (++FDepth > kFormStreamMaxDepth) {
        --FDepth;
        FormatError(u"nesting deeper than " + IntToStr(kFormStreamMaxDepth) + u" levels");
    }
}

void TReader::ReadSignature() {
    std::uint8_t signature[4];
    if (Remaining() < 4) throw EReadError(u"Invalid stream format");
    Read(signature, 4);
    if (!std::equal(signature, signature + 4, kFormSignature.begin()))
        throw EReadError(u"Invalid stream format");
}

void TReader::ReadPrefix(std::uint8_t& flags, std::int32_t& childPos) {
    flags = 0;
    childPos = 0;
    if ((static_cast<std::uint8_t>(NextValue()) & 0xF0) != kPrefixMarker) return;
    flags = ReadByte() & 0x0F;
    if (flags & ffChildPos) childPos = ReadInteger();
}

String TReader::ReadStr() {
    const std::uint8_t length = ReadByte();
    std::uint8_t bytes[kMaxShortString];
    Read(bytes, length);
    return Utf8ToString(bytes, length);
}

TValueType TReader::NextValue() {
    const std::uint8_t b = ReadByte();
    FStream.Seek(-1, TSeekOrigin::soCurrent);
    --FPosition;
    return static_cast<TValueType>(b);
}

TValueType TReader::ReadValue() {
    const std::uint8_t b = ReadByte();
    if (b > kLastValueType) FormatError(u"unknown value type 0x" + IntToHex(b, 2));
    return static_cast<TValueType>(b);
}

void TReader::CheckValue(TValueType expected) {
    if (ReadValue() != expected) PropertyValueError();
}

void TReader::ReadCollectionItemBegin(TValueType& orderType, std::int32_t& order) {
    orderType = vaNull;
    order = 0;
    const TValueType next = NextValue();
    if (next == vaInt8 || next == vaInt16 || next == vaInt32) {
        orderType = ReadValue();
        order = static_cast<std::int32_t>(ReadIntegerPayload(orderType));
    }
    ReadListBegin();
}

// --- typed values ------------------------------------------------------------

std::int64_t TReader::ReadIntegerPayload(TValueType type) {
    switch (type) {
    case vaInt8:
        return static_cast<std::int8_t>(ReadUnsigned(1));
    case vaInt16:
        return static_cast<std::int16_t>(ReadUnsigned(2));
    case vaInt32:
        return static_cast<std::int32_t>(ReadUnsigned(4));
    case vaInt64:
        return static_cast<std::int64_t>(ReadUnsigned(8));
    default:
        PropertyValueError();
    }
}

std::int32_t TReader::ReadInteger() {
    const std::int64_t value = ReadInt64();
    if (value < INT32_MIN || value > INT32_MAX) PropertyValueError();
    return static_cast<std::int32_t>(value);
}

std::int64_t TReader::ReadInt64() {
    return ReadIntegerPayload(ReadValue());
}

bool TReader::ReadBoolean() {
    const TValueType type = ReadValue();
    if (type != vaTrue && type != vaFalse) PropertyValueError();
    return type == vaTrue;
}

String TReader::ReadStringPayload(TValueType type) {
    std::int64_t size;
    switch (type) {
    case vaString:
        return ReadStr();
    case vaLString:
    case vaUTF8String:
        size = ReadLength(1);
        break;
    case vaWString:
        size = ReadLength(2) * 2;
        break;
    default:
        PropertyValueError();
    }
    TBytes bytes(static_cast<std::size_t>(size));
    Read(bytes.data(), size);
    // 8-bit text is in the ANSI code page, which is UTF-8.
    return type == vaWString ? TEncoding::Unicode()->GetString(bytes)
                             : Utf8ToString(bytes.data(), bytes.size());
}

String TReader::ReadString() {
    return ReadStringPayload(ReadValue());
}

String TReader::ReadIdent() {
    const TValueType type = ReadValue();
    if (type == vaIdent) return ReadStr();
    if (const char16_t* name = ValueTypeIdent(type)) return name;
    PropertyValueError();
}

long double TReader::ReadFloatPayload(TValueType type) {
    switch (type) {
    case vaExtended: {
        std::uint8_t bytes[10];
        Read(bytes, 10);
        return ExtendedFromBytes(bytes);
    }
    case vaDouble:
    case vaDate:
        return std::bit_cast<double>(ReadUnsigned(8));
    case vaSingle:
        return std::bit_cast<float>(static_cast<std::uint32_t>(ReadUnsigned(4)));
    default:
        return static_cast<long double>(ReadIntegerPayload(type));
    }
}

long double TReader::ReadFloat() {
    const TValueType type = ReadValue();
    if (type == vaDate || type == vaCurrency) PropertyValueError();
    return ReadFloatPayload(type);
}

float TReader::ReadSingle() {
    const TValueType type = ReadValue();
    if (type != vaSingle && !IsIntegerValueType(type)) PropertyValueError();
    return static_cast<float>(ReadFloatPayload(type));
}

double TReader::ReadDouble() {
    return static_cast<double>(ReadFloat());
}

std::int64_t TReader::ReadCurrency() {
    const TValueType type = ReadValue();
    if (type == vaCurrency) return static_cast<std::int64_t>(ReadUnsigned(8));
    const std::int64_t whole = ReadIntegerPayload(type);
    if (whole > INT64_MAX / 10000 || whole < INT64_MIN / 10000) PropertyValueError();
    return whole * 10000;
}

TDateTime TReader::ReadDate() {
    const TValueType type = ReadValue();
    if (type != vaDate && !IsIntegerValueType(type)) PropertyValueError();
    return static_cast<TDateTime>(ReadFloatPayload(type));
}

TBytes TReader::ReadBinary() {
    CheckValue(vaBinary);
    const std::int64_t size = ReadLength(1);
    TBytes bytes(static_cast<std::size_t>(size));
    Read(bytes.data(), size);
    return bytes;
}

std::vector<String> TReader::ReadSet() {
    CheckValue(vaSet);
    std::vector<String> members;
    for (String name = ReadStr(); !name.empty(); name = ReadStr())
        members.push_back(name);
    return members;
}

// --- skipping ----------------------------------------------------------------

void TReader::SkipValue() {
    auto skip = [this](std::int64_t count) {
        if (count > Remaining()) FormatError(u"unexpected end of data at offset " + IntToStr(FEnd));
        FStream.Seek(count, TSeekOrigin::soCurrent);
        FPosition += count;
    };
    auto skipStr = [&] { skip(ReadByte()); };
    const TValueType type = ReadValue();
    switch (type) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil:
        break;
    case vaInt8:
        skip(1);
        break;
    case vaInt16:
        skip(2);
        break;
    case vaInt32:
    case vaSingle:
        skip(4);
        break;
    case vaInt64:
    case vaCurrency:
    case vaDate:
    case vaDouble:
        skip(8);
        break;
    case vaExtended:
        skip(10);
        break;
    case vaString:
    case vaIdent:
        skipStr();
        break;
    case vaLString:
    case vaUTF8String:
    case vaBinary:
        skip(ReadLength(1));
        break;
    case vaWString:
        skip(ReadLength(2) * 2);
        break;
    case vaSet:
        for (std::uint8_t length = ReadByte(); length != 0; length = ReadByte())
            skip(length);
        break;
    case vaList: {
        TNesting nesting(*this);
        while (!EndOfList())
            SkipValue();
        ReadListEnd();
        break;
    }
    case vaCollection: {
        TNesting nesting(*this);
        while (!EndOfList()) {
            TValueType orderType;
            std::int32_t order;
            ReadCollectionItemBegin(orderType, order);
            TNesting item(*this);
            while (!EndOfList()) {
                skipStr();
                SkipValue();
            }
            ReadListEnd();
        }
        ReadListEnd();
        break;
    }
    }
}
