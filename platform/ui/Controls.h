// Controls: the class library's visual base classes over the window layer.
//
// TControl holds bounds, alignment, anchors, constraints, visibility, text, colour, font, cursor and hint,
// and receives messages through its replaceable WindowProc. TWinControl owns a window of platform/win,
// created when first needed; its messages pass, in this order, the window's GWLP_WNDPROC subclasses,
// WindowProc, WndProc, the message handlers (Dispatch), DefaultHandler and DefWindowProc, so every side
// effect of input happens inside that chain and a subclass that swallows a message swallows its effects
// too. Windowless children (TGraphicControl) are painted and hit-tested by their parent.
#pragma once

#include "platform/base/Classes.h"
#include "platform/gdi/Graphics.h"
#include "platform/win/Windows.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

// The class library's own messages keep their usual numbers.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_GOTFOCUS = CM_BASE + 2;
constexpr UINT CM_LOSTFOCUS = CM_BASE + 3;
constexpr UINT CM_CANCELMODE = CM_BASE + 4;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_HITTEST = CM_BASE + 10;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 15;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
constexpr UINT CM_MENUCHANGED = CM_BASE + 21;
constexpr UINT CM_APPKEYDOWN = CM_BASE + 22;
constexpr UINT CM_APPSYSCOMMAND = CM_BASE + 23;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 24;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_ICONCHANGED = CM_BASE + 29;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr UINT CM_RELEASE = CM_BASE + 33;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr UINT CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr UINT CM_CHILDKEY = CM_BASE + 46;
constexpr UINT CM_HINTSHOW = CM_BASE + 48;
constexpr UINT CM_RECREATEWND = CM_BASE + 51;
constexpr UINT CM_INVALIDATE = CM_BASE + 52;
constexpr UINT CM_CONTROLCHANGE = CM_BASE + 54;
constexpr UINT CM_CHANGED = CM_BASE + 55;
constexpr UINT CM_BORDERCHANGED = CM_BASE + 59;
constexpr UINT CM_HINTSHOWPAUSE = CM_BASE + 65;
constexpr UINT CM_MOUSEWHEEL = CM_BASE + 67;
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_DELETEITEM = CN_BASE + WM_DELETEITEM;
constexpr UINT CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;

// WM_GETDLGCODE answers: which keys a control keeps instead of leaving them to its form.
constexpr LRESULT DLGC_WANTARROWS = 0x0001;
constexpr LRESULT DLGC_WANTTAB = 0x0002;
constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
constexpr LRESULT DLGC_HASSETSEL = 0x0008;
constexpr LRESULT DLGC_DEFPUSHBUTTON = 0x0010;
constexpr LRESULT DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr LRESULT DLGC_RADIOBUTTON = 0x0040;
constexpr LRESULT DLGC_WANTCHARS = 0x0080;
constexpr LRESULT DLGC_STATIC = 0x0100;
constexpr LRESULT DLGC_BUTTON = 0x2000;

class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind, 4>;

enum TControlStyleItem {
    csAcceptsControls,
    csCaptureMouse,
    csDesignInteractive,
    csClickEvents,
    csFramed,
    csSetCaption,
    csOpaque,
    csDoubleClicks,
    csFixedWidth,
    csFixedHeight,
    csNoDesignVisible,
    csReplicatable,
    csNoStdEvents,
    csDisplayDragImage,
    csReflector,
    csActionClient,
    csMenuEvents
};
using TControlStyle = TSet<TControlStyleItem, 17>;

enum TControlStateItem {
    csLButtonDown,
    csClicked,
    csPalette,
    csReadingState,
    csAlignmentNeeded,
    csFocusing,
    csCreating,
    csPaintCopy,
    csCustomPaint,
    csDestroyingHandle,
    csDocking
};
using TControlState = TSet<TControlStateItem, 11>;

// Cursors: the standard ones are negative, application cursors positive (TScreen::Cursors).
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crSize = crSizeAll;
// The system cursor of a standard cursor value (null for crNone and values that are not standard).
HCURSOR StandardCursorHandle(TCursor Cursor);

