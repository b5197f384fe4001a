#include "TextLayout.h"

#include "TextUnicode.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <string>
#include <vector>

namespace platform::text {

namespace {

constexpr std::u16string_view kEllipsis = u"...";
constexpr std::size_t npos = std::u16string_view::npos;

int ClampToInt(long long v) {
    return int(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

bool IsBreakSpace(char32_t c) {
    return c == U' ' || c == U'\t';
}

// A line of visible text before it is placed, with the underlined character.
struct Line {
    std::u16string Text;
    int Underline = -1;
    int UnderlineUnits = 0;
};

// Widths of text as DrawTextW sees them: the sum of advances, with tabs
// advancing to the next stop when they are expanded.
class Measurer {
public:
    Measurer(const LayoutMeasure& m, bool expandTabs, int tabChars)
        : FMeasure(m), FExpandTabs(expandTabs),
          FTabWidth(std::max<long long>(1, (long long)tabChars * std::max(0, m.AveCharWidth))) {}

    long long Advance(char32_t c, long long x) const {
        if (c == U'\t' && FExpandTabs) return (x / FTabWidth + 1) * FTabWidth - x;
        return FMeasure.Advance ? std::max(0, FMeasure.Advance(c)) : 0;
    }

    long long Width(std::u16string_view s, long long x0 = 0) const {
        long long x = x0;
        for (std::size_t i = 0; i < s.size();) {
            std::size_t units;
            x += Advance(CodePointAt(s, i, units), x);
            i += units;
        }
        return x - x0;
    }

private:
    const LayoutMeasure& FMeasure;
    bool FExpandTabs;
    long long FTabWidth;
};

// Removes "&" prefixes: "&&" stands for "&", and "&x" shows x underlined (the
// last such character when there are several). A lone "&" at the very end
// shows nothing.
std::u16string StripPrefixes(std::u16string_view text, int& underline) {
    std::u16string out;
    out.reserve(text.size());
    underline = -1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            out += text[i];
            continue;
        }
        if (i + 1 >= text.size()) break;
        if (text[i + 1] == u'&') {
            out += u'&';
            ++i;
        } else if (text[i + 1] != u'\r' && text[i + 1] != u'\n') {
            underline = int(out.size());
        }
    }
    return out;
}

// Code-unit offsets at which a code point starts, plus the end.
std::vector<std::size_t> Boundaries(std::u16string_view s) {
    std::vector<std::size_t> b;
    for (std::size_t i = 0; i < s.size();) {
        b.push_back(i);
        std::size_t units;
        CodePointAt(s, i, units);
        i += units;
    }
    b.push_back(s.size());
    return b;
}

// A shortened line keeps Text[0, Keep) and Text[Resume, end) around the dots.
struct Cut {
    std::size_t Keep, Resume;
    std::u16string_view Dots;
};

std::u16string Apply(std::u16string_view s, const Cut& c) {
    std::u16string out(s.substr(0, c.Keep));
    out += c.Dots;
    out += s.substr(c.Resume);
    return out;
}

// The largest n in [0, count) for which fits(n) holds, fits being monotonic
// (true up to some n, false after); -1 when none fits.
template <class Fits> long long LargestFitting(long long count, Fits fits) {
    long long lo = 0, hi = count - 1, best = -1;
    while (lo <= hi) {
        const long long mid = lo + (hi - lo) / 2;
        if (fits(mid)) {
            best = mid;
            lo = mid + 1;
        } else {
            hi = mid - 1;
        }
    }
    return best;
}

// The longest start of the text that fits with "..." after it. When not even
// "..." fits, as many dots as fit.
Cut EndEllipsis(const Measurer& m, std::u16string_view s, long long width) {
    const std::vector<std::size_t> b = Boundaries(s);
    const long long n = LargestFitting(static_cast<long long>(b.size()), [&](long long k) {
        return m.Width(Apply(s, {b[k], s.size(), kEllipsis})) <= width;
    });
    if (n >= 0) return {b[n], s.size(), kEllipsis};
    std::u16string_view dots = kEllipsis;
    while (!dots.empty() && m.Width(dots) > width)
        dots.remove_suffix(1);
    return {0, s.size(), dots};
}

// Dots in the middle: a path keeps as much as it can of its last component
// and shortens the folders before it; other text keeps equal parts of its
// start and its end.
Cut PathEllipsis(const Measurer& m, std::u16string_view s, long long width) {
    const std::size_t sep = s.find_last_of(u"\\/");
    const std::vector<std::size_t> b = Boundaries(s);
    if (sep != npos && sep > 0) {
        const long long count = std::upper_bound(b.begin(), b.end(), sep) - b.begin();
        const long long n = LargestFitting(count, [&](long long k) {
            return m.Width(Apply(s, {b[k], sep, kEllipsis})) <= width;
        });
        if (n >= 0) return {b[n], sep, kEllipsis};
        return EndEllipsis(m, s, width);
    }
    const long long points = static_cast<long long>(b.size()) - 1;
    auto cutFor = [&](long long kept) {
        const long long head = (kept + 1) / 2, tail = kept / 2;
        return Cut{b[head], b[points - tail], kEllipsis};
    };
    const long long n = LargestFitting(
        points + 1, [&](long long kept) { return m.Width(Apply(s, cutFor(kept))) <= width; });
    if (n >= 0) return cutFor(n);
    return EndEllipsis(m, s, width);
}

void Shorten(Line& line, const Cut& cut) {
    const int keep = int(cut.Keep), resume = int(cut.Resume);
    if (line.Underline >= 0) {
        if (line.Underline + line.UnderlineUnits <= keep) {
            // stays where it is
        } else if (line.Underline >= resume) {
            line.Underline = keep + int(cut.Dots.size()) + line.Underline - resume;
        } else {
            line.Underline = -1;
        }
    }
    line.Text = Apply(line.Text, cut);
}

// Greedy word wrapping of text[from, to) into lines of at most `width`.
// Lines break after spaces and around ideographs; the spaces at a break
// belong to neither line. A word wider than the line is not split: it
// overflows its line alone.
void WrapParagraph(const Measurer& m, std::u16string_view text, std::size_t from, std::size_t to,
                   long long width, std::vector<std::pair<std::size_t, std::size_t>>& out) {
    std::size_t start = from;
    for (;;) {
        long long x = 0;
        std::size_t breakEnd = npos, breakNext = npos;
        char32_t prev = 0;
        bool broke = false;
        for (std::size_t i = start; i < to;) {
            std::size_t units;
            const char32_t c = CodePointAt(text, i, units);
            if (i > start && !IsBreakSpace(prev)) {
                if (IsBreakSpace(c)) {
                    breakEnd = i;
                    breakNext = i;
                    while (breakNext < to && IsBreakSpace(text[breakNext]))
                        ++breakNext;
                } else if (IsIdeographic(c) || IsIdeographic(prev)) {
                    breakEnd = breakNext = i;
                }
            }
            const long long advance = m.Advance(c, x);
            if (!IsBreakSpace(c) && x + advance > width && breakEnd != npos) {
                out.emplace_back(start, breakEnd);
                start = breakNext;
                broke = true;
                break;
            }
            x += advance;
            prev = c;
            i += units;
        }
        if (!broke) {
            out.emplace_back(start, to);
            return;
        }
    }
}

// Splits the visible text into lines: at CR LF, CR or LF unless single-line,
// then by word wrapping. A final line break adds no empty line.
std::vector<Line> BreakLines(const Measurer& m, const std::u16string& text, int underline,
                             unsigned format, long long width) {
    std::vector<std::pair<std::size_t, std::size_t>> paragraphs;
    if (text.empty()) {
        // no line at all: empty text measures 0 x 0
    } else if (format & DT_SINGLELINE) {
        paragraphs.emplace_back(0, text.size());
    } else {
        std::size_t start = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != u'\r' && text[i] != u'\n') continue;
            paragraphs.emplace_back(start, i);
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            start = i + 1;
        }
        if (start < text.size()) paragraphs.emplace_back(start, text.size());
    }

