#include "platform/shell/ShellPrompt.h"

#include "platform/ui/Forms.h"

namespace {

class TPlainPrompt : public TShellPrompt {
public:
    int MessageBox(HWND, const String& Text, const String& Caption, UINT Flags) override {
        return Application ? Application->MessageBox(Text, Caption, Flags) : IDCANCEL;
    }
};

TShellPrompt* GPrompt = nullptr;

} // namespace

TShellPrompt& ShellPrompt() {
    static TPlainPrompt Plain;
    return GPrompt ? *GPrompt : Plain;
}

TShellPrompt* SetShellPrompt(TShellPrompt* Prompt) {
    TShellPrompt* Old = GPrompt;
    GPrompt = Prompt;
    return Old;
}
