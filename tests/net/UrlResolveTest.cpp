#include "clUriUtils.h"

#include <gtest/gtest.h>

namespace {

String Resolved(StringView base, StringView reference) {
    TclUrlParser url;
    url.Parse(base, reference);
    return url.GetAbsoluteUri();
}

} // namespace

// RFC 3986 section 5.4 with the base "http://a/b/c/d;p?q". Left out: "g:h"
// and "http:g", since only "://" introduces a scheme here; an empty path is
// sent as "/".
TEST(UrlResolve, Rfc3986NormalAndAbnormalExamples) {
    const struct {
        const char16_t* reference;
        const char16_t* target;
    } examples[] = {
        {u"g", u"http://a/b/c/g"},
        {u"./g", u"http://a/b/c/g"},
        {u"g/", u"http://a/b/c/g/"},
        {u"/g", u"http://a/g"},
        {u"//g", u"http://g/"},
        {u"?y", u"http://a/b/c/d;p?y"},
        {u"g?y", u"http://a/b/c/g?y"},
        {u"#s", u"http://a/b/c/d;p?q#s"},
        {u"g#s", u"http://a/b/c/g#s"},
        {u"g?y#s", u"http://a/b/c/g?y#s"},
        {u";x", u"http://a/b/c/;x"},
        {u"g;x", u"http://a/b/c/g;x"},
        {u"g;x?y#s", u"http://a/b/c/g;x?y#s"},
        {u"", u"http://a/b/c/d;p?q"},
        {u".", u"http://a/b/c/"},
        {u"./", u"http://a/b/c/"},
        {u"..", u"http://a/b/"},
        {u"../", u"http://a/b/"},
        {u"../g", u"http://a/b/g"},
        {u"../..", u"http://a/"},
        {u"../../", u"http://a/"},
        {u"../../g", u"http://a/g"},
        {u"../../../g", u"http://a/g"},
        {u"../../../../g", u"http://a/g"},
        {u"/./g", u"http://a/g"},
        {u"/../g", u"http://a/g"},
        {u"g.", u"http://a/b/c/g."},
        {u".g", u"http://a/b/c/.g"},
        {u"g..", u"http://a/b/c/g.."},
        {u"..g", u"http://a/b/c/..g"},
        {u"./../g", u"http://a/b/g"},
        {u"./g/.", u"http://a/b/c/g/"},
        {u"g/./h", u"http://a/b/c/g/h"},
        {u"g/../h", u"http://a/b/c/h"},
        {u"g;x=1/./y", u"http://a/b/c/g;x=1/y"},
        {u"g;x=1/../y", u"http://a/b/c/y"},
        {u"g?y/./x", u"http://a/b/c/g?y/./x"},
        {u"g?y/../x", u"http://a/b/c/g?y/../x"},
        {u"g#s/./x", u"http://a/b/c/g#s/./x"},
        {u"g#s/../x", u"http://a/b/c/g#s/../x"},
    };
    for (const auto& example : examples) {
        SCOPED_TRACE(StringToUtf8(example.reference));
        EXPECT_EQ(Resolved(u"http://a/b/c/d;p?q", example.reference), example.target);
    }
}

TEST(UrlResolve, RelativeReferencesKeepTheBaseAuthorityAndPort) {
    TclUrlParser url;
    url.Parse(u"https://u:p@h:8443/dir/sub/page.html?x", u"page2.html");
    EXPECT_EQ(url.GetAbsoluteUri(), u"https://u:p@h:8443/dir/sub/page2.html");
    EXPECT_EQ(url.GetPort(), 8443);
    EXPECT_EQ(Resolved(u"http://h:8080/dir/sub/page.html", u"../x"), u"http://h:8080/dir/x");
    EXPECT_EQ(Resolved(u"http://h:8080/a", u"/y/./z/.."), u"http://h:8080/y/");
    // Text that looks like user information or a port is still path.
    EXPECT_EQ(Resolved(u"http://h:8080/d/", u"a@b:9"), u"http://h:8080/d/a@b:9");
}

TEST(UrlResolve, ReferencesWithTheirOwnAuthorityLeaveTheBaseBehind) {
    // A redirect to "//other.example/x" goes to that host.
    TclUrlParser url;
    url.Parse(u"https://old.example:8443/a/b", u"//other.example/x?q");
    EXPECT_EQ(url.GetHost(), u"other.example");
    EXPECT_EQ(url.GetPort(), 443);
    EXPECT_EQ(url.GetAbsoluteUri(), u"https://other.example/x?q");
    EXPECT_EQ(Resolved(u"http://h/a", u"//u@g:81/../p"), u"http://u@g:81/p");

    EXPECT_EQ(Resolved(u"http://h:8080/a/b", u"https://g"), u"https://g/");
    EXPECT_EQ(Resolved(u"http://h:8080/a/b", u"HTTP://g/x/../y"), u"http://g/y");
}

TEST(UrlResolve, EmptyAndRelativeOnlyInputs) {
    TclUrlParser url;
    url.Parse(u"http://h/a");
    url.Parse(u"", u"");
    EXPECT_EQ(url.GetAbsoluteUri(), u"");
    EXPECT_EQ(url.GetHost(), u"");

    // Without a base URL a reference that climbs stays as written.
    url.Parse(u"", u"../x");
    EXPECT_EQ(url.GetPath(), u"../x");
    EXPECT_EQ(url.GetHost(), u"");
    url.Parse(u"", u"/a/./b");
    EXPECT_EQ(url.GetPath(), u"/a/b");
    EXPECT_EQ(Resolved(u"", u"http://g/x"), u"http://g/x");
}
