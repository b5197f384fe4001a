#include "FrmForm.h"

#include "FrmApplication.h"

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
    SetVisible(false); // a form shows when asked to
    SetColor(clBtnFace);
    FControlStyle |= csAcceptsControls;
    FWidth = 320;
    FHeight = 240;
}

TCustomForm::~TCustomForm() {
    if (OnDestroy) {
        try {
            OnDestroy(this);
        } catch (...) {
            HandleFrameworkException();
        }
    }
    // The owned components (the form's controls) must see the form whole
    // while they leave it.
    Destroying();
    DestroyComponents();
    if (Application() && Application()->MainForm() == this) Application()->ClearMainForm();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle style) {
    if (FBorderStyle == style) return;
    FBorderStyle = style;
    if (HandleAllocated()) {
        DestroyHandle();
        HandleNeeded();
    }
}

void TCustomForm::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    params.ExStyle = 0;
    switch (FBorderStyle) {
    case bsNone:
        params.Style |= WS_POPUP;
        break;
    case bsSingle:
        params.Style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_BORDER;
        break;
    case bsSizeable:
        params.Style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME;
        break;
    case bsDialog:
        // Fixed size: no sizing frame, no minimise or maximise box.
        params.Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
        params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    case bsToolWindow:
        params.Style |= WS_CAPTION | WS_SYSMENU;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        params.Style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
        params.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
    if (!GetEnabled()) params.Style |= WS_DISABLED;
    if (Application() && Application()->GetMainFormOnTaskBar() && Application()->MainForm() == this)
        params.ExStyle |= WS_EX_APPWINDOW;
    params.WndParent = nullptr;
}

void TCustomForm::CreateWnd() {
    TWinControl::CreateWnd();
    ApplyClientSize();
}

void TCustomForm::ApplyClientSize() {
    if (FClientWidth < 0 && FClientHeight < 0) return;
    RECT rc{0, 0, FClientWidth < 0 ? ClientWidth() : FClientWidth,
            FClientHeight < 0 ? ClientHeight() : FClientHeight};
    if (HandleAllocated()) {
        AdjustWindowRectEx(&rc, static_cast<DWORD>(GetWindowLongW(Handle(), GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongW(Handle(), GWL_EXSTYLE)));
    } else {
        TCreateParams params;
        CreateParams(params);
        AdjustWindowRectEx(&rc, params.Style, FALSE, params.ExStyle);
    }
    SetBounds(FLeft, FTop, rc.right - rc.left, rc.bottom - rc.top);
}

void TCustomForm::SetClientWidth(int width) {
    SetClientSize(width, FClientHeight);
}

void TCustomForm::SetClientHeight(int height) {
    SetClientSize(FClientWidth, height);
}

void TCustomForm::SetClientSize(int width, int height) {
    FClientWidth = width;
    FClientHeight = height;
    ApplyClientSize();
}

void TCustomForm::PlaceOnScreen() {
    if (FPlaced) return;
    FPlaced = true;
    if (FPosition == poScreenCenter || FPosition == poDesktopCenter ||
        FPosition == poMainFormCenter) {
        const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
        SetBounds((sw - FWidth) / 2, (sh - FHeight) / 2, FWidth, FHeight);
    }
}

void TCustomForm::ShowForm() {
    HandleNeeded();
    PlaceOnScreen();
    if (!GetVisible()) SetVisible(true);
    ShowWindow(Handle(), SW_SHOW);
    if (OnShow) OnShow(this);
}

bool TCustomForm::Showing() const {
    return GetVisible() && HandleAllocated() && IsWindowVisible(HandleIfAllocated());
}

void TCustomForm::Close() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    if (!canClose) return;
    TCloseAction action = caHide;
    if (OnClose) OnClose(this, action);
    if (action == caNone) return;
    if (Application() && Application()->MainForm() == this) {
        Application()->Terminate();
        if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
        return;
    }
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
    SetVisible(false);
}

void TCustomForm::DoCreate() {
    if (!OnCreate) return;
    try {
        OnCreate(this);
    } catch (...) {
        HandleFrameworkException();
    }
}

void TCustomForm::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_CLOSE:
        Close(); // never the default, which would destroy the window under us
        return;
    case CM_VISIBLECHANGED:
        if (HandleAllocated()) {
            if (message.WParam) PlaceOnScreen();
            ShowWindow(Handle(), message.WParam ? SW_SHOW : SW_HIDE);
        }
        return;
    default:
        TWinControl::WndProc(message);
    }
}
