#include "RtlFormStream.h"

#include "RtlException.h"

#include <cmath>

// --- values ------------------------------------------------------------------

TFormValue::TFormValue(TValueType type, TData data) : FType(type), FData(std::move(data)) {}

TFormValue TFormValue::Null() {
    return {};
}

TFormValue TFormValue::Nil() {
    return TFormValue(vaNil, std::monostate{});
}

TFormValue TFormValue::Boolean(bool value) {
    return TFormValue(value ? vaTrue : vaFalse, std::monostate{});
}

TFormValue TFormValue::Integer(std::int64_t value) {
    return TFormValue(IntegerValueType(value), value);
}

TFormValue TFormValue::Extended(long double value) {
    return TFormValue(vaExtended, value);
}

TFormValue TFormValue::Single(float value) {
    return TFormValue(vaSingle, static_cast<long double>(value));
}

TFormValue TFormValue::Double(double value) {
    return TFormValue(vaDouble, static_cast<long double>(value));
}

TFormValue TFormValue::Date(TDateTime value) {
    return TFormValue(vaDate, static_cast<long double>(value));
}

TFormValue TFormValue::Currency(std::int64_t tenThousandths) {
    return TFormValue(vaCurrency, tenThousandths);
}

TFormValue TFormValue::Text(StringView text) {
    return Text(text, StringValueType(text));
}

TFormValue TFormValue::Ident(StringView ident) {
    return TFormValue(vaIdent, String(ident));
}

TFormValue TFormValue::Binary(TBytes bytes) {
    return TFormValue(vaBinary, std::move(bytes));
}

TFormValue TFormValue::Set(std::vector<String> members) {
    return TFormValue(vaSet, std::move(members));
}

TFormValue TFormValue::Integer(std::int64_t value, TValueType type) {
    if (!IsIntegerValueType(type)) throw EArgumentException(u"Not an integer value type");
    return TFormValue(type, value);
}

TFormValue TFormValue::Text(StringView text, TValueType type) {
    if (!IsStringValueType(type) && type != vaIdent)
        throw EArgumentException(u"Not a text value type");
    return TFormValue(type, String(text));
}

TFormValue TFormValue::List(std::vector<TFormValue> values) {
    return TFormValue(vaList, std::move(values));
}

TFormValue TFormValue::Collection(std::vector<TFormCollectionItem> items) {
    return TFormValue(vaCollection, std::move(items));
}

template <class T> const T& TFormValue::Get() const {
    const T* value = std::get_if<T>(&FData);
    if (!value) throw EReadError(u"Invalid property value");
    return *value;
}

std::int64_t TFormValue::AsInteger() const {
    if (!IsIntegerValueType(FType)) throw EReadError(u"Invalid property value");
    return Get<std::int64_t>();
}

long double TFormValue::AsFloat() const {
    if (IsIntegerValueType(FType)) return static_cast<long double>(Get<std::int64_t>());
    return Get<long double>();
}

const String& TFormValue::AsString() const {
    if (!IsStringValueType(FType)) throw EReadError(u"Invalid property value");
    return Get<String>();
}

String TFormValue::AsIdent() const {
    if (FType == vaIdent) return Get<String>();
    if (const char16_t* name = ValueTypeIdent(FType)) return name;
    throw EReadError(u"Invalid property value");
}

bool TFormValue::AsBoolean() const {
    if (FType != vaTrue && FType != vaFalse) throw EReadError(u"Invalid property value");
    return FType == vaTrue;
}

const TBytes& TFormValue::AsBinary() const {
    return Get<TBytes>();
}

const std::vector<String>& TFormValue::AsSet() const {
    return Get<std::vector<String>>();
}

const std::vector<TFormValue>& TFormValue::AsList() const {
    return Get<std::vector<TFormValue>>();
}

const std::vector<TFormCollectionItem>& TFormValue::AsCollection() const {
    return Get<std::vector<TFormCollectionItem>>();
}

