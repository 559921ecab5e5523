// VideoSurface: 32-bit pixels that a worker thread draws for a host window.
//
// A worker locks the surface, draws into its pixels, unlocks and invalidates, from any thread; the GUI
// thread shows the pixels when the host paints, clipped to the host's visible region. The surface always
// has the host's client size and tells its user when that changes. It takes its place in the host's chain
// of window procedures (it answers WM_PAINT, WM_ERASEBKGND and WM_SIZE and passes on the rest), so code
// that subclasses the host afterwards can call it as the procedure below its own. When the host is
// destroyed, even while a worker holds the lock, the next Lock fails and nothing else happens.
#pragma once

#include "platform/win/Windows.h"

#include <functional>
#include <memory>

class TVideoSurface {
public:
    struct TLockedPixels {
        DWORD* Bits = nullptr; // top-down rows of 0x00RRGGBB
        int Width = 0;
        int Height = 0;
        int Pitch = 0; // pixels per row
    };

    // On the GUI thread: a surface for the host window, or null when the host is not a window.
    static std::shared_ptr<TVideoSurface> Create(HWND AHost);
    ~TVideoSurface();

    // Any thread. False when the host is gone (or detached); otherwise the pixels stay locked until Unlock.
    bool Lock(TLockedPixels& APixels);
    void Unlock();
    // Any thread: the host shows the pixels at its next paint.
    void Invalidate();

    int Width() const;
    int Height() const;
    HWND Host() const;
    bool Alive() const;
    // The surface's link in the host's procedure chain.
    WNDPROC Proc() const { return FProc; }
    // GUI thread: takes the surface out of the host's chain; Lock fails afterwards.
    void Detach();

    // GUI thread, after the pixels took a new size (the host's client size).
    std::function<void(int AWidth, int AHeight)> OnResize;

    struct TState;

private:
    TVideoSurface() = default;
    std::shared_ptr<TState> FState;
    WNDPROC FProc = nullptr;
};
