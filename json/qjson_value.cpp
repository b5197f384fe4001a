// The value of a node as text (Value, AsString) and as typed values, with
// the conversions across types that the typed reads allow, and the variant
// and byte forms.
#include "qjson.h"

#include "RtlConvert.h"
#include "RtlFormat.h"
#include "qfloattext.h"
#include "qjson_datetime.h"
#include "qjson_number.h"
#include "qjson_parse.h"

#include <cmath>
#include <limits>

namespace {

// A text that holds nothing but a number (blanks around allowed).
bool ReadWholeNumber(StringView text, long double& value, bool& isFloat) {
    const char16_t* p = text.data();
    const char16_t* end = p + text.size();
    while (p < end && IsQBlank(*p))
        ++p;
    while (end > p && IsQBlank(end[-1]))
        --end;
    return p < end && ReadNumber(p, end, value, isFloat) && p == end;
}

String FloatText(const long double& v) {
    char16_t buf[kFloatTextMax];
    return String(buf, FormatFloatGeneral15(v, buf));
}

// Truncation to 64 bits, refusing values outside the range.
bool TruncToInt64(long double v, std::int64_t& result) {
    const long double t = std::trunc(v);
    if (!(t >= -9223372036854775808.0L && t < 9223372036854775808.0L)) return false;
    result = static_cast<std::int64_t>(t);
    return true;
}

} // namespace

void TQJson::RaiseConvert(const char16_t* ATarget) const {
    throw Exception(
        Format(u"%s 不是一个有效的 %s 类型的值。", {JsonTypeName(FDataType), String(ATarget)}));
}

String TQJson::EncodeDateTime(TDateTime AValue) {
    return FormatJsonDateTime(AValue);
}

// --- text ----------------------------------------------------------------------

String TQJson::GetValue() const {
    switch (FDataType) {
    case jdtUnknown:
    case jdtNull:
        return u"null";
    case jdtString:
        return FValue.AsString;
    case jdtInteger:
        return IntToStr(FValue.AsInt64);
    case jdtFloat:
        return FloatText(FValue.AsFloat);
    case jdtBcd:
        return BcdToStr(*FValue.AsBcd);
    case jdtBoolean:
        return FValue.AsBoolean ? u"true" : u"false";
    case jdtDateTime:
        return FormatJsonDateTime(FValue.AsFloat);
    case jdtArray:
    case jdtObject:
        return Encode(true, false, u"  ");
    }
    throw QException(Format(u"%s 不是一个有效的 %s 类型的值。",
                            {IntToStr(static_cast<int>(FDataType)), String(u"DataType")}));
}

String TQJson::GetAsString() const {
    if (FDataType == jdtUnknown || FDataType == jdtNull) return String();
    return GetValue();
}

String TQJson::ToString() const {
    return GetAsString();
}

void TQJson::SetValue(const String& AValue) {
    switch (FDataType) {
    case jdtString:
        FValue.AsString = AValue;
        break;
    case jdtBoolean:
        FValue.AsBoolean = StrToBool(AValue);
        break;
    case jdtInteger:
    case jdtFloat: {
        long double v;
        bool isFloat;
        if (!ReadWholeNumber(AValue, v, isFloat))
            throw Exception(Format(u"\"%s\"不是有效的数值。", {AValue}));
        std::int64_t i;
        if (v == std::trunc(v) && TruncToInt64(v, i))
            SetAsInt64(i);
        else
            SetAsFloat(v);
        break;
    }
    case jdtDateTime: {
        TDateTime v;
        if (!TryParseJsonDateTime(AValue, v))
            throw Exception(Format(u"\"%s\"不是一个有效的日期时间值。", {AValue}));
        FValue.AsFloat = v;
        break;
    }
    case jdtArray:
    case jdtObject:
        Clear();
        Parse(AValue);
        break;
    default:
        // One JSON value of any kind; text that is none stays text.
        if (!TQJsonParser::TryReadValueText(this, AValue)) SetAsString(AValue);
        break;
    }
}

