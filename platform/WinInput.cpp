#include "WinInput.h"

#include "WinBackend.h"
#include "WinInternal.h"
#include "WinMessage.h"
#include "WinRect.h"
#include "WinStyles.h"
#include "WinSystem.h"
#include "WinWait.h"
#include "WinWindow.h"

#include <algorithm>
#include <cstdlib>

using namespace platform::win;

namespace {

bool HitsWindow(const WindowData& w, POINT screen) {
    const POINT o = WindowOriginOnScreen(w);
    const int x = screen.x - o.x, y = screen.y - o.y;
    if (!Contains(RectOfSize(0, 0, Width(w.Rect), Height(w.Rect)), x, y)) return false;
    return !w.WindowRgn || w.WindowRgn->Contains(x, y);
}

bool Eligible(const WindowData& w, POINT screen) {
    if (!(w.Style & WS_VISIBLE) || (w.Style & WS_DISABLED) || w.MessageOnly) return false;
    if (!w.Parent) {
        if (w.Style & WS_MINIMIZE) return false;
        // Layered windows marked transparent let the pointer through.
        if ((w.ExStyle & WS_EX_LAYERED) && (w.ExStyle & WS_EX_TRANSPARENT)) return false;
        // Fully transparent layered windows are not hit either.
        if ((w.ExStyle & WS_EX_LAYERED) && w.LayeredAttributes && (w.LayeredFlags & LWA_ALPHA) &&
            w.LayeredAlpha == 0 && !w.LayeredContent)
            return false;
    }
    return HitsWindow(w, screen);
}

HWND SearchWindow(const WindowData& w, POINT screen, bool send, LRESULT& hit);

HWND SearchChildren(const WindowData& w, POINT screen, bool send, LRESULT& hit) {
    const std::vector<HWND> children = w.Children;
    for (HWND c : children) {
        auto cw = FindWindowData(c);
        if (!cw || !Eligible(*cw, screen)) continue;
        if (HWND found = SearchWindow(*cw, screen, send, hit)) return found;
    }
    return nullptr;
}

HWND SearchWindow(const WindowData& w, POINT screen, bool send, LRESULT& hit) {
    const POINT c = ClientOriginOnScreen(w);
    if (Contains(RectOfSize(c.x, c.y, Width(w.Client), Height(w.Client)), screen.x, screen.y)) {
        if (HWND found = SearchChildren(w, screen, send, hit)) return found;
    }
    const HWND hwnd = w.Handle;
    if (!send) {
        hit = HTCLIENT;
        return hwnd;
    }
    hit = SendSystemMessage(hwnd, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
    if (hit == HTTRANSPARENT) return nullptr;
    return IsWindow(hwnd) ? hwnd : nullptr;
}

WPARAM KeyFlags() {
    const WinState& s = State();
    WPARAM f = 0;
    if (s.KeyState[VK_LBUTTON] & 0x80) f |= MK_LBUTTON;
    if (s.KeyState[VK_RBUTTON] & 0x80) f |= MK_RBUTTON;
    if (s.KeyState[VK_MBUTTON] & 0x80) f |= MK_MBUTTON;
    if (s.KeyState[VK_SHIFT] & 0x80) f |= MK_SHIFT;
    if (s.KeyState[VK_CONTROL] & 0x80) f |= MK_CONTROL;
    return f;
}

void SetKey(BYTE* table, UINT vk, bool down) {
    if (vk >= 256) return;
    if (down) {
        if (!(table[vk] & 0x80)) table[vk] ^= 0x01;
        table[vk] |= 0x80;
    } else {
        table[vk] &= static_cast<BYTE>(~0x80);
    }
}

UINT ButtonVk(int button) {
    return button == 1 ? VK_RBUTTON : button == 2 ? VK_MBUTTON : VK_LBUTTON;
}

UINT ButtonMessage(int button, bool down) {
    const UINT base = button == 1 ? WM_RBUTTONDOWN : button == 2 ? WM_MBUTTONDOWN : WM_LBUTTONDOWN;
    return down ? base : base + 1;
}

void UpdateTracking(HWND under, LRESULT hit) {
    WinState& s = State();
    if (!s.Tracking.Hwnd || !(s.Tracking.Flags & TME_LEAVE)) return;
    const bool nc = s.Tracking.Flags & TME_NONCLIENT;
    const bool inside = under == s.Tracking.Hwnd && (nc ? hit != HTCLIENT : hit == HTCLIENT);
    if (inside) return;
    const HWND h = s.Tracking.Hwnd;
    s.Tracking = MouseTracking{};
    PostMessageW(h, nc ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
}

bool IsDoubleClick(HWND target, UINT downMsg, const InputEvent& e) {
    const ClickRecord& last = State().LastClick;
    if (last.Hwnd != target || last.Message != downMsg) return false;
    if (e.Time - last.Time > GetDoubleClickTime()) return false;
    const int dx = std::abs(e.Screen.x - last.Screen.x), dy = std::abs(e.Screen.y - last.Screen.y);
    return dx <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 && dy <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
}

// Routes one pointer event; false when it produces no message.
bool ConvertPointer(InputEvent& e, MSG& msg) {
    WinState& s = State();
    const POINT pt = e.Screen;
    if (e.Kind == InputEvent::PointerDown) SetKey(s.KeyState, ButtonVk(e.Button), true);
    if (e.Kind == InputEvent::PointerUp) SetKey(s.KeyState, ButtonVk(e.Button), false);

    LRESULT hit = HTNOWHERE;
    const HWND under = e.Kind == InputEvent::PointerLeave ? nullptr : HitTestPoint(pt, &hit, true);
    UpdateTracking(under, hit);
    if (e.Kind == InputEvent::PointerLeave) return false;

    HWND target = s.Capture && IsWindow(s.Capture) ? s.Capture : under;
    if (!target) return false;
    const bool captured = target == s.Capture;
    if (captured) hit = HTCLIENT;

    UINT message = WM_MOUSEMOVE;
    if (e.Kind == InputEvent::PointerDown)
        message = ButtonMessage(e.Button, true);
    else if (e.Kind == InputEvent::PointerUp)
        message = ButtonMessage(e.Button, false);
    else if (e.Kind == InputEvent::Wheel)
        message = WM_MOUSEWHEEL;

    const HWND top = TopLevelOf(target);
    if (!captured) {
        // A disabled top-level window (the owner of a modal box) takes no pointer input.
        if (!IsWindowEnabled(top)) {
            SendSystemMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                              MAKELPARAM(HTERROR, static_cast<int>(message)));
            return false;
        }
        SendSystemMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                          MAKELPARAM(static_cast<int>(hit), static_cast<int>(message)));
        if (!IsWindow(target)) return false;
    }

    if (e.Kind == InputEvent::PointerDown && !captured && s.Active != top) {
        auto tw = FindWindowData(top);
        if (tw && !(tw->ExStyle & WS_EX_NOACTIVATE)) {
            const LRESULT r =
                SendSystemMessage(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                                  MAKELPARAM(static_cast<int>(hit), static_cast<int>(message)));
            if (r == MA_ACTIVATE || r == MA_ACTIVATEANDEAT) ActivateTopLevel(top, WA_CLICKACTIVE);
            if (r == MA_ACTIVATEANDEAT || r == MA_NOACTIVATEANDEAT) return false;
        }
        if (!IsWindow(target)) return false;
    }

    msg = MSG{};
    msg.time = e.Time;
    msg.pt = pt;
    if (message == WM_MOUSEWHEEL) {
        msg.hwnd = s.Focus && IsWindow(s.Focus) ? s.Focus : target;
        msg.message = WM_MOUSEWHEEL;
        msg.wParam = MAKEWPARAM(static_cast<int>(KeyFlags()), e.WheelDelta);
        msg.lParam = MAKELPARAM(pt.x, pt.y);
        return true;
    }
    auto tw = FindWindowData(target);
    if (!tw) return false;
    const bool client = hit == HTCLIENT;
    if (e.Kind == InputEvent::PointerDown) {
        if (IsDoubleClick(target, message, e) &&
            (!client || (tw->Class->Info.style & CS_DBLCLKS))) {
            message += 2; // WM_xBUTTONDOWN -> WM_xBUTTONDBLCLK
            s.LastClick = ClickRecord{};
        } else {
            s.LastClick = ClickRecord{target, message, e.Time, pt};
        }
    }
    msg.hwnd = target;
    if (client) {
        const POINT c = ClientOriginOnScreen(*tw);
        msg.message = message;
        msg.wParam = KeyFlags();
        msg.lParam = MAKELPARAM(pt.x - c.x, pt.y - c.y);
    } else {
        msg.message = message - WM_MOUSEMOVE + WM_NCMOUSEMOVE;
        msg.wParam = static_cast<WPARAM>(hit);
        msg.lParam = MAKELPARAM(pt.x, pt.y);
    }
    return true;
}

bool ConvertKey(InputEvent& e, MSG& msg) {
    WinState& s = State();
    const bool down = e.Kind == InputEvent::KeyDown;
    const bool wasDown = e.Vk < 256 && (s.KeyState[e.Vk] & 0x80);
    SetKey(s.KeyState, e.Vk, down);
    if (e.Vk == VK_LSHIFT || e.Vk == VK_RSHIFT) SetKey(s.KeyState, VK_SHIFT, down);
    if (e.Vk == VK_LCONTROL || e.Vk == VK_RCONTROL) SetKey(s.KeyState, VK_CONTROL, down);
    if (e.Vk == VK_LMENU || e.Vk == VK_RMENU) SetKey(s.KeyState, VK_MENU, down);

    HWND target = s.Focus && IsWindow(s.Focus) ? s.Focus : nullptr;
    const bool noFocus = !target;
    if (!target) target = s.Active && IsWindow(s.Active) ? s.Active : nullptr;
    if (!target) return false;
    if (!IsWindowEnabled(TopLevelOf(target))) return false;

    const bool alt = (s.KeyState[VK_MENU] & 0x80) && !(s.KeyState[VK_CONTROL] & 0x80);
    const bool sys = alt || e.Vk == VK_F10 || e.Vk == VK_MENU || noFocus;
    msg = MSG{};
    msg.hwnd = target;
    msg.message = sys ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
    msg.wParam = e.Vk;
    LPARAM lp = 1;
    if (alt) lp |= 1 << 29;
    if (down ? wasDown : true) lp |= 1 << 30;
    if (!down) lp |= static_cast<LPARAM>(1u << 31);
    msg.lParam = static_cast<LPARAM>(static_cast<DWORD>(lp));
    msg.time = e.Time;
    msg.pt = s.CursorPos;
    msg.lPrivate = e.Serial;
    if (down && e.Char) s.PendingChars.emplace_back(e.Serial, e.Char);
    // Characters never translated do not pile up.
    if (s.PendingChars.size() > 64) s.PendingChars.erase(s.PendingChars.begin());
    return true;
}

void Queue(InputEvent e) {
    WinState& s = State();
    e.Serial = ++s.InputSerial;
    s.Input.push_back(std::move(e));
}

} // namespace

