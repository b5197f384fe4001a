// Header blocks of arbitrary text: parse, read every field and its items, and
// edit items in place. Only the list's own usage error may escape, and the
// block must stay parseable after every edit.
#include "clHeaderFieldList.h"

#include "RtlException.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

const char16_t* const kItemNames[] = {u"",         u"charset", u"boundary", u"name",
                                      u"filename", u"realm",   u"nonce",    u"path"};

// Re-parses and checks that every field lies inside the block.
void CheckBlock(TclHeaderFieldList& fields, TStrings& source) {
    const int end = fields.Parse(0, source);
    if (end < 0 || end > source.Count()) std::abort();
    for (int i = 0; i < fields.GetFieldList().Count(); ++i) {
        const int start = fields.GetFieldStart(i);
        const int last = fields.GetFieldEnd(i);
        if (start < 0 || last < start || last >= end) std::abort();
        if (fields.GetFieldName(i).size() != fields.GetFieldList()[i].size()) std::abort();
    }
}

void ReadItems(TclHeaderFieldList& fields) {
    for (int i = 0; i < fields.GetFieldList().Count(); ++i) {
        const String value = fields.GetFieldValue(i);
        for (const char16_t* name : kItemNames) {
            const TclFieldItem item = fields.FindFieldItem(value, name);
            if (item.Start < 0 || item.Start + item.Length - 1 > static_cast<int>(value.size()))
                std::abort();
            fields.GetFieldValueItem(value, name);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0;
    TStringList source;
    source.SetText(Utf8ToString(data, size));
    TclHeaderFieldList fields;
    CheckBlock(fields, source);
    ReadItems(fields);
    const int count = fields.GetFieldList().Count();
    for (int i = 0; i < count && i < 4; ++i) {
        // Item names taken from the block itself reach the odd cases.
        const String value = fields.GetFieldValue(i);
        const String name = Trim(value.substr(0, value.find(u'=')));
        try {
            fields.AddFieldItem(i, name, u"v");
            CheckBlock(fields, source);
            fields.ClearFieldItem(i, name);
            CheckBlock(fields, source);
            fields.RemoveFieldItem(i, name);
            CheckBlock(fields, source);
            fields.AddField(value, value);
            CheckBlock(fields, source);
        } catch (const EAssertionFailed&) {
            // Names with line breaks are refused.
        }
    }
    fields.AddEndOfHeader();
    CheckBlock(fields, source);
    return 0;
}
