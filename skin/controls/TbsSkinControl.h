// The four bases of every skinned control: attach a control to a skin data component, find its record by
// name, copy the record's face geometry, paint off-screen from the skin (or in the default look when the
// skin has no record), shape a windowed control from the skin's mask, and follow skin switches.
#pragma once

#include <memory>

#include "platform/gdi/ImgList.h"
#include "platform/ui/Controls.h"
#include "skin/core/bsSkinData.h"
#include "skin/core/bsUtils.h"

class TbsSkinData;

// Asks a skinned control to check again whether it shows its parent's background.
constexpr UINT WM_CHECKPARENTBG = WM_USER + 260; // 0x504

// What a skinned control asks of a tool bar it lies on: centring of its children and the bar's images.
// The skinned tool bar answers it; any other parent does not.
class TbsToolBarParent {
public:
    virtual ~TbsToolBarParent() = default;
    virtual bool AdjustControls() const = 0;
    virtual TRect GetSkinClientRect() = 0;
    virtual TCustomImageList* Images() const = 0;
    virtual TCustomImageList* HotImages() const = 0;
    virtual TCustomImageList* DisabledImages() const = 0;
};

// The face geometry a control copies from a generic control record, and the rules that size and map it.
// Shared by the windowed and the windowless custom control.
class TbsSkinFace {
public:
    TRect RealClientRect() const { return NewClRect; }
    int RealClientWidth() const { return NewClRect.Right - NewClRect.Left; }
    int RealClientHeight() const { return NewClRect.Bottom - NewClRect.Top; }
    int RealClientLeft() const { return NewClRect.Left; }
    int RealClientTop() const { return NewClRect.Top; }

    // -1 empty face, 0 fixed, 1 nine-part, 2 horizontal strip, 3 vertical strip.
    int GetResizeMode() const;

    TPoint LTPt, RTPt, LBPt, RBPt;
    TRect SkinRect;
    TRect ClRect;
    TPoint NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint;
    TRect NewClRect;
    TBitmap* Picture = nullptr;
    TBitmap* MaskPicture = nullptr;
    int ResizeMode = 0;
    bool StretchEffect = false;
    TbsStretchType StretchType = bsstFull;
    bool LeftStretch = false;
    bool TopStretch = false;
    bool RightStretch = false;
    bool BottomStretch = false;

protected:
    // Copies the generic part of record Index of SD; a record of another kind leaves mode 0 and no pictures.
    void ReadFace(TbsSkinData* SD, int Index);
    // The size rules at (W, H); HasRecord false leaves everything as it is.
    void CalcFaceSize(int& W, int& H, bool HasRecord);
    // ARect of the face, in skin coordinates, at the control's size Width x Height.
    TRect MapChildRect(const TRect& ARect, int Width, int Height) const;
    // Draws ARect of APicture into B by the resize mode; NinePart false skips mode 1 (the border path paints).
    void DrawFace(TBitmap* B, TBitmap* APicture, const TRect& ARect, int Width, int Height, bool NinePart);
};

// ---------------------------------------------------------------------------------------------
// What both skinned bases add to their class-library control (the windowed TCustomControl, the windowless
// TGraphicControl): the skin data and record name, the hint properties, the mouse enter and leave events and the
// off-screen paint.

template <class TBase> class TbsSkinnedControl : public TBase {
public:
    explicit TbsSkinnedControl(TComponent* AOwner) : TBase(AOwner) {}

    TbsSkinData* SkinData() const { return FSD; }
    virtual void SetSkinData(TbsSkinData* Value);
    const String& SkinDataName() const { return FSkinDataName; }
    virtual void SetSkinDataName(const String& Value) { FSkinDataName = Value; }
    const String& HintTitle() const { return FHintTitle; }
    void SetHintTitle(const String& Value) { FHintTitle = Value; }
    int HintImageIndex() const { return FHintImageIndex; }
    void SetHintImageIndex(int Value) { FHintImageIndex = Value; }
    TCustomImageList* HintImageList() const { return FHintImageList; }
    void SetHintImageList(TCustomImageList* Value);

    virtual void GetSkinData();
    virtual void ChangeSkinData();
    virtual void BeforeChangeSkinData() { FIndex = -1; }

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    TbsSkinData* FSD = nullptr;
    String FSkinDataName;
    int FIndex = -1;

    void Dispatch(TMessage& Message) override;

protected:
    virtual void CreateControlDefaultImage(TBitmap*) {}
    virtual void CreateControlSkinImage(TBitmap*) {}
    void Paint() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    bool Designing() const { return this->ComponentState().Contains(csDesigning); }

    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);

    String FHintTitle;
    int FHintImageIndex = 0;
    TCustomImageList* FHintImageList = nullptr;
};

