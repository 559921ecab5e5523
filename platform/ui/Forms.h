// Forms: the class library's forms, the application object and the screen.
//
// A form built in code goes through a loading phase: from its constructor until AfterConstruction
// (which TApplication::CreateForm, Show and ShowModal call), property writes behave as during form
// loading (no layout, no showing), then Loaded runs on the form and its components and OnCreate fires.
// A form freed from its own handler is released with Release, which frees it once the handler returned.
#pragma once

#include "platform/ui/Controls.h"

#include <vector>

class TMainMenu;
class TMenuItem;
class THintWindow;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon, 4>;
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateItem, 6>;

// Message box answers and flags.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
constexpr int IDCLOSE = 8;
constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_OKCANCEL = 0x0001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x0002;
constexpr UINT MB_YESNOCANCEL = 0x0003;
constexpr UINT MB_YESNO = 0x0004;
constexpr UINT MB_RETRYCANCEL = 0x0005;
constexpr UINT MB_ICONHAND = 0x0010;
constexpr UINT MB_ICONQUESTION = 0x0020;
constexpr UINT MB_ICONEXCLAMATION = 0x0030;
constexpr UINT MB_ICONASTERISK = 0x0040;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_DEFBUTTON1 = 0x0000;
constexpr UINT MB_DEFBUTTON2 = 0x0100;
constexpr UINT MB_DEFBUTTON3 = 0x0200;
constexpr UINT MB_APPLMODAL = 0x0000;
constexpr UINT MB_SYSTEMMODAL = 0x1000;
constexpr UINT MB_TASKMODAL = 0x2000;
constexpr UINT MB_SETFOREGROUND = 0x10000;
constexpr UINT MB_TOPMOST = 0x40000;
constexpr UINT MB_TYPEMASK = 0x000F;
constexpr UINT MB_ICONMASK = 0x00F0;
constexpr UINT MB_DEFMASK = 0x0F00;

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrAbort = IDABORT;
constexpr TModalResult mrRetry = IDRETRY;
constexpr TModalResult mrIgnore = IDIGNORE;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;
constexpr TModalResult mrAll = mrNo + 1;
constexpr TModalResult mrNoToAll = mrAll + 1;
constexpr TModalResult mrYesToAll = mrNoToAll + 1;
constexpr TModalResult mrClose = mrYesToAll + 1;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TShortCutEvent = std::function<void(TMessage& Msg, bool& Handled)>;
using TMessageEvent = std::function<void(MSG& Msg, bool& Handled)>;
using TShowHintEvent = std::function<void(String& HintStr, bool& CanShow, THintInfo& HintInfo)>;
using TExceptionEvent = std::function<void(TObject* Sender, Exception& E)>;

// ---------------------------------------------------------------------------------------------
// TCustomForm

class TCustomForm : public TWinControl {
    QV_CLASS_NAME(TCustomForm)
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;
    // Ends the loading phase (once): Loaded on the form and its components, then OnCreate; an
    // exception there is shown and the form stays. A form made visible while loading shows now.
    void AfterConstruction();

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TWindowState WindowState() const { return FWindowState; }
    void SetWindowState(TWindowState Value);
    bool Active() const { return FActive; }
    TWinControl* ActiveControl() const { return FActiveControl; }
    // The control gets the focus now when the form is active, else when it activates; EInvalidControlOperation
    // "Cannot focus a disabled or invisible window" for a control that cannot take it.
    void SetActiveControl(TWinControl* Control);
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    // The main menu: its short cuts work on the form's keys.
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);
    TIcon* Icon() const { return FIcon.get(); }
    void SetIcon(TIcon* Value) { FIcon->Assign(Value); }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    TFormState FormState() const { return FFormState; }
    TCanvas* Canvas() const { return FCanvas.get(); }

    // MDI. A form with fsMDIForm keeps its children in a client window laid out in the client area its
    // aligned controls leave free; a form with fsMDIChild lives in the client window of the main form
    // (which must be an MDI form) and is visible from its creation on.
    // The client window of an MDI form (null for other forms): its procedure can be subclassed.
    HWND ClientHandle() const;
    // The children in z-order, the active one first.
    int MDIChildCount();
    TCustomForm* MDIChildren(int Index);
    TCustomForm* ActiveMDIChild();
    // The item of the main menu that lists the children; cleared when the item goes.
    TMenuItem* WindowMenu() const { return FWindowMenu; }
    void SetWindowMenu(TMenuItem* Value);
    TRect ClientRect() override;

    void Show();
    void Hide() { SetVisible(false); }
    // Asks OnCloseQuery, then OnClose decides: hide (the default), free (Release), minimize or nothing.
    // The main form's close ends the application; a modal form's close sets ModalResult to mrCancel.
    void Close();
    virtual bool CloseQuery();
    // Frees the form once the message being handled (and every one above it) is done.
    void Release();
    // Shows the form and runs messages until ModalResult is set; the other windows are disabled meanwhile.
    virtual TModalResult ShowModal();

    void SetFocus() override;
    void FocusControl(TWinControl* Control);
    // The control that took the focus: CM_EXIT and CM_ENTER along the way, CM_FOCUSCHANGED to the form's
    // controls. False when a handler moved the focus elsewhere meanwhile.
    bool SetFocusedControl(TWinControl* Control);
    // A control inside Control goes (Removing) or hides: it stops being the active control.
    void DefocusControl(TWinControl* Control, bool Removing);
    virtual bool IsShortCut(TMessage& Message);

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TShortCutEvent OnShortCut;

    void PaintWindow(HDC DC) override;
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void AlignControls(TControl* AControl) override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void Activate();
    virtual void Deactivate();
    virtual void DoClose(TCloseAction& Action);
    virtual void Paint();

