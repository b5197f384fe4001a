#include "RtlException.h"
#include "RtlFileStream.h"
#include "RtlStrings.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

std::vector<String> Lines(const TStrings& list) {
    std::vector<String> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list[i]);
    return out;
}

using V = std::vector<String>;

} // namespace

TEST(StringList, TextSplitsAtEveryLineBreakKindAndJoinsWithCrLf) {
    TStringList list;
    list.SetText(u"a\r\nb\nc\rd");
    EXPECT_EQ(Lines(list), (V{u"a", u"b", u"c", u"d"}));
    EXPECT_EQ(list.GetText(), u"a\r\nb\r\nc\r\nd\r\n");
    // A final break starts no further line; inner empty lines stay.
    list.SetText(u"x\n\ny\r\n");
    EXPECT_EQ(Lines(list), (V{u"x", u"", u"y"}));
    list.SetText(u"\n\r\r\n"); // LF, CR, CR LF: three empty lines
    EXPECT_EQ(Lines(list), (V{u"", u"", u""}));
    list.SetText(u"");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.GetText(), u"");
    list.Add(u"");
    EXPECT_EQ(list.GetText(), u"\r\n");
}

TEST(StringList, LoadRecognisesByteOrderMarksAndSaveWritesTheSameEncodingBack) {
    TempDir dir;
    const std::string path = dir.File("W.Json");
    struct Case {
        std::string bytes;
        TEncoding* expected;
        std::string saved; // after replacing the text with "{}" and "é"
    } cases[] = {
        {"\xEF\xBB\xBF{\"a\":1}\r\n", TEncoding::UTF8(), "\xEF\xBB\xBF{}\r\n\xC3\xA9\r\n"},
        {std::string("\xFF\xFE{\0\n\0", 6), TEncoding::Unicode(),
         std::string("\xFF\xFE{\0}\0\r\0\n\0\xE9\0\r\0\n\0", 16)},
        {std::string("\xFE\xFF\0{\0\n", 6), TEncoding::BigEndianUnicode(),
         std::string("\xFE\xFF\0{\0}\0\r\0\n\0\xE9\0\r\0\n", 16)},
        {"{\"a\":\"\xC3\xA9\"}", TEncoding::ANSI(), "{}\r\n\xC3\xA9\r\n"},
    };
    for (const Case& c : cases) {
        WriteFileBytes(path, c.bytes);
        TStringList list;
        list.LoadFromFile(Utf8ToString(path));
        EXPECT_EQ(list.Encoding(), c.expected);
        EXPECT_NE(list[0][0], u'\uFEFF'); // the mark is not part of the text
        list.SetText(u"{}\n\u00E9");      // a download replaces the lines ...
        list.SaveToFile(Utf8ToString(path));
        EXPECT_EQ(ReadFileBytes(path), c.saved); // ... and the encoding is kept
    }
    // A list that never loaded writes the ANSI code page (UTF-8) without a mark.
    TStringList fresh;
    fresh.Add(u"\u4E2D");
    fresh.SaveToFile(Utf8ToString(path));
    EXPECT_EQ(ReadFileBytes(path), "\xE4\xB8\xAD\r\n");
}

TEST(StringList, ExplicitEncodingsDefaultEncodingAndWriteBom) {
    TStringList list;
    list.SetDefaultEncoding(TEncoding::Unicode());
    TBytesStream in(TBytes{'h', 0, 'i', 0});
    list.LoadFromStream(in);
    EXPECT_EQ(list[0], u"hi");
    EXPECT_EQ(list.Encoding(), TEncoding::Unicode());

    // An encoding made by the caller may be freed after the load; the list
    // keeps its own copy.
    {
        auto mine = std::make_unique<TUTF8Encoding>(false);
        TBytesStream utf8(TBytes{0xEF, 0xBB, 0xBF, 'o', 'k'});
        list.LoadFromStream(utf8, mine.get());
        EXPECT_EQ(list[0], u"\uFEFFok"); // its preamble is empty, so the mark is text
    }
    TBytesStream out;
    list.SaveToStream(out);
    EXPECT_EQ(out.DataBytes(), (TBytes{0xEF, 0xBB, 0xBF, 'o', 'k', '\r', '\n'}));

    TBytesStream noMark;
    list.SetWriteBOM(false);
    list.SaveToStream(noMark, TEncoding::UTF8());
    EXPECT_EQ(noMark.DataBytes().front(), 0xEF); // the text's own U+FEFF
    EXPECT_EQ(noMark.GetSize(), 7);
}

