// WinExtras: what this system's window manager offers beyond the platform's own interface: the
// replaceable clock, input injection, back-end selection, closures as window procedures and a reset for
// tests.
#pragma once

#include "platform/win/Windows.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// One clock serves GetTickCount, Sleep, message times and timers.
class TWinClock {
public:
    virtual ~TWinClock() = default;
    // Milliseconds since an arbitrary start.
    virtual std::uint64_t Read() = 0;
    // The time without the side effects of a read: the window manager's own look at the clock, so
    // delivering messages never makes time pass on the tests' clock.
    virtual std::uint64_t Current() { return Read(); }
    virtual void Sleep(std::uint64_t Ms) = 0;
    // A virtual clock can jump to a point in time instead of waiting for it.
    virtual bool IsVirtual() const { return false; }
    virtual void AdvanceTo(std::uint64_t Ms) {}
};

// Monotonic real time.
class TSystemClock : public TWinClock {
public:
    std::uint64_t Read() override;
    void Sleep(std::uint64_t Ms) override;
};

// The tests' clock: every read and every Sleep moves it forward by a fixed step (a Sleep by its
// duration, at least the step), so loops that poll the tick count end without real waiting, and a
// message loop with nothing to do jumps to the next timer instead of blocking.
class TTestClock : public TWinClock {
public:
    explicit TTestClock(std::uint64_t AStart = 1000, std::uint64_t AStep = 1) : FNow(AStart), FStep(AStep) {}
    std::uint64_t Read() override;
    std::uint64_t Current() override { return FNow; }
    void Sleep(std::uint64_t Ms) override;
    bool IsVirtual() const override { return true; }
    void AdvanceTo(std::uint64_t Ms) override;
    std::uint64_t Step() const { return FStep; }

private:
    std::atomic<std::uint64_t> FNow;
    std::uint64_t FStep;
};

// Replaces the clock; returns the previous one. Null restores the system clock.
std::unique_ptr<TWinClock> SetWinClock(std::unique_ptr<TWinClock> AClock);
TWinClock& WinClock();

// Closures as window procedures. The returned value can be stored with SetWindowLongPtr(GWLP_WNDPROC)
// and is called through CallWindowProc like any procedure.
using TWndProcFunc = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
WNDPROC MakeWndProcInstance(TWndProcFunc AFunc);
// Installs AFunc as the outermost procedure of the window; returns the link, whose previous procedure
// is what CallPrevWndProc calls.
WNDPROC SubclassWindowProc(HWND hWnd, TWndProcFunc AFunc);
LRESULT CallPrevWndProc(WNDPROC ALink, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// Takes a link out of its window's chain, whether or not it is the outermost: an outer link that still
// calls it passes straight through to its previous procedure.
void RemoveWindowProcLink(HWND hWnd, WNDPROC ALink);

// Injected input: goes through hit testing, capture and focus like the user's. Coordinates are screen
// pixels. Buttons: 0 left, 1 right, 2 middle.
void InjectMouseMove(int X, int Y);
void InjectMouseButton(int AButton, bool ADown);
void InjectMouseWheel(int ADelta);
void InjectKey(UINT AVirtualKey, bool ADown);
// A character as a text-input method delivers it (WM_CHAR to the focus), for text no key produces.
void InjectChar(WCHAR ACh);
// Convenience: press and release.
void InjectClick(int X, int Y, int AButton = 0);
void InjectKeyPress(UINT AVirtualKey);

// The screen as the visible top-level windows compose it (headless: the virtual screen), as 0xAARRGGBB
// pixels of an area, row by row; one pixel as a colour; pictures saved as PNG.
std::vector<DWORD> CaptureScreen(const RECT& Area);
COLORREF ScreenPixel(int X, int Y);
bool SaveScreenToPng(const std::string& FileName);
bool SaveWindowToPng(HWND hWnd, const std::string& FileName);

// The desktop back-end on SDL2: every visible top-level window gets a borderless host window of the
// display. False when no display can be opened (the headless back-end stays).
bool UseDesktopBackend();
// The display has shown the window's host (it was exposed).
bool DesktopWindowExposed(HWND hWnd);
// Waits until something arrives from outside or from another thread, at most Ms milliseconds.
void WaitForEvents(DWORD Ms);

// Runs what is queued (sent, posted, input, paint, timers that are due) until nothing is left, then
// returns. WM_QUIT is left in the queue.
void ProcessPendingMessages();

// Called by every look at the queue on the GUI thread (platform/base's synchronised calls).
void SetSynchronizeHook(std::function<bool()> AHook);

// Whether the calling thread is the GUI thread (the thread that first used the window manager).
bool IsGuiThread();

// Destroys every window and forgets classes, timers, queued messages, focus, capture and input state;
// the clock and back-end are kept. Tests start from here.
void ResetWindowManager();
