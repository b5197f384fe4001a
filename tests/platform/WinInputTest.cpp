// Input routing: hit tests decide between client and non-client messages,
// capture redirects the pointer, TrackMouseEvent ends in WM_MOUSELEAVE,
// double-clicks need CS_DBLCLKS, keys reach the focus window, and a press on
// the caption moves the window.
#include "WinBackend.h"
#include "WinTestSupport.h"

using namespace wintest;
namespace hl = platform::headless;

namespace {

class WinInputTest : public WinTest {};

TEST_F(WinInputTest, HitTestDecidesClientOrNonClientMessages) {
    HWND w = MakeTop(100, 100, 200, 100);
    Handlers()[w] = [](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
        if (m != WM_NCHITTEST) return std::nullopt;
        return GET_Y_LPARAM(l) < 120 ? HTCAPTION : HTCLIENT;
    };
    Pump();
    Log().clear();
    hl::MouseMove(150, 110);
    Pump();
    ASSERT_EQ(CountOf(w, WM_NCMOUSEMOVE), 1);
    EXPECT_EQ(SeenBy(w, WM_NCMOUSEMOVE)[0].WParam, static_cast<WPARAM>(HTCAPTION));
    EXPECT_EQ(GET_X_LPARAM(SeenBy(w, WM_NCMOUSEMOVE)[0].LParam), 150); // screen coordinates
    hl::MouseMove(150, 150);
    Pump();
    ASSERT_EQ(CountOf(w, WM_MOUSEMOVE), 1);
    const Seen move = SeenBy(w, WM_MOUSEMOVE)[0];
    EXPECT_EQ(GET_X_LPARAM(move.LParam), 50); // client coordinates
    EXPECT_EQ(GET_Y_LPARAM(move.LParam), 50);
    // Every pointer event asks for the cursor: hit code and mouse message.
    const auto cursor = SeenBy(w, WM_SETCURSOR);
    ASSERT_FALSE(cursor.empty());
    EXPECT_EQ(LOWORD(static_cast<DWORD_PTR>(cursor.back().LParam)), HTCLIENT);
    EXPECT_EQ(HIWORD(static_cast<DWORD_PTR>(cursor.back().LParam)), WM_MOUSEMOVE);
}

TEST_F(WinInputTest, PointerGoesToTheTopmostEnabledChildAndThroughTransparentOnes) {
    HWND top = MakeTop(0, 0, 100, 100);
    HWND lower = MakeChild(top, 10, 10, 50, 50);
    HWND upper = MakeChild(top, 10, 10, 50, 50); // created last: on top
    Pump();
    hl::Click(20, 20);
    EXPECT_EQ(CountOf(upper, WM_LBUTTONDOWN), 1);
    EXPECT_EQ(CountOf(lower, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(WindowFromPoint(POINT{20, 20}), upper);

    Handlers()[upper] = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_NCHITTEST) return HTTRANSPARENT;
        return std::nullopt;
    };
    hl::Click(20, 20);
    EXPECT_EQ(CountOf(lower, WM_LBUTTONDOWN), 1);
    EXPECT_EQ(WindowFromPoint(POINT{20, 20}), lower);

    EnableWindow(lower, FALSE);
    hl::Click(20, 20);
    EXPECT_EQ(CountOf(lower, WM_LBUTTONDOWN), 1);
    EXPECT_EQ(CountOf(top, WM_LBUTTONDOWN), 1); // disabled children let the parent have it
    EXPECT_EQ(ChildWindowFromPoint(top, POINT{20, 20}), upper);
}

TEST_F(WinInputTest, CaptureKeepsThePointerAndReleaseNotifies) {
    HWND top = MakeTop(0, 0, 100, 100);
    HWND a = MakeChild(top, 0, 0, 50, 50);
    HWND b = MakeChild(top, 50, 0, 50, 50);
    Pump();
    hl::MouseMove(10, 10);
    Pump();
    SetCapture(a);
    EXPECT_EQ(GetCapture(), a);
    hl::MouseMove(70, 10);
    hl::MouseUp();
    Pump();
    EXPECT_EQ(CountOf(b, WM_MOUSEMOVE), 0);
    ASSERT_GE(CountOf(a, WM_MOUSEMOVE), 2);
    EXPECT_EQ(GET_X_LPARAM(SeenBy(a, WM_MOUSEMOVE).back().LParam), 70);
    EXPECT_EQ(CountOf(a, WM_LBUTTONUP), 1);
    SetCapture(b);
    ASSERT_EQ(CountOf(a, WM_CAPTURECHANGED), 1);
    EXPECT_EQ(SeenBy(a, WM_CAPTURECHANGED)[0].LParam, reinterpret_cast<LPARAM>(b));
    ReleaseCapture();
    EXPECT_EQ(CountOf(b, WM_CAPTURECHANGED), 1);
    EXPECT_EQ(GetCapture(), nullptr);
    // A destroyed capture window no longer holds the pointer.
    SetCapture(a);
    DestroyWindow(a);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WinInputTest, TrackMouseEventPostsLeaveWhenThePointerLeaves) {
    HWND top = MakeTop(0, 0, 100, 100);
    HWND button = MakeChild(top, 10, 10, 20, 20);
    Pump();
    TRACKMOUSEEVENT tme;
    tme.dwFlags = TME_LEAVE;
    tme.hwndTrack = button;
    // Not over the button: the leave is due at once.
    TrackMouseEvent(&tme);
    Pump();
    EXPECT_EQ(CountOf(button, WM_MOUSELEAVE), 1);

    hl::MouseMove(15, 15);
    Pump();
    TrackMouseEvent(&tme);
    hl::MouseMove(20, 20);
    Pump();
    EXPECT_EQ(CountOf(button, WM_MOUSELEAVE), 1);
    // Leaving while captured (a held button dragged off) still reports the leave.
    SetCapture(button);
    hl::MouseMove(60, 60);
    Pump();
    EXPECT_EQ(CountOf(button, WM_MOUSELEAVE), 2);
    EXPECT_EQ(CountOf(button, WM_MOUSEMOVE), 3); // the capture still routes the move
    ReleaseCapture();
    // Tracking ends with the leave: no second one.
    hl::MouseMove(61, 61);
    Pump();
    EXPECT_EQ(CountOf(button, WM_MOUSELEAVE), 2);
    // Leaving the display ends tracking too.
    hl::MouseMove(15, 15);
    Pump();
    TrackMouseEvent(&tme);
    platform::win::PointerLeftDisplay();
    Pump();
    EXPECT_EQ(CountOf(button, WM_MOUSELEAVE), 3);
}

TEST_F(WinInputTest, DoubleClicksOnlyForClassesThatAskForThem) {
    HWND plain = MakeTop(0, 0, 50, 50);
    HWND dbl = MakeTop(100, 0, 50, 50, WS_POPUP | WS_VISIBLE, 0, kDblClass);
    Pump();
    hl::Click(10, 10);
    hl::Click(10, 10);
    EXPECT_EQ(CountOf(plain, WM_LBUTTONDOWN), 2);
    EXPECT_EQ(CountOf(plain, WM_LBUTTONDBLCLK), 0);
    hl::Click(110, 10);
    hl::Click(111, 11);
    hl::Click(110, 10); // a third press starts over
    EXPECT_EQ(CountOf(dbl, WM_LBUTTONDOWN), 2);
    EXPECT_EQ(CountOf(dbl, WM_LBUTTONDBLCLK), 1);
    EXPECT_EQ(CountOf(dbl, WM_LBUTTONUP), 3);
    // Too slow or too far is two single clicks.
    hl::AdvanceClock(1000);
    hl::Click(110, 10);
    hl::AdvanceClock(GetDoubleClickTime() + 1);
    hl::Click(110, 10);
    hl::Click(130, 10);
    EXPECT_EQ(CountOf(dbl, WM_LBUTTONDBLCLK), 1);
}

TEST_F(WinInputTest, KeysGoToTheFocusAndTranslateAddsCharacters) {
    HWND top = MakeTop(0, 0, 100, 100);
    HWND edit = MakeChild(top, 0, 0, 10, 10);
    Pump();
    SetFocus(edit);
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(GetActiveWindow(), top);
    EXPECT_EQ(CountOf(edit, WM_SETFOCUS), 1);
    hl::KeyDown('A', U'a');
    hl::KeyUp('A');
    hl::KeyDown(VK_SHIFT);
    hl::KeyDown(VK_RETURN, U'\r');
    Pump();
    EXPECT_EQ(CountOf(edit, WM_KEYDOWN), 3);
    const auto chars = SeenBy(edit, WM_CHAR);
    ASSERT_EQ(chars.size(), 2u);
    EXPECT_EQ(chars[0].WParam, static_cast<WPARAM>('a'));
    EXPECT_EQ(chars[1].WParam, static_cast<WPARAM>('\r'));
    EXPECT_TRUE(GetKeyState(VK_SHIFT) & 0x8000);
    hl::KeyUp(VK_SHIFT);
    Pump();
    EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000);
    // Characters outside the basic plane arrive as two surrogates.
    hl::KeyDown('X', U'\U0001F600');
    Pump();
    const auto more = SeenBy(edit, WM_CHAR);
    ASSERT_EQ(more.size(), 4u);
    EXPECT_EQ(more[2].WParam, 0xD83Du);
    EXPECT_EQ(more[3].WParam, 0xDE00u);
    // Alt makes system keys.
    hl::KeyDown(VK_MENU);
    hl::KeyDown('F', U'f');
    Pump();
    EXPECT_EQ(CountOf(edit, WM_SYSKEYDOWN), 2);
    EXPECT_EQ(CountOf(edit, WM_SYSCHAR), 1);
    SetFocus(top);
    EXPECT_EQ(CountOf(edit, WM_KILLFOCUS), 1);
}

