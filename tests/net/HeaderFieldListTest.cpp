#include "clHeaderFieldList.h"

#include "RtlException.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

std::unique_ptr<TStringList> Lines(std::initializer_list<const char16_t*> lines) {
    auto list = std::make_unique<TStringList>();
    for (const char16_t* line : lines)
        list->Add(line);
    return list;
}

std::vector<String> All(const TStrings& list) {
    std::vector<String> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list[i]);
    return out;
}

} // namespace

TEST(HeaderFieldList, ParsesFieldsUpToTheEmptyLine) {
    auto source = Lines({u"GET / HTTP/1.1", u"Host: h", u"X-A: 1", u"Set-Cookie: a=1",
                         u"set-cookie : b=2", u"", u"Body: no"});
    TclHeaderFieldList fields;
    EXPECT_EQ(fields.Parse(0, *source), 5);
    EXPECT_EQ(All(fields.GetFieldList()),
              (std::vector<String>{u"host", u"x-a", u"set-cookie", u"set-cookie "}));
    EXPECT_EQ(fields.GetFieldStart(u"X-A"), 2);
    EXPECT_EQ(fields.GetFieldValue(u"SET-COOKIE"), u"a=1");
    // A name written with a blank before the colon keeps the blank.
    EXPECT_EQ(fields.GetFieldValue(3), u"b=2");
    EXPECT_EQ(fields.GetFieldName(u"host"), u"Host");
    EXPECT_EQ(fields.GetFieldValue(u"body"), u"");

    // Absent fields: getters give empty text or -1, editors do nothing.
    EXPECT_EQ(fields.GetFieldIndex(u"absent"), -1);
    EXPECT_EQ(fields.GetFieldStart(7), -1);
    EXPECT_EQ(fields.GetFieldEnd(-1), -1);
    EXPECT_EQ(fields.GetFieldName(9), u"");
    fields.RemoveField(u"absent");
    fields.AddFieldItem(u"absent", u"a", u"b");
    EXPECT_EQ(source->Count(), 7);

    // A start beyond the lines gives an empty header ending at the line count.
    EXPECT_EQ(fields.Parse(10, *source), 7);
    EXPECT_EQ(fields.GetFieldList().Count(), 0);
}

TEST(HeaderFieldList, UnfoldsContinuationLines) {
    auto source = Lines({u"X: a,", u"\tb", u"Y:  a", u" b ", u"\t c", u"Z:", u"", u"\tnot me"});
    TclHeaderFieldList fields;
    fields.Parse(0, *source);
    EXPECT_EQ(fields.GetFieldValue(u"x"), u"a,b");
    EXPECT_EQ(fields.GetFieldValue(u"y"), u"a b  c");
    EXPECT_EQ(fields.GetFieldEnd(u"y"), 4);
    EXPECT_EQ(fields.GetFieldEnd(u"z"), 5);
    EXPECT_EQ(fields.GetFieldValue(u"z"), u"");

    TStringList copy;
    copy.Add(u"stale");
    fields.GetFieldSource(u"Y", copy);
    EXPECT_EQ(All(copy), (std::vector<String>{u"Y:  a", u" b ", u"\t c"}));
}

