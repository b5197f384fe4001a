// TZuSkinLabel: a panel that shows one caption, aligned horizontally, with an
// optional glow. Without a caption it draws nothing at all.
#pragma once

#include "uZuSkinCtrls.h"
#include "uZuSkinPanel.h"

class TZuSkinCustomLabel : public TZuSkinCustomPanel {
public:
    explicit TZuSkinCustomLabel(TComponent* owner);
    String ClassName() const override { return u"TZuSkinCustomLabel"; }

    TAlignment GetAlignmentHorizontal() const { return FAlignmentHorizontal; }
    void SetAlignmentHorizontal(TAlignment value);
    TZuLightClass& Light() { return FLight; }
    bool GetAutoInvalidate() const { return FAutoInvalidate; }
    void SetAutoInvalidate(bool value) { FAutoInvalidate = value; }

protected:
    void Paint() override;

private:
    TAlignment FAlignmentHorizontal = taLeftJustify;
    TZuLightClass FLight;
    bool FAutoInvalidate = false;
};

class TZuSkinLabel : public TZuSkinCustomLabel {
public:
    explicit TZuSkinLabel(TComponent* owner) : TZuSkinCustomLabel(owner) {}
    String ClassName() const override { return u"TZuSkinLabel"; }
};
