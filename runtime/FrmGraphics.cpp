#include "FrmGraphics.h"

#include <algorithm>
#include <cmath>

COLORREF ColorToRGB(TColor color) {
    if (color < 0) return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color) & 0xFFFFFF;
}

void TGraphicsObject::Changed() {
    if (OnChange) OnChange(this);
}

// --- TFont -----------------------------------------------------------------

TFont::TFont() = default;

TFont::~TFont() {
    FreeHandle();
}

void TFont::FreeHandle() {
    if (FHandle) {
        DeleteObject(FHandle);
        FHandle = nullptr;
    }
}

void TFont::Assign(const TPersistent* source) {
    if (auto* font = dynamic_cast<const TFont*>(source)) {
        if (font == this) return;
        FreeHandle();
        FName = font->FName;
        FHeight = font->FHeight;
        FCharset = font->FCharset;
        FColor = font->FColor;
        FStyle = font->FStyle;
        FQuality = font->FQuality;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

void TFont::SetName(StringView name) {
    if (FName == name) return;
    FName = String(name);
    FreeHandle();
    Changed();
}

void TFont::SetHeight(int height) {
    if (FHeight == height) return;
    FHeight = height;
    FreeHandle();
    Changed();
}

int TFont::GetSize() const {
    return static_cast<int>(std::lround(-FHeight * 72.0 / kScreenPixelsPerInch));
}

void TFont::SetSize(int points) {
    SetHeight(
        -static_cast<int>(std::lround(points * static_cast<double>(kScreenPixelsPerInch) / 72.0)));
}

void TFont::SetCharset(TFontCharset charset) {
    if (FCharset == charset) return;
    FCharset = charset;
    FreeHandle();
    Changed();
}

void TFont::SetColor(TColor color) {
    if (FColor == color) return;
    FColor = color;
    Changed(); // the colour is not part of the platform font
}

void TFont::SetStyle(TFontStyles style) {
    if (FStyle == style) return;
    FStyle = style;
    FreeHandle();
    Changed();
}

void TFont::SetQuality(std::uint8_t quality) {
    if (FQuality == quality) return;
    FQuality = quality;
    FreeHandle();
    Changed();
}

HFONT TFont::Handle() {
    if (!FHandle) {
        LOGFONTW lf{};
        lf.lfHeight = FHeight;
        lf.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (FStyle & fsItalic) ? 1 : 0;
        lf.lfUnderline = (FStyle & fsUnderline) ? 1 : 0;
        lf.lfStrikeOut = (FStyle & fsStrikeOut) ? 1 : 0;
        lf.lfCharSet = FCharset;
        lf.lfQuality = FQuality;
        const std::size_t n = std::min<std::size_t>(FName.size(), LF_FACESIZE - 1);
        std::copy_n(FName.begin(), n, lf.lfFaceName);
        lf.lfFaceName[n] = 0;
        FHandle = CreateFontIndirectW(&lf);
    }
    return FHandle;
}

// --- TBrush, TPen ------------------------------------------------------------

TBrush::~TBrush() {
    FreeHandle();
}

void TBrush::FreeHandle() {
    if (FHandle) {
        DeleteObject(FHandle);
        FHandle = nullptr;
    }
}

void TBrush::Assign(const TPersistent* source) {
    if (auto* brush = dynamic_cast<const TBrush*>(source)) {
        if (brush == this) return;
        FreeHandle();
        FColor = brush->FColor;
        FStyle = brush->FStyle;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

void TBrush::SetColor(TColor color) {
    if (FColor == color && FStyle == bsSolid) return;
    FColor = color;
    FStyle = bsSolid; // choosing a colour makes the brush paint again
    FreeHandle();
    Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
    if (FStyle == style) return;
    FStyle = style;
    FreeHandle();
    Changed();
}

HBRUSH TBrush::Handle() {
    if (!FHandle) {
        FHandle = FStyle == bsClear ? static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))
                                    : CreateSolidBrush(ColorToRGB(FColor));
    }
    return FHandle;
}

TPen::~TPen() {
    FreeHandle();
}

void TPen::FreeHandle() {
    if (FHandle) {
        DeleteObject(FHandle);
        FHandle = nullptr;
    }
}

void TPen::Assign(const TPersistent* source) {
    if (auto* pen = dynamic_cast<const TPen*>(source)) {
        if (pen == this) return;
        FreeHandle();
        FColor = pen->FColor;
        FWidth = pen->FWidth;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

void TPen::SetColor(TColor color) {
    if (FColor == color) return;
    FColor = color;
    FreeHandle();
    Changed();
}

void TPen::SetWidth(int width) {
    if (FWidth == width) return;
    FWidth = width;
    FreeHandle();
    Changed();
}

HPEN TPen::Handle() {
    if (!FHandle) FHandle = CreatePen(PS_SOLID, FWidth, ColorToRGB(FColor));
    return FHandle;
}

// --- TCanvas -----------------------------------------------------------------

TCanvas::TCanvas() = default;

TCanvas::~TCanvas() {
    SetHandle(nullptr);
}

void TCanvas::SetHandle(HDC dc) {
    FHandle = dc;
}

void TCanvas::Prepare() {
    SelectObject(FHandle, FFont.Handle());
    SelectObject(FHandle, FPen.Handle());
    SelectObject(FHandle, FBrush.Handle());
    SetTextColor(FHandle, ColorToRGB(FFont.GetColor()));
    if (FBrush.GetStyle() == bsClear) {
        SetBkMode(FHandle, TRANSPARENT);
    } else {
        SetBkMode(FHandle, OPAQUE);
        SetBkColor(FHandle, ColorToRGB(FBrush.GetColor()));
    }
}

void TCanvas::FillRect(const RECT& rc) {
    if (!FHandle || FBrush.GetStyle() == bsClear) return;
    ::FillRect(FHandle, &rc, FBrush.Handle());
}

void TCanvas::FrameRect(const RECT& rc) {
    if (!FHandle || FBrush.GetStyle() == bsClear) return;
    ::FrameRect(FHandle, &rc, FBrush.Handle());
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
    if (!FHandle) return;
    Prepare();
    ::Rectangle(FHandle, left, top, right, bottom);
}

void TCanvas::MoveTo(int x, int y) {
    if (FHandle) MoveToEx(FHandle, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
    if (!FHandle) return;
    Prepare();
    ::LineTo(FHandle, x, y);
}

void TCanvas::TextOut(int x, int y, StringView text) {
    if (!FHandle) return;
    Prepare();
    ExtTextOutW(FHandle, x, y, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
}

int TCanvas::TextRect(RECT& rc, StringView text, UINT format) {
    if (!FHandle) return 0;
    Prepare();
    return DrawTextW(FHandle, text.data(), static_cast<int>(text.size()), &rc, format);
}

SIZE TCanvas::TextExtent(StringView text) {
    SIZE size{0, 0};
    if (!FHandle) return size;
    SelectObject(FHandle, FFont.Handle());
    GetTextExtentPoint32W(FHandle, text.data(), static_cast<int>(text.size()), &size);
    return size;
}
