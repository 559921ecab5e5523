// The tray icon: an icon in the notification area with its tooltip and balloon tips, mouse actions on it turned
// into events (a click told from a double click by the double-click time), a skinned popup menu at the cursor,
// an animation through the images of an image list, and the main form hidden into the tray when the
// application is minimized. The icon comes back when the desktop's taskbar is created anew.
#pragma once

#include <memory>

#include "platform/gdi/ImgList.h"
#include "platform/shell/ShellNotifyIcon.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"

class TbsSkinPopupMenu;

enum TbsBalloonHintIcon { bsbitNone, bsbitInfo, bsbitWarning, bsbitError };
using TbsCycleEvent = std::function<void(TObject* Sender, int NextIndex)>;

// The notification area's callback message to the icon's window; the mouse action is in LParam.
constexpr UINT WM_TRAYICONNOTIFY = 2048;

class TbsTrayIcon : public TComponent {
    QV_CLASS_NAME(TbsTrayIcon)
public:
    explicit TbsTrayIcon(TComponent* AOwner);
    ~TbsTrayIcon() override;
    void Loaded() override;

    virtual bool UseApplicationIcon() { return true; }
    virtual bool AddIcon();
    virtual bool DeleteIcon();
    virtual bool ModifyIcon();

    bool Refresh() { return ModifyIcon(); }
    // A 16 x 16 icon of the bitmap, MaskColor transparent.
    bool BitmapToIcon(TBitmap* Bitmap, TIcon* Icon, TColor MaskColor);
    void ShowMainForm();
    void HideMainForm();
    bool ShowBalloonHint(const String& Title, const String& Text, TbsBalloonHintIcon IconType);
    bool HideBalloonHint();

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    TIcon* Icon() const { return FIcon.get(); }
    void SetIcon(TIcon* Value);
    bool IconVisible() const { return FIconVisible; }
    void SetIconVisible(bool Value);
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    TbsSkinPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TbsSkinPopupMenu* Value);
    bool PopupByLeftButton() const { return FPopupByLeftButton; }
    void SetPopupByLeftButton(bool Value) { FPopupByLeftButton = Value; }
    bool MinimizedOnStart() const { return FMinimizedOnStart; }
    void SetMinimizedOnStart(bool Value) { FMinimizedOnStart = Value; }
    bool MinimizeToTray() const { return FMinimizeToTray; }
    void SetMinimizeToTray(bool Value) { FMinimizeToTray = Value; }
    int IconIndex() const { return FIconIndex; }
    void SetIconIndex(int Value);
    bool DesignPreview() const { return FDesignPreview; }
    void SetDesignPreview(bool Value);
    TImageList* IconList() const { return FIconList; }
    void SetIconList(TImageList* Value);
    bool CycleIcons() const { return FCycleIcons; }
    void SetCycleIcons(bool Value);
    Cardinal AnimateTimerInterval() const { return FAnimateTimerInterval; }
    void SetAnimateTimerInterval(Cardinal Value);

    // The icon's own window, which the notification area tells of the mouse.
    HWND Handle() const { return FHandle; }
    const NOTIFYICONDATAW& IconData() const { return FIconData; }
    // The number "TaskbarCreated" is registered as.
    static UINT TaskbarCreatedMessage();

    TNotifyEvent OnBalloonHintClick;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TbsCycleEvent OnCycle;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    // The links that reach the component from the application's and the owner form's procedure chains.
    struct TAppLink;
    struct TFormLink;
    void OwnerProcFromHook(TMessage& Message) { OwnerProc(Message); }

protected:
    virtual void Click();
    virtual void DblClick();
    virtual void CycleIcon(int NextIndex);
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void DoMinimizeToTray();
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool Designing() const { return ComponentState().Contains(csDesigning); }
    bool PrepareData();
    bool CallShell(DWORD Message);
    void WndProc(TMessage& Message);
    void TrayMessage(TMessage& Message);
    void ClickTimerTick();
    void AnimateTimerTick();
    void PopupAtCursor();
    void CopyListImage(int Index);
    TWinControl* OwnerControl() const { return dynamic_cast<TWinControl*>(Owner()); }
    void HookApplication();
    void HookOwner();
    void AppProc(TMessage& Message);
    void OwnerProc(TMessage& Message);

    bool FEnabled = true;
    std::unique_ptr<TIcon> FIcon;
    bool FIconVisible = true;
    String FHint;
    bool FShowHint = true;
    TbsSkinPopupMenu* FPopupMenu = nullptr;
    bool FPopupByLeftButton = false;
    bool FClickStart = false;
    bool FClickReady = false;
    std::unique_ptr<TTimer> AnimateTimer;
    std::unique_ptr<TTimer> ClickTimer;
    bool IsDblClick = false;
    int FIconIndex = 0;
    bool FDesignPreview = false;
    bool SettingPreview = false;
    bool SettingMDIForm = true;
    TImageList* FIconList = nullptr;
    bool FCycleIcons = false;
    Cardinal FAnimateTimerInterval = 0;
    bool FMinimizedOnStart = false;
    bool FMinimizeToTray = true;
    HWND FHandle = nullptr;
    NOTIFYICONDATAW FIconData;
    HWND FAppWnd = nullptr;
    WNDPROC FAppLink = nullptr;
    std::shared_ptr<TAppLink> FAppHook;
    std::shared_ptr<TFormLink> FFormHook;
};
