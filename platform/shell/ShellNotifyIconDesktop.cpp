// The desktop's notification area: the requests kept as icons of the display's system tray, and what the display
// tells (the pointer on an icon, a tray coming or going) turned into the platform's messages on the GUI thread.
#include "platform/shell/ShellNotifyIcon.h"

#include "platform/base/Threads.h"
#include "platform/gdi/Graphics.h"
#include "platform/shell/ShellNotifyIconX11.h"
#include "platform/win/WinExtras.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <map>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace {

using traydisplay::TTrayAction;
using traydisplay::TTrayPicture;

// Waits on the display's connection and has the GUI thread read it; after a read it waits until the GUI thread
// says it is done (Rearm), since what lies on the connection is read there, not here.
class TTrayWatcher : public TThread {
public:
    TTrayWatcher(int AFd, std::function<void()> AOnReadable)
        : TThread(true), FFd(AFd), FOnReadable(std::move(AOnReadable)) {
        if (pipe2(FWake, O_CLOEXEC | O_NONBLOCK) != 0)
            FWake[0] = FWake[1] = -1;
    }
    ~TTrayWatcher() override {
        for (int Fd : FWake)
            if (Fd >= 0)
                close(Fd);
    }
    bool Usable() const { return FWake[0] >= 0; }
    void Rearm() {
        const char C = 0;
        [[maybe_unused]] ssize_t N = write(FWake[1], &C, 1);
    }

protected:
    void Execute() override {
        bool Armed = true;
        while (!Terminated()) {
            pollfd P[2] = {{FFd, short(Armed ? POLLIN : 0), 0}, {FWake[0], POLLIN, 0}};
            // Disarmed, it looks again after a while in case the GUI thread's answer went missing.
            const int N = poll(P, 2, Armed ? -1 : 1000);
            if (N < 0 && errno != EINTR)
                break;
            if (N == 0 || (P[1].revents & POLLIN)) {
                char Buf[64];
                while (read(FWake[0], Buf, sizeof Buf) > 0) {
                }
                Armed = true;
                continue;
            }
            if (P[0].revents & (POLLHUP | POLLERR | POLLNVAL))
                break; // the display went away
            if (P[0].revents & POLLIN) {
                Armed = false;
                Queue(FOnReadable);
            }
        }
    }
    void TerminatedSet() override { Rearm(); }

private:
    int FFd;
    std::function<void()> FOnReadable;
    int FWake[2] = {-1, -1};
};

TTrayPicture PictureOf(HICON Icon) {
    TTrayPicture P;
    int W = 0, H = 0;
    if (Icon && GetIconSize(Icon, &W, &H) && W > 0 && H > 0 && GetIconPixels(Icon, P.Pixels) &&
        P.Pixels.size() == std::size_t(W) * std::size_t(H)) {
        P.Width = W;
        P.Height = H;
    } else {
        P.Pixels.clear();
    }
    return P;
}

} // namespace

struct TDesktopNotificationArea::TImpl {
    struct TRecord {
        NOTIFYICONDATAW Data;
        TTrayPicture Picture;
        std::string Tip;
        std::string Balloon; // title and text on two lines
        bool BalloonChanged = false;
        unsigned long Window = 0; // 0 while no tray holds it
    };

    std::unique_ptr<traydisplay::TDisplayTray> Tray;
    TTrayWatcher* Watcher = nullptr;
    bool Watching = false;
    std::map<std::pair<HWND, UINT>, TRecord> Icons;
    bool Closing = false;
    bool Taking = false;
    bool TakeAgain = false;

    ~TImpl() {
        Closing = true;
        if (Watching) {
            Watcher->Terminate();
            Watcher->WaitFor();
            TThread::RemoveQueuedEvents(Watcher);
        }
        delete Watcher;
        Tray.reset();
    }

    bool Open() {
        if (Tray)
            return true;
        if (!DesktopBackendInUse())
            return false;
        Tray = traydisplay::TDisplayTray::Open();
        if (!Tray)
            return false;
        Watcher = new TTrayWatcher(Tray->Descriptor(), [this] { Readable(); });
        // Without its wake-up pipe the watcher does not run, and the display is read at each request only.
        Watching = Watcher->Usable();
        if (Watching)
            Watcher->Start();
        return true;
    }

    void Readable() {
        if (Closing)
            return;
        TakeNews();
        Watcher->Rearm();
    }

    // Handles what the display told; a look that starts while one runs (a message loop entered from here) is
    // folded into the running one.
    void TakeNews() {
        if (Taking) {
            TakeAgain = true;
            return;
        }
        Taking = true;
        do {
            TakeAgain = false;
            traydisplay::TTrayNews News;
            Tray->SetDoubleClickTime(GetDoubleClickTime());
            Tray->Take(News);
            Apply(News);
        } while (TakeAgain || Tray->Pending());
        Taking = false;
    }

