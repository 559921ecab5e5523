#include "skin/controls/TbsSkinControl.h"

#include <functional>

#include "platform/gdi/WinGdi.h"
#include "skin/core/TbsSkinData.h"

namespace {

// Both coordinates inside the area, its right and bottom edges excluded.
bool InArea(const TRect& Area, const TPoint& P) {
    return P.X >= Area.Left && P.X < Area.Right && P.Y >= Area.Top && P.Y < Area.Bottom;
}

bool Inside(const TRect& Area, const TRect& R) {
    return InArea(Area, {R.Left, R.Top}) && InArea(Area, {R.Right, R.Bottom});
}

TRect Moved(TRect R, int DX, int DY) {
    R.Left += DX;
    R.Right += DX;
    R.Top += DY;
    R.Bottom += DY;
    return R;
}

void FillDefaultFace(TBitmap* B) {
    B->Canvas()->Brush()->SetColor(clBtnFace);
    B->Canvas()->Brush()->SetStyle(bsSolid);
    B->Canvas()->FillRect(Rect(0, 0, B->Width(), B->Height()));
}

int LookUp(TbsSkinData* SD, const String& Name) {
    if (!SD || SD->Empty)
        return -1;
    return SD->GetControlIndex(Name);
}

// Looks the record up again and sizes the control to it; Shape gives the windowed control its region where
// the size stays (SetBounds shapes it on a new size).
template <class C> void ChangeSkinDataOf(C& Ctl, const std::function<void()>& Shape) {
    Ctl.GetSkinData();
    if (Ctl.FIndex == -1) {
        if (Ctl.FDefaultWidth > 0)
            Ctl.SetWidth(Ctl.FDefaultWidth);
        if (Ctl.FDefaultHeight > 0)
            Ctl.SetHeight(Ctl.FDefaultHeight);
        Shape();
        Ctl.Repaint();
        return;
    }
    int W = Ctl.Width();
    int H = Ctl.Height();
    Ctl.CalcSize(W, H);
    if (W != Ctl.Width() || H != Ctl.Height()) {
        Ctl.SetBounds(Ctl.Left(), Ctl.Top(), W, H);
        return;
    }
    Shape();
    Ctl.Repaint();
}

// The first steps of SetBounds: the size rules for a new size and a tool bar's centring. True when the size
// counts as changed.
template <class C> bool PrepareBounds(C& Ctl, int& ATop, int& AWidth, int& AHeight) {
    Ctl.GetSkinData();
    const bool Changed = Ctl.FIndex != -1 && (AWidth != Ctl.Width() || AHeight != Ctl.Height());
    if (Changed) {
        Ctl.CalcSize(AWidth, AHeight);
        if (Ctl.ResizeMode == 0)
            Ctl.NewClRect = Ctl.ClRect;
    }
    if (TbsToolBarParent* Bar = ToolBarOf(&Ctl); Bar && Bar->AdjustControls()) {
        TRect R = Bar->GetSkinClientRect();
        ATop = R.Top + (R.Bottom - R.Top) / 2 - AHeight / 2;
    }
    return Changed;
}

} // namespace

std::unique_ptr<TFont> CreateSkinDefaultFont() {
    auto F = std::make_unique<TFont>();
    F->SetName(u"Arial");
    F->SetStyle({});
    F->SetHeight(14);
    return F;
}

void ReferToSkinData(TComponent* Control, TbsSkinData*& Field, TbsSkinData* Value) {
    if (Field && Field != Value)
        Field->RemoveFreeNotification(Control);
    Field = Value;
    if (Value)
        Value->FreeNotification(Control);
}

TbsToolBarParent* ToolBarOf(const TControl* Control) {
    return dynamic_cast<TbsToolBarParent*>(Control->Parent());
}

// ---------------------------------------------------------------------------------------------
// TbsSkinFace