TEST(StringList, FailedSavesLeaveTheOldFileAndRaiseTheCreateError) {
    TempDir dir;
    TStringList list;
    list.Add(u"new");
    EXPECT_THROW(list.SaveToFile(Utf8ToString(dir.File("missing/W.Json"))), EFCreateError);
    EXPECT_THROW(list.LoadFromFile(Utf8ToString(dir.File("absent"))), EFOpenError);
    EXPECT_EQ(Lines(list), (V{u"new"}));
    // Saving replaces the file as a whole and leaves no temporary behind.
    WriteFileBytes(dir.File("V.Json"), "old content");
    list.SaveToFile(Utf8ToString(dir.File("V.Json")));
    EXPECT_EQ(ReadFileBytes(dir.File("V.Json")), "new\r\n");
    int status = 0;
    EXPECT_EQ(testing_support::RunCommand("ls -A '" + dir.Path() + "'", &status), "V.Json\n");
}

TEST(StringList, NamesAndValues) {
    TStringList list;
    list.SetText(u"Host=a\nnovalue\nhost=b\nPath=/x=y");
    EXPECT_EQ(list.GetName(0), u"Host");
    EXPECT_EQ(list.GetName(1), u"");
    EXPECT_EQ(list.GetValueFromIndex(3), u"/x=y");
    EXPECT_EQ(list.IndexOfName(u"HOST"), 0); // case ignored by default
    EXPECT_EQ(list.GetValue(u"path"), u"/x=y");
    EXPECT_EQ(list.GetValue(u"novalue"), u"");
    list.SetValue(u"host", u"c"); // replaces the first match, keeping the given name
    EXPECT_EQ(list[0], u"host=c");
    list.SetValue(u"New", u"1");
    EXPECT_EQ(list[4], u"New=1");
    list.SetValue(u"Path", u""); // an empty value deletes
    EXPECT_EQ(list.IndexOfName(u"Path"), -1);
    list.SetValueFromIndex(1, u"v"); // a line without a name gets an empty one
    EXPECT_EQ(list[1], u"=v");
    list.SetNameValueSeparator(u':');
    list.Add(u"Cookie: a=b");
    EXPECT_EQ(list.GetValue(u"cookie"), u" a=b");
}

TEST(StringList, DelimitedAndCommaTextQuoteWhatNeedsIt) {
    TStringList list;
    list.SetCommaText(u" a, \"b c\" ,\"q\"\"uote\",,d e,");
    EXPECT_EQ(Lines(list), (V{u"a", u"b c", u"q\"uote", u"", u"d", u"e", u""}));
    EXPECT_EQ(list.GetCommaText(), u"a,\"b c\",\"q\"\"uote\",,d,e,");
    list.SetCommaText(list.GetCommaText()); // round trip
    EXPECT_EQ(Lines(list), (V{u"a", u"b c", u"q\"uote", u"", u"d", u"e", u""}));

    list.SetDelimiter(u';');
    list.SetQuoteChar(u'\'');
    list.SetStrictDelimiter(true);
    list.SetDelimitedText(u" a b;c;'x;y'");
    EXPECT_EQ(Lines(list), (V{u" a b", u"c", u"x;y"}));
    EXPECT_EQ(list.GetDelimitedText(), u" a b;c;'x;y'");

    list.Clear();
    list.Add(u"");
    EXPECT_EQ(list.GetCommaText(), u"\"\"");
    // Control characters, NUL included, never stall the reader.
    list.SetStrictDelimiter(false);
    list.SetCommaText(String(u"a\0b\x01", 4));
    EXPECT_EQ(Lines(list), (V{u"a", u"b"}));
}

