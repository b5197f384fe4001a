#include "RtlVariant.h"

#include "RtlConvert.h"
#include "RtlException.h"

TCustomVariantType::~TCustomVariantType() = default;

Variant Variant::Null() {
    return Variant(varNull, std::monostate{});
}

Variant Variant::FromDate(double dateTime) {
    return Variant(varDate, dateTime);
}

Variant Variant::FromCurrency(std::int64_t scaled) {
    return Variant(varCurrency, scaled);
}

Variant Variant::FromError(std::int32_t code) {
    return Variant(varError, std::int64_t(code));
}

Variant Variant::FromUnknown(std::shared_ptr<void> reference) {
    return Variant(varUnknown, std::move(reference));
}

Variant Variant::FromDispatch(std::shared_ptr<void> reference) {
    return Variant(varDispatch, std::move(reference));
}

Variant Variant::FromCustom(std::shared_ptr<TCustomVariantType> value) {
    const TVarType type = value ? value->VarType() : varEmpty;
    return Variant(type, std::move(value));
}

void Variant::Mismatch(const char16_t* wanted) const {
    throw EConvertError(u"Variant of type " + IntToStr(FType) + u" holds no " + wanted);
}

std::int64_t Variant::AsInt64() const {
    if (const auto* v = std::get_if<std::int64_t>(&FValue)) return *v;
    Mismatch(u"signed integer");
}

std::uint64_t Variant::AsUInt64() const {
    if (const auto* v = std::get_if<std::uint64_t>(&FValue)) return *v;
    Mismatch(u"unsigned integer");
}

double Variant::AsDouble() const {
    if (const auto* v = std::get_if<double>(&FValue)) return *v;
    Mismatch(u"float");
}

bool Variant::AsBoolean() const {
    if (const auto* v = std::get_if<bool>(&FValue)) return *v;
    Mismatch(u"Boolean");
}

const String& Variant::AsString() const {
    if (const auto* v = std::get_if<String>(&FValue)) return *v;
    Mismatch(u"string");
}

const std::vector<Variant>& Variant::Elements() const {
    if (const auto* v = std::get_if<std::shared_ptr<std::vector<Variant>>>(&FValue)) return **v;
    Mismatch(u"array");
}

const TCustomVariantType* Variant::Custom() const {
    if (const auto* v = std::get_if<std::shared_ptr<TCustomVariantType>>(&FValue)) return v->get();
    return nullptr;
}
