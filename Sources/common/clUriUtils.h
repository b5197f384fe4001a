// URLs: splitting a URL text into its pieces, rebuilding the request target
// and the absolute URI from them, and resolving a reference (a redirect's
// Location) against a base URL.
#pragma once

#include "RtlString.h"

#include <cstdint>

enum TclUrlType { utUnknown, utFTP, utGOPHER, utHTTP, utHTTPS, utFILE, utNEWS, utMAILTO };

class TclUrlParser {
public:
    TclUrlParser() = default;
    explicit TclUrlParser(const String& ACharSet) : FCharSet(ACharSet) {}

    // Empties every piece and sets the port to 0; the character set stays.
    void Clear();
    // Copies every piece but the character set.
    void Assign(const TclUrlParser& Source);

    // Splits an absolute or host-relative URL; a URL with a host but no
    // scheme is taken as "http", and a missing port becomes the scheme's
    // default. Never fails: text that is not a URL gives whatever pieces it
    // holds, typically only a host.
    void Parse(StringView AFullUrl);
    // Resolves a reference against a base. A reference without its own
    // scheme and authority takes the base's scheme, host, user, password and
    // port; "//host/..." takes only the base's scheme; dot segments are
    // removed and never climb above the root of an absolute URL.
    void Parse(StringView ABaseUrl, StringView ARelativeUrl);

    // Parses AFullUrl, replaces the last path segment with the file name of
    // ALocalFile and returns the absolute URI.
    String GetURLByLocalFile(StringView AFullUrl, StringView ALocalFile);
    // ALocalFolder joined with the last path segment of AFullUrl (the folder
    // alone when the URL is empty).
    String GetLocalFileByURL(StringView AFullUrl, StringView ALocalFolder);

    // "ftp" 21, "gopher" 70, "http" 80, "https" 443, else 0 (case-sensitive).
    static int GetDefaultPort(StringView AScheme);

    const String& GetCharSet() const { return FCharSet; }
    void SetCharSet(const String& Value) { FCharSet = Value; }
    const String& GetScheme() const { return FScheme; }
    void SetScheme(const String& Value) { FScheme = Value; }
    const String& GetHost() const { return FHost; }
    void SetHost(const String& Value) { FHost = Value; }
    const String& GetUserName() const { return FUserName; }
    void SetUserName(const String& Value) { FUserName = Value; }
    const String& GetPassword() const { return FPassword; }
    void SetPassword(const String& Value) { FPassword = Value; }
    const String& GetPath() const { return FPath; }
    void SetPath(const String& Value) { FPath = Value; }
    const String& GetQueryString() const { return FQueryString; }
    void SetQueryString(const String& Value) { FQueryString = Value; }
    const String& GetFragment() const { return FFragment; }
    void SetFragment(const String& Value) { FFragment = Value; }
    std::int32_t GetPort() const { return FPort; }
    void SetPort(std::int32_t Value) { FPort = Value; }

    TclUrlType GetUrlType() const;
    // The request target for an origin server ("*" for the host "*"),
    // percent-encoded in CharSet, fragment included.
    String GetAbsolutePath() const;
    // Scheme, user information, host in its ASCII form, a port that is not
    // the default, then the request target. Raises EclIdnError for a host
    // label that cannot be encoded.
    String GetAbsoluteUri() const;

private:
    void Split(StringView AUrl);
    void ResolveAgainst(const TclUrlParser& ABase, StringView ARelativeUrl, bool& AOwnAuthority);
    String BuildAuthority() const;
    String BuildResource() const;

    String FScheme;
    String FPath;
    String FUserName;
    String FQueryString;
    String FHost;
    String FPassword;
    std::int32_t FPort = 0;
    String FCharSet;
    String FFragment;
};
