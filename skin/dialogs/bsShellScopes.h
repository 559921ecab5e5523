// Small scope helpers the shell controls share: the application's window for the shell's questions, the hourglass
// while a folder is read, and an item list freed with its scope.
#pragma once

#include "platform/ui/Forms.h"
#include "skin/dialogs/TbsShellFolder.h"

namespace shellscope {

inline HWND AppWindow() {
    return Application ? Application->Handle() : nullptr;
}

// Sets the screen cursor for a scope and puts the old one back.
class THourGlass {
public:
    THourGlass() : FSaved(Screen ? Screen->Cursor() : crDefault) {
        if (Screen)
            Screen->SetCursor(crHourGlass);
    }
    ~THourGlass() {
        if (Screen)
            Screen->SetCursor(FSaved);
    }
    THourGlass(const THourGlass&) = delete;
    THourGlass& operator=(const THourGlass&) = delete;

private:
    TCursor FSaved;
};

// A list freed with the scope.
struct TOwnedList {
    LPITEMIDLIST P;
    explicit TOwnedList(LPITEMIDLIST AP) : P(AP) {}
    ~TOwnedList() { FreeItemList(P); }
    TOwnedList(const TOwnedList&) = delete;
    TOwnedList& operator=(const TOwnedList&) = delete;
};

} // namespace shellscope
