#include "skin/controls/TbsSkinComboBoxBase.h"

#include "platform/gdi/WinGdi.h"
#include "skin/controls/TbsSkinUpDown.h"
#include "skin/core/TbsDataSkinControl.h"
#include "skin/core/TbsSkinData.h"

namespace {

// The unskinned button faces: pressed and hovered inside a navy frame.
constexpr TColor DownFill = TColor(0xB59385);
constexpr TColor HotFill = TColor(0xD2BDB6);

// A framed face: one pixel of Frame, the rest Fill.
void DrawFramedFace(TCanvas* C, TRect R, TColor Frame, TColor Fill) {
    Frame3D(C, R, Frame, Frame, 1);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Fill);
    C->FillRect(R);
}

TBitmap* PictureOf(TbsSkinData* SD, int Index) {
    if (!SD || Index < 0 || Index >= int(SD->FActivePictures.size()))
        return nullptr;
    return SD->FActivePictures[std::size_t(Index)].get();
}

} // namespace

void TbsSkinComboBoxBase::GetSkinData() {
    TbsSkinCustomControl::GetSkinData();
    if (FIndex == -1)
        return;
    auto* R = dynamic_cast<TbsDataSkinComboBox*>(FSD->CtrlList.at(std::size_t(FIndex)).get());
    if (!R)
        return;
    ActiveSkinRect = R->ActiveSkinRect;
    ActiveFontColor = R->ActiveFontColor;
    FontName = R->FontName;
    FontStyle = R->FontStyle;
    FontHeight = R->FontHeight;
    SItemRect = R->SItemRect;
    FocusItemRect = IsNullRect(R->FocusItemRect) ? R->SItemRect : R->FocusItemRect;
    ActiveItemRect = R->ActiveItemRect;
    ItemLeftOffset = R->ItemLeftOffset;
    ItemRightOffset = R->ItemRightOffset;
    ItemTextRect = R->ItemTextRect;
    FontColor = R->FontColor;
    FocusFontColor = R->FocusFontColor;
    ButtonRect = R->ButtonRect;
    ActiveButtonRect = R->ActiveButtonRect;
    DownButtonRect = R->DownButtonRect;
    UnEnabledButtonRect = R->UnEnabledButtonRect;
    ListBoxName = R->ListBoxName;
    ItemStretchEffect = R->ItemStretchEffect;
    FocusItemStretchEffect = R->FocusItemStretchEffect;
    ShowFocus = R->ShowFocus;
}

void TbsSkinComboBoxBase::DefaultFontChanged() {
    Font()->Assign(DefaultFont());
}

void TbsSkinComboBoxBase::CalcRects() {
    if (FIndex == -1 || FToolButtonStyle) {
        Button.R = Rect(Width() - 19, 2, Width() - 2, Height() - 2);
        CBItem.R = Rect(2, 2, Button.R.Left - 1, Height() - 2);
        return;
    }
    const int DW = Width() - GetRectWidth(SkinRect);
    Button.R = ButtonRect;
    if (ButtonRect.Left >= GetRectWidth(SkinRect) - RTPt.X)
        OffsetRect(Button.R, DW, 0);
    CBItem.R = ClRect;
    CBItem.R.Right += DW;
    if (!FUseSkinSize) {
        const int DH = Height() - GetRectHeight(SkinRect);
        Button.R.Bottom += DH;
        CBItem.R.Bottom += DH;
    }
}

TFontCharset TbsSkinComboBoxBase::TextCharset() const {
    if (FSD && FSD->ResourceStrData())
        return FSD->ResourceStrData()->CharSet();
    return DefaultFont()->Charset();
}

TColor TbsSkinComboBoxBase::GetDisabledFontColor() {
    if (FIndex != -1 && FSD) {
        const int I = FSD->GetControlIndex(u"edit");
        if (I != -1)
            if (auto* R = dynamic_cast<TbsDataSkinEditControl*>(FSD->CtrlList.at(std::size_t(I)).get()))
                return R->DisabledFontColor;
    }
    return clGrayText;
}

