// DrawTextW-style layout: exact positions with a fixed-pitch measure, and
// invariants with a real proportional face.
#include "TextLayout.h"
#include "TextEngine.h"

#include <gtest/gtest.h>

#include <set>

using namespace platform::text;

namespace {

// Every character 10 pixels wide, lines 20 high, tab stops every 40.
LayoutMeasure Fixed() {
    LayoutMeasure m;
    m.LineHeight = 20;
    m.ExternalLeading = 3;
    m.AveCharWidth = 5;
    m.Advance = [](char32_t) { return 10; };
    return m;
}

Layout Lay(std::u16string_view text, int left, int top, int right, int bottom, unsigned format) {
    return LayoutTextWith(Fixed(), text, left, top, right, bottom, format);
}

std::vector<std::u16string> Texts(const Layout& l) {
    std::vector<std::u16string> out;
    for (const LayoutLine& line : l.Lines)
        out.push_back(line.Text);
    return out;
}

using Strings = std::vector<std::u16string>;

// Width of a run with the fixed measure: ten per code point.
int MeasureRun(std::u16string_view s) {
    int points = 0;
    for (std::size_t i = 0; i < s.size(); ++i)
        if ((s[i] & 0xFC00) != 0xDC00 || i == 0 || (s[i - 1] & 0xFC00) != 0xD800) ++points;
    return points * 10;
}

} // namespace

TEST(TextLayout, WordBreakWrapsAtSpacesAndIdeographs) {
    Layout l = Lay(u"aaa bbb ccc", 0, 0, 75, 100, DT_WORDBREAK);
    EXPECT_EQ(Texts(l), (Strings{u"aaa bbb", u"ccc"}));
    EXPECT_EQ(l.Lines[1].Y, 20);
    EXPECT_EQ(l.Height, 40);

    // Several spaces at a break belong to no line.
    EXPECT_EQ(Texts(Lay(u"aaa    bbb", 0, 0, 45, 100, DT_WORDBREAK)), (Strings{u"aaa", u"bbb"}));
    EXPECT_EQ(Texts(Lay(u"中文中文中文", 0, 0, 35, 100, DT_WORDBREAK)),
              (Strings{u"中文中", u"文中文"}));
    EXPECT_EQ(Texts(Lay(u"abc中文", 0, 0, 35, 100, DT_WORDBREAK)), (Strings{u"abc", u"中文"}));
    // A word wider than the line overflows alone instead of being split.
    EXPECT_EQ(Texts(Lay(u"aaaaaaaa bb", 0, 0, 50, 100, DT_WORDBREAK)),
              (Strings{u"aaaaaaaa", u"bb"}));
    // Single-line ignores both word breaks and line breaks.
    EXPECT_EQ(Texts(Lay(u"aaa bbb\r\nccc", 0, 0, 35, 100, DT_WORDBREAK | DT_SINGLELINE)),
              (Strings{u"aaa bbb\r\nccc"}));
}

