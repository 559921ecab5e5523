// The form component's frame: its geometry at the current size, the default look and the skinned frame, the
// client backgrounds, the form icon and the window region.
#include <algorithm>

#include "platform/gdi/Resources.h"
#include "platform/ui/ExtCtrls.h"
#include "skin/core/TbsEffectBmp.h"
#include "skin/core/bsUtils.h"
#include "skin/forms/TbsActiveSkinObject.h"
#include "skin/forms/TbsSkinForm.h"

namespace {

// A canvas over a device context for one paint: the window's own (released afterwards) or a given one.
class TFrameDC {
public:
    // A given device context gets its clipping back afterwards.
    TFrameDC(HWND Wnd, HDC Given) : FWnd(Wnd), FDC(Given ? Given : GetWindowDC(Wnd)), FOwn(!Given) {
        FSaved = SaveDC(FDC);
        Canvas.SetHandle(FDC);
    }
    ~TFrameDC() {
        Canvas.SetHandle(nullptr);
        RestoreDC(FDC, FSaved);
        if (FOwn)
            ReleaseDC(FWnd, FDC);
    }
    TFrameDC(const TFrameDC&) = delete;
    TFrameDC& operator=(const TFrameDC&) = delete;
    HDC DC() const { return FDC; }
    TCanvas Canvas;

private:
    HWND FWnd;
    HDC FDC;
    bool FOwn;
    int FSaved = 0;
};

TRect Grown(const TRect& R, int DX, int DY) {
    return TRect{R.Left, R.Top, R.Right + DX, R.Bottom + DY};
}

// Tile T over the client area, or stretched as the skin says (whole, in columns, in rows).
void DrawBackgroundTile(TCanvas* C, TBitmap* T, const TRect& Src, int ClientW, int ClientH, int FrameW, int FrameH,
                        bool Stretch, TbsStretchType Type) {
    int TW = GetRectWidth(Src), TH = GetRectHeight(Src);
    if (TW <= 0 || TH <= 0 || ClientW <= 0 || ClientH <= 0)
        return;
    if (Stretch) {
        switch (Type) {
        case bsstFull:
            C->CopyRect(Rect(0, 0, FrameW, FrameH), T->Canvas(), Src);
            break;
        case bsstHorz:
            for (int I = 0; I <= FrameW / TW; ++I)
                C->CopyRect(Rect(I * TW, 0, I * TW + TW, FrameH), T->Canvas(), Src);
            break;
        case bsstVert:
            for (int I = 0; I <= FrameH / TH; ++I)
                C->CopyRect(Rect(0, I * TH, FrameW, I * TH + TH), T->Canvas(), Src);
            break;
        }
        return;
    }
    for (int Y = 0; Y <= ClientH / TH; ++Y)
        for (int X = 0; X <= ClientW / TW; ++X)
            C->CopyRect(Bounds(X * TW, Y * TH, TW, TH), T->Canvas(), Src);
}

void ApplyInActiveEffect(TbsEffectBmp& E, TbsInActiveEffect Effect) {
    switch (Effect) {
    case ieBrightness:
        E.ChangeBrightness(0.5);
        break;
    case ieDarkness:
        E.ChangeDarkness(0.3);
        break;
    case ieGrayScale:
        E.GrayScale();
        break;
    case ieNoise:
        E.AddMonoNoise(50);
        break;
    case ieSplitBlur:
        E.SplitBlur(1);
        break;
    case ieInvert:
        E.Invert();
        break;
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Geometry

int TbsSkinForm::GetDefCaptionHeight() {
    TFormBorderStyle S = FForm->BorderStyle();
    return (S == bsToolWindow || S == bsSizeToolWin) ? 15 : 19;
}

int TbsSkinForm::GetDefButtonSize() {
    TFormBorderStyle S = FForm->BorderStyle();
    return (S == bsToolWindow || S == bsSizeToolWin) ? 13 : 17;
}

void TbsSkinForm::CalcNewRects() {
    if (FFormWidth == 0)
        FFormWidth = FForm->Width();
    if (FFormHeight == 0)
        FFormHeight = FForm->Height();
    if (!SkinApplied())
        return;
    int PW = FSD->FPicture->Width(), PH = FSD->FPicture->Height();
    int DW = FFormWidth - PW, DH = FFormHeight - PH;
    NewLTPoint = FSD->LTPoint;
    NewRTPoint = TPoint{FSD->RTPoint.X + DW, FSD->RTPoint.Y};
    NewLBPoint = TPoint{FSD->LBPoint.X, FSD->LBPoint.Y + DH};
    NewRBPoint = TPoint{FSD->RBPoint.X + DW, FSD->RBPoint.Y + DH};
    NewClRect = Grown(FSD->ClRect, DW, DH);
    NewCaptionRect = FSD->CaptionRect;
    if (!IsNullRect(NewCaptionRect))
        NewCaptionRect.Right += DW;
    NewButtonsRect = FSD->ButtonsRect;
    if (!IsNullRect(NewButtonsRect) && NewButtonsRect.Left > PW / 2) {
        NewButtonsRect.Left += DW;
        NewButtonsRect.Right += DW;
    }
    NewButtonsInLeft = FSD->CapButtonsInLeft;
    NewButtonsOffset = FSD->ButtonsOffset;
    NewHitTestLTPoint = FSD->HitTestLTPoint;
    NewHitTestRTPoint = TPoint{FSD->HitTestRTPoint.X + DW, FSD->HitTestRTPoint.Y};
    NewHitTestLBPoint = TPoint{FSD->HitTestLBPoint.X, FSD->HitTestLBPoint.Y + DH};
    NewHitTestRBPoint = TPoint{FSD->HitTestRBPoint.X + DW, FSD->HitTestRBPoint.Y + DH};
    NewMaskRectArea = Grown(FSD->MaskRectArea, DW, DH);
}

// ---------------------------------------------------------------------------------------------
// The default look: three-pixel 3D borders and a striped caption with six caption buttons.

void TbsSkinForm::PaintNCDefault(HDC ADC, bool AUseExternalDC) {
    if ((FSD && FSD->ChangeSkinDataProcess) || (!AUseExternalDC && !FForm->HandleAllocated()))
        return;
    if (FFormWidth == 0)
        FFormWidth = FForm->Width();
    if (FFormHeight == 0)
        FFormHeight = FForm->Height();
    int W = FFormWidth, H = FFormHeight, C = GetDefCaptionHeight();
    if (W <= 6 || H <= 0)
        return;
    if (ObjectList.empty() && !FSkinSupport)
        CreateDefaultObjects();
    CalcDefRects();
    TFrameDC Frame(AUseExternalDC ? nullptr : FForm->Handle(), AUseExternalDC ? ADC : nullptr);

    TBitmap Caption;
    Caption.SetSize(W - 6, C);
    TCanvas* CC = Caption.Canvas();
    CC->Brush()->SetColor(clBtnFace);
    CC->FillRect(Rect(0, 0, W - 6, C));
    int L = NewDefCaptionRect.Left - 3, R = NewDefCaptionRect.Right - 3;
    for (int I = 0; I < C - 5; ++I) {
        CC->Pen()->SetColor(I % 2 == 0 ? clBtnHighlight : clBtnShadow);
        CC->MoveTo(L + 2, 2 + I);
        CC->LineTo(R - 3, 2 + I);
    }
    bool Active = GetFormActive();
    CC->Font()->Assign(Active ? FDefCaptionFont.get() : FDefInActiveCaptionFont.get());
    String Text = FForm->Caption();
    if (IsMDIForm() && FMDIChildMaximized)
        if (TForm* Child = FindMaximizedMDIChild())
            Text += u" - [" + Child->Caption() + u"]";
    if (OnCaptionPaint) {
        OnCaptionPaint(CC, Rect(L, 0, R, C), Active);
    } else if (!Text.empty()) {
        FitWideTextToWidth(CC, Text, R - L);
        int TW = GetWideTextWidth(CC, Text), TH = GetWideTextHeight(CC, Text);
        int X = L + (R - L) / 2 - (TW + 5) / 2, Y = C / 2 - TH / 2;
        TRect TR{X, Y, X, Y};
        DrawWideText(CC, Text, TR, DT_CALCRECT);
        CC->Brush()->SetColor(clBtnFace);
        CC->FillRect(TRect{TR.Left - 2, TR.Top - 2, TR.Right + 2, TR.Bottom + 2});
        CC->Brush()->SetStyle(bsClear);
        DrawWideText(CC, Text, TR, DT_VCENTER);
        CC->Brush()->SetStyle(bsSolid);
    }
    for (auto& O : ObjectList) {
        if (!O->Visible)
            continue;
        TRect Saved = O->ObjectRect;
        O->ObjectRect = TRect{Saved.Left - 3, Saved.Top - 3, Saved.Right - 3, Saved.Bottom - 3};
        O->Draw(CC, true);
        O->ObjectRect = Saved;
    }

    TCanvas* FC = &Frame.Canvas;
    ExcludeClipRect(Frame.DC(), 3, C + 3, W - 3, H - 3);
    FC->Draw(3, 3, &Caption);
    TRect Ring{0, 0, W, H};
    Frame3D(FC, Ring, cl3DLight, cl3DDkShadow, 1);
    Frame3D(FC, Ring, clBtnHighlight, clBtnShadow, 1);
    Frame3D(FC, Ring, clBtnFace, clBtnFace, 1);
}

// ---------------------------------------------------------------------------------------------
// The skinned frame: four strips of the frame picture at the current size with the objects drawn in.

void TbsSkinForm::PaintNCSkin(HDC ADC, bool AUseExternalDC) {
    if (!SkinApplied() || (!AUseExternalDC && !FForm->HandleAllocated()))
        return;
    if (FFormWidth == 0)
        FFormWidth = FForm->Width();
    if (FFormHeight == 0)
        FFormHeight = FForm->Height();
    if (FFormWidth < GetMinWidth() || FFormHeight < GetMinHeight())
        return;
    CalcNewRects();
    CalcObjectRects();
    TFrameDC Frame(AUseExternalDC ? nullptr : FForm->Handle(), AUseExternalDC ? ADC : nullptr);
    bool Active = GetFormActive();
    TBitmap* Pic = (Active || FSD->FInActivePicture->Empty()) ? FSD->FPicture.get() : FSD->FInActivePicture.get();
    TBitmap Left, Top, Right, Bottom;
    TRect Whole{0, 0, Pic->Width(), Pic->Height()};
    CreateSkinBorderImages(FSD->LTPoint, FSD->RTPoint, FSD->LBPoint, FSD->RBPoint, FSD->ClRect, NewLTPoint, NewRTPoint,
                           NewLBPoint, NewRBPoint, NewClRect, &Left, &Top, &Right, &Bottom, Pic, Whole, FFormWidth,
                           FFormHeight, FSD->LeftStretch, FSD->TopStretch, FSD->RightStretch, FSD->BottomStretch);
    for (auto& O : ObjectList) {
        if (!O->Visible)
            continue;
        if (O->ObjectRect.Bottom <= NewClRect.Top) {
            O->Draw(Top.Canvas(), false);
        } else {
            TRect Saved = O->ObjectRect;
            O->ObjectRect =
                TRect{Saved.Left, Saved.Top - NewClRect.Bottom, Saved.Right, Saved.Bottom - NewClRect.Bottom};
            O->Draw(Bottom.Canvas(), false);
            O->ObjectRect = Saved;
        }
    }
    if (GetRectHeight(NewClRect) > 0)
        ExcludeClipRect(Frame.DC(), NewClRect.Left, NewClRect.Top, NewClRect.Right, NewClRect.Bottom);
    const std::pair<TBitmap*, TPoint> Strips[] = {{&Top, {0, 0}},
                                                  {&Left, {0, Top.Height()}},
                                                  {&Right, {FFormWidth - Right.Width(), Top.Height()}},
                                                  {&Bottom, {0, FFormHeight - Bottom.Height()}}};
    for (const auto& [B, At] : Strips) {
        if (B->Empty())
            continue;
        if (Active || !FSD->AutoRenderingInActiveImage) {
            Frame.Canvas.Draw(At.X, At.Y, B);
        } else {
            std::unique_ptr<TbsEffectBmp> E(TbsEffectBmp::CreateFromhWnd(B->Handle()));
            ApplyInActiveEffect(*E, FSD->InActiveEffect);
            E->Draw(Frame.DC(), At.X, At.Y);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Client backgrounds

void TbsSkinForm::PaintBGColor(HDC DC, TColor Color) {
    if (!DC)
        return;
    TCanvas C;
    C.SetHandle(DC);
    C.Brush()->SetColor(Color);
    C.FillRect(FForm->ClientRect());
    if (!FLogoBitMap->Empty())
        DrawLogo(&C);
    C.SetHandle(nullptr);
}

void TbsSkinForm::PaintBGDefault(HDC DC) {
    PaintBGColor(DC, clBtnFace);
}

void TbsSkinForm::PaintMDIBGDefault(HDC DC) {
    PaintBGColor(DC, clAppWorkSpace);
}

void TbsSkinForm::PaintBG(HDC DC) {
    if (!DC || !FSD)
        return;
    TCanvas C;
    C.SetHandle(DC);
    if (IsNullRect(FSD->ClRect)) {
        C.Brush()->SetColor(clBtnFace);
        C.FillRect(FForm->ClientRect());
        C.SetHandle(nullptr);
        return;
    }
    DrawBackgroundTile(&C, FSD->FPicture.get(), FSD->ClRect, FForm->ClientWidth(), FForm->ClientHeight(), FFormWidth,
                       FFormHeight, FSD->StretchEffect, FSD->StretchType);
    if (!FLogoBitMap->Empty())
        DrawLogo(&C);
    C.SetHandle(nullptr);
}

// A background picture of the skin, stretched or tiled; without it the frame picture's client part serves.
void TbsSkinForm::PaintBGPicture(HDC DC, int Index, bool Stretch, TbsStretchType Type) {
    if (!DC || !FSD || Index < 0 || Index >= int(FSD->FActivePictures.size())) {
        PaintBG(DC);
        return;
    }
    TCanvas C;
    C.SetHandle(DC);
    TBitmap* B = FSD->FActivePictures[std::size_t(Index)].get();
    DrawBackgroundTile(&C, B, Rect(0, 0, B->Width(), B->Height()), FForm->ClientWidth(), FForm->ClientHeight(),
                       FFormWidth, FFormHeight, Stretch, Type);
    if (!FLogoBitMap->Empty())
        DrawLogo(&C);
    C.SetHandle(nullptr);
}

void TbsSkinForm::PaintBG2(HDC DC) {
    if (FSD)
        PaintBGPicture(DC, FSD->BGPictureIndex, FSD->StretchEffect, FSD->StretchType);
}

void TbsSkinForm::PaintBG3(HDC DC) {
    if (FSD)
        PaintBGPicture(DC, FSD->MDIBGPictureIndex, FSD->MDIBGStretchEffect, FSD->MDIBGStretchType);
}

void TbsSkinForm::DrawLogo(TCanvas* Canvas) {
    int X = std::max(0, FForm->ClientWidth() / 2 - FLogoBitMap->Width() / 2);
    int Y = std::max(0, FForm->ClientHeight() / 2 - FLogoBitMap->Height() / 2);
    if (FLogoBitMap->Transparent() != FLogoBitMapTransparent)
        FLogoBitMap->SetTransparent(FLogoBitMapTransparent);
    Canvas->Draw(X, Y, FLogoBitMap.get());
}

// ---------------------------------------------------------------------------------------------
// The form icon on the system-menu button

void TbsSkinForm::GetSmallIconSize(int& W, int& H) {
    W = GetSystemMetrics(SM_CXSMICON);
    H = GetSystemMetrics(SM_CYSMICON);
    if (W == 0)
        W = GetSystemMetrics(SM_CXSIZE);
    if (H == 0)
        H = GetSystemMetrics(SM_CYSIZE);
}

void TbsSkinForm::GetFormIcon() {
    if (FIcon)
        return;
    HICON Source = nullptr;
    if (FForm->Icon() && FForm->Icon()->Handle())
        Source = FForm->Icon()->Handle();
    else if (Application && Application->Icon() && Application->Icon()->Handle())
        Source = Application->Icon()->Handle();
    else
        Source = LoadIcon(nullptr, IDI_APPLICATION); // shared by the system: not destroyed here
    int W, H;
    GetSmallIconSize(W, H);
    FIcon = std::make_unique<TIcon>();
    FIcon->SetHandle(static_cast<HICON>(CopyImage(Source, IMAGE_ICON, W, H, LR_COPYFROMRESOURCE)));
}

void TbsSkinForm::DrawFormIcon(TCanvas* Canvas, int X, int Y) {
    GetFormIcon();
    if (FIcon->Handle())
        DrawIconEx(Canvas->Handle(), X, Y, FIcon->Handle(), 0, 0, 0, nullptr, DI_NORMAL);
}

// ---------------------------------------------------------------------------------------------
// Frame updates and the window region

void TbsSkinForm::UpdateFrame() {
    if (Designing() || !SkinApplied())
        return;
    if (FSkinnableForm) {
        CalcNewRects();
        CalcObjectRects();
    }
    UpdateFormRegion();
    if (!FRgn && FSkinnableForm && HasBorder())
        SendNCPaint();
    if (FSkinSupport && FSD->StretchEffect) {
        FForm->Invalidate();
        NotifyParentBackground();
    }
}

void TbsSkinForm::NotifyParentBackground() {
    for (int I = 0; I < FForm->ControlCount(); ++I)
        if (auto* W = dynamic_cast<TWinControl*>(FForm->Controls(I)); W && W->HandleAllocated())
            SendMessageW(W->Handle(), WM_USER + 260, 0, 0);
}

void TbsSkinForm::SetFormRegion(HRGN Rgn) {
    HRGN Old = FRgn;
    FRgn = Rgn;
    if (FForm->HandleAllocated())
        SetWindowRgn(FForm->Handle(), Rgn, true);
    if (Old)
        DeleteObject(Old);
}

void TbsSkinForm::UpdateFormRegion() {
    if (!FSkinnableForm || !HasBorder()) {
        if (FRgn)
            SetFormRegion(nullptr);
        return;
    }
    if (FFormWidth == 0)
        FFormWidth = FForm->Width();
    if (FFormHeight == 0)
        FFormHeight = FForm->Height();
    bool Rectangular = !SkinApplied() || FSD->FMask->Empty() || IsMaximizedMDIChild();
    if (Rectangular) {
        if (!SkinApplied())
            for (TBitmap* B : {RMTop.get(), RMBottom.get(), RMLeft.get(), RMRight.get()})
                B->Assign(nullptr);
        SetFormRegion(CreateRectRgn(0, 0, FFormWidth, FFormHeight));
        return;
    }
    // The strips lie around the mask area, where IsPointInMask and the region below look for them; cut along the
    // client rectangle instead they would miss or overlap the mask area wherever the two differ.
    CreateSkinBorderMasks(FSD->LTPoint, FSD->RTPoint, FSD->LBPoint, FSD->RBPoint, FSD->MaskRectArea, NewLTPoint,
                          NewRTPoint, NewLBPoint, NewRBPoint, NewMaskRectArea, FSD->FMask.get(), RMTop.get(),
                          RMLeft.get(), RMRight.get(), RMBottom.get(), FFormWidth, FFormHeight);
    HRGN Rgn = CreateRectRgn(NewMaskRectArea.Left, NewMaskRectArea.Top, NewMaskRectArea.Right, NewMaskRectArea.Bottom);
    const std::pair<TBitmap*, TPoint> Strips[] = {{RMTop.get(), {0, 0}},
                                                  {RMBottom.get(), {0, NewMaskRectArea.Bottom}},
                                                  {RMLeft.get(), {0, NewMaskRectArea.Top}},
                                                  {RMRight.get(), {NewMaskRectArea.Right, NewMaskRectArea.Top}}};
    for (const auto& [Strip, At] : Strips) {
        if (Strip->Width() <= 0 || Strip->Height() <= 0)
            continue;
        std::vector<BYTE> Data;
        if (RegionDataFromMask(Strip, At.X, At.Y, Data) <= 0)
            continue;
        HRGN Part = ExtCreateRegion(nullptr, DWORD(Data.size()), reinterpret_cast<const RGNDATA*>(Data.data()));
        if (Part) {
            CombineRgn(Rgn, Rgn, Part, RGN_OR);
            DeleteObject(Part);
        }
    }
    SetFormRegion(Rgn);
}

bool TbsSkinForm::IsPointInMask(const TPoint& P) {
    const TRect& A = NewMaskRectArea;
    if (P.X >= A.Left && P.X < A.Right && P.Y >= A.Top && P.Y < A.Bottom)
        return true;
    TBitmap* Strip;
    TPoint At;
    if (P.Y <= A.Top) {
        Strip = RMTop.get();
        At = P;
    } else if (P.Y < A.Bottom) {
        if (P.X > A.Left) {
            Strip = RMRight.get();
            At = TPoint{P.X - A.Right, P.Y - A.Top};
        } else {
            Strip = RMLeft.get();
            At = TPoint{P.X, P.Y - A.Top};
        }
    } else {
        Strip = RMBottom.get();
        At = TPoint{P.X, P.Y - A.Bottom};
    }
    if (At.X < 0 || At.Y < 0 || At.X >= Strip->Width() || At.Y >= Strip->Height())
        return false;
    return (ColorToRGB(Strip->Canvas()->Pixels(At.X, At.Y)) & 0xFFFFFF) == COLORREF(BlackColor);
}