int TbsSkinFace::GetResizeMode() const {
    if (SkinRect.Right - SkinRect.Left <= 0 || SkinRect.Bottom - SkinRect.Top <= 0)
        return -1;
    if (RBPt.X != 0 && RBPt.Y != 0)
        return 1;
    if (RTPt.X != 0 || RTPt.Y != 0)
        return 2;
    if (LBPt.X != 0 || LBPt.Y != 0)
        return 3;
    return 0;
}

void TbsSkinFace::ReadFace(TbsSkinData* SD, int Index) {
    auto* Rec = dynamic_cast<TbsDataSkinCustomControl*>(SD->CtrlList.at(std::size_t(Index)).get());
    if (!Rec) {
        ResizeMode = 0;
        Picture = nullptr;
        MaskPicture = nullptr;
        return;
    }
    LTPt = Rec->LTPoint;
    RTPt = Rec->RTPoint;
    LBPt = Rec->LBPoint;
    RBPt = Rec->RBPoint;
    SkinRect = Rec->SkinRect;
    StretchEffect = Rec->StretchEffect;
    StretchType = Rec->StretchType;
    LeftStretch = Rec->LeftStretch;
    TopStretch = Rec->TopStretch;
    RightStretch = Rec->RightStretch;
    BottomStretch = Rec->BottomStretch;
    ClRect = Rec->ClRect;
    auto Active = [SD](int I) -> TBitmap* {
        return I >= 0 && I < int(SD->FActivePictures.size()) ? SD->FActivePictures[std::size_t(I)].get() : nullptr;
    };
    Picture = Active(Rec->PictureIndex);
    MaskPicture = Active(Rec->MaskPictureIndex);
    ResizeMode = GetResizeMode();
}

void TbsSkinFace::CalcFaceSize(int& W, int& H, bool HasRecord) {
    if (!HasRecord || ResizeMode == -1)
        return;
    const int SW = SkinRect.Right - SkinRect.Left;
    const int SH = SkinRect.Bottom - SkinRect.Top;
    const int DW = W - SW;
    const int DH = H - SH;
    switch (ResizeMode) {
    case 0:
        W = SW;
        H = SH;
        NewClRect = ClRect;
        break;
    case 1:
        NewLTPoint = LTPt;
        NewRTPoint = {RTPt.X + DW, RTPt.Y};
        NewLBPoint = {LBPt.X, LBPt.Y + DH};
        NewRBPoint = {RBPt.X + DW, RBPt.Y + DH};
        NewClRect = Rect(ClRect.Left, ClRect.Top, ClRect.Right + DW, ClRect.Bottom + DH);
        break;
    case 2:
        H = SH;
        NewLTPoint = LTPt;
        NewRTPoint = {RTPt.X + DW, RTPt.Y};
        NewClRect = Rect(ClRect.Left, ClRect.Top, ClRect.Right + DW, ClRect.Bottom);
        break;
    case 3:
        W = SW;
        NewLTPoint = LTPt;
        NewLBPoint = {LBPt.X, LBPt.Y + DH};
        NewClRect = Rect(ClRect.Left, ClRect.Top, ClRect.Right, ClRect.Bottom + DH);
        break;
    }
}