bool operator==(const TFormValue& a, const TFormValue& b) {
    if (a.FType != b.FType) return false;
    const auto* x = std::get_if<long double>(&a.FData);
    const auto* y = std::get_if<long double>(&b.FData);
    if (x && y) return *x == *y || (std::isnan(*x) && std::isnan(*y));
    return a.FData == b.FData;
}

const TFormValue* FindFormProperty(const TFormProperties& properties, StringView name) {
    for (const TFormProperty& p : properties)
        if (SameText(p.Name, name)) return &p.Value;
    return nullptr;
}

const TFormObject* TFormObject::FindChild(StringView name) const {
    for (const TFormObject& child : Children)
        if (SameText(child.Name, name)) return &child;
    return nullptr;
}

// --- reading -----------------------------------------------------------------

TFormValue ReadFormValue(TReader& reader) {
    const TValueType type = reader.NextValue();
    if (IsIntegerValueType(type)) return TFormValue::Integer(reader.ReadInt64(), type);
    if (IsStringValueType(type)) return TFormValue::Text(reader.ReadString(), type);
    switch (type) {
    case vaNull:
    case vaNil:
        reader.ReadValue();
        return type == vaNull ? TFormValue::Null() : TFormValue::Nil();
    case vaFalse:
    case vaTrue:
        return TFormValue::Boolean(reader.ReadBoolean());
    case vaExtended:
        return TFormValue::Extended(reader.ReadFloat());
    case vaSingle:
        return TFormValue::Single(reader.ReadSingle());
    case vaDouble:
        return TFormValue::Double(reader.ReadDouble());
    case vaDate:
        return TFormValue::Date(reader.ReadDate());
    case vaCurrency:
        return TFormValue::Currency(reader.ReadCurrency());
    case vaIdent:
        return TFormValue::Ident(reader.ReadIdent());
    case vaBinary:
        return TFormValue::Binary(reader.ReadBinary());
    case vaSet:
        return TFormValue::Set(reader.ReadSet());
    case vaList: {
        TReader::TNesting nesting(reader);
        reader.ReadListBegin();
        std::vector<TFormValue> values;
        while (!reader.EndOfList())
            values.push_back(ReadFormValue(reader));
        reader.ReadListEnd();
        return TFormValue::List(std::move(values));
    }
    case vaCollection: {
        TReader::TNesting nesting(reader);
        reader.ReadCollectionBegin();
        std::vector<TFormCollectionItem> items;
        while (!reader.EndOfList()) {
            TReader::TNesting itemNesting(reader);
            TFormCollectionItem item;
            reader.ReadCollectionItemBegin(item.OrderType, item.Order);
            item.Properties = ReadFormProperties(reader);
            items.push_back(std::move(item));
        }
        reader.ReadListEnd();
        return TFormValue::Collection(std::move(items));
    }
    default:
        reader.ReadValue(); // an unknown tag: raises
        throw EReadError(u"Invalid property value");
    }
}

TFormProperties ReadFormProperties(TReader& reader) {
    TFormProperties properties;
    while (!reader.EndOfList()) {
        TFormProperty property;
        property.Name = reader.ReadStr();
        property.Value = ReadFormValue(reader);
        properties.push_back(std::move(property));
    }
    reader.ReadListEnd();
    return properties;
}

TFormObject ReadFormObject(TReader& reader) {
    TReader::TNesting nesting(reader);
    TFormObject object;
    reader.ReadPrefix(object.Flags, object.ChildPos);
    object.ClassName = reader.ReadStr();
    object.Name = reader.ReadStr();
    object.Properties = ReadFormProperties(reader);
    while (!reader.EndOfList())
        object.Children.push_back(ReadFormObject(reader));
    reader.ReadListEnd();
    return object;
}

TFormObject ReadFormStream(TStream& stream) {
    TReader reader(stream);
    reader.ReadSignature();
    return ReadFormObject(reader);
}

// --- writing -----------------------------------------------------------------

