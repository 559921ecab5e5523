// The notification area: the request entry point, the replaceable area and the recording one.
#include "platform/shell/ShellNotifyIcon.h"

namespace {

std::unique_ptr<TNotificationArea>& Current() {
    static std::unique_ptr<TNotificationArea> Area = std::make_unique<TDesktopNotificationArea>();
    return Area;
}

} // namespace

bool TRecordingNotificationArea::Notify(DWORD Message, const NOTIFYICONDATAW& Data) {
    Requests.push_back(TRequest{Message, Data});
    if (!Present)
        return false;
    const auto Key = std::make_pair(Data.hWnd, Data.uID);
    auto It = Icons.find(Key);
    switch (Message) {
    case NIM_ADD:
        if (It != Icons.end())
            return false;
        Icons[Key] = Data;
        return true;
    case NIM_MODIFY:
        if (It == Icons.end())
            return false;
        It->second = Data;
        return true;
    case NIM_DELETE:
        if (It == Icons.end())
            return false;
        Icons.erase(It);
        return true;
    }
    return false;
}

BOOL Shell_NotifyIconW(DWORD dwMessage, NOTIFYICONDATAW* lpData) {
    if (!lpData)
        return FALSE;
    return NotificationArea().Notify(dwMessage, *lpData) ? TRUE : FALSE;
}

TNotificationArea& NotificationArea() {
    return *Current();
}

std::unique_ptr<TNotificationArea> SetNotificationArea(std::unique_ptr<TNotificationArea> AArea) {
    std::unique_ptr<TNotificationArea> Old = std::move(Current());
    Current() = AArea ? std::move(AArea) : std::make_unique<TDesktopNotificationArea>();
    return Old;
}
