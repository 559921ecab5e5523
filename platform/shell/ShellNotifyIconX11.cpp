// The system tray of an X display: finding the tray, docking icon windows into it, drawing them, and reading
// the pointer on them and the tray's coming and going. Everything runs on the thread that calls in.
#include "platform/shell/ShellNotifyIconX11.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <set>

namespace traydisplay {

namespace {

constexpr long SystemTrayRequestDock = 0;
constexpr long SystemTrayBeginMessage = 1;
constexpr long SystemTrayCancelMessage = 2;
constexpr long XEmbedMapped = 1;
constexpr int InitialSize = 22;
// How far the pointer may move between the presses of a double click.
constexpr int DoubleClickSlop = 4;

// Errors on our connections (a tray window gone between looking it up and talking to it, an icon window the tray
// destroyed) are expected and dropped; the handler is the process's, so the others go on to the previous one.
std::mutex GErrorLock;
std::set<Display*> GOurDisplays;
int (*GPreviousHandler)(Display*, XErrorEvent*) = nullptr;
bool GHandlerSet = false;

int OnXError(Display* D, XErrorEvent* E) {
    int (*Previous)(Display*, XErrorEvent*) = nullptr;
    {
        std::lock_guard<std::mutex> L(GErrorLock);
        if (GOurDisplays.count(D))
            return 0;
        Previous = GPreviousHandler;
    }
    return Previous ? Previous(D, E) : 0;
}

void AdoptDisplay(Display* D) {
    std::lock_guard<std::mutex> L(GErrorLock);
    GOurDisplays.insert(D);
    if (!GHandlerSet) {
        GPreviousHandler = XSetErrorHandler(&OnXError);
        GHandlerSet = true;
    }
}

void ReleaseDisplay(Display* D) {
    std::lock_guard<std::mutex> L(GErrorLock);
    GOurDisplays.erase(D);
}

// One channel of a pixel: the 8-bit value placed under its mask.
unsigned long Channel(unsigned Value, unsigned long Mask) {
    if (!Mask)
        return 0;
    int Shift = 0;
    while (!((Mask >> Shift) & 1))
        ++Shift;
    int Bits = 0;
    while ((Mask >> (Shift + Bits)) & 1)
        ++Bits;
    unsigned long V = Bits >= 8 ? (unsigned long)(Value) << (Bits - 8) : Value >> (8 - Bits);
    return (V << Shift) & Mask;
}

} // namespace

struct TDisplayTray::TState {
    struct TIcon {
        TTrayPicture Picture;
        std::string Tip;
        int Width = InitialSize;
        int Height = InitialSize;
        Visual* Vis = nullptr;
        int Depth = 0;
        bool Argb = false;
        Colormap Map = 0;
        GC Gc = nullptr;
        long MessageId = 0; // the balloon the tray may show, 0 for none
    };

    Display* D = nullptr;
    int Screen = 0;
    Window Root = 0;
    Atom Selection = 0, Opcode = 0, TrayVisual = 0, Manager = 0, XEmbedInfo = 0, NetWmName = 0, Utf8 = 0,
         MessageData = 0;
    long NextMessageId = 1;
    Window Tray = 0;
    // A tray found by looking rather than by its announcement, still to be told as come.
    bool FoundUntold = false;
    std::map<Window, TIcon> Icons;
    // The last press, for telling a double click.
    Window PressWindow = 0;
    unsigned PressButton = 0;
    Time PressTime = 0;
    int PressX = 0, PressY = 0;

    void FindTray() {
        const Window Before = Tray;
        XGrabServer(D);
        Tray = XGetSelectionOwner(D, Selection);
        FoundUntold = FoundUntold || (!Before && Tray);
        if (Tray)
            XSelectInput(D, Tray, StructureNotifyMask);
        XUngrabServer(D);
        XFlush(D);
    }