// --- typed reads ------------------------------------------------------------------

std::int64_t TQJson::GetAsInt64() const {
    std::int64_t result = 0;
    switch (FDataType) {
    case jdtInteger:
        return FValue.AsInt64;
    case jdtFloat:
    case jdtDateTime:
        if (TruncToInt64(FValue.AsFloat, result)) return result;
        break;
    case jdtBcd:
        if (TryBcdToInt64(*FValue.AsBcd, result)) return result;
        break;
    case jdtBoolean:
        return FValue.AsBoolean ? 1 : 0;
    case jdtString: {
        long double v;
        bool isFloat;
        if (ReadWholeNumber(FValue.AsString, v, isFloat) && TruncToInt64(v, result)) return result;
        break;
    }
    case jdtNull:
    case jdtUnknown:
        return 0;
    default:
        break;
    }
    RaiseConvert(u"Numeric");
}

long double TQJson::GetAsFloat() const {
    switch (FDataType) {
    case jdtFloat:
        return FValue.AsFloat;
    case jdtInteger:
        return static_cast<long double>(FValue.AsInt64);
    case jdtBcd:
        return BcdToFloat(*FValue.AsBcd);
    case jdtBoolean:
        return FValue.AsBoolean ? 1 : 0;
    case jdtString: {
        long double v;
        bool isFloat;
        if (ReadWholeNumber(FValue.AsString, v, isFloat)) return v;
        break;
    }
    case jdtNull:
    case jdtUnknown:
        return 0;
    default:
        break;
    }
    RaiseConvert(u"Numeric");
}

bool TQJson::GetAsBoolean() const {
    switch (FDataType) {
    case jdtBoolean:
        return FValue.AsBoolean;
    case jdtString: {
        bool v;
        if (TryStrToBool(FValue.AsString, v)) return v;
        break;
    }
    case jdtInteger:
        return FValue.AsInt64 != 0;
    case jdtFloat:
        return FValue.AsFloat != 0;
    case jdtBcd:
        return BcdToStr(*FValue.AsBcd) != u"0";
    default:
        break;
    }
    RaiseConvert(u"Boolean");
}

TDateTime TQJson::GetAsDateTime() const {
    switch (FDataType) {
    case jdtDateTime:
    case jdtFloat:
        return static_cast<TDateTime>(FValue.AsFloat);
    case jdtInteger:
        return static_cast<TDateTime>(FValue.AsInt64);
    case jdtBcd:
        return static_cast<TDateTime>(BcdToFloat(*FValue.AsBcd));
    case jdtString: {
        TDateTime v;
        if (TryParseJsonDateTime(FValue.AsString, v)) return v;
        break;
    }
    case jdtNull:
    case jdtUnknown:
        return 0;
    default:
        break;
    }
    RaiseConvert(u"DateTime");
}

TBcd TQJson::GetAsBcd() const {
    switch (FDataType) {
    case jdtBcd:
        return *FValue.AsBcd;
    case jdtInteger:
        return IntegerToBcd(FValue.AsInt64);
    case jdtFloat:
        return FloatToBcd(FValue.AsFloat);
    case jdtBoolean:
        return IntegerToBcd(FValue.AsBoolean ? 1 : 0);
    case jdtString: {
        TBcd v;
        if (TryStrToBcd(FValue.AsString, v)) return v;
        break;
    }
    case jdtNull:
    case jdtUnknown:
        return TBcd();
    default:
        break;
    }
    RaiseConvert(u"Bcd");
}

bool TQJson::IsDateTime() const {
    TDateTime v;
    return FDataType == jdtDateTime ||
           (FDataType == jdtString && TryParseJsonDateTime(FValue.AsString, v));
}

// --- typed writes -------------------------------------------------------------------

void TQJson::SetAsString(const String& AValue) {
    SetDataType(jdtString);
    FValue.AsString = AValue;
}

