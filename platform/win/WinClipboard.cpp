// The clipboard: text only, kept in the process.
#include "platform/win/WinInternal.h"

namespace winimpl {

namespace {

struct TClipboard {
    std::u16string Text;
    bool Open = false;
};

TClipboard& Clipboard() {
    static TClipboard C;
    return C;
}

} // namespace

void ResetClipboard() {
    Clipboard() = TClipboard{};
}

} // namespace winimpl

using namespace winimpl;

BOOL OpenClipboard(HWND) {
    if (Clipboard().Open)
        return 0;
    Clipboard().Open = true;
    return 1;
}

BOOL CloseClipboard() {
    bool Was = Clipboard().Open;
    Clipboard().Open = false;
    return Was;
}

BOOL EmptyClipboard() {
    if (!Clipboard().Open)
        return 0;
    Clipboard().Text.clear();
    return 1;
}

BOOL IsClipboardFormatAvailable(UINT Format) {
    return (Format == CF_UNICODETEXT || Format == CF_TEXT) && !Clipboard().Text.empty();
}

BOOL SetClipboardText(const std::u16string& Text) {
    Clipboard().Text = Text;
    return 1;
}

std::u16string GetClipboardText() {
    return Clipboard().Text;
}
