#include "skin/forms/bsSkinHint.h"

#include <algorithm>

#include "platform/gdi/WinText.h"
#include "skin/controls/TbsSkinControl.h"
#include "skin/core/bsUtils.h"

namespace {

// Measures Text in the canvas's font as DrawText lays it out.
TSize MeasureText(TCanvas* C, const String& Text) {
    RECT R{0, 0, 0, 0};
    DrawTextW(C->Handle(), Text.c_str(), int(Text.size()), &R, DT_CALCRECT);
    return TSize{R.Right - R.Left, R.Bottom - R.Top};
}

void DrawTextAt(TCanvas* C, const String& Text, const TRect& R) {
    RECT Rc{R.Left, R.Top, R.Right, R.Bottom};
    DrawTextW(C->Handle(), Text.c_str(), int(Text.size()), &Rc, 0);
}

String ReplaceSeparator(const String& S, const String& Sep) {
    if (Sep.empty())
        return S;
    String Out;
    std::size_t I = 0;
    while (I < S.size()) {
        if (S.compare(I, Sep.size(), Sep) == 0) {
            Out += u"\n\r";
            I += Sep.size();
        } else {
            Out += S[I++];
        }
    }
    return Out;
}

} // namespace

TbsSkinHint* GetGoverningSkinHint() {
    TCustomForm* Main = Application ? Application->MainForm() : nullptr;
    if (!Main)
        return nullptr;
    for (int I = 0; I < Main->ComponentCount(); ++I)
        if (auto* H = dynamic_cast<TbsSkinHint*>(Main->Components(I)); H && H->Active())
            return H;
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// TbsSkinHintWindow

TbsSkinHintWindow::TbsSkinHintWindow(TComponent* AOwner) : THintWindow(AOwner) {}

TbsSkinHintWindow::~TbsSkinHintWindow() {
    if (FRgn)
        DeleteObject(FRgn);
}

void TbsSkinHintWindow::CreateParams(TCreateParams& Params) {
    THintWindow::CreateParams(Params);
    Params.Style &= ~WS_BORDER;
    if (IsWindowsXPOrLater())
        Params.WindowClass.style |= CS_DROPSHADOW;
}

void TbsSkinHintWindow::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCPAINT:
        return;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    }
    THintWindow::Dispatch(Message);
}

void TbsSkinHintWindow::ActivateHint(TRect Rect, const String& AHint) {
    AExtendedStyle = false;
    FspHint = GetGoverningSkinHint();
    if (!FspHint)
        return;
    if (!FspHint->FHintTitle.empty() || FspHint->FHintImageList)
        ActivateHintEx(Rect, FspHint->FHintTitle, AHint, FspHint->FHintImageIndex, FspHint->FHintImageList);
    else
        Activate(Rect, AHint, u"", 0, nullptr, TPlace::AtCorner);
}

void TbsSkinHintWindow::ActivateHintEx(TRect Rect, const String& AHintTitle, const String& AHint, int AImageIndex,
                                       TCustomImageList* AImageList) {
    FspHint = GetGoverningSkinHint();
    if (!FspHint)
        return;
    AExtendedStyle = true;
    Activate(Rect, AHint, AHintTitle, AImageIndex, AImageList, TPlace::AtCorner);
}

void TbsSkinHintWindow::ActivateHintFromRect(const TRect& ARect, const String& AHint, bool ATop) {
    AExtendedStyle = false;
    FspHint = GetGoverningSkinHint();
    if (!FspHint)
        return;
    Activate(ARect, AHint, u"", 0, nullptr, ATop ? TPlace::Above : TPlace::Below);
}

bool TbsSkinHintWindow::ImageValid(TCustomImageList* L, int Index) const {
    return L && Index >= 0 && Index < L->Count();
}

void TbsSkinHintWindow::SetupFont(TCanvas* C) {
    TFont* F = C->Font();
    if (FSD && FspHint->UseSkinFont()) {
        F->SetHeight(FSD->HintWindow->FontHeight);
        F->SetName(FSD->HintWindow->FontName);
        F->SetStyle(FSD->HintWindow->FontStyle);
    } else {
        F->Assign(FspHint->DefaultFont());
    }
    TbsSkinData* Own = FspHint->SkinData();
    if (Own && Own->ResourceStrData())
        F->SetCharset(Own->ResourceStrData()->CharSet());
    else
        F->SetCharset(FspHint->DefaultFont()->Charset());
}

