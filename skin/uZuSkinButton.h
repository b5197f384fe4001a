// TZuSkinImageButton: a push button that fires OnClick when the left button
// is released over it after a press on it. It shows its state (normal, hot
// under the pointer, pressed, disabled); for now it draws a framed
// rectangle with its picture's name instead of the picture strip.
#pragma once

#include "FrmWinControl.h"
#include "uZuSkinCtrls.h"

enum TZuButtonState { zbsNormal, zbsHot, zbsPressed, zbsDisabled };

class TZuSkinCustomButton : public TCustomControl {
public:
    explicit TZuSkinCustomButton(TComponent* owner);
    ~TZuSkinCustomButton() override;
    String ClassName() const override { return u"TZuSkinCustomButton"; }

    bool GetCaptionVisible() const { return FCaptionVisible; }
    void SetCaptionVisible(bool value);
    TPngPictures& Pictures() { return FPictures; }
    TPngPictures& Layers() { return FLayers; }
    bool GetLayerMode() const { return FLayerMode; }
    void SetLayerMode(bool value);
    TFont& HotFont() { return FHotFont; }
    TZuOffset GetDropdownMenuOffset() const { return FDropdownMenuOffset; }
    void SetDropdownMenuOffset(TZuOffset value) { FDropdownMenuOffset = value; }
    bool GetAutoInvalidate() const { return FAutoInvalidate; }
    void SetAutoInvalidate(bool value) { FAutoInvalidate = value; }
    bool GetDown() const { return FDown; }
    void SetDown(bool value);

    // What the button shows now.
    TZuButtonState State() const;
    void WndProc(TMessage& message) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    bool FCaptionVisible = false;
    TPngPictures FPictures;
    TPngPictures FLayers;
    bool FLayerMode = false;
    TFont FHotFont;
    TZuOffset FDropdownMenuOffset{-4, -4};
    bool FAutoInvalidate = false;
    bool FDown = false;
    bool FHot = false;
    bool FPressed = false;
};

class TZuSkinImageButton : public TZuSkinCustomButton {
public:
    explicit TZuSkinImageButton(TComponent* owner) : TZuSkinCustomButton(owner) {}
    String ClassName() const override { return u"TZuSkinImageButton"; }
};
