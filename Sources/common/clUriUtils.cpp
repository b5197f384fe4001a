#include "clUriUtils.h"

#include "RtlConvert.h"
#include "clIdnTranslator.h"
#include "clPercentEncoder.h"

#include <limits>
#include <vector>

namespace {

constexpr auto npos = StringView::npos;

bool IsAsciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
bool IsAsciiDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// A scheme is a letter followed by letters, digits, "+", "-" or ".".
bool IsSchemeToken(StringView text) {
    if (text.empty() || !IsAsciiLetter(text[0])) return false;
    for (char16_t c : text.substr(1))
        if (!IsAsciiLetter(c) && !IsAsciiDigit(c) && c != u'+' && c != u'-' && c != u'.')
            return false;
    return true;
}

// A port is written in decimal digits only; anything else, or a number that
// does not fit, means no port.
std::int32_t PortOf(StringView text) {
    if (text.empty()) return 0;
    std::int64_t value = 0;
    for (char16_t c : text) {
        if (!IsAsciiDigit(c)) return 0;
        value = value * 10 + (c - u'0');
        if (value > std::numeric_limits<std::int32_t>::max()) return 0;
    }
    return static_cast<std::int32_t>(value);
}

// Removes "." and ".." segments from a path given without its leading "/";
// the result starts with "/". A ".." that would climb above the first
// segment is dropped when `atRoot` (the path belongs to an absolute URL);
// otherwise the path cannot be resolved and the result is empty.
String NormalizePath(StringView w, bool atRoot) {
    std::vector<String> segments = SplitString(w, u'/');
    if (segments.back() == u"." || segments.back() == u"..") segments.emplace_back();
    std::vector<String> kept;
    for (String& segment : segments) {
        if (segment == u".") continue;
        if (segment == u"..") {
            if (!kept.empty() && kept.back() != u"..") {
                kept.pop_back();
                continue;
            }
            if (atRoot) continue;
        }
        kept.push_back(std::move(segment));
    }
    if (!kept.empty() && kept.front() == u"..") return {};
    String result;
    for (const String& segment : kept)
        result += u"/" + segment;
    return result;
}

// The base path from its second character up to and including its last "/".
String BaseDirectory(const String& basePath) {
    const std::size_t slash = basePath.rfind(u'/');
    return slash == npos || slash == 0 ? String() : basePath.substr(1, slash);
}

} // namespace

void TclUrlParser::Clear() {
    FScheme.clear();
    FHost.clear();
    FUserName.clear();
    FPassword.clear();
    FPath.clear();
    FQueryString.clear();
    FFragment.clear();
    FPort = 0;
}

void TclUrlParser::Assign(const TclUrlParser& Source) {
    FScheme = Source.FScheme;
    FHost = Source.FHost;
    FUserName = Source.FUserName;
    FPassword = Source.FPassword;
    FPath = Source.FPath;
    FQueryString = Source.FQueryString;
    FFragment = Source.FFragment;
    FPort = Source.FPort;
}

void TclUrlParser::Split(StringView AUrl) {
    Clear();
    StringView s = AUrl;
    if (const std::size_t p = s.find(u'#'); p != npos) {
        FFragment = s.substr(p);
        s = s.substr(0, p);
    }
    if (const std::size_t p = s.find(u'?'); p != npos) {
        FQueryString = s.substr(p);
        s = s.substr(0, p);
    }
    if (const std::size_t p = s.find(u"://"); p != npos && IsSchemeToken(s.substr(0, p))) {
        FScheme = LowerCase(s.substr(0, p));
        s = s.substr(p + 3);
    } else if (s.size() > 6 && SameText(s.substr(0, 7), u"mailto:")) {
        FScheme = u"mailto";
        s = s.substr(7);
    }
    if (std::size_t p = s.find(u'/'); p != npos) {
        // Up to two dots before the slash belong to the path: "../x", "./x".
        for (int i = 0; i < 2; ++i)
            if (p > 0 && s[p - 1] == u'.') --p;
        FPath = s.substr(p);
        s = s.substr(0, p);
    }
    if (const std::size_t p = s.find(u'@'); p != npos) {
        const StringView userInfo = s.substr(0, p);
        s = s.substr(p + 1);
        const std::size_t colon = userInfo.find(u':');
        FUserName = userInfo.substr(0, colon);
        if (colon != npos) FPassword = userInfo.substr(colon + 1);
    }
    if (const std::size_t p = s.find(u':'); p != npos) {
        FPort = PortOf(s.substr(p + 1));
        s = s.substr(0, p);
    }
    FHost = s;
}

void TclUrlParser::Parse(StringView AFullUrl) {
    Split(AFullUrl);
    if (FScheme.empty() && !FHost.empty()) FScheme = u"http";
    if (FPort == 0) FPort = GetDefaultPort(FScheme);
}