void TbsSkinHintWindow::Activate(TRect Rect, const String& AHint, const String& ATitle, int AImageIndex,
                                 TCustomImageList* AImageList, TPlace Place) {
    if (!FspHint->Active())
        return;
    TbsSkinData* SD = FspHint->SkinData();
    FSD = SD && !SD->Empty && SD->HintWindow->WindowPictureIndex != -1 ? SD : nullptr;
    TBitmap* Pic = nullptr;
    if (FSD) {
        int I = FSD->HintWindow->WindowPictureIndex;
        if (I >= 0 && I < int(FSD->FActivePictures.size()))
            Pic = FSD->FActivePictures[std::size_t(I)].get();
        else
            FSD = nullptr;
    }
    FTitle = AExtendedStyle ? ATitle : String();
    FImageList = AExtendedStyle ? AImageList : nullptr;
    FImageIndex = AImageIndex;
    SetupFont(Canvas());
    SetCaption(ReplaceSeparator(AHint, FspHint->LineSeparator()));

    TSize S = MeasureText(Canvas(), Caption());
    int W = S.cx, H = S.cy;
    if (AExtendedStyle) {
        int TitleH = 0;
        if (!FTitle.empty()) {
            TFontStyles Old = Canvas()->Font()->Style();
            Canvas()->Font()->SetStyle(Old + fsBold);
            TSize T = MeasureText(Canvas(), FTitle);
            Canvas()->Font()->SetStyle(Old);
            TitleH = T.cy;
            H += T.cy + 10;
            W = std::max(W, T.cx);
        }
        if (ImageValid(FImageList, FImageIndex)) {
            W += FImageList->Width() + 10;
            H = std::max(H, FImageList->Height() + TitleH + 5);
        }
    }
    if (!FSD) {
        W += 4;
        H += 4;
    } else {
        const TbsDataSkinHintWindow& R = *FSD->HintWindow;
        int PW = Pic->Width(), PH = Pic->Height();
        if (AExtendedStyle)
            W += 10;
        W += R.ClRect.Left + PW - R.ClRect.Right;
        H += R.ClRect.Top + PH - R.ClRect.Bottom;
        if (!AExtendedStyle)
            W += 5;
        int DW = W - PW, DH = H - PH;
        // A short text grows the window until the picture's corners meet.
        if (R.RTPoint.X + DW < R.LTPoint.X) {
            W += R.LTPoint.X - (R.RTPoint.X + DW);
            DW = W - PW;
        }
        if (R.RBPoint.X + DW < R.LBPoint.X) {
            W += R.LBPoint.X - (R.RBPoint.X + DW);
            DW = W - PW;
        }
        if (R.LBPoint.Y + DH < R.LTPoint.Y) {
            H += R.LTPoint.Y - (R.LBPoint.Y + DH);
            DH = H - PH;
        }
        if (R.RBPoint.Y + DH < R.RTPoint.Y) {
            H += R.RTPoint.Y - (R.RBPoint.Y + DH);
            DH = H - PH;
        }
        NewClRect = TRect{R.ClRect.Left, R.ClRect.Top, R.ClRect.Right + DW, R.ClRect.Bottom + DH};
        NewLTPoint = R.LTPoint;
        NewRTPoint = TPoint{R.RTPoint.X + DW, R.RTPoint.Y};
        NewLBPoint = TPoint{R.LBPoint.X, R.LBPoint.Y + DH};
        NewRBPoint = TPoint{R.RBPoint.X + DW, R.RBPoint.Y + DH};
    }

    int X = Rect.Left, Y = Rect.Top;
    if (Place != TPlace::AtCorner) {
        X = Rect.Left + GetRectWidth(Rect) / 2 - W / 2;
        Y = Place == TPlace::Above ? Rect.Top - H : Rect.Bottom;
    }
    TRect Area;
    TCustomForm* Host = Screen ? Screen->ActiveForm() : nullptr;
    if (!Host && Application && Application->MainForm() && Application->MainForm()->Visible())
        Host = Application->MainForm();
    if (Host && Host->HandleAllocated())
        GetMonitorWorkArea(Host->Handle(), true, Area);
    else
        Area = TRect{0, 0, Screen->Width(), Screen->Height()};
    // Flip to the other side of the point.
    if (X + W > Area.Right)
        X -= W + 2;
    if (Y + H > Area.Bottom)
        Y -= H + 2;
    SetBounds(X, Y, W, H);
    HandleNeeded();

    if (IsWindows2000OrLater()) {
        bool Blend = FspHint->AlphaBlend();
        if (Blend != FOldAlphaBlend) {
            LONG Ex = GetWindowLongW(Handle(), GWL_EXSTYLE);
            SetWindowLongW(Handle(), GWL_EXSTYLE, Blend ? Ex | WS_EX_LAYERED : Ex & ~LONG(WS_EX_LAYERED));
            FOldAlphaBlend = Blend;
        }
        if (Blend && FspHint->AlphaBlendAnimation())
            SetLayeredWindowAlpha(Handle(), 0);
        if (Blend && FspHint->AlphaBlendValue() != FOldAlphaBlendValue) {
            FOldAlphaBlendValue = FspHint->AlphaBlendValue();
            if (!FspHint->AlphaBlendAnimation())
                SetLayeredWindowAlpha(Handle(), FOldAlphaBlendValue);
        }
    }

    HRGN Old = FRgn;
    FRgn = nullptr;
    if (FSD && FSD->HintWindow->MaskPictureIndex != -1 &&
        FSD->HintWindow->MaskPictureIndex < int(FSD->FActivePictures.size())) {
        const TbsDataSkinHintWindow& R = *FSD->HintWindow;
        CreateSkinRegion(FRgn, R.LTPoint, R.RTPoint, R.LBPoint, R.RBPoint, R.ClRect, NewLTPoint, NewRTPoint, NewLBPoint,
                         NewRBPoint, NewClRect, FSD->FActivePictures[std::size_t(R.MaskPictureIndex)].get(), W, H);
    }
    // The window keeps its own copy of the region; this one stays ours.
    SetWindowRgn(Handle(), FRgn, false);
    if (Old)
        DeleteObject(Old);

    SetWindowPos(Handle(), HWND_TOPMOST, X, Y, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
    FVisible = true;
    Invalidate();
    Update();

    if (IsWindows2000OrLater() && FspHint->AlphaBlend() && FspHint->AlphaBlendAnimation()) {
        int Target = FspHint->AlphaBlendValue();
        int Step = std::max(1, Target / 15);
        int Alpha = 0;
        DWORD Last = GetTickCount();
        // No messages run meanwhile, so nothing can free the window under the loop.
        while (Alpha < Target) {
            DWORD Now = GetTickCount();
            if (Now - Last > 3) {
                Last = Now;
                Alpha = std::min(Target, Alpha + Step);
                Invalidate();
                Update();
                SetLayeredWindowAlpha(Handle(), BYTE(Alpha));
            }
        }
    }
}

void TbsSkinHintWindow::PaintText(TCanvas* C, const TRect& Area) {
    bool HasImage = ImageValid(FImageList, FImageIndex);
    int A = 0;
    if (!FTitle.empty()) {
        TFontStyles Old = C->Font()->Style();
        C->Font()->SetStyle(Old + fsBold);
        TSize T = MeasureText(C, FTitle);
        DrawTextAt(C, FTitle, Bounds(Area.Left + (FSD ? 5 : 0), Area.Top, T.cx, T.cy));
        C->Font()->SetStyle(Old);
        A = T.cy + 5;
    }
    TSize S = MeasureText(C, Caption());
    int IX = Area.Left + (FSD ? 5 : 0);
    if (HasImage) {
        int IY = FTitle.empty() ? Area.Top + GetRectHeight(Area) / 2 - FImageList->Height() / 2 : Area.Top + A;
        FImageList->Draw(C, IX, IY, FImageIndex, true);
    }
    if (FSD) {
        int TX = HasImage ? IX + FImageList->Width() + 5 : Area.Left + 5;
        int TY = FTitle.empty() ? Area.Top + GetRectHeight(Area) / 2 - S.cy / 2 : Area.Top + A;
        DrawTextAt(C, Caption(), Bounds(TX, TY, S.cx, S.cy));
    } else {
        TRect R = Area;
        R.Top += A;
        if (HasImage)
            R.Left += FImageList->Width() + 5 + 2;
        DrawTextAt(C, Caption(), R);
    }
}

void TbsSkinHintWindow::Paint() {
    if (!FspHint)
        return;
    int W = Width(), H = Height();
    if (W <= 0 || H <= 0)
        return;
    TBitmap DrawBuffer;
    DrawBuffer.SetSize(W, H);
    TCanvas* C = DrawBuffer.Canvas();
    TBitmap* Pic = nullptr;
    if (FSD) {
        int I = FSD->HintWindow->WindowPictureIndex;
        if (I >= 0 && I < int(FSD->FActivePictures.size()))
            Pic = FSD->FActivePictures[std::size_t(I)].get();
    }
    if (Pic) {
        const TbsDataSkinHintWindow& R = *FSD->HintWindow;
        DrawNinePartSkinImageAlt(R.LTPoint, R.RTPoint, R.LBPoint, R.RBPoint, R.ClRect, NewLTPoint, NewRTPoint,
                                 NewLBPoint, NewRBPoint, NewClRect, &DrawBuffer, Pic,
                                 Rect(0, 0, Pic->Width(), Pic->Height()), W, H, true, R.LeftStretch, R.TopStretch,
                                 R.RightStretch, R.BottomStretch, R.StretchEffect, R.StretchType);
        C->Brush()->SetStyle(bsClear);
        SetupFont(C);
        C->Font()->SetColor(R.FontColor);
        SetBkMode(C->Handle(), TRANSPARENT);
        if (AExtendedStyle) {
            PaintText(C, NewClRect);
        } else {
            TSize S = MeasureText(C, Caption());
            int X = NewClRect.Left + GetRectWidth(NewClRect) / 2 - S.cx / 2;
            int Y = NewClRect.Top + GetRectHeight(NewClRect) / 2 - S.cy / 2;
            DrawTextAt(C, Caption(), Bounds(X, Y, S.cx, S.cy));
        }
    } else {
        TRect R = Rect(0, 0, W, H);
        C->Brush()->SetColor(clInfoBk);
        C->FillRect(R);
        Frame3D(C, R, clBtnShadow, clBtnShadow, 1);
        C->Font()->Assign(FspHint->DefaultFont());
        TbsSkinData* Own = FspHint->SkinData();
        if (Own && Own->ResourceStrData())
            C->Font()->SetCharset(Own->ResourceStrData()->CharSet());
        C->Font()->SetColor(clInfoText);
        C->Brush()->SetStyle(bsClear);
        SetBkMode(C->Handle(), TRANSPARENT);
        TRect Area{2, 2, W - 2, H - 2};
        if (AExtendedStyle)
            PaintText(C, Area);
        else
            DrawTextAt(C, Caption(), Area);
    }
    Canvas()->Draw(0, 0, &DrawBuffer);
}

// ---------------------------------------------------------------------------------------------
// TbsSkinHint

TbsSkinHint::TbsSkinHint(TComponent* AOwner) : TComponent(AOwner) {
    FDefaultFont = std::make_unique<TFont>();
    FDefaultFont->SetName(u"MS Sans Serif");
    FDefaultFont->SetHeight(-11);
    HW = std::make_unique<TbsSkinHintWindow>(nullptr);
    if (ComponentState().Contains(csDesigning))
        return;
    HintWindowClass = [](TComponent* AOwner) -> THintWindow* { return new TbsSkinHintWindow(AOwner); };
    if (Application) {
        // The application makes its hint window anew, of the new class.
        Application->SetShowHint(false);
        Application->SetShowHint(true);
        Application->OnShowHint = [this](String& S, bool& CanShow, THintInfo& Info) {
            SelfOnShowHint(S, CanShow, Info);
        };
        Application->SetHintShortPause(100);
    }
}

TbsSkinHint::~TbsSkinHint() {
    HintTimer.reset();
    HW.reset();
    // The application's show-hint handler must not call into a freed component: another active one takes
    // it over, or nobody.
    if (!Application)
        return;
    Application->OnShowHint = nullptr;
    if (TCustomForm* Main = Application->MainForm())
        for (int I = 0; I < Main->ComponentCount(); ++I)
            if (auto* H = dynamic_cast<TbsSkinHint*>(Main->Components(I)); H && H != this && H->Active()) {
                H->SetActive(true);
                break;
            }
}

void TbsSkinHint::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSD)
        FSD = nullptr;
}

