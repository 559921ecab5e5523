// How the combo box paints itself: the default look, the skinned look at the skin's size or stretched, the
// drop-down button, the item shown, the tool-button style and the background erase that brings the inner
// edit along.
#include "skin/controls/TbsSkinComboBox.h"

#include <algorithm>

#include "platform/gdi/WinGdi.h"
#include "platform/gdi/WinText.h"
#include "platform/ui/ExtCtrls.h"
#include "skin/controls/TbsSkinUpDown.h"
#include "skin/core/TbsDataSkinControl.h"
#include "skin/core/TbsSkinData.h"

namespace {

// The unskinned button faces: pressed and hovered inside a navy frame.
constexpr TColor DownFill = TColor(0xB59385);
constexpr TColor HotFill = TColor(0xD2BDB6);

int TabWidthValue(const String& S) {
    if (S.empty() || S.size() > 9 || !std::all_of(S.begin(), S.end(), [](Char C) { return C >= u'0' && C <= u'9'; }))
        return 0;
    return StrToInt(S);
}

// A framed face: one pixel of Frame, the rest Fill.
void DrawFramedFace(TCanvas* C, TRect R, TColor Frame, TColor Fill) {
    Frame3D(C, R, Frame, Frame, 1);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Fill);
    C->FillRect(R);
}

// Copies the marker picture into its own bitmap, keys out its transparent colour and draws it centred in R.
void DrawMarker(TCanvas* C, TBitmap* Picture, const TRect& Source, TColor Key, const TRect& R, int DY) {
    if (!Picture || IsNullRect(Source))
        return;
    TBitmap M(GetRectWidth(Source), GetRectHeight(Source));
    M.Canvas()->CopyRect(Rect(0, 0, M.Width(), M.Height()), Picture->Canvas(), Source);
    M.SetTransparentMode(tmFixed);
    M.SetTransparentColor(Key);
    M.SetTransparent(true);
    C->Draw(R.Left + (GetRectWidth(R) - M.Width()) / 2, R.Top + (GetRectHeight(R) - M.Height()) / 2 + DY, &M);
}

} // namespace

std::vector<int> TbsSkinCustomComboBox::TabStops(TStrings* TabWidths) {
    std::vector<int> Stops;
    const int N = std::min(TabWidths->Count(), 10);
    for (int I = 0; I < N; ++I)
        Stops.push_back(TabWidthValue(TabWidths->Strings(I)));
    return Stops;
}

void TbsSkinCustomComboBox::DrawTabbedItemText(TCanvas* C, const String& S, const TRect& R) {
    std::vector<int> Stops = TabStops(TabWidths());
    const int Y = R.Top + GetRectHeight(R) / 2 - C->TextHeight(S) / 2;
    TabbedTextOutW(C->Handle(), R.Left + 2, Y, S.c_str(), int(S.size()), int(Stops.size()), Stops.data(), 0);
}

int TbsSkinCustomComboBox::ShownItemIndex() const {
    const int I = IsPopupVisible() ? FOldItemIndex : FListBox->ItemIndex();
    return I >= 0 && I < Items()->Count() ? I : -1;
}

bool TbsSkinCustomComboBox::FrameHot() {
    return !IsNullRect(ActiveSkinRect) && (FMouseIn || (FEdit && FEdit->Focused()) || Focused());
}

TbsDataSkinButtonControl* TbsSkinCustomComboBox::FindButtonRecord(std::initializer_list<const char16_t*> Names) {
    if (!FSD)
        return nullptr;
    for (const char16_t* Name : Names) {
        const int I = FSD->GetControlIndex(Name);
        if (I != -1)
            if (auto* R = dynamic_cast<TbsDataSkinButtonControl*>(FSD->CtrlList.at(std::size_t(I)).get()))
                return R;
    }
    return nullptr;
}

// The item, owner drawn or as its image and text; AText replaces the item's string (the tool button's text).
void TbsSkinCustomComboBox::DrawItemContent(TCanvas* C, int Index, TRect TxtRect, int W, int H, const String* AText) {
    if (Index >= 0 && OnComboBoxDrawItem) {
        OnComboBoxDrawItem(C, Index, W, H, TxtRect, CBItem.State);
        return;
    }
    if (Index < 0 && !AText)
        return;
    if (TCustomImageList* IL = Images()) {
        const int Image = ImageIndex() >= 0 ? ImageIndex() : Index;
        if (Image >= 0 && Image < IL->Count())
            IL->Draw(C, TxtRect.Left, TxtRect.Top + GetRectHeight(TxtRect) / 2 - IL->Height() / 2, Image, true);
        TxtRect.Left += IL->Width() + 2;
    }
    const String S = AText ? *AText : Items()->Strings(Index);
    if (TabWidths()->Count() > 0)
        DrawTabbedItemText(C, S, TxtRect);
    else
        TextOutVCentered(C, S, TxtRect);
}

