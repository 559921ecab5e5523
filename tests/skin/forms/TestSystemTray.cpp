// The tests' own system tray: the display's side of the tray protocol as a panel's tray speaks it.
#include "tests/skin/forms/TestSystemTray.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

struct TTestSystemTray::TState {
    Display* D = nullptr;
    Window Root = 0, Win = 0;
    Atom Selection = 0, Opcode = 0, XEmbedInfo = 0, MessageData = 0;
    std::string Text;        // the text of the message being received
    std::size_t Awaited = 0; // its length
    long Timeout = 0, Id = 0;

    std::vector<long> Property(Window W, Atom Name, Atom Type) {
        std::vector<long> Values;
        Atom Got;
        int Format;
        unsigned long N, After;
        unsigned char* Data = nullptr;
        if (XGetWindowProperty(D, W, Name, 0, 16, False, Type, &Got, &Format, &N, &After, &Data) == Success && Data &&
            Format == 32)
            Values.assign(reinterpret_cast<long*>(Data), reinterpret_cast<long*>(Data) + N);
        if (Data)
            XFree(Data);
        return Values;
    }
};

TTestSystemTray::TTestSystemTray() : FState(std::make_unique<TState>()) {
    TState& S = *FState;
    S.D = XOpenDisplay(nullptr);
    S.Root = DefaultRootWindow(S.D);
    S.Selection = XInternAtom(S.D, "_NET_SYSTEM_TRAY_S0", False);
    S.Opcode = XInternAtom(S.D, "_NET_SYSTEM_TRAY_OPCODE", False);
    S.XEmbedInfo = XInternAtom(S.D, "_XEMBED_INFO", False);
    S.MessageData = XInternAtom(S.D, "_NET_SYSTEM_TRAY_MESSAGE_DATA", False);
    S.Win = XCreateSimpleWindow(S.D, S.Root, 10, 10, 24, 24, 0, 0, 0x808080);
    XSelectInput(S.D, S.Win, SubstructureNotifyMask);
    XMapWindow(S.D, S.Win);
    XSetSelectionOwner(S.D, S.Selection, S.Win, CurrentTime);
    XEvent E{};
    E.xclient.type = ClientMessage;
    E.xclient.window = S.Root;
    E.xclient.message_type = XInternAtom(S.D, "MANAGER", False);
    E.xclient.format = 32;
    E.xclient.data.l[0] = CurrentTime;
    E.xclient.data.l[1] = long(S.Selection);
    E.xclient.data.l[2] = long(S.Win);
    XSendEvent(S.D, S.Root, False, StructureNotifyMask, &E);
    XSync(S.D, False);
}

TTestSystemTray::~TTestSystemTray() {
    XCloseDisplay(FState->D);
}

void TTestSystemTray::Serve() {
    TState& S = *FState;
    while (XPending(S.D)) {
        XEvent E;
        XNextEvent(S.D, &E);
        if (E.type == ClientMessage && E.xclient.message_type == S.Opcode && E.xclient.data.l[1] == 0) {
            const Window Icon = Window(E.xclient.data.l[2]);
            Docks.push_back(Icon);
            EmbedInfo = S.Property(Icon, S.XEmbedInfo, S.XEmbedInfo);
            XAddToSaveSet(S.D, Icon);
            XReparentWindow(S.D, Icon, S.Win, 0, 0);
            XResizeWindow(S.D, Icon, 24, 24);
            if (EmbedInfo.size() == 2 && (EmbedInfo[1] & 1))
                XMapWindow(S.D, Icon);
            XSync(S.D, False);
        } else if (E.type == ClientMessage && E.xclient.message_type == S.Opcode && E.xclient.data.l[1] == 1) {
            S.Text.clear();
            S.Timeout = E.xclient.data.l[2];
            S.Awaited = std::size_t(E.xclient.data.l[3]);
            S.Id = E.xclient.data.l[4];
        } else if (E.type == ClientMessage && E.xclient.message_type == S.Opcode && E.xclient.data.l[1] == 2) {
            Messages.push_back("cancel " + std::to_string(E.xclient.data.l[2]));
        } else if (E.type == ClientMessage && E.xclient.message_type == S.MessageData && S.Awaited > 0) {
            const std::size_t N = std::min<std::size_t>(20, S.Awaited - S.Text.size());
            S.Text.append(E.xclient.data.b, N);
            if (S.Text.size() == S.Awaited) {
                Messages.push_back("show " + std::to_string(S.Id) + " for " + std::to_string(S.Timeout) + ": " +
                                   S.Text);
                S.Awaited = 0;
            }
        } else if (E.type == DestroyNotify) {
            Destroyed.insert(E.xdestroywindow.window);
        }
    }
}

std::string TTestSystemTray::Name(unsigned long W) {
    TState& S = *FState;
    std::string Result;
    Atom Got;
    int Format;
    unsigned long N, After;
    unsigned char* Data = nullptr;
    if (XGetWindowProperty(S.D, W, XInternAtom(S.D, "_NET_WM_NAME", False), 0, 256, False,
                           XInternAtom(S.D, "UTF8_STRING", False), &Got, &Format, &N, &After, &Data) == Success &&
        Data)
        Result.assign(reinterpret_cast<char*>(Data), N);
    if (Data)
        XFree(Data);
    return Result;
}

unsigned long TTestSystemTray::Pixel(int X, int Y) {
    XImage* Img = XGetImage(FState->D, FState->Win, X, Y, 1, 1, AllPlanes, ZPixmap);
    if (!Img)
        return 0xFFFFFFFF;
    const unsigned long P = XGetPixel(Img, 0, 0) & 0xFFFFFF;
    XDestroyImage(Img);
    return P;
}

void TTestSystemTray::Button(unsigned long Icon, bool Down, unsigned Button, unsigned long Time, int X, int Y) {
    XEvent E{};
    E.xbutton.type = Down ? ButtonPress : ButtonRelease;
    E.xbutton.window = Icon;
    E.xbutton.root = FState->Root;
    E.xbutton.time = Time;
    E.xbutton.x_root = X;
    E.xbutton.y_root = Y;
    E.xbutton.button = Button;
    E.xbutton.same_screen = True;
    XSendEvent(FState->D, Icon, False, Down ? ButtonPressMask : ButtonReleaseMask, &E);
    XSync(FState->D, False);
}

bool TTestSystemTray::TrayRuns() {
    Display* D = XOpenDisplay(nullptr);
    if (!D)
        return false;
    const bool Runs = XGetSelectionOwner(D, XInternAtom(D, "_NET_SYSTEM_TRAY_S0", False)) != 0;
    XCloseDisplay(D);
    return Runs;
}

std::set<unsigned long> TTestSystemTray::RootChildren() {
    std::set<unsigned long> Result;
    Display* D = XOpenDisplay(nullptr);
    if (!D)
        return Result;
    Window RootW, Parent, *Kids = nullptr;
    unsigned N = 0;
    if (XQueryTree(D, DefaultRootWindow(D), &RootW, &Parent, &Kids, &N)) {
        Result.insert(Kids, Kids + N);
        XFree(Kids);
    }
    XCloseDisplay(D);
    return Result;
}
