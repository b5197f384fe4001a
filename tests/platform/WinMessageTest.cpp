// Message rules: sent against posted messages, retrieval order, the quit
// request, window procedure replacement and the thread hooks.
#include "WinTestSupport.h"

using namespace wintest;

namespace {

class WinMessageTest : public WinTest {};

TEST_F(WinMessageTest, SentMessagesRunAtOncePostedOnesWaitForTheLoop) {
    HWND w = MakeTop(10, 10, 100, 100);
    Pump();
    Log().clear();
    EXPECT_EQ(SendMessageW(w, WM_USER + 1, 7, 8), 0);
    ASSERT_EQ(CountOf(w, WM_USER + 1), 1);
    EXPECT_EQ(SeenBy(w, WM_USER + 1)[0].WParam, 7u);

    EXPECT_TRUE(PostMessageW(w, WM_USER + 2, 1, 2));
    EXPECT_EQ(CountOf(w, WM_USER + 2), 0);
    Pump();
    EXPECT_EQ(CountOf(w, WM_USER + 2), 1);
}

TEST_F(WinMessageTest, SendReturnsTheProcedureResultAndDeadHandlesGiveZero) {
    HWND w = MakeTop(0, 0, 10, 10);
    Handlers()[w] = [](HWND, UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_USER) return static_cast<LRESULT>(wp * 2);
        return std::nullopt;
    };
    EXPECT_EQ(SendMessageW(w, WM_USER, 21, 0), 42);
    DestroyWindow(w);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(SendMessageW(w, WM_USER, 21, 0), 0);
    EXPECT_FALSE(PostMessageW(w, WM_USER, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_FALSE(DestroyWindow(w));
    EXPECT_EQ(GetWindowLongPtrW(w, GWL_STYLE), 0);
    RECT rc;
    EXPECT_FALSE(GetWindowRect(w, &rc));
}

TEST_F(WinMessageTest, HandlesAreNeverReused) {
    HWND a = MakeTop(0, 0, 10, 10);
    DestroyWindow(a);
    HWND b = MakeTop(0, 0, 10, 10);
    EXPECT_NE(a, b);
    platform::headless::Install();
    RegisterClasses();
    HWND c = MakeTop(0, 0, 10, 10);
    EXPECT_NE(c, a);
    EXPECT_NE(c, b);
}

TEST_F(WinMessageTest, RetrievalOrderIsPostedThenQuitThenPaintThenTimer) {
    HWND w = MakeTop(0, 0, 50, 50);
    Pump();
    SetTimer(w, 5, 10, nullptr);
    platform::headless::AdvanceClock(20);
    InvalidateRect(w, nullptr, FALSE);
    PostMessageW(w, WM_USER, 0, 0);
    PostQuitMessage(3);

    MSG m;
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_USER);
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 3u);
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_PAINT);
    // Paint stays until the window is validated.
    DispatchMessageW(&m);
    ASSERT_TRUE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_TIMER);
    EXPECT_EQ(m.wParam, 5u);
    EXPECT_FALSE(PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WinMessageTest, GetMessageReturnsZeroForQuitAndFiltersByWindowAndRange) {
    HWND a = MakeTop(0, 0, 10, 10);
    HWND b = MakeTop(0, 0, 10, 10);
    HWND child = MakeChild(a, 0, 0, 5, 5);
    Pump();
    PostMessageW(b, WM_USER + 1, 0, 0);
    PostMessageW(child, WM_USER + 2, 0, 0);
    PostMessageW(nullptr, WM_USER + 3, 0, 0);

    MSG m;
    ASSERT_TRUE(PeekMessageW(&m, a, 0, 0, PM_REMOVE)); // the filter includes descendants
    EXPECT_EQ(m.hwnd, child);
    ASSERT_TRUE(PeekMessageW(&m, HandleFromInt<HWND>(-1), 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_USER + 3u);
    EXPECT_FALSE(PeekMessageW(&m, nullptr, WM_USER + 2, WM_USER + 3, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageW(&m, nullptr, WM_USER + 1, WM_USER + 1, PM_NOREMOVE));
    ASSERT_TRUE(GetMessageW(&m, nullptr, 0, 0));
    EXPECT_EQ(m.hwnd, b);

    PostQuitMessage(9);
    EXPECT_EQ(GetMessageW(&m, nullptr, 0, 0), FALSE);
    EXPECT_EQ(m.wParam, 9u);
    EXPECT_EQ(GetMessageW(&m, HandleFromInt<HWND>(0x12345678), 0, 0), -1);
}

TEST_F(WinMessageTest, CreationAndDestructionSendTheWindowsSequence) {
    HWND parent = MakeTop(0, 0, 100, 100);
    HWND child = MakeChild(parent, 1, 2, 30, 40);
    const auto created = Sequence(child, {WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE,
                                          WM_SHOWWINDOW, WM_WINDOWPOSCHANGED});
    const std::vector<UINT> expected{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE,          WM_SIZE,
                                     WM_MOVE,     WM_SHOWWINDOW, WM_WINDOWPOSCHANGED};
    EXPECT_EQ(created, expected);
    EXPECT_EQ(CountOf(parent, WM_PARENTNOTIFY), 1);
    Log().clear();
    DestroyWindow(parent);
    // WM_DESTROY goes down the tree first, WM_NCDESTROY comes back up.
    std::vector<std::pair<HWND, UINT>> order;
    for (const Seen& s : Log())
        if (s.Message == WM_DESTROY || s.Message == WM_NCDESTROY)
            order.emplace_back(s.Hwnd, s.Message);
    const std::vector<std::pair<HWND, UINT>> want{
        {parent, WM_DESTROY}, {child, WM_DESTROY}, {child, WM_NCDESTROY}, {parent, WM_NCDESTROY}};
    EXPECT_EQ(order, want);
    EXPECT_FALSE(IsWindow(child));
}

TEST_F(WinMessageTest, FailedCreationLeavesNoWindow) {
    WNDCLASSW wc;
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_CREATE) return -1;
        return DefWindowProcW(h, m, w, l);
    };
    wc.lpszClassName = u"Refuses";
    ASSERT_TRUE(RegisterClassW(&wc));
    EXPECT_EQ(CreateWindowExW(0, u"Refuses", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
    EXPECT_EQ(FindWindowW(u"Refuses", nullptr), nullptr);
    EXPECT_EQ(GetTopWindow(nullptr), nullptr);
}

// Subclassing: a replacement procedure installed with SetWindowLongPtrW sees
// messages first and passes them on with CallWindowProcW.
WNDPROC gPrevious = nullptr;
int gSubclassSeen = 0;
LRESULT Subclass(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_USER + 5) {
        ++gSubclassSeen;
        return 99;
    }
    return CallWindowProcW(gPrevious, h, m, w, l);
}

TEST_F(WinMessageTest, SubclassingReplacesAndChainsTheProcedure) {
    HWND w = MakeTop(0, 0, 10, 10);
    gSubclassSeen = 0;
    gPrevious = LongToWndProc(SetWindowLongPtrW(w, GWLP_WNDPROC, WndProcToLong(Subclass)));
    EXPECT_EQ(gPrevious, RecordingProc);
    EXPECT_EQ(LongToWndProc(GetWindowLongPtrW(w, GWLP_WNDPROC)), Subclass);
    Log().clear();
    EXPECT_EQ(SendMessageW(w, WM_USER + 5, 0, 0), 99);
    EXPECT_EQ(gSubclassSeen, 1);
    EXPECT_EQ(CountOf(w, WM_USER + 5), 0);
    SendMessageW(w, WM_USER + 6, 0, 0);
    EXPECT_EQ(CountOf(w, WM_USER + 6), 1); // passed on to the original
    // Posted messages reach the replacement too.
    PostMessageW(w, WM_USER + 5, 0, 0);
    Pump();
    EXPECT_EQ(gSubclassSeen, 2);
    // Putting the old procedure back ends the subclassing.
    SetWindowLongPtrW(w, GWLP_WNDPROC, WndProcToLong(gPrevious));
    SendMessageW(w, WM_USER + 5, 0, 0);
    EXPECT_EQ(gSubclassSeen, 2);
}

struct HookCall {
    UINT Message;
    HWND Hwnd;
    WPARAM FromThread;
};
std::vector<HookCall> gHookCalls;
HHOOK gFirstHook = nullptr;
LRESULT FirstHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
    gHookCalls.push_back({cwp->message, cwp->hwnd, wParam});
    return CallNextHookEx(gFirstHook, code, wParam, lParam);
}
int gSecondHookCalls = 0;
LRESULT SecondHook(int code, WPARAM wParam, LPARAM lParam) {
    ++gSecondHookCalls;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(WinMessageTest, CallWndProcHookSeesSentMessagesBeforeTheWindow) {
    gHookCalls.clear();
    gSecondHookCalls = 0;
    HHOOK second = SetWindowsHookExW(WH_CALLWNDPROC, SecondHook, nullptr, GetCurrentThreadId());
    gFirstHook = SetWindowsHookExW(WH_CALLWNDPROC, FirstHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(gFirstHook, nullptr);

    HWND w = MakeTop(0, 0, 10, 10, WS_POPUP);
    // The layer's own WM_CREATE reports "not sent by the thread".
    auto create = std::find_if(gHookCalls.begin(), gHookCalls.end(),
                               [&](const HookCall& c) { return c.Message == WM_CREATE; });
    ASSERT_NE(create, gHookCalls.end());
    EXPECT_EQ(create->Hwnd, w);
    EXPECT_EQ(create->FromThread, 0u);
    // The newest hook runs first and passes the call on to the older one.
    EXPECT_EQ(gSecondHookCalls, static_cast<int>(gHookCalls.size()));

    gHookCalls.clear();
    SendMessageW(w, WM_USER + 9, 0, 0);
    ASSERT_EQ(gHookCalls.size(), 1u);
    EXPECT_EQ(gHookCalls[0].FromThread, 1u);
    // Posted messages do not pass the hook.
    PostMessageW(w, WM_USER + 10, 0, 0);
    Pump();
    EXPECT_TRUE(std::none_of(gHookCalls.begin(), gHookCalls.end(),
                             [](const HookCall& c) { return c.Message == WM_USER + 10; }));

    EXPECT_TRUE(UnhookWindowsHookEx(gFirstHook));
    EXPECT_FALSE(UnhookWindowsHookEx(gFirstHook));
    gHookCalls.clear();
    SendMessageW(w, WM_USER + 9, 0, 0);
    EXPECT_TRUE(gHookCalls.empty());
    EXPECT_TRUE(UnhookWindowsHookEx(second));
}

} // namespace
