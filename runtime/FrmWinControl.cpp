#include "FrmWinControl.h"

#include "FrmApplication.h"
#include "RtlException.h"
#include "RtlFormat.h"

#include <algorithm>
#include <unordered_map>

namespace {

constexpr const char16_t* kWindowClass = u"TFrameworkControl";

std::unordered_map<HWND, TWinControl*>& ControlMap() {
    static std::unordered_map<HWND, TWinControl*> map;
    return map;
}

// The control whose window is being made: the first messages of a new window
// arrive before CreateWindowExW returns its handle.
TWinControl* gCreatingControl = nullptr;

bool PointInRect(const RECT& rc, POINT pt) {
    return pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom;
}

bool IsMouseMessage(UINT msg) {
    return (msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK);
}

} // namespace

LRESULT FrameworkWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto& map = ControlMap();
    auto it = map.find(hwnd);
    TWinControl* control = it == map.end() ? nullptr : it->second;
    if (!control && gCreatingControl) {
        control = gCreatingControl;
        gCreatingControl = nullptr;
        control->FHandle = hwnd;
        map[hwnd] = control;
    }
    if (!control) return DefWindowProcW(hwnd, msg, wParam, lParam);
    TMessage message{msg, wParam, lParam, 0};
    try {
        control->WndProc(message);
    } catch (...) {
        // Every message is a dispatch boundary: a failing handler is reported
        // and never unwinds through the message loop.
        HandleFrameworkException();
    }
    if (msg == WM_NCDESTROY) {
        auto again = map.find(hwnd);
        if (again != map.end() && again->second == control) {
            map.erase(again);
            control->FHandle = nullptr;
        }
    }
    return message.Result;
}

TWinControl* TWinControl::FindControl(HWND hwnd) {
    auto& map = ControlMap();
    const auto it = map.find(hwnd);
    return it == map.end() ? nullptr : it->second;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
    FControlStyle |= csOpaque; // a window fills its own background
}

TWinControl::~TWinControl() {
    const std::vector<TControl*> children = FControls;
    for (TControl* child : children)
        child->SetParent(nullptr);
    if (FHandle) {
        // The derived parts are gone: messages of the dying window go to the
        // default procedure.
        ControlMap().erase(FHandle);
        HWND handle = FHandle;
        FHandle = nullptr;
        DestroyWindow(handle);
    }
}

HWND TWinControl::Handle() {
    if (!FHandle) CreateWnd();
    return FHandle;
}

void TWinControl::DestroyHandle() {
    if (!FHandle || FDestroyingHandle) return;
    FDestroyingHandle = true;
    HWND handle = FHandle;
    DestroyWindow(handle); // WM_NCDESTROY clears FHandle and those of the children
    ControlMap().erase(handle);
    FHandle = nullptr;
    FDestroyingHandle = false;
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.Caption = GetText();
    params.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (GetVisible()) params.Style |= WS_VISIBLE;
    if (!GetEnabled()) params.Style |= WS_DISABLED;
    params.X = FLeft;
    params.Y = FTop;
    params.Width = FWidth;
    params.Height = FHeight;
    if (GetParent()) {
        const POINT origin = GetParent()->OriginInWindowOfClient();
        params.X += origin.x;
        params.Y += origin.y;
        params.WndParent = GetParent()->Handle();
    }
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    if ((params.Style & WS_CHILD) && !params.WndParent)
        throw EInvalidOperation(Format(u"Control '%s' has no parent window", {GetName()}));
    // The class is registered on first use (and again after the window
    // system was reset, as tests do).
    WNDCLASSW existing{};
    if (!GetClassInfoW(nullptr, kWindowClass, &existing)) {
        WNDCLASSW wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = FrameworkWindowProc;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kWindowClass;
        RegisterClassW(&wc);
    }
    CreateWindowHandle(params);
    if (!FHandle) throw EInvalidOperation(Format(u"Error creating window for '%s'", {GetName()}));
    CreateChildHandles();
}