void TbsSkinHint::SetActive(bool Value) {
    FActive = Value;
    if (!Value)
        return;
    TCustomForm* Main = Application ? Application->MainForm() : nullptr;
    if (Main)
        for (int I = 0; I < Main->ComponentCount(); ++I)
            if (auto* H = dynamic_cast<TbsSkinHint*>(Main->Components(I)); H && H != this && H->Active())
                H->SetActive(false);
    if (!ComponentState().Contains(csDesigning) && Application)
        Application->OnShowHint = [this](String& S, bool& CanShow, THintInfo& Info) {
            SelfOnShowHint(S, CanShow, Info);
        };
}

void TbsSkinHint::ClearTitleAndImage() {
    FHintTitle.clear();
    FHintImageIndex = 0;
    FHintImageList = nullptr;
}

void TbsSkinHint::SelfOnShowHint(String& HintStr, bool& CanShow, THintInfo& HintInfo) {
    ClearTitleAndImage();
    if (auto* C = dynamic_cast<TbsSkinControl*>(HintInfo.HintControl)) {
        FHintTitle = C->HintTitle();
        FHintImageIndex = C->HintImageIndex();
        FHintImageList = C->HintImageList();
    } else if (auto* G = dynamic_cast<TbsGraphicSkinControl*>(HintInfo.HintControl)) {
        FHintTitle = G->HintTitle();
        FHintImageIndex = G->HintImageIndex();
        FHintImageList = G->HintImageList();
    }
    if (OnShowHint)
        OnShowHint(HintStr, CanShow, HintInfo);
}

