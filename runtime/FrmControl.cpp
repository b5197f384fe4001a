#include "FrmControl.h"

#include "FrmWinControl.h"
#include "RtlException.h"

TShiftState KeysToShiftState(WPARAM keys) {
    TShiftState shift = 0;
    if (keys & MK_SHIFT) shift |= ssShift;
    if (keys & MK_CONTROL) shift |= ssCtrl;
    if (keys & MK_LBUTTON) shift |= ssLeft;
    if (keys & MK_RBUTTON) shift |= ssRight;
    if (keys & MK_MBUTTON) shift |= ssMiddle;
    return shift;
}

TControl::TControl(TComponent* owner) : TComponent(owner), FFont(std::make_unique<TFont>()) {
    FFont->OnChange = [this](TGraphicsObject*) { FontObjectChanged(); };
}

TControl::~TControl() {
    FFont->OnChange = nullptr;
    if (FParent) FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
    if (FParent == parent) return;
    if (parent == this) throw EInvalidOperation(u"A control cannot have itself as its parent");
    if (FParent) FParent->RemoveControl(this); // clears FParent
    if (parent) {
        parent->InsertControl(this); // sets FParent
        if (FParentFont) ParentFontChanged();
        if (FParentColor) ParentColorChanged();
    }
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
    Invalidate(); // the old area
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    Invalidate(); // the new one
    Resize();
}

int TControl::ClientWidth() const {
    const RECT rc = ClientRect();
    return rc.right - rc.left;
}

int TControl::ClientHeight() const {
    const RECT rc = ClientRect();
    return rc.bottom - rc.top;
}

POINT TControl::OriginInWindow() const {
    return POINT{FLeft, FTop};
}

POINT TControl::ClientToScreen(POINT pt) const {
    if (!FParent) return pt;
    const POINT origin = OriginInWindow();
    POINT p{pt.x + origin.x, pt.y + origin.y};
    if (FParent->HandleAllocated()) ::ClientToScreen(FParent->Handle(), &p);
    return p;
}

POINT TControl::ScreenToClient(POINT pt) const {
    if (!FParent) return pt;
    POINT p = pt;
    if (FParent->HandleAllocated()) ::ScreenToClient(FParent->Handle(), &p);
    const POINT origin = OriginInWindow();
    return POINT{p.x - origin.x, p.y - origin.y};
}

void TControl::SetVisible(bool visible) {
    if (FVisible == visible) return;
    FVisible = visible;
    Perform(CM_VISIBLECHANGED, visible ? 1 : 0, 0);
    if (FParent) FParent->ControlVisibilityChanged(this);
}

bool TControl::Showing() const {
    return FVisible && FParent && FParent->Showing();
}

void TControl::SetEnabled(bool enabled) {
    if (FEnabled == enabled) return;
    FEnabled = enabled;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetText(StringView text) {
    if (FText == text) return;
    FText = String(text);
    Perform(CM_TEXTCHANGED);
}

void TControl::SetParentFont(bool parentFont) {
    if (FParentFont == parentFont) return;
    FParentFont = parentFont;
    if (parentFont && FParent) ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!FParentFont || !FParent) return;
    FSettingParentFont = true;
    FFont->Assign(&FParent->Font());
    FSettingParentFont = false;
}

void TControl::FontObjectChanged() {
    // A font set on the control itself ends following the parent's.
    if (!FSettingParentFont) FParentFont = false;
    FontChanged();
}

void TControl::FontChanged() {
    Perform(CM_FONTCHANGED);
    Invalidate();
}

void TControl::SetColor(TColor color) {
    if (FColor == color) return;
    FColor = color;
    FParentColor = false;
    Perform(CM_COLORCHANGED);
    Invalidate();
}

void TControl::SetParentColor(bool parentColor) {
    if (FParentColor == parentColor) return;
    FParentColor = parentColor;
    if (parentColor && FParent) ParentColorChanged();
}

void TControl::ParentColorChanged() {
    if (!FParentColor || !FParent) return;
    if (FColor != FParent->GetColor()) {
        FColor = FParent->GetColor();
        Invalidate();
    }
}

void TControl::Invalidate() {
    if (!FParent || !FVisible || !FParent->HandleAllocated()) return;
    const RECT rc = BoundsRect();
    const POINT origin = FParent->OriginInWindowOfClient();
    RECT r{rc.left + origin.x, rc.top + origin.y, rc.right + origin.x, rc.bottom + origin.y};
    InvalidateRect(FParent->Handle(), &r, (FControlStyle & csOpaque) ? FALSE : TRUE);
}

void TControl::Update() {
    if (FParent) FParent->Update();
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage message{msg, wParam, lParam, 0};
    WndProc(message);
    return message.Result;
}

void TControl::DefaultHandler(TMessage&) {}

void TControl::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE:
        HandleMouseMessage(message);
        return;
    case CM_MOUSEENTER:
        MouseEnter();
        return;
    case CM_MOUSELEAVE:
        MouseLeave();
        return;
    case CM_PARENTFONTCHANGED:
        ParentFontChanged();
        return;
    case CM_PARENTCOLORCHANGED:
        ParentColorChanged();
        return;
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
        Invalidate();
        return;
    default:
        DefaultHandler(message);
    }
}

void TControl::HandleMouseMessage(TMessage& message) {
    const int x = GetXParam(message.LParam), y = GetYParam(message.LParam);
    const TShiftState shift = KeysToShiftState(message.WParam);
    switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (FControlStyle & csClickEvents) IncludeControlState(csClicked);
        IncludeControlState(csLButtonDown);
        if (message.Msg == WM_LBUTTONDBLCLK) {
            DblClick();
            MouseDown(mbLeft, shift | ssDouble, x, y);
        } else {
            MouseDown(mbLeft, shift, x, y);
        }
        break;
    case WM_LBUTTONUP: {
        const bool clicked = (FControlState & csClicked) != 0;
        ExcludeControlState(csLButtonDown | csClicked);
        MouseUp(mbLeft, shift, x, y);
        // A click is a press and a release over the same control.
        if (clicked && x >= 0 && y >= 0 && x < FWidth && y < FHeight) Click();
        break;
    }
    case WM_RBUTTONDOWN:
        MouseDown(mbRight, shift, x, y);
        break;
    case WM_RBUTTONUP:
        MouseUp(mbRight, shift, x, y);
        break;
    case WM_MBUTTONDOWN:
        MouseDown(mbMiddle, shift, x, y);
        break;
    case WM_MBUTTONUP:
        MouseUp(mbMiddle, shift, x, y);
        break;
    case WM_MOUSEMOVE:
        MouseMove(shift, x, y);
        break;
    }
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::MouseLeave() {
    if (OnMouseLeave) OnMouseLeave(this);
}

// --- TGraphicControl ---------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WndProc(TMessage& message) {
    if (message.Msg == WM_PAINT) {
        // The parent passes its device context, already moved and clipped to us.
        FCanvas.SetHandle(reinterpret_cast<HDC>(message.WParam));
        FCanvas.Font().Assign(&Font());
        Paint();
        FCanvas.SetHandle(nullptr);
        return;
    }
    TControl::WndProc(message);
}
