// Drawing resources of the window framework: colours, fonts, brushes, pens
// and the canvas that draws with them on a device context.
#pragma once

#include "FrmMessages.h"
#include "RtlPersistent.h"
#include "RtlString.h"

#include <cstdint>
#include <functional>

// 0x00BBGGRR, or a system colour: the top byte 0xFF and the system colour
// index in the low byte.
using TColor = std::int32_t;
inline constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000);
inline constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000,
                        clNavy = 0x800000, clGray = 0x808080, clSilver = 0xC0C0C0, clRed = 0x0000FF,
                        clLime = 0x00FF00, clYellow = 0x00FFFF, clBlue = 0xFF0000,
                        clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;
inline constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;
inline constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
inline constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
inline constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
inline constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
inline constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
inline constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
inline constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
inline constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
inline constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
inline constexpr TColor clMenu = clSystemColor | COLOR_MENU;
inline constexpr TColor clMenuText = clSystemColor | COLOR_MENUTEXT;

// The plain RGB value of a colour (system colours looked up).
COLORREF ColorToRGB(TColor color);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;
using TFontCharset = std::uint8_t;

// The screen's resolution the framework designs for.
inline constexpr int kScreenPixelsPerInch = 96;

class TGraphicsObject : public TPersistent {
public:
    std::function<void(TGraphicsObject*)> OnChange;

protected:
    void Changed();
};

// A logical font. The platform font is made on first use of Handle() and
// remade after a change.
class TFont : public TGraphicsObject {
public:
    TFont();
    ~TFont() override;
    String ClassName() const override { return u"TFont"; }
    void Assign(const TPersistent* source) override;

    const String& GetName() const { return FName; }
    void SetName(StringView name);
    // Negative: the em size in pixels; positive: the cell height.
    int GetHeight() const { return FHeight; }
    void SetHeight(int height);
    // Points at the screen's resolution (from and to Height).
    int GetSize() const;
    void SetSize(int points);
    TFontCharset GetCharset() const { return FCharset; }
    void SetCharset(TFontCharset charset);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor color);
    TFontStyles GetStyle() const { return FStyle; }
    void SetStyle(TFontStyles style);
    std::uint8_t GetQuality() const { return FQuality; }
    void SetQuality(std::uint8_t quality);

    HFONT Handle();

private:
    void FreeHandle();
    String FName = u"Tahoma";
    int FHeight = -11;
    TFontCharset FCharset = DEFAULT_CHARSET;
    TColor FColor = clWindowText;
    TFontStyles FStyle = 0;
    std::uint8_t FQuality = DEFAULT_QUALITY;
    HFONT FHandle = nullptr;
};

enum TBrushStyle { bsSolid, bsClear };

class TBrush : public TGraphicsObject {
public:
    ~TBrush() override;
    String ClassName() const override { return u"TBrush"; }
    void Assign(const TPersistent* source) override;
    TColor GetColor() const { return FColor; }
    void SetColor(TColor color);
    TBrushStyle GetStyle() const { return FStyle; }
    void SetStyle(TBrushStyle style);
    HBRUSH Handle();

private:
    void FreeHandle();
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    HBRUSH FHandle = nullptr;
};

class TPen : public TGraphicsObject {
public:
    ~TPen() override;
    String ClassName() const override { return u"TPen"; }
    void Assign(const TPersistent* source) override;
    TColor GetColor() const { return FColor; }
    void SetColor(TColor color);
    int GetWidth() const { return FWidth; }
    void SetWidth(int width);
    HPEN Handle();

private:
    void FreeHandle();
    TColor FColor = clBlack;
    int FWidth = 1;
    HPEN FHandle = nullptr;
};

// Draws on a device context with its font, brush and pen. The context
// belongs to whoever set it (a paint handler, a memory bitmap); the canvas
// only selects its objects into it while drawing.
class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;
    String ClassName() const override { return u"TCanvas"; }

    HDC GetHandle() const { return FHandle; }
    void SetHandle(HDC dc);

    TFont& Font() { return FFont; }
    TBrush& Brush() { return FBrush; }
    TPen& Pen() { return FPen; }

    void FillRect(const RECT& rc);
    void FrameRect(const RECT& rc);
    void Rectangle(int left, int top, int right, int bottom);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void TextOut(int x, int y, StringView text);
    // DrawTextW within `rc` with the given DT_* flags; with DT_CALCRECT `rc`
    // receives the measured rectangle. Returns the text height.
    int TextRect(RECT& rc, StringView text, UINT format);
    SIZE TextExtent(StringView text);
    int TextWidth(StringView text) { return TextExtent(text).cx; }
    int TextHeight(StringView text) { return TextExtent(text).cy; }

private:
    void Prepare();
    HDC FHandle = nullptr;
    TFont FFont;
    TBrush FBrush;
    TPen FPen;
};