void TbsSkinHint::ActivateHint(const TPoint& P, const String& AHint) {
    ClearTitleAndImage();
    HW->ActivateHint(TRect{P.X, P.Y, P.X, P.Y}, AHint);
}

void TbsSkinHint::ActivateHintEx(const TPoint& P, const String& AHintTitle, const String& AHint, int AImageIndex,
                                 TCustomImageList* AImageList) {
    HW->ActivateHintEx(TRect{P.X, P.Y, P.X, P.Y}, AHintTitle, AHint, AImageIndex, AImageList);
}

void TbsSkinHint::StartDelay(TPending Kind) {
    if (!HintTimer) {
        HintTimer = std::make_unique<TTimer>(nullptr);
        HintTimer->OnTimer = [this](TObject*) { HintTimerTick(); };
    }
    HintTimer->SetEnabled(false);
    FPending = Kind;
    HintTimer->SetInterval(Cardinal(Application ? Application->HintPause() : 500));
    HintTimer->SetEnabled(true);
}

void TbsSkinHint::ActivateHint2(const String& AHint) {
    HintText = AHint;
    ClearTitleAndImage();
    StartDelay(TPending::AtCursor);
}

void TbsSkinHint::ActivateHint3(const TRect& AFromRect, const String& AHint, bool ATop) {
    HintText = AHint;
    FromRect = AFromRect;
    Top = ATop;
    ClearTitleAndImage();
    StartDelay(TPending::FromRect);
}

