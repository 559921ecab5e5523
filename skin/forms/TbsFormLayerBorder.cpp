// The layered border windows: the skin's layer frame cut into four strips around a skinned form.
#include "skin/forms/TbsFormLayerBorder.h"

#include <algorithm>
#include <cmath>

#include "skin/core/TbsScreenFormsService.h"
#include "skin/core/bsBlur.h"
#include "skin/core/bsUtils.h"
#include "skin/forms/TbsSkinForm.h"

namespace {

constexpr TbsFormLayerBorderType AllTypes[] = {bsflLeft, bsflRight, bsflTop, bsflBottom};

bool PtIn(const TRect& R, const TPoint& P) {
    return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}

// Src's rectangle stretched onto Dst's, every channel copied as it is (alpha included); nothing for an empty side.
void CopyStretched(const TbsBitmap& Src, const TRect& S, TbsBitmap& Dst, const TRect& D) {
    const int SW = S.Right - S.Left, SH = S.Bottom - S.Top, DW = D.Right - D.Left, DH = D.Bottom - D.Top;
    if (SW <= 0 || SH <= 0 || DW <= 0 || DH <= 0)
        return;
    for (int Y = 0; Y < DH; ++Y) {
        const int DY = D.Top + Y, SY = S.Top + Y * SH / DH;
        if (DY < 0 || DY >= Dst.Height() || SY < 0 || SY >= Src.Height())
            continue;
        for (int X = 0; X < DW; ++X) {
            const int DX = D.Left + X, SX = S.Left + X * SW / DW;
            if (DX >= 0 && DX < Dst.Width() && SX >= 0 && SX < Src.Width())
                *Dst.GetPixelPtr(DX, DY) = *Src.GetPixelPtr(SX, SY);
        }
    }
}

// Src's rectangle repeated down Dst from the top; the last copy is cut to fit.
void TileDown(const TbsBitmap& Src, const TRect& S, TbsBitmap& Dst) {
    const int SH = S.Bottom - S.Top;
    if (SH <= 0)
        return;
    for (int Y = 0; Y < Dst.Height(); Y += SH) {
        const int H = std::min(SH, Dst.Height() - Y);
        CopyStretched(Src, TRect{S.Left, S.Top, S.Right, S.Top + H}, Dst, TRect{0, Y, Dst.Width(), Y + H});
    }
}

TBitmap* ActivePicture(TbsSkinData* SD, int Index) {
    if (!SD || Index < 0 || Index >= int(SD->FActivePictures.size()))
        return nullptr;
    TBitmap* B = SD->FActivePictures[std::size_t(Index)].get();
    return B && !B->Empty() ? B : nullptr;
}

// The picture with its alpha taken from the mask picture (the mean of red, green and blue), when there is one.
std::unique_ptr<TbsBitmap> LayerPicture(TbsSkinData* SD, int Index, int MaskIndex) {
    TBitmap* Picture = ActivePicture(SD, Index);
    if (!Picture)
        return nullptr;
    auto B = std::make_unique<TbsBitmap>();
    B->Assign(Picture);
    if (TBitmap* Mask = ActivePicture(SD, MaskIndex)) {
        TbsBitmap M;
        M.Assign(Mask);
        SetAlphaFromMask(*B, M);
    }
    B->CheckingAlphaBlend();
    return B;
}

bool IsStripEmpty(const TbsBitmap* B) {
    return !B || B->Empty() || B->Width() <= 0 || B->Height() <= 0;
}

} // namespace

void RegisterLayeredBorderStripTest() {
    ScreenFormsService().LayeredBorderStripTest = [](TComponent* Form) {
        return Form && Form->ClassNameIs(u"TbsFormLayerWindow");
    };
}

// ---------------------------------------------------------------------------------------------
// TbsFormLayerBorder

TbsFormLayerBorder::TbsFormLayerBorder(TComponent* AOwner) : TComponent(AOwner) {
    BSF = dynamic_cast<TbsSkinForm*>(AOwner);
}

TbsFormLayerBorder::~TbsFormLayerBorder() {
    FAlive.reset();
    FreeWindows();
}

