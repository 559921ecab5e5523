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

int TabWidthValue(const String& S) {
    if (S.empty() || S.size() > 9 || !std::all_of(S.begin(), S.end(), [](Char C) { return C >= u'0' && C <= u'9'; }))
        return 0;
    return StrToInt(S);
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

void TbsSkinCustomComboBox::DrawToolButtonItem(TCanvas* C, const TRect& T, const String* AText) {
    CBItem.State = Focused() ? TOwnerDrawState{odFocused} : TOwnerDrawState{};
    DrawItemContent(C, ShownItemIndex(), T, GetRectWidth(T), GetRectHeight(T), AText);
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
