// TLabel: a line (or block) of text drawn by its parent. Labels are
// transparent by default so that whatever the parent paints shows through.
#pragma once

#include "FrmControl.h"

enum TTextLayout { tlTop, tlCenter, tlBottom };

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);
    String ClassName() const override { return u"TLabel"; }

    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);
    TTextLayout GetLayout() const { return FLayout; }
    void SetLayout(TTextLayout layout);
    // With AutoSize the label takes the size of its text whenever the text or
    // the font changes (keeping its right edge when right-justified).
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool autoSize);
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool wordWrap);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool transparent);
    // "&" marks the next character as an accelerator (underlined); "&&" is "&".
    bool GetShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool show);

    void WndProc(TMessage& message) override;

protected:
    void Paint() override;
    void AdjustBounds();
    UINT TextFlags() const;

private:
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FAutoSize = true;
    bool FWordWrap = false;
    bool FTransparent = true;
    bool FShowAccelChar = true;
};