void TbsFormLayerBorder::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    for (TbsFormLayerWindow** W : {&LeftBorder, &TopBorder, &RightBorder, &BottomBorder})
        if (*W == AComponent)
            *W = nullptr;
}

TbsFormLayerWindow* TbsFormLayerBorder::Window(TbsFormLayerBorderType AType) const {
    switch (AType) {
    case bsflLeft:
        return LeftBorder;
    case bsflTop:
        return TopBorder;
    case bsflRight:
        return RightBorder;
    case bsflBottom:
        return BottomBorder;
    }
    return nullptr;
}

TbsBitmap* TbsFormLayerBorder::Image(TbsFormLayerBorderType AType) const {
    switch (AType) {
    case bsflLeft:
        return LeftImage.get();
    case bsflTop:
        return TopImage.get();
    case bsflRight:
        return RightImage.get();
    case bsflBottom:
        return BottomImage.get();
    }
    return nullptr;
}

void TbsFormLayerBorder::InitFrame(TbsSkinData* ASkinData, TCustomForm* AForm) {
    FForm = AForm;
    FSD = ASkinData;
    FData = ASkinData && !ASkinData->Empty ? ASkinData->LayerFrame.get() : nullptr;
    if (FData && FData->PictureIndex == -1)
        FData = nullptr;
    if (!FData)
        return;
    FSourceBitmap.reset();
    FSourceInActiveBitMap.reset();
    FCurrentAlphaBlendValue = FData->AlphaBlendValue;
    FCurrentInActiveAlphaBlendValue = FData->InActiveAlphaBlendValue;
    FSourceBitmap = LayerPicture(ASkinData, FData->PictureIndex, FData->MaskPictureIndex);
    // A picture index past the skin's pictures counts as none.
    if (!FSourceBitmap) {
        FData = nullptr;
        return;
    }
    if (FData->InActivePictureIndex != -1)
        FSourceInActiveBitMap = LayerPicture(ASkinData, FData->InActivePictureIndex, FData->InActiveMaskPictureIndex);
    const TRect& B = FData->BorderRect;
    const TRect& C = FData->ClRect;
    if (IsNullRect(B)) {
        LeftSize = TopSize = RightSize = BottomSize = 0;
    } else {
        LeftSize = C.Left - B.Left;
        TopSize = C.Top - B.Top;
        RightSize = B.Right - C.Right;
        BottomSize = B.Bottom - C.Bottom;
    }
}

TRect TbsFormLayerBorder::FrameBoundsOf(int ALeft, int ATop, int AW, int AH) const {
    if (!FData || !FSourceBitmap)
        return TRect{};
    const TRect& C = FData->ClRect;
    const int X0 = ALeft - C.Left, Y0 = ATop - C.Top;
    return TRect{X0, Y0, X0 + AW + FSourceBitmap->Width() - (C.Right - C.Left),
                 Y0 + AH + FSourceBitmap->Height() - (C.Bottom - C.Top)};
}

TPoint TbsFormLayerBorder::StripPosition(TbsFormLayerBorderType AType, int X, int Y) const {
    const int TH = TopImage ? TopImage->Height() : 0;
    const int BH = BottomImage ? BottomImage->Height() : 0;
    const int RW = RightImage ? RightImage->Width() : 0;
    switch (AType) {
    case bsflTop:
        return {X, Y};
    case bsflBottom:
        return {X, Y + FHeight - BH};
    case bsflLeft:
        return {X, Y + TH};
    case bsflRight:
        return {X + FWidth - RW, Y + TH};
    }
    return {X, Y};
}

void TbsFormLayerBorder::FreeImages() {
    LeftImage.reset();
    TopImage.reset();
    RightImage.reset();
    BottomImage.reset();
}

