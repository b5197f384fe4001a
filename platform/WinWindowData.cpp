// Per-window data: the window longs (procedure, styles, user data, extra
// bytes), window text and properties, and calling a window procedure.
#include "WinBackend.h"
#include "WinInput.h"
#include "WinInternal.h"
#include "WinMessage.h"
#include "WinRect.h"
#include "WinSystem.h"
#include "WinWindow.h"

#include <algorithm>
#include <cstring>

using namespace platform::win;

// ---------------------------------------------------------------- window data

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index) {
    auto w = FindWindowData(hwnd);
    if (!w) {
        SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    switch (index) {
    case GWLP_WNDPROC:
        return WndProcToLong(w->Proc);
    case GWLP_HINSTANCE:
        return static_cast<LONG_PTR>(HandleToInt(w->Instance));
    case GWLP_HWNDPARENT:
        return static_cast<LONG_PTR>(HandleToInt(w->Parent ? w->Parent : w->Owner));
    case GWLP_ID:
        return w->Id;
    case GWL_STYLE:
        return static_cast<LONG_PTR>(static_cast<LONG>(w->Style));
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(static_cast<LONG>(w->ExStyle));
    case GWLP_USERDATA:
        return w->UserData;
    default:
        if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= w->Extra.size()) {
            LONG_PTR v;
            std::memcpy(&v, w->Extra.data() + index, sizeof v);
            return v;
        }
        SetLastErrorCode(ERROR_INVALID_INDEX);
        return 0;
    }
}

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
    auto w = FindWindowData(hwnd);
    if (!w) {
        SetLastErrorCode(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    const LONG_PTR old = GetWindowLongPtrW(hwnd, index);
    switch (index) {
    case GWLP_WNDPROC:
        w->Proc = LongToWndProc(value);
        break;
    case GWLP_HINSTANCE:
        w->Instance = HandleFromInt<HINSTANCE>(value);
        break;
    case GWLP_HWNDPARENT:
        if (!w->Parent) w->Owner = HandleFromInt<HWND>(value);
        break;
    case GWLP_ID:
        w->Id = value;
        break;
    case GWLP_USERDATA:
        w->UserData = value;
        break;
    case GWL_STYLE:
    case GWL_EXSTYLE: {
        STYLESTRUCT ss{static_cast<DWORD>(old), static_cast<DWORD>(value)};
        SendSystemMessage(hwnd, WM_STYLECHANGING, static_cast<WPARAM>(index),
                          reinterpret_cast<LPARAM>(&ss));
        w = FindWindowData(hwnd);
        if (!w) return 0;
        if (index == GWL_STYLE) {
            // Visibility only changes through ShowWindow/SetWindowPos.
            w->Style = (ss.styleNew & ~WS_VISIBLE) | (w->Style & WS_VISIBLE);
        } else {
            const bool wasLayered = w->ExStyle & WS_EX_LAYERED;
            w->ExStyle = ss.styleNew;
            if (wasLayered && !(w->ExStyle & WS_EX_LAYERED)) {
                // Leaving the layered state forgets its attributes and content.
                w->LayeredAttributes = false;
                w->LayeredAlpha = 255;
                w->LayeredFlags = 0;
                w->LayeredContent.reset();
                if (!w->Parent)
                    RedrawWindowArea(hwnd, nullptr,
                                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
            }
            if (!w->Parent && w->Shown && wasLayered != bool(w->ExStyle & WS_EX_LAYERED))
                CurrentBackend().Relayered(hwnd);
        }
        if (!w->Parent && w->Shown) CurrentBackend().StyleChanged(hwnd);
        SendSystemMessage(hwnd, WM_STYLECHANGED, static_cast<WPARAM>(index),
                          reinterpret_cast<LPARAM>(&ss));
        break;
    }
    default:
        if (index >= 0 && static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= w->Extra.size()) {
            std::memcpy(w->Extra.data() + index, &value, sizeof value);
            break;
        }
        SetLastErrorCode(ERROR_INVALID_INDEX);
        return 0;
    }
    return old;
}

LONG GetWindowLongW(HWND hwnd, int index) {
    if (index >= 0) {
        auto w = FindWindowData(hwnd);
        if (!w || static_cast<std::size_t>(index) + sizeof(LONG) > w->Extra.size()) return 0;
        LONG v;
        std::memcpy(&v, w->Extra.data() + index, sizeof v);
        return v;
    }
    return static_cast<LONG>(GetWindowLongPtrW(hwnd, index));
}

LONG SetWindowLongW(HWND hwnd, int index, LONG value) {
    if (index >= 0) {
        auto w = FindWindowData(hwnd);
        if (!w || static_cast<std::size_t>(index) + sizeof(LONG) > w->Extra.size()) return 0;
        LONG old;
        std::memcpy(&old, w->Extra.data() + index, sizeof old);
        std::memcpy(w->Extra.data() + index, &value, sizeof value);
        return old;
    }
    if (index == GWL_STYLE || index == GWL_EXSTYLE)
        return static_cast<LONG>(
            SetWindowLongPtrW(hwnd, index, static_cast<LONG_PTR>(static_cast<DWORD>(value))));
    return static_cast<LONG>(SetWindowLongPtrW(hwnd, index, value));
}

int GetWindowTextW(HWND hwnd, LPWSTR buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = 0;
    return static_cast<int>(SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(size),
                                         reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthW(HWND hwnd) {
    return static_cast<int>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
    if (!IsWindow(hwnd)) return FALSE;
    return SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

namespace {
std::u16string PropKey(LPCWSTR name) {
    return IS_INTRESOURCE(name)
               ? u"#" + std::u16string(1, char16_t(reinterpret_cast<ULONG_PTR>(name)))
               : std::u16string(name);
}
} // namespace

BOOL SetPropW(HWND hwnd, LPCWSTR name, HANDLE value) {
    auto w = FindWindowData(hwnd);
    if (!w || !name) return FALSE;
    w->Props[PropKey(name)] = value;
    return TRUE;
}

HANDLE GetPropW(HWND hwnd, LPCWSTR name) {
    auto w = FindWindowData(hwnd);
    if (!w || !name) return nullptr;
    auto it = w->Props.find(PropKey(name));
    return it == w->Props.end() ? nullptr : it->second;
}

HANDLE RemovePropW(HWND hwnd, LPCWSTR name) {
    auto w = FindWindowData(hwnd);
    if (!w || !name) return nullptr;
    auto it = w->Props.find(PropKey(name));
    if (it == w->Props.end()) return nullptr;
    HANDLE v = it->second;
    w->Props.erase(it);
    return v;
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!proc) return 0;
    return proc(hwnd, message, wParam, lParam);
}
