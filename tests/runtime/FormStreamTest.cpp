#include "RtlException.h"
#include "RtlFormStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

TBytes Bytes(const std::string& s) {
    return TBytes(s.begin(), s.end());
}

std::string Str(const TBytes& b) {
    return std::string(b.begin(), b.end());
}

std::string Short(const std::string& s) {
    return std::string(1, static_cast<char>(s.size())) + s;
}

TBytes Written(const TFormObject& root) {
    TBytesStream stream;
    WriteFormStream(stream, root);
    return stream.DataBytes();
}

TFormObject Read(const TBytes& bytes) {
    TBytesStream stream(bytes);
    return ReadFormStream(stream);
}

// A small stream laid out like the skin resource: a data module holding one
// image list whose pictures are collection items.
TFormObject SkinLike() {
    TFormObject list{u"TZuSkinImageList", u"ZuSkinImageListMain"};
    TFormCollectionItem item;
    item.Properties = {{u"ResID", TFormValue::Text(u"Close")},
                       {u"Bitmap.DrawMode", TFormValue::Ident(u"dmBlend")},
                       {u"Bitmap.Data", TFormValue::Binary(TBytes(8, 0))}};
    list.Properties = {{u"Bitmaps", TFormValue::Collection({item})},
                       {u"Left", TFormValue::Integer(136)},
                       {u"Top", TFormValue::Integer(88)}};
    TFormObject root{u"TZuSkinResDM", u"ZuSkinResDM"};
    root.Properties = {{u"OldCreateOrder", TFormValue::Boolean(false)},
                       {u"Height", TFormValue::Integer(265)}};
    root.Children = {list};
    return root;
}

const std::string kSkinLikeBytes =
    "TPF0" + Short("TZuSkinResDM") + Short("ZuSkinResDM") + Short("OldCreateOrder") + "\x08" +
    Short("Height") + "\x03\x09\x01" + std::string(1, '\0') + Short("TZuSkinImageList") +
    Short("ZuSkinImageListMain") + Short("Bitmaps") + "\x0E\x01" + Short("ResID") + "\x06" +
    Short("Close") + Short("Bitmap.DrawMode") + "\x07" + Short("dmBlend") + Short("Bitmap.Data") +
    "\x0A\x08" + std::string(3 + 8 + 2, '\0') + Short("Left") + "\x03\x88" + std::string(1, '\0') +
    Short("Top") + "\x02\x58" + std::string(3, '\0');

void ExpectReadError(const TBytes& bytes, const std::u16string& message = {}) {
    try {
        Read(bytes);
        FAIL() << "no error";
    } catch (const EReadError& e) {
        if (!message.empty()) {
            EXPECT_EQ(e.Message(), message);
        }
    }
}

} // namespace

TEST(FormStream, WritesTheExactBinaryLayout) {
    EXPECT_EQ(Str(Written(SkinLike())), kSkinLikeBytes);
    EXPECT_EQ(Read(Bytes(kSkinLikeBytes)), SkinLike());
    const TFormObject tree = Read(Bytes(kSkinLikeBytes));
    const TFormObject* list = tree.FindChild(u"zuskinimagelistmain");
    ASSERT_NE(list, nullptr);
    const auto& items = list->FindProperty(u"Bitmaps")->AsCollection();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(FindFormProperty(items[0].Properties, u"ResID")->AsString(), u"Close");
    EXPECT_EQ(list->FindProperty(u"Left")->AsInteger(), 136);
    EXPECT_THROW(list->FindProperty(u"Left")->AsString(), EReadError);
}

