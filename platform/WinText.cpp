#include "WinText.h"

#include "TextEngine.h"
#include "TextUnicode.h"
#include "WinGdi.h"
#include "WinInternal.h"
#include "WinRender.h"

#include <algorithm>
#include <cstring>
#include <string>

using namespace platform::win;
namespace text = platform::text;

namespace {

text::LogicalFont LogicalOf(const LOGFONTW& lf) {
    text::LogicalFont logical;
    std::size_t n = 0;
    while (n < LF_FACESIZE && lf.lfFaceName[n])
        ++n;
    logical.Face.assign(lf.lfFaceName, n);
    logical.Height = lf.lfHeight;
    logical.Weight = lf.lfWeight;
    logical.Italic = lf.lfItalic != 0;
    logical.Underline = lf.lfUnderline != 0;
    logical.StrikeOut = lf.lfStrikeOut != 0;
    logical.CharSet = lf.lfCharSet;
    logical.Quality = lf.lfQuality;
    return logical;
}

// Counts font file registrations, so that fonts made before one are matched again.
unsigned gFontGeneration = 1;

const text::Font& EngineFont(const FontObject& f) {
    if (!f.Engine || f.EngineGeneration != gFontGeneration) {
        f.Engine = text::CreateFont(LogicalOf(f.Log));
        f.EngineGeneration = gFontGeneration;
    }
    return *f.Engine;
}

std::shared_ptr<FontObject> DcFont(const DcData& dc) {
    if (dc.S.FontData) return dc.S.FontData;
    return FindGdi<FontObject>(GetStockObject(SYSTEM_FONT));
}

std::u16string_view Units(LPCWSTR s, int count) {
    if (!s) return {};
    if (count < 0) return std::u16string_view(s);
    return std::u16string_view(s, static_cast<std::size_t>(count));
}

std::uint32_t Div255(std::uint32_t v) {
    return (v + 128 + ((v + 128) >> 8)) >> 8;
}

// Blends one glyph's coverage in the text colour into the target (device
// coordinates), inside `limit`. Touched pixels get alpha 0.
void Composite(DrawTarget& t, const text::Coverage& c, COLORREF color, const RECT& limit) {
    if (!t.Surf.Valid()) return;
    const std::uint32_t tr = color & 0xFF, tg = (color >> 8) & 0xFF, tb = (color >> 16) & 0xFF;
    const RECT area = Intersect(RectOfSize(c.X, c.Y, c.Width, c.Height), limit);
    ForEachClipped(t, area, [&](const RECT& r) {
        for (int y = r.top; y < r.bottom; ++y) {
            const std::uint8_t* m = c.Mask + static_cast<std::ptrdiff_t>(y - c.Y) * c.Stride;
            for (int x = r.left; x < r.right; ++x) {
                const std::uint32_t a = m[x - c.X];
                if (!a) continue;
                const int sx = x + t.OriginX, sy = y + t.OriginY;
                const std::uint32_t d = ReadPixel(t.Surf, sx, sy);
                const std::uint32_t db = d & 0xFF, dg = (d >> 8) & 0xFF, dr = (d >> 16) & 0xFF;
                const std::uint32_t b = Div255(tb * a + db * (255 - a));
                const std::uint32_t g = Div255(tg * a + dg * (255 - a));
                const std::uint32_t rr = Div255(tr * a + dr * (255 - a));
                WritePixel(t.Surf, sx, sy, b | (g << 8) | (rr << 16));
            }
        }
    });
    FinishDraw(t, area);
}

const RECT kNoLimit{-0x40000000, -0x40000000, 0x40000000, 0x40000000};

// Draws a run at device position (x, y) = the cell's top-left corner.
void DrawRun(DrawTarget& t, const text::Font& font, std::u16string_view s, int x, int y,
             COLORREF color, const RECT& limit) {
    text::Rasterize(font, s, x, y, [&](const text::Coverage& c) { Composite(t, c, color, limit); });
}

} // namespace

HFONT CreateFontIndirectW(const LOGFONTW* font) {
    if (!font) return nullptr;
    auto f = std::make_shared<FontObject>();
    f->Log = *font;
    f->Log.lfFaceName[LF_FACESIZE - 1] = 0;
    return static_cast<HFONT>(AddGdiObject(f));
}

HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCWSTR face) {
    LOGFONTW lf;
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = static_cast<BYTE>(italic);
    lf.lfUnderline = static_cast<BYTE>(underline);
    lf.lfStrikeOut = static_cast<BYTE>(strikeOut);
    lf.lfCharSet = static_cast<BYTE>(charSet);
    lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    lf.lfQuality = static_cast<BYTE>(quality);
    lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    for (int i = 0; face && face[i] && i < LF_FACESIZE - 1; ++i)
        lf.lfFaceName[i] = face[i];
    return CreateFontIndirectW(&lf);
}

BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* metrics) {
    auto dc = FindDc(hdc);
    if (!dc || !metrics) return FALSE;
    auto f = DcFont(*dc);
    if (!f) return FALSE;
    const text::FontMetrics m = text::GetMetrics(EngineFont(*f));
    *metrics = TEXTMETRICW{};
    metrics->tmHeight = m.Height;
    metrics->tmAscent = m.Ascent;
    metrics->tmDescent = m.Descent;
    metrics->tmInternalLeading = m.InternalLeading;
    metrics->tmExternalLeading = m.ExternalLeading;
    metrics->tmAveCharWidth = m.AveCharWidth;
    metrics->tmMaxCharWidth = m.MaxCharWidth;
    metrics->tmWeight = m.Weight;
    metrics->tmItalic = m.Italic ? 1 : 0;
    metrics->tmUnderlined = f->Log.lfUnderline ? 1 : 0;
    metrics->tmStruckOut = f->Log.lfStrikeOut ? 1 : 0;
    metrics->tmFirstChar = 0x20;
    metrics->tmLastChar = 0xFFFC;
    metrics->tmDefaultChar = 0x1F;
    metrics->tmBreakChar = 0x20;
    metrics->tmPitchAndFamily = 0x06; // variable pitch, TrueType outline
    metrics->tmCharSet = f->Log.lfCharSet;
    metrics->tmDigitizedAspectX = metrics->tmDigitizedAspectY = 96;
    return TRUE;
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR s, int count, SIZE* size) {
    auto dc = FindDc(hdc);
    if (!dc || !size || count < 0 || (!s && count > 0)) return FALSE;
    auto f = DcFont(*dc);
    if (!f) return FALSE;
    const text::Font& font = EngineFont(*f);
    size->cx = text::MeasureWidth(font, Units(s, count));
    size->cy = text::GetMetrics(font).Height;
    return TRUE;
}

int GetTextFaceW(HDC hdc, int count, LPWSTR face) {
    auto dc = FindDc(hdc);
    if (!dc) return 0;
    auto f = DcFont(*dc);
    if (!f) return 0;
    int n = 0;
    while (n < LF_FACESIZE && f->Log.lfFaceName[n])
        ++n;
    if (!face) return n + 1;
    const int copied = std::min(n, count - 1);
    if (copied < 0) return 0;
    std::copy_n(f->Log.lfFaceName, copied, face);
    face[copied] = 0;
    return copied;
}

BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR s, int count) {
    if (count < 0) return FALSE;
    return ExtTextOutW(hdc, x, y, 0, nullptr, s, static_cast<UINT>(count), nullptr);
}

BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* rc, LPCWSTR s, UINT count,
                 const INT* dx) {
    DrawTarget t;
    if (!ResolveTarget(hdc, t) || (!s && count)) return FALSE;
    auto f = DcFont(*t.Dc);
    if (!f) return FALSE;
    const text::Font& font = EngineFont(*f);
    const text::FontMetrics m = text::GetMetrics(font);
    const std::u16string_view str = s ? std::u16string_view(s, count) : std::u16string_view();
    DcState& st = t.Dc->S;

    int width = 0;
    if (dx) {
        for (UINT i = 0; i < count; ++i)
            width += dx[i];
    } else {
        width = text::MeasureWidth(font, str);
    }
    if (st.TextAlign & TA_UPDATECP) {
        x = st.CurrentPos.x;
        y = st.CurrentPos.y;
    }
    const UINT horizontal = st.TextAlign & TA_CENTER;
    if (horizontal == TA_RIGHT)
        x -= width;
    else if (horizontal == TA_CENTER)
        x -= width / 2;
    if ((st.TextAlign & TA_BASELINE) == TA_BASELINE)
        y -= m.Ascent;
    else if (st.TextAlign & TA_BOTTOM)
        y -= m.Height;
    if (st.TextAlign & TA_UPDATECP) {
        if (horizontal == TA_LEFT)
            st.CurrentPos.x += width;
        else if (horizontal == TA_RIGHT)
            st.CurrentPos.x -= width;
    }

    const POINT origin = t.ToDevice(x, y);
    RECT limit = kNoLimit;
    if (rc) {
        const RECT dr = t.ToDevice(*rc);
        if (options & ETO_OPAQUE) FillDevice(t, dr, st.BkColor);
        if (options & ETO_CLIPPED) limit = dr;
    }
    if (st.BkMode == OPAQUE && !(options & ETO_OPAQUE) && count) {
        const RECT box = Intersect(RectOfSize(origin.x, origin.y, width, m.Height), limit);
        FillDevice(t, box, st.BkColor);
    }
    if (!dx) {
        DrawRun(t, font, str, origin.x, origin.y, st.TextColor, limit);
        return TRUE;
    }
    int pos = origin.x;
    for (std::size_t i = 0; i < str.size();) {
        std::size_t units = 1;
        platform::CodePointAt(str, i, units);
        DrawRun(t, font, str.substr(i, units), pos, origin.y, st.TextColor, limit);
        for (std::size_t k = 0; k < units && i + k < count; ++k)
            pos += dx[i + k];
        i += units;
    }
    return TRUE;
}