TbsDataSkinButtonControl* TbsSkinComboBoxBase::FindButtonRecord(std::initializer_list<const char16_t*> Names) const {
    if (!FSD || FSD->Empty)
        return nullptr;
    for (const char16_t* Name : Names) {
        const int I = FSD->GetControlIndex(Name);
        if (I != -1)
            if (auto* R = dynamic_cast<TbsDataSkinButtonControl*>(FSD->CtrlList.at(std::size_t(I)).get()))
                return R;
    }
    return nullptr;
}

void TbsSkinComboBoxBase::PressFace(bool Hit) {
    if (!Hit) {
        if (IsPopupVisible())
            CloseUp(false);
        return;
    }
    Button.Down = true;
    Repaint();
    if (!IsPopupVisible()) {
        WasInLB = false;
        FLBDown = true;
        DropDown();
    } else {
        CloseUp(false);
    }
}

// ---------------------------------------------------------------------------------------------
// The frame and the drop-down button

void TbsSkinComboBoxBase::DrawDefaultFrame(TBitmap* B) {
    TCanvas* C = B->Canvas();
    TRect R = Rect(0, 0, B->Width(), B->Height());
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(R);
    Frame3D(C, R, clBtnShadow, clBtnShadow, 1);
    InflateRect(R, -1, -1);
    C->Brush()->SetColor(FDefaultColor);
    C->FillRect(R);
}

void TbsSkinComboBoxBase::DrawButton(TCanvas* C) {
    if (FIndex == -1) {
        if (Button.Down && Button.MouseIn)
            DrawFramedFace(C, Button.R, clNavy, DownFill);
        else if (Button.MouseIn)
            DrawFramedFace(C, Button.R, clNavy, HotFill);
        else
            DrawFramedFace(C, Button.R, clBtnShadow, clBtnFace);
        DrawArrowImage(C, Button.R, Enabled() ? clBlack : clBtnShadow, 4);
        return;
    }
    TRect Source;
    if (!Enabled() && !IsNullRect(UnEnabledButtonRect))
        Source = UnEnabledButtonRect;
    else if (Button.Down && Button.MouseIn)
        Source = DownButtonRect;
    else if (Button.MouseIn)
        Source = ActiveButtonRect;
    if (!IsNullRect(Source) && Picture)
        C->CopyRect(Button.R, Picture->Canvas(), Source);
}

void TbsSkinComboBoxBase::DrawResizeButton(TCanvas* C) {
    TbsDataSkinButtonControl* Rec = FindButtonRecord({u"combobutton", u"editbutton", u"resizebutton"});
    const int W = GetRectWidth(Button.R), H = GetRectHeight(Button.R);
    if (!Rec || W <= 0 || H <= 0)
        return;
    const bool Pressed = Button.Down && Button.MouseIn;
    TBitmap Face(W, H);
    const TColor Arrow = DrawResizedButtonFace(FSD, *Rec, Button.MouseIn, Pressed, &Face);
    if (IsNullRect(Rec->MenuMarkerRect)) {
        if (Enabled())
            DrawArrowImage(Face.Canvas(), Pressed ? Rect(0, 2, W, H) : Rect(0, 0, W, H), Arrow, 4);
    } else {
        TRect Mark = Rec->MenuMarkerRect;
        if (Pressed && !IsNullRect(Rec->MenuMarkerDownRect))
            Mark = Rec->MenuMarkerDownRect;
        else if (Button.MouseIn && !IsNullRect(Rec->MenuMarkerActiveRect))
            Mark = Rec->MenuMarkerActiveRect;
        DrawMarker(Face.Canvas(), Rec, Mark, Rect(0, 0, W, H), Pressed ? 1 : 0);
    }
    C->Draw(Button.R.Left, Button.R.Top, &Face);
}

