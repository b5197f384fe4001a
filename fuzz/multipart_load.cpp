// Loading request bodies of arbitrary bytes. The first byte picks the read
// size and the content type; the items read must not depend on the read
// size, and the body built from them again must be as long as announced.
#include "clHttpRequest.h"

#include "RtlException.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// The loaded items in one text: class, names, values and saved bytes.
String Load(TclHttpRequest& request, const std::uint8_t* data, std::size_t size, int batch) {
    String items;
    request.SetBatchSize(batch);
    request.OnSaveData = [](TclHttpRequest*, TclHttpRequestItem*, std::unique_ptr<TStream>& s) {
        s = std::make_unique<TBytesStream>();
    };
    request.OnDataAdded = [&](TclHttpRequest*, TclHttpRequestItem* item, TStream* saved) {
        items += item->ClassName() + u"|";
        if (auto* field = dynamic_cast<TclFormFieldRequestItem*>(item))
            items += field->GetFieldName() + u"|" + field->GetFieldValue();
        if (auto* file = dynamic_cast<TclSubmitFileRequestItem*>(item))
            items +=
                file->GetFieldName() + u"|" + file->GetFileName() + u"|" + file->GetContentType();
        if (auto* text = dynamic_cast<TclTextRequestItem*>(item)) items += text->GetTextData();
        if (saved) {
            saved->SetPosition(0);
            const TBytes bytes = saved->ReadAll();
            items += u"|" + AsciiToString(std::string(bytes.begin(), bytes.end()));
        }
        items += u"\n";
    };
    TBytesStream body(TBytes(data, data + size));
    request.SetRequestStream(&body);
    return items;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > 65536) return 0;
    const int batch = 1 + (data[0] & 0x3F);
    const bool urlEncoded = (data[0] & 0x40) != 0;
    ++data;
    --size;

    TclHttpRequest small;
    TclHttpRequest large;
    if (urlEncoded) {
        small.GetHeader().SetContentType(u"application/x-www-form-urlencoded");
        large.GetHeader().SetContentType(u"application/x-www-form-urlencoded");
    }
    const String bySmall = Load(small, data, size, batch);
    const String byLarge = Load(large, data, size, 8192);
    if (bySmall != byLarge || small.GetItems().Count() != large.GetItems().Count()) std::abort();

    // Build the body again from what was loaded; files come from memory.
    small.OnLoadData = [](TclHttpRequest*, TclHttpRequestItem*, std::unique_ptr<TStream>& s) {
        s = std::make_unique<TBytesStream>(TBytes{'f', 'i', 'l', 'e'});
    };
    try {
        const std::int64_t total = small.GetTotalSize();
        const TBytes body = small.GetRequestStream()->ReadAll();
        if (total != static_cast<std::int64_t>(body.size())) std::abort();
    } catch (const EAssertionFailed&) {
        // A loaded content type with a line break is refused when written.
    }
    return 0;
}