private:
    friend class TApplication;
    void VisibleChanging();
    void SetActive(bool Value);
    void SetWindowFocus();
    void PlaceForFirstShow();
    void CloseModal();
    void CMDialogKey(TMessage& Message);
    void WMActivate(TMessage& Message);
    void WMClose(TMessage& Message);
    void WMSize(TMessage& Message);
    void WMSysCommand(TMessage& Message);
    // MDI (FormsMDI.cpp).
    bool IsMDIChild() const { return FFormStyle == fsMDIChild; }
    // The main form's client window; without one, Required raises the class library's error.
    HWND MDIParentClient(bool Required) const;
    void CreateMDIClient();
    TRect MDIClientArea();
    void ActivateMDIChild();
    std::vector<TCustomForm*> MDIChildList();
    void WMMDIActivate(TMessage& Message);
    void WMMouseActivate(TMessage& Message);
    void WMNCActivate(TMessage& Message);

    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TFormStyle FFormStyle = fsNormal;
    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    bool FActive = false;
    TWinControl* FActiveControl = nullptr;
    TWinControl* FFocusedControl = nullptr;
    bool FKeyPreview = false;
    TMainMenu* FMenu = nullptr;
    HWND FClientHandle = nullptr;
    bool FAligningMDI = false;
    TMenuItem* FWindowMenu = nullptr;
    std::unique_ptr<TIcon> FIcon;
    std::unique_ptr<TControlCanvas> FCanvas;
    TModalResult FModalResult = mrNone;
    TFormState FFormState{fsCreating};
    bool FConstructed = false;
    bool FPlaced = false;
};

class TForm : public TCustomForm {
    QV_CLASS_NAME(TForm)
public:
    using TCustomForm::TCustomForm;
};

// The innermost form that Control lies on (Control itself when it is a form), or null.
TCustomForm* GetParentForm(const TControl* Control);
// A form raises this for a control that cannot take the focus.
class EInvalidControlOperation : public EInvalidOperation {
public:
    using EInvalidOperation::EInvalidOperation;
};

// ---------------------------------------------------------------------------------------------
// Windows without a control: their messages go to a method.

HWND AllocateHWnd(TWndMethod Method);
void DeallocateHWnd(HWND Wnd);

// ---------------------------------------------------------------------------------------------
// TScreen

class TMonitor : public TObject {
public:
    HMONITOR Handle() const { return FHandle; }
    int MonitorNum() const { return FMonitorNum; }
    TRect BoundsRect() const;
    TRect WorkareaRect() const;
    int Left() const { return BoundsRect().Left; }
    int Top() const { return BoundsRect().Top; }
    int Width() const { return BoundsRect().Right - BoundsRect().Left; }
    int Height() const { return BoundsRect().Bottom - BoundsRect().Top; }
    bool Primary() const;

private:
    friend class TScreen;
    HMONITOR FHandle = nullptr;
    int FMonitorNum = 0;
};

class TScreen : public TComponent {
    QV_CLASS_NAME(TScreen)
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;

    // The forms in the order they were made.
    int FormCount() const { return int(FForms.size()); }
    TCustomForm* Forms(int Index) const { return FForms.at(std::size_t(Index)); }
    int CustomFormCount() const { return FormCount(); }
    TCustomForm* CustomForms(int Index) const { return Forms(Index); }
    TCustomForm* ActiveForm() const { return FActiveForm; }
    TCustomForm* ActiveCustomForm() const { return FActiveForm; }
    TWinControl* ActiveControl() const { return FActiveControl; }

    // A cursor other than crDefault shows everywhere in the application (crHourGlass while busy).
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    HCURSOR Cursors(TCursor Index) const;
    void SetCursors(TCursor Index, HCURSOR Handle);

    int Width() const;
    int Height() const;
    TRect DesktopRect() const;
    TRect WorkAreaRect() const;
    int WorkAreaLeft() const { return WorkAreaRect().Left; }
    int WorkAreaTop() const { return WorkAreaRect().Top; }
    int WorkAreaWidth() const { return WorkAreaRect().Right - WorkAreaRect().Left; }
    int WorkAreaHeight() const { return WorkAreaRect().Bottom - WorkAreaRect().Top; }
    int MonitorCount();
    TMonitor* Monitors(int Index);
    TMonitor* PrimaryMonitor();
    TMonitor* MonitorFromPoint(const TPoint& Point);
    TMonitor* MonitorFromWindow(HWND Handle);

