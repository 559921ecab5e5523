// The system tray of an X display, in plain types: the desktop's notification area is built on it, and nothing of
// the display's own library shows outside ShellNotifyIconX11.cpp.
//
// The tray is the window that owns the selection _NET_SYSTEM_TRAY_S<screen>. An icon is a small window of ours
// that draws its picture; it asks the tray to take it in (SYSTEM_TRAY_REQUEST_DOCK), and the tray reparents and
// maps it. A tray that starts later announces itself with a MANAGER message on the root window; one that goes
// away destroys its window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace traydisplay {

// Width x Height pixels, 0xAARRGGBB straight alpha, rows top-down.
struct TTrayPicture {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;
};

// What the user did on an icon. Buttons: 0 left, 1 right, 2 middle. A second press of a button within the
// double-click time comes as DoubleClick instead of Down. X, Y: the pointer on the screen.
struct TTrayAction {
    enum TKind { Move, Down, Up, DoubleClick };
    TKind Kind = Move;
    int Button = 0;
    int X = 0;
    int Y = 0;
    unsigned long Icon = 0;
};

// What came from the display since the last look.
struct TTrayNews {
    std::vector<TTrayAction> Actions;
    // The tray went away; the icons it held are gone with it (their windows are destroyed).
    bool TrayGone = false;
    // A tray took the selection (after one went, or in place of another one).
    bool TrayCame = false;
    // Icons whose windows someone else destroyed.
    std::vector<unsigned long> Lost;
};

class TDisplayTray {
public:
    // A connection to the display that DISPLAY names; null when none can be opened.
    static std::unique_ptr<TDisplayTray> Open();
    ~TDisplayTray();
    TDisplayTray(const TDisplayTray&) = delete;
    TDisplayTray& operator=(const TDisplayTray&) = delete;

    // The connection's file descriptor: readable when something arrived.
    int Descriptor() const;
    // Whether a tray owns the selection now.
    bool TrayPresent();
    // A new icon window showing Picture with Tip as its name, handed to the tray; 0 when there is no tray or the
    // window could not be made.
    unsigned long Dock(const TTrayPicture& Picture, const std::string& Tip);
    // Shows a new picture and name in a docked icon.
    void Update(unsigned long Icon, const TTrayPicture& Picture, const std::string& Tip);
    // A balloon message by a docked icon, for trays that show them, shown for TimeoutMs; the icon's previous
    // message is taken back first, and an empty text only takes it back.
    void Message(unsigned long Icon, const std::string& Text, unsigned TimeoutMs);
    // Takes the icon out of the tray and destroys its window.
    void Remove(unsigned long Icon);
    // Reads and handles everything that arrived (without waiting) and tells what matters outside.
    void Take(TTrayNews& News);
    // Whether something is there to take (also what round trips of the calls above read from the connection).
    bool Pending();
    void SetDoubleClickTime(unsigned Ms) { FDoubleClickTime = Ms; }

private:
    struct TState;
    explicit TDisplayTray(std::unique_ptr<TState> AState);
    std::unique_ptr<TState> FState;
    unsigned FDoubleClickTime = 500;
};

} // namespace traydisplay