TEST_F(WinInputTest, ClickActivatesAndAltF4Closes) {
    HWND a = MakeTop(0, 0, 50, 50);
    HWND b = MakeTop(100, 0, 50, 50);
    Pump();
    EXPECT_EQ(GetActiveWindow(), b);
    hl::Click(10, 10);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(CountOf(a, WM_MOUSEACTIVATE), 1);
    EXPECT_EQ(GetTopWindow(nullptr), a);
    hl::KeyDown(VK_MENU);
    hl::KeyDown(VK_F4);
    Pump();
    EXPECT_FALSE(IsWindow(a));
}

TEST_F(WinInputTest, CaptionDragMovesTheWindow) {
    HWND w = MakeTop(100, 100, 200, 100);
    Handlers()[w] = CaptionBand(20);
    Pump();
    hl::MouseMove(150, 105);
    Pump();
    hl::MouseDown();
    hl::MouseMove(170, 125);
    hl::MouseMove(180, 145);
    hl::MouseUp();
    Pump();
    RECT rc;
    GetWindowRect(w, &rc);
    EXPECT_EQ(rc.left, 130);
    EXPECT_EQ(rc.top, 140);
    EXPECT_EQ(rc.right, 330);
    EXPECT_EQ(CountOf(w, WM_ENTERSIZEMOVE), 1);
    EXPECT_EQ(CountOf(w, WM_EXITSIZEMOVE), 1);
    EXPECT_GE(CountOf(w, WM_MOVING), 1);
    EXPECT_EQ(GetCapture(), nullptr);
    // The moves were the loop's own: the window saw no client mouse moves from them.
    EXPECT_EQ(CountOf(w, WM_LBUTTONUP), 0);
}

TEST_F(WinInputTest, ProgramStartedMoveBeginsAtThePointer) {
    // A border window answers a private hit code and starts the move itself
    // with SC_MOVE + 1, which carries no point.
    HWND w = MakeTop(100, 100, 200, 100);
    Handlers()[w] = [](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_NCHITTEST) return HTOBJECT;
        if (m == WM_NCLBUTTONDOWN) {
            ReleaseCapture();
            SendMessageW(h, WM_SYSCOMMAND, SC_MOVE + 1, 0);
            return 0;
        }
        return std::nullopt;
    };
    Pump();
    hl::MouseMove(150, 150);
    Pump();
    hl::MouseDown();
    hl::MouseMove(170, 160);
    hl::MouseUp();
    Pump();
    RECT rc;
    GetWindowRect(w, &rc);
    EXPECT_EQ(rc.left, 120);
    EXPECT_EQ(rc.top, 110);
}

} // namespace