    void Apply(const traydisplay::TTrayNews& News) {
        for (unsigned long W : News.Lost)
            for (auto& [Key, R] : Icons)
                if (R.Window == W)
                    R.Window = 0;
        if (News.TrayGone)
            for (auto& [Key, R] : Icons)
                R.Window = 0;
        for (const TTrayAction& A : News.Actions)
            Deliver(A);
        if (News.TrayCame) {
            for (auto& [Key, R] : Icons)
                if (!R.Window)
                    R.Window = Tray->Dock(R.Picture, R.Tip);
            PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(u"TaskbarCreated"), 0, 0);
        }
    }

    void Deliver(const TTrayAction& A) {
        auto It = std::find_if(Icons.begin(), Icons.end(), [&](const auto& I) { return I.second.Window == A.Icon; });
        if (It == Icons.end())
            return;
        // An icon whose window went without deleting it goes when the pointer comes to it.
        if (!IsWindow(It->second.Data.hWnd)) {
            Tray->Remove(It->second.Window);
            Icons.erase(It);
            return;
        }
        const NOTIFYICONDATAW To = It->second.Data;
        if (!To.uCallbackMessage)
            return;
        // The icon's window reads the cursor when told: it is where the pointer is, wherever that lies.
        InjectMouseMove(A.X, A.Y);
        MSG M;
        PeekMessageW(&M, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE);
        static const UINT Downs[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
        static const UINT Ups[3] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
        static const UINT Doubles[3] = {WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK};
        UINT Action = WM_MOUSEMOVE;
        switch (A.Kind) {
        case TTrayAction::Move:
            break;
        case TTrayAction::Down:
            Action = Downs[A.Button];
            break;
        case TTrayAction::Up:
            Action = Ups[A.Button];
            break;
        case TTrayAction::DoubleClick:
            Action = Doubles[A.Button];
            break;
        }
        PostMessageW(To.hWnd, To.uCallbackMessage, WPARAM(To.uID), LPARAM(Action));
    }

    // The record's members that the request's flags name take the request's values.
    static void Merge(TRecord& R, const NOTIFYICONDATAW& Data) {
        R.Data.hWnd = Data.hWnd;
        R.Data.uID = Data.uID;
        if (Data.uFlags & NIF_MESSAGE)
            R.Data.uCallbackMessage = Data.uCallbackMessage;
        if (Data.uFlags & NIF_ICON) {
            R.Data.hIcon = Data.hIcon;
            R.Picture = PictureOf(Data.hIcon);
        }
        if (Data.uFlags & NIF_TIP) {
            std::copy(std::begin(Data.szTip), std::end(Data.szTip), R.Data.szTip);
            R.Tip = UTF8Encode(NotifyText(Data.szTip));
        }
        if (Data.uFlags & NIF_INFO) {
            const String Title = NotifyText(Data.szInfoTitle), Text = NotifyText(Data.szInfo);
            R.Balloon = Text.empty() ? std::string() : UTF8Encode(Title.empty() ? Text : Title + u"\n" + Text);
            R.Data.uTimeout = Data.uTimeout;
            R.BalloonChanged = true;
        }
        R.Data.uFlags |= Data.uFlags & ~NIF_INFO;
    }

    // The balloon a request asked for; shown as long as the platform shows one at least (10 to 30 seconds).
    void ShowBalloon(TRecord& R) {
        if (!R.BalloonChanged || !R.Window)
            return;
        R.BalloonChanged = false;
        Tray->Message(R.Window, R.Balloon, std::clamp(R.Data.uTimeout, 10000u, 30000u));
    }

    bool Request(DWORD Message, const NOTIFYICONDATAW& Data) {
        const auto Key = std::make_pair(Data.hWnd, Data.uID);
        auto It = Icons.find(Key);
        const bool Present = Tray->TrayPresent();
        switch (Message) {
        case NIM_ADD: {
            if (It != Icons.end() || !Present)
                return false;
            TRecord R;
            Merge(R, Data);
            R.Window = Tray->Dock(R.Picture, R.Tip);
            if (!R.Window)
                return false;
            ShowBalloon(Icons.emplace(Key, std::move(R)).first->second);
            return true;
        }
        case NIM_MODIFY:
            if (It == Icons.end())
                return false;
            Merge(It->second, Data);
            if (It->second.Window)
                Tray->Update(It->second.Window, It->second.Picture, It->second.Tip);
            ShowBalloon(It->second);
            return Present && It->second.Window;
        case NIM_DELETE:
            if (It == Icons.end())
                return false;
            if (It->second.Window)
                Tray->Remove(It->second.Window);
            Icons.erase(It);
            return Present;
        }
        return false;
    }
};

TDesktopNotificationArea::TDesktopNotificationArea() : FImpl(std::make_unique<TImpl>()) {}

TDesktopNotificationArea::~TDesktopNotificationArea() = default;

bool TDesktopNotificationArea::Notify(DWORD Message, const NOTIFYICONDATAW& Data) {
    if (!IsGuiThread() || !FImpl->Open())
        return false;
    // What arrived before the request counts first (a tray that went), and what the request's round trips read
    // from the connection is handled at once.
    FImpl->TakeNews();
    const bool Result = FImpl->Request(Message, Data);
    FImpl->TakeNews();
    return Result;
}
