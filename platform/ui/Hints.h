// Hints: the window that shows a control's hint. The application's hint manager (Forms.h) makes it
// through HintWindowClass, which a skinned hint window replaces.
#pragma once

#include "platform/ui/Controls.h"

#include <functional>

class THintWindow : public TCustomControl {
    QV_CLASS_NAME(THintWindow)
public:
    explicit THintWindow(TComponent* AOwner);

    // Shows the hint text at a screen rectangle (kept on the screen), without taking the activation.
    virtual void ActivateHint(TRect Rect, const String& AHint);
    virtual void ActivateHintData(TRect Rect, const String& AHint, void* AData) { ActivateHint(Rect, AHint); }
    // The rectangle (at 0, 0) the text needs, broken into lines no wider than MaxWidth.
    virtual TRect CalcHintRect(int MaxWidth, const String& AHint, void* AData);
    // Hides the window and gives its handle back.
    void ReleaseHandle();
    bool IsShowing() { return HandleAllocated() && IsWindowVisible(Handle()); }

    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
};

// Makes the hint window the application shows hints in.
using THintWindowClass = std::function<THintWindow*(TComponent* AOwner)>;
extern THintWindowClass HintWindowClass;
