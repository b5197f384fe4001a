// A form stream as a generic tree: objects with their class name, name,
// properties and children, and typed values that keep the tag they were
// stored with, so that reading and writing again reproduces the same tree.
// Loaders (the skin store, the main-window layout) walk the tree; code that
// stores its own values (the cookie list) uses TReader and TWriter directly.
#pragma once

#include "RtlDateTimeFormat.h"
#include "RtlFormStreamFormat.h"
#include "RtlReader.h"
#include "RtlStream.h"
#include "RtlString.h"
#include "RtlWriter.h"

#include <cstdint>
#include <utility>
#include <variant>
#include <vector>

struct TFormProperty;
struct TFormCollectionItem;

class TFormValue {
public:
    // Which alternative each tag uses: none (vaNull, vaNil, vaFalse, vaTrue),
    // integer (integer tags, vaCurrency in 1/10000), float (vaExtended,
    // vaSingle, vaDouble, vaDate), text (string tags, vaIdent), bytes
    // (vaBinary), names (vaSet), values (vaList), items (vaCollection).
    using TData =
        std::variant<std::monostate, std::int64_t, long double, String, TBytes, std::vector<String>,
                     std::vector<TFormValue>, std::vector<TFormCollectionItem>>;

    TFormValue() = default; // vaNull

    // Makers, one per kind. Single, double and date values are held as long
    // double, which keeps them exactly. (Defined out of line: the variant
    // needs TFormCollectionItem complete.)
    static TFormValue Null();
    static TFormValue Nil();
    static TFormValue Boolean(bool value);
    // The smallest integer tag, or the one given (an integer tag, else
    // EArgumentException).
    static TFormValue Integer(std::int64_t value);
    static TFormValue Integer(std::int64_t value, TValueType type);
    static TFormValue Extended(long double value);
    static TFormValue Single(float value);
    static TFormValue Double(double value);
    static TFormValue Date(TDateTime value);
    static TFormValue Currency(std::int64_t tenThousandths);
    // The tag the writer would choose, or the one given (a string tag or
    // vaIdent, else EArgumentException).
    static TFormValue Text(StringView text);
    static TFormValue Text(StringView text, TValueType type);
    static TFormValue Ident(StringView ident);
    static TFormValue Binary(TBytes bytes);
    static TFormValue Set(std::vector<String> members);
    static TFormValue List(std::vector<TFormValue> values);
    static TFormValue Collection(std::vector<TFormCollectionItem> items);

    TValueType Type() const { return FType; }
    const TData& Data() const { return FData; }

    // Typed access. A value of another kind raises EReadError "Invalid property value".
    std::int64_t AsInteger() const;           // integer tags
    long double AsFloat() const;              // float tags and integer tags
    const String& AsString() const;           // string tags
    String AsIdent() const;                   // vaIdent, and vaFalse/vaTrue/vaNil/vaNull by name
    bool AsBoolean() const;                   // vaTrue, vaFalse
    const TBytes& AsBinary() const;           // vaBinary
    const std::vector<String>& AsSet() const; // vaSet
    const std::vector<TFormValue>& AsList() const;                // vaList
    const std::vector<TFormCollectionItem>& AsCollection() const; // vaCollection

    // Same tag and same content; NaNs are equal to each other.
    friend bool operator==(const TFormValue& a, const TFormValue& b);

private:
    TFormValue(TValueType type, TData data);
    template <class T> const T& Get() const;

    TValueType FType = vaNull;
    TData FData;
};

struct TFormProperty {
    String Name;
    TFormValue Value;
    bool operator==(const TFormProperty&) const = default;
};

using TFormProperties = std::vector<TFormProperty>;

// The first property of that name (ASCII case ignored), or null.
const TFormValue* FindFormProperty(const TFormProperties& properties, StringView name);

struct TFormCollectionItem {
    // The item's stored order number: vaNull when there is none.
    TValueType OrderType = vaNull;
    std::int32_t Order = 0;
    TFormProperties Properties;
    bool operator==(const TFormCollectionItem&) const = default;
};

struct TFormObject {
    TFormObject() = default;
    TFormObject(String className, String name, std::uint8_t flags = 0, std::int32_t childPos = 0)
        : ClassName(std::move(className)), Name(std::move(name)), Flags(flags), ChildPos(childPos) {
    }

    String ClassName;
    String Name;
    std::uint8_t Flags = 0;    // filer flags of the record's prefix
    std::int32_t ChildPos = 0; // stored when Flags has ffChildPos
    TFormProperties Properties;
    std::vector<TFormObject> Children;

    const TFormValue* FindProperty(StringView name) const {
        return FindFormProperty(Properties, name);
    }
    // The direct child of that name (ASCII case ignored), or null.
    const TFormObject* FindChild(StringView name) const;
    bool operator==(const TFormObject&) const = default;
};

// A whole stream: the signature and the root object. Bytes after the root are
// not read. Malformed input raises EReadError.
TFormObject ReadFormStream(TStream& stream);
void WriteFormStream(TStream& stream, const TFormObject& root);

// The parts, for streams that embed them in their own layout.
TFormObject ReadFormObject(TReader& reader);
TFormProperties ReadFormProperties(TReader& reader); // up to and including the end marker
TFormValue ReadFormValue(TReader& reader);
// Writing raises EWriteError for what could not be read back as written:
// nesting deeper than kFormStreamMaxDepth, a Null inside a list, an empty
// property or set-member name, names or vaString text over 255 bytes.
void WriteFormObject(TWriter& writer, const TFormObject& object);
void WriteFormProperties(TWriter& writer, const TFormProperties& properties);
void WriteFormValue(TWriter& writer, const TFormValue& value);