using TWndMethod = std::function<void(TMessage& Message)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, Char& Key)>;
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;

// The shift state of a key message's LParam, and the keyboard's modifier keys and mouse buttons as they
// are now.
TShiftState KeyDataToShiftState(LPARAM KeyData);
// A key down that a menu takes (a short cut, a key of an open menu) types nothing: the character it
// queued for Window is dropped, also when the command it runs turns the message loop first. Called
// before the key is handled; the link it answers is for RemoveWindowProcLink when the key was not
// taken after all. The link goes at that character, or at the key's release when it typed none.
WNDPROC DropTypedChar(HWND Window);
TShiftState KeyboardStateToShiftState();

// Finding an item by typing the start of its text. Characters typed in quick succession make one
// prefix, looked for from the current item on; a first character, or one letter typed again and
// again, looks from the item after the current one, so repeating a letter steps through the items
// it begins.
class TTypeAhead {
public:
    struct TSearch {
        String Prefix;
        bool FromCurrent = false;
    };
    TSearch Add(Char Key);

private:
    String FTyped;
    DWORD FTime = 0;
};

// What a hint about to be shown carries (CM_HINTSHOW passes it in LParam; a non-zero result cancels it).
struct THintInfo {
    TControl* HintControl = nullptr;
    TPoint HintPos;
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect;
    TPoint CursorPos;
    int ReshowTimeout = 0;
    int HideTimeout = 0;
    String HintStr;
    void* HintData = nullptr;
};

// ---------------------------------------------------------------------------------------------
// TSizeConstraints: 0 means no limit.

class TSizeConstraints : public TPersistent {
public:
    explicit TSizeConstraints(TControl* AControl) : FControl(AControl) {}
    int MaxHeight() const { return FMaxHeight; }
    void SetMaxHeight(int Value) { SetConstraint(FMaxHeight, Value); }
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value) { SetConstraint(FMaxWidth, Value); }
    int MinHeight() const { return FMinHeight; }
    void SetMinHeight(int Value) { SetConstraint(FMinHeight, Value); }
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value) { SetConstraint(FMinWidth, Value); }
    TControl* Control() const { return FControl; }
    void Assign(TPersistent* Source) override;
    // A size within the limits (a maximum below the minimum gives way to the minimum).
    void Apply(int& Width, int& Height) const;

    TNotifyEvent OnChange;

private:
    void SetConstraint(int& Field, int Value);

    TControl* FControl;
    int FMaxHeight = 0;
    int FMaxWidth = 0;
    int FMinHeight = 0;
    int FMinWidth = 0;
};

// ---------------------------------------------------------------------------------------------
// TControlCanvas: a canvas on a control. Outside painting it draws through a device context of the
// control's window (for a windowless control, its parent's, moved to the control and clipped to it).

class TControlCanvas : public TCanvas {
public:
    ~TControlCanvas() override;
    TControl* Control() const { return FControl; }
    void SetControl(TControl* AControl);
    // Gives back a device context the canvas took itself.
    void FreeHandle();
    // Runs Paint with the canvas drawing on DC (someone else's: its origin and clip stay as they are).
    void PaintOn(HDC DC, const std::function<void()>& Paint);

protected:
    void CreateHandle() override;

private:
    TControl* FControl = nullptr;
    HDC FDeviceContext = nullptr;
    HWND FWindowHandle = nullptr;
};

// ---------------------------------------------------------------------------------------------
// TControl