void TbsSkinCustomComboBox::DrawItemBitmap(TCanvas* C, TBitmap& Bmp) {
    C->Draw(CBItem.R.Left, CBItem.R.Top, &Bmp);
}

// ---------------------------------------------------------------------------------------------
// The default look

void TbsSkinCustomComboBox::DrawDefaultFrame(TBitmap* B) {
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

void TbsSkinCustomComboBox::CreateControlDefaultImage(TBitmap* B) {
    CalcRects();
    if (FToolButtonStyle) {
        CreateToolButtonDefaultImage(B, nullptr);
        return;
    }
    DrawDefaultFrame(B);
    DrawButton(B->Canvas());
    if (!FEdit)
        DrawDefaultItem(B->Canvas());
}

void TbsSkinCustomComboBox::DrawButton(TCanvas* C) {
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

void TbsSkinCustomComboBox::DrawDefaultItem(TCanvas* C) {
    const int W = GetRectWidth(CBItem.R), H = GetRectHeight(CBItem.R);
    if (W <= 0 || H <= 0)
        return;
    CBItem.State = Focused() ? TOwnerDrawState{odFocused} : TOwnerDrawState{};
    TBitmap Bmp(W, H);
    TCanvas* BC = Bmp.Canvas();
    BC->Font()->SetName(Font()->Name());
    BC->Font()->SetStyle(Font()->Style());
    BC->Font()->SetHeight(Font()->Height());
    BC->Font()->SetCharset(TextCharset());
    const bool Focus = CBItem.State.Contains(odFocused);
    BC->Brush()->SetStyle(bsSolid);
    BC->Brush()->SetColor(Focus ? clHighlight : FDefaultColor);
    BC->Font()->SetColor(Focus ? clHighlightText : DefaultFont()->Color());
    BC->FillRect(Rect(0, 0, W, H));
    DrawItemContent(BC, ShownItemIndex(), Rect(2, 0, W - 2, H), W, H, nullptr);
    if (Focus)
        DrawSkinFocusRect(BC, Rect(0, 0, W, H));
    DrawItemBitmap(C, Bmp);
}

// ---------------------------------------------------------------------------------------------
// The skinned look

void TbsSkinCustomComboBox::DrawSkinFrame(TBitmap* B) {
    const bool Hot = FrameHot();
    if (!FUseSkinSize) {
        if (Picture)
            DrawNinePartSkinImageByClientRect(B, Picture, Hot ? ActiveSkinRect : SkinRect, ClRect, true);
    } else if (Hot) {
        if (Picture)
            DrawSkinStripH(LTPt.X, GetRectWidth(SkinRect) - RTPt.X, B, Picture, ActiveSkinRect, Width(), Height(),
                           StretchEffect);
    } else {
        TbsSkinCustomControl::CreateControlSkinImage(B);
    }
}

void TbsSkinCustomComboBox::CreateControlSkinImage(TBitmap* B) {
    CalcRects();
    if (FToolButtonStyle) {
        CreateToolButtonSkinImage(B, nullptr);
        return;
    }
    DrawSkinFrame(B);
    if (FUseSkinSize)
        DrawButton(B->Canvas());
    else
        DrawResizeButton(B->Canvas());
    if (!FEdit) {
        if (FUseSkinSize)
            DrawSkinItem(B->Canvas());
        else
            DrawResizeItem(B->Canvas());
    }
}

void TbsSkinCustomComboBox::DrawResizeButton(TCanvas* C) {
    TbsDataSkinButtonControl* BR = FindButtonRecord({u"combobutton", u"editbutton", u"resizebutton"});
    const int W = GetRectWidth(Button.R), H = GetRectHeight(Button.R);
    if (!BR || W <= 0 || H <= 0)
        return;
    const bool Pressed = Button.Down && Button.MouseIn;
    TBitmap Face(W, H);
    DrawResizedButtonFace(FSD, *BR, Button.MouseIn, Pressed, &Face);
    if (IsNullRect(BR->MenuMarkerRect)) {
        if (Enabled()) {
            const TColor Color = Pressed ? BR->DownFontColor : Button.MouseIn ? BR->ActiveFontColor : BR->FontColor;
            DrawArrowImage(Face.Canvas(), Pressed ? Rect(0, 2, W, H) : Rect(0, 0, W, H), Color, 4);
        }
    } else {
        TRect Marker;
        if (Pressed && !IsNullRect(BR->MenuMarkerDownRect))
            Marker = BR->MenuMarkerDownRect;
        else if (!Button.MouseIn)
            Marker = BR->MenuMarkerRect;
        else
            Marker = IsNullRect(BR->MenuMarkerActiveRect) ? BR->MenuMarkerRect : BR->MenuMarkerActiveRect;
        DrawMarker(Face.Canvas(), Picture, Marker, BR->MenuMarkerTransparentColor, Rect(0, 0, W, H), Pressed ? 1 : 0);
    }
    C->Draw(Button.R.Left, Button.R.Top, &Face);
}

void TbsSkinCustomComboBox::DrawSkinItem(TCanvas* C) {
    const int W = GetRectWidth(CBItem.R);
    if (W <= 0 || !Picture)
        return;
    CBItem.State = Focused() ? TOwnerDrawState{odFocused} : TOwnerDrawState{};
    const bool Focus = CBItem.State.Contains(odFocused);
    const bool Hot = !Focus && !IsNullRect(ActiveItemRect) && !IsNullRect(ActiveSkinRect) && FMouseIn;
    // A copy of the frame under the item, where the record has no item picture.
    auto CopyUnder = [&](TBitmap& Bmp) {
        int H = GetRectHeight(SItemRect);
        if (H == 0)
            H = GetRectHeight(FocusItemRect);
        if (H == 0)
            H = GetRectHeight(CBItem.R);
        Bmp.SetSize(W, H);
        Bmp.Canvas()->CopyRect(Rect(0, 0, W, H), C, Bounds(CBItem.R.Left, CBItem.R.Top, W, H));
    };
    TBitmap Bmp;
    if (Focus) {
        if (!IsNullRect(FocusItemRect))
            DrawSkinStripH(ItemLeftOffset, ItemRightOffset, &Bmp, Picture, FocusItemRect, W, 0, FocusItemStretchEffect);
        else
            CopyUnder(Bmp);
    } else if (Hot) {
        DrawSkinStripH(ItemLeftOffset, ItemRightOffset, &Bmp, Picture, ActiveItemRect, W, 0, ItemStretchEffect);
    } else if (!IsNullRect(SItemRect)) {
        DrawSkinStripH(ItemLeftOffset, ItemRightOffset, &Bmp, Picture, SItemRect, W, 0, ItemStretchEffect);
    } else {
        CopyUnder(Bmp);
    }
    TRect T = ItemTextRect;
    T.Right += W - GetRectWidth(IsNullRect(SItemRect) ? ClRect : SItemRect);
    TCanvas* BC = Bmp.Canvas();
    if (FUseSkinFont) {
        BC->Font()->SetName(FontName);
        BC->Font()->SetStyle(FontStyle);
        BC->Font()->SetHeight(FontHeight);
    } else {
        BC->Font()->Assign(DefaultFont());
    }
    BC->Font()->SetCharset(TextCharset());
    TColor Color = Focus ? FocusFontColor : (FMouseIn && !IsNullRect(ActiveSkinRect)) ? ActiveFontColor : FontColor;
    if (!Enabled())
        Color = GetDisabledFontColor();
    BC->Font()->SetColor(Color);
    BC->Brush()->SetStyle(bsClear);
    if (!OnComboBoxDrawItem && Focus && ShowFocus) {
        BC->Brush()->SetStyle(bsSolid);
        BC->Brush()->SetColor(FSD->SkinColors()->FcBtnFace);
        DrawSkinFocusRect(BC, Rect(0, 0, Bmp.Width(), Bmp.Height()));
        BC->Brush()->SetStyle(bsClear);
    }
    DrawItemContent(BC, ShownItemIndex(), T, Bmp.Width(), Bmp.Height(), nullptr);
    DrawItemBitmap(C, Bmp);
}

void TbsSkinCustomComboBox::DrawResizeItem(TCanvas* C) {
    const int W = GetRectWidth(CBItem.R), H = GetRectHeight(CBItem.R);
    if (W <= 0 || H <= 0 || !Picture)
        return;
    CBItem.State = Focused() ? TOwnerDrawState{odFocused} : TOwnerDrawState{};
    const bool Focus = CBItem.State.Contains(odFocused);
    const bool Hot = !IsNullRect(ActiveItemRect) && !IsNullRect(ActiveSkinRect) && FMouseIn;
    TBitmap Bmp(W, H);
    auto CopyUnder = [&] { Bmp.Canvas()->CopyRect(Rect(0, 0, W, H), C, CBItem.R); };
    // The client rectangle of a state picture that is narrower or lower than the item picture.
    auto Adjusted = [&](const TRect& Face, TRect Cl) {
        if (GetRectWidth(Face) < GetRectWidth(SItemRect))
            Cl.Right += GetRectWidth(Face) - GetRectWidth(SItemRect);
        if (GetRectHeight(Face) < GetRectHeight(SItemRect))
            Cl.Top += GetRectHeight(Face) - GetRectHeight(SItemRect);
        return Cl;
    };
    if (Focus) {
        if (IsNullRect(FocusItemRect))
            CopyUnder();
        else
            DrawNinePartSkinImageByClientRect(
                &Bmp, Picture, FocusItemRect,
                Adjusted(FocusItemRect, Rect(ItemTextRect.Left + 1, ItemTextRect.Top + 1, ItemTextRect.Right - 1,
                                             ItemTextRect.Bottom - 1)),
                true);
    } else if (!Hot) {
        if (IsNullRect(SItemRect))
            CopyUnder();
        else
            DrawNinePartSkinImageByClientRect(&Bmp, Picture, SItemRect, ItemTextRect, true);
    } else {
        DrawNinePartSkinImageByClientRect(&Bmp, Picture, ActiveItemRect, Adjusted(ActiveItemRect, ItemTextRect), true);
    }
    TRect T = ItemTextRect;
    T.Right += W - GetRectWidth(IsNullRect(SItemRect) ? ClRect : SItemRect);
    T.Bottom += Height() - GetRectHeight(SkinRect);
    TCanvas* BC = Bmp.Canvas();
    if (FUseSkinFont) {
        BC->Font()->SetName(FontName);
        BC->Font()->SetStyle(FontStyle);
        BC->Font()->SetHeight(FontHeight);
    } else {
        BC->Font()->Assign(DefaultFont());
    }
    BC->Font()->SetCharset(TextCharset());
    BC->Font()->SetColor(Focus                                       ? FocusFontColor
                         : (FMouseIn && !IsNullRect(ActiveSkinRect)) ? ActiveFontColor
                                                                     : FontColor);
    BC->Brush()->SetStyle(bsClear);
    if (!OnComboBoxDrawItem && Focus && ShowFocus) {
        BC->Brush()->SetStyle(bsSolid);
        BC->Brush()->SetColor(FSD->SkinColors()->FcBtnFace);
        DrawSkinFocusRect(BC, Rect(0, 0, W, H));
        BC->Brush()->SetStyle(bsClear);
    }
    DrawItemContent(BC, ShownItemIndex(), T, W, H, nullptr);
    DrawItemBitmap(C, Bmp);
}

// ---------------------------------------------------------------------------------------------
// The tool-button style: the whole control is one button, the text left of an arrow.

void TbsSkinCustomComboBox::CreateToolButtonDefaultImage(TBitmap* B, const String* AText) {
    TCanvas* C = B->Canvas();
    const TRect R = Rect(0, 0, Width(), Height());
    if (FDropDown)
        DrawFramedFace(C, R, clNavy, DownFill);
    else if (FMouseIn || Focused())
        DrawFramedFace(C, R, clNavy, HotFill);
    else
        DrawFramedFace(C, R, clBtnShadow, clBtnFace);
    const int Shift = FDropDown ? 2 : 0;
    const TRect T = Rect(2 + Shift, 2 + Shift, Width() - 17, Height() - 2);
    C->Font()->Assign(DefaultFont());
    C->Brush()->SetStyle(bsClear);
    CBItem.State = Focused() ? TOwnerDrawState{odFocused} : TOwnerDrawState{};
    DrawItemContent(C, ShownItemIndex(), T, GetRectWidth(T), GetRectHeight(T), AText);
    DrawDropDownArrowImage(C, Rect(Width() - 15 + Shift, Shift, Width(), Height()), C->Font()->Color());
}

void TbsSkinCustomComboBox::CreateToolButtonSkinImage(TBitmap* B, const String* AText) {
    if (FIndex == -1)
        return;
    TbsDataSkinButtonControl* BR = FindButtonRecord({u"resizetoolbutton", u"resizebutton"});
    if (!BR)
        return;
    const bool Hot = FMouseIn || Focused();
    DrawResizedButtonFace(FSD, *BR, Hot && !FDropDown, FDropDown, B);
    if (FDropDown && IsNullRect(BR->DownSkinRect))
        DrawResizedButtonFace(FSD, *BR, false, false, B);
    else if (!FDropDown && Hot && IsNullRect(BR->ActiveSkinRect))
        DrawResizedButtonFace(FSD, *BR, false, false, B);
    TCanvas* C = B->Canvas();
    if (FUseSkinFont) {
        C->Font()->SetName(BR->FontName);
        C->Font()->SetStyle(BR->FontStyle);
        C->Font()->SetHeight(BR->FontHeight);
    } else {
        C->Font()->Assign(DefaultFont());
    }
    C->Font()->SetCharset(TextCharset());
    C->Font()->SetColor(FDropDown   ? BR->DownFontColor
                        : Hot       ? BR->ActiveFontColor
                        : Enabled() ? BR->FontColor
                                    : BR->DisabledFontColor);
    C->Brush()->SetStyle(bsClear);
    const int Shift = FDropDown ? 2 : 0;
    const TRect T = Rect(2 + Shift, 2 + Shift, Width() - 17, Height() - 2);
    CBItem.State = Focused() ? TOwnerDrawState{odFocused} : TOwnerDrawState{};
    DrawItemContent(C, ShownItemIndex(), T, GetRectWidth(T), GetRectHeight(T), AText);
    const TRect ArrowR = Rect(Width() - 15 + Shift, Shift, Width(), Height());
    if (!IsNullRect(BR->MenuMarkerRect))
        DrawToolButtonMarker(C, BR, ArrowR);
    else
        DrawDropDownArrowImage(C, ArrowR, FDropDown ? BR->DownFontColor : C->Font()->Color());
}

void TbsSkinCustomComboBox::DrawToolButtonMarker(TCanvas* C, TbsDataSkinButtonControl* BR, const TRect& R) {
    TRect Marker;
    if (FDropDown && !IsNullRect(BR->MenuMarkerDownRect))
        Marker = BR->MenuMarkerDownRect;
    else if (FDropDown && !IsNullRect(BR->MenuMarkerActiveRect))
        Marker = BR->MenuMarkerActiveRect;
    else if (FMouseIn && !IsNullRect(BR->MenuMarkerActiveRect))
        Marker = BR->MenuMarkerActiveRect;
    else
        Marker = BR->MenuMarkerRect;
    DrawMarker(C, Picture, Marker, BR->MenuMarkerTransparentColor, R, 0);
}

// ---------------------------------------------------------------------------------------------
// Painting elsewhere

void TbsSkinCustomComboBox::PaintSkinTo(TCanvas* C, int X, int Y, const String& AText) {
    if (Width() <= 0 || Height() <= 0)
        return;
    std::weak_ptr<char> Alive = AliveToken();
    TBitmap B(Width(), Height());
    GetSkinData();
    CalcRects();
    const String Saved = Text();
    SetText(AText);
    if (Alive.expired())
        return;
    if (FToolButtonStyle) {
        if (FIndex == -1)
            CreateToolButtonDefaultImage(&B, &AText);
        else
            CreateToolButtonSkinImage(&B, &AText);
    } else {
        TCanvas* BC = B.Canvas();
        if (FIndex == -1) {
            DrawDefaultFrame(&B);
            DrawButton(BC);
            BC->Font()->Assign(DefaultFont());
        } else {
            DrawSkinFrame(&B);
            if (FUseSkinSize)
                DrawButton(BC);
            else
                DrawResizeButton(BC);
            BC->Font()->SetStyle(FontStyle);
            BC->Font()->SetColor(FontColor);
            BC->Font()->SetHeight(FontHeight);
            BC->Font()->SetName(FontName);
        }
        BC->Brush()->SetStyle(bsClear);
        if (TabWidths()->Count() > 0)
            DrawTabbedItemText(BC, AText, CBItem.R);
        else
            TextOutVCentered(BC, AText, CBItem.R);
    }
    SetText(Saved);
    if (!Alive.expired())
        C->Draw(X, Y, &B);
}

void TbsSkinCustomComboBox::WMEraseBkgnd(TMessage& Message) {
    Message.Result = 1;
    if (FromWMPaint)
        return;
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    if (!DC)
        return;
    PaintWindow(DC);
    if (FEdit && FEdit->HandleAllocated()) {
        const int Saved = SaveDC(DC);
        OffsetViewportOrgEx(DC, FEdit->Left(), FEdit->Top(), nullptr);
        IntersectClipRect(DC, 0, 0, FEdit->Width(), FEdit->Height());
        SendMessageW(FEdit->Handle(), WM_PAINT, WPARAM(DC), 0);
        RestoreDC(DC, Saved);
    }
}