void TclUrlParser::ResolveAgainst(const TclUrlParser& ABase, StringView ARelativeUrl,
                                  bool& AOwnAuthority) {
    if (ARelativeUrl.substr(0, 2) == u"//") {
        // A network-path reference names its own host.
        Split(ABase.FScheme + u"://" + String(ARelativeUrl.substr(2)));
        AOwnAuthority = true;
        return;
    }
    // Without an authority of its own, everything before the query or the
    // fragment is path, even when it looks like "user@host:port".
    FPath = ARelativeUrl.substr(0, ARelativeUrl.find_first_of(u"?#"));
    FScheme = ABase.FScheme;
    FHost = ABase.FHost;
    FUserName = ABase.FUserName;
    FPassword = ABase.FPassword;
    FPort = ABase.FPort;
    if (FPath.empty()) {
        FPath = ABase.FPath;
        if (FQueryString.empty()) FQueryString = ABase.FQueryString;
    }
}

void TclUrlParser::Parse(StringView ABaseUrl, StringView ARelativeUrl) {
    if (ABaseUrl.empty() && ARelativeUrl.empty()) {
        Clear();
        return;
    }
    TclUrlParser base(FCharSet);
    base.Split(ABaseUrl);
    Split(ARelativeUrl);
    bool ownAuthority = !FScheme.empty();
    if (!ownAuthority && !base.FScheme.empty()) ResolveAgainst(base, ARelativeUrl, ownAuthority);
    if (FScheme.empty() && !FHost.empty()) FScheme = u"http";

    String w;
    if (!FPath.empty() && FPath[0] == u'/')
        w = FPath.substr(1);
    else if (ownAuthority)
        w = FPath;
    else
        w = BaseDirectory(base.FPath) + FPath;
    const bool absolute = !FScheme.empty() || !FHost.empty();
    FPath = NormalizePath(w, absolute);
    // Both texts relative: a path that climbs above its start stays as written.
    if (!absolute && FPath.empty() && !w.empty()) FPath = w;
    if (FPort == 0) FPort = GetDefaultPort(FScheme);
}

int TclUrlParser::GetDefaultPort(StringView AScheme) {
    if (AScheme == u"ftp") return 21;
    if (AScheme == u"gopher") return 70;
    if (AScheme == u"http") return 80;
    if (AScheme == u"https") return 443;
    return 0;
}

TclUrlType TclUrlParser::GetUrlType() const {
    static const struct {
        const char16_t* scheme;
        TclUrlType type;
    } kTypes[] = {{u"ftp", utFTP},      {u"gopher", utGOPHER}, {u"http", utHTTP},
                  {u"https", utHTTPS},  {u"file", utFILE},     {u"news", utNEWS},
                  {u"mailto", utMAILTO}};
    for (const auto& entry : kTypes)
        if (FScheme == entry.scheme) return entry.type;
    return utUnknown;
}

String TclUrlParser::BuildAuthority() const {
    String result;
    if (LowerCase(FScheme) == u"mailto")
        result = FScheme + u":";
    else if (!FScheme.empty())
        result = FScheme + u"://";
    if (!FHost.empty()) {
        if (!FUserName.empty()) {
            result += FUserName;
            if (!FPassword.empty()) result += u":" + FPassword;
            result += u"@";
        }
        result += TclIdnTranslator::GetAscii(FHost);
    }
    if (FPort != 0 && FPort != GetDefaultPort(FScheme)) result += u":" + IntToStr(FPort);
    return result;
}

String TclUrlParser::BuildResource() const {
    String result;
    const bool needsRoot = !FHost.empty() && FPath.empty() && LowerCase(FScheme) != u"mailto";
    if (needsRoot || (!FPath.empty() && FPath[0] != u'/')) result = u"/";
    result += FPath;
    if (!FQueryString.empty() && FQueryString[0] != u'?') result += u"?";
    result += FQueryString;
    result = TclUrlEncoder::Encode(result, FCharSet);
    if (!FFragment.empty()) {
        const StringView fragment =
            FFragment[0] == u'#' ? StringView(FFragment).substr(1) : StringView(FFragment);
        result += u"#" + TclUrlEncoder::Encode(fragment, FCharSet);
    }
    return result;
}

String TclUrlParser::GetAbsolutePath() const {
    return FHost == u"*" ? String(u"*") : BuildResource();
}

String TclUrlParser::GetAbsoluteUri() const {
    return BuildAuthority() + BuildResource();
}

String TclUrlParser::GetURLByLocalFile(StringView AFullUrl, StringView ALocalFile) {
    Parse(AFullUrl);
    String path = FPath.substr(0, FPath.rfind(u'/') + 1);
    if (!path.empty() && path.back() != u'/') path += u'/';
    // Local paths may use either separator.
    const std::size_t separator = ALocalFile.find_last_of(u"\\/");
    path += ALocalFile.substr(separator == npos ? 0 : separator + 1);
    FPath = path;
    return GetAbsoluteUri();
}

String TclUrlParser::GetLocalFileByURL(StringView AFullUrl, StringView ALocalFolder) {
    Parse(AFullUrl);
    if (GetAbsoluteUri().empty()) return String(ALocalFolder);
    String result(ALocalFolder);
    if (result.empty() || (result.back() != u'/' && result.back() != u'\\')) result += u'/';
    return result + FPath.substr(FPath.rfind(u'/') + 1);
}
