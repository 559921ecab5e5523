// StdCtrls: the class library's standard controls in the classic look.
//
// TButton, TCheckBox and TRadioButton are windowed, focusable controls that draw themselves (as the
// platform's own button class does): pressed while the left button is held over them or Space is down,
// clicked on the release. TButton.Click runs OnClick whether or not the button is enabled; a disabled
// button gets no input, so only code can click it then.
#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"

class TCanvas;

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

// ---------------------------------------------------------------------------------------------
// TButtonControl: the pressing and releasing that the three buttons share.

class TButtonControl : public TWinControl {
    QV_CLASS_NAME(TButtonControl)
public:
    explicit TButtonControl(TComponent* AOwner);

    // Drawn pressed: the left button held over it, or Space held while it has the focus.
    bool Pressed() const { return FPressed; }
    void Dispatch(TMessage& Message) override;

protected:
    // The press was released over the control (or Space was let go): the control's action.
    virtual void ButtonReleased() { Click(); }
    // Draws the whole control into DC (client coordinates).
    virtual void PaintButton(HDC DC) = 0;
    // The caption: single line, accelerator underlined, embossed when disabled.
    void DrawCaption(HDC DC, RECT R, UINT Format);

private:
    void SetPressed(bool Value);
    void WMPaint(TMessage& Message);
    void WMLButtonDown(TMessage& Message);
    void WMMouseMove(TMessage& Message);
    void WMLButtonUp(TMessage& Message);
    // The mouse let go of the control (capture lost or mode cancelled).
    void MouseReleased();
    void WMKeyDown(TMessage& Message);
    void WMKeyUp(TMessage& Message);
    void WMChar(TMessage& Message);
    void WMKillFocus();
    void CMDialogChar(TMessage& Message);

    bool FPressed = false;
    bool FMouseHeld = false;
    bool FSpaceHeld = false;
};

// ---------------------------------------------------------------------------------------------
// TButton

class TButton : public TButtonControl {
    QV_CLASS_NAME(TButton)
public:
    explicit TButton(TComponent* AOwner);

    // Enter clicks the default button while no other button has the focus.
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    // Escape clicks the cancel button.
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    // Handed to the parent form by every click.
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    // The button answers Enter now: it is the default button, or the button with the focus.
    bool Active() const { return FActive; }

    // Sets the parent form's ModalResult, then runs OnClick, enabled or not.
    void Click() override;
    void Dispatch(TMessage& Message) override;

protected:
    void PaintButton(HDC DC) override;

private:
    void CMDialogKey(TMessage& Message);
    void CMFocusChanged(TMessage& Message);

    bool FDefault = false;
    bool FCancel = false;
    bool FActive = false;
    TModalResult FModalResult = 0;
};

// ---------------------------------------------------------------------------------------------
// TCheckBox

class TCheckBox : public TButtonControl {
    QV_CLASS_NAME(TCheckBox)
public:
    explicit TCheckBox(TComponent* AOwner);

    TCheckBoxState State() const { return FState; }
    // A change of state runs OnClick, whether it came from the user or from code.
    void SetState(TCheckBoxState Value);
    bool Checked() const { return FState == cbChecked; }
    void SetChecked(bool Value) { SetState(Value ? cbChecked : cbUnchecked); }
    // With AllowGrayed a click goes unchecked, grayed, checked, unchecked.
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    // taRightJustify (the default) puts the caption right of the box, taLeftJustify left of it.
    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight Value);
    void Toggle();
    void Dispatch(TMessage& Message) override;

protected:
    void ButtonReleased() override { Toggle(); }
    void PaintButton(HDC DC) override;

private:
    TCheckBoxState FState = cbUnchecked;
    bool FAllowGrayed = false;
    TLeftRight FAlignment = lrRight;
};

// ---------------------------------------------------------------------------------------------
// TRadioButton: the radio buttons of one parent form a group; checking one unchecks the others, and
// the arrow keys move the check and the focus along the group.

class TRadioButton : public TButtonControl {
    QV_CLASS_NAME(TRadioButton)
public:
    explicit TRadioButton(TComponent* AOwner);

    bool Checked() const { return FChecked; }
    // Checking runs OnClick; unchecking (by another button of the group) does not.
    void SetChecked(bool Value);
    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight Value);
    void Dispatch(TMessage& Message) override;

protected:
    void ButtonReleased() override { SetChecked(true); }
    void PaintButton(HDC DC) override;

private:
    void WMKeyDown(TMessage& Message);

    bool FChecked = false;
    TLeftRight FAlignment = lrRight;
};

// ---------------------------------------------------------------------------------------------
// TCustomLabel, TLabel: windowless text. "&" marks an accelerator (unless ShowAccelChar is off); a
// disabled label is embossed; AutoSize makes the label as large as its text (a right-justified label
// keeps its right edge).

enum TTextLayout { tlTop, tlCenter, tlBottom };

class TCustomLabel : public TGraphicControl {
    QV_CLASS_NAME(TCustomLabel)
public:
    explicit TCustomLabel(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // A transparent label leaves its parent's picture under the text.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    // The control that the accelerator focuses.
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);

    void Dispatch(TMessage& Message) override;

protected:
    // Draws (or with DT_CALCRECT measures into Rect) the caption with the label's flags.
    virtual void DoDrawText(TRect& Rect, UINT Flags);
    void Paint() override;
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void AdjustBounds();

private:
    UINT DrawFlags() const;
    void CMDialogChar(TMessage& Message);
    void DrawTextOn(HDC DC, TRect& Rect, UINT Flags);

    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FTransparent = false;
    bool FShowAccelChar = true;
    TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
    QV_CLASS_NAME(TLabel)
public:
    using TCustomLabel::TCustomLabel;
};
