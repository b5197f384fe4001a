#include "uZuSkinPanel.h"

TZuSkinCustomPanel::TZuSkinCustomPanel(TComponent* owner) : TCustomControl(owner) {
    // A container that is not opaque: the parent's picture shows through.
    SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csDoubleClicks |
                    csParentBackground);
    FWidth = 185;
    FHeight = 114;
    SetColor(clWhite);
}

void TZuSkinCustomPanel::SetAlpha(std::uint8_t value) {
    if (FAlpha == value) return;
    FAlpha = value;
    Invalidate();
}

void TZuSkinCustomPanel::SetBorderSides(TZuSides value) {
    if (FBorderSides == value) return;
    FBorderSides = value;
    Invalidate();
}

void TZuSkinCustomPanel::SetBorderColor(TColor value) {
    if (FBorderColor == value) return;
    FBorderColor = value;
    Invalidate();
}

void TZuSkinCustomPanel::Paint() {
    TCanvas& canvas = Canvas();
    const RECT rc = ClientRect();
    if (FAlpha != 0) {
        // Without the skin's blending a partial fill is drawn solid.
        canvas.Brush().SetColor(GetColor());
        canvas.FillRect(rc);
    }
    if (FBorderSides) {
        canvas.Pen().SetColor(FBorderColor);
        const int r = rc.right - 1, b = rc.bottom - 1;
        if (FBorderSides & sdLeft) {
            canvas.MoveTo(0, 0);
            canvas.LineTo(0, b + 1);
        }
        if (FBorderSides & sdTop) {
            canvas.MoveTo(0, 0);
            canvas.LineTo(r + 1, 0);
        }
        if (FBorderSides & sdRight) {
            canvas.MoveTo(r, 0);
            canvas.LineTo(r, b + 1);
        }
        if (FBorderSides & sdBottom) {
            canvas.MoveTo(0, b);
            canvas.LineTo(r + 1, b);
        }
    }
}
