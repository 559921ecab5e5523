#include "skin/forms/TbsSkinMenuItem.h"

#include <algorithm>

#include "platform/gdi/ImgList.h"
#include "skin/core/TbsEffectBmp.h"
#include "skin/core/TbsResourceStrData.h"
#include "skin/core/bsUtils.h"
#include "skin/forms/TbsSkinMenu.h"
#include "skin/forms/TbsSkinPopupWindow.h"

// ---------------------------------------------------------------------------------------------
// Marks

void DrawCheckMark(TCanvas* Canvas, int X, int Y, TColor Color) {
    Canvas->Pen()->SetColor(Color);
    for (int I = 0; I < 3; ++I) {
        Canvas->MoveTo(X, Y + 5 - I);
        Canvas->LineTo(X + 2, Y + 7 - I);
        Canvas->LineTo(X + 7, Y + 2 - I);
    }
}

void DrawSubMenuArrow(TCanvas* Canvas, int X, int Y, TColor Color) {
    Canvas->Pen()->SetColor(Color);
    for (int I = 0; I < 4; ++I) {
        Canvas->MoveTo(X + I, Y + I);
        Canvas->LineTo(X + I, Y + 7 - I);
    }
}

void DrawRadioMark(TCanvas* Canvas, int X, int Y, TColor Color) {
    Canvas->Pen()->SetColor(Color);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(Color);
    Canvas->Ellipse(X, Y, X + 6, Y + 6);
}

int RectWidth(const TRect& R) {
    return R.Right - R.Left;
}

int RectHeight(const TRect& R) {
    return R.Bottom - R.Top;
}

