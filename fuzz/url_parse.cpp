// Splits and resolves arbitrary URL texts. The input is UTF-16LE; a U+0000
// separates the base URL from the reference. Checks that a resolved absolute
// URL never keeps a "." or ".." segment in its path.
#include "clIdnTranslator.h"
#include "clUriUtils.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void Render(const TclUrlParser& url) {
    try {
        (void)url.GetAbsoluteUri();
        (void)url.GetAbsolutePath();
    } catch (const EclIdnError&) {
    }
}

bool HasDotSegment(const String& path) {
    for (const String& segment : SplitString(path, u'/'))
        if (segment == u"." || segment == u"..") return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    String text(size / 2, u'\0');
    std::memcpy(text.data(), data, text.size() * 2);
    const std::size_t separator = text.find(u'\0');
    const String base = text.substr(0, separator);
    const String reference = separator == String::npos ? String() : text.substr(separator + 1);

    TclUrlParser url(u"utf-8");
    url.Parse(base);
    if (url.GetPort() < 0) std::abort();
    Render(url);

    url.Parse(base, reference);
    if (url.GetPort() < 0) std::abort();
    if (!url.GetScheme().empty() && (url.GetPath().empty() || url.GetPath()[0] != u'/'))
        std::abort();
    if (!url.GetScheme().empty() && HasDotSegment(url.GetPath())) std::abort();
    Render(url);
    return 0;
}