class TControl : public TComponent {
    QV_CLASS_NAME(TControl)
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    int Left() const { return FLeft; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    int Top() const { return FTop; }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    int Width() const { return FWidth; }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    // Every change of position or size passes here; AutoSize and Constraints apply to the size.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top); }
    virtual TRect ClientRect();
    int ClientWidth() { return ClientRect().Right; }
    void SetClientWidth(int Value) { SetClientSize(Value, ClientHeight()); }
    int ClientHeight() { return ClientRect().Bottom; }
    void SetClientHeight(int Value) { SetClientSize(ClientWidth(), Value); }
    virtual void SetClientSize(int AWidth, int AHeight);

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value);
    TSizeConstraints* Constraints() const { return FConstraints.get(); }
    void SetConstraints(TSizeConstraints* Value) { FConstraints->Assign(Value); }
    bool AutoSize() const { return FAutoSize; }
    virtual void SetAutoSize(bool Value);

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);
    // The form the control lies on (the innermost one), or null.
    TCustomForm* ParentForm() const;

    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    const String& Text() const { return FText; }
    void SetText(const String& Value);
    const String& Caption() const { return FText; }
    void SetCaption(const String& Value) { SetText(Value); }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);
    // Opens on a right click, Shift+F10 or the menu key (when its AutoPopup is on).
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);

    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState Value) { FControlState = Value; }

    // Messages sent to the control itself go through WindowProc, which may be replaced; the procedure
    // it replaces stays callable (keep the old value and call it).
    const TWndMethod& WindowProc() const { return FWindowProc; }
    void SetWindowProc(TWndMethod Value) { FWindowProc = std::move(Value); }
    LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);

    virtual void Invalidate();
    // Paints now what is invalid (Update), or everything (Repaint, Refresh).
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }
    void BringToFront();
    void SendToBack();
    virtual TPoint ClientOrigin();
    TPoint ClientToScreen(const TPoint& Point) {
        TPoint O = ClientOrigin();
        return {Point.X + O.X, Point.Y + O.Y};
    }
    TPoint ScreenToClient(const TPoint& Point) {
        TPoint O = ClientOrigin();
        return {Point.X - O.X, Point.Y - O.Y};
    }
    TShiftState MouseShift(WPARAM Keys) const;
    // The DrawText flags for the control's reading order. Text here always reads left to right, so the flags
    // stay as they are.
    UINT DrawTextBiDiModeFlags(UINT Flags) const { return Flags; }
    // The text of the control without "&" accelerator marks ("&&" stays one "&").
    String GetDisplayText() const;

    // A token that expires when the control is freed: code that calls handlers which may free the
    // control checks it before touching the control again.
    std::weak_ptr<char> AliveToken() const { return FAlive; }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TMouseWheelEvent OnMouseWheel;
    TContextPopupEvent OnContextPopup;

    virtual void WndProc(TMessage& Message);
    // The message handlers: each class answers the messages it handles with one switch and passes
    // the rest to its base; TControl passes what nobody handled to DefaultHandler.
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

protected:
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    virtual void DoContextPopup(TPoint MousePos, bool& Handled);
    virtual void Resize();
    // AutoSize: the size the control wants; false keeps the size asked for.
    virtual bool CanAutoSize(int& NewWidth, int& NewHeight);
    void AdjustSize();
    // The parent lays its aligned and anchored controls out again after this one moved or changed.
    void RequestAlign();
    void UpdateAnchorRules();
    virtual void SetMouseCapture(bool Value);
    bool MouseCapture();
    void FontChanged(TObject* Sender);
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Tells the forms on the way up that a press starts here (CM_CANCELMODE to their active control).
    void SendCancelMode(TControl* Sender);

    String FText;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    TColor FColor = clWindow;
    bool FVisible = true;
    TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TControlState FControlState;

private:
    friend class TWinControl;
    friend class TCustomForm;
    void DoMouseDown(TMessage& Message, TMouseButton Button);
    void DoMouseUp(TMessage& Message, TMouseButton Button);
    void WMContextMenu(TMessage& Message);
    void WMMouseWheel(TMessage& Message);
    void WMLButtonDown(TMessage& Message);
    void WMCancelMode();
    void CMParentFontChanged();
    void CMParentColorChanged();
    void CMParentShowHintChanged();

    std::shared_ptr<char> FAlive = std::make_shared<char>(0);
    TWinControl* FParent = nullptr;
    TAlign FAlign = alNone;
    TAnchors FAnchors{akLeft, akTop};
    TPoint FAnchorRules;
    TPoint FOriginalParentSize;
    bool FAnchorMove = false;
    std::unique_ptr<TSizeConstraints> FConstraints;
    bool FAutoSize = false;
    bool FAutoSizing = false;
    bool FEnabled = true;
    bool FParentColor = true;
    bool FParentFont = true;
    bool FInheriting = false;
    std::unique_ptr<TFont> FFont;
    TCursor FCursor = crDefault;
    String FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TPopupMenu* FPopupMenu = nullptr;
    TWndMethod FWindowProc;
};

