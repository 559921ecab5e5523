// The MDI tabs bar: one tab per MDI child of a skinned MDI parent. A click brings the child forward, a right click
// opens the child's system menu, tabs can be dragged into a new order and closed by their own buttons, and tabs
// that do not fit are reached through a list button at the right end.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/Forms.h"
#include "skin/controls/bsSkinCtrls.h"

class TbsSkinForm;
class TbsSkinMDITabsBar;
class TbsSkinPopupMenu;

enum TbsSkinMDITabKind { bstkTab, bstkButton };

class TbsMDITab : public TObject {
    QV_CLASS_NAME(TbsMDITab)
public:
    TbsMDITab(TbsSkinMDITabsBar* ATabsBar, TCustomForm* AChild) : TabsBar(ATabsBar), Child(AChild) {}

    // Draws the tab at ObjectRect on the bar's image.
    void Draw(TCanvas* Cnvs);
    // The tab as a button of the skin's "resizebutton" record.
    void ButtonDraw(TCanvas* Cnvs);
    // The tab picture as a nine-part image, the active tab one FActiveTabOffset higher.
    void ResizeDraw(TCanvas* Cnvs);
    // The close button, vertically centred in R at its left edge; ButtonRect follows it.
    void DrawCloseButton(TCanvas* Cnvs, const TRect& R);

    TbsSkinMDITabsBar* TabsBar;
    bool Active = false;
    bool MouseIn = false;
    TRect ObjectRect;
    TCustomForm* Child;
    bool Visible = true;
    TRect ButtonRect;
    bool ButtonMouseIn = false;
    bool ButtonMouseDown = false;
    TColor TextFontColor = 0;

private:
    void DrawTabText(TCanvas* C, const TRect& TextRect);
    // The tab picture for the tab's state, with its font colour.
    const TRect& StateRect(TColor& FontColor) const;
};

using TbsMDITabEvent = std::function<void(TbsMDITab* MDITab)>;
using TbsMDITabMouseEvent = std::function<void(TMouseButton Button, TShiftState Shift, TbsMDITab* MDITab)>;
using TbsMDITabGetDrawParamsEvent = std::function<void(TbsMDITab* MDITab, TCanvas* Cnvs)>;

class TbsSkinMDITabsBar : public TbsSkinControl {
    QV_CLASS_NAME(TbsSkinMDITabsBar)
public:
    explicit TbsSkinMDITabsBar(TComponent* AOwner);
    ~TbsSkinMDITabsBar() override;

    void AddTab(TCustomForm* Child);
    void DeleteTab(TCustomForm* Child);
    // The first visible tab whose rectangle holds the point, all four edges included; -1 when none.
    int GetTabIndex(int X, int Y);
    TbsMDITab* GetTab(int X, int Y);
    int GetCloseSize();
    // Marks the tab of the main form's active MDI child.
    void UpdateTabsActive();
    int TabCount() const { return int(ObjectList.size()); }
    TbsMDITab* Tabs(int Index) const { return ObjectList.at(std::size_t(Index)).get(); }
    // The tabs hidden for want of room, after the last layout.
    int InVisibleCount() const { return FInVisibleCount; }
    TbsSkinMenuSpeedButton* ListButton() const { return FListButton; }
    TbsSkinMenuSpeedButton* HideListButton() const { return FHideListButton; }
    TbsSkinPopupMenu* ListMenu() const { return FListMenu; }
    TbsSkinPopupMenu* HideListMenu() const { return FHideListMenu; }

