// Windows: creation and destruction, the window tree and its z-order, and
// the queries on it.
#include "WinWindow.h"
#include "WinBackend.h"
#include "WinInput.h"
#include "WinInternal.h"
#include "WinMessage.h"
#include "WinRect.h"
#include "WinSystem.h"

#include <algorithm>
#include <cstring>

using namespace platform::win;

namespace platform::win {

namespace {

std::u16string ToString(LPCWSTR text) {
    if (!text || IS_INTRESOURCE(text)) return {};
    return std::u16string(text);
}

RECT DefaultTopLevelRect(int x, int y, int cx, int cy) {
    const RECT work = CurrentBackend().WorkArea();
    static int cascade = 0;
    if (x == CW_USEDEFAULT) {
        x = work.left + 26 * (1 + cascade % 8);
        y = work.top + 26 * (1 + cascade % 8);
        ++cascade;
    }
    if (cx == CW_USEDEFAULT) {
        cx = Width(work) * 3 / 4;
        cy = Height(work) * 3 / 4;
    }
    return RectOfSize(x, y, std::max(cx, 0), std::max(cy, 0));
}

// WM_DESTROY goes to a window before its children, WM_NCDESTROY after them.
void SendDestroy(HWND hwnd) {
    SendSystemMessage(hwnd, WM_DESTROY, 0, 0);
    auto w = FindWindowData(hwnd);
    if (!w) return;
    const std::vector<HWND> children = w->Children;
    for (HWND c : children) {
        if (auto cw = FindWindowData(c)) cw->Destroying = true;
        SendDestroy(c);
    }
}

void DestroyTree(HWND hwnd) {
    auto w = FindWindowData(hwnd);
    if (!w) return;
    const std::vector<HWND> children = w->Children;
    for (HWND c : children)
        DestroyTree(c);
    KillTimersFor(hwnd);
    ForgetWindowInput(hwnd);
    SendSystemMessage(hwnd, WM_NCDESTROY, 0, 0);
    RemoveMessagesFor(hwnd);
    ForgetWindowDcs(hwnd);
    w = FindWindowData(hwnd);
    if (!w) return;
    UnlinkWindow(*w);
    if (!w->Parent && !w->MessageOnly && w->Shown) CurrentBackend().Destroyed(hwnd);
    State().Windows.erase(HandleToInt(hwnd));
}

} // namespace

static std::vector<HWND>& SiblingList(WindowData& w) {
    if (w.Parent)
        if (auto p = FindWindowData(w.Parent)) return p->Children;
    return State().TopLevels;
}

void UnlinkWindow(WindowData& w) {
    auto& list = SiblingList(w);
    list.erase(std::remove(list.begin(), list.end(), w.Handle), list.end());
}

// Puts the window into its sibling list after `insertAfter` (HWND_TOP,
// HWND_BOTTOM, HWND_TOPMOST, HWND_NOTOPMOST or a sibling). Top-level windows
// with WS_EX_TOPMOST stay above the others.
WPARAM SizeKind(const WindowData& w) {
    if (w.Style & WS_MINIMIZE) return SIZE_MINIMIZED;
    if (w.Style & WS_MAXIMIZE) return SIZE_MAXIMIZED;
    return SIZE_RESTORED;
}

void LinkWindow(WindowData& w, HWND insertAfter) {
    auto& list = SiblingList(w);
    list.erase(std::remove(list.begin(), list.end(), w.Handle), list.end());
    if (!w.Parent) {
        if (insertAfter == HWND_TOPMOST)
            w.ExStyle |= WS_EX_TOPMOST;
        else if (insertAfter == HWND_NOTOPMOST)
            w.ExStyle &= ~WS_EX_TOPMOST;
    }
    const bool topmost = !w.Parent && (w.ExStyle & WS_EX_TOPMOST);
    auto isTopmost = [](HWND h) {
        auto d = FindWindowData(h);
        return d && !d->Parent && (d->ExStyle & WS_EX_TOPMOST);
    };
    // The range this window may occupy.
    std::size_t first = 0, last = list.size();
    if (!w.Parent) {
        std::size_t split = 0;
        while (split < list.size() && isTopmost(list[split]))
            ++split;
        if (topmost)
            last = split;
        else
            first = split;
    }
    std::size_t pos = first;
    if (insertAfter == HWND_BOTTOM) {
        pos = last;
    } else if (insertAfter && insertAfter != HWND_TOP && insertAfter != HWND_TOPMOST &&
               insertAfter != HWND_NOTOPMOST) {
        auto it = std::find(list.begin(), list.end(), insertAfter);
        if (it != list.end()) pos = std::clamp<std::size_t>(it - list.begin() + 1, first, last);
    }
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(pos), w.Handle);
}

