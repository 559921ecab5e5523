// The layered glow window and the manager that shows, fades and hides it (unit bsUtils).
#pragma once

#include <memory>

#include "platform/base/Classes.h"
#include "platform/ui/Controls.h"
#include "platform/ui/ExtCtrls.h"

class TbsBitmap;

// A click-through, non-activating popup used as the layered window of a glow.
class TbsLayerWindow : public TCustomControl {
    QV_CLASS_NAME(TbsLayerWindow)
public:
    using TCustomControl::TCustomControl;
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
};

// Shows a picture with per-pixel alpha in a layered window above everything and fades it in.
class TbsLayerManager : public TComponent {
    QV_CLASS_NAME(TbsLayerManager)
public:
    explicit TbsLayerManager(TComponent* AOwner);
    ~TbsLayerManager() override;

    // AImage at screen X, Y; each pixel's opacity from AImageMask (white opaque), fading in to AAlphaBlendValue.
    void Show(int X, int Y, TBitmap* AImage, TBitmap* AImageMask, int AAlphaBlendValue);
    void Hide();
    void StartTimer();
    void StopTimer();
    bool TimerEnabled() const { return Timer->Enabled(); }
    // One step of the fade, as the timer runs it every 25 ms.
    void TimerTick();

    TbsLayerWindow* LayerWindow = nullptr;
    std::unique_ptr<TbsBitmap> Bmp;
    TTimer* Timer = nullptr; // owned as a component
    int EndAlphaBlendValue = 0;
    int BeginAlphaBlendValue = 0;
    int StepAlphaBlendValue = 0;
    bool IsVisible = false;
    bool TopMostMode = true;

    static constexpr Cardinal TimerInterval = 25;
};