// ---------------------------------------------------------------------------------------------
// TWinControl

struct TCreateParams {
    String Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    WNDCLASSEXW WindowClass;
    String WinClassName;
};

class TWinControl : public TControl {
    QV_CLASS_NAME(TWinControl)
public:
    explicit TWinControl(TComponent* AOwner);
    // Frees the child controls still inside it, then its window.
    ~TWinControl() override;

    // The window, created (with the parent's) on first use.
    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded();
    // The control of a window of this library, or null.
    static TWinControl* FindControl(HWND Handle);
    // Destroys the window and makes it again with the current parameters (when it had one).
    void RecreateWnd();

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    TRect ClientRect() override;
    TPoint ClientOrigin() override;

    // The children, windowed or not, back to front.
    int ControlCount() const { return int(FControls.size()); }
    TControl* Controls(int Index) const { return FControls.at(std::size_t(Index)); }
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(const TControl* Control) const;
    // The topmost visible child at a client point (windowed ones above windowless ones), or null.
    TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = false);
    // Performs the message on every child until one answers with a non-zero result.
    void Broadcast(TMessage& Message);
    void NotifyControls(UINT Msg);

    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();
    void Realign() { AlignControls(nullptr); }
    bool AlignDisabled() const { return FAlignLevel > 0; }
    // Moves every child by the distance.
    void ScrollBy(int DeltaX, int DeltaY);

    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    // A framed control's frame: sunken (WS_EX_CLIENTEDGE) with Ctl3D, a flat line (WS_BORDER) without.
    // With ParentCtl3D the control follows its parent's; setting Ctl3D ends that.
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    bool ParentCtl3D() const { return FParentCtl3D; }
    void SetParentCtl3D(bool Value);
    // The place among the windowed siblings in Tab order; -1 without a parent.
    int TabOrder() const;
    void SetTabOrder(int Value);
    // This control's windowed descendants in Tab order, depth first.
    void GetTabOrderList(std::vector<TWinControl*>& List);
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    void SelectFirst();
    virtual bool CanFocus();
    bool Focused();
    virtual void SetFocus();
    // Visible here and in every parent, with a window.
    bool Showing();

    // Paints the control itself into a device context (the background and children are apart).
    virtual void PaintWindow(HDC DC);
    // Paints the windowless children (from First on, all when null) into DC, each at its place and
    // clipped to its bounds, keeping DC's own origin and clip.
    void PaintControls(HDC DC, TControl* First);
    void PaintHandler(HDC DC);

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

    void Invalidate() override;
    void Update() override;
    void Repaint() override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

protected:
    virtual void CreateParams(TCreateParams& Params);
    // The styles of the frame of a framed control, as Ctl3D chooses it.
    void AddFrameStyle(TCreateParams& Params) const;
    // Puts on or takes off the frame of a control whose window exists, keeping the window.
    void SetFrame(bool Framed);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& Params);
    virtual void DestroyWnd();
    void CreateHandle();
    void DestroyHandle();
    virtual void AdjustClientRect(TRect& Rect) {}
    // Lays out the aligned children (alTop, alBottom, alLeft, alRight, alClient in that order) in the
    // client rectangle, then the anchored ones; AControl, the child that caused it, keeps its place
    // among equals.
    virtual void AlignControls(TControl* AControl);
    // A child moved, changed size, came, went, or was shown or hidden: an aligned one is laid out again
    // with its siblings. Containers that measure their children (scroll boxes) hear of every child.
    virtual void AlignControl(TControl* AControl);
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    void Loaded() override;
    virtual void DoEnter();
    virtual void DoExit();
    virtual void KeyDown(Word& Key, TShiftState Shift);
    virtual void KeyUp(Word& Key, TShiftState Shift);
    virtual void KeyPress(Char& Key);
    // The form first when it previews keys, then the control's own event; true when the key was eaten.
    bool DoKeyDown(TMessage& Message);
    bool DoKeyUp(TMessage& Message);
    bool DoKeyPress(TMessage& Message);
    // Short cuts of the popup menus up the parents and of the form.
    bool IsMenuKey(TMessage& Message);

    HWND FHandle = nullptr;

