#include "uZuSkinButton.h"

TZuSkinCustomButton::TZuSkinCustomButton(TComponent* owner) : TCustomControl(owner) {
    FWidth = 75;
    FHeight = 25;
    auto repaint = [this](TPersistent*) { Invalidate(); };
    FPictures.PicturesChanged = repaint;
    FLayers.PicturesChanged = repaint;
    SetTabStop(true);
}

TZuSkinCustomButton::~TZuSkinCustomButton() {
    FPictures.PicturesChanged = nullptr;
    FLayers.PicturesChanged = nullptr;
}

void TZuSkinCustomButton::SetCaptionVisible(bool value) {
    if (FCaptionVisible == value) return;
    FCaptionVisible = value;
    Invalidate();
}

void TZuSkinCustomButton::SetLayerMode(bool value) {
    if (FLayerMode == value) return;
    FLayerMode = value;
    Invalidate();
}

void TZuSkinCustomButton::SetDown(bool value) {
    if (FDown == value) return;
    FDown = value;
    Invalidate();
}

TZuButtonState TZuSkinCustomButton::State() const {
    if (!GetEnabled()) return zbsDisabled;
    if (FDown || (FPressed && FHot)) return zbsPressed;
    if (FHot) return zbsHot;
    return zbsNormal;
}

void TZuSkinCustomButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) {
        FPressed = true;
        Invalidate();
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TZuSkinCustomButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft && FPressed) {
        FPressed = false;
        Invalidate();
    }
    TCustomControl::MouseUp(button, shift, x, y);
}

void TZuSkinCustomButton::MouseEnter() {
    FHot = true;
    Invalidate();
    TCustomControl::MouseEnter();
}

void TZuSkinCustomButton::MouseLeave() {
    FHot = false;
    Invalidate();
    TCustomControl::MouseLeave();
}

void TZuSkinCustomButton::WndProc(TMessage& message) {
    if (message.Msg == WM_MOUSEMOVE && FPressed) {
        // While held, the pressed look follows the pointer in and out.
        const int x = GetXParam(message.LParam), y = GetYParam(message.LParam);
        const bool inside = x >= 0 && y >= 0 && x < GetWidth() && y < GetHeight();
        if (inside != FHot) {
            FHot = inside;
            Invalidate();
        }
    }
    TCustomControl::WndProc(message);
}

void TZuSkinCustomButton::Paint() {
    TCanvas& canvas = Canvas();
    RECT rc = ClientRect();
    const TZuButtonState state = State();
    const TColor face = state == zbsPressed ? TColor(0xC8C8C8)
                        : state == zbsHot   ? TColor(0xF0F0F0)
                                            : TColor(0xE0E0E0);
    canvas.Brush().SetColor(face);
    canvas.FillRect(rc);
    canvas.Brush().SetColor(state == zbsDisabled ? clGray : clBlack);
    canvas.FrameRect(rc);
    if (state == zbsPressed) {
        RECT inner{rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1};
        canvas.FrameRect(inner);
    }
    const String& text = FCaptionVisible ? GetCaption() : FPictures.GetImage();
    if (!text.empty()) {
        canvas.Brush().SetStyle(bsClear);
        canvas.Font().SetColor(state == zbsDisabled ? TColor(0xB2B2B2) : clBlack);
        if (state == zbsPressed) OffsetRect(&rc, 1, 1);
        canvas.TextRect(rc, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}