TEST(HeaderFieldList, FindsItemsByWholeNameOutsideQuotes) {
    TclHeaderFieldList fields;
    const String type = u"text/html; charset=\"utf-8\"";
    EXPECT_EQ(fields.GetFieldValueItem(type, u"charset"), u"utf-8");
    EXPECT_EQ(fields.GetFieldValueItem(type, u"CharSet"), u"utf-8");
    EXPECT_EQ(fields.GetFieldValueItem(type, u""), u"text/html");
    EXPECT_EQ(fields.GetFieldValueItem(u"\"a;b\", c", u""), u"a;b");
    EXPECT_EQ(fields.GetFieldValueItem(u"", u""), u"");

    // Only whole names count: not inside another name, not inside a value.
    const String disposition = u"form-data; filename=\"f.txt\"; name=\"field\"";
    EXPECT_EQ(fields.GetFieldValueItem(disposition, u"name"), u"field");
    EXPECT_EQ(fields.GetFieldValueItem(u"form-data; filename=\"f\"", u"name"), u"");
    EXPECT_EQ(fields.GetFieldValueItem(u"mypath=1; path=/p", u"path"), u"/p");
    EXPECT_EQ(fields.GetFieldValueItem(u"mypath=1", u"path"), u"");
    EXPECT_EQ(fields.GetFieldValueItem(u"a=\"x; path=/q\"; path=/p", u"path"), u"/p");
    EXPECT_EQ(fields.GetFieldValueItem(u"cnonce=\"c\", nonce=\"n\"", u"nonce"), u"n");
    EXPECT_EQ(fields.GetFieldValueItem(u"realm = \"r\" ,qop=auth", u"realm"), u"r");
    EXPECT_EQ(fields.GetFieldValueItem(u"realm\tx=1", u"realm"), u"");

    // A quote inside an unquoted value is an ordinary character; an unclosed
    // quoted value runs to the end.
    EXPECT_EQ(fields.GetFieldValueItem(u"id=O'Brien; Path=/", u"id"), u"O'Brien");
    EXPECT_EQ(fields.GetFieldValueItem(u"id=O'Brien; Path=/", u"path"), u"/");
    EXPECT_EQ(fields.GetFieldValueItem(u"a=\"open; b=1", u"a"), u"\"open; b=1");

    const TclFieldItem item = fields.FindFieldItem(u"a; B = 'x;y' ; c", u"b");
    EXPECT_EQ(item.Start, 4);
    EXPECT_EQ(item.Value, u" 'x;y'");
    EXPECT_EQ(item.Length, 9);
}

TEST(HeaderFieldList, AddsFieldsBeforeTheEmptyLine) {
    auto source = Lines({u"HTTP/1.1 200 OK", u"A: 1", u"", u"body"});
    TclHeaderFieldList fields;
    fields.Parse(0, *source);
    fields.AddField(u"B", u"");
    fields.AddField(u"B", u"2");
    fields.AddFieldIfNotExist(u"a", u"3");
    fields.AddFieldIfNotExist(u"C", u"");
    fields.AddEmptyField(u"D");
    fields.InsertField(1, u"Z", u"0");
    fields.InsertFieldIfNotExist(-5, u"First", u"x");
    EXPECT_EQ(All(*source), (std::vector<String>{u"First: x", u"HTTP/1.1 200 OK", u"Z: 0", u"A: 1",
                                                 u"B: 2", u"D:", u"", u"body"}));
    EXPECT_EQ(fields.GetHeaderEnd(), 6);

    auto open = Lines({u"A: 1"});
    fields.Parse(0, *open);
    fields.AddField(u"B", u"2");
    fields.AddArrayField(u"List", {u"a", u"", u"c", u"d"});
    fields.AddArrayField(u"None", {u"", u"x"});
    fields.AddEndOfHeader();
    fields.AddEndOfHeader();
    EXPECT_EQ(All(*open),
              (std::vector<String>{u"A: 1", u"B: 2", u"List: a,", u"\tc,", u"\td", u""}));
    EXPECT_EQ(fields.GetFieldValue(u"list"), u"a,c,d");

    TStringList empty;
    fields.Parse(0, empty);
    fields.AddEndOfHeader();
    EXPECT_EQ(empty.Count(), 0);
    TStringList more;
    more.Add(u"M: 1");
    more.Add(u"");
    more.Add(u"N: 2");
    fields.AddFields(more);
    EXPECT_EQ(All(empty), (std::vector<String>{u"M: 1", u"N: 2"}));
}

