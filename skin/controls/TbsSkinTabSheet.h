// The pages of the skinned page control: a wallpaper tiled over the page, else the page control's skin
// background; the close button's place and state the page control keeps on each page. Also the bitmap turns
// and flips the tabs are drawn with.
#pragma once

#include <memory>

#include "platform/ui/Tabs.h"

class TbsSkinPageControl;

class TbsSkinCustomTabSheet : public TTabSheet {
    QV_CLASS_NAME(TbsSkinCustomTabSheet)
public:
    explicit TbsSkinCustomTabSheet(TComponent* AOwner);
    ~TbsSkinCustomTabSheet() override;

    TBitmap* WallPaper() const { return FWallPaper.get(); }
    // Copies the picture; it shows at the next paint.
    void SetWallPaper(TBitmap* Value);

    // Paints the page's background on DC: the wallpaper, else the page control's skin, else clBtnFace.
    void PaintBG(HDC DC);

    // Where the close button was last drawn, relative to the tab's top-left corner.
    TRect ButtonRect;
    bool ButtonMouseIn = false;
    bool ButtonMouseDown = false;

    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void WMEraseBkgnd(TMessage& Message);
    void WMSize(TMessage& Message);

private:
    TbsSkinPageControl* SkinPageControl() const;
    void SendCheckParentBackground();

    std::unique_ptr<TBitmap> FWallPaper;
};

// The page placed on forms.
class TbsSkinTabSheet : public TbsSkinCustomTabSheet {
    QV_CLASS_NAME(TbsSkinTabSheet)
public:
    using TbsSkinCustomTabSheet::TbsSkinCustomTabSheet;
};

// The bitmap turned a quarter counter-clockwise (1) or clockwise (2), drawn with its top-left corner at X, Y.
void DrawRotated90_1(TCanvas* Canvas, TBitmap* Bitmap, int X, int Y);
void DrawRotated90_2(TCanvas* Canvas, TBitmap* Bitmap, int X, int Y);
// The same turns in place (width and height swap), and the mirror from top to bottom.
void Rotate90_1Bitmap(TBitmap* Bitmap);
void Rotate90_2Bitmap(TBitmap* Bitmap);
void FlipVertBitmap(TBitmap* Bitmap);