TRect TbsSkinFace::MapChildRect(const TRect& ARect, int Width, int Height) const {
    const int SW = SkinRect.Right - SkinRect.Left;
    const int SH = SkinRect.Bottom - SkinRect.Top;
    const int DW = Width - SW;
    const int DH = Height - SH;
    TRect R = ARect;
    switch (ResizeMode) {
    case 1: {
        const TRect LT = Rect(0, 0, LTPt.X, LTPt.Y);
        const TRect LB = Rect(0, LBPt.Y, LBPt.X, SH);
        const TRect RT = Rect(RTPt.X, 0, SW, RTPt.Y);
        const TRect RB = Rect(RBPt.X, RBPt.Y, SW, SH);
        if (Inside(LT, ARect))
            return R;
        if (Inside(RT, ARect))
            return Moved(R, DW, 0);
        if (Inside(LB, ARect))
            return Moved(R, 0, DH);
        if (Inside(RB, ARect))
            return Moved(R, DW, DH);
        const TPoint TL{ARect.Left, ARect.Top};
        const TPoint BR{ARect.Right, ARect.Bottom};
        auto In = [](const TRect& Area, const TPoint& P) { return PtInRectInclusive(Area, P); };
        if (In(LT, TL) && In(RB, BR)) {
            R.Right += DW;
            R.Bottom += DH;
        } else if (In(LT, TL) && In(RT, BR)) {
            R.Right += DW;
        } else if (In(LB, TL) && In(RB, BR)) {
            R.Right += DW;
            R = Moved(R, 0, DH);
        } else if (In(LT, TL) && In(LB, BR)) {
            R.Bottom += DH;
        } else if (In(RT, TL) && In(RB, BR)) {
            R = Moved(R, DW, 0);
            R.Bottom += DH;
        }
        return R;
    }
    case 2:
        if (LTPt.X >= ARect.Left && ARect.Right >= RTPt.X)
            R.Right += DW;
        else if (ARect.Left >= RTPt.X && ARect.Right > RTPt.X)
            R = Moved(R, DW, 0);
        return R;
    case 3:
        if (LTPt.Y >= ARect.Top && ARect.Bottom >= LBPt.Y)
            R.Bottom += DH;
        else if (ARect.Top >= LBPt.Y && ARect.Bottom > LBPt.Y)
            R = Moved(R, 0, DH);
        return R;
    }
    return R;
}

void TbsSkinFace::DrawFace(TBitmap* B, TBitmap* APicture, const TRect& ARect, int Width, int Height, bool NinePart) {
    if (!APicture)
        return;
    const int SW = SkinRect.Right - SkinRect.Left;
    const int SH = SkinRect.Bottom - SkinRect.Top;
    switch (ResizeMode) {
    case 0:
        B->SetSize(ARect.Right - ARect.Left, ARect.Bottom - ARect.Top);
        B->Canvas()->CopyRect(Rect(0, 0, B->Width(), B->Height()), APicture->Canvas(), ARect);
        break;
    case 1:
        if (NinePart)
            DrawNinePartSkinImage(LTPt, RTPt, LBPt, RBPt, ClRect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint,
                                  NewClRect, B, APicture, ARect, Width, Height, true, LeftStretch, TopStretch,
                                  RightStretch, BottomStretch, StretchEffect, StretchType);
        break;
    case 2:
        DrawSkinStripH(LTPt.X, SW - RTPt.X, B, APicture, ARect, Width, Height, StretchEffect);
        break;
    case 3:
        DrawSkinStripV(LTPt.Y, SH - LBPt.Y, B, APicture, ARect, Width, Height, StretchEffect);
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// TbsSkinnedControl

template <class TBase> void TbsSkinnedControl<TBase>::SetSkinData(TbsSkinData* Value) {
    ReferToSkinData(this, FSD, Value);
    if (Value && !Value->Empty && !Designing())
        ChangeSkinData();
}

template <class TBase> void TbsSkinnedControl<TBase>::SetHintImageList(TCustomImageList* Value) {
    FHintImageList = Value;
    if (Value)
        Value->FreeNotification(this);
}

template <class TBase> void TbsSkinnedControl<TBase>::GetSkinData() {
    FIndex = LookUp(FSD, FSkinDataName);
}

template <class TBase> void TbsSkinnedControl<TBase>::ChangeSkinData() {
    GetSkinData();
    this->Repaint();
}

template <class TBase> void TbsSkinnedControl<TBase>::Paint() {
    if (this->Width() <= 0 || this->Height() <= 0)
        return;
    GetSkinData();
    TBitmap B(this->Width(), this->Height());
    if (FIndex == -1)
        CreateControlDefaultImage(&B);
    else
        CreateControlSkinImage(&B);
    this->Canvas()->Draw(0, 0, &B);
}

template <class TBase> void TbsSkinnedControl<TBase>::Notification(TComponent* AComponent, TOperation Operation) {
    TBase::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSD)
        FSD = nullptr;
    if (AComponent == FHintImageList)
        FHintImageList = nullptr;
}

template <class TBase> void TbsSkinnedControl<TBase>::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_MOUSEENTER:
        CMMouseEnter(Message);
        return;
    case CM_MOUSELEAVE:
        CMMouseLeave(Message);
        return;
    }
    TBase::Dispatch(Message);
}

