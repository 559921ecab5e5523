// What the skinned menu bar shows: one object per top-level menu item and, while an MDI child of the main form
// is maximized, that child's system-menu, minimize, maximize and close buttons. Each object knows its place on
// the bar, draws itself in the skin look or the default look, keeps its hover and pressed state (with morphing
// or a frame animation) and acts on the mouse events the bar routes to it.
#pragma once

#include "platform/gdi/Graphics.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Menus.h"
#include "skin/core/bsSkinData.h"

class TbsSkinMainMenuBar;

// Fills of the default look's hovered and pressed objects.
constexpr TColor clBarItemHot = 13811126;  // RGB(182, 189, 210)
constexpr TColor clBarItemDown = 11899781; // RGB(133, 147, 181)

class TbsMenuBarObject : public TObject {
public:
    // AData may be null (the default look).
    TbsMenuBarObject(TbsSkinMainMenuBar* AParent, TbsDataSkinObject* AData);

    virtual void ReDraw();
    virtual void Draw(TCanvas*) {}
    virtual void MouseDown(int, int, TMouseButton) {}
    virtual void MouseUp(int, int, TMouseButton) {}
    virtual void DblClick() {}
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual bool CanMorphing();

    bool EnableMorphing() const;
    void DoMorphing();
    double MorphKf() const { return FMorphKf; }
    void SetMorphKf(double Value);

    TbsSkinMainMenuBar* Parent;
    bool FMouseIn = false;
    TBitmap* Picture = nullptr;
    bool FDown = false;
    double FMorphKf = 0;
    String IDName;
    TRect SkinRect;
    TRect ActiveSkinRect;
    TRect DownRect;
    TRect ObjectRect;
    bool Active = false;
    bool Enabled = true;
    bool Visible = true;
    bool Morphing = false;
    TbsMorphKind MorphKind = mkDefault;

protected:
    // The normal and active parts of Picture blended by MorphKf into B (of ObjectRect's size).
    void DrawMorphImage(TBitmap& B, const TRect& Normal, const TRect& Hot);
};

// A top-level menu item.
class TbsSkinMainMenuBarItem : public TbsMenuBarObject {
public:
    TbsSkinMainMenuBarItem(TbsSkinMainMenuBar* AParent, TbsDataSkinMainMenuItem* AData);

    void ReDraw() override;
    void Draw(TCanvas* Cnvs) override;
    void MouseDown(int X, int Y, TMouseButton Button) override;
    void MouseEnter() override;
    void MouseLeave() override;

    bool EnableAnimation() const;
    void SetDown(bool Value);
    void PopupItemMenu();

    bool FSkinSupport = false;
    bool OldEnabled = true;
    // The item fits on the bar (the base Visible stays on: the bar asks every item to draw, and an item that
    // does not fit finds that out while drawing).
    bool Visible = true;
    TMenuItem* MenuItem = nullptr;
    String FontName;
    int FontHeight = 14;
    TFontStyles FontStyle;
    TColor UnEnabledFontColor = 0;
    TColor FontColor = 0;
    TColor ActiveFontColor = 0;
    TColor DownFontColor = 0;
    TRect TextRct;
    int LO = 0;
    int RO = 0;
    bool StretchEffect = false;
    TRect AnimateSkinRect;
    int FrameCount = 0;
    int AnimateInterval = 25;
    bool InActiveAnimation = false;
    int CurrentFrame = 0;

private:
    // Where the item goes: after the item before it, system buttons skipped.
    TRect CalcObjectRect(TCanvas* Cnvs);
    void SetupFont(TCanvas* C);
    void DrawDefault(TCanvas* Cnvs);
    void DrawSkin(TCanvas* Cnvs);
    void DrawCaption(TCanvas* C, const TRect& TextR, bool Highlighted);
    TRect FrameRect(int N) const;
};

// A system button of a maximized MDI child.
class TbsSkinMainMenuBarButton : public TbsMenuBarObject {
public:
    TbsSkinMainMenuBarButton(TbsSkinMainMenuBar* AParent, TbsDataSkinObject* AData);

    void Draw(TCanvas* Cnvs) override;
    void MouseDown(int X, int Y, TMouseButton Button) override;
    void MouseUp(int X, int Y, TMouseButton Button) override;
    void DblClick() override;
    void MouseEnter() override;
    void MouseLeave() override;

    void DoCommand();

    bool FSkinSupport = false;
    TbsStdCommand Command = cmClose;

private:
    void DrawDefault(TCanvas* Cnvs);
};
