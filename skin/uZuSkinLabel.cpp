#include "uZuSkinLabel.h"

TZuSkinCustomLabel::TZuSkinCustomLabel(TComponent* owner) : TZuSkinCustomPanel(owner) {}

void TZuSkinCustomLabel::SetAlignmentHorizontal(TAlignment value) {
    if (FAlignmentHorizontal == value) return;
    FAlignmentHorizontal = value;
    Invalidate();
}

void TZuSkinCustomLabel::Paint() {
    if (GetCaption().empty()) return;
    TZuSkinCustomPanel::Paint();
    TCanvas& canvas = Canvas();
    RECT rc = ClientRect();
    canvas.Brush().SetStyle(bsClear);
    UINT flags = DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
    flags |= FAlignmentHorizontal == taRightJustify ? DT_RIGHT
             : FAlignmentHorizontal == taCenter     ? DT_CENTER
                                                    : DT_LEFT;
    canvas.TextRect(rc, GetCaption(), flags);
}