void TQJson::SetAsInt64(std::int64_t AValue) {
    SetDataType(jdtInteger);
    FValue.AsInt64 = AValue;
}

void TQJson::SetAsBoolean(bool AValue) {
    SetDataType(jdtBoolean);
    FValue.AsBoolean = AValue;
}

void TQJson::SetAsFloat(long double AValue) {
    if (!std::isfinite(AValue)) throw Exception(u"NaN/+∞/-∞不受JSON规范支持。");
    SetDataType(jdtFloat);
    FValue.AsFloat = AValue;
}

void TQJson::SetAsDateTime(TDateTime AValue) {
    SetDataType(jdtDateTime);
    FValue.AsFloat = AValue;
}

void TQJson::SetAsBcd(const TBcd& AValue) {
    SetDataType(jdtBcd);
    *FValue.AsBcd = AValue;
}

// --- container text -------------------------------------------------------------------

String TQJson::GetAsJson() const {
    return Encode(true, false, u"  ");
}

void TQJson::SetAsJson(const String& AValue) {
    Parse(AValue);
}

String TQJson::GetAsObject() const {
    if (FDataType != jdtObject) RaiseConvert(u"Object");
    return GetAsJson();
}

String TQJson::GetAsArray() const {
    if (FDataType != jdtArray) RaiseConvert(u"Array");
    return GetAsJson();
}

void TQJson::SetAsObject(const String& AValue) {
    TQJson parsed;
    parsed.Parse(AValue);
    if (!parsed.IsObject()) parsed.RaiseConvert(u"Object");
    Assign(&parsed);
}

void TQJson::SetAsArray(const String& AValue) {
    TQJson parsed;
    parsed.Parse(AValue);
    if (!parsed.IsArray()) parsed.RaiseConvert(u"Array");
    Assign(&parsed);
}

// --- variants -----------------------------------------------------------------------

Variant TQJson::GetAsVariant() const {
    switch (FDataType) {
    case jdtUnknown:
        return Variant();
    case jdtNull:
        return Variant::Null();
    case jdtString:
        return Variant(FValue.AsString);
    case jdtInteger:
        return Variant(FValue.AsInt64);
    case jdtFloat:
        return Variant(static_cast<double>(FValue.AsFloat));
    case jdtBcd:
        // A variant has no decimal of this size; its text keeps every digit.
        return Variant(BcdToStr(*FValue.AsBcd));
    case jdtBoolean:
        return Variant(FValue.AsBoolean);
    case jdtDateTime:
        return Variant::FromDate(static_cast<double>(FValue.AsFloat));
    default: {
        std::vector<Variant> elements;
        elements.reserve(Items().size());
        for (const TQJson* child : Items())
            elements.push_back(child->GetAsVariant());
        return Variant(std::move(elements));
    }
    }
}

