// Fonts of the text engine against the installed DejaVu and CJK faces, and a
// small face generated for the registration tests.
#include "TextFont.h"
#include "TextEngine.h"
#include "TextFontMatch.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

using namespace platform::text;

namespace {

LogicalFont Logical(std::u16string face, int height, int weight = FW_NORMAL,
                    std::uint8_t charset = DEFAULT_CHARSET) {
    LogicalFont s;
    s.Face = std::move(face);
    s.Height = height;
    s.Weight = weight;
    s.CharSet = charset;
    return s;
}

struct Ink {
    int Calls = 0;
    long Sum = 0;
    int MinX = INT_MAX, MinY = INT_MAX, MaxX = INT_MIN, MaxY = INT_MIN; // of covered pixels
    bool OnlyFullOrEmpty = true;
};

Ink InkOf(const Font& font, std::u16string_view text, int x = 0, int y = 0) {
    Ink ink;
    Rasterize(font, text, x, y, [&](const Coverage& c) {
        ++ink.Calls;
        for (int row = 0; row < c.Height; ++row) {
            for (int col = 0; col < c.Width; ++col) {
                const int v = c.Mask[row * c.Stride + col];
                if (v == 0) continue;
                ink.Sum += v;
                ink.OnlyFullOrEmpty &= v == 255;
                ink.MinX = std::min(ink.MinX, c.X + col);
                ink.MaxX = std::max(ink.MaxX, c.X + col);
                ink.MinY = std::min(ink.MinY, c.Y + row);
                ink.MaxY = std::max(ink.MaxY, c.Y + row);
            }
        }
    });
    return ink;
}

} // namespace

TEST(TextFont, MetricsFollowTheEmSizeOrTheCellHeight) {
    for (int size : {8, 11, 12, 13, 16, 29, 32, 48}) {
        SCOPED_TRACE(size);
        auto em = CreateFont(Logical(u"DejaVu Sans", -size));
        const FontMetrics m = GetMetrics(*em);
        EXPECT_EQ(m.Height, m.Ascent + m.Descent);
        EXPECT_EQ(em->PixelSize(), size);
        EXPECT_EQ(m.InternalLeading, m.Height - size);
        EXPECT_GT(m.Ascent, m.Descent);
        EXPECT_GT(m.AveCharWidth, 0);
        EXPECT_GE(m.MaxCharWidth, m.AveCharWidth);

        // Asking for that cell height gives the same em back.
        auto cell = CreateFont(Logical(u"DejaVu Sans", m.Height));
        const FontMetrics c = GetMetrics(*cell);
        EXPECT_EQ(c.Height, m.Height);
        EXPECT_EQ(c.Height, c.Ascent + c.Descent);
        EXPECT_NEAR(cell->PixelSize(), size, 1);
    }
}

TEST(TextFont, OutOfRangeHeightsStayUsable) {
    for (int height : {0, INT_MIN, INT_MAX, -1}) {
        SCOPED_TRACE(height);
        auto font = CreateFont(Logical(u"DejaVu Sans", height));
        const FontMetrics m = GetMetrics(*font);
        EXPECT_GT(m.Height, 0);
        EXPECT_LE(m.Height, 4096);
        EXPECT_EQ(m.Height, m.Ascent + m.Descent);
        EXPECT_GE(MeasureWidth(*font, u"Ab"), 0);
    }
}

TEST(TextFont, SubstitutesTheWindowsFaceNames) {
    EXPECT_EQ(CreateFont(Logical(u"宋体", -12, FW_NORMAL, GB2312_CHARSET))->FaceFamily(),
              "AR PL UMing CN");
    EXPECT_EQ(CreateFont(Logical(u"SimSun", -12))->FaceFamily(), "AR PL UMing CN");
    EXPECT_EQ(CreateFont(Logical(u"黑体", -29, FW_BOLD, GB2312_CHARSET))->FaceFamily(),
              "WenQuanYi Zen Hei Mono");
    EXPECT_EQ(CreateFont(Logical(u"simhei", -12))->FaceFamily(), "WenQuanYi Zen Hei Mono");
    EXPECT_EQ(CreateFont(Logical(u"Tahoma", -11))->FaceFamily(), "DejaVu Sans");
}

