// Value types shared by the skin controls: the picture-strip reference with
// its frame indexes, offsets and the label's glow settings.
//
// Until the skin's picture store and buffered rendering exist, the controls
// in this folder draw themselves plainly with these settings.
#pragma once

#include "FrmGraphics.h"
#include "RtlPersistent.h"

// The name of a skin picture.
using TZuResID = String;

// A reference to a strip of `Count` equal frames side by side, and which
// frame shows in each state.
class TPngPictures : public TPersistent {
public:
    String ClassName() const override { return u"TPngPictures"; }
    void Assign(const TPersistent* source) override;

    bool GetActive() const { return FActive; }
    void SetActive(bool value);
    const TZuResID& GetImage() const { return FImage; }
    void SetImage(StringView value);
    int GetCount() const { return FCount; }
    void SetCount(int value);
    int GetNormal() const { return FNormal; }
    void SetNormal(int value);
    int GetHot() const { return FHot; }
    void SetHot(int value);
    int GetPressed() const { return FPressed; }
    void SetPressed(int value);
    int GetDisable() const { return FDisable; }
    void SetDisable(int value);
    bool GetMultiLineMode() const { return FMultiLineMode; }
    void SetMultiLineMode(bool value);

    TNotifyEvent PicturesChanged;

private:
    void Changed();
    bool FActive = false;
    TZuResID FImage;
    int FCount = 3, FNormal = 0, FHot = 1, FPressed = 2, FDisable = 0;
    bool FMultiLineMode = false;
};

// An (x, y) shift used by buttons and menus.
struct TZuOffset {
    int X = 0;
    int Y = 0;
};

// Glow behind a skin label's text.
class TZuLightClass : public TPersistent {
public:
    String ClassName() const override { return u"TZuLightClass"; }
    bool Active = true;
    TColor Color = 0xFFFFFE;
    int BlurRadius = 1;
};