std::vector<HWND> WindowAndDescendants(HWND hwnd) {
    std::vector<HWND> out;
    auto w = FindWindowData(hwnd);
    if (!w) return out;
    out.push_back(hwnd);
    for (HWND c : w->Children) {
        auto sub = WindowAndDescendants(c);
        out.insert(out.end(), sub.begin(), sub.end());
    }
    return out;
}

void ResetWindows() {
    WinState& s = State();
    s.Windows.clear();
    s.TopLevels.clear();
    s.Classes.clear();
    s.NextAtom = 0xC000;
}

} // namespace platform::win

// ---------------------------------------------------------------- lifetime

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    auto cls = FindClass(className);
    if (!cls) {
        SetLastErrorCode(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    const bool messageOnly = parent == HWND_MESSAGE;
    std::shared_ptr<WindowData> parentData;
    if (parent && !messageOnly && parent != GetDesktopWindow()) {
        parentData = FindWindowData(parent);
        if (!parentData) {
            SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
    }
    if ((style & WS_CHILD) && !parentData) {
        SetLastErrorCode(ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }

    auto w = std::make_shared<WindowData>();
    w->Handle = HandleFromInt<HWND>(static_cast<LONG_PTR>(NewHandleValue()));
    w->Class = cls;
    w->Proc = cls->Info.lpfnWndProc;
    w->Style = style & ~WS_VISIBLE;
    w->ExStyle = exStyle;
    w->MessageOnly = messageOnly;
    w->Instance = instance;
    w->Extra.assign(static_cast<std::size_t>(std::max(0, cls->Info.cbWndExtra)), 0);
    if (style & WS_CHILD) {
        w->Parent = parent;
        w->Id = static_cast<LONG_PTR>(HandleToInt(menu));
        if (x == CW_USEDEFAULT) x = y = 0;
        if (width == CW_USEDEFAULT) width = height = 0;
        w->Rect = RectOfSize(x, y, std::max(width, 0), std::max(height, 0));
    } else {
        if (parentData) w->Owner = TopLevelOf(parent);
        if (!(style & WS_POPUP)) {
            // Overlapped windows always have a caption and clip their siblings.
            w->Style |= WS_CLIPSIBLINGS | WS_CAPTION;
        }
        w->Rect = DefaultTopLevelRect(x, y, width, height);
    }
    if ((w->Style & WS_DLGFRAME) || (w->Style & WS_THICKFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        w->ExStyle |= WS_EX_WINDOWEDGE;
    w->Client = RectOfSize(0, 0, Width(w->Rect), Height(w->Rect));
    w->NormalRect = w->Rect;
    w->Text = ToString(windowName);

    WinState& s = State();
    s.Windows[HandleToInt(w->Handle)] = w;
    const HWND hwnd = w->Handle;
    LinkWindow(*w, HWND_TOP);
    if (!w->Parent && !messageOnly) ResizeBuffer(*w);

    if (!w->Parent && IsResizable(*w)) {
        MINMAXINFO mmi;
        SendGetMinMaxInfo(*w, mmi);
        if (auto cur = FindWindowData(hwnd)) {
            const int cx = std::clamp<int>(Width(cur->Rect), mmi.ptMinTrackSize.x,
                                           std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x));
            const int cy = std::clamp<int>(Height(cur->Rect), mmi.ptMinTrackSize.y,
                                           std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y));
            if (cx != Width(cur->Rect) || cy != Height(cur->Rect)) {
                cur->Rect = RectOfSize(cur->Rect.left, cur->Rect.top, cx, cy);
                cur->Client = RectOfSize(0, 0, cx, cy);
                cur->NormalRect = cur->Rect;
                ResizeBuffer(*cur);
            }
        }
    }

    CREATESTRUCTW cs;
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = parent;
    cs.x = w->Rect.left;
    cs.y = w->Rect.top;
    cs.cx = Width(w->Rect);
    cs.cy = Height(w->Rect);
    cs.style = static_cast<LONG>(style);
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    auto fail = [&]() -> HWND {
        if (FindWindowData(hwnd)) DestroyWindow(hwnd);
        return nullptr;
    };
    if (!SendSystemMessage(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) return fail();
    w = FindWindowData(hwnd);
    if (!w) return nullptr;
    {
        RECT rc = w->Rect;
        SendSystemMessage(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&rc));
        w = FindWindowData(hwnd);
        if (!w) return nullptr;
        RECT client = Offset(rc, -w->Rect.left, -w->Rect.top);
        client.right = std::max(client.right, client.left);
        client.bottom = std::max(client.bottom, client.top);
        w->Client = client;
    }
    if (SendSystemMessage(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) return fail();
    w = FindWindowData(hwnd);
    if (!w) return nullptr;
    w->Created = true;
    SendSystemMessage(hwnd, WM_SIZE, SizeKind(*w), MAKELPARAM(Width(w->Client), Height(w->Client)));
    w = FindWindowData(hwnd);
    if (!w) return nullptr;
    SendSystemMessage(hwnd, WM_MOVE, 0,
                      MAKELPARAM(w->Rect.left + w->Client.left, w->Rect.top + w->Client.top));
    w = FindWindowData(hwnd);
    if (!w) return nullptr;
    if (w->Parent && !(w->ExStyle & WS_EX_NOPARENTNOTIFY))
        SendSystemMessage(w->Parent, WM_PARENTNOTIFY,
                          MAKEWPARAM(WM_CREATE, static_cast<int>(w->Id)),
                          reinterpret_cast<LPARAM>(hwnd));
    if (!IsWindow(hwnd)) return nullptr;
    if (style & WS_VISIBLE) {
        int show = SW_SHOW;
        if (style & WS_MAXIMIZE) show = SW_SHOWMAXIMIZED;
        if (style & WS_MINIMIZE) show = SW_SHOWMINIMIZED;
        ShowWindow(hwnd, show);
    }
    return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
    auto w = FindWindowData(hwnd);
    if (!w || w->Destroying) {
        SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    w->Destroying = true;
    WinState& s = State();
    // Windows owned by this one go first.
    if (!w->Parent) {
        std::vector<HWND> owned;
        for (auto& [h, o] : s.Windows)
            if (o->Owner == hwnd && !o->Parent && !o->Destroying) owned.push_back(o->Handle);
        for (HWND o : owned)
            DestroyWindow(o);
    }
    if (w->Style & WS_VISIBLE)
        SetWindowPosInternal(
            hwnd, nullptr, 0, 0, 0, 0,
            SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE, false);
    if (w->Parent && !(w->ExStyle & WS_EX_NOPARENTNOTIFY))
        SendSystemMessage(w->Parent, WM_PARENTNOTIFY,
                          MAKEWPARAM(WM_DESTROY, static_cast<int>(w->Id)),
                          reinterpret_cast<LPARAM>(hwnd));
    SendDestroy(hwnd);
    DestroyTree(hwnd);
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    return FindWindowData(hwnd) != nullptr || (hwnd && hwnd == GetDesktopWindow());
}

BOOL IsWindowVisible(HWND hwnd) {
    auto w = FindWindowData(hwnd);
    return w && IsReallyVisible(*w);
}

BOOL IsWindowEnabled(HWND hwnd) {
    auto w = FindWindowData(hwnd);
    return w && !(w->Style & WS_DISABLED);
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    auto w = FindWindowData(hwnd);
    if (!w) return FALSE;
    const BOOL wasDisabled = (w->Style & WS_DISABLED) ? TRUE : FALSE;
    if (enable && wasDisabled) {
        w->Style &= ~WS_DISABLED;
        SendSystemMessage(hwnd, WM_ENABLE, TRUE, 0);
    } else if (!enable && !wasDisabled) {
        SendSystemMessage(hwnd, WM_CANCELMODE, 0, 0);
        if (auto cur = FindWindowData(hwnd)) cur->Style |= WS_DISABLED;
        // A disabled window gives up the focus.
        WinState& s = State();
        if (s.Focus && (s.Focus == hwnd || IsChild(hwnd, s.Focus))) SetFocus(nullptr);
        SendSystemMessage(hwnd, WM_ENABLE, FALSE, 0);
    }
    return wasDisabled;
}

BOOL IsIconic(HWND hwnd) {
    auto w = FindWindowData(hwnd);
    return w && (w->Style & WS_MINIMIZE);
}

BOOL IsZoomed(HWND hwnd) {
    auto w = FindWindowData(hwnd);
    return w && (w->Style & WS_MAXIMIZE);
}

// ---------------------------------------------------------------- tree

HWND GetDesktopWindow() {
    static const ULONG_PTR desktop = NewHandleValue();
    return HandleFromInt<HWND>(static_cast<LONG_PTR>(desktop));
}

HWND GetParent(HWND hwnd) {
    auto w = FindWindowData(hwnd);
    if (!w) return nullptr;
    if (w->Style & WS_CHILD) return w->Parent;
    if (w->Style & WS_POPUP) return w->Owner;
    return nullptr;
}

HWND SetParent(HWND child, HWND newParent) {
    auto w = FindWindowData(child);
    if (!w) return nullptr;
    if (newParent == GetDesktopWindow()) newParent = nullptr;
    std::shared_ptr<WindowData> np;
    if (newParent) {
        np = FindWindowData(newParent);
        if (!np || newParent == child || IsChild(child, newParent)) return nullptr;
    }
    const HWND old = w->Parent ? w->Parent : GetDesktopWindow();
    const bool visible = w->Style & WS_VISIBLE;
    if (visible)
        SetWindowPosInternal(
            child, nullptr, 0, 0, 0, 0,
            SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE, false);
    w = FindWindowData(child);
    if (!w) return nullptr;
    const bool wasTop = !w->Parent;
    if (wasTop && w->Shown) {
        CurrentBackend().Destroyed(child);
        w->Shown = false;
    }
    UnlinkWindow(*w);
    w->Parent = newParent;
    LinkWindow(*w, HWND_TOP);
    if (!w->Parent)
        ResizeBuffer(*w);
    else
        w->Buffer.reset();
    if (visible)
        SetWindowPosInternal(
            child, nullptr, 0, 0, 0, 0,
            SWP_SHOWWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE, false);
    return old;
}

HWND GetWindow(HWND hwnd, UINT command) {
    auto w = FindWindowData(hwnd);
    if (!w) return nullptr;
    if (command == GW_CHILD) return w->Children.empty() ? nullptr : w->Children.front();
    if (command == GW_OWNER) return w->Parent ? nullptr : w->Owner;
    const std::vector<HWND>& list =
        w->Parent ? FindWindowData(w->Parent)->Children : State().TopLevels;
    auto it = std::find(list.begin(), list.end(), hwnd);
    if (it == list.end()) return nullptr;
    switch (command) {
    case GW_HWNDFIRST:
        return list.front();
    case GW_HWNDLAST:
        return list.back();
    case GW_HWNDNEXT:
        return it + 1 == list.end() ? nullptr : *(it + 1);
    case GW_HWNDPREV:
        return it == list.begin() ? nullptr : *(it - 1);
    default:
        return nullptr;
    }
}

HWND GetTopWindow(HWND hwnd) {
    if (!hwnd || hwnd == GetDesktopWindow())
        return State().TopLevels.empty() ? nullptr : State().TopLevels.front();
    return GetWindow(hwnd, GW_CHILD);
}

HWND GetAncestor(HWND hwnd, UINT flags) {
    auto w = FindWindowData(hwnd);
    if (!w) return nullptr;
    switch (flags) {
    case GA_PARENT:
        return w->Parent ? w->Parent : GetDesktopWindow();
    case GA_ROOT:
        return TopLevelOf(hwnd);
    case GA_ROOTOWNER: {
        HWND root = TopLevelOf(hwnd);
        for (auto r = FindWindowData(root); r && r->Owner; r = FindWindowData(r->Owner))
            root = r->Owner;
        return root;
    }
    default:
        return nullptr;
    }
}

BOOL IsChild(HWND parent, HWND hwnd) {
    auto w = FindWindowData(hwnd);
    while (w && w->Parent) {
        if (w->Parent == parent) return TRUE;
        w = FindWindowData(w->Parent);
    }
    return FALSE;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
    auto cls = className ? FindClass(className) : nullptr;
    if (className && !cls) return nullptr;
    for (HWND h : State().TopLevels) {
        auto w = FindWindowData(h);
        if (!w) continue;
        if (cls && w->Class != cls) continue;
        if (windowName && w->Text != std::u16string(windowName)) continue;
        return h;
    }
    return nullptr;
}

BOOL EnumWindows(WNDENUMPROC proc, LPARAM param) {
    if (!proc) return FALSE;
    const std::vector<HWND> list = State().TopLevels;
    for (HWND h : list)
        if (IsWindow(h) && !proc(h, param)) break;
    return TRUE;
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param) {
    if (!proc) return FALSE;
    std::vector<HWND> all = WindowAndDescendants(parent);
    if (!all.empty()) all.erase(all.begin());
    for (HWND h : all)
        if (IsWindow(h) && !proc(h, param)) break;
    return TRUE;
}
