// Controls: the class library's visual base classes over the window layer.
//
// TControl holds bounds, alignment, visibility, text, colour and font, and receives messages through
// its replaceable WindowProc. TWinControl owns a window of platform/win, created when first needed; its
// messages pass, in this order, the window's GWLP_WNDPROC subclasses, WindowProc, WndProc, the message
// handlers (Dispatch), DefaultHandler and DefWindowProc, so every side effect of input happens inside
// that chain and a subclass that swallows a message swallows its effects too.
#pragma once

#include "platform/base/Classes.h"
#include "platform/gdi/Graphics.h"
#include "platform/win/Windows.h"

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
constexpr UINT CM_ENTER = CM_BASE + 26;
constexpr UINT CM_EXIT = CM_BASE + 27;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr UINT CM_RELEASE = CM_BASE + 33;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr UINT CM_INVALIDATE = CM_BASE + 52;
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;

class TWinControl;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TMouseButton { mbLeft, mbRight, mbMiddle };

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

using TWndMethod = std::function<void(TMessage& Message)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;

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
    // Every change of position or size passes here.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top); }
    virtual TRect ClientRect();
    int ClientWidth() { return ClientRect().Right; }
    int ClientHeight() { return ClientRect().Bottom; }

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);

    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    const String& Text() const { return FText; }
    void SetText(const String& Value);
    const String& Caption() const { return FText; }
    void SetCaption(const String& Value) { SetText(Value); }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }

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

    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

    virtual void WndProc(TMessage& Message);
    // The message handlers: each class answers the messages it handles with one switch and passes
    // the rest to its base; TControl passes what nobody handled to DefaultHandler.
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

protected:
    virtual void Click();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    // The parent lays its aligned controls out again after this one moved, resized or changed.
    void RequestAlign();
    virtual void SetMouseCapture(bool Value);
    bool MouseCapture();
    void FontChanged(TObject* Sender);

    String FText;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    TColor FColor = clWindow;
    TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TControlState FControlState;

private:
    friend class TWinControl;
    void DoMouseDown(TMessage& Message, TMouseButton Button);
    void DoMouseUp(TMessage& Message, TMouseButton Button);

    TWinControl* FParent = nullptr;
    TAlign FAlign = alNone;
    bool FVisible = true;
    bool FEnabled = true;
    std::unique_ptr<TFont> FFont;
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

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    TRect ClientRect() override;
    TPoint ClientOrigin() override;

    // The children, windowed or not, back to front.
    int ControlCount() const { return int(FControls.size()); }
    TControl* Controls(int Index) const { return FControls.at(std::size_t(Index)); }
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);

    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();
    void Realign() { AlignControls(nullptr); }

    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value) { FTabStop = Value; }
    bool Focused();
    void SetFocus();

    void Invalidate() override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

protected:
    virtual void CreateParams(TCreateParams& Params);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& Params);
    virtual void DestroyWnd();
    void CreateHandle();
    void DestroyHandle();
    virtual void AdjustClientRect(TRect& Rect) {}
    // Lays out the aligned children (alTop, alBottom, alLeft, alRight, alClient in that order) in the
    // client rectangle; AControl, the child that caused it, keeps its place among equals.
    virtual void AlignControls(TControl* AControl);

private:
    friend class TControl;
    static LRESULT InitWndProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
    void UpdateBoundsFromWindow();
    void WMEraseBkgnd(TMessage& Message);
    void WMLButtonDown(TMessage& Message);
    void SetMouseCapture(bool Value) override;

    HWND FHandle = nullptr;
    std::vector<TControl*> FControls;
    int FAlignLevel = 0;
    bool FAligning = false;
    bool FTabStop = false;
};