    TNotifyEvent OnActiveFormChange;
    TNotifyEvent OnActiveControlChange;

private:
    friend class TCustomForm;
    void AddForm(TCustomForm* Form);
    void RemoveForm(TCustomForm* Form);
    void SetActiveForm(TCustomForm* Form);
    void SetActiveControl(TWinControl* Control);
    void ForgetControl(TControl* Control);
    void GetMonitors();
    friend class TControl;

    std::vector<TCustomForm*> FForms;
    TCustomForm* FActiveForm = nullptr;
    TWinControl* FActiveControl = nullptr;
    TCursor FCursor = crDefault;
    std::vector<std::pair<TCursor, HCURSOR>> FCursors;
    std::vector<std::unique_ptr<TMonitor>> FMonitors;
};

// ---------------------------------------------------------------------------------------------
// TApplication

class TApplication : public TComponent {
    QV_CLASS_NAME(TApplication)
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    void Initialize() {}
    // Makes a form owned by the application; the first one becomes the main form. Reference holds the
    // form before OnCreate runs, so its handler may use it.
    template <class TFormClass> void CreateForm(TFormClass*& Reference) {
        auto* Form = new TFormClass(this);
        Reference = Form;
        FormCreated(Form);
    }
    // Shows the main form (unless ShowMainForm is off) and runs messages until Terminate.
    void Run();
    TCustomForm* MainForm() const { return FMainForm; }
    bool ShowMainForm() const { return FShowMainForm; }
    void SetShowMainForm(bool Value) { FShowMainForm = Value; }
    const String& Title() const { return FTitle; }
    void SetTitle(const String& Value);
    TIcon* Icon() const { return FIcon.get(); }
    void SetIcon(TIcon* Value) { FIcon->Assign(Value); }
    const String& HelpFile() const { return FHelpFile; }
    void SetHelpFile(const String& Value) { FHelpFile = Value; }
    // The application window: hidden, subclassable; WM_SIZE with SIZE_MINIMIZED arrives when Minimize runs.
    HWND Handle();
    bool Terminated() const { return FTerminated; }
    void Terminate();
    void ProcessMessages();
    // Runs one message, or idles and waits for the next when there is none.
    void HandleMessage();
    void Minimize();
    void Restore();
    // A modal box with the text, the caption (the title when empty) and the buttons and icon of Flags;
    // answers IDOK, IDCANCEL ... (IDCANCEL when closed otherwise).
    int MessageBox(const String& Text, const String& Caption, UINT Flags = MB_OK);
    void HandleException(TObject* Sender);
    void ShowException(Exception& E);

    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    int HintPause() const { return FHintPause; }
    void SetHintPause(int Value) { FHintPause = Value; }
    int HintShortPause() const { return FHintShortPause; }
    void SetHintShortPause(int Value) { FHintShortPause = Value; }
    int HintHidePause() const { return FHintHidePause; }
    void SetHintHidePause(int Value) { FHintHidePause = Value; }
    TColor HintColor() const { return FHintColor; }
    void SetHintColor(TColor Value) { FHintColor = Value; }
    // The hint window while one is up (or kept hidden for reuse), else null.
    THintWindow* HintWindow() const { return FHintWindow; }
    void CancelHint();
    // The hint manager's look at the control under the mouse (UpdateMouseControl calls it).
    void HintMouseMessage(TControl* Control);

    TMessageEvent OnMessage;
    TNotifyEvent OnIdle;
    TExceptionEvent OnException;
    TShowHintEvent OnShowHint;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TCustomForm;
    friend class TControl;
    void ForgetControl(TControl* Control);
    void FormCreated(TCustomForm* Form);
    bool ProcessMessage(MSG& Msg);
    void Idle();
    void WndProc(TMessage& Message);
    void WMTimer(TMessage& Message);
    void ActivateHint();
    void HideHint();
    void StartHintTimer(UINT Id, int Ms);
    void StopHintTimer(UINT Id);

    HWND FHandle = nullptr;
    TCustomForm* FMainForm = nullptr;
    bool FShowMainForm = true;
    bool FTerminated = false;
    String FTitle;
    String FHelpFile;
    std::unique_ptr<TIcon> FIcon;
    std::vector<TCustomForm*> FMinimizedForms;

    bool FShowHint = true;
    int FHintPause = 500;
    int FHintShortPause = 50;
    int FHintHidePause = 2500;
    TColor FHintColor = clInfoBk;
    TControl* FHintControl = nullptr;
    THintWindow* FHintWindow = nullptr;
    bool FHintActive = false;
};

extern TApplication* Application;
extern TScreen* Screen;