void TbsSkinHint::ActivateHintEx2(const String& AHintTitle, const String& AHint, int AImageIndex,
                                  TCustomImageList* AImageList) {
    HintText = AHint;
    FHintTitle = AHintTitle;
    FHintImageIndex = AImageIndex;
    FHintImageList = AImageList;
    StartDelay(TPending::AtCursor);
}

// The delay ran out: show the hint, then let the same timer hide it after the hide pause.
void TbsSkinHint::HintTimerTick() {
    TPending Kind = FPending;
    FPending = TPending::None;
    HintTimer->SetEnabled(false);
    if (Kind == TPending::None) {
        HideHint();
        return;
    }
    if (Kind == TPending::FromRect) {
        HW->ActivateHintFromRect(FromRect, HintText, Top);
    } else {
        POINT P;
        GetCursorPos(&P);
        TRect R{P.X, P.Y + GetCursorHeightMargin(), P.X, P.Y + GetCursorHeightMargin()};
        if (!FHintTitle.empty() || FHintImageList)
            HW->ActivateHintEx(R, FHintTitle, HintText, FHintImageIndex, FHintImageList);
        else
            HW->ActivateHint(R, HintText);
    }
    HintTimer->SetInterval(Cardinal(Application ? Application->HintHidePause() : 2500));
    HintTimer->SetEnabled(true);
}

void TbsSkinHint::HideHint() {
    FPending = TPending::None;
    if (HintTimer)
        HintTimer->SetEnabled(false);
    if (HW->HandleAllocated() && HW->Visible()) {
        HW->SetVisible(false);
        SetWindowPos(HW->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
        ClearTitleAndImage();
    }
}

bool TbsSkinHint::IsVisible() const {
    return HW->Visible();
}

// The cursor's image has no readable mask here, so the margin is the system cursor height.
int TbsSkinHint::GetCursorHeightMargin() {
    return GetSystemMetrics(SM_CYCURSOR);
}
