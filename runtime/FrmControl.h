// TControl: the base of everything shown in a window — bounds, parent,
// visibility, enabling, caption, font, colour, painting requests and mouse
// events. TGraphicControl: a control without a window of its own, painted by
// its parent onto the parent's surface (labels).
#pragma once

#include "FrmGraphics.h"
#include "FrmMessages.h"
#include "RtlComponent.h"

#include <functional>
#include <memory>

class TWinControl;

// What a control class is (fixed at creation).
enum TControlStyleItem : unsigned {
    csAcceptsControls = 1,
    csCaptureMouse = 2,
    csClickEvents = 4,
    csOpaque = 8,
    csParentBackground = 16,
    csSetCaption = 32,
    csDoubleClicks = 64,
};
using TControlStyle = unsigned;

// What a control is doing now.
enum TControlStateItem : unsigned {
    csLButtonDown = 1,
    csClicked = 2,
    csCreating = 4,
    csFocusing = 8,
    csCustomPaint = 16,
};
using TControlState = unsigned;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

using TMouseEvent =
    std::function<void(TPersistent* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TPersistent* sender, TShiftState shift, int x, int y)>;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;
    String ClassName() const override { return u"TControl"; }

    // --- parent and bounds (pixels, relative to the parent's client area) ---
    TWinControl* GetParent() const { return FParent; }
    virtual void SetParent(TWinControl* parent);
    int GetLeft() const { return FLeft; }
    int GetTop() const { return FTop; }
    int GetWidth() const { return FWidth; }
    int GetHeight() const { return FHeight; }
    void SetLeft(int left) { SetBounds(left, FTop, FWidth, FHeight); }
    void SetTop(int top) { SetBounds(FLeft, top, FWidth, FHeight); }
    void SetWidth(int width) { SetBounds(FLeft, FTop, width, FHeight); }
    void SetHeight(int height) { SetBounds(FLeft, FTop, FWidth, height); }
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return RECT{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    virtual RECT ClientRect() const { return RECT{0, 0, FWidth, FHeight}; }
    int ClientWidth() const;
    int ClientHeight() const;
    // Converts between this control's client coordinates and the screen's.
    POINT ClientToScreen(POINT pt) const;
    POINT ScreenToClient(POINT pt) const;
    // Client coordinates of the nearest window (the control's own window for
    // windowed controls, the parent's for graphic ones) for this control's origin.
    POINT OriginInWindow() const;

    // --- visibility and state -------------------------------------------------
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and so are all parents up to a window that is shown.
    virtual bool Showing() const;
    bool GetEnabled() const { return FEnabled; }
    virtual void SetEnabled(bool enabled);
    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle style) { FControlStyle = style; }
    TControlState ControlState() const { return FControlState; }

    // --- caption, font and colour -------------------------------------------
    const String& GetCaption() const { return FText; }
    void SetCaption(StringView text) { SetText(text); }
    const String& GetText() const { return FText; }
    void SetText(StringView text);
    TFont& Font() { return *FFont; }
    bool GetParentFont() const { return FParentFont; }
    void SetParentFont(bool parentFont);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor color);
    bool GetParentColor() const { return FParentColor; }
    void SetParentColor(bool parentColor);

    // --- painting ----------------------------------------------------------------
    // Asks for a repaint of the control's area at the next paint.
    virtual void Invalidate();
    // Paints what is invalid now.
    virtual void Update();
    void Repaint();

    // --- messages ----------------------------------------------------------------
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // Handles one message; overrides handle theirs and pass the rest on.
    virtual void WndProc(TMessage& message);
    // What happens to a message nobody handled.
    virtual void DefaultHandler(TMessage& message);

    // --- events ------------------------------------------------------------------
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // Sends `message` to every child; the base has none.
    virtual void Broadcast(TMessage& message) {}

protected:
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseEnter();
    virtual void MouseLeave();
    // The parent changed its font or colour and this control follows it.
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();
    virtual void FontChanged();
    // Called after the bounds changed.
    virtual void Resize() {}

    void IncludeControlState(TControlState bits) { FControlState |= bits; }
    void ExcludeControlState(TControlState bits) { FControlState &= ~bits; }

    TControlStyle FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    TControlState FControlState = 0;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;

private:
    friend class TWinControl; // keeps FParent in step with its list of children
    void HandleMouseMessage(TMessage& message);
    void FontObjectChanged();

    TWinControl* FParent = nullptr;
    bool FVisible = true;
    bool FEnabled = true;
    String FText;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    bool FSettingParentFont = false;
    TColor FColor = clWindow;
    bool FParentColor = true;
};

// A control without a window: its parent paints it by calling Paint with the
// canvas set on the parent's device context, origin at the control's corner.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;
    String ClassName() const override { return u"TGraphicControl"; }
    void WndProc(TMessage& message) override;
    TCanvas& Canvas() { return FCanvas; }

protected:
    virtual void Paint() {}

private:
    TCanvas FCanvas;
};
