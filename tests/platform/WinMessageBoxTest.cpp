// The message box runs its own loop: a key dismisses it, its owner is
// disabled meanwhile, and a quit request met inside survives it.
#include "WinTestSupport.h"

using namespace wintest;
namespace hl = platform::headless;

namespace {

class WinMessageBoxTest : public WinTest {};

bool gOwnerDisabledDuringBox = false;
HWND gOwner = nullptr;
bool gBoxSeen = false;
void Probe(HWND, UINT, UINT_PTR, DWORD) {
    gOwnerDisabledDuringBox = !IsWindowEnabled(gOwner);
    HWND box = FindWindowW(kMessageBoxClass, u"Title");
    gBoxSeen = box && IsWindowVisible(box) && GetActiveWindow() == box;
}

TEST_F(WinMessageBoxTest, EnterDismissesWithOkAndTheOwnerComesBack) {
    gOwner = MakeTop(100, 100, 300, 200);
    Pump();
    gBoxSeen = gOwnerDisabledDuringBox = false;
    SetTimer(nullptr, 0, 10, Probe);
    hl::AdvanceClock(10);
    // The key waits in the input queue until the box's loop takes it.
    hl::KeyDown(VK_RETURN, U'\r');
    // The timer runs first (input after the timer would be consumed before it).
    const int r =
        MessageBoxW(gOwner, u"找不到字体文件 HP-15C_Simulator_Font_2.TTF，无法正常显示字体",
                    u"Title", MB_ICONERROR);
    EXPECT_EQ(r, IDOK);
    EXPECT_TRUE(IsWindowEnabled(gOwner));
    EXPECT_EQ(FindWindowW(kMessageBoxClass, nullptr), nullptr);
    EXPECT_EQ(GetActiveWindow(), gOwner);
}

TEST_F(WinMessageBoxTest, ProbeSeesTheBoxWhileItRuns) {
    gOwner = MakeTop(100, 100, 300, 200);
    Pump();
    gBoxSeen = gOwnerDisabledDuringBox = false;
    SetTimer(nullptr, 0, 10, Probe);
    // No input yet: the timer fires inside the box's loop, then Escape ends it.
    struct Later {
        static void Key(HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            hl::KeyDown(VK_ESCAPE, U'\x1b');
        }
    };
    SetTimer(nullptr, 0, 20, Later::Key);
    const int r = MessageBoxW(gOwner, u"text", u"Title", MB_OKCANCEL | MB_ICONWARNING);
    EXPECT_EQ(r, IDCANCEL);
    EXPECT_TRUE(gBoxSeen);
    EXPECT_TRUE(gOwnerDisabledDuringBox);
}

TEST_F(WinMessageBoxTest, QuitInsideTheBoxEndsItAndIsKept) {
    struct Later {
        static void Quit(HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            PostQuitMessage(2);
        }
    };
    SetTimer(nullptr, 0, 10, Later::Quit);
    const int r = MessageBoxW(nullptr, u"text", nullptr, MB_YESNO);
    EXPECT_EQ(r, IDYES);
    MSG m;
    EXPECT_EQ(GetMessageW(&m, nullptr, 0, 0), FALSE);
    EXPECT_EQ(m.wParam, 2u);
}

TEST_F(WinMessageBoxTest, ClickOnAButtonAnswersIt) {
    struct Later {
        static void Click(HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            HWND box = FindWindowW(kMessageBoxClass, nullptr);
            RECT rc;
            GetWindowRect(box, &rc);
            // The right-most button of a Yes/No box is No; it sits 12 px from
            // the right edge of the client area, 23 px high at the bottom band.
            POINT p{-12 - 30, -21};
            RECT client;
            GetClientRect(box, &client);
            p.x += client.right;
            p.y += client.bottom;
            ClientToScreen(box, &p);
            hl::MouseMove(p.x, p.y);
            hl::MouseDown();
            hl::MouseUp();
        }
    };
    SetTimer(nullptr, 0, 10, Later::Click);
    EXPECT_EQ(MessageBoxW(nullptr, u"text", u"caption", MB_YESNO | MB_ICONQUESTION), IDNO);
}

} // namespace