TEST(FormStream, EveryValueTagRoundTrips) {
    TFormCollectionItem numbered{vaInt16, 300, {{u"A", TFormValue::Integer(-1)}}};
    TFormCollectionItem plain{vaNull, 0, {}};
    TFormObject root{u"TForm", u"MainFrm"};
    root.Properties = {
        {u"Null", TFormValue::Null()},
        {u"Nil", TFormValue::Nil()},
        {u"T", TFormValue::Boolean(true)},
        {u"F", TFormValue::Boolean(false)},
        {u"I8", TFormValue::Integer(-128)},
        {u"I16", TFormValue::Integer(-32768)},
        {u"I32", TFormValue::Integer(INT32_MIN)},
        {u"I64", TFormValue::Integer(INT64_MIN)},
        {u"WideTag", TFormValue::Integer(1, vaInt32)},
        {u"Ext", TFormValue::Extended(3.14159265358979323846264338327950288L)},
        {u"Sgl", TFormValue::Single(1.5f)},
        {u"Dbl", TFormValue::Double(-0.1)},
        {u"Date", TFormValue::Date(43831.75)},
        {u"Curr", TFormValue::Currency(-123456789)},
        {u"Str", TFormValue::Text(u"plain")},
        {u"LStr", TFormValue::Text(String(300, u'x'))},
        {u"WStr", TFormValue::Text(u"\u80CC\u666F")},
        {u"Utf8", TFormValue::Text(u"\u6700\u4F4E     \u6700\u9AD8     PM25")},
        {u"Lone", TFormValue::Text(String(1, char16_t(0xD800)) + u"abcdefgh")},
        {u"Ident", TFormValue::Ident(u"dmBlend")},
        {u"Bin", TFormValue::Binary({0, 1, 2, 255})},
        {u"EmptyBin", TFormValue::Binary({})},
        {u"Set", TFormValue::Set({u"akLeft", u"akTop"})},
        {u"EmptySet", TFormValue::Set({})},
        {u"List",
         TFormValue::List({TFormValue::Integer(1), TFormValue::List({TFormValue::Text(u"in")}),
                           TFormValue::Nil()})},
        {u"Coll", TFormValue::Collection({numbered, plain})},
        {u"Nan", TFormValue::Extended(std::numeric_limits<long double>::quiet_NaN())},
        {u"\u540D", TFormValue::Integer(0)}, // a UTF-8 property name
    };
    TFormObject inherited{u"TLabel", u"", static_cast<std::uint8_t>(ffInherited | ffChildPos), 3};
    TFormObject anonymous{u"", u"NoClass"}; // needs the prefix to stay readable
    TFormObject longClass{String(240, u'C'), u"Long"};
    root.Children = {inherited, anonymous, longClass};

    const TBytes bytes = Written(root);
    const TFormObject back = Read(bytes);
    EXPECT_EQ(back, root);
    EXPECT_EQ(Written(back), bytes);

    // The tags the writer chose for texts and integers.
    EXPECT_EQ(back.FindProperty(u"LStr")->Type(), vaLString);
    EXPECT_EQ(back.FindProperty(u"WStr")->Type(), vaWString);
    EXPECT_EQ(back.FindProperty(u"Utf8")->Type(), vaUTF8String);
    EXPECT_EQ(back.FindProperty(u"Lone")->Type(), vaWString); // UTF-8 would lose it
    EXPECT_EQ(back.FindProperty(u"I16")->Type(), vaInt16);
    EXPECT_EQ(back.FindProperty(u"WideTag")->Type(), vaInt32);
    EXPECT_EQ(back.Children[0].ChildPos, 3);
}

TEST(FormStream, TruncationAtEveryByteRaisesReadError) {
    TFormObject root = SkinLike();
    root.Properties.push_back({u"W", TFormValue::Text(u"\u80CC\u666F")});
    root.Properties.push_back({u"E", TFormValue::Extended(1)});
    root.Properties.push_back({u"S", TFormValue::Set({u"a"})});
    const TBytes bytes = Written(root);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        SCOPED_TRACE(n);
        ExpectReadError(TBytes(bytes.begin(), bytes.begin() + static_cast<long>(n)));
    }
}

TEST(FormStream, MalformedInputIsRejectedWithClearMessages) {
    const std::string head = "TPF0" + Short("TA") + Short("a") + Short("P");
    ExpectReadError(Bytes("TPF1" + Short("TA") + Short("a") + std::string(2, '\0')),
                    u"Invalid stream format");
    ExpectReadError(Bytes(head + "\x16"), u"Invalid stream format: unknown value type 0x16");
    // A length far beyond the data is refused before anything is allocated.
    ExpectReadError(Bytes(head + "\x0A\xFF\xFF\xFF\x7F" + "abc"),
                    u"Invalid stream format: a length of 2147483647 bytes runs past the end of "
                    u"the data");
    ExpectReadError(Bytes(head + std::string("\x12\x00\x00\x00\x40", 5) + "abc"));
    ExpectReadError(Bytes(head + "\x0A\xFF\xFF\xFF\xFF"),
                    u"Invalid stream format: negative length -1");
    // A collection item must open with vaList (after an optional order number).
    ExpectReadError(
        Bytes(head + "\x0E\x13" + std::string(8, '\0') + std::string("\x01\x00\x00", 3)),
        u"Invalid property value");
    // Nesting: 250 lists inside the root object are fine, 300 are not.
    auto nested = [&](int depth) {
        return Bytes(head + std::string(depth, '\x01') + std::string(depth + 3, '\0'));
    };
    EXPECT_NO_THROW(Read(nested(250)));
    ExpectReadError(nested(300), u"Invalid stream format: nesting deeper than 256 levels");
    std::string chain = "TPF0";
    for (int i = 0; i < 300; ++i)
        chain += Short("TA") + Short("") + std::string(1, '\0');
    chain += std::string(300, '\0');
    ExpectReadError(Bytes(chain), u"Invalid stream format: nesting deeper than 256 levels");
}

TEST(FormStream, WriterRefusesWhatCouldNotBeReadBack) {
    TBytesStream stream;
    TWriter writer(stream);
    EXPECT_THROW(WriteFormValue(writer, TFormValue::List({TFormValue::Null()})), EWriteError);
    EXPECT_THROW(WriteFormProperties(writer, {{u"", TFormValue::Integer(1)}}), EWriteError);
    EXPECT_THROW(writer.WriteSet({u"a", u""}), EWriteError);
    EXPECT_THROW(writer.WriteStr(String(256, u'n')), EWriteError);
    EXPECT_THROW(writer.WriteInteger(128, vaInt8), EWriteError);
    EXPECT_THROW(WriteFormValue(writer, TFormValue::Text(String(200, u'\u00E9'), vaString)),
                 EWriteError);
    TFormValue deep = TFormValue::Integer(0);
    for (int i = 0; i < 300; ++i)
        deep = TFormValue::List({deep});
    EXPECT_THROW(WriteFormValue(writer, deep), EWriteError);
    EXPECT_THROW(TFormValue::Integer(1, vaString), EArgumentException);
    // An oversized short string is refused before its tag is written.
    const std::int64_t before = stream.GetSize();
    EXPECT_THROW(writer.WriteIdent(String(300, u'i')), EWriteError);
    EXPECT_EQ(stream.GetSize(), before);
}