    // The visual the tray asks its icons to use, when it names one of this screen.
    bool TrayVisualInfo(XVisualInfo& Info) {
        Atom Type = 0;
        int Format = 0;
        unsigned long Count = 0, After = 0;
        unsigned char* Data = nullptr;
        bool Found = false;
        if (XGetWindowProperty(D, Tray, TrayVisual, 0, 1, False, XA_VISUALID, &Type, &Format, &Count, &After, &Data) ==
                Success &&
            Data && Type == XA_VISUALID && Format == 32 && Count == 1) {
            XVisualInfo Want;
            Want.visualid = VisualID(reinterpret_cast<unsigned long*>(Data)[0]);
            Want.screen = Screen;
            int N = 0;
            if (XVisualInfo* List = XGetVisualInfo(D, VisualIDMask | VisualScreenMask, &Want, &N)) {
                if (N > 0 && List[0].c_class == TrueColor) {
                    Info = List[0];
                    Found = true;
                }
                XFree(List);
            }
        }
        if (Data)
            XFree(Data);
        return Found;
    }

    Window MakeIconWindow(TIcon& Icon) {
        XSetWindowAttributes A{};
        unsigned long Mask = CWEventMask;
        A.event_mask = ExposureMask | StructureNotifyMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
        XVisualInfo Info;
        Icon.Vis = DefaultVisual(D, Screen);
        Icon.Depth = DefaultDepth(D, Screen);
        if (TrayVisualInfo(Info) && Info.visual != Icon.Vis) {
            Icon.Vis = Info.visual;
            Icon.Depth = Info.depth;
            Icon.Argb = Info.depth == 32;
            Icon.Map = XCreateColormap(D, Root, Info.visual, AllocNone);
            A.colormap = Icon.Map;
            A.background_pixel = 0;
            A.border_pixel = 0;
            Mask |= CWColormap | CWBackPixel | CWBorderPixel;
        } else {
            // The tray's own background shows around the icon's picture.
            A.background_pixmap = ParentRelative;
            Mask |= CWBackPixmap;
        }
        Window W =
            XCreateWindow(D, Root, 0, 0, InitialSize, InitialSize, 0, Icon.Depth, InputOutput, Icon.Vis, Mask, &A);
        if (!W)
            return 0;
        Icon.Gc = XCreateGC(D, W, 0, nullptr);
        XClassHint Class;
        char Name[] = "quorvane", ClassName[] = "Quorvane";
        Class.res_name = Name;
        Class.res_class = ClassName;
        XSetClassHint(D, W, &Class);
        const long EmbedInfo[2] = {0, XEmbedMapped};
        XChangeProperty(D, W, XEmbedInfo, XEmbedInfo, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(EmbedInfo), 2);
        return W;
    }

    void SetName(Window W, const std::string& Tip) {
        XChangeProperty(D, W, NetWmName, Utf8, 8, PropModeReplace, reinterpret_cast<const unsigned char*>(Tip.data()),
                        int(Tip.size()));
        char* List[] = {const_cast<char*>(Tip.c_str())};
        XTextProperty Text{};
        if (Xutf8TextListToTextProperty(D, List, 1, XStdICCTextStyle, &Text) >= Success) {
            XSetWMName(D, W, &Text);
            if (Text.value)
                XFree(Text.value);
        }
    }

    // One of the tray's operations, sent to the tray about the window W.
    void SendOpcode(Window W, long Operation, long A, long B, long C) {
        XEvent E{};
        E.xclient.type = ClientMessage;
        E.xclient.window = W;
        E.xclient.message_type = Opcode;
        E.xclient.format = 32;
        E.xclient.data.l[0] = CurrentTime;
        E.xclient.data.l[1] = Operation;
        E.xclient.data.l[2] = A;
        E.xclient.data.l[3] = B;
        E.xclient.data.l[4] = C;
        XSendEvent(D, Tray, False, NoEventMask, &E);
    }

    void AskToDock(Window W) {
        SendOpcode(Tray, SystemTrayRequestDock, long(W), 0, 0);
        XFlush(D);
    }

