// The tests' own system tray on the X display that DISPLAY names: a 24 x 24 grey window at (10, 10) that owns the
// tray selection, announces itself on the root window, and takes in every icon that asks to dock, as a panel's
// tray does (reparented, sized to 24 x 24, mapped when its embedding info asks for it, and kept in the tray's save
// set, so it outlives the tray's connection). Plain types only: the display library's names clash with the class
// library's.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

class TTestSystemTray {
public:
    TTestSystemTray();
    ~TTestSystemTray();
    // Takes in the icons that asked and notes the windows destroyed inside the tray.
    void Serve();
    // The icon windows that asked to dock, in order, and the embedding info of the last one.
    std::vector<unsigned long> Docks;
    std::vector<long> EmbedInfo;
    std::set<unsigned long> Destroyed;
    // The messages the icons asked the tray to show (as "timeout: text"), and those they took back, by
    // announcement: "show 1" or "cancel 1".
    std::vector<std::string> Messages;
    // A window's _NET_WM_NAME.
    std::string Name(unsigned long Window);
    // The colour at a point of the tray as 0xRRGGBB, the docked icon included.
    unsigned long Pixel(int X, int Y);
    // The display telling the icon that a button (1 left, 3 right) went down or up at a point of the screen.
    void Button(unsigned long Icon, bool Down, unsigned Button, unsigned long Time, int X, int Y);

    // Whether any tray owns the selection of screen 0; the windows on the root window.
    static bool TrayRuns();
    static std::set<unsigned long> RootChildren();

private:
    struct TState;
    std::unique_ptr<TState> FState;
};
