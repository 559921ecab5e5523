// The shell commands' questions and notices (moving an item to the trash, a failed open, an item's
// properties) shown in the skinned message box, in the skins of the form of the window they are asked for.
#pragma once

#include "platform/shell/ShellPrompt.h"

class TbsSkinShellPrompt : public TShellPrompt {
public:
    int MessageBox(HWND Owner, const String& Text, const String& Caption, UINT Flags) override;
};

// Puts the skinned prompt in place, unless a prompt other than the plain message box already is.
void RegisterSkinShellPrompt();