    bool ShowCloseButtons() const { return FShowCloseButtons; }
    void SetShowCloseButtons(bool Value);
    TbsSkinMDITabKind TabKind() const { return FTabKind; }
    void SetTabKind(TbsSkinMDITabKind Value);
    TbsSkinForm* SkinForm() const { return FSkinForm; }
    void SetSkinForm(TbsSkinForm* Value);
    bool SupportChildMenus() const { return FSupportChildMenus; }
    void SetSupportChildMenus(bool Value) { FSupportChildMenus = Value; }
    bool UseSkinSize() const { return FUseSkinSize; }
    void SetUseSkinSize(bool Value) { FUseSkinSize = Value; }
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    bool MoveTabs() const { return FMoveTabs; }
    void SetMoveTabs(bool Value) { FMoveTabs = Value; }
    int DefaultHeight() const { return FDefaultHeight; }
    void SetDefaultHeight(int Value);
    TFont* DefaultFont() const { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
    int DefaultTabWidth() const { return FDefaultTabWidth; }
    void SetDefaultTabWidth(int Value) { FDefaultTabWidth = Value; }
    int MinTabWidth() const { return FMinTabWidth; }
    void SetMinTabWidth(int Value) { FMinTabWidth = Value; }

    void GetSkinData() override;
    void ChangeSkinData() override;
    void Dispatch(TMessage& Message) override;

    TbsMDITabEvent OnTabMouseEnter;
    TbsMDITabEvent OnTabMouseLeave;
    TbsMDITabMouseEvent OnTabMouseDown;
    TbsMDITabMouseEvent OnTabMouseUp;
    TbsMDITabGetDrawParamsEvent OnTabGetDrawParamsEvent;

    // Copies of the "tab" record.
    TBitmap* FPicture = nullptr;
    TRect TabRect, ActiveTabRect, MouseInTabRect, TabsBGRect;
    int TabLeftOffset = 0, TabRightOffset = 0;
    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 14;
    TColor FontColor = 0, ActiveFontColor = 0, MouseInFontColor = 0;
    String UpDown;
    bool TabStretchEffect = false;
    TRect CloseButtonRect, ClosebuttonActiveRect, CloseButtonDownRect;
    bool ButtonTransparent = false;
    TColor ButtonTransparentColor = TColor(0x00FF00FF);
    TPoint LTPoint, RTPoint, LBPoint, RBPoint;
    TRect SkinRect, ClRect;
    bool LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false;
    bool StretchEffect = false;
    TbsStretchType StretchType = bsstFull;
    int FActiveTabOffset = 0;
    int FBottomOffset = 0;
    int FCloseSize = 14;

protected:
    void Paint() override;
    void CreateControlDefaultImage(TBitmap* B) override;
    void CreateControlSkinImage(TBitmap* B) override;
    void AdjustClientRect(TRect& Rect) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    friend class TbsMDITab;
    void CalcTabRects();
    void DrawTabs(TCanvas* C);
    void DrawDropMarker(TCanvas* C, int X);
    int GetDropIndex();
    void TrackTabs(int X, int Y);
    void RedrawTab(TbsMDITab* Tab);
    // The font of a tab's text: the skin's or DefaultFont, with the skin's character set.
    void SetupTabFont(TCanvas* C, TColor Color);
    TFontCharset TextCharset() const;
    TbsSkinMenuSpeedButton* MakeListButton(TAlign Align, int ArrowType, TbsSkinPopupMenu* Menu, bool HiddenOnly);
    void FillListMenu(TbsSkinPopupMenu* Menu, bool HiddenOnly, const String& Suffix);
    void ListItemClick(TObject* Sender);
    static void ShowChild(TCustomForm* Child);

    std::vector<std::unique_ptr<TbsMDITab>> ObjectList;
    bool FShowCloseButtons = false;
    TbsSkinMDITabKind FTabKind = bstkTab;
    TbsSkinForm* FSkinForm = nullptr;
    bool FSupportChildMenus = true;
    bool FUseSkinSize = true;
    bool FUseSkinFont = true;
    bool FMoveTabs = true;
    int FDefaultHeight = 21;
    std::unique_ptr<TFont> FDefaultFont;
    int FDefaultTabWidth = 100;
    int FMinTabWidth = 0;
    int FInVisibleCount = 0;
    TbsSkinMenuSpeedButton* FListButton = nullptr;
    TbsSkinMenuSpeedButton* FHideListButton = nullptr;
    TbsSkinPopupMenu* FListMenu = nullptr;
    TbsSkinPopupMenu* FHideListMenu = nullptr;
    int ActiveTabIndex = -1;
    int OldTabIndex = -1;
    int DragIndex = -1;
    bool IsDrag = false;
    bool FDown = false;
    int DX = 0;
    int TabDX = 0;
};
