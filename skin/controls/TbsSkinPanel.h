// The skinned panel: a container drawn from the skin's panel record, with an optional caption bar that carries
// the caption, a glyph or an image-list image, a check box that can enable the children and a roll-up marker
// that collapses the panel to its bar. Without a record it draws a 3-D look of its own; transparent, it shows
// its parent and, with a caption, a group-box outline. The paint panel lets the application paint its content;
// the group box is a panel with its caption bar on and a record of its own.
#pragma once

#include <functional>
#include <memory>

#include "platform/gdi/ImgList.h"
#include "skin/controls/TbsSkinControl.h"

// The default look's border (the zero value bvFrame is the initial one). Scoped: the class library's panel
// bevels use the same words.
enum class TbsSkinBorderStyle { bvFrame, bvRaised, bvLowered, bvNone };
// Where the caption's image stands in the skinned caption: with the text, or at the caption's left edge.
enum TbsImagePosition { bsipDefault, bsipLeft };
// The application's painting of a paint panel's content into R of Cnvs.
using TbsPaintPanelEvent = std::function<void(TCanvas* Cnvs, TRect& R)>;

class TbsSkinPanel : public TbsSkinCustomControl {
    QV_CLASS_NAME(TbsSkinPanel)
public:
    explicit TbsSkinPanel(TComponent* AOwner);
    ~TbsSkinPanel() override;

    bool RibbonStyle() const { return FRibbonStyle; }
    void SetRibbonStyle(bool Value);
    TbsImagePosition ImagePosition() const { return FImagePosition; }
    void SetImagePosition(TbsImagePosition Value);
    bool TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(bool Value);
    TCustomImageList* CaptionImageList() const { return FCaptionImageList; }
    void SetCaptionImageList(TCustomImageList* Value);
    int CaptionImageIndex() const { return FCaptionImageIndex; }
    void SetCaptionImageIndex(int Value);
    int RealHeight() const { return FRealHeight; }
    void SetRealHeight(int Value) { FRealHeight = Value; }
    bool AutoEnabledControls() const { return FAutoEnabledControls; }
    void SetAutoEnabledControls(bool Value) { FAutoEnabledControls = Value; }
    bool CheckedMode() const { return FCheckedMode; }
    void SetCheckedMode(bool Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    TAlignment DefaultAlignment() const { return FDefaultAlignment; }
    void SetDefaultAlignment(TAlignment Value);
    int DefaultCaptionHeight() const { return FDefaultCaptionHeight; }
    virtual void SetDefaultCaptionHeight(int Value);
    TbsSkinBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TbsSkinBorderStyle Value);
    bool CaptionMode() const { return FCaptionMode; }
    virtual void SetCaptionMode(bool Value);
    bool RollUpMode() const { return FRollUpMode; }
    void SetRollUpMode(bool Value);
    bool RollUpState() const { return FRollUpState; }
    void SetRollUpState(bool Value);
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);

    void DoRollUp(bool ARollUp);
    // (0, 0, Width, Height) through the panel's client rule.
    TRect GetSkinClientRect();
    // The panel's current look drawn at X, Y of another canvas.
    void PaintskinTo(TCanvas* C, int X, int Y);

    void GetSkinData() override;
    void ChangeSkinData() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Dispatch(TMessage& Message) override;

    TNotifyEvent OnChecked;
    TNotifyEvent OnChangeRollUpState;

    // Copies of the record (caption font, caption and check images, caption frame, background picture).
    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 12;
    TColor FontColor = 0;
    TAlignment Alignment = taCenter;
    TRect CaptionRect;
    TRect NewCaptionRect;
    TRect NewRollUpMarkerRect;
    int BGPictureIndex = -1;
    TRect CheckImageRect, UnCheckImageRect;
    TRect MarkFrameRect;
    TRect FrameRect;
    int FrameLeftOffset = 0;
    int FrameRightOffset = 0;
    TRect FrameTextRect;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    void AdjustClientRect(TRect& Rect) override;
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void CreateControlDefaultImage(TBitmap* B) override;
    void CreateControlSkinImage(TBitmap* B) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    virtual void PaintPanelContent(TCanvas* Cnvs) {}

    void WMMove(TMessage& Message);
    void WMCheckParentBg(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMTextChanged(TMessage& Message);

    // The font of the skinned caption (record font or DefaultFont, the skin's character set).
    void SetCaptionFont(TCanvas* C);
    // The caption's image: the image list's when the glyph is empty and the index is valid.
    bool HasListImage() const;
    TBitmap* ActivePicture(int Index) const;

    bool FRibbonStyle = false;
    bool FInChangingRollUp = false;
    TbsImagePosition FImagePosition = bsipDefault;
    bool FTransparentMode = false;
    int FCMaxWidth = 0, FCMinWidth = 0, FCMaxHeight = 0, FCMinHeight = 0;
    bool FCheckedMode = false;
    bool FChecked = false;
    std::unique_ptr<TBitmap> FGlyph = std::make_unique<TBitmap>();
    int FNumGlyphs = 1;
    int FSpacing = 2;
    int FRealHeight = -1;
    bool FRollUpState = false;
    bool FRollUpMode = false;
    bool FCaptionMode = false;
    TbsSkinBorderStyle FBorderStyle = TbsSkinBorderStyle::bvFrame;
    int FDefaultCaptionHeight = 22;
    TAlignment FDefaultAlignment = taLeftJustify;
    bool FAutoEnabledControls = true;
    TCustomImageList* FCaptionImageList = nullptr;
    int FCaptionImageIndex = -1;
    // Aligning is held off while rolled up; a skin change that rolls up again does not hold it twice.
    bool FRolledAlignDisabled = false;

private:
    void SendCheckParentBgToChildren();
    void PaintTransparentPanel();
    void PaintTransparentGroupBox();
    void PaintClientTile();
    void PaintBGPicture();
    void DrawSkinCaption(TBitmap* B);
    void DrawCaptionFrame(TCanvas* C, int& TextX, int& ImageX, int TextW);
    void DrawDefaultCaption(TBitmap* B, TRect R);
    // The caption's image (list image or glyph frame) at X, Y; its width and height.
    void DrawCaptionImage(TCanvas* C, int X, int Y);
    int CaptionImageWidth() const;
    int CaptionImageHeight() const;
    bool CaptionHit(int X, int Y);
};

// A panel whose content the application paints through OnPanelPaint.
class TbsSkinPaintPanel : public TbsSkinPanel {
    QV_CLASS_NAME(TbsSkinPaintPanel)
public:
    explicit TbsSkinPaintPanel(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

    TbsPaintPanelEvent OnPanelPaint;

protected:
    void PaintPanelContent(TCanvas* Cnvs) override;
    void CreateControlDefaultImage(TBitmap* B) override;
    void CreateControlSkinImage(TBitmap* B) override;
};

// A panel with its caption bar on and the record "groupbox".
class TbsSkinGroupBox : public TbsSkinPanel {
    QV_CLASS_NAME(TbsSkinGroupBox)
public:
    explicit TbsSkinGroupBox(TComponent* AOwner);
    void GetSkinData() override;
};
