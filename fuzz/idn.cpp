// Translates arbitrary host names (UTF-16LE input) to their ASCII form and
// compares every label without surrogates with libidn's Punycode encoder.
#include "clIdnTranslator.h"

#include <punycode.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void CompareWithReference(const String& label) {
    if (TclIdnTranslator::IsBasic(label)) return;
    std::vector<punycode_uint> cps;
    for (std::size_t i = 0; i < label.size();) {
        const char32_t cp = ReadCodePoint(label, i);
        if (cp >= 0xD800 && cp <= 0xDFFF) return; // the reference refuses unpaired surrogates
        cps.push_back(cp);
    }
    std::vector<char> out(cps.size() * 8 + 64);
    size_t length = out.size();
    const int rc = punycode_encode(cps.size(), cps.data(), nullptr, &length, out.data());
    String ours;
    try {
        ours = TclIdnTranslator::GetAsciiText(label);
    } catch (const EclIdnError&) {
        return; // our limit is the signed one, below the reference's
    }
    if (rc != PUNYCODE_SUCCESS) std::abort();
    if (ours != u"xn--" + AsciiToString(std::string_view(out.data(), length))) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    String host(size / 2, u'\0');
    std::memcpy(host.data(), data, host.size() * 2);
    String ascii;
    try {
        ascii = TclIdnTranslator::GetAscii(host);
    } catch (const EclIdnError&) {
        return 0;
    }
    if (!TclIdnTranslator::IsBasic(ascii)) std::abort();
    for (const String& label : SplitString(host, u'.'))
        CompareWithReference(label);
    return 0;
}