namespace {

// The system glyph an item of the form's system or tray menu shows by its name; false for other names.
bool DrawSystemGlyph(TCanvas* C, const String& Name, int X, int Y, TColor Colour) {
    if (Name == u"BSF_CLOSE" || Name == u"TRAY_BSF_CLOSE")
        DrawCloseImage(C, X, Y, Colour);
    else if (Name == u"BSF_MINITEM")
        DrawMinimizeImage(C, X, Y, Colour);
    else if (Name == u"BSF_MAXITEM")
        DrawMaximizeImage(C, X, Y, Colour);
    else if (Name == u"BSF_RESTORE" || Name == u"TRAY_BSF_RESTORE")
        DrawRestoreImage(C, X, Y, Colour);
    else if (Name == u"BSF_ROLLUP")
        DrawRollUpImage(C, X, Y, Colour);
    else if (Name == u"BSF_MINTOTRAY")
        DrawMinimizeToTrayImage(C, X, Y, Colour);
    else
        return false;
    return true;
}

void SetCharSet(TCanvas* C, TbsSkinData* SD, TFont* Fallback) {
    if (SD && SD->ResourceStrData())
        C->Font()->SetCharset(SD->ResourceStrData()->CharSet());
    else if (Fallback)
        C->Font()->SetCharset(Fallback->Charset());
}

// The caption at its place and, ending Gap pixels before the right edge, the short-cut text.
void DrawCaptionAndShortCut(TCanvas* C, TMenuItem* Item, const String& Caption, int Left, int Right, int Top,
                            int Bottom, int Gap) {
    TRect R{Left, 0, Right - Gap, 0};
    DrawWideText(C, Caption, R, DT_CALCRECT);
    int H = RectHeight(R);
    R = TRect{Left, Top + (Bottom - Top) / 2 - H / 2, Right - Gap, Top + (Bottom - Top) / 2 - H / 2 + H};
    TRect Cap{R.Left, R.Top, R.Right + 2, R.Bottom};
    DrawWideText(C, Caption, Cap, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (Item->ShortCut() != scNone) {
        String S = ShortCutToText(Item->ShortCut());
        int SW = GetWideTextWidth(C, S);
        TRect SR{Right - Gap - SW - 2, R.Top, Right - Gap, R.Bottom};
        DrawWideText(C, S, SR, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TbsSkinMenuItem

TbsSkinMenuItem::TbsSkinMenuItem(TbsSkinPopupWindow* AParent, TMenuItem* AMenuItem, TbsDataSkinMenuItem* AData)
    : Parent(AParent), MI(AData), MenuItem(AMenuItem) {
    if (!MI)
        return;
    TbsSkinData* SD = Parent->SD;
    int Index = MI->ActivePictureIndex;
    if (SD && Index >= 0 && Index < int(SD->FActivePictures.size()))
        ActivePicture = SD->FActivePictures[std::size_t(Index)].get();
    if (ActivePicture) {
        SkinRect = MI->SkinRect;
        ActiveSkinRect = MI->ActiveSkinRect;
    }
}

bool TbsSkinMenuItem::IsHeader() const {
    const String& C = MenuItem->Caption();
    return C.size() > 1 && C.front() == u'-' && C.back() == u'-' && !MenuItem->Enabled();
}

String TbsSkinMenuItem::HeaderText() const {
    const String& C = MenuItem->Caption();
    return C.substr(1, C.size() - 2);
}

bool TbsSkinMenuItem::EnableMorphing() const {
    TbsSkinData* SD = Parent->SD;
    return MI && MI->Morphing && ActivePicture && SD && !SD->Empty && SD->EnableSkinEffects();
}

bool TbsSkinMenuItem::EnableAnimation() const {
    TbsSkinData* SD = Parent->SD;
    return MI && !IsNullRect(MI->AnimateSkinRect) && MI->FrameCount > 0 && ActivePicture && SD && !SD->Empty &&
           SD->EnableSkinEffects();
}

void TbsSkinMenuItem::SetMorphKf(double Value) {
    FMorphKf = std::clamp(Value, 0.0, 1.0);
}

bool TbsSkinMenuItem::CanMorphing() {
    if (!FVisible) {
        if (FMorphKf != 0) {
            Active = Down = false;
            FMorphKf = 0;
        }
        return false;
    }
    return (Highlighted() && FMorphKf < 1) || (!Highlighted() && FMorphKf > 0);
}

void TbsSkinMenuItem::DoMorphing() {
    SetMorphKf(FMorphKf + (Highlighted() ? 0.2 : -0.2));
    Draw(Parent->Canvas());
}

// ---------------------------------------------------------------------------------------------
// State changes

void TbsSkinMenuItem::MouseEnter(bool Kb) {
    Active = true;
    if (EnableAnimation())
        CurrentFrame = 0;
    for (auto& Row : Parent->ItemList)
        if (Row.get() != this && Row->Down) {
            Row->Down = false;
            Row->RedrawWithEffect();
        }
    if (WaitCommand && !Kb) {
        RedrawWithEffect();
    } else if (Down) {
        TbsSkinMenu* Menu = Parent->ParentMenu;
        int Level = Menu->IndexOfWindow(Parent);
        if (Menu->LevelCount() - Level >= 3)
            Menu->Levels(Level + 1)->CloseSubLevels();
    } else {
        RedrawWithEffect();
        // The window shows the row's hint; set first, since the activation may close levels.
        if (Parent->Hint() != MenuItem->Hint())
            Parent->SetHint(MenuItem->Hint());
        Parent->ParentMenu->ActivateMenuItem(Parent, this, Kb, false);
        return; // the level below may have closed; nothing of this row is touched afterwards
    }
    if (Parent->Hint() != MenuItem->Hint())
        Parent->SetHint(MenuItem->Hint());
}

void TbsSkinMenuItem::MouseLeave() {
    Active = false;
    if (EnableAnimation())
        CurrentFrame = MI->FrameCount + 1;
    WaitCommand = false;
    if (!Down)
        RedrawWithEffect();
    TbsSkinMenu* Menu = Parent->ParentMenu;
    if (Menu->WItem == this) {
        Menu->WaitTimer->SetEnabled(false);
        Menu->WItem = nullptr;
    }
}

void TbsSkinMenuItem::MouseDown(int, int) {
    WaitCommand = false;
    if (!Down && MenuItem->Enabled())
        Parent->ParentMenu->ActivateMenuItem(Parent, this, false, true);
}

void TbsSkinMenuItem::RedrawWithEffect() {
    if (EnableAnimation()) {
        if (Parent->MorphTimer->Interval() != Cardinal(MI->AnimateInterval))
            Parent->MorphTimer->SetInterval(Cardinal(std::max(1, MI->AnimateInterval)));
        if (Active || MI->InActiveAnimation) {
            Parent->MorphTimer->SetEnabled(true);
        } else {
            CurrentFrame = 0;
            Draw(Parent->Canvas());
        }
    } else if (EnableMorphing()) {
        Parent->MorphTimer->SetInterval(20);
        Parent->MorphTimer->SetEnabled(true);
    } else {
        Draw(Parent->Canvas());
    }
}

// ---------------------------------------------------------------------------------------------
// Drawing

bool TbsSkinMenuItem::HasImages() const {
    return Parent->ImgL != nullptr;
}

bool TbsSkinMenuItem::HasGlyph() const {
    if (MenuItem->HasBitmap())
        return true;
    int I = MenuItem->ImageIndex();
    return HasImages() && I >= 0 && I < Parent->ImgL->Count();
}

TRect TbsSkinMenuItem::AnimationFrameRect(int N) const {
    const TRect& A = MI->AnimateSkinRect;
    if (RectHeight(A) > RectHeight(MI->SkinRect)) {
        int H = RectHeight(A) / MI->FrameCount;
        return TRect{A.Left, A.Top + H * (N - 1), A.Right, A.Top + H * N};
    }
    int W = RectWidth(A) / MI->FrameCount;
    return TRect{A.Left + W * (N - 1), A.Top, A.Left + W * N, A.Bottom};
}

void TbsSkinMenuItem::Draw(TCanvas* Cnvs) {
    if (!FVisible)
        return;
    if (!MI) {
        DefaultDraw(Cnvs);
        return;
    }
    const int W = RectWidth(ObjectRect), H = RectHeight(ObjectRect);
    if (W <= 0 || H <= 0)
        return;
    TBitmap B;
    B.SetSize(W, H);
    if (IsDivider()) {
        TBitmap Strip;
        if (ActivePicture && !IsNullRect(MI->DividerRect))
            DrawSkinStripH(MI->DividerLO, MI->DividerRO, &Strip, ActivePicture, MI->DividerRect, W, H,
                           MI->DividerStretchEffect);
        if (!Strip.Empty())
            B.Canvas()->Draw(0, 0, &Strip);
    } else if (EnableAnimation() && CurrentFrame >= 1 && CurrentFrame <= MI->FrameCount) {
        CreateItemImage(B, true, true);
    } else if (EnableMorphing() && (Highlighted() ? FMorphKf < 1 : FMorphKf > 0)) {
        TBitmap Normal, Hot;
        Normal.SetSize(W, H);
        Hot.SetSize(W, H);
        CreateItemImage(Normal, false, false);
        CreateItemImage(Hot, true, false);
        std::unique_ptr<TbsEffectBmp> E(TbsEffectBmp::CreateFromhWnd(Normal.Handle()));
        std::unique_ptr<TbsEffectBmp> E2(TbsEffectBmp::CreateFromhWnd(Hot.Handle()));
        E->MorphByKind(MI->MorphKind, *E2, FMorphKf);
        E->Draw(B.Canvas()->Handle(), 0, 0);
    } else {
        CreateItemImage(B, Highlighted(), false);
    }
    Cnvs->Draw(ObjectRect.Left, ObjectRect.Top, &B);
}

void TbsSkinMenuItem::CreateItemImage(TBitmap& B, bool AHighlighted, bool FromFrame) {
    const int W = B.Width(), H = B.Height();
    TCanvas* C = B.Canvas();
    TRect Src = AHighlighted ? ActiveSkinRect : SkinRect;
    bool Stretch = AHighlighted ? MI->StretchEffect : MI->InActiveStretchEffect;
    if (FromFrame) {
        Src = AnimationFrameRect(CurrentFrame);
        if (!MI->InActiveStretchEffect && MI->StretchEffect)
            Stretch = MI->StretchEffect;
    }
    // Background: the window's own background under a transparent normal row, else the record's strip.
    if (!AHighlighted && MI->InActiveTransparent && Parent->FPaintBuffer) {
        C->CopyRect(Rect(0, 0, W, H), Parent->FPaintBuffer->Canvas(), ObjectRect);
    } else if (ActivePicture && !IsNullRect(Src)) {
        TBitmap Strip;
        DrawSkinStripH(MI->ItemLO, MI->ItemRO, &Strip, ActivePicture, Src, W, H, Stretch);
        C->Draw(0, 0, &Strip);
    }
    int GlyphCol = HasImages() ? Parent->GlyphWidth : 16;
    if (!IsNullRect(MI->ImageRct))
        GlyphCol = 0;
    TRect Text = MI->TextRct;
    Text.Right += W - RectWidth(MI->SkinRect);
    TbsSkinMenu* Menu = Parent->ParentMenu;
    if (Menu->UseSkinFont()) {
        C->Font()->SetName(MI->FontName);
        C->Font()->SetStyle(MI->FontStyle);
        C->Font()->SetHeight(MI->FontHeight);
    } else {
        C->Font()->Assign(Menu->DefaultMenuItemFont());
    }
    SetCharSet(C, Parent->SD, Menu->DefaultMenuItemFont());
    TColor Colour = AHighlighted ? MI->ActiveFontColor : (MenuItem->Enabled() ? MI->FontColor : MI->UnEnabledFontColor);
    C->Font()->SetColor(Colour);
    C->Brush()->SetStyle(bsClear);
    if (MenuItem->OnDrawItem) {
        MenuItem->OnDrawItem(MenuItem, C, Text, AHighlighted);
        return;
    }
    if (IsHeader()) {
        DrawHeaderItem(C, W, H);
        return;
    }
    DrawCaptionAndShortCut(C, MenuItem, MenuItem->Caption(), Text.Left + GlyphCol, Text.Right, Text.Top, Text.Bottom,
                           16);
    int Middle = Text.Top + RectHeight(Text) / 2;
    if (MenuItem->Count() > 0) {
        if (IsNullRect(MI->ArrowImageRect))
            DrawSubMenuArrow(C, Text.Right - 7, Middle - 4, Colour);
        else
            DrawSkinImage(C, TRect{Text.Right - RectWidth(MI->ArrowImageRect) - 5, Text.Top, Text.Right, Text.Bottom},
                          AHighlighted && !IsNullRect(MI->ActiveArrowImageRect) ? MI->ActiveArrowImageRect
                                                                                : MI->ArrowImageRect);
    }
    if (MI->UseImageColor)
        Colour = AHighlighted ? MI->ActiveImageColor : MI->ImageColor;
    DrawGlyph(C, Text, Colour, AHighlighted);
}

void TbsSkinMenuItem::DrawGlyph(TCanvas* C, const TRect& Text, TColor Colour, bool AHighlighted) {
    const bool OwnPlace = MI && !IsNullRect(MI->ImageRct);
    const TRect& IR = MI ? MI->ImageRct : Text;
    const int Middle = Text.Top + RectHeight(Text) / 2;
    if (HasGlyph()) {
        int GW, GH;
        if (MenuItem->HasBitmap()) {
            GW = MenuItem->Bitmap()->Width();
            GH = MenuItem->Bitmap()->Height();
        } else {
            GW = Parent->ImgL->Width();
            GH = Parent->ImgL->Height();
        }
        int X = OwnPlace ? IR.Left + RectWidth(IR) / 2 - GW / 2 : Text.Left + 2;
        int Y = OwnPlace ? IR.Top + RectHeight(IR) / 2 - GH / 2 : Middle - GH / 2;
        if (MenuItem->Checked()) {
            C->Brush()->SetStyle(bsClear);
            C->Pen()->SetColor(Colour);
            C->Rectangle(X - 1, Y - 1, X + GW + 1, Y + GH + 1);
        }
        if (MenuItem->HasBitmap()) {
            MenuItem->Bitmap()->SetTransparent(true);
            C->Draw(X, Y, MenuItem->Bitmap());
        } else {
            Parent->ImgL->Draw(C, X, Y, MenuItem->ImageIndex(), MenuItem->Enabled());
        }
        return;
    }
    int X = OwnPlace ? IR.Left + RectWidth(IR) / 2 - 4 : Text.Left + 2;
    int Y = OwnPlace ? IR.Top + RectHeight(IR) / 2 - 4 : Middle - 4;
    if (DrawSystemGlyph(C, MenuItem->Name(), X, Y, Colour) || !MenuItem->Checked())
        return;
    TRect Place = OwnPlace ? IR : TRect{Text.Left + 2, Text.Top, Text.Left + 16, Text.Bottom};
    if (MenuItem->RadioItem()) {
        if (IsNullRect(MI->RadioImageRect))
            DrawRadioMark(C, X, Y + 1, Colour);
        else
            DrawSkinImage(C, Place,
                          AHighlighted && !IsNullRect(MI->ActiveRadioImageRect) ? MI->ActiveRadioImageRect
                                                                                : MI->RadioImageRect);
    } else if (IsNullRect(MI->CheckImageRect)) {
        DrawCheckMark(C, X, Y, Colour);
    } else {
        DrawSkinImage(C, Place,
                      AHighlighted && !IsNullRect(MI->ActiveCheckImageRect) ? MI->ActiveCheckImageRect
                                                                            : MI->CheckImageRect);
    }
}

void TbsSkinMenuItem::DrawSkinImage(TCanvas* C, const TRect& R, const TRect& Src) {
    if (!ActivePicture || IsNullRect(Src))
        return;
    TBitmap B;
    B.SetSize(RectWidth(Src), RectHeight(Src));
    B.Canvas()->CopyRect(Rect(0, 0, B.Width(), B.Height()), ActivePicture->Canvas(), Src);
    B.SetTransparent(true);
    int X = std::max(R.Left, R.Left + RectWidth(R) / 2 - B.Width() / 2);
    int Y = std::max(R.Top, R.Top + RectHeight(R) / 2 - B.Height() / 2);
    C->Draw(X, Y, &B);
}

void TbsSkinMenuItem::DrawHeaderItem(TCanvas* C, int W, int H) {
    TbsSkinData* SD = Parent->SD;
    if (!SD)
        return;
    int Index = SD->GetControlIndex(u"menuheader");
    if (Index < 0)
        Index = SD->GetControlIndex(u"label");
    auto* L = Index < 0 ? nullptr : dynamic_cast<TbsDataSkinLabelControl*>(SD->CtrlList[std::size_t(Index)].get());
    if (!L || L->PictureIndex < 0 || L->PictureIndex >= int(SD->FActivePictures.size()) || IsNullRect(L->SkinRect))
        return;
    TBitmap Strip;
    DrawSkinStripH(L->LTPoint.X, RectWidth(L->SkinRect) - L->RTPoint.X, &Strip,
                   SD->FActivePictures[std::size_t(L->PictureIndex)].get(), L->SkinRect, W, RectHeight(L->SkinRect),
                   L->StretchEffect);
    TCanvas* SC = Strip.Canvas();
    SC->Font()->SetName(L->FontName);
    SC->Font()->SetStyle(L->FontStyle);
    SC->Font()->SetHeight(L->FontHeight);
    SC->Font()->SetColor(L->FontColor);
    SC->Font()->SetCharset(C->Font()->Charset());
    SC->Brush()->SetStyle(bsClear);
    TRect R{L->ClRect.Left, L->ClRect.Top, Strip.Width() - (RectWidth(L->SkinRect) - L->ClRect.Right), Strip.Height()};
    DrawWideText(SC, HeaderText(), R, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    C->Draw(0, H / 2 - Strip.Height() / 2, &Strip);
}

void TbsSkinMenuItem::DefaultDraw(TCanvas* Cnvs) {
    const int W = RectWidth(ObjectRect), H = RectHeight(ObjectRect);
    if (W <= 0 || H <= 0)
        return;
    TBitmap B;
    B.SetSize(W, H);
    TCanvas* C = B.Canvas();
    const int GlyphCol = HasImages() ? Parent->GlyphWidth : 19;
    TbsSkinMenu* Menu = Parent->ParentMenu;
    C->Font()->Assign(Menu->DefaultMenuItemFont());
    SetCharSet(C, Parent->SD, Menu->DefaultMenuItemFont());
    TColor Colour = clWindowText;
    if (Highlighted() && !IsDivider()) {
        C->Brush()->SetColor(clNavy);
        C->FillRect(Rect(0, 0, W, H));
        C->Brush()->SetColor(clMenuItemHot);
        C->FillRect(Rect(1, 1, W - 1, H - 1));
    } else {
        C->Brush()->SetColor(clBtnFace);
        C->FillRect(Rect(0, 0, GlyphCol, H));
        C->Brush()->SetColor(clWindow);
        C->FillRect(Rect(GlyphCol, 0, W, H));
        if (!MenuItem->Enabled())
            Colour = clBtnShadow;
    }
    C->Font()->SetColor(Colour);
    C->Brush()->SetStyle(bsClear);
    if (IsDivider()) {
        C->Pen()->SetColor(clBtnShadow);
        C->MoveTo(GlyphCol, H / 2);
        C->LineTo(W, H / 2);
    } else if (IsHeader()) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(clBtnShadow);
        C->FillRect(Rect(0, 0, W, H));
        C->Brush()->SetStyle(bsClear);
        C->Font()->SetColor(clBtnHighlight);
        TRect R{2, 2, W - 2, H - 2};
        DrawWideText(C, HeaderText(), R, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    } else {
        TRect Inner{2, 2, W - 2, H - 2};
        if (MenuItem->OnDrawItem) {
            MenuItem->OnDrawItem(MenuItem, C, Inner, Highlighted());
        } else {
            DrawCaptionAndShortCut(C, MenuItem, MenuItem->Caption(), Inner.Left + GlyphCol, Inner.Right, Inner.Top,
                                   Inner.Bottom, 19);
            const int Middle = Inner.Top + RectHeight(Inner) / 2;
            if (MenuItem->Count() > 0)
                DrawSubMenuArrow(C, Inner.Right - 7, Middle - 4, Colour);
            if (HasGlyph()) {
                DrawGlyph(C, Inner, Colour, Highlighted());
            } else if (!DrawSystemGlyph(C, MenuItem->Name(), Inner.Left + 2, Middle - 4, Colour) &&
                       MenuItem->Checked()) {
                if (MenuItem->RadioItem())
                    DrawRadioMark(C, Inner.Left + 3, Middle - 4 + 1, Colour);
                else
                    DrawCheckMark(C, Inner.Left + 3, Middle - 4, Colour);
            }
        }
    }
    Cnvs->Draw(ObjectRect.Left, ObjectRect.Top, &B);
}
