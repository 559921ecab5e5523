// The menu bar's objects: the base with its hover state and morphing, the top-level items and the system
// buttons of a maximized MDI child.
#include "skin/forms/TbsMenuBarObject.h"

#include <algorithm>

#include "skin/core/TbsEffectBmp.h"
#include "skin/core/bsUtils.h"
#include "skin/forms/TbsSkinForm.h"
#include "skin/forms/TbsSkinMainMenuBar.h"
#include "skin/forms/TbsSkinMenu.h"

namespace {

TBitmap* ActivePictureAt(TbsSkinData* SD, int Index) {
    if (!SD || Index < 0 || Index >= int(SD->FActivePictures.size()))
        return nullptr;
    return SD->FActivePictures[std::size_t(Index)].get();
}

bool SkinPresent(TbsSkinData* SD) {
    return SD && !SD->Empty;
}

// The default look's frame: one navy pixel around a fill.
void DrawDefaultFrame(TCanvas* C, const TRect& R, TColor Fill) {
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clNavy);
    C->FrameRect(R);
    C->Brush()->SetColor(Fill);
    C->FillRect(TRect{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1});
}

TRect ToScreen(TControl* Control, const TRect& R) {
    TPoint P = Control->ClientToScreen(TPoint{R.Left, R.Top});
    return TRect{P.X, P.Y, P.X + R.Right - R.Left, P.Y + R.Bottom - R.Top};
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TbsMenuBarObject

TbsMenuBarObject::TbsMenuBarObject(TbsSkinMainMenuBar* AParent, TbsDataSkinObject* AData) : Parent(AParent) {
    if (!AData)
        return;
    IDName = AData->IDName;
    SkinRect = AData->SkinRect;
    ActiveSkinRect = AData->ActiveSkinRect;
    DownRect = AData->ActiveSkinRect;
    Morphing = AData->Morphing && !IsNullRect(AData->ActiveSkinRect);
    MorphKind = AData->MorphKind;
    ObjectRect = SkinRect;
    Picture = ActivePictureAt(AParent->SkinData(), AData->ActivePictureIndex);
}

bool TbsMenuBarObject::EnableMorphing() const {
    TbsSkinData* SD = Parent->SkinData();
    return Morphing && SkinPresent(SD) && SD->EnableSkinEffects();
}

void TbsMenuBarObject::SetMorphKf(double Value) {
    FMorphKf = std::clamp(Value, 0.0, 1.0);
}

bool TbsMenuBarObject::CanMorphing() {
    return (!FDown || IsNullRect(DownRect)) && ((Active && FMorphKf < 1) || (!Active && FMorphKf > 0));
}

void TbsMenuBarObject::DoMorphing() {
    SetMorphKf(FMorphKf + (Active ? 0.2 : -0.2));
    Parent->DrawObject(this);
}

void TbsMenuBarObject::ReDraw() {
    if (EnableMorphing())
        Parent->MorphTimer->SetEnabled(true);
    else
        Parent->DrawObject(this);
}

void TbsMenuBarObject::MouseEnter() {
    FMouseIn = true;
    Active = true;
    ReDraw();
}

void TbsMenuBarObject::MouseLeave() {
    FMouseIn = false;
    Active = false;
    ReDraw();
}

void TbsMenuBarObject::DrawMorphImage(TBitmap& B, const TRect& Normal, const TRect& Hot) {
    const int W = B.Width(), H = B.Height();
    TBitmap N(W, H), A(W, H);
    N.SetPixelFormat(pf24bit);
    A.SetPixelFormat(pf24bit);
    N.Canvas()->CopyRect(Rect(0, 0, W, H), Picture->Canvas(), Normal);
    A.Canvas()->CopyRect(Rect(0, 0, W, H), Picture->Canvas(), Hot);
    std::unique_ptr<TbsEffectBmp> E1(TbsEffectBmp::CreateFromhWnd(N.Handle()));
    std::unique_ptr<TbsEffectBmp> E2(TbsEffectBmp::CreateFromhWnd(A.Handle()));
    E1->MorphByKind(MorphKind, *E2, FMorphKf);
    E1->Draw(B.Canvas()->Handle(), 0, 0);
}

// ---------------------------------------------------------------------------------------------
// TbsSkinMainMenuBarItem

TbsSkinMainMenuBarItem::TbsSkinMainMenuBarItem(TbsSkinMainMenuBar* AParent, TbsDataSkinMainMenuItem* AData)
    : TbsMenuBarObject(AParent, AData) {
    FSkinSupport = AData != nullptr;
    if (!AData)
        return;
    FontName = AData->FontName;
    FontHeight = AData->FontHeight;
    FontStyle = AData->FontStyle;
    UnEnabledFontColor = AData->UnEnabledFontColor;
    FontColor = AData->FontColor;
    ActiveFontColor = AData->ActiveFontColor;
    DownFontColor = AData->DownFontColor;
    TextRct = AData->TextRct;
    DownRect = AData->DownRect;
    if (IsNullRect(DownRect))
        DownRect = IsNullRect(ActiveSkinRect) ? SkinRect : ActiveSkinRect;
    LO = AData->ItemLO;
    RO = AData->ItemRO;
    StretchEffect = AData->StretchEffect;
    AnimateSkinRect = AData->AnimateSkinRect;
    FrameCount = AData->FrameCount;
    AnimateInterval = AData->AnimateInterval;
    InActiveAnimation = AData->InActiveAnimation;
    if (IsNullRect(ActiveSkinRect))
        Morphing = false;
}

bool TbsSkinMainMenuBarItem::EnableAnimation() const {
    TbsSkinData* SD = Parent->SkinData();
    return !IsNullRect(AnimateSkinRect) && FrameCount > 0 && Picture && SkinPresent(SD) && SD->EnableSkinEffects();
}

void TbsSkinMainMenuBarItem::ReDraw() {
    if (EnableAnimation()) {
        Parent->AnimateTimer->SetInterval(Cardinal(std::max(1, AnimateInterval)));
        Parent->AnimateTimer->SetEnabled(true);
        return;
    }
    TbsMenuBarObject::ReDraw();
}

void TbsSkinMainMenuBarItem::SetupFont(TCanvas* C) {
    TbsSkinData* SD = Parent->SkinData();
    if (FSkinSupport && Parent->UseSkinFont()) {
        C->Font()->SetName(FontName);
        C->Font()->SetHeight(FontHeight);
        C->Font()->SetStyle(FontStyle);
    } else {
        C->Font()->Assign(Parent->DefItemFont());
    }
    if (SD && SD->ResourceStrData())
        C->Font()->SetCharset(SD->ResourceStrData()->CharSet());
}

TRect TbsSkinMainMenuBarItem::CalcObjectRect(TCanvas* Cnvs) {
    int Left = Parent->NewItemsRect.Left;
    TbsSkinMainMenuBarItem* Prior = nullptr;
    for (auto& O : Parent->ObjectList) {
        if (O.get() == this)
            break;
        if (auto* I = dynamic_cast<TbsSkinMainMenuBarItem*>(O.get()))
            Prior = I;
    }
    if (Prior)
        Left = Prior->ObjectRect.Right;
    TBitmap Measure(1, 1);
    SetupFont(Measure.Canvas());
    (void)Cnvs;
    TRect T{0, 0, 0, 0};
    const String& Caption = MenuItem->Caption();
    DrawTextW(Measure.Canvas()->Handle(), reinterpret_cast<LPCWSTR>(Caption.c_str()), int(Caption.size()),
              reinterpret_cast<RECT*>(&T), DT_CALCRECT | DT_CENTER | DT_SINGLELINE);
    const int TW = T.Right - T.Left;
    TRect R;
    R.Left = Left;
    R.Top = Parent->NewItemsRect.Top;
    if (FSkinSupport) {
        R.Right = Left + TW + (GetRectWidth(SkinRect) - TextRct.Right + TextRct.Left) + 2;
        R.Bottom = R.Top + GetRectHeight(SkinRect);
    } else {
        R.Right = Left + TW + 12;
        R.Bottom = Parent->NewItemsRect.Bottom;
    }
    return R;
}

void TbsSkinMainMenuBarItem::Draw(TCanvas* Cnvs) {
    if (!MenuItem)
        return;
    ObjectRect = CalcObjectRect(Cnvs);
    const int Limit = Parent->NewItemsRect.Right - (Parent->ScrollMenu() ? 5 : 0);
    if (ObjectRect.Right > Limit) {
        // Kept disabled until it fits again.
        Parent->Scroll = true;
        if (Visible) {
            Visible = false;
            OldEnabled = Enabled;
            Enabled = false;
        }
        return;
    }
    if (!Visible) {
        Visible = true;
        Enabled = OldEnabled;
    }
    if (FSkinSupport)
        DrawSkin(Cnvs);
    else
        DrawDefault(Cnvs);
}

void TbsSkinMainMenuBarItem::DrawCaption(TCanvas* C, const TRect& TextR, bool Highlighted) {
    if (MenuItem->OnDrawItem) {
        MenuItem->OnDrawItem(this, C, TextR, Highlighted);
        return;
    }
    TRect R = TextR;
    C->Brush()->SetStyle(bsClear);
    const String& Caption = MenuItem->Caption();
    DrawTextW(C->Handle(), reinterpret_cast<LPCWSTR>(Caption.c_str()), int(Caption.size()), reinterpret_cast<RECT*>(&R),
              Parent->DrawTextBiDiModeFlags(DT_CENTER | DT_VCENTER | DT_SINGLELINE));
}

void TbsSkinMainMenuBarItem::DrawDefault(TCanvas* Cnvs) {
    TRect R = ObjectRect;
    if (FDown)
        DrawDefaultFrame(Cnvs, R, clBarItemDown);
    else if (Active)
        DrawDefaultFrame(Cnvs, R, clBarItemHot);
    else {
        Cnvs->Brush()->SetStyle(bsSolid);
        Cnvs->Brush()->SetColor(clBtnFace);
        Cnvs->FillRect(R);
    }
    SetupFont(Cnvs);
    if (!Enabled)
        Cnvs->Font()->SetColor(clBtnShadow);
    if (FDown)
        OffsetRect(R, 1, 1);
    DrawCaption(Cnvs, R, Active || FDown);
}

TRect TbsSkinMainMenuBarItem::FrameRect(int N) const {
    TRect R = AnimateSkinRect;
    const int W = GetRectWidth(SkinRect), H = GetRectHeight(SkinRect);
    if (GetRectHeight(AnimateSkinRect) > H)
        return TRect{R.Left, R.Top + (N - 1) * H, R.Left + W, R.Top + N * H};
    return TRect{R.Left + (N - 1) * W, R.Top, R.Left + N * W, R.Top + H};
}

void TbsSkinMainMenuBarItem::DrawSkin(TCanvas* Cnvs) {
    if (IsNullRect(SkinRect) || IsNullRect(TextRct) || !Picture)
        return;
    const int W = GetRectWidth(ObjectRect), H = GetRectHeight(ObjectRect);
    if (W <= 0 || H <= 0)
        return;
    TBitmap B(W, H);
    const bool Animating = EnableAnimation() && CurrentFrame >= 1 && CurrentFrame <= FrameCount;
    const bool Morph = EnableMorphing() && FMorphKf > 0 && FMorphKf < 1;
    if (FDown) {
        DrawSkinStripH(LO, RO, &B, Picture, DownRect, W, H, StretchEffect);
    } else if (Animating) {
        DrawSkinStripH(LO, RO, &B, Picture, FrameRect(CurrentFrame), W, H, StretchEffect);
    } else if (Morph) {
        TBitmap N(W, H), A(W, H);
        DrawSkinStripH(LO, RO, &N, Picture, SkinRect, W, H, false);
        DrawSkinStripH(LO, RO, &A, Picture, ActiveSkinRect, W, H, StretchEffect);
        std::unique_ptr<TbsEffectBmp> E1(TbsEffectBmp::CreateFromhWnd(N.Handle()));
        std::unique_ptr<TbsEffectBmp> E2(TbsEffectBmp::CreateFromhWnd(A.Handle()));
        E1->MorphByKind(MorphKind, *E2, FMorphKf);
        E1->Draw(B.Canvas()->Handle(), 0, 0);
    } else if (Active && !IsNullRect(ActiveSkinRect)) {
        DrawSkinStripH(LO, RO, &B, Picture, ActiveSkinRect, W, H, StretchEffect);
    } else if (Parent->ItemTransparent) {
        // Items drawn on a transparent bar are only ever drawn inside the bar's whole paint, over its background.
        B.Canvas()->CopyRect(Rect(0, 0, W, H), Cnvs, ObjectRect);
    } else {
        DrawSkinStripH(LO, RO, &B, Picture, SkinRect, W, H, false);
    }
    TCanvas* C = B.Canvas();
    SetupFont(C);
    C->Font()->SetColor(FDown ? DownFontColor : Active ? ActiveFontColor : Enabled ? FontColor : UnEnabledFontColor);
    TRect T{0, 0, 0, 0};
    const String& Caption = MenuItem->Caption();
    DrawTextW(C->Handle(), reinterpret_cast<LPCWSTR>(Caption.c_str()), int(Caption.size()), reinterpret_cast<RECT*>(&T),
              DT_CALCRECT | DT_CENTER | DT_SINGLELINE);
    const TRect TextR{TextRct.Left, TextRct.Top, TextRct.Left + (T.Right - T.Left) + 2, TextRct.Bottom};
    DrawCaption(C, TextR, Active || FDown);
    Cnvs->Draw(ObjectRect.Left, ObjectRect.Top, &B);
}

void TbsSkinMainMenuBarItem::MouseEnter() {
    TbsSkinMainMenuBarItem* Pressed = nullptr;
    for (auto& O : Parent->ObjectList)
        if (auto* I = dynamic_cast<TbsSkinMainMenuBarItem*>(O.get()); I && I != this && I->FDown)
            Pressed = I;
    if (Pressed) {
        // Moving along the bar while a submenu is open opens each item's submenu in turn.
        Pressed->SetDown(false);
        FMouseIn = true;
        Active = true;
        if (EnableMorphing())
            FMorphKf = 1;
        SetDown(true);
        return;
    }
    for (auto& O : Parent->ObjectList)
        if (auto* I = dynamic_cast<TbsSkinMainMenuBarItem*>(O.get()); I && I != this && I->Active)
            I->MouseLeave();
    FMouseIn = true;
    Active = true;
    ReDraw();
    if (Parent->OnItemMouseEnter)
        Parent->OnItemMouseEnter(MenuItem);
    if (MenuItem && Parent->Hint() != MenuItem->Hint())
        Parent->SetHint(MenuItem->Hint());
}

void TbsSkinMainMenuBarItem::MouseLeave() {
    FMouseIn = false;
    Active = false;
    if (EnableAnimation() && !InActiveAnimation) {
        CurrentFrame = 0;
        Parent->DrawObject(this);
    }
    if (FDown && EnableMorphing())
        FMorphKf = 0;
    ReDraw();
    if (Parent->OnItemMouseLeave)
        Parent->OnItemMouseLeave(MenuItem);
}

void TbsSkinMainMenuBarItem::MouseDown(int, int, TMouseButton Button) {
    TbsSkinForm* BSF = Parent->SkinForm();
    if (Button != mbLeft || !Enabled || !BSF || !MenuItem)
        return;
    if (MenuItem->Count() > 0) {
        Parent->MenuActive = true;
        SetDown(true);
        return;
    }
    if (BSF->InMainMenu)
        BSF->LeaveMainMenu();
    BSF->InMenu = false;
    Parent->DrawObject(this);
    // The command may rebuild the bar: nothing of this item is touched after it.
    TMenuItem* Item = MenuItem;
    TMenu* Menu = Item->GetParentMenu();
    if (!Menu || !Menu->DispatchCommand(Item->Command()))
        Item->Click();
}

void TbsSkinMainMenuBarItem::SetDown(bool Value) {
    if (Value) {
        FDown = true;
        FMorphKf = 1;
        Parent->DrawObject(this);
        TbsSkinForm* BSF = Parent->SkinForm();
        if (BSF && !BSF->InMainMenu && BSF->OnMainMenuEnter)
            BSF->OnMainMenuEnter(Parent);
        PopupItemMenu();
        return;
    }
    FDown = false;
    Active = false;
    if (EnableAnimation()) {
        if (InActiveAnimation) {
            CurrentFrame = FrameCount + 1;
            Parent->AnimateTimer->SetInterval(Cardinal(std::max(1, AnimateInterval)));
            Parent->AnimateTimer->SetEnabled(true);
        } else {
            CurrentFrame = 0;
        }
    }
    if (EnableMorphing()) {
        FMorphKf = 1;
        Parent->MorphTimer->SetEnabled(true);
    } else {
        Parent->DrawObject(this);
    }
}

void TbsSkinMainMenuBarItem::PopupItemMenu() {
    TbsSkinForm* BSF = Parent->SkinForm();
    if (!BSF || !MenuItem)
        return;
    const TRect R = ToScreen(Parent, ObjectRect);
    BSF->SkinMenuOpen();
    BSF->InMainMenu = true;
    BSF->SkinMenu()->Popup(nullptr, Parent->SkinData(), 0, R, MenuItem, Parent->PopupToUp());
}

// ---------------------------------------------------------------------------------------------
// TbsSkinMainMenuBarButton

TbsSkinMainMenuBarButton::TbsSkinMainMenuBarButton(TbsSkinMainMenuBar* AParent, TbsDataSkinObject* AData)
    : TbsMenuBarObject(AParent, AData) {
    if (auto* D = dynamic_cast<TbsDataSkinMainMenuBarButton*>(AData)) {
        FSkinSupport = true;
        Command = D->Command;
        DownRect = D->DownRect;
    }
}

void TbsSkinMainMenuBarButton::DrawDefault(TCanvas* Cnvs) {
    const TRect R = ObjectRect;
    if (FDown && FMouseIn)
        DrawDefaultFrame(Cnvs, R, clBarItemDown);
    else if (FMouseIn || Active)
        DrawDefaultFrame(Cnvs, R, clBarItemHot);
    else {
        Cnvs->Brush()->SetStyle(bsSolid);
        Cnvs->Brush()->SetColor(clBtnFace);
        Cnvs->FillRect(R);
    }
    const TColor C = Enabled ? clBtnText : clBtnShadow;
    int X = R.Left + GetRectWidth(R) / 2 - 5, Y = R.Top + GetRectHeight(R) / 2 - 4;
    if (FDown && FMouseIn) {
        ++X;
        ++Y;
    }
    switch (Command) {
    case cmClose:
        DrawCloseImage(Cnvs, X, Y, C);
        break;
    case cmMaximize:
        DrawRestoreImage(Cnvs, X, Y, C);
        break;
    case cmMinimize:
        DrawMinimizeImage(Cnvs, X, Y, C);
        break;
    case cmSysMenu:
        DrawSysMenuImage(Cnvs, X, Y, C);
        break;
    default:
        break;
    }
}

void TbsSkinMainMenuBarButton::Draw(TCanvas* Cnvs) {
    if (!FSkinSupport || !Picture) {
        DrawDefault(Cnvs);
        return;
    }
    const int W = GetRectWidth(ObjectRect), H = GetRectHeight(ObjectRect);
    if (W <= 0 || H <= 0)
        return;
    TBitmap B(W, H);
    if (FDown && FMouseIn && !IsNullRect(DownRect))
        B.Canvas()->CopyRect(Rect(0, 0, W, H), Picture->Canvas(), DownRect);
    else if (EnableMorphing() && FMorphKf > 0 && FMorphKf < 1)
        DrawMorphImage(B, SkinRect, ActiveSkinRect);
    else if (Active && !IsNullRect(ActiveSkinRect))
        B.Canvas()->CopyRect(Rect(0, 0, W, H), Picture->Canvas(), ActiveSkinRect);
    else
        B.Canvas()->CopyRect(Rect(0, 0, W, H), Picture->Canvas(), SkinRect);
    Cnvs->Draw(ObjectRect.Left, ObjectRect.Top, &B);
}

void TbsSkinMainMenuBarButton::MouseDown(int, int, TMouseButton Button) {
    if (!Enabled || Button != mbLeft || FDown)
        return;
    FDown = true;
    if (EnableMorphing() && !IsNullRect(DownRect))
        FMorphKf = 1;
    Parent->DrawObject(this);
    if (Command == cmSysMenu)
        DoCommand();
}

void TbsSkinMainMenuBarButton::MouseUp(int, int, TMouseButton Button) {
    if (!Enabled || Button != mbLeft || Command == cmSysMenu || !FDown)
        return;
    FDown = false;
    Parent->DrawObject(this);
    if (Active)
        DoCommand();
}

void TbsSkinMainMenuBarButton::MouseEnter() {
    if (FDown && Command == cmSysMenu) {
        FMouseIn = true;
        Active = true;
        return;
    }
    if (FDown && EnableMorphing()) {
        FMouseIn = true;
        Active = true;
        Parent->DrawObject(this);
        return;
    }
    TbsMenuBarObject::MouseEnter();
}

void TbsSkinMainMenuBarButton::MouseLeave() {
    if (FDown && Command == cmSysMenu) {
        FMouseIn = false;
        Active = false;
        if (EnableMorphing())
            FMorphKf = 1;
        return;
    }
    if (FDown && EnableMorphing()) {
        FMouseIn = false;
        Active = false;
        Parent->DrawObject(this);
        return;
    }
    TbsMenuBarObject::MouseLeave();
}

void TbsSkinMainMenuBarButton::DblClick() {
    TbsSkinForm* BSF = Parent->SkinForm();
    if (Command != cmSysMenu || !BSF)
        return;
    TForm* Child = BSF->FindMaximizedMDIChild();
    if (!Child)
        return;
    BSF->SkinMenu()->Hide();
    BSF->SkinMenuClose();
    Child->Close();
}

void TbsSkinMainMenuBarButton::DoCommand() {
    TbsSkinForm* BSF = Parent->SkinForm();
    TForm* Child = BSF ? BSF->FindMaximizedMDIChild() : nullptr;
    if (!Child)
        return;
    TbsSkinForm* ChildSkin = nullptr;
    for (int I = 0; I < Child->ComponentCount() && !ChildSkin; ++I)
        ChildSkin = dynamic_cast<TbsSkinForm*>(Child->Components(I));
    switch (Command) {
    case cmClose:
        Child->Close();
        break;
    case cmMaximize:
        if (ChildSkin)
            ChildSkin->SetWindowState(wsNormal);
        break;
    case cmMinimize:
        if (ChildSkin)
            ChildSkin->SetWindowState(wsMinimized);
        break;
    case cmSysMenu: {
        Parent->Repaint();
        const TRect R = ToScreen(Parent, ObjectRect);
        BSF->SkinMenuOpen();
        TbsSkinData* SD = BSF->MenusSkinData() ? BSF->MenusSkinData() : BSF->SkinData();
        TMenuItem* Items = ChildSkin ? ChildSkin->GetSystemMenuItems() : nullptr;
        if (Items)
            BSF->SkinMenu()->Popup(Parent, SD, 0, R, Items, Parent->PopupToUp());
        break;
    }
    default:
        break;
    }
}