void TbsFormLayerBorder::CreateLayerImages(int AWidth, int AHeight) {
    FreeImages();
    if (!FData || !FSourceBitmap)
        return;
    const TbsBitmap& Src = !FActive && FSourceInActiveBitMap ? *FSourceInActiveBitMap : *FSourceBitmap;
    const int SW = Src.Width(), SH = Src.Height();
    const TPoint LT = FData->LTPoint, RT = FData->RTPoint, LB = FData->LBPoint, RB = FData->RBPoint;
    const TRect& C = FData->ClRect;
    const int TH = std::max(LT.Y, RT.Y), BH = SH - std::min(LB.Y, RB.Y);
    auto NewImage = [](int W, int H) {
        auto B = std::make_unique<TbsBitmap>();
        if (W > 0 && H > 0)
            B->SetSize(W, H);
        return B;
    };

    TopImage = NewImage(AWidth, TH);
    if (!TopImage->Empty()) {
        const int RightW = SW - RT.X;
        CopyStretched(Src, TRect{0, 0, LT.X, TH}, *TopImage, TRect{0, 0, LT.X, TH});
        CopyStretched(Src, TRect{RT.X, 0, SW, TH}, *TopImage, TRect{AWidth - RightW, 0, AWidth, TH});
        CopyStretched(Src, TRect{LT.X, 0, RT.X, TH}, *TopImage, TRect{LT.X, 0, AWidth - RightW, TH});
    }
    BottomImage = NewImage(AWidth, BH);
    if (!BottomImage->Empty()) {
        const int RightW = SW - RB.X;
        CopyStretched(Src, TRect{0, SH - BH, LB.X, SH}, *BottomImage, TRect{0, 0, LB.X, BH});
        CopyStretched(Src, TRect{RB.X, SH - BH, SW, SH}, *BottomImage, TRect{AWidth - RightW, 0, AWidth, BH});
        CopyStretched(Src, TRect{LB.X, SH - BH, RB.X, SH}, *BottomImage, TRect{LB.X, 0, AWidth - RightW, BH});
    }
    const int SideH = AHeight - TH - BH;
    const int LeftW = C.Left, RightW = SW - C.Right;
    LeftImage = NewImage(SideH > 0 ? LeftW : 0, SideH);
    if (!LeftImage->Empty())
        TileDown(Src, TRect{0, TH, LeftW, SH - BH}, *LeftImage);
    RightImage = NewImage(SideH > 0 ? RightW : 0, SideH);
    if (!RightImage->Empty())
        TileDown(Src, TRect{SW - RightW, TH, SW, SH - BH}, *RightImage);
    for (TbsBitmap* B : {TopImage.get(), BottomImage.get(), LeftImage.get(), RightImage.get()})
        if (!B->Empty())
            B->CheckingAlphaBlend();
}

int TbsFormLayerBorder::CurrentAlpha() const {
    return std::clamp(FActive ? FCurrentAlphaBlendValue : FCurrentInActiveAlphaBlendValue, 0, 255);
}

void TbsFormLayerBorder::FreeWindows() {
    for (TbsFormLayerWindow** W : {&LeftBorder, &TopBorder, &RightBorder, &BottomBorder}) {
        TbsFormLayerWindow* X = *W;
        *W = nullptr;
        delete X;
    }
}

void TbsFormLayerBorder::ApplyImages() {
    for (TbsFormLayerBorderType T : {bsflTop, bsflBottom, bsflLeft, bsflRight}) {
        TbsBitmap* B = Image(T);
        TbsFormLayerWindow* W = Window(T);
        if (!IsStripEmpty(B) && W)
            ApplyLayeredImage(B, BYTE(CurrentAlpha()), W);
    }
}

