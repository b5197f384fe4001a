#include "WinX11.h"

#include "TextUnicode.h"
#include "WinBackend.h"
#include "WinInternal.h"
#include "WinLayered.h"
#include "WinRect.h"
#include "WinStyles.h"
#include "WinSystem.h"
#include "WinX11Keys.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <string>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

// The X headers come last: they define macros (None, Bool, Status, ...).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/shape.h>

namespace platform::win {

namespace {

int gLastXError = 0;
int RecordXError(Display*, XErrorEvent* e) {
    gLastXError = e->error_code;
    return 0;
}

std::uint64_t MonotonicMs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000 +
           static_cast<std::uint64_t>(ts.tv_nsec) / 1000000;
}

// The pixel layout of an image: where each 8-bit channel sits.
struct ChannelShifts {
    int Red = 16, Green = 8, Blue = 0;
    bool Direct = true; // 0x00RRGGBB in little-endian 32-bit words: rows copy as they are
};

int ShiftOf(unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// One top-level window on the display.
struct XTop {
    Window Xid = 0;
    bool Argb = false;
    bool Mapped = false;
    bool WantFocus = false;
    GC Gc = nullptr;
    XImage* Image = nullptr;
    XShmSegmentInfo Shm{};
    bool UsesShm = false;
    std::vector<char> Memory;
    int Width = 0, Height = 0;
};

class X11Backend final : public Backend {
public:
    explicit X11Backend(Display* dpy) : FDpy(dpy) {
        XSetErrorHandler(RecordXError);
        FScreen = DefaultScreen(dpy);
        FRoot = RootWindow(dpy, FScreen);
        auto atom = [&](const char* name) { return XInternAtom(dpy, name, False); };
        FWmProtocols = atom("WM_PROTOCOLS");
        FWmDelete = atom("WM_DELETE_WINDOW");
        FMoveResize = atom("_NET_WM_MOVERESIZE");
        FOpacity = atom("_NET_WM_WINDOW_OPACITY");
        FMotifHints = atom("_MOTIF_WM_HINTS");
        FNetName = atom("_NET_WM_NAME");
        FUtf8 = atom("UTF8_STRING");
        FNetState = atom("_NET_WM_STATE");
        FStateAbove = atom("_NET_WM_STATE_ABOVE");
        FStateSkipTaskbar = atom("_NET_WM_STATE_SKIP_TASKBAR");
        FWindowType = atom("_NET_WM_WINDOW_TYPE");
        FTypeNormal = atom("_NET_WM_WINDOW_TYPE_NORMAL");
        FTypeDialog = atom("_NET_WM_WINDOW_TYPE_DIALOG");
        FWorkArea = atom("_NET_WORKAREA");
        int major = 0, minor = 0;
        Bool pixmaps = False;
        FShm = XShmQueryVersion(dpy, &major, &minor, &pixmaps);
        int shapeEvent = 0, shapeError = 0;
        FShape = XShapeQueryExtension(dpy, &shapeEvent, &shapeError);
        XVisualInfo info;
        if (XMatchVisualInfo(dpy, FScreen, 32, TrueColor, &info)) {
            FArgbVisual = info.visual;
            FArgbColormap = XCreateColormap(dpy, FRoot, FArgbVisual, AllocNone);
        }
        FMoveResizeSupported = WindowManagerSupports(FMoveResize);
    }

    ~X11Backend() override {
        for (auto& [h, t] : FTops)
            DestroyX(t);
        for (auto& [id, c] : FCursors)
            XFreeCursor(FDpy, c);
        if (FArgbColormap) XFreeColormap(FDpy, FArgbColormap);
        XCloseDisplay(FDpy);
    }

    unsigned long XidOf(HWND hwnd) const {
        auto it = FTops.find(hwnd);
        return it == FTops.end() ? 0 : it->second.Xid;
    }

    std::uint64_t Now() override { return MonotonicMs(); }

    int Poll(std::vector<PollItem>& items, int timeoutMs, bool withDisplay) override {
        XFlush(FDpy);
        // Events Xlib has already read would never wake the poll.
        if (withDisplay && XEventsQueued(FDpy, QueuedAlready) > 0) return 0;
        std::vector<pollfd> fds;
        fds.reserve(items.size() + 1);
        for (const PollItem& i : items) {
            short e = 0;
            if (i.Events & 1) e |= POLLIN;
            if (i.Events & 2) e |= POLLOUT;
            fds.push_back(pollfd{i.Fd, e, 0});
        }
        if (withDisplay) fds.push_back(pollfd{ConnectionNumber(FDpy), POLLIN, 0});
        int n;
        do {
            n = ::poll(fds.data(), fds.size(), timeoutMs);
        } while (n < 0 && errno == EINTR);
        if (n < 0) return -1;
        int ready = 0;
        for (std::size_t i = 0; i < items.size(); ++i) {
            const short r = fds[i].revents;
            unsigned bits = 0;
            if (r & POLLIN) bits |= 1;
            if (r & POLLOUT) bits |= 2;
            if (r & (POLLERR | POLLNVAL)) bits |= 4;
            if (r & POLLHUP) bits |= 8;
            items[i].Ready = bits;
            if (bits) ++ready;
        }
        return ready;
    }

    bool ProcessEvents() override {
        bool any = false;
        while (XPending(FDpy) > 0) {
            XEvent e;
            XNextEvent(FDpy, &e);
            Handle(e);
            any = true;
        }
        return any;
    }

    void Flush() override { XFlush(FDpy); }

    RECT ScreenRect() override {
        return RECT{0, 0, DisplayWidth(FDpy, FScreen), DisplayHeight(FDpy, FScreen)};
    }

    RECT WorkArea() override {
        Atom type;
        int format;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        RECT r = ScreenRect();
        if (XGetWindowProperty(FDpy, FRoot, FWorkArea, 0, 4, False, XA_CARDINAL, &type, &format,
                               &count, &after, &data) == Success &&
            data && format == 32 && count >= 4) {
            const long* v = reinterpret_cast<const long*>(data);
            r = RectOfSize(static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                           static_cast<int>(v[3]));
        }
        if (data) XFree(data);
        return r;
    }

    void Show(HWND hwnd, bool visible) override {
        XTop* t = Find(hwnd);
        if (!t) {
            if (!visible) return;
            t = Create(hwnd, WantsArgb(hwnd));
            if (!t) return;
        }
        if (visible) {
            XMapRaised(FDpy, t->Xid);
        } else {
            XWithdrawWindow(FDpy, t->Xid, FScreen);
            t->Mapped = false;
        }
    }

    void Destroyed(HWND hwnd) override {
        auto it = FTops.find(hwnd);
        if (it == FTops.end()) return;
        FByXid.erase(it->second.Xid);
        DestroyX(it->second);
        FTops.erase(it);
    }

    void Moved(HWND hwnd, const RECT& r) override {
        XTop* t = Find(hwnd);
        if (!t) return;
        const int w = std::max(1, Width(r)), h = std::max(1, Height(r));
        if (w != t->Width || h != t->Height) {
            XMoveResizeWindow(FDpy, t->Xid, r.left, r.top, static_cast<unsigned>(w),
                              static_cast<unsigned>(h));
            MakeImage(*t, w, h);
            SizeHints(hwnd, *t);
        } else {
            XMoveWindow(FDpy, t->Xid, r.left, r.top);
        }
    }

    void Retitled(HWND hwnd) override {
        XTop* t = Find(hwnd);
        auto w = FindWindowData(hwnd);
        if (!t || !w) return;
        const std::string title = platform::Utf16ToUtf8(w->Text);
        XStoreName(FDpy, t->Xid, title.c_str());
        XChangeProperty(FDpy, t->Xid, FNetName, FUtf8, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(title.data()),
                        static_cast<int>(title.size()));
    }

    void Restacked(HWND hwnd) override {
        XTop* t = Find(hwnd);
        const auto& tops = State().TopLevels;
        if (t && !tops.empty() && tops.front() == hwnd) XRaiseWindow(FDpy, t->Xid);
    }

    void Reshaped(HWND hwnd) override {
        XTop* t = Find(hwnd);
        auto w = FindWindowData(hwnd);
        if (!t || !w || !FShape) return;
        if (!w->WindowRgn) {
            XShapeCombineMask(FDpy, t->Xid, ShapeBounding, 0, 0, 0L /* None */, ShapeSet);
            XShapeCombineMask(FDpy, t->Xid, ShapeInput, 0, 0, 0L, ShapeSet);
            return;
        }
        std::vector<XRectangle> rects;
        for (const RECT& r : w->WindowRgn->Rects())
            rects.push_back(XRectangle{static_cast<short>(r.left), static_cast<short>(r.top),
                                       static_cast<unsigned short>(Width(r)),
                                       static_cast<unsigned short>(Height(r))});
        for (int kind : {ShapeBounding, ShapeInput})
            XShapeCombineRectangles(FDpy, t->Xid, kind, 0, 0, rects.data(),
                                    static_cast<int>(rects.size()), ShapeSet, YXBanded);
    }

    void Relayered(HWND hwnd) override {
        XTop* t = Find(hwnd);
        auto w = FindWindowData(hwnd);
        if (!t || !w) return;
        if (WantsArgb(hwnd) != t->Argb) {
            // The visual of an X window cannot change: make the window again.
            const bool mapped = t->Mapped || (w->Style & WS_VISIBLE);
            Destroyed(hwnd);
            t = Create(hwnd, WantsArgb(hwnd));
            if (!t) return;
            if (mapped) XMapRaised(FDpy, t->Xid);
        }
        Opacity(hwnd, *t);
    }

    void StyleChanged(HWND hwnd) override {
        XTop* t = Find(hwnd);
        if (!t) return;
        SizeHints(hwnd, *t);
        States(hwnd, *t);
    }

    void Activate(HWND hwnd) override {
        XTop* t = Find(hwnd);
        if (!t) return;
        XRaiseWindow(FDpy, t->Xid);
        if (t->Mapped) {
            gLastXError = 0;
            XSetInputFocus(FDpy, t->Xid, RevertToParent, CurrentTime);
        } else {
            t->WantFocus = true;
        }
    }

    void Minimize(HWND hwnd, bool minimized) override {
        XTop* t = Find(hwnd);
        if (!t) return;
        if (minimized)
            XIconifyWindow(FDpy, t->Xid, FScreen);
        else
            XMapRaised(FDpy, t->Xid);
    }

    void Present(HWND hwnd, const RECT& area) override {
        XTop* t = Find(hwnd);
        auto w = FindWindowData(hwnd);
        if (!t || !w || !t->Image) return;
        const bool layered = w->LayeredContent != nullptr;
        const auto& source = layered ? w->LayeredContent : w->Buffer;
        if (!source) return;
        const Surface s = source->View();
        const RECT r = Intersect(
            area, RectOfSize(0, 0, std::min(s.Width, t->Width), std::min(s.Height, t->Height)));
        if (Empty(r)) return;
        XImage* img = t->Image;
        const ChannelShifts shifts = ShiftsOf(img);
        // Only a window showing its handed-over content uses the alpha byte.
        const std::uint32_t opaque = (t->Argb && !layered) ? 0xFF000000u : 0;
        for (int y = r.top; y < r.bottom; ++y) {
            const std::uint32_t* from = s.Row32(y);
            auto* to = reinterpret_cast<std::uint32_t*>(img->data + y * img->bytes_per_line);
            for (int x = r.left; x < r.right; ++x) {
                const std::uint32_t p = from[x];
                if (shifts.Direct) {
                    to[x] = p | opaque;
                } else {
                    const std::uint32_t red = (p >> 16) & 0xFF, green = (p >> 8) & 0xFF,
                                        blue = p & 0xFF;
                    to[x] = (red << shifts.Red) | (green << shifts.Green) | (blue << shifts.Blue) |
                            (t->Argb ? (layered ? (p & 0xFF000000u) : 0xFF000000u) : 0);
                }
            }
        }
        if (t->UsesShm) {
            XShmPutImage(FDpy, t->Xid, t->Gc, img, r.left, r.top, r.left, r.top,
                         static_cast<unsigned>(Width(r)), static_cast<unsigned>(Height(r)), False);
            // The server reads the segment later; the next change must wait for it.
            XSync(FDpy, False);
        } else {
            XPutImage(FDpy, t->Xid, t->Gc, img, r.left, r.top, r.left, r.top,
                      static_cast<unsigned>(Width(r)), static_cast<unsigned>(Height(r)));
        }
    }

    void SetCursorShape(int id) override {
        const Cursor c = CursorFor(id);
        for (auto& [h, t] : FTops)
            XDefineCursor(FDpy, t.Xid, c);
    }

    void GrabPointer(HWND topLevel) override {
        XTop* t = Find(topLevel);
        if (!t || !t->Mapped) return;
        XGrabPointer(FDpy, t->Xid, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                     GrabModeAsync, GrabModeAsync, 0L, 0L, CurrentTime);
    }

    void UngrabPointer() override { XUngrabPointer(FDpy, CurrentTime); }

    bool SystemMove(HWND hwnd, POINT screen) override {
        XTop* t = Find(hwnd);
        if (!t || !FMoveResizeSupported) return false;
        XUngrabPointer(FDpy, CurrentTime);
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = t->Xid;
        e.xclient.message_type = FMoveResize;
        e.xclient.format = 32;
        e.xclient.data.l[0] = screen.x;
        e.xclient.data.l[1] = screen.y;
        e.xclient.data.l[2] = 8; // _NET_WM_MOVERESIZE_MOVE
        e.xclient.data.l[3] = 1; // left button
        e.xclient.data.l[4] = 1; // normal application
        XSendEvent(FDpy, FRoot, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
        XFlush(FDpy);
        return true;
    }

    bool ButtonDown(int button) override {
        Window root, child;
        int rx, ry, wx, wy;
        unsigned mask = 0;
        XQueryPointer(FDpy, FRoot, &root, &child, &rx, &ry, &wx, &wy, &mask);
        const unsigned bit = button == 1 ? Button3Mask : button == 2 ? Button2Mask : Button1Mask;
        return mask & bit;
    }

    void Beep() override { XBell(FDpy, 0); }

private:
    XTop* Find(HWND hwnd) {
        auto it = FTops.find(hwnd);
        return it == FTops.end() ? nullptr : &it->second;
    }

    HWND HwndOf(Window xid) const {
        auto it = FByXid.find(xid);
        return it == FByXid.end() ? nullptr : it->second;
    }

    bool WantsArgb(HWND hwnd) const {
        auto w = FindWindowData(hwnd);
        return w && FArgbVisual && w->LayeredContent != nullptr;
    }

    ChannelShifts ShiftsOf(const XImage* img) const {
        ChannelShifts s;
        s.Red = ShiftOf(img->red_mask);
        s.Green = ShiftOf(img->green_mask);
        s.Blue = ShiftOf(img->blue_mask);
        s.Direct = img->byte_order == LSBFirst && img->bits_per_pixel == 32 && s.Red == 16 &&
                   s.Green == 8 && s.Blue == 0;
        return s;
    }

    bool WindowManagerSupports(Atom feature) {
        Atom type;
        int format;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        bool found = false;
        const Atom supported = XInternAtom(FDpy, "_NET_SUPPORTED", False);
        const Atom check = XInternAtom(FDpy, "_NET_SUPPORTING_WM_CHECK", False);
        // A window manager that is running names its check window on the root.
        if (XGetWindowProperty(FDpy, FRoot, check, 0, 1, False, XA_WINDOW, &type, &format, &count,
                               &after, &data) != Success ||
            !data || count == 0) {
            if (data) XFree(data);
            return false;
        }
        XFree(data);
        data = nullptr;
        if (XGetWindowProperty(FDpy, FRoot, supported, 0, 4096, False, XA_ATOM, &type, &format,
                               &count, &after, &data) == Success &&
            data) {
            const Atom* atoms = reinterpret_cast<const Atom*>(data);
            for (unsigned long i = 0; i < count && !found; ++i)
                found = atoms[i] == feature;
        }
        if (data) XFree(data);
        return found;
    }

    XTop* Create(HWND hwnd, bool argb) {
        auto w = FindWindowData(hwnd);
        if (!w) return nullptr;
        XTop t;
        t.Argb = argb;
        XSetWindowAttributes a{};
        a.background_pixmap = 0L;
        a.border_pixel = 0;
        a.bit_gravity = NorthWestGravity;
        a.event_mask = ExposureMask | StructureNotifyMask | ButtonPressMask | ButtonReleaseMask |
                       PointerMotionMask | EnterWindowMask | LeaveWindowMask | KeyPressMask |
                       KeyReleaseMask | FocusChangeMask;
        unsigned long mask = CWBackPixmap | CWBorderPixel | CWBitGravity | CWEventMask;
        Visual* visual = DefaultVisual(FDpy, FScreen);
        int depth = DefaultDepth(FDpy, FScreen);
        if (argb) {
            visual = FArgbVisual;
            depth = 32;
            a.colormap = FArgbColormap;
            mask |= CWColormap;
        }
        t.Width = std::max(1, Width(w->Rect));
        t.Height = std::max(1, Height(w->Rect));
        t.Xid =
            XCreateWindow(FDpy, FRoot, w->Rect.left, w->Rect.top, static_cast<unsigned>(t.Width),
                          static_cast<unsigned>(t.Height), 0, depth, InputOutput, visual, mask, &a);
        if (!t.Xid) return nullptr;
        XSetWMProtocols(FDpy, t.Xid, &FWmDelete, 1);
        // No decorations: the program draws its own frame.
        const long motif[5] = {2 /* decorations */, 0, 0, 0, 0};
        XChangeProperty(FDpy, t.Xid, FMotifHints, FMotifHints, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(motif), 5);
        XClassHint cls;
        char name[] = "infopanel";
        cls.res_name = name;
        cls.res_class = name;
        XSetClassHint(FDpy, t.Xid, &cls);
        XWMHints hints{};
        hints.flags = InputHint;
        hints.input = True;
        XSetWMHints(FDpy, t.Xid, &hints);
        const Atom type = w->Owner ? FTypeDialog : FTypeNormal;
        XChangeProperty(FDpy, t.Xid, FWindowType, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&type), 1);
        if (XTop* owner = Find(w->Owner)) XSetTransientForHint(FDpy, t.Xid, owner->Xid);
        t.Gc = XCreateGC(FDpy, t.Xid, 0, nullptr);
        FTops[hwnd] = t;
        FByXid[t.Xid] = hwnd;
        XTop& stored = FTops[hwnd];
        MakeImage(stored, stored.Width, stored.Height);
        SizeHints(hwnd, stored);
        States(hwnd, stored);
        Retitled(hwnd);
        Reshaped(hwnd);
        Opacity(hwnd, stored);
        if (State().Cursor)
            XDefineCursor(FDpy, stored.Xid, CursorFor(CursorShapeId(State().Cursor)));
        return &stored;
    }

    void DestroyX(XTop& t) {
        FreeImage(t);
        if (t.Gc) XFreeGC(FDpy, t.Gc);
        if (t.Xid) XDestroyWindow(FDpy, t.Xid);
        t = XTop{};
    }

    void FreeImage(XTop& t) {
        if (!t.Image) return;
        if (t.UsesShm) {
            XShmDetach(FDpy, &t.Shm);
            XSync(FDpy, False);
            shmdt(t.Shm.shmaddr);
        }
        t.Image->data = nullptr; // the memory is ours, not Xlib's
        XDestroyImage(t.Image);
        t.Image = nullptr;
        t.UsesShm = false;
        t.Memory.clear();
    }

    void MakeImage(XTop& t, int w, int h) {
        FreeImage(t);
        t.Width = w;
        t.Height = h;
        Visual* visual = t.Argb ? FArgbVisual : DefaultVisual(FDpy, FScreen);
        const int depth = t.Argb ? 32 : DefaultDepth(FDpy, FScreen);
        if (FShm) {
            XImage* img =
                XShmCreateImage(FDpy, visual, static_cast<unsigned>(depth), ZPixmap, nullptr,
                                &t.Shm, static_cast<unsigned>(w), static_cast<unsigned>(h));
            if (img) {
                t.Shm.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(img->bytes_per_line) * h,
                                     IPC_CREAT | 0600);
                if (t.Shm.shmid >= 0) {
                    t.Shm.shmaddr = img->data = static_cast<char*>(shmat(t.Shm.shmid, nullptr, 0));
                    t.Shm.readOnly = False;
                    gLastXError = 0;
                    const bool attached =
                        t.Shm.shmaddr != reinterpret_cast<char*>(-1) && XShmAttach(FDpy, &t.Shm);
                    XSync(FDpy, False);
                    shmctl(t.Shm.shmid, IPC_RMID, nullptr); // freed once both sides detach
                    if (attached && gLastXError == 0) {
                        t.Image = img;
                        t.UsesShm = true;
                        return;
                    }
                    if (t.Shm.shmaddr != reinterpret_cast<char*>(-1)) shmdt(t.Shm.shmaddr);
                }
                img->data = nullptr;
                XDestroyImage(img);
            }
            // A remote display cannot share memory: use plain requests from now on.
            FShm = false;
        }
        t.Image = XCreateImage(FDpy, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                               static_cast<unsigned>(w), static_cast<unsigned>(h), 32, 0);
        if (!t.Image) return;
        t.Memory.assign(static_cast<std::size_t>(t.Image->bytes_per_line) * h, 0);
        t.Image->data = t.Memory.data();
    }

    void SizeHints(HWND hwnd, XTop& t) {
        auto w = FindWindowData(hwnd);
        if (!w) return;
        XSizeHints* hints = XAllocSizeHints();
        hints->flags = PPosition | USPosition;
        hints->x = w->Rect.left;
        hints->y = w->Rect.top;
        // Windows without a sizing frame keep their size.
        if (!(w->Style & WS_THICKFRAME)) {
            hints->flags |= PMinSize | PMaxSize;
            hints->min_width = hints->max_width = t.Width;
            hints->min_height = hints->max_height = t.Height;
        }
        XSetWMNormalHints(FDpy, t.Xid, hints);
        XFree(hints);
    }

    void States(HWND hwnd, XTop& t) {
        auto w = FindWindowData(hwnd);
        if (!w) return;
        std::vector<Atom> states;
        if (w->ExStyle & WS_EX_TOPMOST) states.push_back(FStateAbove);
        if (w->ExStyle & WS_EX_TOOLWINDOW) states.push_back(FStateSkipTaskbar);
        XChangeProperty(FDpy, t.Xid, FNetState, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(states.data()),
                        static_cast<int>(states.size()));
    }

    void Opacity(HWND hwnd, XTop& t) {
        auto w = FindWindowData(hwnd);
        if (!w) return;
        if ((w->ExStyle & WS_EX_LAYERED) && w->LayeredAttributes && (w->LayeredFlags & LWA_ALPHA) &&
            w->LayeredAlpha < 255) {
            const unsigned long value = static_cast<unsigned long>(w->LayeredAlpha) * 0x01010101UL;
            XChangeProperty(FDpy, t.Xid, FOpacity, XA_CARDINAL, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(&value), 1);
        } else {
            XDeleteProperty(FDpy, t.Xid, FOpacity);
        }
    }

    Cursor CursorFor(int id) {
        if (id == 0) return 0L;
        auto it = FCursors.find(id);
        if (it != FCursors.end()) return it->second;
        unsigned shape = XC_left_ptr;
        switch (id) {
        case 32513:
            shape = XC_xterm;
            break;
        case 32514:
        case 32650:
            shape = XC_watch;
            break;
        case 32515:
            shape = XC_crosshair;
            break;
        case 32516:
            shape = XC_sb_up_arrow;
            break;
        case 32642:
            shape = XC_bottom_right_corner;
            break;
        case 32643:
            shape = XC_bottom_left_corner;
            break;
        case 32644:
            shape = XC_sb_h_double_arrow;
            break;
        case 32645:
            shape = XC_sb_v_double_arrow;
            break;
        case 32646:
            shape = XC_fleur;
            break;
        case 32648:
            shape = XC_X_cursor;
            break;
        case 32649:
            shape = XC_hand2;
            break;
        case 32651:
            shape = XC_question_arrow;
            break;
        default:
            break;
        }
        const Cursor c = XCreateFontCursor(FDpy, shape);
        FCursors[id] = c;
        return c;
    }

    void Handle(XEvent& e) {
        const HWND hwnd = HwndOf(e.xany.window);
        const DWORD now = static_cast<DWORD>(Now());
        switch (e.type) {
        case MotionNotify: {
            // Only the latest of a run of motions matters.
            XEvent next;
            while (XCheckTypedWindowEvent(FDpy, e.xany.window, MotionNotify, &next))
                e = next;
            QueuePointerMove(POINT{e.xmotion.x_root, e.xmotion.y_root}, now);
            break;
        }
        case ButtonPress:
        case ButtonRelease: {
            const POINT p{e.xbutton.x_root, e.xbutton.y_root};
            const unsigned b = e.xbutton.button;
            if (b == 4 || b == 5) {
                if (e.type == ButtonPress) QueuePointerWheel(b == 4 ? 120 : -120, p, now);
                break;
            }
            if (b < 1 || b > 3) break;
            QueuePointerMove(p, now);
            QueuePointerButton(b == 1 ? 0 : b == 3 ? 1 : 2, e.type == ButtonPress, p, now);
            break;
        }
        case EnterNotify:
            if (e.xcrossing.mode == NotifyNormal)
                QueuePointerMove(POINT{e.xcrossing.x_root, e.xcrossing.y_root}, now);
            break;
        case LeaveNotify:
            if (e.xcrossing.mode == NotifyNormal && e.xcrossing.detail != NotifyInferior)
                PointerLeftDisplay();
            break;
        case KeyPress:
        case KeyRelease: {
            if (e.type == KeyRelease && XEventsQueued(FDpy, QueuedAfterReading)) {
                // Auto-repeat comes as release + press at the same time: only the press counts.
                XEvent next;
                XPeekEvent(FDpy, &next);
                if (next.type == KeyPress && next.xkey.time == e.xkey.time &&
                    next.xkey.keycode == e.xkey.keycode)
                    break;
            }
            const UINT vk = VirtualKeyFromKeysym(XLookupKeysym(&e.xkey, 0));
            if (!vk) break;
            char32_t ch = 0;
            if (e.type == KeyPress) {
                char buffer[16];
                KeySym sym = 0;
                const int n = XLookupString(&e.xkey, buffer, sizeof buffer, &sym, nullptr);
                ch = CharFromKeysym(sym);
                if (n == 1 && static_cast<unsigned char>(buffer[0]) < 0x20)
                    ch = static_cast<unsigned char>(buffer[0]); // control characters
            }
            QueueKey(vk, e.type == KeyPress, ch, now);
            break;
        }
        case Expose:
            if (hwnd)
                Present(hwnd,
                        RectOfSize(e.xexpose.x, e.xexpose.y, e.xexpose.width, e.xexpose.height));
            break;
        case ConfigureNotify: {
            if (!hwnd) break;
            int x = e.xconfigure.x, y = e.xconfigure.y;
            Window child;
            if (!e.xconfigure.send_event)
                XTranslateCoordinates(FDpy, e.xconfigure.window, FRoot, 0, 0, &x, &y, &child);
            XTop* t = Find(hwnd);
            if (t && (e.xconfigure.width != t->Width || e.xconfigure.height != t->Height))
                MakeImage(*t, e.xconfigure.width, e.xconfigure.height);
            DisplayMovedWindow(hwnd, RectOfSize(x, y, e.xconfigure.width, e.xconfigure.height));
            break;
        }
        case MapNotify:
            if (XTop* t = Find(hwnd)) {
                t->Mapped = true;
                if (t->WantFocus) {
                    t->WantFocus = false;
                    XSetInputFocus(FDpy, t->Xid, RevertToParent, CurrentTime);
                }
            }
            break;
        case UnmapNotify:
            if (XTop* t = Find(hwnd)) t->Mapped = false;
            break;
        case FocusIn:
        case FocusOut:
            if (hwnd && (e.xfocus.mode == NotifyNormal || e.xfocus.mode == NotifyWhileGrabbed) &&
                e.xfocus.detail != NotifyInferior && e.xfocus.detail != NotifyPointer)
                DisplayActivated(hwnd, e.type == FocusIn);
            break;
        case ClientMessage:
            if (hwnd && e.xclient.message_type == FWmProtocols &&
                static_cast<Atom>(e.xclient.data.l[0]) == FWmDelete)
                DisplayCloseRequest(hwnd);
            break;
        case MappingNotify:
            XRefreshKeyboardMapping(&e.xmapping);
            break;
        default:
            break;
        }
    }

    Display* FDpy;
    int FScreen = 0;
    Window FRoot = 0;
    Visual* FArgbVisual = nullptr;
    Colormap FArgbColormap = 0;
    bool FShm = false;
    bool FShape = false;
    bool FMoveResizeSupported = false;
    Atom FWmProtocols = 0, FWmDelete = 0, FMoveResize = 0, FOpacity = 0, FMotifHints = 0,
         FNetName = 0, FUtf8 = 0, FNetState = 0, FStateAbove = 0, FStateSkipTaskbar = 0,
         FWindowType = 0, FTypeNormal = 0, FTypeDialog = 0, FWorkArea = 0;
    std::unordered_map<HWND, XTop> FTops;
    std::unordered_map<Window, HWND> FByXid;
    std::unordered_map<int, Cursor> FCursors;
};

} // namespace

std::unique_ptr<Backend> CreateX11Backend() {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return nullptr;
    // A busy server sometimes refuses a connection that a moment later it
    // accepts; a few tries tell that apart from a display that is not there.
    Display* dpy = nullptr;
    for (int attempt = 0; attempt < 20 && !dpy; ++attempt) {
        dpy = XOpenDisplay(nullptr);
        if (!dpy) usleep(25000);
    }
    if (!dpy) return nullptr;
    return std::make_unique<X11Backend>(dpy);
}

bool InstallX11Backend() {
    auto backend = CreateX11Backend();
    if (!backend) return false;
    ResetWindowSystem(std::move(backend));
    return true;
}

unsigned long X11WindowOf(HWND hwnd) {
    auto* b = dynamic_cast<X11Backend*>(&CurrentBackend());
    return b ? b->XidOf(hwnd) : 0;
}

} // namespace platform::win
