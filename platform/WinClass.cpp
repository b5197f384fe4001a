// Window classes: registration, lookup by name or atom, and class data.
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

namespace platform::win {

namespace {

bool SameName(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'a' && x <= u'z') x = char16_t(x - 32);
        if (y >= u'a' && y <= u'z') y = char16_t(y - 32);
        if (x != y) return false;
    }
    return true;
}

} // namespace

std::shared_ptr<WindowClass> FindClass(LPCWSTR name) {
    if (!name) return nullptr;
    WinState& s = State();
    if (IS_INTRESOURCE(name)) {
        const ATOM atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
        for (auto& c : s.Classes)
            if (c->Atom == atom) return c;
        return nullptr;
    }
    const std::u16string n(name);
    for (auto& c : s.Classes)
        if (SameName(c->Name, n)) return c;
    return nullptr;
}

} // namespace platform::win

// ---------------------------------------------------------------- classes

ATOM RegisterClassExW(const WNDCLASSEXW* wc) {
    if (!wc || !wc->lpszClassName || IS_INTRESOURCE(wc->lpszClassName)) {
        SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (FindClass(wc->lpszClassName)) {
        SetLastErrorCode(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto cls = std::make_shared<WindowClass>();
    cls->Name = wc->lpszClassName;
    cls->Info = *wc;
    cls->Info.lpszClassName = cls->Name.c_str();
    cls->Info.lpszMenuName = nullptr;
    cls->Atom = State().NextAtom++;
    cls->Extra.assign(static_cast<std::size_t>(std::max(0, wc->cbClsExtra)), 0);
    State().Classes.push_back(cls);
    return cls->Atom;
}

ATOM RegisterClassW(const WNDCLASSW* wc) {
    if (!wc) return 0;
    WNDCLASSEXW ex;
    ex.style = wc->style;
    ex.lpfnWndProc = wc->lpfnWndProc;
    ex.cbClsExtra = wc->cbClsExtra;
    ex.cbWndExtra = wc->cbWndExtra;
    ex.hInstance = wc->hInstance;
    ex.hIcon = wc->hIcon;
    ex.hCursor = wc->hCursor;
    ex.hbrBackground = wc->hbrBackground;
    ex.lpszClassName = wc->lpszClassName;
    return RegisterClassExW(&ex);
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
    auto cls = FindClass(className);
    if (!cls) return FALSE;
    WinState& s = State();
    for (auto& [h, w] : s.Windows)
        if (w->Class == cls) {
            SetLastErrorCode(ERROR_CLASS_HAS_WINDOWS);
            return FALSE;
        }
    s.Classes.erase(std::remove(s.Classes.begin(), s.Classes.end(), cls), s.Classes.end());
    return TRUE;
}

BOOL GetClassInfoExW(HINSTANCE, LPCWSTR className, WNDCLASSEXW* wc) {
    auto cls = FindClass(className);
    if (!cls || !wc) {
        SetLastErrorCode(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    *wc = cls->Info;
    return TRUE;
}

BOOL GetClassInfoW(HINSTANCE instance, LPCWSTR className, WNDCLASSW* wc) {
    WNDCLASSEXW ex;
    if (!wc || !GetClassInfoExW(instance, className, &ex)) return FALSE;
    wc->style = ex.style;
    wc->lpfnWndProc = ex.lpfnWndProc;
    wc->cbClsExtra = ex.cbClsExtra;
    wc->cbWndExtra = ex.cbWndExtra;
    wc->hInstance = ex.hInstance;
    wc->hIcon = ex.hIcon;
    wc->hCursor = ex.hCursor;
    wc->hbrBackground = ex.hbrBackground;
    wc->lpszMenuName = nullptr;
    wc->lpszClassName = ex.lpszClassName;
    return TRUE;
}

ULONG_PTR GetClassLongPtrW(HWND hwnd, int index) {
    auto w = FindWindowData(hwnd);
    if (!w) return 0;
    const WNDCLASSEXW& i = w->Class->Info;
    switch (index) {
    case GCLP_HBRBACKGROUND:
        return HandleToInt(i.hbrBackground);
    case GCLP_HCURSOR:
        return HandleToInt(i.hCursor);
    case GCLP_HICON:
        return HandleToInt(i.hIcon);
    case GCLP_HMODULE:
        return HandleToInt(i.hInstance);
    case GCL_CBWNDEXTRA:
        return static_cast<ULONG_PTR>(i.cbWndExtra);
    case GCL_CBCLSEXTRA:
        return static_cast<ULONG_PTR>(i.cbClsExtra);
    case GCLP_WNDPROC:
        return reinterpret_cast<ULONG_PTR>(i.lpfnWndProc);
    case GCL_STYLE:
        return i.style;
    case GCW_ATOM:
        return w->Class->Atom;
    default:
        if (index >= 0 &&
            static_cast<std::size_t>(index) + sizeof(ULONG_PTR) <= w->Class->Extra.size()) {
            ULONG_PTR v;
            std::memcpy(&v, w->Class->Extra.data() + index, sizeof v);
            return v;
        }
        SetLastErrorCode(ERROR_INVALID_INDEX);
        return 0;
    }
}

ULONG_PTR SetClassLongPtrW(HWND hwnd, int index, LONG_PTR value) {
    auto w = FindWindowData(hwnd);
    if (!w) return 0;
    const ULONG_PTR old = GetClassLongPtrW(hwnd, index);
    WNDCLASSEXW& i = w->Class->Info;
    switch (index) {
    case GCLP_HBRBACKGROUND:
        i.hbrBackground = HandleFromInt<HBRUSH>(value);
        break;
    case GCLP_HCURSOR:
        i.hCursor = HandleFromInt<HCURSOR>(value);
        break;
    case GCLP_HICON:
        i.hIcon = HandleFromInt<HICON>(value);
        break;
    case GCLP_WNDPROC:
        i.lpfnWndProc = reinterpret_cast<WNDPROC>(value);
        break;
    case GCL_STYLE:
        i.style = static_cast<UINT>(value);
        break;
    default:
        if (index >= 0 &&
            static_cast<std::size_t>(index) + sizeof(LONG_PTR) <= w->Class->Extra.size()) {
            std::memcpy(w->Class->Extra.data() + index, &value, sizeof value);
            break;
        }
        SetLastErrorCode(ERROR_INVALID_INDEX);
        return 0;
    }
    return old;
}

int GetClassNameW(HWND hwnd, LPWSTR buffer, int size) {
    auto w = FindWindowData(hwnd);
    if (!w || !buffer || size <= 0) return 0;
    const std::u16string& n = w->Class->Name;
    const int count = std::min<int>(static_cast<int>(n.size()), size - 1);
    std::copy_n(n.begin(), count, buffer);
    buffer[count] = 0;
    return count;
}