// The strips go right above the form: over the form, under whatever lies over the form.
void TbsFormLayerBorder::PlaceWindows(int X, int Y, UINT Flags) {
    for (TbsFormLayerBorderType T : AllTypes) {
        TbsFormLayerWindow* W = Window(T);
        if (!W)
            continue;
        TPoint P = StripPosition(T, X, Y);
        HWND After = HWND_TOP;
        if (!(Flags & SWP_NOZORDER) && FForm && FForm->HandleAllocated())
            if (HWND Above = GetWindow(FForm->Handle(), GW_HWNDPREV); Above && Above != W->Handle())
                After = Above;
        SetWindowPos(W->Handle(), After, P.X, P.Y, 0, 0, Flags | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void TbsFormLayerBorder::Show(int X, int Y, int AWidth, int AHeight) {
    if (!FData || !FForm)
        return;
    FWidth = AWidth;
    FHeight = AHeight;
    FVisible = true;
    CreateLayerImages(AWidth, AHeight);
    FreeWindows();
    for (TbsFormLayerBorderType T : AllTypes) {
        TbsBitmap* B = Image(T);
        if (IsStripEmpty(B))
            continue;
        auto* W = new TbsFormLayerWindow(this, FForm);
        W->BorderType = T;
        W->AfterConstruction();
        TPoint P = StripPosition(T, X, Y);
        W->SetBounds(P.X, P.Y, B->Width(), B->Height());
        W->HandleNeeded();
        (T == bsflLeft ? LeftBorder : T == bsflRight ? RightBorder : T == bsflTop ? TopBorder : BottomBorder) = W;
    }
    ApplyImages();
    PlaceWindows(X, Y, SWP_SHOWWINDOW);
}

void TbsFormLayerBorder::ShowWithForm() {
    if (!FForm)
        return;
    TRect F = FrameBoundsOf(FForm->Left(), FForm->Top(), FForm->Width(), FForm->Height());
    Show(F.Left, F.Top, F.Right - F.Left, F.Bottom - F.Top);
}

void TbsFormLayerBorder::ShowWithFormAnimation() {
    if (!FData)
        return;
    const int Target = FCurrentAlphaBlendValue;
    FCurrentAlphaBlendValue = 0;
    ShowWithForm();
    std::weak_ptr<char> Alive = FAlive;
    if (Application)
        Application->ProcessMessages();
    if (Alive.expired())
        return;
    // Hidden or given up meanwhile: nothing goes on fading, and the next show has the full opacity again.
    if (!FVisible || !FData || Target <= 0) {
        FCurrentAlphaBlendValue = Target;
        if (FVisible)
            SetAlphaBlend();
        return;
    }
    const int Step = std::max(1, Target / 15);
    int A = 0;
    DWORD Last = GetTickCount();
    while (A < Target) {
        DWORD Now = GetTickCount();
        if (Now - Last > 5) {
            Last = Now;
            A = std::min(Target, A + Step);
            FCurrentAlphaBlendValue = A;
            SetAlphaBlend();
        }
    }
}

void TbsFormLayerBorder::Hide() {
    FreeWindows();
    FVisible = false;
}

void TbsFormLayerBorder::SetBounds(int X, int Y, int AWidth, int AHeight) {
    if (!FVisible || !FData || !FForm)
        return;
    FWidth = AWidth;
    FHeight = AHeight;
    CreateLayerImages(AWidth, AHeight);
    // A strip that became empty goes; one that has content again (a frame grown past its top and bottom) comes.
    for (TbsFormLayerBorderType T : AllTypes) {
        TbsFormLayerWindow*& W = T == bsflLeft    ? LeftBorder
                                 : T == bsflRight ? RightBorder
                                 : T == bsflTop   ? TopBorder
                                                  : BottomBorder;
        TbsBitmap* B = Image(T);
        if (IsStripEmpty(B)) {
            TbsFormLayerWindow* X = W;
            W = nullptr;
            delete X;
        } else if (!W) {
            W = new TbsFormLayerWindow(this, FForm);
            W->BorderType = T;
            W->AfterConstruction();
            TPoint P = StripPosition(T, X, Y);
            W->SetBounds(P.X, P.Y, B->Width(), B->Height());
            W->HandleNeeded();
            ApplyLayeredImage(B, BYTE(CurrentAlpha()), W);
            PlaceWindows(X, Y, SWP_SHOWWINDOW);
        }
    }
    for (TbsFormLayerBorderType T : AllTypes)
        if (TbsFormLayerWindow* W = Window(T)) {
            TPoint P = StripPosition(T, X, Y);
            W->SetBounds(P.X, P.Y, Image(T)->Width(), Image(T)->Height());
        }
    ApplyImages();
}

void TbsFormLayerBorder::SetBoundsWithForm() {
    if (FForm)
        SetBoundsWithForm3(FForm->Left(), FForm->Top(), FForm->Width(), FForm->Height());
}

void TbsFormLayerBorder::SetBoundsWithForm2(int AW, int AH) {
    if (FForm)
        SetBoundsWithForm3(FForm->Left(), FForm->Top(), AW, AH);
}

void TbsFormLayerBorder::SetBoundsWithForm3(int ALeft, int ATop, int AW, int AH) {
    TRect F = FrameBoundsOf(ALeft, ATop, AW, AH);
    SetBounds(F.Left, F.Top, F.Right - F.Left, F.Bottom - F.Top);
}

void TbsFormLayerBorder::MoveWithForm() {
    if (FForm)
        MoveWithForm2(FForm->Left(), FForm->Top());
}

void TbsFormLayerBorder::MoveWithForm2(int ALeft, int ATop) {
    if (!FVisible || !FData || !FForm)
        return;
    TRect F = FrameBoundsOf(ALeft, ATop, FForm->Width(), FForm->Height());
    PlaceWindows(F.Left, F.Top, SWP_NOZORDER);
}

void TbsFormLayerBorder::SetAlphaBlend() {
    if (FVisible && FData)
        ApplyImages();
}

void TbsFormLayerBorder::SetAlphaBlend2() {
    if (!FVisible || !FData || !FForm)
        return;
    SetAlphaBlend();
    TRect F = FrameBoundsOf(FForm->Left(), FForm->Top(), FForm->Width(), FForm->Height());
    PlaceWindows(F.Left, F.Top, 0);
}

void TbsFormLayerBorder::CheckFormAlpha(int AFormAlpha, bool AUpdate) {
    if (!FData)
        return;
    FCurrentAlphaBlendValue = int(std::lround(double(FData->AlphaBlendValue) * AFormAlpha / 255.0));
    FCurrentInActiveAlphaBlendValue = int(std::lround(double(FData->InActiveAlphaBlendValue) * AFormAlpha / 255.0));
    if (AUpdate)
        SetAlphaBlend();
}

void TbsFormLayerBorder::SetActive(bool AValue, bool AUpdate) {
    FActive = AValue;
    if (FVisible && AUpdate)
        SetAlphaBlend2();
}

void TbsFormLayerBorder::Draw(TCanvas* C, int X, int Y, int AWidth, int AHeight) {
    if (!FData || !C)
        return;
    const int ShownW = FWidth, ShownH = FHeight;
    FWidth = AWidth;
    FHeight = AHeight;
    CreateLayerImages(AWidth, AHeight);
    for (TbsFormLayerBorderType T : AllTypes)
        if (TbsBitmap* B = Image(T); !IsStripEmpty(B)) {
            TPoint P = StripPosition(T, X, Y);
            B->Draw(C, P.X, P.Y);
        }
    // The shown windows keep the strips of their own size.
    FWidth = ShownW;
    FHeight = ShownH;
    if (FVisible)
        CreateLayerImages(FWidth, FHeight);
}

// ---------------------------------------------------------------------------------------------
// TbsFormLayerWindow

TbsFormLayerWindow::TbsFormLayerWindow(TbsFormLayerBorder* AOwner, TCustomForm* AForm)
    : TForm(AOwner), FForm(AForm), FLayerBorder(AOwner) {
    SetBorderStyle(bsNone);
    SetFormStyle(AForm && AForm->FormStyle() == fsStayOnTop ? fsStayOnTop : fsNormal);
}

void TbsFormLayerWindow::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    Params.ExStyle &= ~WS_EX_APPWINDOW;
    Params.ExStyle |= WS_EX_LAYERED;
    // Without a sizing zone the strip lets every mouse event through to what lies below.
    if (FLayerBorder && FLayerBorder->FData && IsNullRect(FLayerBorder->FData->BorderRect))
        Params.ExStyle |= WS_EX_TRANSPARENT;
    // Owned by the form: the strips stay above it and go with it when it is minimized.
    if (FForm && FForm->HandleAllocated())
        Params.WndParent = FForm->Handle();
}

void TbsFormLayerWindow::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_MOUSEACTIVATE:
        WMMouseActivate(Message);
        return;
    }
    TForm::Dispatch(Message);
}

