// Parses arbitrary text, writes the tree back, parses that text and checks
// that both trees say the same: the same structure, names and types, and the
// same value texts (a float keeps the 15 digits its text has; an integral
// float may come back as an integer). The writer's output of the second tree
// must also equal that of the first.
#include "qjson.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool IsNumber(TQJsonDataType t) {
    return t == jdtInteger || t == jdtFloat || t == jdtBcd;
}

bool SameTree(const TQJson* a, const TQJson* b) {
    if (a->GetName() != b->GetName()) return false;
    const TQJsonDataType ta = a->GetDataType(), tb = b->GetDataType();
    if (ta != tb && !(IsNumber(ta) && IsNumber(tb))) return false;
    if (!a->IsContainer()) return a->GetValue() == b->GetValue();
    if (a->GetCount() != b->GetCount()) return false;
    for (int i = 0; i < a->GetCount(); ++i)
        if (!SameTree(a->GetItems(i), b->GetItems(i))) return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const bool format = data[0] & 1, escape = data[0] & 2;
    // The rest is UTF-16LE, so that every code unit (lone surrogates and
    // U+0000 included) can reach the parser.
    String text((size - 1) / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(data[1 + 2 * i] | data[2 + 2 * i] << 8);
    TQJson first;
    if (!first.TryParse(text)) return 0;
    const String written = first.Encode(format, escape);
    TQJson second;
    try {
        second.Parse(written);
    } catch (const EJsonError&) {
        std::abort(); // the writer produced text its own parser refuses
    }
    if (!SameTree(&first, &second)) std::abort();
    if (second.Encode(format, escape) != written) std::abort();
    return 0;
}
