// The skinned check box and radio box: one windowed control with three states (unchecked, checked, grayed),
// a group rule among its siblings, keyboard and mouse toggling, a focus rectangle, an image from a list, word
// wrap, and a hover transition between the normal and the active face. The flat look paints its parent's
// background under the mark and caption and keeps its size; the framed look is a full skinned face.
#pragma once

#include "platform/gdi/ImgList.h"
#include "platform/ui/ActnList.h"
#include "platform/ui/StdCtrls.h"
#include "skin/controls/TbsSkinControl.h"
#include "skin/controls/bsSkinCtrlsButtons.h"
#include "skin/core/TbsEffectBmp.h"

class TbsSkinCheckRadioBox : public TbsSkinCustomControl, public TActionClient {
    QV_CLASS_NAME(TbsSkinCheckRadioBox)
public:
    explicit TbsSkinCheckRadioBox(TComponent* AOwner);
    ~TbsSkinCheckRadioBox() override;

    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value);
    bool Radio() const { return FRadio; }
    void SetRadio(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    bool Flat() const { return FFLat; }
    void SetFlat(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool CanFocused() const { return FCanFocused; }
    void SetCanFocused(bool Value);
    bool UseSkinFontColor() const { return FUseSkinFontColor; }
    void SetUseSkinFontColor(bool Value) { FUseSkinFontColor = Value; }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);

    // A check box inverts Checked; a radio box only becomes checked.
    virtual void Toggle();
    // The box drawn into another canvas at X, Y, with the mark of AChecked, unhovered, unfocused, unanimated.
    void PaintSkinTo(TCanvas* C, int X, int Y, bool AChecked);
    // The transition's factor (0 normal face, 1 active face) and whether it runs.
    double MorphKf() const { return FMorphKf; }
    bool MorphRunning() const { return MorphTimer.Running(); }
    bool MouseIn() const { return FMouseIn; }

    void GetSkinData() override;
    void ChangeSkinData() override;
    void CheckParentBackground() override;
    void CalcSize(int& W, int& H) override;
    void ActionChange(TObject* Sender, bool CheckDefaults) override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;

    // Copies of the record.
    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0, ActiveFontColor = 0, FrameFontColor = 0, UnEnabledFontColor = 0;
    TRect ActiveSkinRect, CheckImageArea, TextArea;
    TRect CheckImageRect, UnCheckImageRect, ActiveCheckImageRect, ActiveUnCheckImageRect;
    TRect UnEnabledCheckImageRect, UnEnabledUnCheckImageRect, GrayedCheckImageRect, ActiveGrayedCheckImageRect;
    bool Morphing = false;
    TbsMorphKind MorphKind = mkDefault;
    // The framed look's mark rectangle and text area at the current size.
    TRect CIRect, NewTextArea;

protected:
    void Paint() override;
    void CreateControlDefaultImage(TBitmap* B) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    void WMMove(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    void WMFocusChanged(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void CMDialogChar(TMessage& Message);

private:
    bool MorphAllowed() const;
    bool HasFocus();
    // Starts the hover transition, or repaints where none may run.
    void StartMorph();
    void MorphTick();
    void UncheckGroup();
    bool ValidImage() const;
    // The mark of the state, hover and enabled state, drawn keyed at X, Y.
    void DrawMark(TCanvas* C, int X, int Y, bool AChecked, bool Grayed, bool Hot);
    void PaintFlat(TCanvas* Target, bool AChecked, bool Hot, bool ShowFocus);
    void PaintFramedFace(TBitmap* B, bool Active, bool AChecked, bool Hot);
    void DrawDefaultBox(TCanvas* C, bool AChecked, bool Grayed, bool Hot);
    void SetTextFont(TCanvas* C);

    bool FUseSkinFontColor = true;
    bool FWordWrap = false;
    bool FAllowGrayed = false;
    TCheckBoxState FState = cbUnchecked;
    TCustomImageList* FImages = nullptr;
    int FImageIndex = 0;
    bool FFLat = true;
    bool FClicksDisabled = false;
    bool FCanFocused = true;
    bool FMouseIn = false;
    int FGroupIndex = 0;
    bool FChecked = false;
    bool FRadio = false;
    TbsControlTimer MorphTimer{this};
    double FMorphKf = 0;
};