TbsSkinForm* TbsFormLayerWindow::SkinForm() const {
    return FLayerBorder ? FLayerBorder->BSF : nullptr;
}

void TbsFormLayerWindow::WMMouseActivate(TMessage& Message) {
    Message.Result = MA_NOACTIVATE;
    if (!FLayerBorder || !FLayerBorder->FData || !FLayerBorder->FData->HitTestEnable || !FForm)
        return;
    FHitMode = GetHitMode();
    if (FHitMode != bsflhNone && !FForm->Active())
        FForm->Show();
}

bool TbsFormLayerWindow::IsSizingAllowed() {
    TbsSkinForm* S = SkinForm();
    return S && S->CanResizeForm() && !S->RollUpState() && S->WindowState() == wsNormal;
}

TbsFormLayerBorderHit TbsFormLayerWindow::GetHitMode() {
    if (!FLayerBorder || !FForm)
        return bsflhNone;
    POINT C;
    GetCursorPos(&C);
    const TPoint P{C.X, C.Y};
    const int L = FForm->Left(), T = FForm->Top(), W = FForm->Width(), H = FForm->Height();
    const int LS = FLayerBorder->LeftSize, TS = FLayerBorder->TopSize, RS = FLayerBorder->RightSize,
              BS = FLayerBorder->BottomSize;
    auto Sides = [&]() {
        if (P.X >= L - LS && P.X < L)
            return bsflhLeft;
        if (P.X > L + W && P.X <= L + W + RS)
            return bsflhRight;
        return bsflhNone;
    };
    switch (BorderType) {
    case bsflLeft:
        return P.X >= L - LS ? bsflhLeft : bsflhNone;
    case bsflRight:
        return P.X <= L + W + RS ? bsflhRight : bsflhNone;
    case bsflTop:
        if (PtIn(TRect{L - LS, T - TS, L + 3, T + 3}, P))
            return bsflhTopLeft;
        if (PtIn(TRect{L, T - TS, L + W, T}, P))
            return bsflhTop;
        if (PtIn(TRect{L + W - 3, T - TS, L + W + RS, T + 3}, P))
            return bsflhTopRight;
        return P.Y > T ? Sides() : bsflhNone;
    case bsflBottom:
        if (PtIn(TRect{L - LS, T + H - 3, L + 3, T + H + BS}, P))
            return bsflhBottomLeft;
        if (PtIn(TRect{L, T + H, L + W, T + H + BS}, P))
            return bsflhBottom;
        if (PtIn(TRect{L + W - 3, T + H - 3, L + W + RS, T + H + BS}, P))
            return bsflhBottomRight;
        return P.Y < T + H ? Sides() : bsflhNone;
    }
    return bsflhNone;
}