// Captions such as "最低     最高" place their words by counting blanks, so
// the substitutes must keep the originals' half-em Latin cells.
TEST(TextFont, ChineseSubstitutesKeepHalfEmLatinCells) {
    auto hei = CreateFont(Logical(u"黑体", -32, FW_NORMAL, GB2312_CHARSET));
    ASSERT_EQ(hei->PixelSize(), 32);
    EXPECT_EQ(hei->Advance(U'中'), 32);
    for (char32_t c : {U' ', U'-', U'1', U'M', U'P'})
        EXPECT_EQ(hei->Advance(c), 16) << "U+" << int(c);
    auto song = CreateFont(Logical(u"宋体", -32, FW_NORMAL, GB2312_CHARSET));
    EXPECT_EQ(song->Advance(U' ') * 2, song->Advance(U'中'));
}

TEST(TextFont, ChineseCharsetPrefersAChineseFaceForUnknownNames) {
    auto chinese = CreateFont(Logical(u"No Such Face", -12, FW_NORMAL, GB2312_CHARSET));
    EXPECT_FALSE(chinese->UsesFallback(U'中'));
    EXPECT_NE(chinese->Advance(U'中'), 0);
}

TEST(TextFont, MissingCharactersComeFromAFallbackFace) {
    auto latin = CreateFont(Logical(u"DejaVu Sans", -16));
    ASSERT_EQ(latin->FaceFamily(), "DejaVu Sans");
    EXPECT_FALSE(latin->UsesFallback(U'A'));
    EXPECT_TRUE(latin->UsesFallback(U'世'));
    const Ink ink = InkOf(*latin, u"世界");
    EXPECT_EQ(ink.Calls, 2);
    EXPECT_GT(ink.Sum, 0);
    EXPECT_GT(MeasureWidth(*latin, u"世界"), 16);
}

TEST(TextFont, BoldIsRealOrSynthesisedAndNeverNarrower) {
    // DejaVu has a bold face; the Ming face has none and is thickened.
    for (const char16_t* face : {u"DejaVu Sans", u"宋体"}) {
        SCOPED_TRACE(platform::text::CreateFont(Logical(face, -16))->FaceFamily());
        auto regular = CreateFont(Logical(face, -16));
        auto bold = CreateFont(Logical(face, -16, FW_BOLD));
        const std::u16string_view text = u"Hello 中文";
        EXPECT_GE(MeasureWidth(*bold, text), MeasureWidth(*regular, text));
        EXPECT_GT(InkOf(*bold, text).Sum, InkOf(*regular, text).Sum);
        EXPECT_EQ(GetMetrics(*bold).Weight, FW_BOLD);
        EXPECT_EQ(GetMetrics(*bold).Height, GetMetrics(*regular).Height);
    }
    EXPECT_GT(MeasureWidth(*CreateFont(Logical(u"宋体", -16, FW_BOLD)), u"中文"),
              MeasureWidth(*CreateFont(Logical(u"宋体", -16)), u"中文"));
}

TEST(TextFont, SynthesisedItalicLeansRight) {
    LogicalFont italic = Logical(u"宋体", -24);
    italic.Italic = true;
    const Ink slanted = InkOf(*CreateFont(italic), u"l");
    const Ink upright = InkOf(*CreateFont(Logical(u"宋体", -24)), u"l");
    EXPECT_TRUE(GetMetrics(*CreateFont(italic)).Italic);
    EXPECT_GT(slanted.MaxX - slanted.MinX, upright.MaxX - upright.MinX);
}

TEST(TextFont, GlyphsSitOnTheBaselineAndAdvance) {
    auto font = CreateFont(Logical(u"DejaVu Sans", -20));
    const FontMetrics m = GetMetrics(*font);
    const Ink h = InkOf(*font, u"H", 5, 7);
    EXPECT_EQ(h.MaxY, 7 + m.Ascent - 1); // the last row above the baseline
    EXPECT_GE(h.MinY, 7);
    EXPECT_GE(h.MinX, 5);

    EXPECT_EQ(MeasureWidth(*font, u"Hi there"),
              MeasureWidth(*font, u"Hi ") + MeasureWidth(*font, u"there"));
    // A pair is one character; a lone surrogate shows as the replacement.
    EXPECT_EQ(MeasureWidth(*font, u"\xD800"), MeasureWidth(*font, u"\xFFFD"));
    EXPECT_EQ(MeasureWidth(*font, u"a\U0001F600"),
              MeasureWidth(*font, u"a") + font->Advance(0x1F600));
    EXPECT_EQ(MeasureWidth(*font, u""), 0);
    EXPECT_EQ(InkOf(*font, u"   ").Calls, 0);
}