TEST(StringList, SortedListsFindAndObeyDuplicates) {
    TStringList list;
    list.SetText(u"pear\nApple\nfig");
    list.SetSorted(true);
    EXPECT_EQ(Lines(list), (V{u"Apple", u"fig", u"pear"}));
    EXPECT_EQ(list.Add(u"apple"), 0); // dupIgnore: the existing index
    EXPECT_EQ(list.Count(), 3);
    int index = -1;
    EXPECT_FALSE(list.Find(u"grape", index));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(list.Add(u"grape"), 2);
    EXPECT_EQ(list.IndexOf(u"PEAR"), 3);
    list.SetDuplicates(dupError);
    EXPECT_THROW(list.Add(u"FIG"), EListError);
    list.SetDuplicates(dupAccept);
    list.Add(u"FIG");
    EXPECT_EQ(list.Count(), 5);
    EXPECT_THROW(list.Insert(0, u"x"), EListError);
    EXPECT_THROW(list.SetStrings(0, u"x"), EListError);
    EXPECT_THROW(list.Exchange(0, 1), EListError);
    list.SetCaseSensitive(true); // re-sorts by ordinal comparison
    EXPECT_EQ(list[0], u"Apple");
    EXPECT_EQ(list[1], u"FIG");
    EXPECT_EQ(list.IndexOf(u"apple"), -1);

    TStringList unsorted;
    unsorted.SetText(u"b\na");
    EXPECT_TRUE(unsorted.Find(u"A", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(unsorted.Find(u"c", index));
    EXPECT_EQ(index, 2);
}

TEST(StringList, ChangeEventsFireOncePerOutermostUpdate) {
    TStringList list;
    int changing = 0, changed = 0;
    list.OnChanging = [&](TPersistent* sender) {
        EXPECT_EQ(sender, &list);
        ++changing;
    };
    list.OnChange = [&](TPersistent*) { ++changed; };
    list.Add(u"a");
    EXPECT_EQ(changing, 1);
    EXPECT_EQ(changed, 1);
    list.BeginUpdate();
    list.BeginUpdate();
    list.SetText(u"x\ny\nz");
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(changed, 1);
    list.EndUpdate();
    EXPECT_EQ(changing, 2);
    EXPECT_EQ(changed, 2);
    list.EndUpdate(); // unmatched: ignored
    list.Clear();
    EXPECT_EQ(changed, 3);
    list.Clear(); // nothing to clear, nothing fired
    EXPECT_EQ(changed, 3);
    // A load is one change.
    TBytesStream in(TBytes{'1', '\n', '2'});
    list.LoadFromStream(in);
    EXPECT_EQ(changed, 4);
}

TEST(StringList, EditingAndIndexErrors) {
    TStringList list;
    list.SetText(u"a\nb\nc");
    int tag = 7;
    list.SetObjects(1, &tag);
    list.Move(1, 0);
    EXPECT_EQ(Lines(list), (V{u"b", u"a", u"c"}));
    EXPECT_EQ(list.Objects(0), &tag);
    list.Exchange(0, 2);
    EXPECT_EQ(list.Objects(2), &tag);
    EXPECT_EQ(list.IndexOfObject(&tag), 2);
    list.InsertObject(3, u"d", IntToObject(42));
    EXPECT_EQ(ObjectToInt(list.Objects(3)), 42);
    list.AddStrings(list); // a list added to itself is copied once
    EXPECT_EQ(list.Count(), 8);
    try {
        list.Delete(8);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), u"List index out of bounds (8)");
    }
    EXPECT_THROW(list.Get(-1), EListError);
    EXPECT_THROW(list.Insert(9, u"x"), EListError);
}

TEST(StringList, AssignCopiesListsAndRejectsOtherClasses) {
    TStringList source;
    source.SetSorted(true);
    source.SetCaseSensitive(true);
    source.SetText(u"b\nB\na");
    source.SetDelimiter(u'|');
    TStringList copy;
    copy.Add(u"old");
    copy.Assign(&source);
    EXPECT_TRUE(copy.Equals(source));
    EXPECT_TRUE(copy.GetSorted());
    EXPECT_TRUE(copy.GetCaseSensitive());
    EXPECT_EQ(copy.GetDelimiter(), u'|');

    class TOther : public TPersistent {
    public:
        String ClassName() const override { return u"TOther"; }
    } other;
    try {
        copy.Assign(&other);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"Cannot assign a TOther to a TStringList");
    }
    try {
        other.Assign(&copy);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"Cannot assign a TStringList to a TOther");
    }
    EXPECT_THROW(copy.Assign(nullptr), EConvertError);
}