template <class TBase> void TbsSkinnedControl<TBase>::CMMouseEnter(TMessage& Message) {
    TBase::Dispatch(Message);
    if (!Designing() && OnMouseEnter)
        OnMouseEnter(this);
}

template <class TBase> void TbsSkinnedControl<TBase>::CMMouseLeave(TMessage& Message) {
    TBase::Dispatch(Message);
    if (!Designing() && OnMouseLeave)
        OnMouseLeave(this);
}

template class TbsSkinnedControl<TCustomControl>;
template class TbsSkinnedControl<TGraphicControl>;

// ---------------------------------------------------------------------------------------------
// TbsSkinControl

void TbsSkinControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
        WMPaint(Message);
        return;
    case WM_ERASEBKGND:
        WMEraseBkgnd(Message);
        return;
    case WM_CHECKPARENTBG:
        WMCheckParentBackground(Message);
        return;
    }
    TbsSkinnedControl::Dispatch(Message);
}

void TbsSkinControl::WMPaint(TMessage& Message) {
    FromWMPaint = true;
    TCustomControl::Dispatch(Message);
    FromWMPaint = false;
}

void TbsSkinControl::WMEraseBkgnd(TMessage& Message) {
    // The off-screen paint covers the whole control.
    Message.Result = 1;
}

void TbsSkinControl::WMCheckParentBackground(TMessage&) {
    CheckParentBackground();
}

// ---------------------------------------------------------------------------------------------
// TbsGraphicSkinControl

TbsGraphicSkinControl::TbsGraphicSkinControl(TComponent* AOwner) : TbsSkinnedControl(AOwner) {
    SetControlStyle(ControlStyle() + csOpaque);
}

// ---------------------------------------------------------------------------------------------
// TbsSkinnedCustomControl

template <class TSkinned>
TbsSkinnedCustomControl<TSkinned>::TbsSkinnedCustomControl(TComponent* AOwner)
    : TSkinned(AOwner), FDefaultFont(CreateSkinDefaultFont()) {
    FDefaultFont->OnChange = [this](TObject* Sender) { DefaultFontChange(Sender); };
}

// DefaultWidth and DefaultHeight apply at once while the control has no record.
template <class TSkinned> void TbsSkinnedCustomControl<TSkinned>::SetDefaultWidth(int Value) {
    FDefaultWidth = Value;
    if (this->FIndex == -1 && Value > 0)
        this->SetWidth(Value);
}

template <class TSkinned> void TbsSkinnedCustomControl<TSkinned>::SetDefaultHeight(int Value) {
    FDefaultHeight = Value;
    if (this->FIndex == -1 && Value > 0)
        this->SetHeight(Value);
}

template <class TSkinned> void TbsSkinnedCustomControl<TSkinned>::SetDefaultFont(TFont* Value) {
    FDefaultFont->Assign(Value);
    DefaultFontChanged();
}

template <class TSkinned> void TbsSkinnedCustomControl<TSkinned>::DefaultFontChange(TObject*) {
    DefaultFontChanged();
    if (this->FIndex == -1)
        this->Repaint();
}

template <class TSkinned> void TbsSkinnedCustomControl<TSkinned>::GetSkinData() {
    TSkinned::GetSkinData();
    if (this->FIndex != -1)
        ReadFace(this->FSD, this->FIndex);
}

template <class TSkinned> void TbsSkinnedCustomControl<TSkinned>::CalcSize(int& W, int& H) {
    CalcFaceSize(W, H, this->FIndex != -1);
}