namespace {

// Writes with the same nesting limit the reader applies, so that whatever is
// written can be read back.
class TTreeWriter {
public:
    explicit TTreeWriter(TWriter& writer) : W(writer) {}

    void Object(const TFormObject& object) {
        TLevel level(*this);
        // A record starting with a byte of the prefix range, or with an empty
        // class name (a 0 byte, the end of the children), needs the prefix.
        const bool needsPrefix = object.Flags != 0 || object.ClassName.empty() ||
                                 StringToUtf8(object.ClassName).size() >= kPrefixMarker;
        if (needsPrefix) W.WritePrefix(object.Flags, object.ChildPos);
        W.WriteStr(object.ClassName);
        W.WriteStr(object.Name);
        Properties(object.Properties);
        for (const TFormObject& child : object.Children)
            Object(child);
        W.WriteListEnd();
    }

    void Properties(const TFormProperties& properties) {
        for (const TFormProperty& property : properties) {
            W.WriteName(property.Name);
            Value(property.Value);
        }
        W.WriteListEnd();
    }

    void Value(const TFormValue& value) {
        const TValueType type = value.Type();
        if (IsIntegerValueType(type)) return W.WriteInteger(value.AsInteger(), type);
        if (IsStringValueType(type) || type == vaIdent)
            return W.WriteString(std::get<String>(value.Data()), type);
        switch (type) {
        case vaNull:
        case vaNil:
        case vaFalse:
        case vaTrue:
            return W.WriteValue(type);
        case vaExtended:
            return W.WriteFloat(value.AsFloat());
        case vaSingle:
            return W.WriteSingle(static_cast<float>(value.AsFloat()));
        case vaDouble:
            return W.WriteDouble(static_cast<double>(value.AsFloat()));
        case vaDate:
            return W.WriteDate(static_cast<double>(value.AsFloat()));
        case vaCurrency:
            return W.WriteCurrency(std::get<std::int64_t>(value.Data()));
        case vaBinary:
            return W.WriteBinary(value.AsBinary());
        case vaSet:
            return W.WriteSet(value.AsSet());
        case vaList: {
            TLevel level(*this);
            W.WriteListBegin();
            for (const TFormValue& item : value.AsList()) {
                // A Null would read as the end of the list.
                if (item.Type() == vaNull) throw EWriteError(u"A list item cannot be Null");
                Value(item);
            }
            return W.WriteListEnd();
        }
        case vaCollection: {
            TLevel level(*this);
            W.WriteCollectionBegin();
            for (const TFormCollectionItem& item : value.AsCollection()) {
                TLevel itemLevel(*this);
                W.WriteCollectionItemBegin(item.OrderType, item.Order);
                Properties(item.Properties);
            }
            return W.WriteListEnd();
        }
        default:
            throw EWriteError(u"Invalid property value");
        }
    }

private:
    class TLevel {
    public:
        explicit TLevel(TTreeWriter& owner) : FOwner(owner) {
            if (++FOwner.Depth > kFormStreamMaxDepth) {
                --FOwner.Depth;
                throw EWriteError(u"Form data nested too deeply");
            }
        }
        ~TLevel() { --FOwner.Depth; }
        TLevel(const TLevel&) = delete;
        TLevel& operator=(const TLevel&) = delete;

    private:
        TTreeWriter& FOwner;
    };

    TWriter& W;
    int Depth = 0;
};

} // namespace

void WriteFormObject(TWriter& writer, const TFormObject& object) {
    TTreeWriter(writer).Object(object);
}

void WriteFormProperties(TWriter& writer, const TFormProperties& properties) {
    TTreeWriter(writer).Properties(properties);
}

void WriteFormValue(TWriter& writer, const TFormValue& value) {
    TTreeWriter(writer).Value(value);
}

void WriteFormStream(TStream& stream, const TFormObject& root) {
    TWriter writer(stream);
    writer.WriteSignature();
    WriteFormObject(writer, root);
}