extern template class TbsSkinnedControl<TCustomControl>;
extern template class TbsSkinnedControl<TGraphicControl>;

class TbsSkinControl : public TbsSkinnedControl<TCustomControl> {
    QV_CLASS_NAME(TbsSkinControl)
public:
    explicit TbsSkinControl(TComponent* AOwner) : TbsSkinnedControl(AOwner) {}

    virtual void AfterChangeSkinData() {}
    virtual void CheckParentBackground() {}

    bool FromWMPaint = false;
    HRGN FRgn = nullptr;

    void Dispatch(TMessage& Message) override;

protected:
    void WMPaint(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    void WMCheckParentBackground(TMessage& Message);
};

// The windowless twin (speed buttons).
class TbsGraphicSkinControl : public TbsSkinnedControl<TGraphicControl> {
    QV_CLASS_NAME(TbsGraphicSkinControl)
public:
    explicit TbsGraphicSkinControl(TComponent* AOwner);
};

// ---------------------------------------------------------------------------------------------
// What both custom bases add: the face geometry of a generic record, the size used without a record, the
// default font and the size rules.

template <class TSkinned> class TbsSkinnedCustomControl : public TSkinned, public TbsSkinFace {
public:
    explicit TbsSkinnedCustomControl(TComponent* AOwner);

    int DefaultWidth() const { return FDefaultWidth; }
    void SetDefaultWidth(int Value);
    int DefaultHeight() const { return FDefaultHeight; }
    void SetDefaultHeight(int Value);
    TFont* DefaultFont() const { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value);
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }

    void GetSkinData() override;
    virtual void DefaultFontChanged() {}
    virtual void CalcSize(int& W, int& H);
    TRect CalcChildRect(const TRect& ARect) const { return MapChildRect(ARect, this->Width(), this->Height()); }

    int FDefaultWidth = 0;
    int FDefaultHeight = 0;
    std::unique_ptr<TFont> FDefaultFont;
    bool FUseSkinFont = true;

protected:
    void CreateControlDefaultImage(TBitmap* B) override;
    void DefaultFontChange(TObject* Sender);
};

extern template class TbsSkinnedCustomControl<TbsSkinControl>;
extern template class TbsSkinnedCustomControl<TbsGraphicSkinControl>;

class TbsSkinCustomControl : public TbsSkinnedCustomControl<TbsSkinControl> {
    QV_CLASS_NAME(TbsSkinCustomControl)
public:
    explicit TbsSkinCustomControl(TComponent* AOwner) : TbsSkinnedCustomControl(AOwner) {}
    ~TbsSkinCustomControl() override;

    bool ForcebackGround() const { return FForceBackground; }
    void SetForcebackGround(bool Value) { FForceBackground = Value; }
    bool DrawbackGround() const { return FDrawbackground; }
    void SetDrawbackGround(bool Value) { FDrawbackground = Value; }

    void ChangeSkinData() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    virtual void SetControlRegion();
    // Tells every child to check its parent background again (children copy a stretched face).
    void SendCheckParentBackground();

    bool FForceBackground = false;
    bool FDrawbackground = true;

protected:
    void Paint() override;
    void CreateControlSkinImage(TBitmap* B) override;
    void DrawSkinImage(TBitmap* B, TBitmap* APicture, const TRect& ARect);
    void SetMaskRegion();

private:
    void PaintBorders();
    void FillClientTile(HDC DC);
    void ReplaceRegion(HRGN NewRgn);
};

class TbsGraphicSkinCustomControl : public TbsSkinnedCustomControl<TbsGraphicSkinControl> {
    QV_CLASS_NAME(TbsGraphicSkinCustomControl)
public:
    explicit TbsGraphicSkinCustomControl(TComponent* AOwner) : TbsSkinnedCustomControl(AOwner) {}

    void ChangeSkinData() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    void CreateControlSkinImage(TBitmap* B) override;
    void DrawSkinImage(TBitmap* B, TBitmap* APicture, const TRect& ARect);
};

// Points Field at Value and asks to hear when that skin data goes away (a control that keeps its own reference).
void ReferToSkinData(TComponent* Control, TbsSkinData*& Field, TbsSkinData* Value);

// The skin's font, used by both custom controls: "Arial", no style, height 14.
std::unique_ptr<TFont> CreateSkinDefaultFont();
// The tool bar the control lies on, or null.
TbsToolBarParent* ToolBarOf(const TControl* Control);