TEST(TextFont, QualityChoosesGreyOrMonoCoverage) {
    LogicalFont logical = Logical(u"DejaVu Sans", -15);
    EXPECT_FALSE(InkOf(*CreateFont(logical), u"Radio waves").OnlyFullOrEmpty);
    logical.Quality = NONANTIALIASED_QUALITY;
    const Ink mono = InkOf(*CreateFont(logical), u"Radio waves");
    EXPECT_TRUE(mono.OnlyFullOrEmpty);
    EXPECT_GT(mono.Sum, 0);
}

TEST(TextFont, UnderlineAndStrikeOutSpanTheTextInsideTheCell) {
    LogicalFont logical = Logical(u"DejaVu Sans", -18);
    logical.Underline = true;
    logical.StrikeOut = true;
    auto font = CreateFont(logical);
    const FontMetrics m = GetMetrics(*font);
    const int width = MeasureWidth(*font, u"under");
    std::vector<Coverage> strokes; // masks are not kept: they live only during the call
    bool solid = true;
    Rasterize(*font, u"under", 10, 20, [&](const Coverage& c) {
        if (c.Width != width || c.X != 10) return;
        for (int row = 0; row < c.Height; ++row)
            for (int col = 0; col < c.Width; ++col)
                solid &= c.Mask[row * c.Stride + col] == 255;
        strokes.push_back(c);
    });
    ASSERT_EQ(strokes.size(), 2u);
    const Coverage& under = strokes[0];
    const Coverage& strike = strokes[1];
    EXPECT_GE(under.Y, 20 + m.Ascent);
    EXPECT_LE(under.Y + under.Height, 20 + m.Height);
    EXPECT_LT(strike.Y, 20 + m.Ascent);
    EXPECT_GT(strike.Y, 20);
    EXPECT_TRUE(solid);

    // A very long run gets its lines in bounded pieces that join up.
    const std::u16string longText(3000, u'm');
    int covered = 0, next = 0;
    Rasterize(*font, longText, 0, 0, [&](const Coverage& c) {
        if (c.Y != under.Y - 20 || c.X != next) return;
        covered += c.Width;
        next = c.X + c.Width;
    });
    EXPECT_EQ(covered, MeasureWidth(*font, longText));
}

TEST(TextFont, EqualLogicalFontsShareOneFont) {
    EXPECT_EQ(CreateFont(Logical(u"DejaVu Sans", -13)), CreateFont(Logical(u"DejaVu Sans", -13)));
    EXPECT_NE(CreateFont(Logical(u"DejaVu Sans", -13)), CreateFont(Logical(u"DejaVu Sans", -14)));
}

// A face with a family name that no installed font has, and round design
// values (1000 units to the em, win ascent 900, win descent 300).
class RegisteredFontTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Dir = new testing_support::TempDir;
        const std::string script = Dir->File("make.py");
        testing_support::WriteFileBytes(script, R"PY(
import sys
from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen
def box(x0, y0, x1, y1):
    p = TTGlyphPen(None)
    p.moveTo((x0, y0)); p.lineTo((x0, y1)); p.lineTo((x1, y1)); p.lineTo((x1, y0))
    p.closePath()
    return p.glyph()
fb = FontBuilder(1000, isTTF=True)
fb.setupGlyphOrder(['.notdef', 'space', 'eight'])
fb.setupCharacterMap({32: 'space', 56: 'eight'})
fb.setupGlyf({'.notdef': box(50, 0, 450, 700), 'space': TTGlyphPen(None).glyph(),
              'eight': box(100, 0, 500, 700)})
fb.setupHorizontalMetrics({'.notdef': (500, 50), 'space': (300, 0), 'eight': (600, 100)})
fb.setupHorizontalHeader(ascent=900, descent=-300)
fb.setupNameTable({'familyName': sys.argv[2], 'styleName': 'Regular'})
fb.setupOS2(sTypoAscender=800, sTypoDescender=-200, usWinAscent=900, usWinDescent=300,
            xAvgCharWidth=500, yStrikeoutPosition=300, yStrikeoutSize=50)
fb.setupPost(underlinePosition=-100, underlineThickness=50)
fb.save(sys.argv[1])
)PY");
        Path = Dir->File("segments.ttf");
        int status = -1;
        testing_support::RunCommand(
            "/usr/bin/python3 " + script + " " + Path + " 'Panel Test Segments' 2>&1", &status);
        ASSERT_EQ(status, 0);
    }
    static void TearDownTestSuite() {
        delete Dir;
        Dir = nullptr;
    }

    static LogicalFont Segments(int height) { return Logical(u"Panel Test Segments", height); }

    static testing_support::TempDir* Dir;
    static std::string Path;
};

