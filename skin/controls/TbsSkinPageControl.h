// The skinned page control: the class library's page control with its frame, tab strip and page background
// drawn from a tab record (or in a flat default look), the page area fitted to the skin's frame, a tab strip
// that can start at a fixed offset or be centred, close buttons on the tabs, hot tracking, wheel paging and a
// skinned up-down that scrolls single-line tabs that do not fit.
#pragma once

#include <functional>
#include <memory>

#include "platform/ui/Tabs.h"
#include "skin/controls/TbsSkinTabSheet.h"
#include "skin/controls/TbsSkinUpDown.h"
#include "skin/core/bsUtils.h"

class TbsSkinData;

using TbsCloseEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TbsDrawSkinTabEvent =
    std::function<void(int TabIndex, const TRect& Rct, bool Active, bool MouseIn, TCanvas* Cnvs)>;

// Answered with 12851 by the page control and its pages.
constexpr UINT WM_BSPAGEQUERY = 0xB1C9;
constexpr LRESULT BSPAGEQUERYANSWER = 12851;

class TbsSkinPageControl : public TPageControl {
    QV_CLASS_NAME(TbsSkinPageControl)
public:
    explicit TbsSkinPageControl(TComponent* AOwner);
    ~TbsSkinPageControl() override;

    // The tab size the class library sets; a height left to the control stays the skin's or DefaultItemHeight.
    void SetTabWidth(int Value);
    void SetTabHeight(int Value);
    bool MouseWheelSupport() const { return FMouseWheelSupport; }
    void SetMouseWheelSupport(bool Value) { FMouseWheelSupport = Value; }
    bool TabExtededDraw() const { return FTabExtendedDraw; }
    void SetTabExtededDraw(bool Value);
    int TabMargin() const { return FTabMargin; }
    void SetTabMargin(int Value);
    int TabSpacing() const { return FTabSpacing; }
    void SetTabSpacing(int Value);
    TbsButtonLayout TabLayout() const { return FTabLayout; }
    void SetTabLayout(TbsButtonLayout Value);
    bool TextInHorizontal() const { return FTextInHorizontal; }
    void SetTextInHorizontal(bool Value);
    bool TabsInCenter() const { return FTabsInCenter; }
    void SetTabsInCenter(bool Value);
    int TabsOffset() const { return FTabsOffset; }
    void SetTabsOffset(int Value);
    bool FreeOnClose() const { return FFreeOnClose; }
    void SetFreeOnClose(bool Value) { FFreeOnClose = Value; }
    bool ShowCloseButtons() const { return FShowCloseButtons; }
    void SetShowCloseButtons(bool Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    bool TabsBGTransparent() const { return FTabsBGTransparent; }
    void SetTabsBGTransparent(bool Value);
    TFont* DefaultFont() const { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    int DefaultItemHeight() const { return FDefaultItemHeight; }
    void SetDefaultItemHeight(int Value);
    TbsSkinData* SkinData() const { return FSD; }
    void SetSkinData(TbsSkinData* Value);
    const String& SkinDataName() const { return FSkinDataName; }
    void SetSkinDataName(const String& Value) { FSkinDataName = Value; }

    void HideTabs();
    void ShowTabs();
    void HideBorderAndTabs();
    void ShowBorderAndTabs();
    void UpDateTabs();
    void ChangeSkinData();
    void GetSkinData();
    // Closes the selected page as its close button does.
    void CloseActivePage();

    // Visible tab Index as the native control places it; single-line tabs start one pixel further right.
    TRect GetTabRect(int Index);
    void SetItemSize(int AWidth, int AHeight);
    int CalcTabsOffset();
    int GetHiddenTabCount();
    int GetScrolledTabCount();
    void CheckUpDown();
    void UpdateScrollerPosition();
    // The tab scroller, null while every tab fits.
    TbsSkinUpDown* SkinUpDown() const { return FSkinUpDown; }
    // The tab under the pointer: its page index (the page count for none) and its visible index (-1 none).
    int ActiveTab() const { return FActiveTab; }
    int ActiveTabIndex() const { return FActiveTabIndex; }
    int CloseSize() const { return FCloseSize; }
    bool TabsHidden() const { return FHideTabs; }
    bool BorderHidden() const { return FHideBorder; }

    // Paint parts, on a canvas drawing on the control.
    void DrawTabs(TCanvas* Cnvs);
    void DrawSkinTab(int TI, const TRect& Rct, bool AActive, bool AMouseIn, TCanvas* Cnvs);
    void PaintClientBackground(HDC DC);

    TbsCloseEvent OnClose;
    TNotifyEvent OnAfterClose;
    TbsDrawSkinTabEvent OnDrawSkinTab;

    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void PaintWindow(HDC DC) override;

    // The copies of the tab record (see GetSkinData).
    int FIndex = -1;
    TBitmap* Picture = nullptr;
    TRect SkinRect, ClRect;
    TRect TabRect, ActiveTabRect, FocusTabRect, MouseInTabRect, TabsBGRect;
    TPoint LTPoint, RTPoint, LBPoint, RBPoint;
    int TabLeftOffset = 0;
    int TabRightOffset = 0;
    String FontName = u"Arial";
    TFontStyles FontStyle;
    int FontHeight = 14;
    TColor FontColor = 0, ActiveFontColor = 0, FocusFontColor = 0, MouseInFontColor = 0;
    String UpDown;
    int BGPictureIndex = -1;
    bool TabStretchEffect = false;
    bool ShowFocus = false;
    int FocusOffsetX = 0;
    int FocusOffsetY = 0;
    bool StretchEffect = false;
    bool LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false;
    TbsStretchType StretchType = bsstFull;
    TRect CloseButtonRect, ClosebuttonActiveRect, CloseButtonDownRect;
    bool ButtonTransparent = false;
    TColor ButtonTransparentColor = 0;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Change() override;
    int GetImageIndex(int TabIndex) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    void WMSize(TMessage& Message);
    void WMHScroll(TMessage& Message);
    void WMMouseWheel(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    void TCMSetCurSel(TMessage& Message);
    void TCMAdjustRect(TMessage& Message);
    void TCMGetItemRect(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void WMCheckParentBg(TMessage& Message);

private:
    bool OffsetActive() const { return FTabsInCenter || FTabsOffset > 0; }
    bool Designing() const { return ComponentState().Contains(csDesigning); }
    int TabExtent();
    // Grows (Sign 1) or shrinks (Sign -1) the room the native control gives each tab.
    void AddReservedRoom(int Amount, int Sign);
    void ApplyStripOffset();
    void TestActive(int X, int Y);
    bool PressCloseButton(int X, int Y, bool Release);
    void ClosePage(TTabSheet* Page);
    void RedrawTabs() { Invalidate(); }
    void CreateUpDown();
    void FreeUpDown();
    void UpDownChange(TObject* Sender);
    void RequestUpDownCheck();
    void SelectWheelPage(bool Next);
    void ApplyFont();
    TbsSkinCustomTabSheet* SkinSheet(int PageIndex) const;
    // Painting (bsSkinTabsPaint.cpp).
    TRect FrameRect();
    TRect GetActiveTabFrameRect();
    void DrawDefaultFrame(TCanvas* C);
    void DrawSkinFrame(TCanvas* C);
    void DrawTabBackground(TBitmap* B, int TI, bool AActive, bool AMouseIn);
    void DrawTabContent(TBitmap* B, TRect& T, int TI, bool AActive, bool AMouseIn, int Shift);
    void DrawCloseButton(TCanvas* C, const TRect& R, int TI, int BW, int BH);
    void SetTabFont(TCanvas* C, bool AActive, bool AMouseIn);
    void DrawPictureOver(HDC DC, TBitmap* Source, int StretchW, int StretchH, int TileW, int TileH);
    friend class TbsSkinCustomTabSheet;

    bool FMouseWheelSupport = false;
    bool FTabExtendedDraw = false;
    int FTabMargin = -1;
    int FTabSpacing = 1;
    TbsButtonLayout FTabLayout = blGlyphLeft;
    bool FTextInHorizontal = false;
    bool FHideTabs = false;
    bool FHideBorder = false;
    TTabPosition FOLdTabPosition = tpTop;
    bool FOldMultiLine = false;
    int FOldTabHeight = -1;
    int FCloseSize = 14;
    bool FFreeOnClose = false;
    bool FShowCloseButtons = false;
    bool FTabsBGTransparent = false;
    int FActiveTab = -1;
    int FOldActiveTab = -1;
    int FActiveTabIndex = -1;
    int FOldActiveTabIndex = -1;
    TCustomImageList* FImages = nullptr;
    TCustomImageList* FTempImages = nullptr; // owned as a component
    bool FTabsInCenter = false;
    int FTabsOffset = 0;
    TbsSkinData* FSD = nullptr;
    String FSkinDataName = u"tab";
    TbsSkinUpDown* FSkinUpDown = nullptr; // owned as a component
    std::unique_ptr<TFont> FDefaultFont;
    bool FUseSkinFont = true;
    int FDefaultItemHeight = 20;
    bool FUpDownCheckPosted = false;
};