void TbsFormLayerWindow::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TForm::MouseDown(Button, Shift, X, Y);
    if (!FLayerBorder || !FLayerBorder->FData || !FLayerBorder->FData->HitTestEnable || !IsSizingAllowed())
        return;
    FInProcessMessages = false;
    FDown = GetHitMode() != bsflhNone;
    POINT C;
    GetCursorPos(&C);
    MousePos1 = MousePos2 = TPoint{C.X, C.Y};
}

void TbsFormLayerWindow::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (TbsSkinForm* S = SkinForm())
        S->FBorderLayerChangeSize = false;
    if (FLayerBorder && FLayerBorder->FData && FLayerBorder->FData->HitTestEnable && IsSizingAllowed()) {
        FDown = false;
        FInProcessMessages = false;
    }
    TForm::MouseUp(Button, Shift, X, Y);
}

bool TbsFormLayerWindow::DragBounds(int DX, int DY, TRect& Bounds) {
    TbsSkinForm* S = SkinForm();
    const int L = FForm->Left(), T = FForm->Top(), W = FForm->Width(), H = FForm->Height();
    auto ClampW = [S](int V) { return std::min(std::max(V, S->GetMinWidth()), S->GetMaxWidth()); };
    auto ClampH = [S](int V) { return std::min(std::max(V, S->GetMinHeight()), S->GetMaxHeight()); };
    const int NW0 = W + (FHitMode == bsflhLeft || FHitMode == bsflhTopLeft || FHitMode == bsflhBottomLeft ? -DX : DX);
    const int NH0 = H + (FHitMode == bsflhTop || FHitMode == bsflhTopLeft || FHitMode == bsflhTopRight ? -DY : DY);
    const int NW = ClampW(NW0), NH = ClampH(NH0);
    const bool WClamped = NW != NW0, HClamped = NH != NH0;
    // A corner step changes something and comes from a real move.
    const bool CornerStep = !(NW == W && NH == H) && !(DX == 0 && DY == 0);
    switch (FHitMode) {
    case bsflhLeft:
        if (WClamped || DX == 0 || NW == W)
            return false;
        Bounds = TRect{L + DX, T, NW, H};
        return true;
    case bsflhTop:
        if (HClamped || DY == 0 || NH == H)
            return false;
        Bounds = TRect{L, T + DY, W, NH};
        return true;
    case bsflhRight:
        if (DX == 0 || NW == W)
            return false;
        Bounds = TRect{L, T, NW, H};
        return true;
    case bsflhBottom:
        if (DY == 0 || NH == H)
            return false;
        Bounds = TRect{L, T, W, NH};
        return true;
    case bsflhTopLeft:
        if (WClamped || HClamped || !CornerStep)
            return false;
        Bounds = TRect{L + DX, T + DY, NW, NH};
        return true;
    case bsflhTopRight:
        if (HClamped || !CornerStep)
            return false;
        Bounds = TRect{L, T + DY, NW, NH};
        return true;
    case bsflhBottomLeft:
        if (WClamped || !CornerStep)
            return false;
        Bounds = TRect{L + DX, T, NW, NH};
        return true;
    case bsflhBottomRight:
        if (!CornerStep)
            return false;
        Bounds = TRect{L, T, NW, NH};
        return true;
    case bsflhNone:
        break;
    }
    return false;
}

