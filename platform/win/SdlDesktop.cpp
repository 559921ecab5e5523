// The desktop back-end on SDL2: each visible top-level window is shown in a borderless host window of
// its own at the same screen position; the host's input becomes the window manager's input.
#include "platform/win/WinInternal.h"

#include <SDL.h>

#include <map>
#include <set>
#include <string>

namespace winimpl {

namespace {

std::string Utf8(const std::u16string& S) {
    std::string R;
    for (std::size_t I = 0; I < S.size(); ++I) {
        std::uint32_t C = S[I];
        if (C >= 0xD800 && C < 0xDC00 && I + 1 < S.size() && S[I + 1] >= 0xDC00 && S[I + 1] < 0xE000)
            C = 0x10000 + ((C - 0xD800) << 10) + (S[++I] - 0xDC00);
        if (C < 0x80)
            R += char(C);
        else if (C < 0x800)
            R += {char(0xC0 | (C >> 6)), char(0x80 | (C & 0x3F))};
        else if (C < 0x10000)
            R += {char(0xE0 | (C >> 12)), char(0x80 | ((C >> 6) & 0x3F)), char(0x80 | (C & 0x3F))};
        else
            R += {char(0xF0 | (C >> 18)), char(0x80 | ((C >> 12) & 0x3F)), char(0x80 | ((C >> 6) & 0x3F)),
                  char(0x80 | (C & 0x3F))};
    }
    return R;
}

UINT VkOf(SDL_Keycode K) {
    if (K >= SDLK_a && K <= SDLK_z)
        return UINT('A' + (K - SDLK_a));
    if (K >= SDLK_0 && K <= SDLK_9)
        return UINT('0' + (K - SDLK_0));
    if (K >= SDLK_F1 && K <= SDLK_F12)
        return VK_F1 + UINT(K - SDLK_F1);
    if (K >= SDLK_KP_1 && K <= SDLK_KP_9)
        return VK_NUMPAD0 + 1 + UINT(K - SDLK_KP_1);
    switch (K) {
    case SDLK_KP_0:
        return VK_NUMPAD0;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_LSHIFT:
        return VK_LSHIFT;
    case SDLK_RSHIFT:
        return VK_RSHIFT;
    case SDLK_LCTRL:
        return VK_LCONTROL;
    case SDLK_RCTRL:
        return VK_RCONTROL;
    case SDLK_LALT:
        return VK_LMENU;
    case SDLK_RALT:
        return VK_RMENU;
    case SDLK_CAPSLOCK:
        return VK_CAPITAL;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_END:
        return VK_END;
    case SDLK_PAGEUP:
        return VK_PRIOR;
    case SDLK_PAGEDOWN:
        return VK_NEXT;
    case SDLK_INSERT:
        return VK_INSERT;
    case SDLK_DELETE:
        return VK_DELETE;
    case SDLK_APPLICATION:
        return VK_APPS;
    case SDLK_SEMICOLON:
        return VK_OEM_1;
    case SDLK_EQUALS:
        return VK_OEM_PLUS;
    case SDLK_COMMA:
        return VK_OEM_COMMA;
    case SDLK_MINUS:
        return VK_OEM_MINUS;
    case SDLK_PERIOD:
        return VK_OEM_PERIOD;
    case SDLK_SLASH:
        return VK_OEM_2;
    case SDLK_BACKQUOTE:
        return VK_OEM_3;
    case SDLK_LEFTBRACKET:
        return VK_OEM_4;
    case SDLK_BACKSLASH:
        return VK_OEM_5;
    case SDLK_RIGHTBRACKET:
        return VK_OEM_6;
    case SDLK_QUOTE:
        return VK_OEM_7;
    case SDLK_KP_MULTIPLY:
        return VK_MULTIPLY;
    case SDLK_KP_PLUS:
        return VK_ADD;
    case SDLK_KP_MINUS:
        return VK_SUBTRACT;
    case SDLK_KP_DIVIDE:
        return VK_DIVIDE;
    case SDLK_KP_PERIOD:
        return VK_DECIMAL;
    }
    return 0;
}

struct THost {
    SDL_Window* Window = nullptr;
    bool Shaped = false;
    HRGN ShapeOf = nullptr; // the window region the shape was made from
    int ShapeW = 0, ShapeH = 0;
    RECT Rect;
    bool Shown = false;
    bool Minimized = false;
    bool Dirty = true;
    BYTE Opacity = 255;
    SDL_Surface* Surface = nullptr; // the last surface drawn into
};

class TSdlBackend : public TBackendHooks {
public:
    std::map<HWND, THost> Hosts;
    std::map<Uint32, HWND> ById;
    std::set<HWND> Exposed;
    Uint32 WakeEvent = 0;
    HWND Raised = nullptr; // the active window last brought to the front