void TWinControl::CreateWindowHandle(const TCreateParams& params) {
    gCreatingControl = this;
    HWND handle = CreateWindowExW(params.ExStyle, kWindowClass, params.Caption.c_str(),
                                  params.Style, params.X, params.Y, params.Width, params.Height,
                                  params.WndParent, nullptr, nullptr, nullptr);
    gCreatingControl = nullptr;
    if (handle && !FHandle) {
        FHandle = handle;
        ControlMap()[handle] = this;
    }
}

void TWinControl::CreateChildHandles() {
    for (TControl* child : FControls)
        if (auto* win = dynamic_cast<TWinControl*>(child)) win->HandleNeeded();
}

bool TWinControl::Showing() const {
    if (!GetVisible()) return false;
    if (GetParent()) return GetParent()->Showing();
    return FHandle && IsWindowVisible(FHandle);
}

RECT TWinControl::ClientRect() const {
    RECT rc{0, 0, FWidth, FHeight};
    if (FHandle) GetClientRect(FHandle, &rc);
    return rc;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    if (FHandle) {
        POINT origin{0, 0};
        if (GetParent()) origin = GetParent()->OriginInWindowOfClient();
        SetWindowPos(FHandle, nullptr, left + origin.x, top + origin.y, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Resize();
}

void TWinControl::UpdateBounds() {
    if (!FHandle) return;
    RECT rc;
    GetWindowRect(FHandle, &rc);
    if (GetParent() && GetParent()->HandleAllocated()) {
        MapWindowPoints(nullptr, GetParent()->Handle(), reinterpret_cast<POINT*>(&rc), 2);
        const POINT origin = GetParent()->OriginInWindowOfClient();
        rc.left -= origin.x, rc.right -= origin.x, rc.top -= origin.y, rc.bottom -= origin.y;
    }
    const bool resized = rc.right - rc.left != FWidth || rc.bottom - rc.top != FHeight;
    FLeft = rc.left;
    FTop = rc.top;
    FWidth = rc.right - rc.left;
    FHeight = rc.bottom - rc.top;
    if (resized) Resize();
}

void TWinControl::SetEnabled(bool enabled) {
    TControl::SetEnabled(enabled);
    if (FHandle) EnableWindow(FHandle, enabled ? TRUE : FALSE);
}

void TWinControl::Invalidate() {
    if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
}

void TWinControl::Update() {
    if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::InsertControl(TControl* control) {
    if (ContainsControl(control) && control->FParent == this) return;
    FControls.push_back(control);
    control->FParent = this;
    if (auto* win = dynamic_cast<TWinControl*>(control)) {
        if (FHandle) win->HandleNeeded();
    } else {
        control->Invalidate();
    }
}

void TWinControl::RemoveControl(TControl* control) {
    const auto it = std::find(FControls.begin(), FControls.end(), control);
    if (it == FControls.end()) return;
    if (FCaptureControl == control) FCaptureControl = nullptr;
    if (FHoverControl == control) FHoverControl = nullptr;
    control->Invalidate();
    FControls.erase(it);
    control->FParent = nullptr;
    if (auto* win = dynamic_cast<TWinControl*>(control)) win->DestroyHandle();
}

void TWinControl::ControlVisibilityChanged(TControl* control) {
    if (dynamic_cast<TWinControl*>(control) || !FHandle) return;
    RECT rc = control->BoundsRect();
    const POINT origin = OriginInWindowOfClient();
    OffsetRect(&rc, origin.x, origin.y);
    InvalidateRect(FHandle, &rc, TRUE);
    if (!control->GetVisible()) {
        if (FHoverControl == control) FHoverControl = nullptr;
        if (FCaptureControl == control) FCaptureControl = nullptr;
    }
}

bool TWinControl::ContainsControl(const TControl* control) const {
    for (const TControl* child : FControls) {
        if (child == control) return true;
        if (auto* win = dynamic_cast<const TWinControl*>(child);
            win && win->ContainsControl(control))
            return true;
    }
    return false;
}

TControl* TWinControl::ControlAtPos(POINT pt, bool allowDisabled, bool allowWinControls) const {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TControl* c = *it;
        if (!allowWinControls && dynamic_cast<TWinControl*>(c)) continue;
        if (!c->GetVisible() || (!c->GetEnabled() && !allowDisabled)) continue;
        if (PointInRect(c->BoundsRect(), pt)) return c;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& message) {
    const std::vector<TControl*> children = FControls;
    for (TControl* child : children) {
        child->WndProc(message);
        if (message.Result) return;
    }
}

void TWinControl::EraseBackground(HDC dc) {
    if (FControlStyle & csParentBackground) {
        PaintParentBackground(dc);
        return;
    }
    RECT rc = ClientRect();
    HBRUSH brush = CreateSolidBrush(ColorToRGB(GetColor()));
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
}

void TWinControl::PaintParentBackground(HDC dc) {
    TWinControl* parent = GetParent();
    if (!parent || !parent->HandleAllocated()) return;
    const int saved = SaveDC(dc);
    POINT org{0, 0};
    GetViewportOrgEx(dc, &org);
    const POINT origin = parent->OriginInWindowOfClient();
    SetViewportOrgEx(dc, org.x - FLeft - origin.x, org.y - FTop - origin.y, nullptr);
    IntersectClipRect(dc, FLeft + origin.x, FTop + origin.y, FLeft + origin.x + FWidth,
                      FTop + origin.y + FHeight);
    parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    RestoreDC(dc, saved);
}

void TWinControl::PaintControls(HDC dc, const RECT* clip) {
    const POINT origin = OriginInWindowOfClient();
    const std::vector<TControl*> children = FControls;
    for (TControl* child : children) {
        if (dynamic_cast<TWinControl*>(child) || !child->GetVisible()) continue;
        RECT rc = child->BoundsRect();
        OffsetRect(&rc, origin.x, origin.y);
        RECT common;
        if (clip && !IntersectRect(&common, &rc, clip)) continue;
        const int saved = SaveDC(dc);
        POINT org{0, 0};
        GetViewportOrgEx(dc, &org);
        SetViewportOrgEx(dc, org.x + rc.left, org.y + rc.top, nullptr);
        IntersectClipRect(dc, 0, 0, rc.right - rc.left, rc.bottom - rc.top);
        child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        RestoreDC(dc, saved);
    }
}

void TWinControl::PaintHandler(TMessage& message) {
    if (message.WParam) {
        HDC dc = reinterpret_cast<HDC>(message.WParam);
        PaintWindow(dc);
        PaintControls(dc, nullptr);
        return;
    }
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(FHandle, &ps);
    if (dc) {
        // Paint even when a handler fails, and always end the paint so the
        // window is validated and not repainted in a loop.
        try {
            PaintWindow(dc);
            PaintControls(dc, &ps.rcPaint);
        } catch (...) {
            EndPaint(FHandle, &ps);
            throw;
        }
        EndPaint(FHandle, &ps);
    }
}

void TWinControl::TrackPointer(TMessage& message) {
    if (message.Msg != WM_MOUSEMOVE) return;
    if (!FPointerInside) {
        FPointerInside = true;
        TRACKMOUSEEVENT tme{};
        tme.cbSize = sizeof tme;
        tme.dwFlags = TME_LEAVE;
        tme.hwndTrack = FHandle;
        TrackMouseEvent(&tme);
        Perform(CM_MOUSEENTER);
    }
    const POINT pt{GetXParam(message.LParam), GetYParam(message.LParam)};
    TControl* hover = FCaptureControl ? FCaptureControl : ControlAtPos(pt);
    if (FCaptureControl && !PointInRect(FCaptureControl->BoundsRect(), pt)) hover = nullptr;
    SetFocusedMouseControl(hover);
}

void TWinControl::SetFocusedMouseControl(TControl* control) {
    if (FHoverControl == control) return;
    TControl* old = FHoverControl;
    FHoverControl = control;
    if (old) old->Perform(CM_MOUSELEAVE);
    if (control) control->Perform(CM_MOUSEENTER);
}

void TWinControl::RouteMouse(TMessage& message) {
    TrackPointer(message);
    const POINT pt{GetXParam(message.LParam), GetYParam(message.LParam)};
    const bool down = message.Msg == WM_LBUTTONDOWN || message.Msg == WM_RBUTTONDOWN ||
                      message.Msg == WM_MBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK;
    const bool up =
        message.Msg == WM_LBUTTONUP || message.Msg == WM_RBUTTONUP || message.Msg == WM_MBUTTONUP;
    const POINT origin = OriginInWindowOfClient();
    const POINT local{pt.x - origin.x, pt.y - origin.y};
    TControl* target = FCaptureControl ? FCaptureControl : ControlAtPos(local);
    if (down &&
        (target ? (target->ControlStyle() & csCaptureMouse) : (ControlStyle() & csCaptureMouse))) {
        FCaptureControl = target;
        SetCapture(FHandle);
    }
    if (up) {
        FCaptureControl = nullptr;
        if (GetCapture() == FHandle) ReleaseCapture();
    }
    if (target) {
        TMessage forwarded = message;
        forwarded.LParam = PointToLParam(local.x - target->GetLeft(), local.y - target->GetTop());
        target->WndProc(forwarded);
        message.Result = forwarded.Result;
        return;
    }
    TMessage own = message;
    own.LParam = PointToLParam(local.x, local.y);
    TControl::WndProc(own);
}

void TWinControl::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_PAINT:
        PaintHandler(message);
        return;
    case WM_ERASEBKGND:
        EraseBackground(reinterpret_cast<HDC>(message.WParam));
        message.Result = 1;
        return;
    case WM_MOUSELEAVE:
        FPointerInside = false;
        SetFocusedMouseControl(nullptr);
        Perform(CM_MOUSELEAVE);
        return;
    case WM_CAPTURECHANGED:
        FCaptureControl = nullptr;
        break;
    case WM_WINDOWPOSCHANGED:
        DefaultHandler(message);
        UpdateBounds();
        return;
    case WM_SIZE:
    case WM_MOVE:
        UpdateBounds();
        break;
    case CM_VISIBLECHANGED:
        if (FHandle) ShowWindow(FHandle, message.WParam ? SW_SHOWNOACTIVATE : SW_HIDE);
        return;
    case CM_TEXTCHANGED:
        if (FHandle) SetWindowTextW(FHandle, GetText().c_str());
        Invalidate();
        return;
    case CM_FONTCHANGED: {
        TMessage notice{CM_PARENTFONTCHANGED, 0, 0, 0};
        Broadcast(notice);
        Invalidate();
        return;
    }
    case CM_COLORCHANGED: {
        TMessage notice{CM_PARENTCOLORCHANGED, 0, 0, 0};
        Broadcast(notice);
        return;
    }
    default:
        if (IsMouseMessage(message.Msg)) {
            RouteMouse(message);
            return;
        }
        break;
    }
    TControl::WndProc(message);
}

void TWinControl::DefaultHandler(TMessage& message) {
    if (FHandle)
        message.Result =
            CallWindowProcW(FDefWndProc, FHandle, message.Msg, message.WParam, message.LParam);
}

// --- TCustomControl ------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC dc) {
    FCanvas.SetHandle(dc);
    FCanvas.Font().Assign(&Font());
    FCanvas.Brush().SetColor(GetColor());
    try {
        Paint();
    } catch (...) {
        FCanvas.SetHandle(nullptr);
        throw;
    }
    FCanvas.SetHandle(nullptr);
}