    // The text follows its announcement in pieces of 20 bytes.
    void SendMessageText(Window W, const std::string& Text) {
        for (std::size_t At = 0; At < Text.size(); At += 20) {
            XEvent E{};
            E.xclient.type = ClientMessage;
            E.xclient.window = W;
            E.xclient.message_type = MessageData;
            E.xclient.format = 8;
            Text.copy(E.xclient.data.b, 20, At);
            XSendEvent(D, Tray, False, NoEventMask, &E);
        }
    }

    // The picture scaled into the window's largest centred square; pixels of the default visual are either drawn
    // or left to the tray's background, pixels of a visual with alpha are blended by the tray.
    void Draw(Window W, TIcon& Icon) {
        const int Wd = std::max(1, Icon.Width), Ht = std::max(1, Icon.Height);
        const int Side = std::min(Wd, Ht), Left = (Wd - Side) / 2, Top = (Ht - Side) / 2;
        XImage* Img =
            XCreateImage(D, Icon.Vis, unsigned(Icon.Depth), ZPixmap, 0, nullptr, unsigned(Wd), unsigned(Ht), 32, 0);
        if (!Img)
            return;
        Img->data = static_cast<char*>(std::calloc(std::size_t(Img->bytes_per_line), std::size_t(Ht)));
        if (!Img->data) {
            XDestroyImage(Img);
            return;
        }
        const unsigned long AlphaMask =
            Icon.Argb ? ~(Icon.Vis->red_mask | Icon.Vis->green_mask | Icon.Vis->blue_mask) & 0xFFFFFFFFul : 0;
        const TTrayPicture& P = Icon.Picture;
        std::vector<bool> Opaque(std::size_t(Wd) * std::size_t(Ht), false);
        for (int Y = 0; Y < Side && P.Width > 0 && P.Height > 0; ++Y)
            for (int X = 0; X < Side; ++X) {
                const std::uint32_t C =
                    P.Pixels[std::size_t(Y * P.Height / Side) * std::size_t(P.Width) + std::size_t(X * P.Width / Side)];
                unsigned A = C >> 24, R = (C >> 16) & 0xFF, G = (C >> 8) & 0xFF, B = C & 0xFF;
                if (Icon.Argb) {
                    R = R * A / 255;
                    G = G * A / 255;
                    B = B * A / 255;
                } else if (A < 128) {
                    continue;
                }
                XPutPixel(Img, Left + X, Top + Y,
                          Channel(R, Icon.Vis->red_mask) | Channel(G, Icon.Vis->green_mask) |
                              Channel(B, Icon.Vis->blue_mask) | Channel(A, AlphaMask));
                Opaque[std::size_t(Top + Y) * std::size_t(Wd) + std::size_t(Left + X)] = true;
            }
        if (Icon.Argb) {
            XPutImage(D, W, Icon.Gc, Img, 0, 0, 0, 0, unsigned(Wd), unsigned(Ht));
        } else {
            XClearWindow(D, W);
            for (int Y = 0; Y < Ht; ++Y)
                for (int X = 0; X < Wd;) {
                    if (!Opaque[std::size_t(Y) * std::size_t(Wd) + std::size_t(X)]) {
                        ++X;
                        continue;
                    }
                    int End = X;
                    while (End < Wd && Opaque[std::size_t(Y) * std::size_t(Wd) + std::size_t(End)])
                        ++End;
                    XPutImage(D, W, Icon.Gc, Img, X, Y, X, Y, unsigned(End - X), 1);
                    X = End;
                }
        }
        XDestroyImage(Img);
        XFlush(D);
    }

    void Forget(std::map<Window, TIcon>::iterator It, bool Destroy) {
        if (It->second.Gc)
            XFreeGC(D, It->second.Gc);
        if (Destroy)
            XDestroyWindow(D, It->first);
        if (It->second.Map)
            XFreeColormap(D, It->second.Map);
        Icons.erase(It);
    }

    void DropAllIcons() {
        while (!Icons.empty())
            Forget(Icons.begin(), true);
        XSync(D, False);
    }