TEST(FormStream, TypedReaderAcceptsTheRuntimeConversions) {
    TBytesStream stream;
    TWriter w(stream);
    w.WriteInteger(-5);                        // ReadInteger
    w.WriteInteger(70000, vaInt64);            // ReadInteger from a wide tag
    w.WriteInteger(int64_t{1} << 40);          // ReadInteger: too big
    w.WriteString(u"\u00E9t\u00E9", vaString); // 8-bit text is UTF-8
    w.WriteIdent(u"TRUE");                     // ReadIdent gives the tag's name
    w.WriteInteger(5);                         // ReadCurrency: whole units
    w.WriteInteger(2);                         // ReadDate: whole days
    w.WriteFloat(0.5);                         // ReadDouble from extended
    WriteFormValue(w, TFormValue::Collection({{vaInt8, 1, {{u"X", TFormValue::Text(u"y")}}}}));
    w.WriteBoolean(true); // read after the skipped collection
    w.WriteString(u"not a number");

    TBytesStream in(stream.DataBytes());
    TReader r(in);
    EXPECT_EQ(r.ReadInteger(), -5);
    EXPECT_EQ(r.ReadInteger(), 70000);
    EXPECT_THROW(r.ReadInteger(), EReadError);
    EXPECT_EQ(r.ReadString(), u"\u00E9t\u00E9");
    EXPECT_EQ(r.ReadIdent(), u"True");
    EXPECT_EQ(r.ReadCurrency(), 50000);
    EXPECT_EQ(r.ReadDate(), 2.0);
    EXPECT_EQ(r.ReadDouble(), 0.5);
    r.SkipValue();
    EXPECT_TRUE(r.ReadBoolean());
    EXPECT_THROW(r.ReadFloat(), EReadError);
}

TEST(FormStream, ListOfRecordsLikeTheCookieStore) {
    TBytesStream stream;
    {
        TWriter w(stream);
        w.WriteInteger(2);
        for (int i = 0; i < 2; ++i) {
            w.WriteInteger(i);
            w.WriteString(i ? u"\u540D" : u"SID");
            w.WriteDate(45000.25 + i);
            w.WriteBoolean(i == 1);
            w.WriteInteger(-1);
        }
    }
    stream.SetPosition(0);
    TReader r(stream);
    ASSERT_EQ(r.ReadInteger(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(r.ReadInteger(), i);
        EXPECT_EQ(r.ReadString(), i ? u"\u540D" : u"SID");
        EXPECT_EQ(r.ReadDate(), 45000.25 + i);
        EXPECT_EQ(r.ReadBoolean(), i == 1);
        EXPECT_EQ(r.ReadInt64(), -1);
    }
    EXPECT_EQ(r.Remaining(), 0);
    EXPECT_THROW(r.ReadInteger(), EReadError);
}

TEST(FormStream, ExtendedFloatsConvertBitExactly) {
    auto bytes = [](long double v) {
        std::uint8_t b[10];
        ExtendedToBytes(v, b);
        return std::string(reinterpret_cast<char*>(b), 10);
    };
    EXPECT_EQ(bytes(1.0L), std::string(7, '\0') + "\x80\xFF\x3F");
    EXPECT_EQ(bytes(-2.5L), std::string(7, '\0') + std::string("\xA0\x00\xC0", 3));
    EXPECT_EQ(bytes(0.0L), std::string(10, '\0'));
    EXPECT_EQ(bytes(-0.0L), std::string(9, '\0') + "\x80");
    EXPECT_EQ(bytes(std::numeric_limits<long double>::infinity()),
              std::string(7, '\0') + "\x80\xFF\x7F");
    for (const long double v :
         {1.0L, -2.5L, 1e-300L, 6.02214076e23L, std::numeric_limits<long double>::max(),
          std::numeric_limits<long double>::min(), std::numeric_limits<long double>::denorm_min(),
          -std::numeric_limits<long double>::infinity()}) {
        std::uint8_t b[10];
        ExtendedToBytes(v, b);
        EXPECT_EQ(ExtendedFromBytes(b), v);
    }
    // Encodings the processor would not produce still decode to something sane.
    const std::uint8_t nan[10] = {1, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F};
    EXPECT_TRUE(std::isnan(ExtendedFromBytes(nan)));
    const std::uint8_t unnormal[10] = {0, 0, 0, 0, 0, 0, 0, 0x40, 0xFF, 0x3F};
    EXPECT_EQ(ExtendedFromBytes(unnormal), 0.5L);
}
