// The skinned single-line edit: its frame lives in the window's non-client area, painted from the skin's
// "edit" record (or "buttonedit" for an edit with a button) or in a plain 3-D look, so the client area is
// exactly the text area. An optional edit button sits in the frame at the right; optional left and right
// image buttons from an image list sit inside the client area. Both are reached through custom hit codes.
#pragma once

#include "platform/gdi/ImgList.h"
#include "skin/controls/TbsCustomEdit.h"
#include "skin/controls/TbsSkinListBox.h"
#include "skin/core/bsSkinData.h"

// Hit codes of the edit's buttons: the left and right image buttons, the edit button (HTHSCROLL's value)
// and the rest of the frame (HTVSCROLL's value).
constexpr LRESULT HT_EDIT_LEFTIMAGE = 104;
constexpr LRESULT HT_EDIT_RIGHTIMAGE = 105;
constexpr LRESULT HT_EDIT_BUTTON = 6;
constexpr LRESULT HT_EDIT_FRAME = 7;

// Messages other components may send to have a control paint its frame into a device context.
constexpr UINT WM_PAINTFRAMETO = 0xB1C9;     // answered 12851
constexpr UINT WM_PAINTBGORFRAMETO = 0xBC4B; // with LParam 16802, answered 16802
constexpr UINT WM_PAINTBGTO = 0xBC4A;

class TbsSkinCustomEdit : public TbsCustomEdit {
    QV_CLASS_NAME(TbsSkinCustomEdit)
public:
    explicit TbsSkinCustomEdit(TComponent* AOwner);
    ~TbsSkinCustomEdit() override;

    TbsSkinData* SkinData() const { return FSD; }
    // Stores the skin and, unless it is null or empty, applies it.
    virtual void SetSkinData(TbsSkinData* Value);
    virtual void ChangeSkinData();
    const String& SkinDataName() const { return FSkinDataName; }
    void SetSkinDataName(const String& Value) { FSkinDataName = Value; }

    TColor DefaultColor() const { return FDefaultColor; }
    void SetDefaultColor(TColor Value);
    TFont* DefaultFont() const { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    int DefaultWidth() const { return FDefaultWidth; }
    void SetDefaultWidth(int Value);
    int DefaultHeight() const { return FDefaultHeight; }
    void SetDefaultHeight(int Value);
    bool ButtonMode() const { return FButtonMode; }
    void SetButtonMode(bool Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    int LeftImageIndex() const { return FLeftImageIndex; }
    void SetLeftImageIndex(int Value);
    int LeftImageHotIndex() const { return FLeftImageHotIndex; }
    void SetLeftImageHotIndex(int Value) { FLeftImageHotIndex = Value; }
    int LeftImageDownIndex() const { return FLeftImageDownIndex; }
    void SetLeftImageDownIndex(int Value) { FLeftImageDownIndex = Value; }
    int RightImageIndex() const { return FRightImageIndex; }
    void SetRightImageIndex(int Value);
    int RightImageHotIndex() const { return FRightImageHotIndex; }
    void SetRightImageHotIndex(int Value) { FRightImageHotIndex = Value; }
    int RightImageDownIndex() const { return FRightImageDownIndex; }
    void SetRightImageDownIndex(int Value) { FRightImageDownIndex = Value; }
    // Recreates the window on change, so its alignment style follows.
    void SetAlignment(TAlignment Value);

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Invalidate() override;
    // The edit as it would look holding AText, drawn on C at X, Y.
    void PaintSkinTo(TCanvas* C, int X, int Y, const String& AText);
    // The height for the font: its text height plus the frame.
    int CalcEditHeight();
    void AdjustHeight();
    // Sends WM_NCPAINT to the window when it has a parent.
    void RepaintFrame();

    // The edit button in window coordinates, and the text area (the client area) in window coordinates.
    TRect ButtonRectInWindow() const { return FButtonRect; }
    TRect EditRect() const { return FEditRect; }

    TNotifyEvent OnButtonClick;
    TNotifyEvent OnLeftButtonClick;
    TNotifyEvent OnRightButtonClick;

    void Dispatch(TMessage& Message) override;

    TbsCBButtonX LeftButton, RightButton;
    bool FStopDraw = false;
    TColor FDefaultColor = clWindow;
    TRect FButtonRect;
    bool FButtonMode = false;
    bool FButtonDown = false;
    bool FButtonActive = false;
    TRect FEditRect;
    bool FMouseIn = false;
    int FIndex = -1;
    TbsSkinData* FSD = nullptr;
    String FSkinDataName = u"edit";
    TBitmap* Picture = nullptr;
    std::unique_ptr<TFont> FDefaultFont;
    bool FUseSkinFont = true;
    int FDefaultWidth = 0;
    int FDefaultHeight = 0;
    TCustomImageList* FImages = nullptr;
    int FLeftImageIndex = -1;
    int FLeftImageHotIndex = -1;
    int FLeftImageDownIndex = -1;
    int FRightImageIndex = -1;
    int FRightImageHotIndex = -1;
    int FRightImageDownIndex = -1;
    int LOffset = 0;
    int ROffset = 0;
    TRect ClRect, SkinRect, ActiveSkinRect;
    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 14;
    TColor FontColor = 0;
    TColor DisabledFontColor = 0;
    TColor ActiveFontColor = 0;
    TRect ButtonRect, ActiveButtonRect, DownButtonRect, UnEnabledButtonRect;
    bool StretchEffect = false;

protected:
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateParams(TCreateParams& Params) override;

    void GetSkinData();
    void CalcRects();
    void DrawFrame(HDC DC);
    void DrawResizeFrame(HDC DC);
    void DrawResizeButton(TCanvas* C);
    void PaintClientBackground(HDC DC);
    void DrawImages(HDC DC);
    // Places the image buttons; SetFormatRect also narrows the text to the space between them.
    void UpdateImageRects(bool SetFormatRect = true);

    void WMNCCalcSize(TMessage& Message);
    void WMNCPaint(TMessage& Message);
    void WMNCHitTest(TMessage& Message);
    void WMNCLButtonDown(TMessage& Message);
    void WMNCLButtonUp(TMessage& Message);
    void WMNCMouseMove(TMessage& Message);
    void WMMouseMove(TMessage& Message);
    void WMLButtonUp(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    void WMPaint(TMessage& Message);
    void WMFocusChanged(TMessage& Message);
    void WMSize(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void WMPaintFrameTo(TMessage& Message);
    void WMPaintBgOrFrameTo(TMessage& Message);

private:
    bool Skinned() const { return FIndex != -1; }
    bool Hot() { return FMouseIn || Focused(); }
    TFontCharset TextCharset() const;
    // Paints the frame bitmap of the whole window into DC (the text area excluded or not by the caller).
    void PaintFrameTo(HDC DC);
    void DrawDisabledText(HDC DC);
    // Whether the press on an image button or the edit button began there.
    bool FButtonPressed = false;
};

class TbsSkinEdit : public TbsSkinCustomEdit {
    QV_CLASS_NAME(TbsSkinEdit)
public:
    using TbsSkinCustomEdit::TbsSkinCustomEdit;
};