    void Pointer(const XEvent& E, TTrayNews& News, unsigned DoubleClickTime);
    void Handle(const XEvent& E, TTrayNews& News, unsigned DoubleClickTime);
};

void TDisplayTray::TState::Pointer(const XEvent& E, TTrayNews& News, unsigned DoubleClickTime) {
    TTrayAction A;
    if (E.type == MotionNotify) {
        A.Kind = TTrayAction::Move;
        A.X = E.xmotion.x_root;
        A.Y = E.xmotion.y_root;
        A.Icon = E.xmotion.window;
        // Only the latest of a run of moves matters.
        if (!News.Actions.empty() && News.Actions.back().Kind == TTrayAction::Move &&
            News.Actions.back().Icon == A.Icon)
            News.Actions.pop_back();
        News.Actions.push_back(A);
        return;
    }
    const XButtonEvent& B = E.xbutton;
    if (B.button < Button1 || B.button > Button3)
        return; // the wheel
    A.Button = B.button == Button1 ? 0 : B.button == Button3 ? 1 : 2;
    A.X = B.x_root;
    A.Y = B.y_root;
    A.Icon = B.window;
    if (E.type == ButtonRelease) {
        A.Kind = TTrayAction::Up;
    } else if (PressWindow == B.window && PressButton == B.button && Time(B.time - PressTime) <= DoubleClickTime &&
               std::abs(B.x_root - PressX) <= DoubleClickSlop && std::abs(B.y_root - PressY) <= DoubleClickSlop) {
        A.Kind = TTrayAction::DoubleClick;
        PressWindow = 0; // a third press starts anew
    } else {
        A.Kind = TTrayAction::Down;
        PressWindow = B.window;
        PressButton = B.button;
        PressTime = B.time;
        PressX = B.x_root;
        PressY = B.y_root;
    }
    News.Actions.push_back(A);
}

void TDisplayTray::TState::Handle(const XEvent& E, TTrayNews& News, unsigned DoubleClickTime) {
    switch (E.type) {
    case ClientMessage:
        if (E.xclient.window == Root && E.xclient.message_type == Manager && Atom(E.xclient.data.l[1]) == Selection) {
            const Window New = Window(E.xclient.data.l[2]);
            if (New == Tray) {
                News.TrayCame = News.TrayCame || FoundUntold;
                FoundUntold = false;
                return;
            }
            // A tray in place of another: the icons go to the new one as after the old one went.
            if (Tray && !Icons.empty()) {
                DropAllIcons();
                News.TrayGone = true;
            }
            Tray = New;
            FoundUntold = false;
            XSelectInput(D, Tray, StructureNotifyMask);
            XFlush(D);
            News.TrayCame = true;
        }
        return;
    case DestroyNotify: {
        const Window W = E.xdestroywindow.window;
        if (auto It = Icons.find(W); It != Icons.end()) {
            Forget(It, false);
            News.Lost.push_back(W);
        } else if (W == Tray && Tray) {
            Tray = 0;
            FoundUntold = false;
            DropAllIcons();
            News.TrayGone = true;
        }
        return;
    }
    case ConfigureNotify:
        if (auto It = Icons.find(E.xconfigure.window); It != Icons.end()) {
            if (It->second.Width != E.xconfigure.width || It->second.Height != E.xconfigure.height) {
                It->second.Width = E.xconfigure.width;
                It->second.Height = E.xconfigure.height;
                Draw(It->first, It->second);
            }
        }
        return;
    case Expose:
        if (auto It = Icons.find(E.xexpose.window); It != Icons.end() && E.xexpose.count == 0)
            Draw(It->first, It->second);
        return;
    case ButtonPress:
    case ButtonRelease:
    case MotionNotify:
        if (Icons.count(E.xany.window))
            Pointer(E, News, DoubleClickTime);
        return;
    }
}

TDisplayTray::TDisplayTray(std::unique_ptr<TState> AState) : FState(std::move(AState)) {}

std::unique_ptr<TDisplayTray> TDisplayTray::Open() {
    Display* D = XOpenDisplay(nullptr);
    if (!D)
        return nullptr;
    AdoptDisplay(D);
    auto St = std::make_unique<TState>();
    St->D = D;
    St->Screen = DefaultScreen(D);
    St->Root = RootWindow(D, St->Screen);
    char Name[64];
    std::snprintf(Name, sizeof Name, "_NET_SYSTEM_TRAY_S%d", St->Screen);
    St->Selection = XInternAtom(D, Name, False);
    St->Opcode = XInternAtom(D, "_NET_SYSTEM_TRAY_OPCODE", False);
    St->TrayVisual = XInternAtom(D, "_NET_SYSTEM_TRAY_VISUAL", False);
    St->Manager = XInternAtom(D, "MANAGER", False);
    St->XEmbedInfo = XInternAtom(D, "_XEMBED_INFO", False);
    St->NetWmName = XInternAtom(D, "_NET_WM_NAME", False);
    St->Utf8 = XInternAtom(D, "UTF8_STRING", False);
    St->MessageData = XInternAtom(D, "_NET_SYSTEM_TRAY_MESSAGE_DATA", False);
    // A tray that starts announces itself to the root window's structure listeners.
    XSelectInput(D, St->Root, StructureNotifyMask);
    St->FindTray();
    St->FoundUntold = false; // a tray that runs already is no news
    return std::unique_ptr<TDisplayTray>(new TDisplayTray(std::move(St)));
}

TDisplayTray::~TDisplayTray() {
    FState->DropAllIcons();
    XSync(FState->D, False);
    ReleaseDisplay(FState->D);
    XCloseDisplay(FState->D);
}

int TDisplayTray::Descriptor() const {
    return ConnectionNumber(FState->D);
}

bool TDisplayTray::TrayPresent() {
    if (!FState->Tray)
        FState->FindTray();
    return FState->Tray != 0;
}

unsigned long TDisplayTray::Dock(const TTrayPicture& Picture, const std::string& Tip) {
    if (!TrayPresent())
        return 0;
    TState::TIcon Icon;
    Icon.Picture = Picture;
    Icon.Tip = Tip;
    const Window W = FState->MakeIconWindow(Icon);
    if (!W)
        return 0;
    FState->SetName(W, Tip);
    FState->Icons.emplace(W, std::move(Icon));
    FState->AskToDock(W);
    return W;
}

void TDisplayTray::Update(unsigned long Icon, const TTrayPicture& Picture, const std::string& Tip) {
    auto It = FState->Icons.find(Window(Icon));
    if (It == FState->Icons.end())
        return;
    if (It->second.Tip != Tip) {
        It->second.Tip = Tip;
        FState->SetName(It->first, Tip);
    }
    It->second.Picture = Picture;
    FState->Draw(It->first, It->second);
}

void TDisplayTray::Message(unsigned long Icon, const std::string& Text, unsigned TimeoutMs) {
    TState& S = *FState;
    auto It = S.Icons.find(Window(Icon));
    if (It == S.Icons.end() || !S.Tray)
        return;
    if (It->second.MessageId) {
        S.SendOpcode(It->first, SystemTrayCancelMessage, It->second.MessageId, 0, 0);
        It->second.MessageId = 0;
    }
    if (!Text.empty()) {
        It->second.MessageId = S.NextMessageId++;
        S.SendOpcode(It->first, SystemTrayBeginMessage, long(TimeoutMs), long(Text.size()), It->second.MessageId);
        S.SendMessageText(It->first, Text);
    }
    XFlush(S.D);
}

void TDisplayTray::Remove(unsigned long Icon) {
    auto It = FState->Icons.find(Window(Icon));
    if (It == FState->Icons.end())
        return;
    FState->Forget(It, true);
    XFlush(FState->D);
}

void TDisplayTray::Take(TTrayNews& News) {
    Display* D = FState->D;
    while (XPending(D)) {
        XEvent E;
        XNextEvent(D, &E);
        FState->Handle(E, News, FDoubleClickTime);
    }
    if (FState->FoundUntold && FState->Tray) {
        News.TrayCame = true;
        FState->FoundUntold = false;
    }
}

bool TDisplayTray::Pending() {
    return XPending(FState->D) > 0 || (FState->FoundUntold && FState->Tray);
}

} // namespace traydisplay
