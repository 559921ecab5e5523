// The questions and notices of the shell's own commands: the confirmation before an item goes to the trash, a
// failed open or delete, an item's properties. The class library's plain message box answers them until a
// higher layer puts its own prompt in place (a skinned message box), which hears the window the command was
// invoked for so it can look like that window.
#pragma once

#include "platform/base/System.h"
#include "platform/win/Windows.h"

class TShellPrompt {
public:
    virtual ~TShellPrompt() = default;
    // Flags and answer as the message box's (MB_YESNO | MB_ICONQUESTION, IDYES ...). Owner may be null.
    virtual int MessageBox(HWND Owner, const String& Text, const String& Caption, UINT Flags) = 0;
};

// The prompt in use: the one put in place, else the plain message box.
TShellPrompt& ShellPrompt();
// Puts Prompt in place (null brings back the plain message box) and hands back the one before it (null for
// the plain message box).
TShellPrompt* SetShellPrompt(TShellPrompt* Prompt);
