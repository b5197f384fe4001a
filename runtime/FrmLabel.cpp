#include "FrmLabel.h"

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    FWidth = 65;
    FHeight = 17;
    FControlStyle &= ~csCaptureMouse;
}

void TLabel::SetAlignment(TAlignment alignment) {
    if (FAlignment == alignment) return;
    FAlignment = alignment;
    Invalidate();
}

void TLabel::SetLayout(TTextLayout layout) {
    if (FLayout == layout) return;
    FLayout = layout;
    Invalidate();
}

void TLabel::SetAutoSize(bool autoSize) {
    if (FAutoSize == autoSize) return;
    FAutoSize = autoSize;
    AdjustBounds();
}

void TLabel::SetWordWrap(bool wordWrap) {
    if (FWordWrap == wordWrap) return;
    FWordWrap = wordWrap;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetTransparent(bool transparent) {
    if (FTransparent == transparent) return;
    FTransparent = transparent;
    Invalidate();
}

void TLabel::SetShowAccelChar(bool show) {
    if (FShowAccelChar == show) return;
    FShowAccelChar = show;
    AdjustBounds();
    Invalidate();
}

UINT TLabel::TextFlags() const {
    UINT flags = DT_EXPANDTABS;
    if (FAlignment == taRightJustify)
        flags |= DT_RIGHT;
    else if (FAlignment == taCenter)
        flags |= DT_CENTER;
    else
        flags |= DT_LEFT;
    if (FWordWrap) flags |= DT_WORDBREAK;
    if (!FShowAccelChar) flags |= DT_NOPREFIX;
    return flags;
}

void TLabel::AdjustBounds() {
    if (!FAutoSize || (ComponentState().Contains(csLoading))) return;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return;
    HGDIOBJ old = SelectObject(dc, Font().Handle());
    RECT rc{0, 0, FWordWrap ? FWidth : 0, 0};
    String text = GetCaption();
    // An empty label still has the height of one line.
    if (text.empty() || (FShowAccelChar && text.size() == 1 && text[0] == u'&'))
        text.push_back(u' ');
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rc, TextFlags() | DT_CALCRECT);
    SelectObject(dc, old);
    DeleteDC(dc);
    int left = FLeft;
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    if (FAlignment == taRightJustify) left = FLeft + FWidth - width;
    SetBounds(left, FTop, width, height);
}

void TLabel::Paint() {
    TCanvas& canvas = Canvas();
    RECT rc = ClientRect();
    if (!FTransparent) {
        canvas.Brush().SetColor(GetColor());
        canvas.FillRect(rc);
    }
    canvas.Brush().SetStyle(bsClear);
    canvas.Font().SetColor(GetEnabled() ? Font().GetColor() : clGrayText);
    UINT flags = TextFlags();
    if (FLayout != tlTop) {
        RECT calc = rc;
        canvas.TextRect(calc, GetCaption(), flags | DT_CALCRECT);
        const int textHeight = calc.bottom - calc.top;
        const int free = (rc.bottom - rc.top) - textHeight;
        rc.top += FLayout == tlCenter ? free / 2 : free;
    }
    canvas.TextRect(rc, GetCaption(), flags);
}

void TLabel::WndProc(TMessage& message) {
    TGraphicControl::WndProc(message);
    switch (message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        AdjustBounds();
        Invalidate();
        break;
    default:
        break;
    }
}