template <class TSkinned> void TbsSkinnedCustomControl<TSkinned>::CreateControlDefaultImage(TBitmap* B) {
    FillDefaultFace(B);
}

template class TbsSkinnedCustomControl<TbsSkinControl>;
template class TbsSkinnedCustomControl<TbsGraphicSkinControl>;

// ---------------------------------------------------------------------------------------------
// TbsSkinCustomControl

TbsSkinCustomControl::~TbsSkinCustomControl() {
    if (FRgn)
        DeleteObject(FRgn);
    FRgn = nullptr;
}

void TbsSkinCustomControl::ChangeSkinData() {
    ChangeSkinDataOf(*this, [this] { SetControlRegion(); });
}

void TbsSkinCustomControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    const bool Changed = PrepareBounds(*this, ATop, AWidth, AHeight);
    TbsSkinnedCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (Changed) {
        SetControlRegion();
        Repaint();
    }
    if (FIndex != -1 && StretchEffect)
        SendCheckParentBackground();
}

void TbsSkinCustomControl::SendCheckParentBackground() {
    for (int I = 0; I < ControlCount(); ++I) {
        TControl* C = Controls(I);
        // A child without a window yet reads the background when it is made; asking for its window here would
        // make it, and this control's, before this control has a parent.
        if (auto* W = dynamic_cast<TWinControl*>(C)) {
            if (W->HandleAllocated())
                SendMessageW(W->Handle(), WM_CHECKPARENTBG, 0, 0);
        } else {
            C->Perform(WM_CHECKPARENTBG, 0, 0);
        }
    }
}

void TbsSkinCustomControl::SetControlRegion() {
    if (!Parent())
        return;
    // An empty face has no shape of its own: it keeps no region either.
    if (!MaskPicture || FIndex == -1 || ResizeMode == -1) {
        if (FRgn)
            ReplaceRegion(nullptr);
        return;
    }
    SetMaskRegion();
}

void TbsSkinCustomControl::SetMaskRegion() {
    int W = Width();
    int H = Height();
    CalcSize(W, H);
    W = Width();
    H = Height();
    const int SW = SkinRect.Right - SkinRect.Left;
    const int SH = SkinRect.Bottom - SkinRect.Top;
    HRGN Rgn = nullptr;
    switch (ResizeMode) {
    case 0:
        CreateRegionFromMask(Rgn, MaskPicture);
        break;
    case 1:
        CreateSkinRegion(Rgn, LTPt, RTPt, LBPt, RBPt, ClRect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, NewClRect,
                         MaskPicture, W, H);
        break;
    case 2: {
        const TPoint NewRight{W + RTPt.X - SW, RTPt.Y};
        CreateSkinRegion(Rgn, LTPt, RTPt, LTPt, RTPt, ClRect, LTPt, NewRight, LTPt, NewRight, NewClRect, MaskPicture, W,
                         H);
        break;
    }
    case 3: {
        const TPoint NewBottom{LBPt.X, H + LBPt.Y - SH};
        CreateSkinRegion(Rgn, LTPt, LTPt, LBPt, LBPt, ClRect, LTPt, LTPt, NewBottom, NewBottom, NewClRect, MaskPicture,
                         W, H);
        break;
    }
    }
    ReplaceRegion(Rgn);
}

// The window keeps a copy of the region; the control owns FRgn alone and deletes the one it replaces.
void TbsSkinCustomControl::ReplaceRegion(HRGN NewRgn) {
    HRGN Old = FRgn;
    SetWindowRgn(Handle(), NewRgn, TRUE);
    FRgn = NewRgn;
    if (Old && Old != NewRgn)
        DeleteObject(Old);
}

void TbsSkinCustomControl::Paint() {
    if (Width() < 1 || Height() < 1)
        return;
    GetSkinData();
    int W = Width();
    int H = Height();
    CalcSize(W, H);
    if (FIndex != -1 && FForceBackground && ResizeMode == 1)
        PaintBorders();
    else
        TbsSkinnedCustomControl::Paint();
}