    ~TSdlBackend() override {
        for (auto& [H, Host] : Hosts)
            if (Host.Window)
                SDL_DestroyWindow(Host.Window);
    }

    void TopLevelChanged(TWnd* W) override {
        if (!W || W->Dead)
            return;
        bool Want = W->Visible() && !(W->Style & WS_MINIMIZE) &&
                    !((W->ExStyle & WS_EX_LAYERED) && W->LayerMode == TLayerMode::None);
        auto It = Hosts.find(W->Handle);
        if (It == Hosts.end()) {
            if (!W->Visible())
                return;
            It = Hosts.emplace(W->Handle, THost{}).first;
        }
        THost& H = It->second;
        RECT R = W->Rect;
        int Wd = std::max(1, int(R.Right - R.Left)), Ht = std::max(1, int(R.Bottom - R.Top));
        HRGN Region = W->PaintData ? static_cast<TSurfaceData*>(W->PaintData)->Region : nullptr;
        if (H.Window && bool(Region) != H.Shaped) {
            // A shaped host is made as such: a region set later takes a new host.
            ById.erase(SDL_GetWindowID(H.Window));
            SDL_DestroyWindow(H.Window);
            Exposed.erase(W->Handle);
            H = THost{};
        }
        if (!H.Window && Region) {
            H.Window = SDL_CreateShapedWindow(Utf8(W->Text).c_str(), unsigned(std::max(0, int(R.Left))),
                                              unsigned(std::max(0, int(R.Top))), unsigned(Wd), unsigned(Ht),
                                              SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
            if (H.Window) {
                H.Shaped = true;
                ById[SDL_GetWindowID(H.Window)] = W->Handle;
                H.Rect = R;
                SDL_SetWindowPosition(H.Window, R.Left, R.Top);
            }
        }
        if (!H.Window) {
            Uint32 Flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;
            // Popups never take the focus: the display treats them as popup menus.
            if ((W->Style & WS_POPUP) && (W->ExStyle & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE)))
                Flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR;
            H.Window = SDL_CreateWindow(Utf8(W->Text).c_str(), R.Left, R.Top, Wd, Ht, Flags);
            if (!H.Window)
                return;
            ById[SDL_GetWindowID(H.Window)] = W->Handle;
            H.Rect = R;
        }
        if (!(H.Rect == R)) {
            if (H.Rect.Left != R.Left || H.Rect.Top != R.Top)
                SDL_SetWindowPosition(H.Window, R.Left, R.Top);
            if ((H.Rect.Right - H.Rect.Left) != Wd || (H.Rect.Bottom - H.Rect.Top) != Ht)
                SDL_SetWindowSize(H.Window, Wd, Ht);
            H.Rect = R;
        }
        BYTE Opacity = (W->ExStyle & WS_EX_LAYERED) && W->LayerMode == TLayerMode::Attributes ? W->LayerAlpha : 255;
        if (Opacity != H.Opacity) {
            SDL_SetWindowOpacity(H.Window, float(Opacity) / 255.0f);
            H.Opacity = Opacity;
        }
        if (W->Style & WS_MINIMIZE) {
            if (!H.Minimized && H.Shown)
                SDL_MinimizeWindow(H.Window);
            H.Minimized = true;
        } else if (H.Minimized && W->Visible()) {
            SDL_RestoreWindow(H.Window);
            H.Minimized = false;
        }
        if (H.Shaped && (H.ShapeOf != Region || H.ShapeW != Wd || H.ShapeH != Ht))
            ApplyShape(H, Region, Wd, Ht);
        if (Want && !H.Shown) {
            SDL_ShowWindow(H.Window);
            H.Shown = true;
        } else if (!W->Visible() && H.Shown) {
            SDL_HideWindow(H.Window);
            H.Shown = false;
            Exposed.erase(W->Handle);
        }
        // The active window comes to the front once, when it becomes active: raised again at each paint, it would
        // bury the drop-downs and menus shown above it.
        if (!H.Shown && Raised == W->Handle)
            Raised = nullptr;
        if (S().Active == W->Handle && H.Shown && Raised != W->Handle &&
            !(SDL_GetWindowFlags(H.Window) & SDL_WINDOW_POPUP_MENU)) {
            SDL_RaiseWindow(H.Window);
            Raised = W->Handle;
        }
        H.Dirty = true;
    }