testing_support::TempDir* RegisteredFontTest::Dir = nullptr;
std::string RegisteredFontTest::Path;

TEST_F(RegisteredFontTest, IsFoundByFamilyOnlyWhileRegistered) {
    EXPECT_NE(CreateFont(Segments(-20))->FaceFamily(), "Panel Test Segments");
    ASSERT_TRUE(AddFontFile(Path));
    EXPECT_EQ(CreateFont(Segments(-20))->FaceFamily(), "Panel Test Segments");
    // Registered twice, it stays until removed twice.
    ASSERT_TRUE(AddFontFile(Path));
    ASSERT_TRUE(RemoveFontFile(Path));
    EXPECT_EQ(CreateFont(Segments(-20))->FaceFamily(), "Panel Test Segments");
    ASSERT_TRUE(RemoveFontFile(Path));
    EXPECT_NE(CreateFont(Segments(-20))->FaceFamily(), "Panel Test Segments");
    EXPECT_FALSE(RemoveFontFile(Path));
}

TEST_F(RegisteredFontTest, MetricsFollowTheWinAscentAndDescent) {
    ASSERT_TRUE(AddFontFile(Path));
    const FontMetrics em = GetMetrics(*CreateFont(Segments(-20)));
    EXPECT_EQ(em.Ascent, 18);
    EXPECT_EQ(em.Descent, 6);
    EXPECT_EQ(em.Height, 24);
    EXPECT_EQ(em.InternalLeading, 4);
    EXPECT_EQ(em.AveCharWidth, 10);

    auto cell = CreateFont(Segments(36));
    EXPECT_EQ(cell->PixelSize(), 30);
    EXPECT_EQ(GetMetrics(*cell).Ascent, 27);
    EXPECT_EQ(GetMetrics(*cell).InternalLeading, 6);
    EXPECT_EQ(cell->Advance(U'8'), 18);
    // Characters the face lacks fall back to installed faces.
    EXPECT_TRUE(cell->UsesFallback(U'A'));
    EXPECT_GT(InkOf(*cell, u"8A").Calls, 1);
    EXPECT_TRUE(RemoveFontFile(Path));
}

TEST_F(RegisteredFontTest, SynthesisesBoldForTheRegularFace) {
    ASSERT_TRUE(AddFontFile(Path));
    auto regular = CreateFont(Segments(-24));
    auto bold = CreateFont(Logical(u"Panel Test Segments", -24, FW_BOLD));
    EXPECT_EQ(bold->FaceFamily(), "Panel Test Segments");
    EXPECT_EQ(MeasureWidth(*bold, u"88"), MeasureWidth(*regular, u"88") + 2);
    EXPECT_GT(InkOf(*bold, u"8").Sum, InkOf(*regular, u"8").Sum);
    EXPECT_TRUE(RemoveFontFile(Path));
}

TEST_F(RegisteredFontTest, RejectsFilesWithoutFaces) {
    const std::string text = Dir->File("notafont.ttf");
    testing_support::WriteFileBytes(text, "just text, no tables");
    EXPECT_FALSE(AddFontFile(text));
    EXPECT_FALSE(AddFontFile(Dir->File("missing.ttf")));
    EXPECT_FALSE(RemoveFontFile(text));
}
