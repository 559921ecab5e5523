// The form component's tray: the tray icon it hides the application in and restores it from.
#include "skin/forms/TbsSkinForm.h"
#include "skin/forms/TbsSkinMenu.h"
#include "skin/forms/bsTrayIcon.h"

void TbsSkinForm::SetTrayIcon(TbsTrayIcon* Value) {
    FTrayIcon = Value;
    if (!Value)
        return;
    Value->FreeNotification(this);
    if (!FAlwaysShowInTray)
        Value->SetIconVisible(false);
    Value->SetMinimizeToTray(false);
    if (!Value->PopupMenu())
        Value->SetPopupMenu(FSysTrayMenu);
    if (!Value->OnDblClick)
        Value->OnDblClick = [this](TObject*) { RestoreFromTray(); };
}

void TbsSkinForm::MinimizeToTray() {
    if (!FTrayIcon || !Application)
        return;
    FTrayIcon->SetMinimizeToTray(true);
    Application->Minimize();
    if (OnMinimizeToTray)
        OnMinimizeToTray(this);
}

void TbsSkinForm::RestoreFromTray() {
    if (!FTrayIcon || !Application)
        return;
    FTrayIcon->SetMinimizeToTray(false);
    FTrayIcon->ShowMainForm();
    Application->Restore();
    if (!FAlwaysShowInTray)
        FTrayIcon->SetIconVisible(false);
    if (OnRestoreFromTray)
        OnRestoreFromTray(this);
}
