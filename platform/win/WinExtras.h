// WinExtras: what this system's window manager offers beyond the platform's own interface: the
// replaceable clock, input injection, back-end selection, closures as window procedures and a reset for
// tests.
#pragma once

#include "platform/base/SysUtils.h"
#include "platform/win/Windows.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The program's one clock (platform/base) serves GetTickCount, Sleep, message times and timers;
// TSystemClock and TTestClock come from there too.
using TWinClock = TClock;
// Replaces the clock and returns the previous one; null restores the system clock.
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
// Whether the desktop back-end is in use (UseDesktopBackend succeeded).
bool DesktopBackendInUse();
// The display has shown the window's host (it was exposed).
bool DesktopWindowExposed(HWND hWnd);
// Waits until something arrives from outside or from another thread, at most Ms milliseconds.
void WaitForEvents(DWORD Ms);

// Runs what is queued (sent, posted, input, paint, timers that are due) until nothing is left, then
// returns. WM_QUIT is left in the queue.
void ProcessPendingMessages();

// Whether the calling thread is the GUI thread (the thread that first used the window manager).
bool IsGuiThread();

// Destroys every window and forgets classes, timers, queued messages, focus, capture and input state;
// the clock and back-end are kept. Tests start from here.
void ResetWindowManager();
