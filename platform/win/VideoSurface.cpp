#include "platform/win/VideoSurface.h"

#include "platform/win/WinExtras.h"

#include <atomic>
#include <mutex>
#include <vector>

struct TVideoSurface::TState {
    mutable std::mutex Lock;
    std::vector<DWORD> Pixels;
    int Width = 0;
    int Height = 0;
    bool Alive = true;
    HWND Host = nullptr;
    std::atomic<bool> InvalidatePending{false};
    UINT InvalidateMsg = 0;
    std::function<void(int, int)>* OnResize = nullptr;
    TVideoSurface* Owner = nullptr;

    void Resize(int W, int H) {
        Pixels.assign(std::size_t(std::max(0, W)) * std::size_t(std::max(0, H)), 0);
        Width = std::max(0, W);
        Height = std::max(0, H);
    }
};

std::shared_ptr<TVideoSurface> TVideoSurface::Create(HWND AHost) {
    if (!IsWindow(AHost) || !IsGuiThread())
        return nullptr;
    std::shared_ptr<TVideoSurface> Self(new TVideoSurface);
    auto St = std::make_shared<TState>();
    St->Host = AHost;
    St->InvalidateMsg = RegisterWindowMessageW(u"QvVideoSurfaceInvalidate");
    St->Owner = Self.get();
    RECT R;
    GetClientRect(AHost, &R);
    St->Resize(R.Right, R.Bottom);
    Self->FState = St;
    // The link holds the state, not the surface: the surface may go while the host lives on.
    auto Link = std::make_shared<WNDPROC>(nullptr);
    *Link = SubclassWindowProc(AHost, [St, Link](HWND h, UINT M, WPARAM W, LPARAM L) -> LRESULT {
        if (M == St->InvalidateMsg) {
            St->InvalidatePending = false;
            InvalidateRect(h, nullptr, FALSE);
            return 0;
        }
        switch (M) {
        case WM_ERASEBKGND:
            return 1; // the picture covers the whole client area
        case WM_PAINT: {
            PAINTSTRUCT Ps;
            HDC Dc = BeginPaint(h, &Ps);
            {
                std::lock_guard<std::mutex> G(St->Lock);
                if (Dc && St->Width > 0 && St->Height > 0) {
                    BITMAPINFO Bi{};
                    Bi.bmiHeader.biWidth = St->Width;
                    Bi.bmiHeader.biHeight = -St->Height;
                    Bi.bmiHeader.biBitCount = 32;
                    SetDIBitsToDevice(Dc, 0, 0, DWORD(St->Width), DWORD(St->Height), 0, 0, 0, UINT(St->Height),
                                      St->Pixels.data(), &Bi, DIB_RGB_COLORS);
                }
            }
            EndPaint(h, &Ps);
            return 0;
        }
        case WM_SIZE: {
            LRESULT R = CallPrevWndProc(*Link, h, M, W, L);
            RECT Cr;
            GetClientRect(h, &Cr);
            bool Changed = false;
            {
                std::lock_guard<std::mutex> G(St->Lock);
                if (St->Alive && (Cr.Right != St->Width || Cr.Bottom != St->Height)) {
                    St->Resize(Cr.Right, Cr.Bottom);
                    Changed = true;
                }
            }
            if (Changed) {
                if (St->Owner && St->Owner->OnResize)
                    St->Owner->OnResize(Cr.Right, Cr.Bottom);
                InvalidateRect(h, nullptr, FALSE);
            }
            return R;
        }
        case WM_NCDESTROY: {
            {
                std::lock_guard<std::mutex> G(St->Lock);
                St->Alive = false;
                St->Pixels.clear();
                St->Width = St->Height = 0;
            }
            return CallPrevWndProc(*Link, h, M, W, L);
        }
        }
        return CallPrevWndProc(*Link, h, M, W, L);
    });
    Self->FProc = *Link;
    return Self;
}

TVideoSurface::~TVideoSurface() {
    if (IsGuiThread())
        Detach();
    else if (FState) {
        std::lock_guard<std::mutex> G(FState->Lock);
        FState->Owner = nullptr;
        FState->Alive = false;
    }
}

void TVideoSurface::Detach() {
    if (!FState)
        return;
    HWND Host;
    {
        std::lock_guard<std::mutex> G(FState->Lock);
        FState->Alive = false;
        FState->Owner = nullptr;
        Host = FState->Host;
    }
    RemoveWindowProcLink(Host, FProc);
}

bool TVideoSurface::Lock(TLockedPixels& P) {
    FState->Lock.lock();
    if (!FState->Alive || FState->Width == 0 || FState->Height == 0) {
        FState->Lock.unlock();
        P = TLockedPixels{};
        return false;
    }
    P.Bits = FState->Pixels.data();
    P.Width = FState->Width;
    P.Height = FState->Height;
    P.Pitch = FState->Width;
    return true;
}

void TVideoSurface::Unlock() {
    FState->Lock.unlock();
}

void TVideoSurface::Invalidate() {
    HWND Host;
    {
        std::lock_guard<std::mutex> G(FState->Lock);
        if (!FState->Alive)
            return;
        Host = FState->Host;
    }
    if (IsGuiThread()) {
        InvalidateRect(Host, nullptr, FALSE);
        return;
    }
    // One pending request is enough however often a worker asks.
    if (!FState->InvalidatePending.exchange(true))
        if (!PostMessageW(Host, FState->InvalidateMsg, 0, 0))
            FState->InvalidatePending = false;
}

int TVideoSurface::Width() const {
    std::lock_guard<std::mutex> G(FState->Lock);
    return FState->Width;
}

int TVideoSurface::Height() const {
    std::lock_guard<std::mutex> G(FState->Lock);
    return FState->Height;
}

HWND TVideoSurface::Host() const {
    return FState->Host;
}

bool TVideoSurface::Alive() const {
    std::lock_guard<std::mutex> G(FState->Lock);
    return FState->Alive;
}