    // The region becomes the host's shape where the display supports shapes.
    void ApplyShape(THost& H, HRGN Region, int Wd, int Ht) {
        H.ShapeOf = Region;
        H.ShapeW = Wd;
        H.ShapeH = Ht;
        SDL_Surface* Mask = SDL_CreateRGBSurfaceWithFormat(0, Wd, Ht, 32, SDL_PIXELFORMAT_ARGB8888);
        if (!Mask)
            return;
        for (int Y = 0; Y < Ht; ++Y) {
            auto* Row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(Mask->pixels) +
                                                  std::size_t(Y) * std::size_t(Mask->pitch));
            for (int X = 0; X < Wd; ++X)
                Row[X] = PtInRegion(Region, X, Y) ? 0xFF000000u : 0;
        }
        SDL_WindowShapeMode Mode;
        Mode.mode = ShapeModeBinarizeAlpha;
        Mode.parameters.binarizationCutoff = 1;
        SDL_SetWindowShape(H.Window, Mask, &Mode);
        SDL_FreeSurface(Mask);
    }

    void TopLevelDestroyed(TWnd* W) override {
        auto It = Hosts.find(W->Handle);
        if (It == Hosts.end())
            return;
        if (It->second.Window) {
            ById.erase(SDL_GetWindowID(It->second.Window));
            SDL_DestroyWindow(It->second.Window);
        }
        Exposed.erase(W->Handle);
        if (Raised == W->Handle)
            Raised = nullptr;
        Hosts.erase(It);
    }

    // Only hosts whose window painted or changed are drawn again.
    void Present() {
        for (auto& [Hw, H] : Hosts) {
            if (!H.Dirty || !H.Shown || !H.Window)
                continue;
            TWnd* W = FromHandle(Hw);
            if (!W)
                continue;
            H.Dirty = false;
            TSurfaceData& D = EnsureBuffer(W);
            SDL_Surface* Dst = SDL_GetWindowSurface(H.Window);
            // A new surface may come with a new display window (the first one does), which has lost the opacity.
            if (Dst && Dst != H.Surface) {
                H.Surface = Dst;
                if (H.Opacity != 255)
                    SDL_SetWindowOpacity(H.Window, float(H.Opacity) / 255.0f);
            }
            if (!Dst || !D.Bits)
                continue;
            SDL_Surface* Src =
                SDL_CreateRGBSurfaceWithFormatFrom(D.Bits, D.Width, D.Height, 32, D.Width * 4, SDL_PIXELFORMAT_RGB888);
            if (!Src)
                continue;
            SDL_BlitSurface(Src, nullptr, Dst, nullptr);
            SDL_FreeSurface(Src);
            SDL_UpdateWindowSurface(H.Window);
        }
    }

    // A display without a window manager gives each window it maps the keyboard, and takes it from everyone when
    // that window goes. A popup, which never activates, hands the keyboard back to the active window at once.
    void ReturnFocus() {
        auto It = Hosts.find(S().Active);
        if (It != Hosts.end() && It->second.Window && It->second.Shown)
            SDL_SetWindowInputFocus(It->second.Window);
    }

