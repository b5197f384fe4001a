#include "clIdnTranslator.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

// Punycode's standard parameters.
constexpr std::int64_t kBase = 36;
constexpr std::int64_t kTMin = 1;
constexpr std::int64_t kTMax = 26;
constexpr std::int64_t kSkew = 38;
constexpr std::int64_t kDamp = 700;
constexpr std::int64_t kInitialBias = 72;
constexpr char32_t kInitialN = 128;
// Deltas are 32-bit signed quantities; a label whose deltas pass this limit
// cannot be encoded.
constexpr std::int64_t kMaxDelta = std::numeric_limits<std::int32_t>::max();

const char16_t* const kOverflowText = u"Input value needs wider integers to translate";
const char16_t* const kBadInputText = u"Bad input value for the IDN translator";

// Punycode counts code points; an unpaired surrogate stands for its own value.
std::vector<char32_t> CodePoints(StringView text) {
    std::vector<char32_t> result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size();)
        result.push_back(ReadCodePoint(text, i));
    return result;
}

char16_t EncodeDigit(std::int64_t d) {
    if (d < 0 || d > 35) throw EclIdnError(kBadInputText);
    return d < 26 ? static_cast<char16_t>(u'a' + d) : static_cast<char16_t>(u'0' + d - 26);
}

std::int64_t Adapt(std::int64_t delta, std::int64_t numPoints, bool firstTime) {
    delta = firstTime ? delta / kDamp : delta / 2;
    delta += delta / numPoints;
    std::int64_t k = 0;
    while (delta > ((kBase - kTMin) * kTMax) / 2) {
        delta /= kBase - kTMin;
        k += kBase;
    }
    return k + (kBase - kTMin + 1) * delta / (delta + kSkew);
}

// Writes the variable-length integer q with the current bias.
void AppendVariableLength(String& out, std::int64_t q, std::int64_t bias) {
    for (std::int64_t k = kBase;; k += kBase) {
        const std::int64_t t = k <= bias ? kTMin : k >= bias + kTMax ? kTMax : k - bias;
        if (q < t) break;
        out.push_back(EncodeDigit(t + (q - t) % (kBase - t)));
        q = (q - t) / (kBase - t);
    }
    out.push_back(EncodeDigit(q));
}

} // namespace

bool TclIdnTranslator::IsBasic(StringView AInput) {
    return std::all_of(AInput.begin(), AInput.end(), [](char16_t c) { return c < 128; });
}

String TclIdnTranslator::GetAsciiText(StringView AInput) {
    if (IsBasic(AInput)) return String(AInput);
    const std::vector<char32_t> input = CodePoints(AInput);

    String out = u"xn--";
    for (char32_t cp : input)
        if (cp < kInitialN) out.push_back(static_cast<char16_t>(cp));
    const std::int64_t basicCount = static_cast<std::int64_t>(out.size()) - 4;
    if (basicCount > 0) out.push_back(u'-');

    const auto total = static_cast<std::int64_t>(input.size());
    char32_t n = kInitialN;
    std::int64_t delta = 0;
    std::int64_t bias = kInitialBias;
    std::int64_t handled = basicCount;
    while (handled < total) {
        // The smallest code point not yet handled.
        char32_t m = std::numeric_limits<char32_t>::max();
        for (char32_t cp : input)
            if (cp >= n && cp < m) m = cp;
        if (static_cast<std::int64_t>(m - n) > (kMaxDelta - delta) / (handled + 1))
            throw EclIdnError(kOverflowText);
        delta += static_cast<std::int64_t>(m - n) * (handled + 1);
        n = m;
        for (char32_t cp : input) {
            if (cp < n && ++delta > kMaxDelta) throw EclIdnError(kOverflowText);
            if (cp != n) continue;
            AppendVariableLength(out, delta, bias);
            bias = Adapt(delta, handled + 1, handled == basicCount);
            delta = 0;
            ++handled;
        }
        ++delta;
        ++n;
    }
    return out;
}

String TclIdnTranslator::GetAscii(StringView AInput) {
    if (IsBasic(AInput)) return String(AInput);
    String out;
    out.reserve(AInput.size() + 8);
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = AInput.find(u'.', start);
        out += GetAsciiText(AInput.substr(start, dot - start));
        if (dot == StringView::npos) break;
        out.push_back(u'.');
        start = dot + 1;
    }
    return out;
}