TEST(TextLayout, LineBreaksAndCalcRect) {
    Layout l = Lay(u"one\r\ntwo three\rx\nlast\r\n", 5, 7, 500, 500, DT_CALCRECT);
    EXPECT_EQ(Texts(l), (Strings{u"one", u"two three", u"x", u"last"}));
    EXPECT_EQ(l.Left, 5);
    EXPECT_EQ(l.Top, 7);
    EXPECT_EQ(l.Right, 5 + 90);
    EXPECT_EQ(l.Bottom, 7 + 80);
    EXPECT_EQ(l.Height, 80);
    EXPECT_EQ(Texts(Lay(u"a\r\n\r\nb", 0, 0, 100, 100, 0)), (Strings{u"a", u"", u"b"}));

    // A word wider than the rectangle widens it; short text narrows it.
    Layout wide = Lay(u"aaaaaaaa bb", 0, 0, 50, 0, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(wide.Right, 80);
    EXPECT_EQ(wide.Bottom, 40);
    EXPECT_EQ(Lay(u"ab", 0, 0, 300, 0, DT_CALCRECT | DT_WORDBREAK).Right, 20);

    // Empty text measures 0 x 0, as a label with no caption expects.
    Layout empty = Lay(u"", 3, 4, 3, 4, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_TRUE(empty.Lines.empty());
    EXPECT_EQ(empty.Right, 3);
    EXPECT_EQ(empty.Bottom, 4);
    EXPECT_EQ(empty.Height, 0);

    EXPECT_EQ(Lay(u"a\nb", 0, 0, 100, 0, DT_CALCRECT | DT_EXTERNALLEADING).Bottom, 46);
}

TEST(TextLayout, AlignsHorizontallyAndVertically) {
    const unsigned one = DT_SINGLELINE;
    EXPECT_EQ(Lay(u"abcd", 10, 0, 110, 50, one).Lines[0].X, 10);
    EXPECT_EQ(Lay(u"abcd", 10, 0, 110, 50, one | DT_CENTER).Lines[0].X, 40);
    EXPECT_EQ(Lay(u"abc", 10, 0, 110, 50, one | DT_CENTER).Lines[0].X, 45);
    EXPECT_EQ(Lay(u"abcd", 10, 0, 110, 50, one | DT_RIGHT).Lines[0].X, 70);

    Layout top = Lay(u"abcd", 0, 10, 100, 61, one);
    EXPECT_EQ(top.Lines[0].Y, 10);
    EXPECT_EQ(top.Height, 20);
    Layout middle = Lay(u"abcd", 0, 10, 100, 61, one | DT_VCENTER);
    EXPECT_EQ(middle.Lines[0].Y, 25);
    EXPECT_EQ(middle.Height, 35);
    Layout bottom = Lay(u"abcd", 0, 10, 100, 61, one | DT_BOTTOM);
    EXPECT_EQ(bottom.Lines[0].Y, 41);
    EXPECT_EQ(bottom.Height, 51);
    // Vertical centring applies to single lines only.
    EXPECT_EQ(Lay(u"a\nb", 0, 10, 100, 100, DT_VCENTER).Lines[0].Y, 10);
    // Text taller than the rectangle centres above its top, as GDI does.
    EXPECT_EQ(Lay(u"a", 0, 10, 100, 14, one | DT_VCENTER).Lines[0].Y, 2);

    Layout lines = Lay(u"a\nbbb", 0, 0, 100, 100, DT_CENTER);
    EXPECT_EQ(lines.Lines[0].X, 45);
    EXPECT_EQ(lines.Lines[1].X, 35);
}

TEST(TextLayout, PrefixesUnderlineOneCharacter) {
    Layout l = Lay(u"&File", 0, 0, 100, 20, DT_SINGLELINE);
    EXPECT_EQ(l.Lines[0].Text, u"File");
    EXPECT_EQ(l.Lines[0].UnderlineFrom, 0);
    EXPECT_EQ(l.Lines[0].UnderlineTo, 1);

    l = Lay(u"a&&b && c", 0, 0, 200, 20, DT_SINGLELINE);
    EXPECT_EQ(l.Lines[0].Text, u"a&b & c");
    EXPECT_EQ(l.Lines[0].UnderlineFrom, -1);

    l = Lay(u"&Open &Save", 0, 0, 200, 20, DT_SINGLELINE);
    EXPECT_EQ(l.Lines[0].Text, u"Open Save");
    EXPECT_EQ(l.Lines[0].UnderlineFrom, 5);

    l = Lay(u"x&\U0001F600y&", 0, 0, 200, 20, DT_SINGLELINE);
    EXPECT_EQ(l.Lines[0].Text, u"x\U0001F600y");
    EXPECT_EQ(l.Lines[0].UnderlineFrom, 1);
    EXPECT_EQ(l.Lines[0].UnderlineTo, 3);

    EXPECT_EQ(Lay(u"&Save", 0, 0, 200, 20, DT_HIDEPREFIX).Lines[0].UnderlineFrom, -1);
    EXPECT_EQ(Lay(u"&Save", 0, 0, 200, 20, DT_HIDEPREFIX).Lines[0].Text, u"Save");
    EXPECT_EQ(Lay(u"&Save", 0, 0, 200, 20, DT_PREFIXONLY).Lines[0].UnderlineFrom, 0);
    l = Lay(u"&Save", 0, 0, 200, 20, DT_NOPREFIX);
    EXPECT_EQ(l.Lines[0].Text, u"&Save");
    EXPECT_EQ(l.Lines[0].UnderlineFrom, -1);

    // The underline moves with its line.
    l = Lay(u"one two t&hree", 0, 0, 75, 100, DT_WORDBREAK);
    EXPECT_EQ(Texts(l), (Strings{u"one two", u"three"}));
    EXPECT_EQ(l.Lines[0].UnderlineFrom, -1);
    EXPECT_EQ(l.Lines[1].UnderlineFrom, 1);
    // Prefix processing keeps the measured widths of the shown text.
    EXPECT_EQ(Lay(u"&&&a", 0, 0, 0, 0, DT_CALCRECT | DT_SINGLELINE).Right, 20);
}

TEST(TextLayout, EllipsesShortenTextThatDoesNotFit) {
    Layout end = Lay(u"abcdefghij", 0, 0, 55, 20, DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(end.Lines[0].Text, u"ab...");
    EXPECT_EQ(Lay(u"abcdefghij", 0, 0, 55, 20, DT_WORD_ELLIPSIS).Lines[0].Text, u"ab...");
    EXPECT_EQ(Lay(u"abcde", 0, 0, 50, 20, DT_END_ELLIPSIS).Lines[0].Text, u"abcde");
    EXPECT_EQ(Lay(u"abcdef", 0, 0, 25, 20, DT_END_ELLIPSIS).Lines[0].Text, u"..");
    EXPECT_EQ(Lay(u"abcdef", 0, 0, -5, 20, DT_END_ELLIPSIS).Lines[0].Text, u"");

    // A path keeps its last component; other text keeps both ends.
    EXPECT_EQ(Lay(u"C:\\dir\\sub\\file.txt", 0, 0, 150, 20, DT_PATH_ELLIPSIS).Lines[0].Text,
              u"C:\\...\\file.txt");
    EXPECT_EQ(Lay(u"abcdefghij", 0, 0, 70, 20, DT_PATH_ELLIPSIS).Lines[0].Text, u"ab...ij");
    EXPECT_EQ(Lay(u"/a/verylongname", 0, 0, 100, 20, DT_PATH_ELLIPSIS).Lines[0].Text,
              u"/a/very...");

    // A surrogate pair is never cut in half.
    for (int width = 30; width <= 80; width += 10) {
        const std::u16string text =
            Lay(u"a\U0001F600\U0001F600\U0001F600\U0001F600b", 0, 0, width, 20, DT_END_ELLIPSIS)
                .Lines[0]
                .Text;
        EXPECT_NE(text[text.size() - 4] & 0xFC00, 0xD800) << width;
    }

    // The underline follows the kept text and goes with the removed text.
    Layout path = Lay(u"ab&cdefgh&ij", 0, 0, 70, 20, DT_PATH_ELLIPSIS);
    EXPECT_EQ(path.Lines[0].Text, u"ab...ij");
    EXPECT_EQ(path.Lines[0].UnderlineFrom, 5);
    EXPECT_EQ(Lay(u"abcde&fghij", 0, 0, 55, 20, DT_END_ELLIPSIS).Lines[0].UnderlineFrom, -1);

    // Each over-long line of wrapped text is shortened on its own.
    Layout wrapped =
        Lay(u"aaaaaaaa bb", 0, 0, 50, 100, DT_WORDBREAK | DT_END_ELLIPSIS | DT_CALCRECT);
    EXPECT_EQ(Texts(wrapped), (Strings{u"aa...", u"bb"}));
    EXPECT_EQ(wrapped.Right, 50);
}

TEST(TextLayout, ExpandedTabsSplitALineIntoRuns) {
    Layout l = Lay(u"a\tbc\td", 10, 0, 300, 20, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT);
    ASSERT_EQ(Texts(l), (Strings{u"a", u"bc", u"d"}));
    EXPECT_EQ(l.Lines[0].X, 10);
    EXPECT_EQ(l.Lines[1].X, 50);
    EXPECT_EQ(l.Lines[2].X, 90);
    EXPECT_EQ(l.Lines[2].Y, l.Lines[0].Y);
    EXPECT_EQ(l.Right, 10 + 90);
    // DT_TABSTOP puts the tab size, in average characters, in the second byte.
    l = Lay(u"a\tb", 0, 0, 300, 20, DT_EXPANDTABS | DT_TABSTOP | (4u << 8));
    EXPECT_EQ(l.Lines[1].X, 20);
    // Unexpanded, a tab is an ordinary character.
    EXPECT_EQ(Texts(Lay(u"a\tb", 0, 0, 300, 20, DT_SINGLELINE)), (Strings{u"a\tb"}));
    EXPECT_EQ(Lay(u"\t&x", 0, 0, 300, 20, DT_EXPANDTABS).Lines[0].UnderlineFrom, 0);
}

// The same rules with a proportional face.
TEST(TextLayout, InvariantsWithDejaVu) {
    LogicalFont logical;
    logical.Face = u"DejaVu Sans";
    logical.Height = -13;
    auto font = CreateFont(logical);
    const int lineHeight = GetMetrics(*font).Height;
    const std::u16string_view text =
        u"The quick brown fox jumps over the lazy dog while the panel shows the weather";

    for (int width : {60, 97, 150, 333}) {
        SCOPED_TRACE(width);
        Layout l = LayoutText(*font, text, 0, 0, width, 500, DT_WORDBREAK | DT_CENTER);
        ASSERT_GT(l.Lines.size(), 1u);
        std::u16string joined;
        for (std::size_t i = 0; i < l.Lines.size(); ++i) {
            const LayoutLine& line = l.Lines[i];
            const int w = MeasureWidth(*font, line.Text);
            EXPECT_LE(w, width) << std::string(line.Text.begin(), line.Text.end());
            EXPECT_EQ(line.Y, int(i) * lineHeight);
            EXPECT_NEAR(line.X - 0, width - (line.X + w), 1); // centred
            joined += (i ? u" " : u"") + line.Text;
        }
        EXPECT_EQ(joined, text);

        Layout calc = LayoutText(*font, text, 0, 0, width, 0, DT_WORDBREAK | DT_CALCRECT);
        EXPECT_EQ(calc.Bottom, int(l.Lines.size()) * lineHeight);
        for (const LayoutLine& line : calc.Lines) {
            EXPECT_GE(line.X, calc.Left);
            EXPECT_LE(line.X + MeasureWidth(*font, line.Text), calc.Right);
        }

        Layout shortened =
            LayoutText(*font, text, 0, 0, width, 20, DT_SINGLELINE | DT_END_ELLIPSIS);
        const std::u16string& s = shortened.Lines[0].Text;
        EXPECT_LE(MeasureWidth(*font, s), width);
        EXPECT_EQ(s.substr(s.size() - 3), u"...");
    }

    // Single-line measuring gives the text's width and the cell height.
    Layout one = LayoutText(*font, u"12345", 0, 0, 0, 0, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(one.Right, MeasureWidth(*font, u"12345"));
    EXPECT_EQ(one.Bottom, lineHeight);
}

// Every combination of the flags that shape lines keeps the results usable:
// underlines point into their run, shortened lines fit, and measuring gives
// a rectangle that holds every run.
TEST(TextLayout, FlagCombinationsKeepTheirPromises) {
    const std::u16string_view texts[] = {u"",
                                         u"&",
                                         u"a&",
                                         u"&&",
                                         u"Save &As...",
                                         u"C:\\a\\&b\\c.txt",
                                         u"one two\r\nthree four five",
                                         u"中文&中文中文 mixed words",
                                         u"x\U0001F600&\U0001F600y \U0001F600",
                                         u"\xD800&\xDC00 z",
                                         u"tab\t&tab\tend"};
    const unsigned choices[] = {DT_CENTER,       DT_RIGHT,         DT_VCENTER,    DT_BOTTOM,
                                DT_WORDBREAK,    DT_SINGLELINE,    DT_EXPANDTABS, DT_NOPREFIX,
                                DT_END_ELLIPSIS, DT_PATH_ELLIPSIS, DT_HIDEPREFIX};
    const unsigned combinations = 1u << (sizeof choices / sizeof choices[0]);
    for (const std::u16string_view text : texts) {
        for (unsigned bits = 0; bits < combinations; ++bits) {
            unsigned format = 0;
            for (unsigned i = 0; i < sizeof choices / sizeof choices[0]; ++i)
                if (bits & (1u << i)) format |= choices[i];
            for (const int width : {0, 45, 1000}) {
                const Layout draw = Lay(text, 0, 0, width, 100, format);
                const Layout calc = Lay(text, 0, 0, width, 100, format | DT_CALCRECT);
                const bool shortened = (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS)) &&
                                       !(format & DT_EXPANDTABS) && width >= 30;
                for (const LayoutLine& run : draw.Lines) {
                    const int size = int(run.Text.size());
                    ASSERT_TRUE(run.UnderlineFrom == -1 ||
                                (run.UnderlineFrom < run.UnderlineTo && run.UnderlineTo <= size))
                        << format;
                    if (shortened) {
                        EXPECT_LE(run.X + MeasureRun(run.Text), width) << format;
                    }
                }
                for (const LayoutLine& run : calc.Lines) {
                    EXPECT_GE(run.X, calc.Left) << format;
                    EXPECT_LE(run.X + MeasureRun(run.Text), calc.Right) << format;
                    EXPECT_LE(run.Y + 20, calc.Bottom) << format;
                }
            }
        }
    }
}