void TbsFormLayerWindow::MouseMove(TShiftState Shift, int X, int Y) {
    TForm::MouseMove(Shift, X, Y);
    POINT C;
    GetCursorPos(&C);
    if (FInProcessMessages) {
        FInProcessMessages = false;
        MousePos1 = TPoint{C.X, C.Y};
        return;
    }
    if (!FLayerBorder || !FLayerBorder->FData || !FLayerBorder->FData->HitTestEnable || !FForm)
        return;
    if (!IsSizingAllowed()) {
        SetCursor(crDefault);
        return;
    }
    TbsSkinForm* S = SkinForm();
    MousePos2 = TPoint{C.X, C.Y};
    const int DX = MousePos2.X - MousePos1.X, DY = MousePos2.Y - MousePos1.Y;
    if (!FDown) {
        S->FBorderLayerChangeSize = false;
        FHitMode = GetHitMode();
        static const TCursor Cursors[] = {crDefault,  crSizeWE,   crSizeNS,   crSizeWE,  crSizeNS,
                                          crSizeNWSE, crSizeNESW, crSizeNESW, crSizeNWSE};
        SetCursor(Cursors[FHitMode]);
    } else {
        S->FBorderLayerChangeSize = true;
        TRect B;
        if (DragBounds(DX, DY, B)) {
            FForm->SetBounds(B.Left, B.Top, B.Right, B.Bottom);
            MousePos1 = MousePos2;
            // The form repaints and its border follows; the form, its border or this strip may go meanwhile.
            std::weak_ptr<char> Self = AliveToken();
            std::weak_ptr<char> Border = FLayerBorder->AliveToken();
            FInProcessMessages = true;
            if (Application)
                Application->ProcessMessages();
            if (Self.expired())
                return;
            FInProcessMessages = false;
            if (Border.expired()) {
                FLayerBorder = nullptr;
                FForm = nullptr;
                FDown = false;
                return;
            }
        }
    }
    MousePos1 = MousePos2;
}
