#include "clIdnTranslator.h"
#include "clUriUtils.h"

#include <gtest/gtest.h>

namespace {

TclUrlParser Parsed(StringView url, const String& charSet = {}) {
    TclUrlParser parser(charSet);
    parser.Parse(url);
    return parser;
}

} // namespace

TEST(UrlParser, SplitsAbsoluteAndHostRelativeUrls) {
    TclUrlParser url = Parsed(u"HTTPS://h/api?a=1&b=2#frag?x");
    EXPECT_EQ(url.GetScheme(), u"https");
    EXPECT_EQ(url.GetHost(), u"h");
    EXPECT_EQ(url.GetPort(), 443);
    EXPECT_EQ(url.GetPath(), u"/api");
    EXPECT_EQ(url.GetQueryString(), u"?a=1&b=2");
    EXPECT_EQ(url.GetFragment(), u"#frag?x");
    EXPECT_EQ(url.GetUrlType(), utHTTPS);
    EXPECT_EQ(url.GetAbsolutePath(), u"/api?a=1&b=2#frag?x");

    url = Parsed(u"h/a");
    EXPECT_EQ(url.GetScheme(), u"http");
    EXPECT_EQ(url.GetHost(), u"h");
    EXPECT_EQ(url.GetPort(), 80);
    EXPECT_EQ(url.GetPath(), u"/a");
    EXPECT_EQ(url.GetUrlType(), utHTTP);

    url = Parsed(u"svn+ssh.2://h/x");
    EXPECT_EQ(url.GetScheme(), u"svn+ssh.2");
    EXPECT_EQ(url.GetPort(), 0);
    EXPECT_EQ(url.GetUrlType(), utUnknown);

    url = Parsed(u"MailTo:someone@h");
    EXPECT_EQ(url.GetScheme(), u"mailto");
    EXPECT_EQ(url.GetUserName(), u"someone");
    EXPECT_EQ(url.GetHost(), u"h");
    EXPECT_EQ(url.GetAbsoluteUri(), u"mailto:someone@h");
}

TEST(UrlParser, UserInformationAndPortRoundTrip) {
    const String text = u"http://user:secret@h:8080/x#top";
    TclUrlParser url = Parsed(text);
    EXPECT_EQ(url.GetUserName(), u"user");
    EXPECT_EQ(url.GetPassword(), u"secret");
    EXPECT_EQ(url.GetHost(), u"h");
    EXPECT_EQ(url.GetPort(), 8080);
    EXPECT_EQ(url.GetFragment(), u"#top");
    EXPECT_EQ(url.GetAbsoluteUri(), text);
    url.SetPort(80);
    EXPECT_EQ(url.GetAbsoluteUri(), u"http://user:secret@h/x#top");
    EXPECT_EQ(Parsed(u"http://h").GetAbsolutePath(), u"/");
    url.SetHost(u"*");
    EXPECT_EQ(url.GetAbsolutePath(), u"*");
}

TEST(UrlParser, PortIsDecimalDigitsOrNone) {
    EXPECT_EQ(Parsed(u"h:8080/x").GetPort(), 8080);
    for (const char16_t* url : {u"h:/x", u"h:8o/x", u"h:+81/x", u"h:-81/x", u"h: 81/x", u"h:0x51/x",
                                u"h:$51/x", u"h:99999999999/x"}) {
        SCOPED_TRACE(StringToUtf8(url));
        const TclUrlParser parsed = Parsed(url);
        EXPECT_EQ(parsed.GetHost(), u"h");
        EXPECT_EQ(parsed.GetPort(), 80);
    }
}

TEST(UrlParser, SchemeSeparatorNeedsAValidSchemeInFrontOfIt) {
    for (const char16_t* text : {u"/go/http://other/x", u"a b://c/d", u"1x://c/d", u"://c/d"}) {
        SCOPED_TRACE(StringToUtf8(text));
        TclUrlParser url;
        url.Parse(u"http://h/base/", text);
        EXPECT_EQ(url.GetScheme(), u"http");
        EXPECT_EQ(url.GetHost(), u"h");
    }
    TclUrlParser url = Parsed(u"h/redirect/http://other/x");
    EXPECT_EQ(url.GetHost(), u"h");
    EXPECT_EQ(url.GetPath(), u"/redirect/http://other/x");
}

TEST(UrlParser, RequestTargetIsPercentEncodedInTheCharSet) {
    TclUrlParser url = Parsed(u"http://h/a b~/%41/100%/caf\u00E9?q=\u4E2D#s p", u"utf-8");
    EXPECT_EQ(url.GetAbsolutePath(), u"/a%20b%7E/%41/100%25/caf%C3%A9?q=%E4%B8%AD#s%20p");
    url.SetCharSet(u"gbk");
    EXPECT_EQ(url.GetAbsolutePath(), u"/a%20b%7E/%41/100%25/caf%A8%A6?q=%D6%D0#s%20p");
    url.SetPath(u"rel");
    url.SetQueryString(u"x=1");
    url.SetFragment({});
    EXPECT_EQ(url.GetAbsolutePath(), u"/rel?x=1");
}

TEST(UrlParser, InternationalHostsGoOutInAsciiForm) {
    TclUrlParser url = Parsed(u"http://www.b\u00FCcher.example:81/");
    EXPECT_EQ(url.GetHost(), u"www.b\u00FCcher.example");
    EXPECT_EQ(url.GetAbsoluteUri(), u"http://www.xn--bcher-kva.example:81/");
    url.SetHost(String(3000, u'a') + u"\U0010FFFF");
    EXPECT_THROW(url.GetAbsoluteUri(), EclIdnError);
}

TEST(UrlParser, ClearAndAssignKeepTheCharSet) {
    TclUrlParser source = Parsed(u"ftp://u:p@h:2121/f?q#g", u"utf-8");
    TclUrlParser copy(u"gbk");
    copy.Assign(source);
    EXPECT_EQ(copy.GetAbsoluteUri(), u"ftp://u:p@h:2121/f?q#g");
    EXPECT_EQ(copy.GetCharSet(), u"gbk");
    copy.Clear();
    EXPECT_EQ(copy.GetAbsoluteUri(), u"");
    EXPECT_EQ(copy.GetPort(), 0);
    EXPECT_EQ(copy.GetCharSet(), u"gbk");
}

TEST(UrlParser, LocalFilesAndUrlsMapByTheirLastSegment) {
    TclUrlParser url;
    EXPECT_EQ(url.GetURLByLocalFile(u"http://h/dir/old.txt", u"/home/u/new.txt"),
              u"http://h/dir/new.txt");
    EXPECT_EQ(url.GetURLByLocalFile(u"http://h/dir/", u"C:\\data\\x.bin"), u"http://h/dir/x.bin");
    EXPECT_EQ(url.GetLocalFileByURL(u"http://h/dir/file.txt", u"/tmp"), u"/tmp/file.txt");
    EXPECT_EQ(url.GetLocalFileByURL(u"http://h/dir/file.txt", u"/tmp/"), u"/tmp/file.txt");
    EXPECT_EQ(url.GetLocalFileByURL(u"", u"/tmp"), u"/tmp");
}