namespace platform::win {

HWND HitTestPoint(POINT screen, LRESULT* hit, bool sendHitTest) {
    LRESULT code = HTNOWHERE;
    for (HWND top : std::vector<HWND>(State().TopLevels)) {
        auto w = FindWindowData(top);
        if (!w || !Eligible(*w, screen)) continue;
        if (HWND found = SearchWindow(*w, screen, sendHitTest, code)) {
            if (hit) *hit = code;
            return found;
        }
    }
    if (hit) *hit = HTNOWHERE;
    return nullptr;
}

bool TakeInputMessage(HWND filter, UINT minMsg, UINT maxMsg, MSG& msg, bool remove) {
    WinState& s = State();
    if (s.InputSuspended) return false;
    while (!s.Input.empty()) {
        InputEvent& e = s.Input.front();
        if (!e.Converted) {
            MSG converted;
            const bool isKey = e.Kind == InputEvent::KeyDown || e.Kind == InputEvent::KeyUp;
            InputEvent copy = e;
            const bool made = isKey ? ConvertKey(copy, converted) : ConvertPointer(copy, converted);
            // Routing may have run window procedures that changed the queue.
            if (s.Input.empty() || s.Input.front().Serial != copy.Serial) continue;
            if (!made) {
                s.Input.pop_front();
                continue;
            }
            s.Input.front().Converted = converted;
        }
        const MSG m = *s.Input.front().Converted;
        const bool inRange =
            (minMsg == 0 && maxMsg == 0) || (m.message >= minMsg && m.message <= maxMsg);
        if (!inRange || !FilterMatches(filter, m.hwnd)) return false;
        msg = m;
        if (remove) s.Input.pop_front();
        return true;
    }
    return false;
}

void ForgetWindowInput(HWND hwnd) {
    WinState& s = State();
    auto inside = [&](HWND h) { return h && (h == hwnd || IsChild(hwnd, h)); };
    if (inside(s.Capture)) {
        s.Capture = nullptr;
        CurrentBackend().UngrabPointer();
    }
    if (inside(s.Focus)) s.Focus = nullptr;
    if (inside(s.Active)) s.Active = nullptr;
    if (inside(s.Tracking.Hwnd)) s.Tracking = MouseTracking{};
    if (inside(s.LastClick.Hwnd)) s.LastClick = ClickRecord{};
}

void ActivateTopLevel(HWND hwnd, WPARAM how) {
    WinState& s = State();
    if (hwnd) hwnd = TopLevelOf(hwnd);
    const HWND old = s.Active;
    if (old == hwnd) return;
    s.Active = hwnd;
    if (old && IsWindow(old)) {
        SendSystemMessage(old, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(hwnd));
        SendSystemMessage(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(old) ? 1 : 0),
                          reinterpret_cast<LPARAM>(hwnd));
    }
    if (s.Active != hwnd) return; // a handler activated another window meanwhile
    if (!hwnd) {
        SetFocus(nullptr);
        return;
    }
    auto w = FindWindowData(hwnd);
    if (!w) return;
    SetWindowPosInternal(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE,
                         false);
    if (w->Shown) CurrentBackend().Activate(hwnd);
    SendSystemMessage(hwnd, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(old));
    SendSystemMessage(hwnd, WM_ACTIVATE, MAKEWPARAM(static_cast<int>(how), IsIconic(hwnd) ? 1 : 0),
                      reinterpret_cast<LPARAM>(old));
}

