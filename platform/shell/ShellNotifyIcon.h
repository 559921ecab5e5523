// The notification area: icons that programs put beside the clock, with their tooltips and balloon tips, and the
// mouse actions on them sent back to a window.
//
// Public names: NOTIFYICONDATAW, Shell_NotifyIconW and the NIM_, NIF_, NIIF_ and NIN_ constants.
//
// Shell_NotifyIconW goes to a replaceable area (SetNotificationArea). The default is the desktop's: the system
// tray of the X display, while the window layer shows its windows there (UseDesktopBackend). Without a display
// or without a tray the area is absent: every request answers FALSE and callers carry on without an icon. Tests
// put a TRecordingNotificationArea in place, which keeps the icons and every request.
#pragma once

#include "platform/base/System.h"
#include "platform/gdi/WinDef.h"
#include "platform/win/Windows.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

constexpr DWORD NIM_ADD = 0;
constexpr DWORD NIM_MODIFY = 1;
constexpr DWORD NIM_DELETE = 2;

constexpr UINT NIF_MESSAGE = 0x1;
constexpr UINT NIF_ICON = 0x2;
constexpr UINT NIF_TIP = 0x4;
constexpr UINT NIF_INFO = 0x10;

constexpr DWORD NIIF_NONE = 0;
constexpr DWORD NIIF_INFO = 1;
constexpr DWORD NIIF_WARNING = 2;
constexpr DWORD NIIF_ERROR = 3;

// Sent to the icon's window with the callback message when the user clicks a balloon.
constexpr UINT NIN_BALLOONUSERCLICK = WM_USER + 5;

struct NOTIFYICONDATAW {
    DWORD cbSize = 0;
    HWND hWnd = nullptr;
    UINT uID = 0;
    UINT uFlags = 0;
    UINT uCallbackMessage = 0;
    HICON hIcon = nullptr;
    WCHAR szTip[128] = {};
    DWORD dwState = 0;
    DWORD dwStateMask = 0;
    WCHAR szInfo[256] = {};
    UINT uTimeout = 0;
    WCHAR szInfoTitle[64] = {};
    DWORD dwInfoFlags = 0;
};

// The text of a fixed character array up to its terminating zero.
template <std::size_t N> String NotifyText(const WCHAR (&Chars)[N]) {
    std::size_t L = 0;
    while (L < N && Chars[L])
        ++L;
    return String(Chars, L);
}

class TNotificationArea {
public:
    virtual ~TNotificationArea() = default;
    // Carries out one request (NIM_ADD, NIM_MODIFY or NIM_DELETE); false when it could not.
    virtual bool Notify(DWORD Message, const NOTIFYICONDATAW& Data) = 0;
};

// Keeps the icons by window and id, as an area shows them, and every request in order. A request that the area
// would refuse (adding an icon that is there, changing or deleting one that is not) answers false. Present false
// refuses everything, as an area that went away does.
class TRecordingNotificationArea : public TNotificationArea {
public:
    bool Notify(DWORD Message, const NOTIFYICONDATAW& Data) override;

    struct TRequest {
        DWORD Message;
        NOTIFYICONDATAW Data;
    };
    std::vector<TRequest> Requests;
    std::map<std::pair<HWND, UINT>, NOTIFYICONDATAW> Icons;
    bool Present = true;
    // Forgets the icons, as a restarted desktop shell does.
    void Restart() { Icons.clear(); }
};

// The desktop's area: the system tray of the X display. Each icon is a small window of its own that the tray takes
// in; it shows the icon's picture and has the tip as its name. The pointer on it comes to the icon's window as
// the callback message (wParam the icon's id, lParam WM_MOUSEMOVE, WM_xBUTTONDOWN, WM_xBUTTONUP or
// WM_xBUTTONDBLCLK), after the cursor was put where the pointer is. A balloon goes to the tray as the icon's
// message (title and text on two lines), which trays that show messages show; a click on it is not told.
//
// Requests answer FALSE while no tray runs. Icons the tray held when it went away are kept (changes and deletes
// still apply to them) and go to the next tray that comes; a tray that comes also tells the application's
// top-level windows with the registered message "TaskbarCreated", so that icons added while there was none are
// added again. Headless (no desktop back-end) the area never opens the display.
class TDesktopNotificationArea : public TNotificationArea {
public:
    TDesktopNotificationArea();
    ~TDesktopNotificationArea() override;
    bool Notify(DWORD Message, const NOTIFYICONDATAW& Data) override;

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};

BOOL Shell_NotifyIconW(DWORD dwMessage, NOTIFYICONDATAW* lpData);

// The area in use (the desktop's until one is set).
TNotificationArea& NotificationArea();
// Puts AArea in place (null brings back the desktop's) and hands back the previous one.
std::unique_ptr<TNotificationArea> SetNotificationArea(std::unique_ptr<TNotificationArea> AArea);
