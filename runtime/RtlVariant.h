// A small tagged value for code that takes "any scalar" (or an array of them):
// the kinds of the platform's variant type, numbered with its type codes so
// that messages can name them.
#pragma once

#include "RtlString.h"

#include <cstdint>
#include <memory>
#include <type_traits>
#include <variant>
#include <vector>

using TVarType = std::uint16_t;

constexpr TVarType varEmpty = 0x0000;
constexpr TVarType varNull = 0x0001;
constexpr TVarType varSmallint = 0x0002; // 16-bit signed
constexpr TVarType varInteger = 0x0003;  // 32-bit signed
constexpr TVarType varSingle = 0x0004;
constexpr TVarType varDouble = 0x0005;
constexpr TVarType varCurrency = 0x0006; // 64-bit integer scaled by 10000
constexpr TVarType varDate = 0x0007;     // TDateTime
constexpr TVarType varOleStr = 0x0008;
constexpr TVarType varDispatch = 0x0009;
constexpr TVarType varError = 0x000A;
constexpr TVarType varBoolean = 0x000B;
constexpr TVarType varUnknown = 0x000D; // an interface reference
constexpr TVarType varShortInt = 0x0010;
constexpr TVarType varByte = 0x0011;
constexpr TVarType varWord = 0x0012;
constexpr TVarType varLongWord = 0x0013;
constexpr TVarType varInt64 = 0x0014;
constexpr TVarType varUInt64 = 0x0015;
constexpr TVarType varFirstCustom = 0x010F;
constexpr TVarType varString = 0x0100;
constexpr TVarType varUString = 0x0102;
constexpr TVarType varVariant = 0x000C;
constexpr TVarType varArray = 0x2000;
constexpr TVarType varTypeMask = 0x0FFF;

// A value type that other code defines. Its type code must be varFirstCustom
// or above.
class TCustomVariantType {
public:
    virtual ~TCustomVariantType();
    virtual TVarType VarType() const = 0;
    // The value as a double, or false when it has none.
    virtual bool TryToDouble(double& value) const = 0;
    virtual String ToString() const = 0;
};

class Variant {
public:
    Variant() = default; // varEmpty
    Variant(bool v) : FType(varBoolean), FValue(v) {}
    Variant(std::int8_t v) : FType(varShortInt), FValue(std::int64_t(v)) {}
    Variant(std::int16_t v) : FType(varSmallint), FValue(std::int64_t(v)) {}
    Variant(std::int32_t v) : FType(varInteger), FValue(std::int64_t(v)) {}
    Variant(std::int64_t v) : FType(varInt64), FValue(v) {}
    Variant(long long v) : FType(varInt64), FValue(std::int64_t(v)) {}
    Variant(std::uint8_t v) : FType(varByte), FValue(std::uint64_t(v)) {}
    Variant(std::uint16_t v) : FType(varWord), FValue(std::uint64_t(v)) {}
    Variant(std::uint32_t v) : FType(varLongWord), FValue(std::uint64_t(v)) {}
    Variant(std::uint64_t v) : FType(varUInt64), FValue(v) {}
    Variant(unsigned long long v) : FType(varUInt64), FValue(std::uint64_t(v)) {}
    Variant(float v) : FType(varSingle), FValue(double(v)) {}
    Variant(double v) : FType(varDouble), FValue(v) {}
    Variant(const String& v) : FType(varUString), FValue(v) {}
    Variant(String&& v) : FType(varUString), FValue(std::move(v)) {}
    Variant(const char16_t* v) : FType(varUString), FValue(String(v)) {}
    Variant(std::vector<Variant> elements)
        : FType(varArray | varVariant),
          FValue(std::make_shared<std::vector<Variant>>(std::move(elements))) {}

    static Variant Null();
    static Variant FromDate(double dateTime);
    // `scaled` is the amount times 10000 (1.5 is 15000).
    static Variant FromCurrency(std::int64_t scaled);
    static Variant FromError(std::int32_t code);
    static Variant FromUnknown(std::shared_ptr<void> reference);
    static Variant FromDispatch(std::shared_ptr<void> reference);
    static Variant FromCustom(std::shared_ptr<TCustomVariantType> value);

    TVarType VarType() const { return FType; }
    bool IsArray() const { return (FType & varArray) != 0; }
    bool IsEmpty() const { return FType == varEmpty; }
    bool IsNull() const { return FType == varNull; }

    // Raw access by kind; each raises EConvertError on a kind that has no such value.
    std::int64_t AsInt64() const;   // signed kinds, currency (scaled), error code
    std::uint64_t AsUInt64() const; // unsigned kinds
    double AsDouble() const;        // single, double, date
    bool AsBoolean() const;
    const String& AsString() const;
    const std::vector<Variant>& Elements() const;
    const TCustomVariantType* Custom() const;

private:
    using Payload = std::variant<std::monostate, bool, std::int64_t, std::uint64_t, double, String,
                                 std::shared_ptr<std::vector<Variant>>, std::shared_ptr<void>,
                                 std::shared_ptr<TCustomVariantType>>;
    Variant(TVarType type, Payload value) : FType(type), FValue(std::move(value)) {}
    [[noreturn]] void Mismatch(const char16_t* wanted) const;

    TVarType FType = varEmpty;
    Payload FValue;
};