    std::vector<std::pair<std::size_t, std::size_t>> spans;
    const bool wrap = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
    for (const auto& [from, to] : paragraphs) {
        if (wrap)
            WrapParagraph(m, text, from, to, width, spans);
        else
            spans.emplace_back(from, to);
    }

    std::vector<Line> lines;
    lines.reserve(spans.size());
    for (const auto& [from, to] : spans) {
        Line line;
        line.Text = text.substr(from, to - from);
        if (underline >= int(from) && underline < int(to)) {
            std::size_t units;
            CodePointAt(text, std::size_t(underline), units);
            line.Underline = underline - int(from);
            line.UnderlineUnits = int(units);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

// One line as runs: a single run, or one run per tab-separated piece when
// tabs are expanded, each at the stop its tab reaches.
void EmitRuns(const Measurer& m, const Line& line, bool expandTabs, long long x, int y,
              std::vector<LayoutLine>& out) {
    auto emit = [&](std::size_t from, std::size_t to, long long runX) {
        LayoutLine run;
        run.Text = line.Text.substr(from, to - from);
        run.X = ClampToInt(runX);
        run.Y = y;
        if (line.Underline >= int(from) && line.Underline < int(to)) {
            run.UnderlineFrom = line.Underline - int(from);
            run.UnderlineTo = run.UnderlineFrom + line.UnderlineUnits;
        }
        out.push_back(std::move(run));
    };
    if (!expandTabs || line.Text.find(u'\t') == npos) {
        emit(0, line.Text.size(), x);
        return;
    }
    std::size_t from = 0;
    long long pieceX = 0;
    bool any = false;
    for (std::size_t i = 0; i <= line.Text.size(); ++i) {
        if (i < line.Text.size() && line.Text[i] != u'\t') continue;
        if (i > from) {
            emit(from, i, x + pieceX);
            any = true;
        }
        pieceX += m.Width(std::u16string_view(line.Text).substr(from, i - from), pieceX);
        if (i < line.Text.size()) pieceX += m.Advance(U'\t', pieceX);
        from = i + 1;
    }
    if (!any) emit(0, 0, x);
}

} // namespace

Layout LayoutTextWith(const LayoutMeasure& measure, std::u16string_view text, int left, int top,
                      int right, int bottom, unsigned format) {
    // With DT_TABSTOP the second byte of the format is the tab size in
    // characters (0 keeps the usual 8), so the flags that live there are not
    // given.
    int tabChars = 8;
    if (format & DT_TABSTOP) {
        if ((format >> 8) & 0xFF) tabChars = int((format >> 8) & 0xFF);
        format &= ~0xFF00u;
    }
    const bool expandTabs = format & DT_EXPANDTABS;
    const Measurer m(measure, expandTabs, tabChars);

    int underline = -1;
    const std::u16string visible =
        (format & DT_NOPREFIX) ? std::u16string(text) : StripPrefixes(text, underline);
    if (format & DT_HIDEPREFIX) underline = -1;

    const long long width = (long long)right - left;
    std::vector<Line> lines = BreakLines(m, visible, underline, format, width);

    const unsigned ellipsis = format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS);
    std::vector<long long> widths;
    widths.reserve(lines.size());
    for (Line& line : lines) {
        long long w = m.Width(line.Text);
        if (ellipsis && w > width) {
            // A word ellipsis truncates the word that does not fit, which on
            // one line is the end ellipsis.
            Shorten(line, (ellipsis & DT_PATH_ELLIPSIS) ? PathEllipsis(m, line.Text, width)
                                                        : EndEllipsis(m, line.Text, width));
            w = m.Width(line.Text);
        }
        widths.push_back(w);
    }

    Layout result;
    result.Left = left;
    result.Top = top;
    result.Right = right;
    result.Bottom = bottom;
    const long long lineHeight = (long long)measure.LineHeight +
                                 ((format & DT_EXTERNALLEADING) ? measure.ExternalLeading : 0);
    const long long total = lineHeight * (long long)lines.size();
    if (format & DT_CALCRECT) {
        const long long widest =
            widths.empty() ? 0 : *std::max_element(widths.begin(), widths.end());
        result.Right = ClampToInt(left + widest);
        result.Bottom = ClampToInt(top + total);
    }

    long long y = result.Top;
    const bool single = format & DT_SINGLELINE;
    if (single && (format & DT_BOTTOM))
        y = (long long)result.Bottom - lineHeight;
    else if (single && (format & DT_VCENTER))
        y = result.Top + ((long long)result.Bottom - result.Top - lineHeight) / 2;
    const long long firstY = y;

    for (std::size_t i = 0; i < lines.size(); ++i) {
        long long x = result.Left;
        if (format & DT_CENTER)
            x = result.Left + ((long long)result.Right - result.Left - widths[i]) / 2;
        else if (format & DT_RIGHT)
            x = (long long)result.Right - widths[i];
        EmitRuns(m, lines[i], expandTabs, x, ClampToInt(y), result.Lines);
        y += lineHeight;
    }

    if (lines.empty())
        result.Height = 0;
    else if (single && (format & (DT_VCENTER | DT_BOTTOM)))
        result.Height = ClampToInt(firstY - result.Top + lineHeight);
    else
        result.Height = ClampToInt(total);
    return result;
}

} // namespace platform::text