int DrawTextW(HDC hdc, LPCWSTR s, int count, RECT* rc, UINT format) {
    DrawTarget t;
    if (!rc || !ResolveTarget(hdc, t)) return 0;
    auto f = DcFont(*t.Dc);
    if (!f) return 0;
    const text::Font& font = EngineFont(*f);
    const std::u16string_view str = Units(s, count);
    const text::Layout layout =
        text::LayoutText(font, str, rc->left, rc->top, rc->right, rc->bottom, format);
    if (format & DT_CALCRECT) {
        *rc = RECT{layout.Left, layout.Top, layout.Right, layout.Bottom};
        return layout.Height;
    }
    const DcState& st = t.Dc->S;
    const text::FontMetrics m = text::GetMetrics(font);
    const RECT limit = (format & DT_NOCLIP) ? kNoLimit : t.ToDevice(*rc);
    for (const text::LayoutLine& line : layout.Lines) {
        const POINT o = t.ToDevice(line.X, line.Y);
        if (!(format & DT_PREFIXONLY)) {
            if (st.BkMode == OPAQUE && !line.Text.empty()) {
                const int w = text::MeasureWidth(font, line.Text);
                FillDevice(t, Intersect(RectOfSize(o.x, o.y, w, m.Height), limit), st.BkColor);
            }
            DrawRun(t, font, line.Text, o.x, o.y, st.TextColor, limit);
        }
        if (line.UnderlineFrom >= 0 && line.UnderlineTo > line.UnderlineFrom &&
            !(format & DT_HIDEPREFIX)) {
            const std::u16string_view lt(line.Text);
            const int from = text::MeasureWidth(
                font, lt.substr(0, static_cast<std::size_t>(line.UnderlineFrom)));
            const int to =
                text::MeasureWidth(font, lt.substr(0, static_cast<std::size_t>(line.UnderlineTo)));
            const int uy = o.y + m.Ascent + 1;
            FillDevice(t, Intersect(RECT{o.x + from, uy, o.x + to, uy + 1}, limit), st.TextColor);
        }
    }
    return layout.Height;
}

int DrawTextExW(HDC hdc, LPWSTR s, int count, RECT* rc, UINT format, DRAWTEXTPARAMS* params) {
    if (!rc) return 0;
    if (!params) return DrawTextW(hdc, s, count, rc, format);
    RECT r = *rc;
    r.left += params->iLeftMargin;
    r.right -= params->iRightMargin;
    const int h = DrawTextW(hdc, s, count, &r, format);
    if (format & DT_CALCRECT) {
        r.left -= params->iLeftMargin;
        r.right += params->iRightMargin;
        *rc = r;
    }
    params->uiLengthDrawn =
        static_cast<UINT>(count < 0 && s ? std::u16string_view(s).size()
                                         : static_cast<std::size_t>(std::max(count, 0)));
    return h;
}

int AddFontResourceW(LPCWSTR path) {
    return AddFontResourceExW(path, FR_PRIVATE, nullptr);
}

BOOL RemoveFontResourceW(LPCWSTR path) {
    return RemoveFontResourceExW(path, FR_PRIVATE, nullptr);
}

int AddFontResourceExW(LPCWSTR path, DWORD, LPVOID) {
    if (!path || !*path) return 0;
    if (!text::AddFontFile(platform::Utf16ToUtf8(path))) return 0;
    ++gFontGeneration;
    return 1;
}

BOOL RemoveFontResourceExW(LPCWSTR path, DWORD, LPVOID) {
    if (!path || !*path) return FALSE;
    if (!text::RemoveFontFile(platform::Utf16ToUtf8(path))) return FALSE;
    ++gFontGeneration;
    return TRUE;
}
