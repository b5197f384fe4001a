// TZuSkinPanel: a container of other controls that shows what lies behind
// it. Alpha is the opacity of its colour fill (0: none) and BorderSides the
// sides that get a border line. Hiding it hides its children.
#pragma once

#include "FrmWinControl.h"

enum TZuSide : unsigned { sdLeft = 1, sdTop = 2, sdRight = 4, sdBottom = 8 };
using TZuSides = unsigned;

class TZuSkinCustomPanel : public TCustomControl {
public:
    explicit TZuSkinCustomPanel(TComponent* owner);
    String ClassName() const override { return u"TZuSkinCustomPanel"; }

    std::uint8_t GetAlpha() const { return FAlpha; }
    void SetAlpha(std::uint8_t value);
    TZuSides GetBorderSides() const { return FBorderSides; }
    void SetBorderSides(TZuSides value);
    TColor GetBorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor value);

protected:
    void Paint() override;

private:
    std::uint8_t FAlpha = 192;
    TZuSides FBorderSides = sdLeft | sdTop | sdRight | sdBottom;
    TColor FBorderColor = clGray;
};

class TZuSkinPanel : public TZuSkinCustomPanel {
public:
    explicit TZuSkinPanel(TComponent* owner) : TZuSkinCustomPanel(owner) {}
    String ClassName() const override { return u"TZuSkinPanel"; }
};