// The marker's rectangle lies in the button record's picture, which need not be the combo box's own.
void TbsSkinComboBoxBase::DrawMarker(TCanvas* C, TbsDataSkinButtonControl* Rec, const TRect& Mark, const TRect& R,
                                     int DY) {
    TBitmap* Source = PictureOf(FSD, Rec->PictureIndex);
    if (!Source || IsNullRect(Mark))
        return;
    TBitmap M(GetRectWidth(Mark), GetRectHeight(Mark));
    M.Canvas()->CopyRect(Rect(0, 0, M.Width(), M.Height()), Source->Canvas(), Mark);
    M.SetTransparentMode(tmFixed);
    M.SetTransparentColor(Rec->MenuMarkerTransparentColor);
    M.SetTransparent(true);
    C->Draw(R.Left + (GetRectWidth(R) - M.Width()) / 2, R.Top + (GetRectHeight(R) - M.Height()) / 2 + DY, &M);
}

// ---------------------------------------------------------------------------------------------
// The tool-button look: the whole box is one button, the item left of an arrow.

void TbsSkinComboBoxBase::CreateToolButtonDefaultImage(TBitmap* B, const String* AText) {
    TCanvas* C = B->Canvas();
    const TRect R = Rect(0, 0, Width(), Height());
    if (FDropDown)
        DrawFramedFace(C, R, clNavy, DownFill);
    else if (FMouseIn || Focused())
        DrawFramedFace(C, R, clNavy, HotFill);
    else
        DrawFramedFace(C, R, clBtnShadow, clBtnFace);
    const int Shift = FDropDown ? 2 : 0;
    C->Font()->Assign(DefaultFont());
    C->Font()->SetCharset(TextCharset());
    C->Brush()->SetStyle(bsClear);
    DrawToolButtonItem(C, Rect(2 + Shift, 2 + Shift, Width() - 17, Height() - 2), AText);
    DrawDropDownArrowImage(C, Rect(Width() - 15 + Shift, Shift, Width(), Height()), C->Font()->Color());
}

void TbsSkinComboBoxBase::CreateToolButtonSkinImage(TBitmap* B, const String* AText) {
    if (FIndex == -1)
        return;
    TbsDataSkinButtonControl* Rec = FindButtonRecord({u"resizetoolbutton", u"resizebutton"});
    if (!Rec)
        return;
    const bool Hot = FMouseIn || Focused();
    // Open, the face is the pressed one, or the normal one where the record has none.
    DrawResizedButtonFace(FSD, *Rec, Hot && !FDropDown, FDropDown && !IsNullRect(Rec->DownSkinRect), B);
    TCanvas* C = B->Canvas();
    if (FUseSkinFont) {
        C->Font()->SetName(Rec->FontName);
        C->Font()->SetStyle(Rec->FontStyle);
        C->Font()->SetHeight(Rec->FontHeight);
    } else {
        C->Font()->Assign(DefaultFont());
    }
    C->Font()->SetCharset(TextCharset());
    C->Font()->SetColor(FDropDown   ? Rec->DownFontColor
                        : Hot       ? Rec->ActiveFontColor
                        : Enabled() ? Rec->FontColor
                                    : Rec->DisabledFontColor);
    C->Brush()->SetStyle(bsClear);
    const int Shift = FDropDown ? 2 : 0;
    DrawToolButtonItem(C, Rect(2 + Shift, 2 + Shift, Width() - 17, Height() - 2), AText);
    const TRect ArrowR = Rect(Width() - 15 + Shift, Shift, Width(), Height());
    if (IsNullRect(Rec->MenuMarkerRect)) {
        DrawDropDownArrowImage(C, ArrowR, FDropDown ? Rec->DownFontColor : C->Font()->Color());
        return;
    }
    TRect Mark = Rec->MenuMarkerRect;
    if (FDropDown && !IsNullRect(Rec->MenuMarkerDownRect))
        Mark = Rec->MenuMarkerDownRect;
    else if ((FDropDown || FMouseIn) && !IsNullRect(Rec->MenuMarkerActiveRect))
        Mark = Rec->MenuMarkerActiveRect;
    DrawMarker(C, Rec, Mark, ArrowR, 0);
}