void TbsSkinCustomControl::PaintBorders() {
    if (!Picture)
        return;
    TBitmap LeftB, TopB, RightB, BottomB;
    CreateSkinBorderImages(LTPt, RTPt, LBPt, RBPt, ClRect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, NewClRect,
                           &LeftB, &TopB, &RightB, &BottomB, Picture, SkinRect, Width(), Height(), LeftStretch,
                           TopStretch, RightStretch, BottomStretch);
    CreateControlSkinImage(&TopB);
    if (FDrawbackground)
        FillClientTile(Canvas()->Handle());
    Canvas()->Draw(0, 0, &TopB);
    Canvas()->Draw(0, TopB.Height(), &LeftB);
    Canvas()->Draw(Width() - RightB.Width(), TopB.Height(), &RightB);
    Canvas()->Draw(0, Height() - BottomB.Height(), &BottomB);
}

void TbsSkinCustomControl::FillClientTile(HDC DC) {
    const int TW = ClRect.Right - ClRect.Left;
    const int TH = ClRect.Bottom - ClRect.Top;
    // A client rectangle without area has no tile to repeat.
    if (TW <= 0 || TH <= 0)
        return;
    const TRect Tile = Bounds(SkinRect.Left + ClRect.Left, SkinRect.Top + ClRect.Top, TW, TH);
    const TRect& N = NewClRect;
    const int NW = N.Right - N.Left;
    const int NH = N.Bottom - N.Top;
    const int Saved = SaveDC(DC);
    IntersectClipRect(DC, N.Left, N.Top, N.Right, N.Bottom);
    TCanvas* Src = Picture->Canvas();
    if (!StretchEffect) {
        for (int Row = 0; Row < NH / TH + 1; ++Row)
            for (int Col = 0; Col < NW / TW + 1; ++Col)
                Canvas()->CopyRect(Bounds(N.Left + Col * TW, N.Top + Row * TH, TW, TH), Src, Tile);
    } else if (NW > 0 && NH > 0) {
        switch (StretchType) {
        case bsstFull:
            Canvas()->CopyRect(N, Src, Tile);
            break;
        case bsstHorz:
            for (int Col = 0; Col < NW / TW + 1; ++Col)
                Canvas()->CopyRect(Bounds(N.Left + Col * TW, N.Top, TW, NH), Src, Tile);
            break;
        case bsstVert:
            for (int Row = 0; Row < NH / TH + 1; ++Row)
                Canvas()->CopyRect(Bounds(N.Left, N.Top + Row * TH, NW, TH), Src, Tile);
            break;
        }
    }
    RestoreDC(DC, Saved);
}

void TbsSkinCustomControl::CreateControlSkinImage(TBitmap* B) {
    DrawSkinImage(B, Picture, SkinRect);
}

void TbsSkinCustomControl::DrawSkinImage(TBitmap* B, TBitmap* APicture, const TRect& ARect) {
    DrawFace(B, APicture, ARect, Width(), Height(), !FForceBackground);
}

// ---------------------------------------------------------------------------------------------
// TbsGraphicSkinCustomControl

void TbsGraphicSkinCustomControl::ChangeSkinData() {
    ChangeSkinDataOf(*this, [] {});
}

void TbsGraphicSkinCustomControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    const bool Changed = PrepareBounds(*this, ATop, AWidth, AHeight);
    TbsSkinnedCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (Changed)
        Repaint();
}

void TbsGraphicSkinCustomControl::CreateControlSkinImage(TBitmap* B) {
    DrawSkinImage(B, Picture, SkinRect);
}

void TbsGraphicSkinCustomControl::DrawSkinImage(TBitmap* B, TBitmap* APicture, const TRect& ARect) {
    DrawFace(B, APicture, ARect, Width(), Height(), true);
}
