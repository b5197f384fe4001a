#include "WinInternal.h"
#include "WinMessage.h"
#include "WinSystem.h"

#include <algorithm>

using namespace platform::win;

namespace {

// The hook after `after` in the chain of its kind (newest first); with a null
// `after`, the first hook of `kind`.
const HookData* NextHook(int kind, HHOOK after) {
    const auto& hooks = State().Hooks;
    bool passed = after == nullptr;
    for (const HookData& h : hooks) {
        if (h.Kind != kind) continue;
        if (passed) return &h;
        if (h.Handle == after) passed = true;
    }
    return nullptr;
}

} // namespace

namespace platform::win {

LRESULT CallHookChain(int kind, int code, WPARAM wParam, LPARAM lParam) {
    const HookData* h = NextHook(kind, nullptr);
    if (!h) return 0;
    const HOOKPROC proc = h->Proc;
    return proc(code, wParam, lParam);
}

LRESULT CallWndProcHooks(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool sentByThread) {
    if (!NextHook(WH_CALLWNDPROC, nullptr)) return 0;
    CWPSTRUCT cwp{lParam, wParam, message, hwnd};
    return CallHookChain(WH_CALLWNDPROC, HC_ACTION, sentByThread ? 1 : 0,
                         reinterpret_cast<LPARAM>(&cwp));
}

void CallWndProcRetHooks(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT result,
                         bool sentByThread) {
    if (!NextHook(WH_CALLWNDPROCRET, nullptr)) return;
    CWPRETSTRUCT cwp{result, lParam, wParam, message, hwnd};
    CallHookChain(WH_CALLWNDPROCRET, HC_ACTION, sentByThread ? 1 : 0,
                  reinterpret_cast<LPARAM>(&cwp));
}

void ResetHooks() {
    State().Hooks.clear();
}

} // namespace platform::win

HHOOK SetWindowsHookExW(int kind, HOOKPROC proc, HINSTANCE, DWORD threadId) {
    if (!proc || (kind != WH_CALLWNDPROC && kind != WH_CALLWNDPROCRET && kind != WH_GETMESSAGE) ||
        (threadId != 0 && threadId != GetCurrentThreadId())) {
        SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HookData h;
    h.Handle = HandleFromInt<HHOOK>(static_cast<LONG_PTR>(NewHandleValue()));
    h.Kind = kind;
    h.Proc = proc;
    auto& hooks = State().Hooks;
    hooks.insert(hooks.begin(), h); // the newest hook runs first
    return h.Handle;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
    auto& hooks = State().Hooks;
    auto it = std::find_if(hooks.begin(), hooks.end(),
                           [&](const HookData& h) { return h.Handle == hook; });
    if (it == hooks.end()) {
        SetLastErrorCode(ERROR_INVALID_HOOK_HANDLE);
        return FALSE;
    }
    hooks.erase(it);
    return TRUE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    const auto& hooks = State().Hooks;
    auto it = std::find_if(hooks.begin(), hooks.end(),
                           [&](const HookData& h) { return h.Handle == hook; });
    if (it == hooks.end()) return 0;
    const HookData* next = NextHook(it->Kind, hook);
    if (!next) return 0;
    const HOOKPROC proc = next->Proc;
    return proc(code, wParam, lParam);
}
