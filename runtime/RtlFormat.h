// Format: printf-like formatting with the runtime's directive syntax:
//   "%" ["index" ":"] ["-"] ["width"] ["." "precision"] type
// type is d (integer), u (unsigned), x (hex), e/f/g/n/m (float), s (text), p (pointer).
// Width and precision may be "*", taking the next argument. "%%" is a percent sign.
// A directive that does not match its argument, or a missing argument, raises
// EConvertError "Format '<format>' invalid or incompatible with argument".
#pragma once

#include "RtlFormatSettings.h"
#include "RtlString.h"

#include <cstdint>
#include <initializer_list>
#include <type_traits>

class TVarRec {
public:
    enum class Kind { Int, UInt, Float, Text, Pointer };

    template <class T, std::enable_if_t<std::is_integral_v<T> && std::is_signed_v<T> &&
                                            !std::is_same_v<T, bool> && !std::is_same_v<T, char16_t>,
                                        int> = 0>
    TVarRec(T v) : FKind(Kind::Int), FInt(v) {}
    template <class T, std::enable_if_t<std::is_integral_v<T> && std::is_unsigned_v<T> &&
                                            !std::is_same_v<T, bool> && !std::is_same_v<T, char16_t>,
                                        int> = 0>
    TVarRec(T v) : FKind(Kind::UInt), FUInt(v) {}
    TVarRec(double v) : FKind(Kind::Float), FFloat(v) {}
    TVarRec(long double v) : FKind(Kind::Float), FFloat(v) {}
    TVarRec(const String& v) : FKind(Kind::Text), FText(v) {}
    TVarRec(StringView v) : FKind(Kind::Text), FText(v) {}
    TVarRec(const char16_t* v) : FKind(Kind::Text), FText(v) {}
    TVarRec(char16_t v) : FKind(Kind::Text), FText(&v, 1) {}
    TVarRec(const void* v) : FKind(Kind::Pointer), FPointer(v) {}

    Kind GetKind() const { return FKind; }
    std::int64_t AsInt() const { return FInt; }
    std::uint64_t AsUInt() const { return FUInt; }
    long double AsFloat() const { return FFloat; }
    const String& AsText() const { return FText; }
    const void* AsPointer() const { return FPointer; }

private:
    Kind FKind;
    std::int64_t FInt = 0;
    std::uint64_t FUInt = 0;
    long double FFloat = 0;
    String FText;
    const void* FPointer = nullptr;
};

String Format(StringView format, std::initializer_list<TVarRec> args,
              const TFormatSettings& settings = FormatSettings());
