// Inside the window system: the one model that both back-ends serve. Every
// unit of the layer reaches the windows, classes, queue, timers, hooks and
// device contexts through State(). Not part of the public interface.
#pragma once

#include "WinObjects.h"
#include "WinRegionData.h"
#include "WinTypes.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform::win {

class Backend;

struct WindowClass {
    std::u16string Name;
    ATOM Atom = 0;
    WNDCLASSEXW Info; // lpszClassName points at Name
    std::vector<std::uint8_t> Extra;
};

struct WindowData {
    HWND Handle = nullptr;
    std::shared_ptr<WindowClass> Class;
    WNDPROC Proc = nullptr;
    DWORD Style = 0, ExStyle = 0;
    HWND Parent = nullptr; // null for top-level windows
    HWND Owner = nullptr;
    bool MessageOnly = false;
    RECT Rect;   // window rectangle in the parent's client coordinates (screen for top-level)
    RECT Client; // client rectangle in window coordinates
    std::vector<HWND> Children; // z-order, topmost first
    std::u16string Text;
    LONG_PTR UserData = 0, Id = 0;
    HINSTANCE Instance = nullptr;
    std::vector<std::uint8_t> Extra;
    std::map<std::u16string, HANDLE> Props;
    std::optional<RegionData> WindowRgn; // window coordinates, owned by the system
    RECT NormalRect;                     // placement to restore from minimized/maximized

    // Painting state: the update region is kept in window coordinates.
    RegionData Update;
    bool NcPaintPending = false;
    bool ErasePending = false;
    bool InternalPaint = false;

    // Top-level windows: the back buffer every DC of the tree draws into, and
    // the part of it not yet handed to the back-end.
    std::shared_ptr<BitmapObject> Buffer;
    RECT Dirty;

    // Layered windows.
    bool LayeredAttributes = false;
    BYTE LayeredAlpha = 255;
    COLORREF LayeredKey = 0;
    DWORD LayeredFlags = 0;
    std::shared_ptr<BitmapObject> LayeredContent; // premultiplied, from UpdateLayeredWindow

    HDC OwnDc = nullptr; // CS_OWNDC: the one DC GetDC and BeginPaint hand out

    bool Destroying = false;
    bool Created = false; // WM_CREATE done
    bool Shown = false;   // the back-end shows it (top-level only)
    bool Redraw = true;   // WM_SETREDRAW
    bool TrackNonClient = false;
};

struct DcState {
    HGDIOBJ Pen = nullptr, Brush = nullptr, Font = nullptr, Bitmap = nullptr;
    std::shared_ptr<PenObject> PenData;
    std::shared_ptr<BrushObject> BrushData;
    std::shared_ptr<FontObject> FontData;
    std::shared_ptr<BitmapObject> BitmapData;
    COLORREF TextColor = 0, BkColor = 0xFFFFFF;
    COLORREF DcBrushColor = 0xFFFFFF, DcPenColor = 0;
    int BkMode = 2; // OPAQUE
    UINT TextAlign = 0;
    int Rop2 = 13; // R2_COPYPEN
    int StretchMode = 1;
    int MapMode = 1;
    POINT ViewportOrg, WindowOrg, BrushOrg, CurrentPos;
    std::optional<RegionData> Clip; // device coordinates
};

enum class DcKind { Memory, Client, Window, Screen };

struct DcData {
    HDC Handle = nullptr;
    DcKind Kind = DcKind::Memory;
    HWND Hwnd = nullptr;
    bool ClipChildren = true;           // GetDCEx flags
    std::optional<RegionData> PaintRgn; // BeginPaint: the update region, device coordinates
    DcState S;
    std::vector<DcState> Saved;
};

struct TimerData {
    HWND Hwnd = nullptr;
    UINT_PTR Id = 0;
    UINT Elapse = 0;
    TIMERPROC Proc = nullptr;
    std::uint64_t Due = 0;
};

struct HookData {
    HHOOK Handle = nullptr;
    int Kind = 0;
    HOOKPROC Proc = nullptr;
};

// Raw input as the back-end reports it; it becomes a window message when it
// is taken from the queue, after the hit test at that time.
struct InputEvent {
    enum Type {
        PointerMove,
        PointerDown,
        PointerUp,
        Wheel,
        PointerLeave,
        KeyDown,
        KeyUp
    } Kind = PointerMove;
    POINT Screen;   // pointer position
    int Button = 0; // 0 left, 1 right, 2 middle
    int WheelDelta = 0;
    UINT Vk = 0;
    char32_t Char = 0; // text the key produces, 0 when none
    DWORD Time = 0;
    DWORD Serial = 0;
    std::optional<MSG> Converted; // already routed (a peek without removal)
};

struct MouseTracking {
    HWND Hwnd = nullptr;
    DWORD Flags = 0;
};

struct ClickRecord {
    HWND Hwnd = nullptr;
    UINT Message = 0; // the button-down message of the last click
    DWORD Time = 0;
    POINT Screen;
};

struct WinState {
    std::unordered_map<ULONG_PTR, std::shared_ptr<WindowData>> Windows;
    std::vector<HWND> TopLevels; // z-order, topmost first
    std::vector<std::shared_ptr<WindowClass>> Classes;
    ATOM NextAtom = 0xC000;
    std::unordered_map<ULONG_PTR, std::shared_ptr<DcData>> Dcs;

    std::deque<MSG> Posted;
    bool QuitPending = false;
    int QuitCode = 0;
    std::deque<InputEvent> Input;
    DWORD InputSerial = 0;
    std::vector<std::pair<DWORD, char32_t>> PendingChars; // key serial -> text (TranslateMessage)
    std::vector<TimerData> Timers;
    UINT_PTR NextThreadTimerId = 0x7FFF;
    std::vector<HookData> Hooks;

    HWND Capture = nullptr;
    HWND Focus = nullptr;
    HWND Active = nullptr;
    MouseTracking Tracking;
    ClickRecord LastClick;
    POINT CursorPos;
    HCURSOR Cursor = nullptr;
    BYTE KeyState[256] = {};      // as of the input taken so far (GetKeyState)
    BYTE AsyncKeyState[256] = {}; // as the devices reported it (GetAsyncKeyState)
    bool InputSuspended = false;  // the move loop reads input itself
    DWORD MessageTime = 0;
    POINT MessagePos;
    int MoveLoopDepth = 0;

    std::unique_ptr<Backend> TheBackend;
};

WinState& State();
// The installed back-end; the first call installs the default one (X11 when a
// display can be opened, headless otherwise).
Backend& CurrentBackend();

std::shared_ptr<WindowData> FindWindowData(HWND hwnd);
// Top-level ancestor (the window itself when it is top-level).
HWND TopLevelOf(HWND hwnd);
// Window rectangle in the coordinates of its top-level window's buffer.
RECT RectInTopLevel(const WindowData& w);
// Offset from the window's top-left corner to screen coordinates.
POINT WindowOriginOnScreen(const WindowData& w);
// Client area origin on screen.
POINT ClientOriginOnScreen(const WindowData& w);
// Visible: the window and all its ancestors have WS_VISIBLE.
bool IsReallyVisible(const WindowData& w);

// Sends a message generated by the layer itself (the WH_CALLWNDPROC hooks see
// "not sent by the current thread").
LRESULT SendSystemMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace platform::win