TEST(HeaderFieldList, AddsItemsToTheFieldsLastLine) {
    auto source = Lines({u"Content-Type: text/html", u"X: a,", u"\tb  ", u"Y:", u""});
    TclHeaderFieldList fields;
    fields.Parse(0, *source);
    fields.AddFieldItem(u"content-type", u"charset", u" UTF-8 ");
    fields.AddFieldItem(u"content-type", u"empty", u"  ");
    // A continuation line keeps its TAB, so the item stays part of the field.
    fields.AddFieldItem(u"X", u"c", u"1");
    fields.AddQuotedFieldItem(u"Y", u"q", u"x");
    fields.AddQuotedFieldItem(u"Y", u"e", u"");
    fields.AddQuotedFieldItem(u"Y", u"k", u"\"kept");
    fields.AddEmptyFieldItem(u"Y", u"n", true);
    EXPECT_EQ(All(*source),
              (std::vector<String>{u"Content-Type: text/html; charset=UTF-8", u"X: a,", u"\tb; c=1",
                                   u"Y: q=\"x\"; e=\"\"; k=\"kept;", u"\tn=", u""}));
    EXPECT_EQ(fields.GetFieldList().Count(), 3);
    EXPECT_EQ(fields.GetFieldValue(u"x"), u"a,b; c=1");
    EXPECT_EQ(fields.GetFieldValueItem(fields.GetFieldValue(u"x"), u"c"), u"1");
}

TEST(HeaderFieldList, RemovesAndClearsItems) {
    auto source = Lines({u"X: a; b=1; c=2", u"Y: a;", u"\tb=\"q;r\";", u"\tc=3", u"Z: keep"});
    TclHeaderFieldList fields;
    fields.Parse(0, *source);
    fields.RemoveFieldItem(u"x", u"b");
    EXPECT_EQ((*source)[0], u"X: a; c=2");
    fields.RemoveFieldItem(u"x", u"c");
    EXPECT_EQ((*source)[0], u"X: a");
    fields.RemoveFieldItem(u"x", u"absent");
    fields.RemoveFieldItem(u"x", u"");
    EXPECT_EQ((*source)[0], u"X: a");

    fields.ClearFieldItem(u"y", u"b");
    EXPECT_EQ(fields.GetFieldValue(u"y"), u"a;b=;c=3");
    fields.RemoveFieldItem(u"y", u"c");
    EXPECT_EQ(All(*source), (std::vector<String>{u"X: a", u"Y: a;", u"\tb=", u"Z: keep"}));

    fields.RemoveField(u"y");
    EXPECT_EQ(All(*source), (std::vector<String>{u"X: a", u"Z: keep"}));
    EXPECT_EQ(fields.GetFieldStart(u"z"), 1);
}

// A line break inside a value would let a caller's text start a field or a
// body of its own; CR LF, a lone CR and a lone LF are all refused.
TEST(HeaderFieldList, RefusesLineBreaksInInsertedText) {
    auto source = Lines({u"A: 1", u""});
    TclHeaderFieldList fields;
    fields.Parse(0, *source);
    for (const char16_t* value : {u"x\r\nEvil: 1", u"x\nEvil: 1", u"x\rEvil: 1"}) {
        EXPECT_THROW(fields.AddField(u"B", value), EAssertionFailed);
        EXPECT_THROW(fields.AddField(value, u"v"), EAssertionFailed);
        EXPECT_THROW(fields.AddFieldItem(u"A", u"i", value), EAssertionFailed);
        EXPECT_THROW(fields.AddFieldItem(u"A", value, u"v"), EAssertionFailed);
        EXPECT_THROW(fields.AddArrayField(u"L", {u"a", value}), EAssertionFailed);
        TStringList lines;
        lines.Add(value);
        EXPECT_THROW(fields.AddFields(lines), EAssertionFailed);
    }
    // A value with a break in its middle but blanks around it is still refused.
    EXPECT_THROW(fields.AddField(u"B", u" x \n "), EAssertionFailed);
    EXPECT_EQ(All(*source), (std::vector<String>{u"A: 1", u""}));

    TclHeaderFieldList unparsed;
    EXPECT_THROW(unparsed.AddField(u"A", u"1"), EAssertionFailed);
    EXPECT_EQ(unparsed.GetFieldValue(u"a"), u"");
}
