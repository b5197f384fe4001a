// Percent-decodes arbitrary text (UTF-16LE input; the first byte picks the
// character set) with both encoders, and checks that form encoding followed
// by decoding gives every byte back.
#include "clPercentEncoder.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const char16_t* const kCharSets[] = {u"",          u"utf-8",  u"us-ascii", u"gbk",
                                                u"shift_jis", u"utf-16", u"koi8-r",   u"bogus"};
    const char16_t* charSet = kCharSets[data[0] % std::size(kCharSets)];
    ++data;
    --size;
    String text(size / 2, u'\0');
    std::memcpy(text.data(), data, text.size() * 2);

    const TclUrlEncoder url;
    const TclFormFieldEncoder form;
    (void)url.DecodeString(text, charSet);
    (void)form.DecodeString(text, charSet);
    (void)url.EncodeString(text, charSet);

    const TBytes raw(data, data + size);
    if (form.DecodeToBytes(form.EncodeBytes(raw), charSet) != raw) std::abort();
    return 0;
}
