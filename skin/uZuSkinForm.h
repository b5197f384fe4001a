// TZuSkinForm: the component that gives its form the skin's look. It holds
// the background settings (a picture, tiled) and the main-menu settings.
// Until the skin's picture store exists, the form keeps its plain
// background and these settings are only kept.
#pragma once

#include "FrmGraphics.h"
#include "RtlComponent.h"
#include "uZuSkinCtrls.h"

enum TZuSkinStyle { ssColor, ssPicture };
enum TZuFillStyle { mfsStretch, mfsTile, mfsCenter, mfsNineCell };
enum TZuCaptionAlign { caLeft, caCenter, caRight };

struct TZuMenuPos {
    TZuCaptionAlign Align = caLeft;
    int XValue = 0;
    int YValue = 0;
    bool UseDefault = true;
};

class TZuSkinMainMenuSettings : public TPersistent {
public:
    String ClassName() const override { return u"TZuSkinMainMenuSettings"; }
    TFont Font;
    TZuMenuPos Pos;
    TPngPictures Pictures;
    TColor HotColor = clNone;
    TColor PressColor = clNone;
};

class TZuSkinForm : public TComponent {
public:
    explicit TZuSkinForm(TComponent* owner) : TComponent(owner) {}
    String ClassName() const override { return u"TZuSkinForm"; }

    TZuSkinStyle Style = ssColor;
    TZuResID CustomPicture;
    TZuFillStyle FillStyle = mfsStretch;
    TZuSkinMainMenuSettings& MainMenu() { return FMainMenu; }

private:
    TZuSkinMainMenuSettings FMainMenu;
};
