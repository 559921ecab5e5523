// The caption of a skinned frame: the form's caption text on the frame picture or on a background of its own,
// with its effects, a morph between the inactive and the active look and a frame animation; and the quick
// buttons the application adds at the caption's left end.
#pragma once

#include "platform/base/Classes.h"
#include "skin/forms/TbsActiveSkinObject.h"

class TbsSkinForm;

class TbsQuickButtonItem : public TCollectionItem {
public:
    explicit TbsQuickButtonItem(TCollection* Collection) : TCollectionItem(Collection) {}
    void Assign(TPersistent* Source) override;

    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    TNotifyEvent OnClick;
    TRect ItemRect;
    bool Active = false;
    bool Down = false;

private:
    int FImageIndex = -1;
    String FHint;
    bool FEnabled = true;
    bool FVisible = true;
};

class TbsQuickButtonItems : public TCollection {
public:
    explicit TbsQuickButtonItems(TbsSkinForm* ABSF);
    TPersistent* GetOwner() const override;
    TbsQuickButtonItem* Add() { return static_cast<TbsQuickButtonItem*>(TCollection::Add()); }
    TbsQuickButtonItem* Insert(int Index) { return static_cast<TbsQuickButtonItem*>(TCollection::Insert(Index)); }
    TbsQuickButtonItem* Items(int Index) const { return ItemsAs<TbsQuickButtonItem>(Index); }

protected:
    // A changed button repaints the frame.
    void Update(TCollectionItem* Item) override;

private:
    TbsSkinForm* FSkinForm = nullptr;
};

class TbsSkinCaptionObject : public TbsActiveSkinObject {
public:
    TbsSkinCaptionObject(TbsSkinForm* AParent, TbsDataSkinObject* AData);

    void Draw(TCanvas* Cnvs, bool UpDate) override;
    void MouseDown(int X, int Y, TMouseButton Button) override;
    void MouseUp(int X, int Y, TMouseButton Button) override;
    void MouseMove(int X, int Y) override;
    void MouseEnter() override;
    void MouseLeave() override;

    bool EnableAnimation();
    // The width of the quick-button strip at the caption's left end (0 without quick buttons).
    int QuickButtonsWidth();
    void TrackQuickButtons(int X, int Y);
    void DrawQuickButtons(TCanvas* Canvas);

    int ActiveQuickButton = -1;
    int OldActiveQuickButton = -1;
    String FontName;
    TFontStyles FontStyle;
    int FontHeight = 0;
    TColor FontColor = 0;
    TColor ActiveFontColor = 0;
    TColor ShadowColor = 0;
    TColor ActiveShadowColor = 0;
    bool Shadow = false;
    TColor LightColor = 0;
    TColor ActiveLightColor = 0;
    bool Light = false;
    TAlignment Alignment = taLeftJustify;
    TRect TextRct;
    TRect FrameRect;
    TRect ActiveFrameRect;
    int FrameLeftOffset = 0;
    int FrameRightOffset = 0;
    TRect FrameTextRect;
    bool StretchEffect = false;
    bool FullFrame = false;
    int FIncTime = 0;
    TRect AnimateSkinRect;
    int FrameCount = 0;
    int AnimateInterval = 25;
    int CurrentFrame = 0;
    bool InActiveAnimation = false;
    bool VistaGlowEffect = false;
    bool VistaGlowInActiveEffect = false;
    bool GlowEffect = false;
    bool GlowInActiveEffect = false;
    int GlowSize = 0;
    TColor GlowColor = 0;
    TColor GlowActiveColor = 0;
    int GlowOffset = 0;
    bool ReflectionEffect = false;
    TColor ReflectionColor = 0;
    TColor ReflectionActiveColor = 0;
    int ReflectionOffset = 0;

private:
    bool HasQuickButtons();
    void SetupFont(TCanvas* C, TColor Color);
    // The caption's background of ObjectRect's size from rectangle S of picture P.
    void MakeBackground(TBitmap& B, TBitmap* P, const TRect& S);
    TRect AnimationFrame(int N) const;
    String CaptionText();
    void DrawCaptionText(TCanvas* Canvas, int DX, int DY, bool AActive);
    void DrawEffected(TCanvas* Cnvs, TBitmap& B);
    void RepaintFrame();

    TCanvas* FDrawCanvas = nullptr; // the canvas Draw was called with, for OnCaptionPaint
    TRect TR;                       // the text rectangle of the current drawing
};
