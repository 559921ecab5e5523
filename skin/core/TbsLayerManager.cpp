// The layered glow window and the manager that shows, fades and hides it.
#include "skin/core/TbsLayerManager.h"

#include <algorithm>

#include "skin/core/bsBlur.h"
#include "skin/core/bsUtils.h"
#include "skin/core/bseffects.h"

void TbsLayerWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP;
    // No task-bar button, and the mouse passes through to what lies below.
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT;
    Params.WindowClass.style |= CS_SAVEBITS;
}

void TbsLayerWindow::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_MOUSEACTIVATE) {
        Message.Result = MA_NOACTIVATE;
        return;
    }
    TCustomControl::Dispatch(Message);
}

namespace {

// The pixels of a platform picture in a skin bitmap of its size; the colours are what matters here.
void CopyPicture(TBitmap* Picture, TbsBitmap& Dest) {
    if (Picture && !Picture->Empty())
        Dest.Assign(Picture);
}

} // namespace

TbsLayerManager::TbsLayerManager(TComponent* AOwner) : TComponent(AOwner) {
    Timer = new TTimer(this);
    Timer->SetEnabled(false);
    Timer->SetInterval(TimerInterval);
    Timer->OnTimer = [this](TObject*) { TimerTick(); };
}

TbsLayerManager::~TbsLayerManager() {
    delete Timer;
    Timer = nullptr;
    delete LayerWindow;
    LayerWindow = nullptr;
}

void TbsLayerManager::Show(int X, int Y, TBitmap* AImage, TBitmap* AImageMask, int AAlphaBlendValue) {
    if (!IsWindows2000OrLater() || !AImage || AImage->Empty())
        return;
    if (IsVisible || LayerWindow)
        Hide();
    IsVisible = true;
    LayerWindow = new TbsLayerWindow(this);
    LayerWindow->SetVisible(false);
    LayerWindow->SetBounds(X, Y, AImage->Width(), AImage->Height());
    HWND Wnd = LayerWindow->Handle();
    SetWindowLongW(Wnd, GWL_EXSTYLE, GetWindowLongW(Wnd, GWL_EXSTYLE) | LONG(WS_EX_LAYERED));

    Bmp = std::make_unique<TbsBitmap>();
    MergeImageAndMask(AImage, AImageMask, Bmp.get());
    ApplyLayeredImage(Bmp.get(), 0, LayerWindow);
    SetWindowPos(Wnd, TopMostMode ? HWND_TOPMOST : HWND_NOTOPMOST, X, Y, 0, 0,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);

    EndAlphaBlendValue = std::clamp(AAlphaBlendValue, 0, 255);
    // A step of at least 1, so a faint target is still reached.
    StepAlphaBlendValue = std::max(1, EndAlphaBlendValue / 10);
    StartTimer();
}

void TbsLayerManager::Hide() {
    if (!IsWindows2000OrLater())
        return;
    StopTimer();
    Bmp.reset();
    IsVisible = false;
    if (LayerWindow) {
        if (LayerWindow->HandleAllocated())
            SetWindowPos(LayerWindow->Handle(), nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        delete LayerWindow;
        LayerWindow = nullptr;
    }
}

void TbsLayerManager::StartTimer() {
    BeginAlphaBlendValue = 0;
    Timer->SetEnabled(true);
}

void TbsLayerManager::StopTimer() {
    Timer->SetEnabled(false);
}

void TbsLayerManager::TimerTick() {
    if (!Bmp || !LayerWindow)
        return;
    BeginAlphaBlendValue = std::min(BeginAlphaBlendValue + StepAlphaBlendValue, EndAlphaBlendValue);
    ApplyLayeredImage(Bmp.get(), BYTE(BeginAlphaBlendValue), LayerWindow);
    if (BeginAlphaBlendValue == EndAlphaBlendValue)
        StopTimer();
}

void ApplyLayeredImage(TbsBitmap* Bmp, BYTE Alpha, TWinControl* Control) {
    auto Update = UserEntries().UpdateLayeredWindow;
    if (!Update || !Bmp || Bmp->Empty() || !Control)
        return;
    // The layered window takes premultiplied pixels; a skin bitmap holds straight alpha, so a premultiplied copy
    // is handed over (a see-through pixel must not add its colour to what lies below).
    TbsBitmap Premultiplied;
    Premultiplied.SetSize(Bmp->Width(), Bmp->Height());
    const int Count = Bmp->Width() * Bmp->Height();
    const TbsColor* Src = Bmp->Bits();
    TbsColor* Dst = Premultiplied.Bits();
    for (int I = 0; I < Count; ++I) {
        const TbsColor P = Src[I], A = P >> 24;
        auto Channel = [&](int Shift) { return ((((P >> Shift) & 0xFF) * A + 127) / 255) << Shift; };
        Dst[I] = (A << 24) | Channel(16) | Channel(8) | Channel(0);
    }
    POINT DstPt{Control->Left(), Control->Top()};
    SIZE Size{Bmp->Width(), Bmp->Height()};
    POINT SrcPt{0, 0};
    BLENDFUNCTION Blend{AC_SRC_OVER, 0, Alpha, AC_SRC_ALPHA};
    Update(Control->Handle(), nullptr, &DstPt, &Size, Premultiplied.DC(), &SrcPt, 0, &Blend, ULW_ALPHA);
}

void MergeImageAndMask(TBitmap* Image, TBitmap* Mask, TbsBitmap* Dest) {
    CopyPicture(Image, *Dest);
    TbsBitmap Alpha;
    CopyPicture(Mask, Alpha);
    SetAlphaFromMask(*Dest, Alpha);
}