void TQJson::SetAsVariant(const Variant& AValue) {
    if (AValue.IsArray()) {
        SetDataType(jdtArray);
        Clear();
        for (const Variant& element : AValue.Elements())
            Add()->SetAsVariant(element);
        return;
    }
    switch (AValue.VarType()) {
    case varEmpty:
    case varNull:
    case varUnknown:
        SetDataType(jdtNull);
        return;
    case varShortInt:
    case varSmallint:
    case varInteger:
    case varInt64:
        SetAsInt64(AValue.AsInt64());
        return;
    case varByte:
    case varWord:
    case varLongWord:
    case varUInt64: {
        const std::uint64_t v = AValue.AsUInt64();
        // Above the signed range a 64-bit integer would change its value.
        if (v > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            SetAsBcd(StrToBcd(UIntToStr(v)));
        else
            SetAsInt64(static_cast<std::int64_t>(v));
        return;
    }
    case varSingle:
    case varDouble:
        SetAsFloat(AValue.AsDouble());
        return;
    case varCurrency:
        SetAsFloat(static_cast<long double>(AValue.AsInt64()) / 10000);
        return;
    case varDate:
        SetAsDateTime(AValue.AsDouble());
        return;
    case varOleStr:
    case varString:
    case varUString:
        SetAsString(AValue.AsString());
        return;
    case varBoolean:
        SetAsBoolean(AValue.AsBoolean());
        return;
    default:
        break;
    }
    if (const TCustomVariantType* custom = AValue.Custom()) {
        double d;
        if (custom->TryToDouble(d) && std::isfinite(d))
            SetAsFloat(d);
        else
            SetAsString(custom->ToString());
        return;
    }
    throw Exception(Format(u"不支持的变体类型 %d 。", {static_cast<int>(AValue.VarType())}));
}

// --- bytes ------------------------------------------------------------------------

namespace {

constexpr char16_t kBase64[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Value(char16_t c) {
    if (c >= u'A' && c <= u'Z') return c - u'A';
    if (c >= u'a' && c <= u'z') return c - u'a' + 26;
    if (c >= u'0' && c <= u'9') return c - u'0' + 52;
    if (c == u'+') return 62;
    if (c == u'/') return 63;
    return -1;
}

} // namespace

TBytes TQJson::GetAsHexBytes() const {
    if (FDataType == jdtNull || FDataType == jdtUnknown) return {};
    if (FDataType != jdtString) RaiseConvert(u"Bytes");
    TBytes out;
    int high = -1;
    for (char16_t c : FValue.AsString) {
        if (IsQBlank(c)) continue;
        const int v = HexDigitValue(c);
        if (v < 0) RaiseConvert(u"Bytes");
        if (high < 0) {
            high = v;
        } else {
            out.push_back(static_cast<std::uint8_t>(high << 4 | v));
            high = -1;
        }
    }
    if (high >= 0) RaiseConvert(u"Bytes");
    return out;
}

void TQJson::SetAsHexBytes(const TBytes& AValue) {
    String text;
    text.reserve(AValue.size() * 2);
    for (std::uint8_t b : AValue)
        text += IntToHex(b, 2);
    SetAsString(text);
}

TBytes TQJson::GetAsBase64Bytes() const {
    if (FDataType == jdtNull || FDataType == jdtUnknown) return {};
    if (FDataType != jdtString) RaiseConvert(u"Bytes");
    TBytes out;
    std::uint32_t bits = 0;
    int count = 0, padding = 0;
    for (char16_t c : FValue.AsString) {
        if (IsQBlank(c)) continue;
        if (c == u'=') {
            ++padding;
            continue;
        }
        const int v = Base64Value(c);
        if (v < 0 || padding) RaiseConvert(u"Bytes");
        bits = bits << 6 | static_cast<std::uint32_t>(v);
        if (++count == 4) {
            out.push_back(static_cast<std::uint8_t>(bits >> 16));
            out.push_back(static_cast<std::uint8_t>(bits >> 8));
            out.push_back(static_cast<std::uint8_t>(bits));
            bits = 0;
            count = 0;
        }
    }
    if (count == 1 || padding > 2) RaiseConvert(u"Bytes");
    if (count == 2) out.push_back(static_cast<std::uint8_t>(bits >> 4));
    if (count == 3) {
        out.push_back(static_cast<std::uint8_t>(bits >> 10));
        out.push_back(static_cast<std::uint8_t>(bits >> 2));
    }
    return out;
}

void TQJson::SetAsBase64Bytes(const TBytes& AValue) {
    String text;
    text.reserve((AValue.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < AValue.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, AValue.size() - i);
        std::uint32_t bits = static_cast<std::uint32_t>(AValue[i]) << 16;
        if (n > 1) bits |= static_cast<std::uint32_t>(AValue[i + 1]) << 8;
        if (n > 2) bits |= AValue[i + 2];
        for (std::size_t k = 0; k < 4; ++k)
            text.push_back(k <= n ? kBase64[(bits >> (18 - 6 * k)) & 0x3F] : u'=');
    }
    SetAsString(text);
}
