#include "RtlWriter.h"

#include "RtlConvert.h"
#include "RtlEncoding.h"
#include "RtlException.h"

#include <bit>

TWriter::TWriter(TStream& stream) : FStream(stream) {}

void TWriter::Write(const void* buffer, std::size_t count) {
    FStream.WriteBuffer(buffer, static_cast<std::int64_t>(count));
}

void TWriter::WriteUnsigned(std::uint64_t value, int size) {
    std::uint8_t bytes[8];
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    Write(bytes, static_cast<std::size_t>(size));
}

void TWriter::WriteLength(std::size_t length) {
    if (length > static_cast<std::size_t>(INT32_MAX))
        throw EWriteError(u"Value too large for a form stream");
    WriteUnsigned(length, 4);
}

void TWriter::WriteSignature() {
    Write(kFormSignature.data(), kFormSignature.size());
}

void TWriter::WritePrefix(std::uint8_t flags, std::int32_t childPos) {
    if (flags > 0x0F) throw EWriteError(u"Invalid filer flags");
    WriteUnsigned(kPrefixMarker | flags, 1);
    if (flags & ffChildPos) WriteInteger(childPos);
}

std::string TWriter::ShortStringBytes(StringView text) {
    std::string bytes = StringToUtf8(text);
    if (bytes.size() > kMaxShortString)
        throw EWriteError(u"Text too long for a short string: " + String(text.substr(0, 32)));
    return bytes;
}

void TWriter::WriteShortBytes(const std::string& bytes) {
    WriteUnsigned(bytes.size(), 1);
    Write(bytes.data(), bytes.size());
}

void TWriter::WriteStr(StringView text) {
    WriteShortBytes(ShortStringBytes(text));
}

void TWriter::WriteName(StringView name) {
    if (name.empty()) throw EWriteError(u"Empty name in a form stream");
    WriteStr(name);
}

void TWriter::WriteValue(TValueType type) {
    WriteUnsigned(type, 1);
}

void TWriter::WriteCollectionItemBegin(TValueType orderType, std::int32_t order) {
    if (orderType != vaNull) {
        if (orderType != vaInt8 && orderType != vaInt16 && orderType != vaInt32)
            throw EWriteError(u"Invalid collection item order type");
        WriteInteger(order, orderType);
    }
    WriteListBegin();
}

void TWriter::WriteInteger(std::int64_t value) {
    WriteInteger(value, IntegerValueType(value));
}

void TWriter::WriteInteger(std::int64_t value, TValueType type) {
    if (!IsIntegerValueType(type)) throw EWriteError(u"Invalid property value");
    const int size = type == vaInt8 ? 1 : type == vaInt16 ? 2 : type == vaInt32 ? 4 : 8;
    if (size < 8) {
        const std::int64_t limit = std::int64_t{1} << (8 * size - 1);
        if (value < -limit || value >= limit)
            throw EWriteError(u"Value " + IntToStr(value) + u" does not fit its integer type");
    }
    WriteValue(type);
    WriteUnsigned(static_cast<std::uint64_t>(value), size);
}

void TWriter::WriteBoolean(bool value) {
    WriteValue(value ? vaTrue : vaFalse);
}

void TWriter::WriteString(StringView text) {
    WriteString(text, StringValueType(text));
}

void TWriter::WriteString(StringView text, TValueType type) {
    switch (type) {
    case vaString:
    case vaIdent: {
        const std::string bytes = ShortStringBytes(text); // checked before anything is written
        WriteValue(type);
        WriteShortBytes(bytes);
        return;
    }
    case vaLString:
    case vaUTF8String: {
        const std::string bytes = StringToUtf8(text);
        WriteValue(type);
        WriteLength(bytes.size());
        Write(bytes.data(), bytes.size());
        return;
    }
    case vaWString: {
        const TBytes bytes = TEncoding::Unicode()->GetBytes(text);
        WriteValue(type);
        WriteLength(text.size());
        Write(bytes.data(), bytes.size());
        return;
    }
    default:
        throw EWriteError(u"Invalid property value");
    }
}

void TWriter::WriteIdent(StringView ident) {
    const TValueType type = IdentValueType(ident);
    if (type != vaIdent) return WriteValue(type);
    const std::string bytes = ShortStringBytes(ident);
    WriteValue(vaIdent);
    WriteShortBytes(bytes);
}

void TWriter::WriteFloat(long double value) {
    std::uint8_t bytes[10];
    ExtendedToBytes(value, bytes);
    WriteValue(vaExtended);
    Write(bytes, sizeof bytes);
}

void TWriter::WriteSingle(float value) {
    WriteValue(vaSingle);
    WriteUnsigned(std::bit_cast<std::uint32_t>(value), 4);
}

void TWriter::WriteDouble(double value) {
    WriteValue(vaDouble);
    WriteUnsigned(std::bit_cast<std::uint64_t>(value), 8);
}

void TWriter::WriteCurrency(std::int64_t value) {
    WriteValue(vaCurrency);
    WriteUnsigned(static_cast<std::uint64_t>(value), 8);
}

void TWriter::WriteDate(TDateTime value) {
    WriteValue(vaDate);
    WriteUnsigned(std::bit_cast<std::uint64_t>(value), 8);
}

void TWriter::WriteBinary(const std::uint8_t* data, std::size_t size) {
    WriteValue(vaBinary);
    WriteLength(size);
    Write(data, size);
}

void TWriter::WriteSet(const std::vector<String>& members) {
    WriteValue(vaSet);
    for (const String& member : members)
        WriteName(member);
    WriteStr(u"");
}
