// The skin's layer frame around a skinned form: four borderless layered windows (left, top, right and bottom
// strip) outside the form's window, each showing its part of the layer picture with per-pixel alpha. They follow
// the form's moves, sizes, activation and opacity, and size the form when the skin marks a sizing zone.
#pragma once

#include <memory>

#include "platform/ui/Forms.h"
#include "skin/core/TbsBitmap.h"
#include "skin/core/bsSkinData.h"

class TbsSkinForm;
class TbsFormLayerBorder;

enum TbsFormLayerBorderType { bsflLeft, bsflTop, bsflRight, bsflBottom };
enum TbsFormLayerBorderHit {
    bsflhNone,
    bsflhLeft,
    bsflhTop,
    bsflhRight,
    bsflhBottom,
    bsflhTopLeft,
    bsflhTopRight,
    bsflhBottomLeft,
    bsflhBottomRight
};

// One strip: a borderless form that never takes activation; the skin-change broadcast passes it over by its
// class name.
class TbsFormLayerWindow : public TForm {
    QV_CLASS_NAME(TbsFormLayerWindow)
public:
    TbsFormLayerWindow(TbsFormLayerBorder* AOwner, TCustomForm* AForm);

    TbsFormLayerBorderHit GetHitMode();
    bool IsSizingAllowed();

    bool FDown = false;
    TCustomForm* FForm = nullptr;
    TbsFormLayerBorder* FLayerBorder = nullptr;
    TPoint MousePos1, MousePos2;
    TbsFormLayerBorderHit FHitMode = bsflhNone;
    bool FInProcessMessages = false;
    TbsFormLayerBorderType BorderType = bsflLeft;

    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void WMMouseActivate(TMessage& Message);
    TbsSkinForm* SkinForm() const;
    // The form's new bounds for a drag step by (DX, DY); false when the step is dropped.
    bool DragBounds(int DX, int DY, TRect& Bounds);
};

class TbsFormLayerBorder : public TComponent {
    QV_CLASS_NAME(TbsFormLayerBorder)
public:
    // AOwner must be the form component.
    explicit TbsFormLayerBorder(TComponent* AOwner);
    ~TbsFormLayerBorder() override;

    void InitFrame(TbsSkinData* ASkinData, TCustomForm* AForm);
    void Show(int X, int Y, int AWidth, int AHeight);
    void ShowWithForm();
    void ShowWithFormAnimation();
    void Hide();
    void SetBounds(int X, int Y, int AWidth, int AHeight);
    void SetBoundsWithForm();
    void SetBoundsWithForm2(int AW, int AH);
    void SetBoundsWithForm3(int ALeft, int ATop, int AW, int AH);
    void MoveWithForm();
    void MoveWithForm2(int ALeft, int ATop);
    void SetAlphaBlend();
    void SetAlphaBlend2();
    void CheckFormAlpha(int AFormAlpha, bool AUpdate);
    void SetActive(bool AValue, bool AUpdate);
    void Draw(TCanvas* C, int X, int Y, int AWidth, int AHeight);
    void CreateLayerImages(int AWidth, int AHeight);

    // The whole frame around a form at these bounds.
    TRect FrameBoundsOf(int ALeft, int ATop, int AW, int AH) const;
    // Where a strip of a frame at (X, Y) lies.
    TPoint StripPosition(TbsFormLayerBorderType AType, int X, int Y) const;
    bool Visible() const { return FVisible; }
    TbsFormLayerWindow* Window(TbsFormLayerBorderType AType) const;
    TbsBitmap* Image(TbsFormLayerBorderType AType) const;

    TbsSkinForm* BSF = nullptr;
    TCustomForm* FForm = nullptr;
    bool FVisible = false;
    TbsSkinData* FSD = nullptr;
    TbsDataSkinLayerFrame* FData = nullptr;
    std::unique_ptr<TbsBitmap> FSourceBitmap;
    std::unique_ptr<TbsBitmap> FSourceInActiveBitMap;
    std::unique_ptr<TbsBitmap> LeftImage, TopImage, RightImage, BottomImage;
    TbsFormLayerWindow* LeftBorder = nullptr;
    TbsFormLayerWindow* TopBorder = nullptr;
    TbsFormLayerWindow* RightBorder = nullptr;
    TbsFormLayerWindow* BottomBorder = nullptr;
    int FWidth = 0, FHeight = 0;
    int LeftSize = 0, TopSize = 0, RightSize = 0, BottomSize = 0;
    bool FActive = true;
    int FCurrentAlphaBlendValue = -1;
    int FCurrentInActiveAlphaBlendValue = 0;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void FreeWindows();
    void FreeImages();
    // Each non-empty strip's picture onto its window with the opacity of the current state.
    void ApplyImages();
    void PlaceWindows(int X, int Y, UINT Flags);
    int CurrentAlpha() const;
    // Expires with the border: loops that let the queue run check it before going on.
    std::shared_ptr<char> FAlive = std::make_shared<char>();

public:
    std::weak_ptr<char> AliveToken() const { return FAlive; }
};

// Lets the skin data's broadcast pass the strips over.
void RegisterLayeredBorderStripTest();