    void Handle(const SDL_Event& E) {
        auto Screen = [&](Uint32 Id, int X, int Y) {
            auto It = ById.find(Id);
            if (It == ById.end())
                return POINT{X, Y};
            auto& H = Hosts[It->second];
            return POINT{H.Rect.Left + X, H.Rect.Top + Y};
        };
        switch (E.type) {
        case SDL_MOUSEMOTION: {
            POINT P = Screen(E.motion.windowID, E.motion.x, E.motion.y);
            InjectMouseMove(P.X, P.Y);
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            POINT P = Screen(E.button.windowID, E.button.x, E.button.y);
            InjectMouseMove(P.X, P.Y);
            int B = E.button.button == SDL_BUTTON_RIGHT ? 1 : E.button.button == SDL_BUTTON_MIDDLE ? 2 : 0;
            InjectMouseButton(B, E.type == SDL_MOUSEBUTTONDOWN);
            break;
        }
        case SDL_MOUSEWHEEL:
            InjectMouseWheel(E.wheel.y * WHEEL_DELTA);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (UINT Vk = VkOf(E.key.keysym.sym))
                InjectKey(Vk, E.type == SDL_KEYDOWN);
            break;
        case SDL_TEXTINPUT: {
            // Characters no key of the layout makes come as text; the rest come from the keys.
            std::u16string T;
            const unsigned char* P = reinterpret_cast<const unsigned char*>(E.text.text);
            while (*P) {
                std::uint32_t C = *P++;
                int More = C >= 0xF0 ? 3 : C >= 0xE0 ? 2 : C >= 0xC0 ? 1 : 0;
                C &= More == 3 ? 0x07 : More == 2 ? 0x0F : More == 1 ? 0x1F : 0x7F;
                for (; More > 0 && (*P & 0xC0) == 0x80; --More)
                    C = (C << 6) | (*P++ & 0x3F);
                if (C < 0x80)
                    continue;
                if (C >= 0x10000) {
                    C -= 0x10000;
                    InjectChar(WCHAR(0xD800 + (C >> 10)));
                    InjectChar(WCHAR(0xDC00 + (C & 0x3FF)));
                } else {
                    InjectChar(WCHAR(C));
                }
            }
            break;
        }
        case SDL_WINDOWEVENT: {
            auto It = ById.find(E.window.windowID);
            if (It == ById.end())
                break;
            HWND Hw = It->second;
            switch (E.window.event) {
            case SDL_WINDOWEVENT_EXPOSED:
                Exposed.insert(Hw);
                Hosts[Hw].Dirty = true;
                break;
            case SDL_WINDOWEVENT_FOCUS_GAINED: {
                TWnd* W = FromHandle(Hw);
                if (!W)
                    break;
                if (SDL_GetWindowFlags(Hosts[Hw].Window) & SDL_WINDOW_POPUP_MENU)
                    ReturnFocus();
                else if (S().Active != Hw && W->Enabled() && !(W->ExStyle & (WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW)))
                    ActivateWindow(W, WA_ACTIVE);
                break;
            }
            case SDL_WINDOWEVENT_CLOSE:
                PostMessageW(Hw, WM_SYSCOMMAND, SC_CLOSE, 0);
                break;
            case SDL_WINDOWEVENT_MINIMIZED:
                if (!IsIconic(Hw))
                    PostMessageW(Hw, WM_SYSCOMMAND, SC_MINIMIZE, 0);
                break;
            case SDL_WINDOWEVENT_RESTORED:
                if (IsIconic(Hw))
                    PostMessageW(Hw, WM_SYSCOMMAND, SC_RESTORE, 0);
                break;
            }
            break;
        }
        }
    }

    void Poll() override {
        SDL_Event E;
        while (SDL_PollEvent(&E))
            Handle(E);
        Present();
    }

    void WaitEvents(std::uint64_t AMs) override {
        Poll();
        {
            std::lock_guard<std::mutex> L(S().QueueLock);
            if (QueueHasWork())
                return;
        }
        SDL_Event E;
        if (SDL_WaitEventTimeout(&E, int(std::min<std::uint64_t>(AMs, 50))))
            Handle(E);
        Poll();
    }

    void Wake() override {
        S().QueueSignal.notify_all();
        SDL_Event E{};
        E.type = WakeEvent;
        SDL_PushEvent(&E);
    }
};

TSdlBackend* GDesktop = nullptr;

} // namespace

} // namespace winimpl

using namespace winimpl;

bool UseDesktopBackend() {
    EnsureGuiThread();
    if (GDesktop)
        return true;
    if (!IsGuiThread())
        return false;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    TState& St = S();
    SDL_Rect B, U;
    if (SDL_GetDisplayBounds(0, &B) == 0) {
        St.Screen = RECT{B.x, B.y, B.x + B.w, B.y + B.h};
        St.WorkArea = St.Screen;
        if (SDL_GetDisplayUsableBounds(0, &U) == 0)
            St.WorkArea = RECT{U.x, U.y, U.x + U.w, U.y + U.h};
        DesktopWnd()->Rect = St.Screen;
        DesktopWnd()->Client = RECT{0, 0, B.w, B.h};
        SetScreenSize(B.w, B.h);
    }
    GDesktop = new TSdlBackend;
    GDesktop->WakeEvent = SDL_RegisterEvents(1);
    // Without a compositor the display cannot blend a window's pixels with what lies below.
    St.LayeredPerPixel = false;
    St.Backend = GDesktop;
    for (TWnd* W : DesktopWnd()->Children)
        GDesktop->TopLevelChanged(W);
    return true;
}

bool DesktopBackendInUse() {
    return GDesktop != nullptr;
}

bool DesktopWindowExposed(HWND hWnd) {
    return GDesktop && GDesktop->Exposed.count(hWnd) > 0;
}
