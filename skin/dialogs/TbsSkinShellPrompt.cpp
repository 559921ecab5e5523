#include "skin/dialogs/TbsSkinShellPrompt.h"

#include "skin/controls/TbsSkinListView.h"
#include "skin/controls/TbsSkinTreeView.h"
#include "skin/dialogs/TbsSkinMessage.h"
#include "skin/forms/TbsClientInActivePanel.h"

namespace {

TMsgDlgButtons ButtonsOf(UINT Flags) {
    switch (Flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {mbOK, mbCancel};
    case MB_ABORTRETRYIGNORE:
        return {mbAbort, mbRetry, mbIgnore};
    case MB_YESNOCANCEL:
        return {mbYes, mbNo, mbCancel};
    case MB_YESNO:
        return {mbYes, mbNo};
    case MB_RETRYCANCEL:
        return {mbRetry, mbCancel};
    default:
        return {mbOK};
    }
}

TMsgDlgType TypeOf(UINT Flags) {
    switch (Flags & MB_ICONMASK) {
    case MB_ICONHAND:
        return mtError;
    case MB_ICONQUESTION:
        return mtConfirmation;
    case MB_ICONEXCLAMATION:
        return mtWarning;
    case MB_ICONASTERISK:
        return mtInformation;
    default:
        return mtCustom;
    }
}

// The skin of a control's own parts, when it has one.
TbsSkinData* ControlSkin(TWinControl* C) {
    if (auto* L = dynamic_cast<TbsSkinCustomListView*>(C))
        return L->SkinData();
    if (auto* T = dynamic_cast<TbsSkinCustomTreeView*>(C))
        return T->SkinData();
    return nullptr;
}

} // namespace

int TbsSkinShellPrompt::MessageBox(HWND Owner, const String& Text, const String& Caption, UINT Flags) {
    TWinControl* Control = Owner ? FindControl(Owner) : nullptr;
    TbsSkinForm* Frame = Control ? GetSkinForm(GetParentForm(Control)) : nullptr;
    TbsSkinMessage Message(nullptr);
    if (Frame) {
        Message.SetSkinData(Frame->SkinData());
        Message.SetCtrlSkinData(Frame->MenusSkinData() ? Frame->MenusSkinData() : Frame->SkinData());
    }
    if (TbsSkinData* Own = ControlSkin(Control))
        Message.SetCtrlSkinData(Own);
    // The message box's answers are the modal results of the same numbers.
    return Message.MessageDlg2(Text, Caption.empty() ? Application->Title() : Caption, TypeOf(Flags), ButtonsOf(Flags),
                               0);
}

void RegisterSkinShellPrompt() {
    static TbsSkinShellPrompt Prompt;
    TShellPrompt* Before = SetShellPrompt(&Prompt);
    if (Before && Before != &Prompt)
        SetShellPrompt(Before);
}
