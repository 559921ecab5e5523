#include "skin/controls/TbsSkinTabSheet.h"

#include "skin/controls/TbsSkinControl.h"
#include "skin/controls/TbsSkinPageControl.h"
#include "skin/core/TbsEffectBmp.h"
#include "skin/core/TbsSkinData.h"

// ---- bitmap turns ----

namespace {

enum class TTurn { CounterClockwise, Clockwise, Flip };

std::unique_ptr<TbsEffectBmp> Turned(TBitmap* Bitmap, TTurn Turn) {
    std::unique_ptr<TbsEffectBmp> Source(TbsEffectBmp::CreateFromhWnd(Bitmap->Handle()));
    const bool Swap = Turn != TTurn::Flip;
    auto Result =
        std::make_unique<TbsEffectBmp>(Swap ? Source->Height : Source->Width, Swap ? Source->Width : Source->Height);
    switch (Turn) {
    case TTurn::CounterClockwise:
        Source->Rotate90_1(*Result);
        break;
    case TTurn::Clockwise:
        Source->Rotate90_2(*Result);
        break;
    case TTurn::Flip:
        Source->FlipVert(*Result);
        break;
    }
    return Result;
}

void TurnInPlace(TBitmap* Bitmap, TTurn Turn) {
    if (Bitmap->Width() <= 0 || Bitmap->Height() <= 0)
        return;
    std::unique_ptr<TbsEffectBmp> Result = Turned(Bitmap, Turn);
    Bitmap->SetSize(Result->Width, Result->Height);
    Result->Draw(Bitmap->Canvas()->Handle(), 0, 0);
}

void DrawTurned(TCanvas* Canvas, TBitmap* Bitmap, int X, int Y, TTurn Turn) {
    if (Bitmap->Width() <= 0 || Bitmap->Height() <= 0)
        return;
    Turned(Bitmap, Turn)->Draw(Canvas->Handle(), X, Y);
}

} // namespace

void DrawRotated90_1(TCanvas* Canvas, TBitmap* Bitmap, int X, int Y) {
    DrawTurned(Canvas, Bitmap, X, Y, TTurn::CounterClockwise);
}

void DrawRotated90_2(TCanvas* Canvas, TBitmap* Bitmap, int X, int Y) {
    DrawTurned(Canvas, Bitmap, X, Y, TTurn::Clockwise);
}

void Rotate90_1Bitmap(TBitmap* Bitmap) {
    TurnInPlace(Bitmap, TTurn::CounterClockwise);
}

void Rotate90_2Bitmap(TBitmap* Bitmap) {
    TurnInPlace(Bitmap, TTurn::Clockwise);
}

void FlipVertBitmap(TBitmap* Bitmap) {
    TurnInPlace(Bitmap, TTurn::Flip);
}

// ---- TbsSkinCustomTabSheet ----

TbsSkinCustomTabSheet::TbsSkinCustomTabSheet(TComponent* AOwner)
    : TTabSheet(AOwner), FWallPaper(std::make_unique<TBitmap>()) {}

TbsSkinCustomTabSheet::~TbsSkinCustomTabSheet() {
    SetPageControl(nullptr);
}

void TbsSkinCustomTabSheet::SetWallPaper(TBitmap* Value) {
    FWallPaper->Assign(Value);
    if (ComponentState().Contains(csDesigning))
        Invalidate();
}

void TbsSkinCustomTabSheet::CreateParams(TCreateParams& Params) {
    TTabSheet::CreateParams(Params);
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

TbsSkinPageControl* TbsSkinCustomTabSheet::SkinPageControl() const {
    return dynamic_cast<TbsSkinPageControl*>(Parent());
}

void TbsSkinCustomTabSheet::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        WMEraseBkgnd(Message);
        return;
    case WM_SIZE:
        WMSize(Message);
        return;
    case WM_BSPAGEQUERY:
        Message.Result = BSPAGEQUERYANSWER;
        return;
    }
    TTabSheet::Dispatch(Message);
}

void TbsSkinCustomTabSheet::WMEraseBkgnd(TMessage& Message) {
    PaintBG(reinterpret_cast<HDC>(Message.WParam));
    Message.Result = 1;
}

void TbsSkinCustomTabSheet::WMSize(TMessage& Message) {
    TTabSheet::Dispatch(Message);
    Invalidate();
    TbsSkinPageControl* PC = SkinPageControl();
    if (PC && PC->SkinData() && !PC->SkinData()->Empty && PC->StretchEffect)
        SendCheckParentBackground();
}

void TbsSkinCustomTabSheet::SendCheckParentBackground() {
    for (int I = 0; I < ControlCount(); ++I)
        if (auto* W = dynamic_cast<TWinControl*>(Controls(I)))
            SendMessageW(W->Handle(), WM_CHECKPARENTBG, 0, 0);
}

void TbsSkinCustomTabSheet::PaintBG(HDC DC) {
    if (!DC || Width() < 1 || Height() < 1 || !Parent())
        return;
    TbsSkinPageControl* PC = SkinPageControl();
    if (PC)
        PC->GetSkinData();
    const int W = Width(), H = Height();
    if (!FWallPaper->Empty()) {
        const int PW = FWallPaper->Width(), PH = FWallPaper->Height();
        const HDC Src = FWallPaper->Canvas()->Handle();
        for (int Row = 0; Row <= H / PH; ++Row)
            for (int Col = 0; Col <= W / PW; ++Col)
                BitBlt(DC, Col * PW, Row * PH, PW, PH, Src, 0, 0, SRCCOPY);
        return;
    }
    // A page on another parent, or a page control without skin: the plain face.
    if (!PC || PC->FIndex == -1) {
        HBRUSH Brush = CreateSolidBrush(ColorToRGB(clBtnFace));
        RECT R{0, 0, W, H};
        FillRect(DC, &R, Brush);
        DeleteObject(Brush);
        return;
    }
    TbsSkinData* SD = PC->SkinData();
    if (SD && !SD->Empty && PC->BGPictureIndex != -1) {
        const int I = PC->BGPictureIndex;
        if (I >= 0 && I < int(SD->FActivePictures.size()))
            PC->DrawPictureOver(DC, SD->FActivePictures[std::size_t(I)].get(), W, H, W, H);
        return;
    }
    if (!PC->Picture || GetRectWidth(PC->ClRect) <= 0 || GetRectHeight(PC->ClRect) <= 0)
        return;
    TBitmap Part(GetRectWidth(PC->ClRect), GetRectHeight(PC->ClRect));
    TRect Source = PC->ClRect;
    Source.Left += PC->SkinRect.Left;
    Source.Right += PC->SkinRect.Left;
    Source.Top += PC->SkinRect.Top;
    Source.Bottom += PC->SkinRect.Top;
    Part.Canvas()->CopyRect(Rect(0, 0, Part.Width(), Part.Height()), PC->Picture->Canvas(), Source);
    // A stretched skin spans the page control, so neighbouring pages line up.
    PC->DrawPictureOver(DC, &Part, PC->Width(), PC->Height(), W, H);
}
