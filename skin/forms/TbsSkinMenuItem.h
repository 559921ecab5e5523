// One row of a skinned popup menu window: a menu item bound to the skin's menu-item record, with its hover and
// pressed state, its hover effects (morph or frame animation) and its drawing in the skin look or the default
// look; entering and clicking go on to the menu stack.
#pragma once

#include "platform/ui/Menus.h"
#include "skin/core/bsSkinData.h"

class TbsSkinPopupWindow;

// The small marks of menu rows.
void DrawCheckMark(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawSubMenuArrow(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawRadioMark(TCanvas* Canvas, int X, int Y, TColor Color);
int RectWidth(const TRect& R);
int RectHeight(const TRect& R);

// Colour of a highlighted row in the default look.
constexpr TColor clMenuItemHot = 13811126; // RGB(182, 189, 210)

class TbsSkinMenuItem : public TObject {
public:
    // AData may be null (the default look).
    TbsSkinMenuItem(TbsSkinPopupWindow* AParent, TMenuItem* AMenuItem, TbsDataSkinMenuItem* AData);

    bool EnableMorphing() const;
    bool EnableAnimation() const;
    virtual bool CanMorphing();
    void DoMorphing();
    double MorphKf() const { return FMorphKf; }
    void SetMorphKf(double Value);

    // Draws the row at ObjectRect on the canvas (the window's, or a paint buffer's).
    void Draw(TCanvas* Cnvs);
    void DefaultDraw(TCanvas* Cnvs);
    void RedrawWithEffect();

    void MouseEnter(bool Kb);
    void MouseLeave();
    void MouseDown(int X, int Y);

    bool IsDivider() const { return MenuItem->Caption() == u"-"; }
    // A disabled "-Word-": shown as a header with the word alone.
    bool IsHeader() const;
    String HeaderText() const;

    TbsSkinPopupWindow* Parent;
    TbsDataSkinMenuItem* MI;
    TBitmap* ActivePicture = nullptr;
    double FMorphKf = 0;
    TMenuItem* MenuItem;
    TRect ObjectRect;
    bool Active = false;
    bool Down = false;
    bool FVisible = true;
    bool WaitCommand = false;
    int CurrentFrame = 0;
    // The record's normal and hover images; empty when the record names no usable picture.
    TRect SkinRect;
    TRect ActiveSkinRect;

private:
    bool Highlighted() const { return Active || Down; }
    bool HasImages() const;
    bool HasGlyph() const;
    TRect AnimationFrameRect(int N) const;
    // The row's image in the skin look into B (of the row's size); FromFrame: the current animation frame.
    void CreateItemImage(TBitmap& B, bool AHighlighted, bool FromFrame);
    void DrawHeaderItem(TCanvas* C, int W, int H);
    // The glyph or mark at the row's start, in Colour; Text is the text rectangle.
    void DrawGlyph(TCanvas* C, const TRect& Text, TColor Colour, bool AHighlighted);
    // Skin images of the check, radio and arrow marks, centred in R.
    void DrawSkinImage(TCanvas* C, const TRect& R, const TRect& Src);
};