void RunMoveLoop(HWND hwnd, POINT screen) {
    auto w = FindWindowData(hwnd);
    if (!w || w->Parent) return;
    WinState& s = State();
    Backend& b = CurrentBackend();
    if (b.SystemMove(hwnd, screen)) return;

    SendSystemMessage(hwnd, WM_ENTERSIZEMOVE, 0, 0);
    SetCapture(hwnd);
    w = FindWindowData(hwnd);
    if (!w) return;
    const RECT start = w->Rect;
    ++s.MoveLoopDepth;
    bool done = false;
    while (!done && IsWindow(hwnd) && GetCapture() == hwnd) {
        b.ProcessEvents();
        if (s.Input.empty()) {
            if (!b.ButtonDown(0)) break;
            // Other messages (paint, timers) go on while the window is dragged.
            s.InputSuspended = true;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
            platform::DispatchReadyMessages();
            s.InputSuspended = false;
            continue;
        }
        const InputEvent e = s.Input.front();
        s.Input.pop_front();
        s.CursorPos = e.Screen;
        switch (e.Kind) {
        case InputEvent::PointerMove: {
            RECT r = Offset(start, e.Screen.x - screen.x, e.Screen.y - screen.y);
            SendSystemMessage(hwnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
            SetWindowPosInternal(hwnd, nullptr, r.left, r.top, 0, 0,
                                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE, false);
            break;
        }
        case InputEvent::PointerUp:
            if (e.Button == 0) done = true;
            SetKey(s.KeyState, ButtonVk(e.Button), false);
            break;
        case InputEvent::KeyDown:
            if (e.Vk == VK_ESCAPE) {
                SetWindowPosInternal(hwnd, nullptr, start.left, start.top, 0, 0,
                                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE, false);
                done = true;
            }
            break;
        default:
            break;
        }
    }
    --s.MoveLoopDepth;
    if (GetCapture() == hwnd) ReleaseCapture();
    if (IsWindow(hwnd)) SendSystemMessage(hwnd, WM_EXITSIZEMOVE, 0, 0);
}

void ResetInput() {
    WinState& s = State();
    s.Input.clear();
    s.Capture = s.Focus = s.Active = nullptr;
    s.Tracking = MouseTracking{};
    s.LastClick = ClickRecord{};
    s.CursorPos = POINT{};
    s.Cursor = nullptr;
    std::fill(std::begin(s.KeyState), std::end(s.KeyState), 0);
    std::fill(std::begin(s.AsyncKeyState), std::end(s.AsyncKeyState), 0);
    s.InputSuspended = false;
    s.MoveLoopDepth = 0;
}

// ---- input from the back-ends ----

void QueuePointerMove(POINT screen, DWORD time) {
    WinState& s = State();
    s.CursorPos = screen;
    // Moves that nobody has looked at yet collapse into the latest one.
    if (!s.Input.empty()) {
        InputEvent& last = s.Input.back();
        if (last.Kind == InputEvent::PointerMove && !last.Converted) {
            last.Screen = screen;
            last.Time = time;
            return;
        }
    }
    InputEvent e;
    e.Kind = InputEvent::PointerMove;
    e.Screen = screen;
    e.Time = time;
    Queue(e);
}

void QueuePointerButton(int button, bool down, POINT screen, DWORD time) {
    WinState& s = State();
    s.CursorPos = screen;
    SetKey(s.AsyncKeyState, ButtonVk(button), down);
    InputEvent e;
    e.Kind = down ? InputEvent::PointerDown : InputEvent::PointerUp;
    e.Button = button;
    e.Screen = screen;
    e.Time = time;
    Queue(e);
}

void QueuePointerWheel(int delta, POINT screen, DWORD time) {
    State().CursorPos = screen;
    InputEvent e;
    e.Kind = InputEvent::Wheel;
    e.WheelDelta = delta;
    e.Screen = screen;
    e.Time = time;
    Queue(e);
}

void QueueKey(UINT vk, bool down, char32_t ch, DWORD time) {
    WinState& s = State();
    SetKey(s.AsyncKeyState, vk, down);
    InputEvent e;
    e.Kind = down ? InputEvent::KeyDown : InputEvent::KeyUp;
    e.Vk = vk;
    e.Char = ch;
    e.Time = time;
    e.Screen = s.CursorPos;
    Queue(e);
}

void PointerLeftDisplay() {
    InputEvent e;
    e.Kind = InputEvent::PointerLeave;
    e.Screen = State().CursorPos;
    Queue(e);
}

void DisplayMovedWindow(HWND hwnd, const RECT& screenRect) {
    auto w = FindWindowData(hwnd);
    if (!w || w->Parent) return;
    if (w->Rect == screenRect) return;
    SetWindowPosInternal(hwnd, nullptr, screenRect.left, screenRect.top, Width(screenRect),
                         Height(screenRect), SWP_NOZORDER | SWP_NOACTIVATE, true);
}

void DisplayCloseRequest(HWND hwnd) {
    if (IsWindow(hwnd) && IsWindowEnabled(hwnd)) PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void DisplayActivated(HWND hwnd, bool active) {
    WinState& s = State();
    if (active && s.Active != hwnd && IsWindow(hwnd))
        ActivateTopLevel(hwnd, WA_ACTIVE);
    else if (!active && s.Active == hwnd)
        ActivateTopLevel(nullptr, WA_INACTIVE);
}

} // namespace platform::win

HWND SetCapture(HWND hwnd) {
    WinState& s = State();
    const HWND old = s.Capture;
    if (!IsWindow(hwnd)) return old;
    s.Capture = hwnd;
    if (old && old != hwnd && IsWindow(old))
        SendSystemMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    CurrentBackend().GrabPointer(TopLevelOf(hwnd));
    return old;
}

BOOL ReleaseCapture() {
    WinState& s = State();
    const HWND old = s.Capture;
    s.Capture = nullptr;
    if (old) {
        CurrentBackend().UngrabPointer();
        if (IsWindow(old)) SendSystemMessage(old, WM_CAPTURECHANGED, 0, 0);
    }
    return TRUE;
}

HWND GetCapture() {
    return State().Capture;
}

HWND SetFocus(HWND hwnd) {
    WinState& s = State();
    const HWND old = s.Focus;
    if (hwnd == old) return old;
    if (hwnd) {
        auto w = FindWindowData(hwnd);
        if (!w) return nullptr;
        const HWND top = TopLevelOf(hwnd);
        if (s.Active != top) {
            ActivateTopLevel(top, WA_ACTIVE);
            if (s.Focus == hwnd) return old;
        }
    }
    const HWND previous = s.Focus;
    if (previous && IsWindow(previous))
        SendSystemMessage(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd && !IsWindow(hwnd)) return previous;
    s.Focus = hwnd;
    if (hwnd) SendSystemMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

HWND GetFocus() {
    return State().Focus;
}

HWND SetActiveWindow(HWND hwnd) {
    const HWND old = State().Active;
    if (hwnd && !IsWindow(hwnd)) return nullptr;
    ActivateTopLevel(hwnd, WA_ACTIVE);
    return old;
}

HWND GetActiveWindow() {
    return State().Active;
}
HWND GetForegroundWindow() {
    return State().Active;
}

BOOL SetForegroundWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) return FALSE;
    ActivateTopLevel(hwnd, WA_ACTIVE);
    return TRUE;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme) {
    if (!tme) return FALSE;
    WinState& s = State();
    if (tme->dwFlags & TME_QUERY) {
        tme->dwFlags = s.Tracking.Flags;
        tme->hwndTrack = s.Tracking.Hwnd;
        tme->dwHoverTime = 0;
        return TRUE;
    }
    if (tme->dwFlags & TME_CANCEL) {
        if (s.Tracking.Hwnd == tme->hwndTrack) {
            s.Tracking.Flags &= ~(tme->dwFlags & (TME_LEAVE | TME_HOVER));
            if (!(s.Tracking.Flags & (TME_LEAVE | TME_HOVER))) s.Tracking = MouseTracking{};
        }
        return TRUE;
    }
    if (!IsWindow(tme->hwndTrack)) return FALSE;
    if (tme->dwFlags & TME_LEAVE) {
        LRESULT hit = HTNOWHERE;
        const HWND under = HitTestPoint(s.CursorPos, &hit, true);
        const bool nc = tme->dwFlags & TME_NONCLIENT;
        const bool inside = under == tme->hwndTrack && (nc ? hit != HTCLIENT : hit == HTCLIENT);
        if (!inside) {
            // Not over the window now: the leave is due at once.
            PostMessageW(tme->hwndTrack, nc ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
            return TRUE;
        }
    }
    if (s.Tracking.Hwnd && s.Tracking.Hwnd != tme->hwndTrack && (s.Tracking.Flags & TME_LEAVE)) {
        // Tracking moves to another window: the old one has been left.
        const bool nc = s.Tracking.Flags & TME_NONCLIENT;
        PostMessageW(s.Tracking.Hwnd, nc ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
    }
    s.Tracking =
        MouseTracking{tme->hwndTrack, tme->dwFlags & (TME_LEAVE | TME_HOVER | TME_NONCLIENT)};
    return TRUE;
}

HWND WindowFromPoint(POINT pt) {
    return HitTestPoint(pt, nullptr, true);
}

HWND ChildWindowFromPointEx(HWND parent, POINT pt, UINT flags) {
    auto p = FindWindowData(parent);
    if (!p) return nullptr;
    if (!Contains(RectOfSize(0, 0, Width(p->Client), Height(p->Client)), pt.x, pt.y))
        return nullptr;
    for (HWND c : p->Children) {
        auto cw = FindWindowData(c);
        if (!cw) continue;
        if ((flags & CWP_SKIPINVISIBLE) && !(cw->Style & WS_VISIBLE)) continue;
        if ((flags & CWP_SKIPDISABLED) && (cw->Style & WS_DISABLED)) continue;
        if ((flags & CWP_SKIPTRANSPARENT) && (cw->ExStyle & WS_EX_TRANSPARENT)) continue;
        if (Contains(cw->Rect, pt.x, pt.y)) return c;
    }
    return parent;
}

HWND ChildWindowFromPoint(HWND parent, POINT pt) {
    return ChildWindowFromPointEx(parent, pt, CWP_ALL);
}

SHORT GetKeyState(int vk) {
    if (vk < 0 || vk >= 256) return 0;
    const BYTE v = State().KeyState[vk];
    return static_cast<SHORT>(((v & 0x80) ? 0x8000 : 0) | (v & 1));
}

SHORT GetAsyncKeyState(int vk) {
    if (vk < 0 || vk >= 256) return 0;
    return (State().AsyncKeyState[vk] & 0x80) ? static_cast<SHORT>(0x8000) : 0;
}

BOOL GetKeyboardState(BYTE* state) {
    if (!state) return FALSE;
    std::copy(std::begin(State().KeyState), std::end(State().KeyState), state);
    return TRUE;
}