private:
    friend class TControl;
    friend class TCustomForm;
    static LRESULT InitWndProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
    void UpdateBoundsFromWindow();
    void AnchorControls();
    void WMEraseBkgnd(TMessage& Message);
    void WMPaint(TMessage& Message);
    void WMLButtonDown(TMessage& Message);
    void WMKeyDown(TMessage& Message);
    void WMKeyUp(TMessage& Message);
    void WMChar(TMessage& Message);
    void WMSysChar(TMessage& Message);
    void WMSetFocus(TMessage& Message);
    void WMSetCursor(TMessage& Message);
    void WMContextMenu(TMessage& Message);
    void WMReflected(TMessage& Message);
    void WMNCLButtonDown(TMessage& Message);
    void WMCaptureChanged(TMessage& Message);
    void WMNotify(TMessage& Message);
    void WMSize(TMessage& Message);
    void WMWindowPosChanged(TMessage& Message);
    void WMSetText(TMessage& Message);
    void CMVisibleChanged(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMInvalidate();
    bool IsControlMouseMsg(TMessage& Message);
    // Hands a child's notification (WM_COMMAND, owner drawing, a child bar's scrolling) to
    // the child control as its CN_ message; false when the sender is none of this library's controls.
    bool ReflectToChild(TMessage& Message);
    void SetMouseCapture(bool Value) override;
    void FollowCtl3D(bool Value);

    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;
    int FAlignLevel = 0;
    bool FAligning = false;
    bool FTabStop = false;
    bool FCtl3D = true;
    bool FParentCtl3D = true;
};

// ---------------------------------------------------------------------------------------------
// TGraphicControl: a windowless control painted by its parent.

class TGraphicControl : public TControl {
    QV_CLASS_NAME(TGraphicControl)
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas* Canvas() const { return FCanvas.get(); }
    void Dispatch(TMessage& Message) override;

protected:
    virtual void Paint() {}

private:
    void WMPaint(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);

    std::unique_ptr<TControlCanvas> FCanvas;
};

// ---------------------------------------------------------------------------------------------
// TCustomControl: a windowed control that paints itself on its Canvas.

class TCustomControl : public TWinControl {
    QV_CLASS_NAME(TCustomControl)
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* Canvas() const { return FCanvas.get(); }
    void PaintWindow(HDC DC) override;
    void Dispatch(TMessage& Message) override;

protected:
    virtual void Paint() {}

private:
    void WMPaint(TMessage& Message);

    std::unique_ptr<TControlCanvas> FCanvas;
};

// ---------------------------------------------------------------------------------------------
// The control under the mouse and the windowless control holding the mouse.

// The control that last received CM_MOUSEENTER (null when the mouse is over none of this library's).
TControl* MouseControl();
// Looks up the control under the cursor and sends CM_MOUSELEAVE and CM_MOUSEENTER when it changed;
// disabled and windowless controls count, and so does a move while the mouse is captured.
void UpdateMouseControl();
// The deepest visible control (disabled ones included) at a screen point.
TControl* FindControlAtScreen(const TPoint& ScreenPos);
// The control (windowed or not) that holds the mouse capture, or null.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// The control of a window, or of its nearest ancestor window that belongs to this library.
TWinControl* FindControl(HWND Handle);
// The first part of a hint ("short|long"), or the second.
String GetShortHint(const String& Hint);
String GetLongHint(const String& Hint);
