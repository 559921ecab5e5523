// What the combo box and the office combo box share: the copies of the skin's "combobox" record, the state of
// the face with its drop-down button and item area, and the painting that is the same for both (the default
// frame and button, the button stretched from a button record, the tool-button look); each box draws its own
// item.
#pragma once

#include <initializer_list>

#include "skin/controls/TbsSkinListBox.h"

class TbsDataSkinButtonControl;

class TbsSkinComboBoxBase : public TbsSkinCustomControl {
    QV_CLASS_NAME(TbsSkinComboBoxBase)
public:
    using TbsSkinCustomControl::TbsSkinCustomControl;

    int ListBoxWidth() const { return FListBoxWidth; }
    void SetListBoxWidth(int Value) { FListBoxWidth = Value; }
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value) { FHideSelection = Value; }
    TColor DefaultColor() const { return FDefaultColor; }
    bool UseSkinSize() const { return FUseSkinSize; }
    void SetUseSkinSize(bool Value) { FUseSkinSize = Value; }
    bool ToolButtonStyle() const { return FToolButtonStyle; }
    bool AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(bool Value) { FAlphaBlend = Value; }
    bool AlphaBlendAnimation() const { return FAlphaBlendAnimation; }
    void SetAlphaBlendAnimation(bool Value) { FAlphaBlendAnimation = Value; }
    BYTE AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(BYTE Value) { FAlphaBlendValue = Value; }

    // The drop-down, which each box makes of its own list.
    virtual void DropDown() = 0;
    virtual void CloseUp(bool Value) = 0;
    virtual bool IsPopupVisible() const = 0;
    // Open, and the mouse is not over the combo box.
    bool CanCancelDropDown() const { return IsPopupVisible() && !FMouseIn; }

    void GetSkinData() override;
    void DefaultFontChanged() override;

    bool FDropDown = false;
    bool FToolButtonStyle = false;
    TColor FDefaultColor = clWindow;
    bool FUseSkinSize = true;
    bool WasInLB = false;
    int TimerMode = 0; // 0 none, 1 scrolling up, 2 scrolling down
    int FListBoxWidth = 0;
    bool FHideSelection = true;
    bool FAlphaBlend = false;
    bool FAlphaBlendAnimation = false;
    BYTE FAlphaBlendValue = 0;
    bool FMouseIn = false;
    int FOldItemIndex = -1;
    bool FLBDown = false;
    TbsCBItem CBItem;
    TbsCBButtonX Button;

    // Copies of the "combobox" record.
    TRect ActiveSkinRect;
    TColor ActiveFontColor = 0;
    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 14;
    TRect SItemRect, FocusItemRect, ActiveItemRect;
    int ItemLeftOffset = 0;
    int ItemRightOffset = 0;
    TRect ItemTextRect;
    TColor FontColor = 0;
    TColor FocusFontColor = 0;
    TRect ButtonRect, ActiveButtonRect, DownButtonRect, UnEnabledButtonRect;
    String ListBoxName;
    bool ItemStretchEffect = false;
    bool FocusItemStretchEffect = false;
    bool ShowFocus = false;

protected:
    // Places the drop-down button and the item area for the current size and look.
    virtual void CalcRects();
    // A left press that Hit the face opens the closed drop-down, pressing the button, or closes the open one; a
    // press elsewhere closes it.
    void PressFace(bool Hit);
    // The charset of the skin's string table, else that of DefaultFont.
    TFontCharset TextCharset() const;
    // The font colour of disabled text: the "edit" record's, else clGrayText.
    TColor GetDisabledFontColor();
    // The first of the named records that is a button record, or null.
    TbsDataSkinButtonControl* FindButtonRecord(std::initializer_list<const char16_t*> Names) const;

    // The default look's frame around the face, filled with DefaultColor.
    void DrawDefaultFrame(TBitmap* B);
    // The drop-down button: its default look, or the record's state picture over the frame (the normal state is
    // part of the frame).
    void DrawButton(TCanvas* C);
    // The drop-down button stretched from the first of the combo, edit and resize button records, with its
    // arrow or its drop-down marker.
    void DrawResizeButton(TCanvas* C);
    // The tool-button look: the whole box one button, the item left of an arrow. AText replaces the item's text.
    void CreateToolButtonDefaultImage(TBitmap* B, const String* AText);
    void CreateToolButtonSkinImage(TBitmap* B, const String* AText);
    // The item in the tool-button look, in T, with the canvas's font already set.
    virtual void DrawToolButtonItem(TCanvas* C, const TRect& T, const String* AText) = 0;

private:
    // The record's marker that fits the state, drawn keyed from the record's own picture, centred in R.
    void DrawMarker(TCanvas* C, TbsDataSkinButtonControl* Rec, const TRect& Mark, const TRect& R, int DY);
};
