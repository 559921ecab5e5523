// Skinned hints: the hint window every hint of the application is shown in, drawn from the skin's hint picture,
// and the component on the main form that installs it and shows the library's own delayed hints.
#pragma once

#include <memory>

#include "platform/gdi/ImgList.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Hints.h"
#include "skin/core/bsSkinData.h"

class TbsSkinHint;

class TbsSkinHintWindow : public THintWindow {
    QV_CLASS_NAME(TbsSkinHintWindow)
public:
    explicit TbsSkinHintWindow(TComponent* AOwner);
    ~TbsSkinHintWindow() override;

    void ActivateHint(TRect Rect, const String& AHint) override;
    void ActivateHintEx(TRect Rect, const String& AHintTitle, const String& AHint, int AImageIndex,
                        TCustomImageList* AImageList);
    void ActivateHintFromRect(const TRect& ARect, const String& AHint, bool ATop);
    void Dispatch(TMessage& Message) override;

    TRect NewClRect;
    TPoint NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint;
    TbsSkinHint* FspHint = nullptr;
    TbsSkinData* FSD = nullptr;
    HRGN FRgn = nullptr;
    bool FOldAlphaBlend = false;
    Byte FOldAlphaBlendValue = 0;
    bool AExtendedStyle = false;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;

private:
    // Where the window goes: at the rectangle's corner, or centred above or below it.
    enum class TPlace { AtCorner, Above, Below };
    void Activate(TRect Rect, const String& AHint, const String& ATitle, int AImageIndex, TCustomImageList* AImageList,
                  TPlace Place);
    void SetupFont(TCanvas* C);
    bool ImageValid(TCustomImageList* L, int Index) const;
    void PaintText(TCanvas* C, const TRect& Area);

    String FTitle;
    int FImageIndex = 0;
    TCustomImageList* FImageList = nullptr;
};

class TbsSkinHint : public TComponent {
    QV_CLASS_NAME(TbsSkinHint)
public:
    explicit TbsSkinHint(TComponent* AOwner);
    ~TbsSkinHint() override;

    bool Active() const { return FActive; }
    void SetActive(bool Value);
    TbsSkinData* SkinData() const { return FSD; }
    void SetSkinData(TbsSkinData* Value) { FSD = Value; }
    bool AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(bool Value) { FAlphaBlend = Value; }
    Byte AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(Byte Value) { FAlphaBlendValue = Value; }
    bool AlphaBlendAnimation() const { return FAlphaBlendAnimation; }
    void SetAlphaBlendAnimation(bool Value) { FAlphaBlendAnimation = Value; }
    TFont* DefaultFont() const { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    const String& LineSeparator() const { return FLineSeparator; }
    void SetLineSeparator(const String& Value) { FLineSeparator = Value; }

    void ActivateHint(const TPoint& P, const String& AHint);
    void ActivateHintEx(const TPoint& P, const String& AHintTitle, const String& AHint, int AImageIndex,
                        TCustomImageList* AImageList);
    void ActivateHint2(const String& AHint);
    void ActivateHint3(const TRect& AFromRect, const String& AHint, bool ATop);
    void ActivateHintEx2(const String& AHintTitle, const String& AHint, int AImageIndex, TCustomImageList* AImageList);
    void HideHint();
    bool IsVisible() const;
    int GetCursorHeightMargin();
    TbsSkinHintWindow* HintWindow() const { return HW.get(); }
    // Whether an own hint is waiting for its delay.
    bool HintPending() const { return HintTimer && HintTimer->Enabled() && FPending != TPending::None; }

    TShowHintEvent OnShowHint;

    String FHintTitle;
    int FHintImageIndex = 0;
    TCustomImageList* FHintImageList = nullptr;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    enum class TPending { None, AtCursor, FromRect };
    void SelfOnShowHint(String& HintStr, bool& CanShow, THintInfo& HintInfo);
    void ClearTitleAndImage();
    void StartDelay(TPending Kind);
    void HintTimerTick();

    bool FActive = true;
    TbsSkinData* FSD = nullptr;
    std::unique_ptr<TbsSkinHintWindow> HW;
    bool FAlphaBlend = false;
    Byte FAlphaBlendValue = 0;
    bool FAlphaBlendAnimation = false;
    std::unique_ptr<TFont> FDefaultFont;
    bool FUseSkinFont = true;
    // One delay timer, reconfigured for each request: a request replaces whatever was pending.
    std::unique_ptr<TTimer> HintTimer;
    String HintText;
    String FLineSeparator = u"@";
    TRect FromRect;
    bool Top = false;
    TPending FPending = TPending::None;
};

// The active hint component of the main form, or nil.
TbsSkinHint* GetGoverningSkinHint();
