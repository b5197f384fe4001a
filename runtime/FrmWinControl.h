// TWinControl: a control with a window of its own. It owns the window handle
// (made on demand), parents other controls, paints its graphic children onto
// its surface and routes pointer input to them. TCustomControl adds a canvas
// and a Paint method.
#pragma once

#include "FrmControl.h"

#include <vector>

// The window parameters a control asks for when its handle is made.
struct TCreateParams {
    String Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    UINT WindowClassStyle = CS_DBLCLKS;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;
    String ClassName() const override { return u"TWinControl"; }

    // --- the window ---------------------------------------------------------
    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    // The window if it exists, without making it.
    HWND HandleIfAllocated() const { return FHandle; }
    void HandleNeeded() { Handle(); }
    // Destroys the window (and with it the windows of the children); it is
    // made again on the next use of Handle().
    void DestroyHandle();
    // The control of a window made by the framework, or null.
    static TWinControl* FindControl(HWND hwnd);

    // --- children -------------------------------------------------------------
    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int index) const { return FControls.at(static_cast<std::size_t>(index)); }
    // The topmost visible, enabled child (or any visible one when
    // `allowDisabled`) under a point of the client area, or null.
    TControl* ControlAtPos(POINT pt, bool allowDisabled = false,
                           bool allowWinControls = false) const;
    bool ContainsControl(const TControl* control) const;
    void Broadcast(TMessage& message) override;

    // --- properties -----------------------------------------------------------
    int GetTabOrder() const { return FTabOrder; }
    void SetTabOrder(int order) { FTabOrder = order; }
    bool GetTabStop() const { return FTabStop; }
    void SetTabStop(bool tabStop) { FTabStop = tabStop; }
    bool Showing() const override;
    void SetBounds(int left, int top, int width, int height) override;
    RECT ClientRect() const override;
    void SetEnabled(bool enabled) override;
    void Invalidate() override;
    void Update() override;
    // Offset of the client area inside the window's client coordinates (0, 0
    // for plain controls).
    virtual POINT OriginInWindowOfClient() const { return POINT{0, 0}; }

    void WndProc(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;

    // Paints the parent's background and graphic content behind this control
    // into `dc` (origin at this control's corner), so transparent children
    // show what lies behind them.
    void PaintParentBackground(HDC dc);

    // For TControl: keeps the list of children and their windows in step.
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void ControlVisibilityChanged(TControl* control);

protected:
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& params);
    // Called after the window exists (children's windows are made here).
    virtual void CreateChildHandles();
    // Paints the control itself (TCustomControl calls Paint), then its graphic
    // children are painted over it.
    virtual void PaintWindow(HDC dc) {}
    void PaintControls(HDC dc, const RECT* clip);
    void PaintHandler(TMessage& message);
    // Fills the background with the control's colour unless it is transparent.
    virtual void EraseBackground(HDC dc);
    void UpdateBounds();
    void SetFocusedMouseControl(TControl* control);

    // The procedure messages go to when the framework does not handle them.
    WNDPROC FDefWndProc = DefWindowProcW;

private:
    friend LRESULT FrameworkWindowProc(HWND, UINT, WPARAM, LPARAM);
    void RouteMouse(TMessage& message);
    void TrackPointer(TMessage& message);

    HWND FHandle = nullptr;
    std::vector<TControl*> FControls; // creation (stacking) order, bottom first
    int FTabOrder = -1;
    bool FTabStop = false;
    bool FPointerInside = false;
    bool FDestroyingHandle = false;
    TControl* FCaptureControl = nullptr; // graphic child that took a button press
    TControl* FHoverControl = nullptr;   // graphic child under the pointer
};

// A windowed control that paints itself through a canvas.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;
    String ClassName() const override { return u"TCustomControl"; }
    TCanvas& Canvas() { return FCanvas; }

protected:
    void PaintWindow(HDC dc) override;
    virtual void Paint() {}

private:
    TCanvas FCanvas;
};
